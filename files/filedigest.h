#ifndef FILEDIGEST_H
#define FILEDIGEST_H

#include <QString>

#include <functional>
#include <string>

class QByteArray;
class QFile;

// Bytes read and digested per step: big enough that the reads cost little
// beside the digest, small enough that memory stays bounded for any size.
constexpr qint64 fileDigestChunkSize = qint64(1) << 20;

// Told the bytes digested so far and the size the file reported (0 or less
// when it has none), after each chunk and now and then while a read is
// slow; returns false to stop.
using FileDigestProgress = std::function<bool(qint64 bytesRead, qint64 fileSize)>;

// What came of digesting a file.
struct FileDigest {
    enum Outcome { Done, NotRegular, OpenFailed, ReadFailed, Changed, Stopped };
    Outcome outcome;
    // The 32 hex digits when Done; empty otherwise, so that part of a file
    // is never taken for all of it.
    std::string digest;
    // The system's description of the failure when OpenFailed or ReadFailed.
    QString errorString;
    // How many bytes went into the digest, to compare with the file's size.
    qint64 bytesRead = 0;
};

// Digests the file at path (on Unix the name's exact bytes; elsewhere
// UTF-8), from its start to its end: Done, or why there is no digest. Only
// regular files are read, and one that changed while it was read gives
// Changed.
FileDigest digestFile(const QByteArray &path, const FileDigestProgress &progress);

// Runs digest, which tells its progress as digestFile does, on a thread of
// its own, so that no call that can block (opening the file, its type
// check, its stamps, the reads, the closing) runs on the caller's thread.
// carryOn is told the latest figures on the caller's thread, after each
// chunk and at least fifty times a second while nothing comes; once it
// returns false the digest is Stopped at once. A thread caught inside a
// call, say on a hung network file system, is left behind then, and ends
// once the call returns.
FileDigest digestAside(std::function<FileDigest(const FileDigestProgress &)> digest,
                       const FileDigestProgress &carryOn);

// Digests an open file from its position to its end: Done, ReadFailed or
// Stopped. fileSize is only passed on to progress.
FileDigest digestOpenFile(QFile &file, qint64 fileSize, const FileDigestProgress &progress);

#endif
