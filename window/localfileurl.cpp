#include "localfileurl.h"

#include <QUrl>

#ifdef Q_OS_UNIX

#include <QSysInfo>

namespace {

// A file URL's host names this machine when it is empty, localhost or this
// machine's own name; any other host's files are not ours to open.
bool namesThisMachine(const QString &host)
{
    return host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

// Length of the well-formed UTF-8 character at bytes[at], or 0 if there is
// none (a stray, overlong, surrogate or cut-off sequence).
int utf8CharacterLength(const QByteArray &bytes, int at)
{
    const uchar lead = uchar(bytes[at]);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar secondLow = 0x80;
    uchar secondHigh = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0)
            secondLow = 0xa0;
        if (lead == 0xed)
            secondHigh = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0)
            secondLow = 0x90;
        if (lead == 0xf4)
            secondHigh = 0x8f;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(bytes[at + i]);
        if (next < (i == 1 ? secondLow : 0x80) || next > (i == 1 ? secondHigh : 0xbf))
            return 0;
    }
    return length;
}

// Names made on other systems are often GBK or Latin-1. Their bytes are
// shown as \xNN rather than all alike as a replacement character, so that
// the user can still tell which file it is.
QString readablePath(const QByteArray &bytes)
{
    QString shown;
    int runStart = 0;
    int at = 0;
    while (at < bytes.size()) {
        const int length = utf8CharacterLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        shown += QString::fromUtf8(bytes.constData() + runStart, at - runStart);
        shown += QString::asprintf("\\x%02X", uchar(bytes[at]));
        runStart = ++at;
    }
    return shown + QString::fromUtf8(bytes.constData() + runStart, at - runStart);
}

} // namespace

// A file name on Unix is bytes. The URL's path is taken as the bytes it
// percent-encodes, not decoded as UTF-8, which would open another name.
LocalFile localFile(const QUrl &url)
{
    if (!url.isLocalFile() || !namesThisMachine(url.host()))
        return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    // The system would read such a name only up to its zero byte and open
    // another file.
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    return {readablePath(bytes), bytes};
}

#else

LocalFile localFile(const QUrl &url)
{
    const QString path = url.toLocalFile();
    return {path, path.toUtf8()};
}

#endif
