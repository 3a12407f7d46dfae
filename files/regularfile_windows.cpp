#include "regularfile.h"

#include "extendedname.h"
#include "systemerror.h"

#include <QByteArray>
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
