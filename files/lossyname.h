#ifndef LOSSYNAME_H
#define LOSSYNAME_H

#include <QByteArray>

#include <future>

// File managers built on Qt decode a name with QString::fromUtf8 before they
// write its URL, so a name that is not UTF-8 arrives with a U+FFFD for each
// stray byte, and names no file. Looks, on a thread of its own, for the one
// entry of the file's folder whose name decodes to that lossy name, and
// gives its path; empty if path names a file, its folder cannot be read, or
// no entry or more than one decode to it: the window never guesses between
// files. No future (not valid()) where the name cannot have lost bytes, as
// when it holds no U+FFFD: then nothing is looked up at all.
std::shared_future<QByteArray> findNameBeforeLoss(const QByteArray &path);

#endif
