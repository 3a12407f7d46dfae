#ifndef FILESTAMP_H
#define FILESTAMP_H

#include <QtGlobal>

class QFile;

// Size and modification time of an open file. Taken before and after a
// digest, they tell a file that changed while it was read, whose digest
// would be of neither its old nor its new contents.
struct FileStamp {
    qint64 size = -1;
    qint64 modifiedNs = -1;
};

FileStamp fileStamp(const QFile &file);

bool changedWhileRead(const FileStamp &before, const FileStamp &after, qint64 bytesRead);

#endif
