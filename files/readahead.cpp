#include "readahead.h"

#include "readerfile.h"
#include "threadsync.h"

#include <cstdint>
#include <system_error>

namespace {

// Two would do while the reader keeps well ahead; a few more absorb the
// odd slow read without making the digest wait.
constexpr std::size_t bufferCount = 4;

} // namespace

struct ReadAhead::Shared {
    Shared(int fd, std::size_t chunkSize)
        : file(fd)
        , chunkSize(chunkSize)
        , buffers(new char[bufferCount * chunkSize])
    {
    }

    char *buffer(std::uint64_t piece) const { return buffers.get() + piece % bufferCount * chunkSize; }

    ReaderFile file;
    const std::size_t chunkSize;
    // Left uninitialised: a short file touches the first page only.
    const std::unique_ptr<char[]> buffers;

    Lock mutex;
    Condition pieceReady;
    Condition bufferFreed;
    // Piece n is read into buffer n % bufferCount; the reader may run ahead
    // of the caller by as many pieces as there are buffers.
    std::uint64_t piecesRead = 0;
    std::uint64_t piecesDone = 0;
    // What the read returned for the piece in each buffer.
    std::int64_t got[bufferCount] = {};
    int error = 0;
    bool stopping = false;
    bool inRead = false;
};

ReadAhead::ReadAhead(int fd, std::size_t chunkSize)
{
    shared = std::make_shared<Shared>(fd, chunkSize);
    int error = shared->file.error();
    if (shared->file.isOpen()) {
        try {
            reader = std::thread(readInTurn, shared);
            return;
        } catch (const std::system_error &failure) {
            error = failure.code().value();
        }
    }
    // No reader: the failure is the file's first and last piece.
    shared->got[0] = -1;
    shared->error = error;
    shared->piecesRead = 1;
}

ReadAhead::~ReadAhead()
{
    if (!reader.joinable())
        return;
    bool midRead;
    {
        const std::lock_guard<Lock> lock(shared->mutex);
        shared->stopping = true;
        midRead = shared->inRead;
    }
    shared->bufferFreed.notify_one();
    // A reader that is not inside a read ends at once. One that is may stay
    // there for good, and the window must not wait for it.
    if (midRead)
        reader.detach();
    else
        reader.join();
}

ReadAhead::Piece ReadAhead::next(std::chrono::milliseconds patience)
{
    Shared &state = *shared;
    std::unique_lock<Lock> lock(state.mutex);
    if (holdsPiece) {
        holdsPiece = false;
        ++state.piecesDone;
        state.bufferFreed.notify_one();
    }
    if (!state.pieceReady.wait_for(lock, patience, [&state] { return state.piecesRead > state.piecesDone; }))
        return {Piece::Pending};
    const std::int64_t got = state.got[state.piecesDone % bufferCount];
    if (got < 0)
        return {Piece::Failed, nullptr, 0, state.error};
    if (got == 0)
        return {Piece::End};
    holdsPiece = true;
    return {Piece::Data, state.buffer(state.piecesDone), std::size_t(got)};
}

void ReadAhead::readInTurn(std::shared_ptr<Shared> shared)
{
    Shared &state = *shared;
    std::unique_lock<Lock> lock(state.mutex);
    for (;;) {
        state.bufferFreed.wait(lock, [&state] {
            return state.stopping || state.piecesRead - state.piecesDone < bufferCount;
        });
        if (state.stopping)
            return;
        char *buffer = state.buffer(state.piecesRead);
        state.inRead = true;
        lock.unlock();
        const std::int64_t got = state.file.read(buffer, state.chunkSize);
        lock.lock();
        state.inRead = false;
        state.got[state.piecesRead % bufferCount] = got;
        if (got < 0)
            state.error = state.file.error();
        ++state.piecesRead;
        state.pieceReady.notify_one();
        if (got <= 0)
            return;
    }
}
