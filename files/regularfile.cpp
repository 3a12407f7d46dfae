#include "regularfile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

constexpr QIODevice::OpenMode readMode = QIODevice::ReadOnly | QIODevice::Unbuffered;

RegularFileOpening failedWith(const QString &errorString)
{
    return {RegularFileOpening::Failed, errorString};
}

// The toolkit's own message for an empty name, without the console warning
// that asking the toolkit to open one prints.
RegularFileOpening noFileName()
{
    return failedWith(QStringLiteral("No file name specified"));
}

} // namespace

#ifdef Q_OS_UNIX

RegularFileOpening openRegularFile(QFile &file, const QByteArray &path)
{
    if (path.isEmpty())
        return noFileName();

    // Opening without blocking and checking the open descriptor leaves no
    // gap in which the path could be swapped for a FIFO or a device.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        // A socket cannot be opened at all; it is still not a regular file.
        struct stat status;
        if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return {RegularFileOpening::NotRegular, QString()};
        return failedWith(qt_error_string(openError));
    }

    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int statError = errno;
        ::close(fd);
        return failedWith(qt_error_string(statError));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return {RegularFileOpening::NotRegular, QString()};
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int fcntlError = errno;
        ::close(fd);
        return failedWith(qt_error_string(fcntlError));
    }

    // From here on the file object owns the descriptor.
    if (!file.open(fd, readMode, QFileDevice::AutoCloseHandle))
        return failedWith(file.errorString());
    return {RegularFileOpening::Opened, QString()};
}

#else

RegularFileOpening openRegularFile(QFile &file, const QByteArray &path)
{
    if (path.isEmpty())
        return noFileName();
    const QString name = QString::fromUtf8(path);
    const QFileInfo info(name);
    if (info.exists() && !info.isFile())
        return {RegularFileOpening::NotRegular, QString()};
    file.setFileName(name);
    if (!file.open(readMode))
        return failedWith(file.errorString());
    return {RegularFileOpening::Opened, QString()};
}

#endif
