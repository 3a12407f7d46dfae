#include "regularfile.h"

#include "systemerror.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

RegularFileOpening failedWith(DWORD error)
{
    return {RegularFileOpening::Failed, systemErrorText(int(error))};
}

const RegularFileOpening notRegular = {RegularFileOpening::NotRegular, QString()};

bool startsWith(const std::wstring &text, const wchar_t *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The name as Windows takes it at any length: absolute, with "." and ".."
// resolved, in the \\?\ form that lifts the limit of 260 characters (the
// manifest's long-path setting works only where the system enables it).
// Empty where the name is a device's, such as NUL, COM1 or \\.\PhysicalDrive0,
// which the system resolves to the \\.\ form.
std::wstring extendedName(const QString &path)
{
    const std::wstring given = QDir::toNativeSeparators(path).toStdWString();
    if (startsWith(given, L"\\\\?\\"))
        return given;
    const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return given;
    full.resize(length);
    if (startsWith(full, L"\\\\.\\"))
        return std::wstring();
    if (startsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace

RegularFileOpening openRegularFile(QFile &file, const QByteArray &path)
{
    if (path.isEmpty())
        return noFileNameGiven();
    const std::wstring name = extendedName(QString::fromUtf8(path));
    if (name.empty())
        return notRegular;

    // A folder cannot be opened as a file; say what it is rather than that
    // access to it was denied.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return failedWith(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return notRegular;

    // Others may go on reading, writing, renaming or deleting the file while
    // it is read: the digest then says that it changed, rather than the
    // other program failing.
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failedWith(GetLastError());
    // Checked on the open handle, so that nothing can swap the name for a
    // pipe or a device in between.
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information)
        || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return notRegular;
    }

    // From here on the file object owns the handle.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        return failedWith(ERROR_TOO_MANY_OPEN_FILES);
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return {RegularFileOpening::Failed, file.errorString()};
    }
    return {RegularFileOpening::Opened, QString()};
}
