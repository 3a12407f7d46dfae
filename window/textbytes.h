#ifndef TEXTBYTES_H
#define TEXTBYTES_H

class QByteArray;
class QString;

// The bytes a typed text is digested as: Latin-1 when every character fits
// in it, so that digests of such texts match other tools byte for byte;
// UTF-8 otherwise, so that texts beyond Latin-1 do not collapse into '?'.
QByteArray textBytes(const QString &text);

#endif
