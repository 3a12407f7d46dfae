#include "filedigest.h"

#include "filestamp.h"
#include "md5.h"
#include "readahead.h"
#include "regularfile.h"
#include "systemerror.h"

#include <QFile>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// How long to wait for a chunk before telling progress anyway, so that the
// window stays alive, and can be closed, while a read hangs.
constexpr std::chrono::milliseconds readPatience(50);

// How often the caller is told the figures of a digest run aside. Often
// enough that the window follows the user smoothly; waking it for every
// chunk instead would cost the digest time, where waking a thread is slow.
constexpr std::chrono::milliseconds callerPatience(20);

// What a digest run aside shares with its caller, for as long as either
// needs it. The figures go without the lock, which would make the two wait
// for each other at every chunk.
struct AsideState {
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> fileSize{0};
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::condition_variable finishing;
    bool finished = false;
    FileDigest result{FileDigest::Stopped, std::string(), QString()};
};

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

FileDigest digestAside(std::function<FileDigest(const FileDigestProgress &)> digest,
                       const FileDigestProgress &carryOn)
{
    const auto state = std::make_shared<AsideState>();
    std::thread worker;
    try {
        worker = std::thread([state, digest = std::move(digest)] {
            FileDigest result = digest([&state](qint64 bytesRead, qint64 fileSize) {
                state->fileSize = fileSize;
                state->bytesRead = bytesRead;
                return !state->stopping;
            });
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->result = std::move(result);
            state->finished = true;
            state->finishing.notify_one();
        });
    } catch (const std::system_error &failure) {
        return {FileDigest::OpenFailed, std::string(), systemErrorText(failure.code().value())};
    }

    std::unique_lock<std::mutex> lock(state->mutex);
    while (!state->finishing.wait_for(lock, callerPatience, [&state] { return state->finished; })) {
        lock.unlock();
        const qint64 bytesRead = state->bytesRead;
        if (!carryOn(bytesRead, state->fileSize)) {
            state->stopping = true;
            // Ends by itself, whenever the call it may be stuck in returns.
            worker.detach();
            return {FileDigest::Stopped, std::string(), QString(), bytesRead};
        }
        lock.lock();
    }
    lock.unlock();
    // It has nothing left to do but end.
    worker.join();
    return std::move(state->result);
}
