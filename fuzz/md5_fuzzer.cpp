#include "md5.h"
#include "md5blocks.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The end of the input says where to cut the message, the rest is the message.
// Feeding the pieces through md5Update must give the digest of the whole, as
// md5Hex and Qt's own MD5 compute it.
void checkStreaming(const std::uint8_t *data, std::size_t size, const char *path)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::size_t> cuts(input.ConsumeIntegralInRange<std::size_t>(0, 8));
    for (std::size_t &cut : cuts)
        cut = input.ConsumeIntegral<std::uint16_t>();
    const bool flushAfterEachPiece = input.ConsumeBool();
    const std::vector<std::uint8_t> message = input.ConsumeRemainingBytes<std::uint8_t>();

    // Equal cuts give empty pieces, which must change nothing.
    for (std::size_t &cut : cuts)
        cut %= message.size() + 1;
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(message.size());

    Md5Context context;
    std::size_t start = 0;
    for (const std::size_t cut : cuts) {
        md5Update(context, message.data() + start, std::uint32_t(cut - start));
        if (flushAfterEachPiece)
            md5Update(context, nullptr, 0);
        start = cut;
    }
    const std::string streamed = md5Finish(context);

    const std::string whole = md5Hex(message.data(), std::uint32_t(message.size()));
    const std::string reference =
        QCryptographicHash::hash(QByteArray::fromRawData(reinterpret_cast<const char *>(message.data()),
                                                         int(message.size())),
                                 QCryptographicHash::Md5)
            .toHex()
            .toStdString();

    if (streamed != reference || whole != reference) {
        std::fprintf(stderr, "MD5 mismatch on %zu bytes in %zu pieces, %s block function: streamed %s, md5Hex %s, Qt %s\n",
                     message.size(), cuts.size(), path, streamed.c_str(), whole.c_str(), reference.c_str());
        std::abort();
    }
}

} // namespace

// Each input goes through every block function that this machine can run.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const md5blocks::Path path : {md5blocks::Path::scalar, md5blocks::Path::avx512}) {
        if (md5blocks::missingFor(path))
            continue;
        md5blocks::force(md5blocks::functionOf(path));
        checkStreaming(data, size, md5blocks::nameOf(path));
    }
    return 0;
}
