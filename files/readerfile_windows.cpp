#include "readerfile.h"

#include <io.h>
#include <windows.h>

namespace {

HANDLE systemHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

// The duplicate shares the file's position with the caller's handle, as a
// duplicated descriptor does on Unix.
ReaderFile::ReaderFile(int fd)
    : handle(-1)
{
    HANDLE duplicate;
    if (DuplicateHandle(GetCurrentProcess(), systemHandle(_get_osfhandle(fd)), GetCurrentProcess(), &duplicate, 0,
                        FALSE, DUPLICATE_SAME_ACCESS))
        handle = reinterpret_cast<std::intptr_t>(duplicate);
    else
        lastError = int(GetLastError());
}

ReaderFile::~ReaderFile()
{
    if (isOpen())
        CloseHandle(systemHandle(handle));
}

bool ReaderFile::isOpen() const
{
    return handle != -1;
}

std::int64_t ReaderFile::read(char *buffer, std::size_t size)
{
    DWORD got;
    if (ReadFile(systemHandle(handle), buffer, DWORD(size), &got, nullptr))
        return got;
    const DWORD error = GetLastError();
    // A pipe whose writer has gone has ended, as on Unix.
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
        return 0;
    lastError = int(error);
    return -1;
}
