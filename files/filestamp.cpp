#include "filestamp.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#else
#include <QDateTime>
#include <QFileInfo>
#endif

#ifdef Q_OS_LINUX

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
    return {qint64(status.st_size), nanoseconds(status.st_mtim), nanoseconds(status.st_ctim), !generated};
}

#else

FileStamp fileStamp(const QFile &file)
{
    const QFileInfo info(file.fileName());
    FileStamp stamp;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    return stamp;
}

#endif

bool changedWhileRead(const FileStamp &before, const FileStamp &after, qint64 bytesRead)
{
    if (after.modifiedNs != before.modifiedNs || after.statusChangedNs != before.statusChangedNs)
        return true;
    // Such files, and others with no size of their own that report 0, are
    // judged by their time stamps alone.
    if (!before.sizeIsContent || (before.size == 0 && after.size == 0))
        return false;
    return after.size != before.size || bytesRead != after.size;
}
