#include "filestamp.h"

#include <QFile>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace {

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

// From the open descriptor, so that it describes the file being read even
// if its name now leads elsewhere.
FileStamp fileStamp(const QFile &file)
{
    struct stat status;
    if (::fstat(file.handle(), &status) != 0)
        return {};
    struct statfs fileSystem;
    const bool generated = ::fstatfs(file.handle(), &fileSystem) == 0
        && (fileSystem.f_type == PROC_SUPER_MAGIC || fileSystem.f_type == SYSFS_MAGIC);
    FileStamp stamp;
    stamp.size = qint64(status.st_size);
    stamp.modifiedNs = nanoseconds(status.st_mtim);
    stamp.statusChangedNs = nanoseconds(status.st_ctim);
    stamp.sizeIsContent = !generated;
    stamp.deleted = status.st_nlink == 0;
    return stamp;
}
