#ifndef READERFILE_H
#define READERFILE_H

#include <cstddef>
#include <cstdint>

// The reading thread's own handle on a file that the caller opened. Each
// closes its own, so the caller never waits for a read to close the file.
class ReaderFile
{
public:
    // Duplicates the caller's descriptor; if that fails, isOpen() is false
    // and error() tells why.
    explicit ReaderFile(int fd);
    ~ReaderFile();

    ReaderFile(const ReaderFile &) = delete;
    ReaderFile &operator=(const ReaderFile &) = delete;

    bool isOpen() const;

    // Reads up to size bytes at the file's position: how many came, 0 at its
    // end, or -1 with error() telling why.
    std::int64_t read(char *buffer, std::size_t size);

    // The system's code for the last failure: errno on Unix, GetLastError()
    // on Windows.
    int error() const { return lastError; }

private:
    std::intptr_t handle;
    int lastError = 0;
};

#endif
