#ifndef MD5_H
#define MD5_H

#include <cstdint>
#include <string>

// Running state of one MD5 computation. It counts whole blocks rather than
// bits; the message length is blockCount * 64 + bufferFill bytes.
struct Md5Context {
    std::uint32_t state[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    // 64-bit so that streamed inputs past 256 GiB still get the right length.
    std::uint64_t blockCount = 0;
    std::uint8_t buffer[64] = {};
    std::int32_t bufferFill = 0;
};

// Absorbs one 64-byte block into context.state.
void md5Transform(Md5Context &context, const std::uint8_t *block);

// Absorbs length bytes at data. With data null, only a full buffer is
// transformed (a flush) and length is ignored.
void md5Update(Md5Context &context, const std::uint8_t *data, std::uint32_t length);

// Pads, appends the length and returns the 32 lowercase hex digits of the
// digest. The context is spent afterwards.
std::string md5Finish(Md5Context &context);

// Digest of exactly length bytes at data.
std::string md5Hex(const std::uint8_t *data, std::uint32_t length);

#endif
