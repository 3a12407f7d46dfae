// Throughput of md5Hex, through each of its block functions, beside OpenSSL's
// and Qt's MD5 on the same buffers, aligned and at offsets 1 to 7. The
// contenders run interleaved, round by round and in rotating order, so that
// drift of a shared machine hits them alike; ratios are taken per round and
// their median reported. Samples are timed in processor time, which leaves
// out the time the benchmark waits while other processes have the CPU.
//
// With --smoke it only checks every contender's digests against OpenSSL's on
// small inputs, once, and exits non-zero on a mismatch.

#include "md5.h"
#include "md5blocks.h"
#include "rounds.h"

#include <openssl/evp.h>

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
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
    // Whether each call starts 1 to 7 bytes past an aligned address.
    bool misaligned;
};

const Size sizes[] = {
    {"64 B", 64, 1 << 16, false},        {"64 B +1..7", 64, 1 << 16, true},
    {"1 KiB", 1 << 10, 1 << 14, false},  {"1 KiB +1..7", 1 << 10, 1 << 14, true},
    {"64 KiB", 1 << 16, 1 << 9, false},  {"64 KiB +1..7", 1 << 16, 1 << 9, true},
    {"64 MiB", 1 << 26, 1, false},       {"64 MiB +1..7", 1 << 26, 1, true},
};
constexpr int sizeCount = int(sizeof sizes / sizeof sizes[0]);
constexpr std::uint32_t largestSize = 1 << 26;

// Lengths whose digests are checked before timing, and in the smoke test:
// both ends of the padding, and runs of whole blocks.
const std::vector<std::uint32_t> checkedLengths = {0, 1, 55, 56, 63, 64, 65, 119, 128, 1000, 1024, 65536};

std::size_t offsetOf(const Size &size, int call)
{
    return size.misaligned ? 1 + std::size_t(call) % 7 : 0;
}

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

// One context and one fetched algorithm for every call, as a program that
// digests many small inputs would keep them; EVP_Digest sets up both anew.
EVP_MD_CTX *reusedContext;
EVP_MD *fetchedMd5;

std::string opensslReusedDigest(const std::uint8_t *data, std::uint32_t length)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (!EVP_DigestInit_ex2(reusedContext, fetchedMd5, nullptr)
        || !EVP_DigestUpdate(reusedContext, data, length)
        || !EVP_DigestFinal_ex(reusedContext, digest, &digestLength))
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
    std::string name;
    std::string (*digest)(const std::uint8_t *, std::uint32_t);
    // The block function forced on md5Hex; null for the other contenders.
    md5blocks::Function blocks;
};

// OpenSSL first: the ratios are taken against it. md5Hex once per block
// function that this machine can run, the chosen one marked with a star.
std::vector<Contender> contendersHere()
{
    std::vector<Contender> contenders = {{"OpenSSL", opensslDigest, nullptr},
                                         {"OpenSSL ctx", opensslReusedDigest, nullptr}};
    for (const md5blocks::Path path : {md5blocks::Path::scalar, md5blocks::Path::avx512}) {
        if (const char *missing = md5blocks::missingFor(path)) {
            std::printf("md5Hex %s not run: %s\n", md5blocks::nameOf(path), missing);
            continue;
        }
        const std::string mark = path == md5blocks::chosen() ? "*" : "";
        contenders.push_back({md5blocks::nameOf(path) + mark, engineDigest, md5blocks::functionOf(path)});
    }
    contenders.push_back({"Qt", qtDigest, nullptr});
    return contenders;
}

// Keeps the digests observable so that no call is optimised away.
volatile unsigned char digestSink;

double secondsFor(const Contender &contender, const std::uint8_t *data, const Size &size, int round)
{
    md5blocks::force(contender.blocks);
    unsigned char mix = 0;
    const std::clock_t start = std::clock();
    for (int call = 0; call < size.calls; ++call)
        mix ^= static_cast<unsigned char>(
            contender.digest(data + offsetOf(size, call + round), size.bytes)[0]);
    const std::clock_t stop = std::clock();
    digestSink = mix;
    return double(stop - start) / CLOCKS_PER_SEC;
}

// Checks every contender against OpenSSL at each checked length and each
// offset from 0 to 7; says how many digests agreed, or -1 after naming a
// mismatch.
int digestsAgree(const std::vector<Contender> &contenders, const std::uint8_t *data)
{
    int agreed = 0;
    bool agree = true;
    for (const Contender &contender : contenders) {
        md5blocks::force(contender.blocks);
        for (std::uint32_t length : checkedLengths) {
            for (std::size_t offset = 0; offset < 8; ++offset) {
                const std::string expected = opensslDigest(data + offset, length);
                const std::string got = contender.digest(data + offset, length);
                if (got == expected) {
                    ++agreed;
                    continue;
                }
                std::fprintf(stderr, "%u bytes at offset %zu: %s gives %s, OpenSSL %s\n", length, offset,
                             contender.name.c_str(), got.c_str(), expected.c_str());
                agree = false;
            }
        }
    }
    return agree ? agreed : -1;
}

std::string cpuinfoField(const std::string &field)
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || line.compare(0, field.size(), field) != 0)
            continue;
        const std::string key = line.substr(0, line.find_last_not_of(" \t", colon - 1) + 1);
        if (key == field)
            return line.substr(std::min(line.size(), colon + 2));
    }
    return "unknown";
}

