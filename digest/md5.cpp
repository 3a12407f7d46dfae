#include "md5.h"
#include "md5blocks.h"

#include <cstddef>
#include <cstring>

namespace {

void transformBlockCountingIt(Md5Context &context, const std::uint8_t *block)
{
    md5blocks::active()(context.state, block, 1);
    ++context.blockCount;
}

} // namespace

void md5Transform(Md5Context &context, const std::uint8_t *block)
{
    md5blocks::active()(context.state, block, 1);
}

void md5Update(Md5Context &context, const std::uint8_t *data, std::uint32_t length)
{
    if (context.bufferFill == 64) {
        transformBlockCountingIt(context, context.buffer);
        context.bufferFill = 0;
    }
    if (!data)
        return;

    if (context.bufferFill > 0) {
        const std::uint32_t room = 64 - std::uint32_t(context.bufferFill);
        const std::uint32_t taken = length < room ? length : room;
        std::memcpy(context.buffer + context.bufferFill, data, taken);
        context.bufferFill += std::int32_t(taken);
        data += taken;
        length -= taken;
        if (context.bufferFill == 64) {
            transformBlockCountingIt(context, context.buffer);
            context.bufferFill = 0;
        }
        if (length == 0)
            return;
    }

    // Whole blocks are read straight from the caller's memory, in one run.
    const std::uint32_t wholeBlocks = length / 64;
    md5blocks::active()(context.state, data, wholeBlocks);
    context.blockCount += wholeBlocks;
    data += std::size_t(wholeBlocks) * 64;
    length %= 64;

    std::memcpy(context.buffer, data, length);
    context.bufferFill = std::int32_t(length);
}

std::string md5Finish(Md5Context &context)
{
    md5Update(context, nullptr, 0);

    const std::uint32_t fill = std::uint32_t(context.bufferFill);
    const std::uint64_t blockCount = context.blockCount;

    context.buffer[fill] = 0x80;
    context.bufferFill = std::int32_t(fill) + 1;
    if (fill >= 56) {
        std::memset(context.buffer + fill + 1, 0, 63 - fill);
        context.bufferFill = 64;
        md5Update(context, nullptr, 0);
        std::memset(context.buffer, 0, 56);
    } else {
        std::memset(context.buffer + fill + 1, 0, 55 - fill);
        context.bufferFill = 56;
    }

    // Wraps modulo 2^64 bits, as MD5 defines the length field.
    const std::uint64_t bitLength = (blockCount * 64 + fill) * 8;
    for (int i = 0; i < 8; ++i)
        context.buffer[56 + i] = std::uint8_t(bitLength >> (8 * i));
    md5Transform(context, context.buffer);

    static const char hexDigits[] = "0123456789abcdef";
    std::string hex(32, '0');
    for (int word = 0; word < 4; ++word) {
        for (int byte = 0; byte < 4; ++byte) {
            const unsigned value = (context.state[word] >> (8 * byte)) & 0xffu;
            const int at = 8 * word + 2 * byte;
            hex[at] = hexDigits[value >> 4];
            hex[at + 1] = hexDigits[value & 0x0fu];
        }
    }
    return hex;
}

std::string md5Hex(const std::uint8_t *data, std::uint32_t length)
{
    Md5Context context;
    md5Update(context, data, length);
    return md5Finish(context);
}
