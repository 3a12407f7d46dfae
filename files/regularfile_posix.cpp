#include "regularfile.h"

#include "systemerror.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QIODevice::OpenMode readMode = QIODevice::ReadOnly | QIODevice::Unbuffered;

RegularFileOpening failedWith(const QString &errorString)
{
    return {RegularFileOpening::Failed, errorString};
}

} // namespace

RegularFileOpening openRegularFile(QFile &file, const QByteArray &path)
{
    if (path.isEmpty())
        return noFileNameGiven();

    // Opening without blocking and checking the open descriptor leaves no
    // gap in which the path could be swapped for a FIFO or a device.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        // A socket cannot be opened at all; it is still not a regular file.
        struct stat status;
        if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return {RegularFileOpening::NotRegular, QString()};
        return failedWith(systemErrorText(openError));
    }

    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int statError = errno;
        ::close(fd);
        return failedWith(systemErrorText(statError));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return {RegularFileOpening::NotRegular, QString()};
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int fcntlError = errno;
        ::close(fd);
        return failedWith(systemErrorText(fcntlError));
    }

    // From here on the file object owns the descriptor.
    if (!file.open(fd, readMode, QFileDevice::AutoCloseHandle))
        return failedWith(file.errorString());
    return {RegularFileOpening::Opened, QString()};
}
