#ifndef FILESTAMP_H
#define FILESTAMP_H

#include <QString>

class QFile;

// Size and time stamps of an open file. Taken before and after a digest,
// they tell a file that changed while it was read, whose digest would be of
// neither its old nor its new contents.
struct FileStamp {
    qint64 size = -1;
    qint64 modifiedNs = -1;
    // The status-change time moves on every write, and unlike the
    // modification time no program can put it back.
    qint64 statusChangedNs = -1;
    // False where the kernel makes the contents up as they are read (procfs,
    // sysfs): the size it reports says nothing of them.
    bool sizeIsContent = true;
    // Deleted, though still open and readable.
    bool deleted = false;
    // Where the file is now, where a rename need not change its time stamps
    // (Windows); empty elsewhere.
    QString location;
};

FileStamp fileStamp(const QFile &file);

bool changedWhileRead(const FileStamp &before, const FileStamp &after, qint64 bytesRead);

#endif
