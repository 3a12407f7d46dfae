#include "md5blocks.h"

namespace {

// Assembled from bytes so that it is right for any alignment and byte order;
// compilers turn this into a single load on little-endian machines.
inline std::uint32_t loadLittleEndian(const std::uint8_t *bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8
         | std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
}

inline std::uint32_t rotateLeft(std::uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

// The round functions in forms that need fewer operations than the textbook
// ones. In G the two terms never share a set bit, so + equals | and lets the
// term that does not depend on b be added before b is known.
inline void stepF(std::uint32_t &a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t word, std::uint32_t constant, int shift)
{
    a = b + rotateLeft(a + word + constant + (d ^ (b & (c ^ d))), shift);
}

inline void stepG(std::uint32_t &a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t word, std::uint32_t constant, int shift)
{
    a = b + rotateLeft(a + word + constant + (c & ~d) + (b & d), shift);
}

inline void stepH(std::uint32_t &a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t word, std::uint32_t constant, int shift)
{
    a = b + rotateLeft(a + word + constant + (b ^ c ^ d), shift);
}

inline void stepI(std::uint32_t &a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t word, std::uint32_t constant, int shift)
{
    a = b + rotateLeft(a + word + constant + (c ^ (b | ~d)), shift);
}

inline std::uint32_t messageWord(const std::uint8_t *block, int index)
{
    return loadLittleEndian(block + 4 * index);
}

} // namespace

// Transforms count consecutive blocks. Doing a run of blocks in one call keeps
// the chaining values in registers from one block to the next; a round trip
// through memory per block would lengthen the one dependency chain that sets
// the speed.
void md5blocks::scalar(std::uint32_t state[4], const std::uint8_t *block, std::size_t count)
{
    std::uint32_t stateA = state[0];
    std::uint32_t stateB = state[1];
    std::uint32_t stateC = state[2];
    std::uint32_t stateD = state[3];
    for (; count > 0; --count, block += 64) {
        std::uint32_t a = stateA;
        std::uint32_t b = stateB;
        std::uint32_t c = stateC;
        std::uint32_t d = stateD;

        stepF(a, b, c, d, messageWord(block, 0), 0xd76aa478u, 7);
        stepF(d, a, b, c, messageWord(block, 1), 0xe8c7b756u, 12);
        stepF(c, d, a, b, messageWord(block, 2), 0x242070dbu, 17);
        stepF(b, c, d, a, messageWord(block, 3), 0xc1bdceeeu, 22);
        stepF(a, b, c, d, messageWord(block, 4), 0xf57c0fafu, 7);
        stepF(d, a, b, c, messageWord(block, 5), 0x4787c62au, 12);
        stepF(c, d, a, b, messageWord(block, 6), 0xa8304613u, 17);
        stepF(b, c, d, a, messageWord(block, 7), 0xfd469501u, 22);
        stepF(a, b, c, d, messageWord(block, 8), 0x698098d8u, 7);
        stepF(d, a, b, c, messageWord(block, 9), 0x8b44f7afu, 12);
        stepF(c, d, a, b, messageWord(block, 10), 0xffff5bb1u, 17);
        stepF(b, c, d, a, messageWord(block, 11), 0x895cd7beu, 22);
        stepF(a, b, c, d, messageWord(block, 12), 0x6b901122u, 7);
        stepF(d, a, b, c, messageWord(block, 13), 0xfd987193u, 12);
        stepF(c, d, a, b, messageWord(block, 14), 0xa679438eu, 17);
        stepF(b, c, d, a, messageWord(block, 15), 0x49b40821u, 22);

        stepG(a, b, c, d, messageWord(block, 1), 0xf61e2562u, 5);
        stepG(d, a, b, c, messageWord(block, 6), 0xc040b340u, 9);
        stepG(c, d, a, b, messageWord(block, 11), 0x265e5a51u, 14);
        stepG(b, c, d, a, messageWord(block, 0), 0xe9b6c7aau, 20);
        stepG(a, b, c, d, messageWord(block, 5), 0xd62f105du, 5);
        stepG(d, a, b, c, messageWord(block, 10), 0x02441453u, 9);
        stepG(c, d, a, b, messageWord(block, 15), 0xd8a1e681u, 14);
        stepG(b, c, d, a, messageWord(block, 4), 0xe7d3fbc8u, 20);
        stepG(a, b, c, d, messageWord(block, 9), 0x21e1cde6u, 5);
        stepG(d, a, b, c, messageWord(block, 14), 0xc33707d6u, 9);
        stepG(c, d, a, b, messageWord(block, 3), 0xf4d50d87u, 14);
        stepG(b, c, d, a, messageWord(block, 8), 0x455a14edu, 20);
        stepG(a, b, c, d, messageWord(block, 13), 0xa9e3e905u, 5);
        stepG(d, a, b, c, messageWord(block, 2), 0xfcefa3f8u, 9);
        stepG(c, d, a, b, messageWord(block, 7), 0x676f02d9u, 14);
        stepG(b, c, d, a, messageWord(block, 12), 0x8d2a4c8au, 20);

        stepH(a, b, c, d, messageWord(block, 5), 0xfffa3942u, 4);
        stepH(d, a, b, c, messageWord(block, 8), 0x8771f681u, 11);
        stepH(c, d, a, b, messageWord(block, 11), 0x6d9d6122u, 16);
        stepH(b, c, d, a, messageWord(block, 14), 0xfde5380cu, 23);
        stepH(a, b, c, d, messageWord(block, 1), 0xa4beea44u, 4);
        stepH(d, a, b, c, messageWord(block, 4), 0x4bdecfa9u, 11);
        stepH(c, d, a, b, messageWord(block, 7), 0xf6bb4b60u, 16);
        stepH(b, c, d, a, messageWord(block, 10), 0xbebfbc70u, 23);
        stepH(a, b, c, d, messageWord(block, 13), 0x289b7ec6u, 4);
        stepH(d, a, b, c, messageWord(block, 0), 0xeaa127fau, 11);
        stepH(c, d, a, b, messageWord(block, 3), 0xd4ef3085u, 16);
        stepH(b, c, d, a, messageWord(block, 6), 0x04881d05u, 23);
        stepH(a, b, c, d, messageWord(block, 9), 0xd9d4d039u, 4);
        stepH(d, a, b, c, messageWord(block, 12), 0xe6db99e5u, 11);
        stepH(c, d, a, b, messageWord(block, 15), 0x1fa27cf8u, 16);
        stepH(b, c, d, a, messageWord(block, 2), 0xc4ac5665u, 23);

        stepI(a, b, c, d, messageWord(block, 0), 0xf4292244u, 6);
        stepI(d, a, b, c, messageWord(block, 7), 0x432aff97u, 10);
        stepI(c, d, a, b, messageWord(block, 14), 0xab9423a7u, 15);
        stepI(b, c, d, a, messageWord(block, 5), 0xfc93a039u, 21);
        stepI(a, b, c, d, messageWord(block, 12), 0x655b59c3u, 6);
        stepI(d, a, b, c, messageWord(block, 3), 0x8f0ccc92u, 10);
        stepI(c, d, a, b, messageWord(block, 10), 0xffeff47du, 15);
        stepI(b, c, d, a, messageWord(block, 1), 0x85845dd1u, 21);
        stepI(a, b, c, d, messageWord(block, 8), 0x6fa87e4fu, 6);
        stepI(d, a, b, c, messageWord(block, 15), 0xfe2ce6e0u, 10);
        stepI(c, d, a, b, messageWord(block, 6), 0xa3014314u, 15);
        stepI(b, c, d, a, messageWord(block, 13), 0x4e0811a1u, 21);
        stepI(a, b, c, d, messageWord(block, 4), 0xf7537e82u, 6);
        stepI(d, a, b, c, messageWord(block, 11), 0xbd3af235u, 10);
        stepI(c, d, a, b, messageWord(block, 2), 0x2ad7d2bbu, 15);
        stepI(b, c, d, a, messageWord(block, 9), 0xeb86d391u, 21);

        stateA += a;
        stateB += b;
        stateC += c;
        stateD += d;
    }
    state[0] = stateA;
    state[1] = stateB;
    state[2] = stateC;
    state[3] = stateD;
}
