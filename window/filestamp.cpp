#include "filestamp.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#else
#include <QDateTime>
#include <QFileInfo>
#endif

#ifdef Q_OS_UNIX

// From the open descriptor, so that it describes the file being read even
// if its name now leads elsewhere.
FileStamp fileStamp(const QFile &file)
{
    struct stat status;
    if (::fstat(file.handle(), &status) != 0)
        return {};
    return {qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

#else

FileStamp fileStamp(const QFile &file)
{
    const QFileInfo info(file.fileName());
    return {info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
}

#endif

bool changedWhileRead(const FileStamp &before, const FileStamp &after, qint64 bytesRead)
{
    if (after.modifiedNs != before.modifiedNs)
        return true;
    // Files with no size of their own, such as those under /proc, report 0
    // whatever they hold.
    if (before.size == 0 && after.size == 0)
        return false;
    return after.size != before.size || bytesRead != after.size;
}
