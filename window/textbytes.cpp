#include "textbytes.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

QByteArray textBytes(const QString &text)
{
    const bool fitsLatin1 = std::all_of(text.cbegin(), text.cend(),
                                        [](QChar c) { return c.unicode() <= 0xff; });
    return fitsLatin1 ? text.toLatin1() : text.toUtf8();
}
