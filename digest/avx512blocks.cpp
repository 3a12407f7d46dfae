#include "md5blocks.h"

#ifdef MD5_AVX512_BLOCKS

#include <immintrin.h>

#include <cstring>

// Only the functions in this file may use AVX-512; the rest of the binary
// runs on any x86-64, and the engine calls these only where the processor
// has avx512f and avx512vl.
#define MD5_AVX512_TARGET __attribute__((target("avx512f,avx512vl")))

namespace {

// vpternlogd truth tables of the round functions, with d, b and c as its
// inputs in that order: d's register is the one overwritten, and d is the
// oldest of the three.
constexpr int roundF = 0xb8; // (b & c) | (~b & d)
constexpr int roundG = 0xca; // (b & d) | (c & ~d)
constexpr int roundH = 0x96; // b ^ c ^ d
constexpr int roundI = 0x65; // c ^ (b | ~d)

MD5_AVX512_TARGET inline __m128i lane0(std::uint32_t value)
{
    return _mm_cvtsi32_si128(int(value));
}

// One step in lane 0 of the registers. With the round function in one
// instruction and a rotate instruction, the chain from b to the new a is four
// operations (round function, add, rotate, add b) against 4.5 on average for
// the scalar steps; a + word + constant does not wait for b.
template <int roundFunction, int shift>
MD5_AVX512_TARGET inline void step(__m128i &a, __m128i b, __m128i c, __m128i d, __m128i word,
                                   std::uint32_t constant)
{
    __m128i early = _mm_add_epi32(a, _mm_add_epi32(word, lane0(constant)));
    // Left free, the compiler regroups the sum so that two additions wait for
    // the round function instead of one.
    __asm__("" : "+v"(early));
    const __m128i mixed = _mm_ternarylogic_epi32(d, b, c, roundFunction);
    a = _mm_add_epi32(b, _mm_rol_epi32(_mm_add_epi32(early, mixed), shift));
}

// x86 stores words least significant byte first, as MD5 reads them.
MD5_AVX512_TARGET inline __m128i messageWord(const std::uint8_t *block, int index)
{
    std::uint32_t word;
    std::memcpy(&word, block + 4 * index, 4);
    return lane0(word);
}

MD5_AVX512_TARGET inline std::uint32_t fromLane0(__m128i value)
{
    return std::uint32_t(_mm_cvtsi128_si32(value));
}

} // namespace

