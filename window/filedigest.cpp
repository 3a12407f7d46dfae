#include "filedigest.h"

#include "md5.h"

#include <QIODevice>

#include <cstdint>
#include <vector>

FileDigest digestFile(QIODevice &device, const FileDigestProgress &progress)
{
    // One buffer reused for every chunk keeps the data hot in the cache.
    std::vector<char> chunk(static_cast<std::size_t>(fileDigestChunkSize));
    Md5Context context;
    qint64 bytesRead = 0;
    for (;;) {
        const qint64 got = device.read(chunk.data(), fileDigestChunkSize);
        if (got < 0)
            return {FileDigest::ReadFailed, std::string(), bytesRead};
        if (got == 0)
            break;
        // A chunk always fits the engine's 32-bit length.
        md5Update(context, reinterpret_cast<const std::uint8_t *>(chunk.data()),
                  static_cast<std::uint32_t>(got));
        bytesRead += got;
        if (!progress(bytesRead))
            return {FileDigest::Stopped, std::string(), bytesRead};
    }
    return {FileDigest::Done, md5Finish(context), bytesRead};
}
