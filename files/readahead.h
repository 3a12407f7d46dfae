#ifndef READAHEAD_H
#define READAHEAD_H

#include <chrono>
#include <cstddef>
#include <memory>
#include <thread>

// Reads a file on a thread of its own into a few buffers of a fixed size,
// so that the next chunk is read while the caller digests the last one.
// Memory stays at a few chunks whatever the size of the file.
//
// The reader works on its own duplicate of the descriptor, and all it
// shares with the caller lives as long as either of them needs it. So
// stopping never waits for a read: a reader caught inside one, say on a hung
// network file system, is let go, and frees its buffers and closes its
// descriptor once the read returns.
class ReadAhead
{
public:
    struct Piece {
        enum Kind { Data, End, Failed, Pending };
        Kind kind;
        // Data: the bytes, valid until the next call of next().
        const char *data = nullptr;
        std::size_t size = 0;
        // Failed: the system's code for the failed read (see systemerror.h).
        int error = 0;
    };

    // Starts reading the file of descriptor fd from its current position; fd
    // stays the caller's.
    ReadAhead(int fd, std::size_t chunkSize);
    ~ReadAhead();

    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The file's next piece in order, or Pending if none has come within
    // patience. After End or Failed, nothing more comes.
    Piece next(std::chrono::milliseconds patience);

private:
    struct Shared;
    static void readInTurn(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared;
    std::thread reader;
    bool holdsPiece = false;
};

#endif
