#ifndef RESULTDOCUMENT_H
#define RESULTDOCUMENT_H

#include <QByteArray>

class QColor;
class QString;

// Rich-text documents for the result box. Both begin with the same header,
// so the box keeps one base font whatever it shows.

// The empty document the form starts with; the box shows its placeholder.
QByteArray emptyResultDocument();

// The document that shows a digest, centred in large bold violet type.
QString resultDocument(const QString &digest);

// The violet of the digest in that document.
QColor digestColour();

#endif
