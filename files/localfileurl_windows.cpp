#include "localfileurl.h"

#include <QRegularExpression>
#include <QUrl>

// A URL's path is /C:/folder/name for a file on a drive; with a host, it is
// the share and the path on it, \\host\share\folder\name. The path is shown
// with forward slashes, as the toolkit gives it.
LocalFile localFile(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    const QString encoded = url.path(QUrl::FullyEncoded);
    const QString path = url.path(QUrl::FullyDecoded);
    // No name holds a zero, a slash or a backslash: the system would stop at
    // the one, split the name at the others, and open another file.
    if (path.contains(QChar(0)) || path.contains(QLatin1Char('\\'))
        || path.count(QLatin1Char('/')) != encoded.count(QLatin1Char('/')))
        return {};
    // The \\?\ form under which the file is opened takes "." and ".."
    // literally, where the shown path would mean another folder.
    const QStringList segments = path.split(QLatin1Char('/'));
    if (segments.contains(QLatin1String(".")) || segments.contains(QLatin1String("..")))
        return {};
    const QString host = url.host();
    QString local;
    if (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        // Anything but a drive's absolute path would open a file relative to
        // whatever folder or drive the program runs in.
        static const QRegularExpression drivePath(QStringLiteral("^/[A-Za-z]:/"));
        if (!drivePath.match(path).hasMatch())
            return {};
        local = path.mid(1);
    } else {
        static const QRegularExpression sharePath(QStringLiteral("^/[^/]+/"));
        if (!sharePath.match(path).hasMatch())
            return {};
        local = QLatin1String("//") + host + path;
    }
    return localFileNamed(local.toUtf8());
}

LocalFile localFileNamed(const QByteArray &nativePath)
{
    return {QString::fromUtf8(nativePath), nativePath};
}
