#include "md5blocks.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

std::atomic<md5blocks::Function> forced{nullptr};

#ifdef MD5_AVX512_BLOCKS
using Clock = std::chrono::steady_clock;

Clock::duration timeOf(md5blocks::Function blocks, const std::uint8_t *sample, std::size_t count)
{
    std::uint32_t state[4] = {};
    const Clock::time_point start = Clock::now();
    blocks(state, sample, count);
    return Clock::now() - start;
}

// The vector path is faster only where its instructions take one cycle, and
// the processor's family and model say little inside a virtual machine, so
// both paths are timed: a few runs of 1 KiB each, alternating which goes
// first. The vector path must win by a clear margin: where the two are
// close, or the clock too coarse to tell them apart, the scalar one stays.
// This takes some tens of microseconds, once.
md5blocks::Path fasterOfBoth()
{
    constexpr std::size_t sampleBlocks = 16;
    constexpr int runs = 8;
    constexpr double vectorMargin = 1.0 / 16;
    const std::uint8_t sample[sampleBlocks * 64] = {};

    // Untimed first runs bring the code and the sample into the caches.
    timeOf(md5blocks::scalar, sample, sampleBlocks);
    timeOf(md5blocks::avx512, sample, sampleBlocks);
    md5blocks::Timings scalarTimes;
    md5blocks::Timings vectorTimes;
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0)
            scalarTimes.push_back(timeOf(md5blocks::scalar, sample, sampleBlocks));
        vectorTimes.push_back(timeOf(md5blocks::avx512, sample, sampleBlocks));
        if (run % 2 == 1)
            scalarTimes.push_back(timeOf(md5blocks::scalar, sample, sampleBlocks));
    }
    return md5blocks::fasterPath(scalarTimes, vectorTimes, vectorMargin);
}
#endif

md5blocks::Path choose()
{
#ifdef MD5_AVX512_BLOCKS
    if (!md5blocks::missingFor(md5blocks::Path::avx512))
        return fasterOfBoth();
#endif
    return md5blocks::Path::scalar;
}

} // namespace

md5blocks::Path md5blocks::fasterPath(const Timings &scalarTimes, const Timings &vectorTimes, double margin)
{
    const std::chrono::nanoseconds scalarBest = *std::min_element(scalarTimes.begin(), scalarTimes.end());
    const std::chrono::nanoseconds vectorBest = *std::min_element(vectorTimes.begin(), vectorTimes.end());
    return double(vectorBest.count()) * (1 + margin) < double(scalarBest.count()) ? Path::avx512 : Path::scalar;
}

const char *md5blocks::nameOf(Path path)
{
    return path == Path::avx512 ? "avx512" : "scalar";
}

const char *md5blocks::missingFor(Path path)
{
    if (path == Path::scalar)
        return nullptr;
#ifdef MD5_AVX512_BLOCKS
    // These also check that the system saves the AVX-512 registers.
    if (!__builtin_cpu_supports("avx512f"))
        return "this processor or system lacks avx512f";
    if (!__builtin_cpu_supports("avx512vl"))
        return "this processor or system lacks avx512vl";
    return nullptr;
#else
    return "this build has no vector path (it needs x86-64 and GCC or clang)";
#endif
}

md5blocks::Function md5blocks::functionOf(Path path)
{
#ifdef MD5_AVX512_BLOCKS
    return path == Path::avx512 ? avx512 : scalar;
#else
    return path == Path::avx512 ? nullptr : scalar;
#endif
}

md5blocks::Path md5blocks::chosen()
{
    static const Path path = choose();
    return path;
}

md5blocks::Function md5blocks::active()
{
    if (const Function blocks = forced.load(std::memory_order_relaxed))
        return blocks;
    static const Function chosenBlocks = functionOf(chosen());
    return chosenBlocks;
}

void md5blocks::force(Function blocks)
{
    forced.store(blocks, std::memory_order_relaxed);
}
