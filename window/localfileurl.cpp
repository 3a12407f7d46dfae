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

// The well-formed UTF-8 sequences of RFC 3629 by their lead byte: how long
// they are and the range of their second byte, which rules out overlong
// forms, surrogates and code points past U+10FFFF. Later bytes are 80 to BF.
struct Utf8Lead {
    uchar first;
    uchar last;
    int length;
    uchar secondLow;
    uchar secondHigh;
};

constexpr Utf8Lead utf8Leads[] = {
    {0xc2, 0xdf, 2, 0x80, 0xbf}, {0xe0, 0xe0, 3, 0xa0, 0xbf}, {0xe1, 0xec, 3, 0x80, 0xbf},
    {0xed, 0xed, 3, 0x80, 0x9f}, {0xee, 0xef, 3, 0x80, 0xbf}, {0xf0, 0xf0, 4, 0x90, 0xbf},
    {0xf1, 0xf3, 4, 0x80, 0xbf}, {0xf4, 0xf4, 4, 0x80, 0x8f},
};

// Length of the well-formed UTF-8 character at bytes[at], or 0 if there is
// none (a stray, overlong, surrogate or cut-off sequence).
int utf8CharacterLength(const QByteArray &bytes, int at)
{
    const uchar lead = uchar(bytes[at]);
    if (lead < 0x80)
        return 1;
    for (const Utf8Lead &form : utf8Leads) {
        if (lead < form.first || lead > form.last)
            continue;
        if (at + form.length > bytes.size())
            return 0;
        for (int i = 1; i < form.length; ++i) {
            const uchar next = uchar(bytes[at + i]);
            if (next < (i == 1 ? form.secondLow : 0x80) || next > (i == 1 ? form.secondHigh : 0xbf))
                return 0;
        }
        return form.length;
    }
    return 0;
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
