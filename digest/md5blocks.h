#ifndef MD5BLOCKS_H
#define MD5BLOCKS_H

// Internal to the engine, its tests and its benchmark: the block functions
// and the one-time choice between them. The program itself uses md5.h only.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

// The vector path needs x86-64 and a compiler that compiles one function for
// instructions that the rest of the binary does not assume.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target)
#define MD5_AVX512_BLOCKS 1
#endif
#endif

namespace md5blocks {

// Transforms count consecutive 64-byte blocks into state.
using Function = void (*)(std::uint32_t state[4], const std::uint8_t *blocks, std::size_t count);

void scalar(std::uint32_t state[4], const std::uint8_t *blocks, std::size_t count);
#ifdef MD5_AVX512_BLOCKS
void avx512(std::uint32_t state[4], const std::uint8_t *blocks, std::size_t count);
#endif

enum class Path { scalar, avx512 };
const char *nameOf(Path path);

// What this build or processor lacks to run path, or null if nothing.
const char *missingFor(Path path);

// The block function of a path that lacks nothing.
Function functionOf(Path path);

// Runs of each block function over the same sample, as timed.
using Timings = std::vector<std::chrono::nanoseconds>;

// The path that the timings favour. The shortest run of each side counts,
// since an interrupt or another process only lengthens a run. The vector
// path wins only where its shortest run, lengthened by margin (a share of
// it), is still shorter than the scalar one's. Each side has a run at least.
Path fasterPath(const Timings &scalarTimes, const Timings &vectorTimes, double margin);

// The path this process takes, chosen at first use.
Path chosen();

// The block function that the engine calls: the forced one, else the chosen one.
Function active();

// For tests and the benchmark: every later engine call, on any thread, uses
// blocks; null goes back to the chosen path.
void force(Function blocks);

} // namespace md5blocks

#endif
