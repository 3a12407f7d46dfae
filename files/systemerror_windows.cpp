#include "systemerror.h"

#include <QString>

#include <windows.h>

// Windows' message rather than the toolkit's: the toolkit takes some Windows
// codes for errno values of the same number and answers in English.
QString systemErrorText(int error)
{
    wchar_t *message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
        DWORD(error), 0, reinterpret_cast<wchar_t *>(&message), 0, nullptr);
    const QString text = length ? QString::fromWCharArray(message, int(length)).trimmed()
                                : QStringLiteral("Windows error %1").arg(error);
    LocalFree(message);
    return text;
}