// The processor clock, in GHz, from a chain of dependent register additions
// (one cycle each); 0 where it cannot be measured this way.
double clockGhz()
{
#if defined(__x86_64__) && defined(__GNUC__)
    constexpr long additions = 1L << 26;
    double best = 0;
    for (int run = 0; run < 5; ++run) {
        std::uint64_t sum = 0;
        std::uint64_t step = std::uint64_t(run) | 1;
        __asm__("" : "+r"(step));
        const std::clock_t start = std::clock();
        for (long i = 0; i < additions; i += 4)
            __asm__ volatile("add %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0" : "+r"(sum) : "r"(step));
        const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
        if (seconds > 0)
            best = std::max(best, double(additions) / seconds / 1e9);
    }
    return best;
#else
    return 0;
#endif
}

void printMachine()
{
    std::printf("processor: %s, cpu family %s, model %s\n", cpuinfoField("model name").c_str(),
                cpuinfoField("cpu family").c_str(), cpuinfoField("model").c_str());
}

// The engine's first use: the block function is chosen here, and timed
// unless a smoke test, which claims no timings, asks.
void printChoice(bool timed)
{
    const auto start = std::chrono::steady_clock::now();
    const md5blocks::Path chosen = md5blocks::chosen();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    std::printf("md5Hex takes the %s block function here", md5blocks::nameOf(chosen));
    if (timed)
        std::printf(" (chosen at first use, in %.0f us)", took.count());
    std::printf("\n");
}

// Every size and check reads a prefix of one buffer, past the offset of a
// misaligned row.
std::vector<std::uint8_t> randomBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count + 8);
    std::mt19937 random(20240611);
    for (std::uint8_t &byte : bytes)
        byte = std::uint8_t(random());
    return bytes;
}

int smokeTest()
{
    printMachine();
    printChoice(false);
    const std::vector<Contender> contenders = contendersHere();
    const int agreed = digestsAgree(contenders, randomBytes(checkedLengths.back()).data());
    if (agreed < 0)
        return 1;
    std::printf("%d digests of %zu contenders agree with OpenSSL\n", agreed, contenders.size());
    return 0;
}

int benchmark(int argc, char **argv)
{
    const int rounds = roundsFromArguments(argc, argv, defaultRounds, minimumRounds);
    if (rounds == 0)
        return 2;

    printMachine();
    printChoice(true);
    const std::vector<Contender> contenders = contendersHere();
    const int contenderCount = int(contenders.size());
    const std::vector<std::uint8_t> buffer = randomBytes(largestSize);
    if (digestsAgree(contenders, buffer.data()) < 0)
        return 1;

    // seconds[size][contender] and ratioToOpenssl[size][contender], one entry per round.
    std::vector<std::vector<std::vector<double>>> seconds(
        sizeCount, std::vector<std::vector<double>>(contenderCount));
    auto ratioToOpenssl = seconds;
    std::vector<double> clocks;

    for (int round = 0; round < rounds; ++round) {
        clocks.push_back(clockGhz());
        for (int s = 0; s < sizeCount; ++s) {
            std::vector<double> taken(contenderCount);
            for (int turn = 0; turn < contenderCount; ++turn) {
                const int c = (turn + round) % contenderCount;
                taken[c] = secondsFor(contenders[c], buffer.data(), sizes[s], round);
            }
            for (int c = 0; c < contenderCount; ++c) {
                seconds[s][c].push_back(taken[c]);
                ratioToOpenssl[s][c].push_back(taken[0] / taken[c]);
            }
        }
    }

    const double ghz = median(clocks);
    std::printf("\nMD5 throughput in MB (10^6 bytes) per second of processor time, median of %d\n"
                "interleaved rounds; * marks md5Hex's own choice. +1..7: inputs 1 to 7 bytes\n"
                "past an aligned address.\n\n", rounds);
    std::printf("%-13s", "size");
    for (const Contender &contender : contenders)
        std::printf(" %11s", contender.name.c_str());
    std::printf("   per OpenSSL:");
    for (int c = 1; c < contenderCount; ++c)
        std::printf(" %11s", contenders[c].name.c_str());
    std::printf("\n");
    for (int s = 0; s < sizeCount; ++s) {
        const double bytes = double(sizes[s].bytes) * sizes[s].calls;
        std::printf("%-13s", sizes[s].name);
        for (int c = 0; c < contenderCount; ++c)
            std::printf(" %11.1f", bytes / median(seconds[s][c]) / 1e6);
        std::printf("%15s", "");
        for (int c = 1; c < contenderCount; ++c)
            std::printf(" %11.3f", median(ratioToOpenssl[s][c]));
        std::printf("\n");
    }
    if (ghz > 0) {
        const int largest = sizeCount - 2;
        std::printf("\nProcessor cycles per byte at %s, the clock taken as %.2f GHz (median of one\n"
                    "chain of dependent additions per round):\n", sizes[largest].name, ghz);
        for (int c = 0; c < contenderCount; ++c)
            std::printf("  %s %.2f", contenders[c].name.c_str(),
                        median(seconds[largest][c]) * ghz * 1e9 / sizes[largest].bytes);
        std::printf("\n");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    reusedContext = EVP_MD_CTX_new();
    fetchedMd5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    const int status = !reusedContext || !fetchedMd5 ? 1 : smoke ? smokeTest() : benchmark(argc, argv);
    EVP_MD_free(fetchedMd5);
    EVP_MD_CTX_free(reusedContext);
    return status;
}
