#include "readerfile.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

ReaderFile::ReaderFile(int fd)
    : handle(::fcntl(fd, F_DUPFD_CLOEXEC, 0))
{
    if (handle < 0)
        lastError = errno;
}

ReaderFile::~ReaderFile()
{
    if (isOpen())
        ::close(int(handle));
}

bool ReaderFile::isOpen() const
{
    return handle >= 0;
}

std::int64_t ReaderFile::read(char *buffer, std::size_t size)
{
    ssize_t got;
    do
        got = ::read(int(handle), buffer, size);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        lastError = errno;
    return got;
}
