#include "extendedname.h"

#include <QDir>
#include <QRegularExpression>
#include <QString>

namespace {

// Windows takes these names for devices in any folder, whatever follows a
// dot and with spaces before it; the digits include the superscripts ¹²³.
bool isDeviceName(const QString &name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|"
                                                          "(COM|LPT)[0-9\u00B9\u00B2\u00B3]) *(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch();
}

} // namespace

std::wstring extendedName(const QString &path)
{
    if (isDeviceName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)))
        return std::wstring();
    static const QRegularExpression drivePath(QStringLiteral("^[A-Za-z]:/"));
    if (drivePath.match(path).hasMatch())
        return L"\\\\?\\" + QDir::toNativeSeparators(path).toStdWString();
    // \\.\ and \\?\ name devices and the system's own namespace, not shares.
    static const QRegularExpression sharePath(QStringLiteral("^//[^/.?][^/]*/[^/]"));
    if (sharePath.match(path).hasMatch())
        return L"\\\\?\\UNC\\" + QDir::toNativeSeparators(path.mid(2)).toStdWString();
    return std::wstring();
}
