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

    // Judged by its name first: opening a device can do something of its
    // own, such as resetting a board on a serial port or rewinding a tape.
    struct stat named;
    if (::stat(path.constData(), &named) != 0)
        return failedWith(systemErrorText(errno));
    if (!S_ISREG(named.st_mode))
        return {RegularFileOpening::NotRegular, QString()};

    // Opened without blocking, and judged again by the open descriptor, in
    // case the name was swapped for a FIFO or a device in between.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failedWith(systemErrorText(errno));

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
