#ifndef LOSSYNAME_H
#define LOSSYNAME_H

#include <QByteArray>

// File managers built on Qt decode a name with QString::fromUtf8 before they
// write its URL, so a name that is not UTF-8 arrives with a U+FFFD for each
// stray byte, and names no file. Returns the path of the one entry of the
// folder whose name decodes to that lossy name; empty if path names a file,
// its name holds no U+FFFD, its folder cannot be read, or no entry or more
// than one decode to it: the window never guesses between files.
QByteArray nameBeforeLoss(const QByteArray &path);

#endif
