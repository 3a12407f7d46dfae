#ifndef DROPPEDFILE_H
#define DROPPEDFILE_H

#include "localfileurl.h"

#include <QByteArray>

#include <future>

class QMimeData;

// The local file that a drop names: the first of its URLs, taken from the
// list that keeps the name's bytes when the source offers one. Where the
// name lost bytes on the way (see lossyname.h), the file it stood for is
// looked for on a thread of its own, since that reads the file's folder,
// which may be on a file system that hangs; until it is found the name as
// dropped stands.
class DroppedFile
{
public:
    DroppedFile() = default;
    explicit DroppedFile(const QMimeData &data);

    // True when the drop names no local file.
    bool isEmpty() const { return dropped.nativePath.isEmpty(); }

    // Whether the search for the name before its loss, if any, has ended.
    bool isSettled() const;

    // The file as the drop named it, or, once the search has found it, as
    // it is on disk. Never waits.
    LocalFile current() const;

    // The same, once the search has ended: it may wait for the file
    // system, so only a thread that can afford to block calls it.
    LocalFile settled() const;

private:
    LocalFile dropped;
    std::shared_future<QByteArray> nameBeforeLoss;
};

#endif
