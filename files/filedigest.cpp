#include "filedigest.h"

#include "filestamp.h"
#include "md5.h"
#include "regularfile.h"

#include <QFile>

#include <cstdint>

#ifdef Q_OS_UNIX
#include "readahead.h"

#include <chrono>
#else
#include <vector>
#endif

namespace {

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

#ifdef Q_OS_UNIX

namespace {

// How long to wait for a chunk before telling progress anyway, so that the
// window stays alive, and can be closed, while a read hangs.
constexpr std::chrono::milliseconds readPatience(50);

} // namespace

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
            return {FileDigest::ReadFailed, std::string(), qt_error_string(piece.error), bytesRead};
        if (piece.kind == ReadAhead::Piece::Data) {
            absorb(context, piece.data, qint64(piece.size));
            bytesRead += qint64(piece.size);
        }
        if (!progress(bytesRead, fileSize))
            return {FileDigest::Stopped, std::string(), QString(), bytesRead};
    }
    return {FileDigest::Done, md5Finish(context), QString(), bytesRead};
}

#else

FileDigest digestOpenFile(QFile &file, qint64 fileSize, const FileDigestProgress &progress)
{
    std::vector<char> chunk(static_cast<std::size_t>(fileDigestChunkSize));
    Md5Context context;
    qint64 bytesRead = 0;
    for (qint64 got; (got = file.read(chunk.data(), fileDigestChunkSize)) != 0;) {
        if (got < 0)
            return {FileDigest::ReadFailed, std::string(), file.errorString(), bytesRead};
        absorb(context, chunk.data(), got);
        bytesRead += got;
        if (!progress(bytesRead, fileSize))
            return {FileDigest::Stopped, std::string(), QString(), bytesRead};
    }
    return {FileDigest::Done, md5Finish(context), QString(), bytesRead};
}

#endif
