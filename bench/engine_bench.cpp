// Throughput of md5Hex beside OpenSSL's and Qt's MD5 on the same buffers.
// The three run interleaved, round by round and in rotating order, so that
// drift of a shared machine hits them alike; ratios are taken per round and
// their median reported. Samples are timed in processor time, which leaves
// out the time the benchmark waits while other processes have the CPU.

#include "md5.h"
#include "rounds.h"

#include <openssl/evp.h>

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int defaultRounds = 11;
constexpr int minimumRounds = 9;

struct Size {
    const char *name;
    std::uint32_t bytes;
    // Calls per timed sample, so that small inputs still give samples long
    // enough for the clock.
    int calls;
};

const Size sizes[] = {
    {"64 B", 64, 1 << 16},
    {"1 KiB", 1 << 10, 1 << 14},
    {"64 KiB", 1 << 16, 1 << 9},
    {"64 MiB", 1 << 26, 1},
};
constexpr int sizeCount = int(sizeof sizes / sizeof sizes[0]);

std::string hexOf(const unsigned char *bytes, std::size_t count)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += hexDigits[bytes[i] >> 4];
        hex += hexDigits[bytes[i] & 0x0fu];
    }
    return hex;
}

std::string engineDigest(const std::uint8_t *data, std::uint32_t length)
{
    return md5Hex(data, length);
}

std::string opensslDigest(const std::uint8_t *data, std::uint32_t length)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (!EVP_Digest(data, length, digest, &digestLength, EVP_md5(), nullptr))
        return "OpenSSL failed";
    return hexOf(digest, digestLength);
}

std::string qtDigest(const std::uint8_t *data, std::uint32_t length)
{
    const QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(length));
    const QByteArray digest = QCryptographicHash::hash(view, QCryptographicHash::Md5);
    return hexOf(reinterpret_cast<const unsigned char *>(digest.constData()), std::size_t(digest.size()));
}

struct Contender {
    const char *name;
    std::string (*digest)(const std::uint8_t *, std::uint32_t);
};

// OpenSSL first: the ratios are taken against it.
const Contender contenders[] = {
    {"OpenSSL", opensslDigest},
    {"md5Hex", engineDigest},
    {"Qt", qtDigest},
};
constexpr int contenderCount = int(sizeof contenders / sizeof contenders[0]);

// Keeps the digests observable so that no call is optimised away.
volatile unsigned char digestSink;

double secondsFor(const Contender &contender, const std::uint8_t *data, const Size &size)
{
    unsigned char mix = 0;
    const std::clock_t start = std::clock();
    for (int call = 0; call < size.calls; ++call)
        mix ^= static_cast<unsigned char>(contender.digest(data, size.bytes)[0]);
    const std::clock_t stop = std::clock();
    digestSink = mix;
    return double(stop - start) / CLOCKS_PER_SEC;
}

bool digestsAgree(const std::uint8_t *data)
{
    bool agree = true;
    for (const Size &size : sizes) {
        const std::string expected = opensslDigest(data, size.bytes);
        for (const Contender &contender : contenders) {
            const std::string got = contender.digest(data, size.bytes);
            if (got != expected) {
                std::fprintf(stderr, "%s: %s gives %s, OpenSSL %s\n", size.name, contender.name,
                             got.c_str(), expected.c_str());
                agree = false;
            }
        }
    }
    return agree;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = roundsFromArguments(argc, argv, defaultRounds, minimumRounds);
    if (rounds == 0)
        return 2;

    // Every size reads a prefix of one buffer as long as the largest.
    std::vector<std::uint8_t> buffer(sizes[sizeCount - 1].bytes);
    std::mt19937 random(20240611);
    for (std::uint8_t &byte : buffer)
        byte = std::uint8_t(random());

    if (!digestsAgree(buffer.data()))
        return 1;

    // seconds[size][contender] and ratioToOpenssl[size][contender], one entry per round.
    std::vector<std::vector<std::vector<double>>> seconds(
        sizeCount, std::vector<std::vector<double>>(contenderCount));
    auto ratioToOpenssl = seconds;

    for (int round = 0; round < rounds; ++round) {
        for (int s = 0; s < sizeCount; ++s) {
            double taken[contenderCount];
            for (int turn = 0; turn < contenderCount; ++turn) {
                const int c = (turn + round) % contenderCount;
                taken[c] = secondsFor(contenders[c], buffer.data(), sizes[s]);
            }
            for (int c = 0; c < contenderCount; ++c) {
                seconds[s][c].push_back(taken[c]);
                ratioToOpenssl[s][c].push_back(taken[0] / taken[c]);
            }
        }
    }

    std::printf("MD5 throughput in MB (10^6 bytes) per second of processor time,\n"
                "median of %d interleaved rounds\n\n", rounds);
    std::printf("%-8s", "size");
    for (const Contender &contender : contenders)
        std::printf(" %12s", (std::string(contender.name) + " MB/s").c_str());
    for (int c = 1; c < contenderCount; ++c)
        std::printf(" %16s", (std::string(contenders[c].name) + "/OpenSSL").c_str());
    std::printf("\n");
    for (int s = 0; s < sizeCount; ++s) {
        const double bytes = double(sizes[s].bytes) * sizes[s].calls;
        std::printf("%-8s", sizes[s].name);
        for (int c = 0; c < contenderCount; ++c)
            std::printf(" %12.1f", bytes / median(seconds[s][c]) / 1e6);
        for (int c = 1; c < contenderCount; ++c)
            std::printf(" %16.3f", median(ratioToOpenssl[s][c]));
        std::printf("\n");
    }
    return 0;
}
