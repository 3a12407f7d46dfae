#include "localfileurl.h"

#include <QSysInfo>
#include <QUrl>

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

// The code point of the well-formed character of the given length at
// bytes[at].
uint utf8CodePoint(const QByteArray &bytes, int at, int length)
{
    // The lead byte's payload: 7 bits alone, then 5, 4 or 3.
    uint codePoint = uchar(bytes[at]) & (length == 1 ? 0x7fu : 0xffu >> (length + 1));
    for (int i = 1; i < length; ++i)
        codePoint = (codePoint << 6) | (uchar(bytes[at + i]) & 0x3fu);
    return codePoint;
}

// Names made on other systems are often GBK or Latin-1. Their bytes are
// shown as \xNN rather than all alike as a replacement character, so that
// the user can still tell which file it is. Characters are decoded one by
// one: the toolkit's decoder would drop a byte-order mark that starts a run.
QString readablePath(const QByteArray &bytes)
{
    QString shown;
    int at = 0;
    while (at < bytes.size()) {
        const int length = utf8CharacterLength(bytes, at);
        if (length == 0) {
            shown += QString::asprintf("\\x%02X", uchar(bytes[at]));
            ++at;
            continue;
        }
        const uint codePoint = utf8CodePoint(bytes, at, length);
        if (QChar::requiresSurrogates(codePoint)) {
            shown += QChar(QChar::highSurrogate(codePoint));
            shown += QChar(QChar::lowSurrogate(codePoint));
        } else {
            shown += QChar(codePoint);
        }
        at += length;
    }
    return shown;
}

} // namespace

// A file name on Unix is bytes. The URL's path is taken as the bytes it
// percent-encodes, not decoded as UTF-8, which would open another name.
LocalFile localFile(const QUrl &url)
{
    if (!url.isLocalFile() || !namesThisMachine(url.host()))
        return {};
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    // A relative path would open a file in whatever folder the program runs in.
    if (!encoded.startsWith('/'))
        return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded);
    // No name holds a zero byte or a slash: the system would stop at the one
    // and split the name at the other, and open another file.
    if (bytes.contains('\0') || bytes.count('/') != encoded.count('/'))
        return {};
    return localFileNamed(bytes);
}

LocalFile localFileNamed(const QByteArray &nativePath)
{
    return {readablePath(nativePath), nativePath};
}
