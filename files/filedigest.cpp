#include "filedigest.h"

#include "filestamp.h"
#include "md5.h"
#include "readahead.h"
#include "regularfile.h"
#include "systemerror.h"

#include <QFile>

#include <chrono>
#include <cstdint>

namespace {

// How long to wait for a chunk before telling progress anyway, so that the
// window stays alive, and can be closed, while a read hangs.
constexpr std::chrono::milliseconds readPatience(50);

void absorb(Md5Context &context, const char *data, qint64 size)
{
    // A chunk always fits the engine's 32-bit length.
    md5Update(context, reinterpret_cast<const std::uint8_t *>(data), static_cast<std::uint32_t>(size));
}

} // namespace

FileDigest digestFile(const QByteArray &path, const FileDigestProgress &progress)
{
    QFile file;
    const RegularFileOpening opening = openRegularFile(file, path);
    if (opening.outcome == RegularFileOpening::NotRegular)
        return {FileDigest::NotRegular, std::string(), QString()};
    if (opening.outcome == RegularFileOpening::Failed)
        return {FileDigest::OpenFailed, std::string(), opening.errorString};

    const FileStamp before = fileStamp(file);
    const FileDigest digest = digestOpenFile(file, before.size, progress);
    if (digest.outcome == FileDigest::Done && changedWhileRead(before, fileStamp(file), digest.bytesRead))
        return {FileDigest::Changed, std::string(), QString(), digest.bytesRead};
    return digest;
}

// The file is read on a second thread while this one digests.
FileDigest digestOpenFile(QFile &file, qint64 fileSize, const FileDigestProgress &progress)
{
    ReadAhead reader(file.handle(), std::size_t(fileDigestChunkSize));
    Md5Context context;
    qint64 bytesRead = 0;
    for (;;) {
        const ReadAhead::Piece piece = reader.next(readPatience);
        if (piece.kind == ReadAhead::Piece::End)
            break;
        if (piece.kind == ReadAhead::Piece::Failed)
            return {FileDigest::ReadFailed, std::string(), systemErrorText(piece.error), bytesRead};
        if (piece.kind == ReadAhead::Piece::Data) {
            absorb(context, piece.data, qint64(piece.size));
            bytesRead += qint64(piece.size);
        }
        if (!progress(bytesRead, fileSize))
            return {FileDigest::Stopped, std::string(), QString(), bytesRead};
    }
    return {FileDigest::Done, md5Finish(context), QString(), bytesRead};
}
