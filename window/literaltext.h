#ifndef LITERALTEXT_H
#define LITERALTEXT_H

class QString;

// Text for a label or message box in the toolkit's automatic text format
// that shows exactly these characters. A file may be named "<b>x</b>" or
// "a&lt;b"; shown as markup, the window would name another file than the
// one it digests.
QString literalText(const QString &text);

#endif