// The same 64 steps as the scalar function, chaining values kept in
// registers across the run of blocks.
MD5_AVX512_TARGET void md5blocks::avx512(std::uint32_t state[4], const std::uint8_t *block,
                                         std::size_t count)
{
    __m128i stateA = lane0(state[0]);
    __m128i stateB = lane0(state[1]);
    __m128i stateC = lane0(state[2]);
    __m128i stateD = lane0(state[3]);
    for (; count > 0; --count, block += 64) {
        // Asking for the block 1 KiB ahead made long inputs that are not in
        // the cache about 5 % faster; a prefetch never faults, past the end
        // of the input included.
        _mm_prefetch(reinterpret_cast<const char *>(block) + 1024, _MM_HINT_T0);
        __m128i a = stateA;
        __m128i b = stateB;
        __m128i c = stateC;
        __m128i d = stateD;

        step<roundF, 7>(a, b, c, d, messageWord(block, 0), 0xd76aa478u);
        step<roundF, 12>(d, a, b, c, messageWord(block, 1), 0xe8c7b756u);
        step<roundF, 17>(c, d, a, b, messageWord(block, 2), 0x242070dbu);
        step<roundF, 22>(b, c, d, a, messageWord(block, 3), 0xc1bdceeeu);
        step<roundF, 7>(a, b, c, d, messageWord(block, 4), 0xf57c0fafu);
        step<roundF, 12>(d, a, b, c, messageWord(block, 5), 0x4787c62au);
        step<roundF, 17>(c, d, a, b, messageWord(block, 6), 0xa8304613u);
        step<roundF, 22>(b, c, d, a, messageWord(block, 7), 0xfd469501u);
        step<roundF, 7>(a, b, c, d, messageWord(block, 8), 0x698098d8u);
        step<roundF, 12>(d, a, b, c, messageWord(block, 9), 0x8b44f7afu);
        step<roundF, 17>(c, d, a, b, messageWord(block, 10), 0xffff5bb1u);
        step<roundF, 22>(b, c, d, a, messageWord(block, 11), 0x895cd7beu);
        step<roundF, 7>(a, b, c, d, messageWord(block, 12), 0x6b901122u);
        step<roundF, 12>(d, a, b, c, messageWord(block, 13), 0xfd987193u);
        step<roundF, 17>(c, d, a, b, messageWord(block, 14), 0xa679438eu);
        step<roundF, 22>(b, c, d, a, messageWord(block, 15), 0x49b40821u);

        step<roundG, 5>(a, b, c, d, messageWord(block, 1), 0xf61e2562u);
        step<roundG, 9>(d, a, b, c, messageWord(block, 6), 0xc040b340u);
        step<roundG, 14>(c, d, a, b, messageWord(block, 11), 0x265e5a51u);
        step<roundG, 20>(b, c, d, a, messageWord(block, 0), 0xe9b6c7aau);
        step<roundG, 5>(a, b, c, d, messageWord(block, 5), 0xd62f105du);
        step<roundG, 9>(d, a, b, c, messageWord(block, 10), 0x02441453u);
        step<roundG, 14>(c, d, a, b, messageWord(block, 15), 0xd8a1e681u);
        step<roundG, 20>(b, c, d, a, messageWord(block, 4), 0xe7d3fbc8u);
        step<roundG, 5>(a, b, c, d, messageWord(block, 9), 0x21e1cde6u);
        step<roundG, 9>(d, a, b, c, messageWord(block, 14), 0xc33707d6u);
        step<roundG, 14>(c, d, a, b, messageWord(block, 3), 0xf4d50d87u);
        step<roundG, 20>(b, c, d, a, messageWord(block, 8), 0x455a14edu);
        step<roundG, 5>(a, b, c, d, messageWord(block, 13), 0xa9e3e905u);
        step<roundG, 9>(d, a, b, c, messageWord(block, 2), 0xfcefa3f8u);
        step<roundG, 14>(c, d, a, b, messageWord(block, 7), 0x676f02d9u);
        step<roundG, 20>(b, c, d, a, messageWord(block, 12), 0x8d2a4c8au);

        step<roundH, 4>(a, b, c, d, messageWord(block, 5), 0xfffa3942u);
        step<roundH, 11>(d, a, b, c, messageWord(block, 8), 0x8771f681u);
        step<roundH, 16>(c, d, a, b, messageWord(block, 11), 0x6d9d6122u);
        step<roundH, 23>(b, c, d, a, messageWord(block, 14), 0xfde5380cu);
        step<roundH, 4>(a, b, c, d, messageWord(block, 1), 0xa4beea44u);
        step<roundH, 11>(d, a, b, c, messageWord(block, 4), 0x4bdecfa9u);
        step<roundH, 16>(c, d, a, b, messageWord(block, 7), 0xf6bb4b60u);
        step<roundH, 23>(b, c, d, a, messageWord(block, 10), 0xbebfbc70u);
        step<roundH, 4>(a, b, c, d, messageWord(block, 13), 0x289b7ec6u);
        step<roundH, 11>(d, a, b, c, messageWord(block, 0), 0xeaa127fau);
        step<roundH, 16>(c, d, a, b, messageWord(block, 3), 0xd4ef3085u);
        step<roundH, 23>(b, c, d, a, messageWord(block, 6), 0x04881d05u);
        step<roundH, 4>(a, b, c, d, messageWord(block, 9), 0xd9d4d039u);
        step<roundH, 11>(d, a, b, c, messageWord(block, 12), 0xe6db99e5u);
        step<roundH, 16>(c, d, a, b, messageWord(block, 15), 0x1fa27cf8u);
        step<roundH, 23>(b, c, d, a, messageWord(block, 2), 0xc4ac5665u);

        step<roundI, 6>(a, b, c, d, messageWord(block, 0), 0xf4292244u);
        step<roundI, 10>(d, a, b, c, messageWord(block, 7), 0x432aff97u);
        step<roundI, 15>(c, d, a, b, messageWord(block, 14), 0xab9423a7u);
        step<roundI, 21>(b, c, d, a, messageWord(block, 5), 0xfc93a039u);
        step<roundI, 6>(a, b, c, d, messageWord(block, 12), 0x655b59c3u);
        step<roundI, 10>(d, a, b, c, messageWord(block, 3), 0x8f0ccc92u);
        step<roundI, 15>(c, d, a, b, messageWord(block, 10), 0xffeff47du);
        step<roundI, 21>(b, c, d, a, messageWord(block, 1), 0x85845dd1u);
        step<roundI, 6>(a, b, c, d, messageWord(block, 8), 0x6fa87e4fu);
        step<roundI, 10>(d, a, b, c, messageWord(block, 15), 0xfe2ce6e0u);
        step<roundI, 15>(c, d, a, b, messageWord(block, 6), 0xa3014314u);
        step<roundI, 21>(b, c, d, a, messageWord(block, 13), 0x4e0811a1u);
        step<roundI, 6>(a, b, c, d, messageWord(block, 4), 0xf7537e82u);
        step<roundI, 10>(d, a, b, c, messageWord(block, 11), 0xbd3af235u);
        step<roundI, 15>(c, d, a, b, messageWord(block, 2), 0x2ad7d2bbu);
        step<roundI, 21>(b, c, d, a, messageWord(block, 9), 0xeb86d391u);

        stateA = _mm_add_epi32(stateA, a);
        stateB = _mm_add_epi32(stateB, b);
        stateC = _mm_add_epi32(stateC, c);
        stateD = _mm_add_epi32(stateD, d);
    }
    state[0] = fromLane0(stateA);
    state[1] = fromLane0(stateB);
    state[2] = fromLane0(stateC);
    state[3] = fromLane0(stateD);
}

#endif
