#include "filestamp.h"

#include <QFile>

#include <string>

#include <io.h>
#include <windows.h>

namespace {

// Windows counts time in steps of 100 ns.
qint64 nanoseconds(const LARGE_INTEGER &time)
{
    return time.QuadPart * 100;
}

QString finalName(HANDLE handle)
{
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
    std::wstring name(size, L'\0');
    const DWORD length = size ? GetFinalPathNameByHandleW(handle, &name[0], size, FILE_NAME_NORMALIZED) : 0;
    return length && length < size ? QString::fromWCharArray(name.data(), int(length)) : QString();
}

} // namespace

// From the open handle, so that it describes the file being read even if its
// name now leads elsewhere. The change time, like the status-change time on
// Unix, moves on every write and no program can put it back.
FileStamp fileStamp(const QFile &file)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)
        || !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
        return {};
    FileStamp stamp;
    stamp.size = standard.EndOfFile.QuadPart;
    stamp.modifiedNs = nanoseconds(basic.LastWriteTime);
    stamp.statusChangedNs = nanoseconds(basic.ChangeTime);
    stamp.deleted = standard.DeletePending;
    stamp.location = finalName(handle);
    return stamp;
}
