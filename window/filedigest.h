#ifndef FILEDIGEST_H
#define FILEDIGEST_H

#include <QtGlobal>

#include <functional>
#include <string>

class QIODevice;

// Bytes read and digested per step: big enough that the reads cost little
// beside the digest, small enough that memory stays bounded for any size.
constexpr qint64 fileDigestChunkSize = qint64(1) << 20;

// Told the bytes read so far after each chunk; returns false to stop.
using FileDigestProgress = std::function<bool(qint64 bytesRead)>;

struct FileDigest {
    enum Status { Done, ReadFailed, Stopped };
    Status status;
    // The 32 hex digits when Done; empty otherwise, so that part of a file
    // is never taken for all of it.
    std::string digest;
    // How many bytes went into the digest, to compare with the file's size.
    qint64 bytesRead;
};

// Digests everything from the device's position to its end in fixed-size
// chunks. A read error yields ReadFailed, with the device's errorString
// describing it.
FileDigest digestFile(QIODevice &device, const FileDigestProgress &progress);

#endif
