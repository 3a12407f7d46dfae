#include "md5.h"
#include "md5blocks.h"

#include <QCryptographicHash>
#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Pieces = std::vector<std::uint32_t>;

const std::uint8_t *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const std::uint8_t *>(data.constData());
}

QByteArray oracle(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

// Reproducible bytes with plenty of zeros among them.
QByteArray sampleBytes(int length, std::uint32_t seed)
{
    std::mt19937 random(seed);
    QByteArray data(length, '\0');
    for (char &byte : data)
        byte = char(random() % 3 == 0 ? 0 : random());
    return data;
}

// Piece sizes for feeding length bytes: pieceSize 0 means one call, a
// negative pieceSize random sizes (empty ones among them).
Pieces splitInto(std::uint32_t length, int pieceSize, std::mt19937 &random)
{
    if (pieceSize == 0)
        return {length};
    Pieces pieces;
    for (std::uint32_t left = length; left > 0;) {
        std::uint32_t size = pieceSize > 0 ? std::uint32_t(pieceSize) : random() % 140;
        if (pieceSize < 0 && random() % 4 == 0)
            pieces.push_back(0);
        size = std::min(size, left);
        pieces.push_back(size);
        left -= size;
    }
    return pieces;
}

Md5Context feed(const QByteArray &data, const Pieces &pieces)
{
    Md5Context context;
    const std::uint8_t *at = bytesOf(data);
    for (std::uint32_t size : pieces) {
        md5Update(context, at, size);
        at += size;
    }
    return context;
}

// A readable dump of the context; bufferBytes says how much of the buffer to include.
QByteArray describe(const Md5Context &context, int bufferBytes)
{
    QByteArray text;
    for (std::uint32_t word : context.state)
        text += QByteArray::number(word, 16) + ' ';
    text += "blocks " + QByteArray::number(quint64(context.blockCount));
    text += " fill " + QByteArray::number(context.bufferFill) + ' ';
    text += QByteArray(reinterpret_cast<const char *>(context.buffer), bufferBytes).toHex();
    return text;
}

QByteArray finish(Md5Context context)
{
    return QByteArray::fromStdString(md5Finish(context));
}

// Rows run through each block function, forced; "chosen" leaves the engine
// its own choice.
const char *const forcedPaths[] = {"scalar", "avx512"};

// Points every later engine call at the named path; gives what this machine
// lacks for it, or null.
const char *useBlockPath(const QByteArray &path)
{
    if (path == "chosen")
        return nullptr;
    const md5blocks::Path wanted = path == "avx512" ? md5blocks::Path::avx512 : md5blocks::Path::scalar;
    if (const char *missing = md5blocks::missingFor(wanted))
        return missing;
    md5blocks::force(md5blocks::functionOf(wanted));
    return nullptr;
}

// For tests whose only column is the path.
void addForcedPathRows()
{
    QTest::addColumn<QByteArray>("path");
    for (const char *path : forcedPaths)
        QTest::newRow(path) << QByteArray(path);
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void rfcSuiteInPieces_data();
    void rfcSuiteInPieces();
    void lengthsMatchOracle_data();
    void lengthsMatchOracle();
    void misalignedInputMatchesOracle_data();
    void misalignedInputMatchesOracle();
    void flushLeavesPartialBufferAlone_data();
    void flushLeavesPartialBufferAlone();
    void flushTransformsFullBuffer_data();
    void flushTransformsFullBuffer();
    void nullEmptyInputIsEmptyMessage();
    void lengthPastFourGigaBlocks_data();
    void lengthPastFourGigaBlocks();
    void randomSplitsMatchOneCallAndOracle_data();
    void randomSplitsMatchOneCallAndOracle();
};

void EngineTest::cleanup()
{
    md5blocks::force(nullptr);
}

void EngineTest::rfcSuiteInPieces_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("path");

    const struct {
        const char *message;
        const char *digest;
    } suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    const struct {
        const char *name;
        int pieceSize;
    } splits[] = {{"whole", 0}, {"1", 1}, {"63", 63}, {"64", 64}, {"65", 65}, {"random", -1}};

    for (const char *path : {"scalar", "chosen", "avx512"})
        for (const auto &entry : suite)
            for (const auto &split : splits)
                QTest::addRow("%s, %d bytes, pieces %s", path, int(std::strlen(entry.message)), split.name)
                    << QByteArray(entry.message) << split.pieceSize << QByteArray(entry.digest) << QByteArray(path);
}

void EngineTest::rfcSuiteInPieces()
{
    QFETCH(QByteArray, message);
    QFETCH(int, pieceSize);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);
    QVERIFY(!md5blocks::missingFor(md5blocks::chosen()));
    if (path == "chosen")
        QVERIFY(md5blocks::active() == md5blocks::functionOf(md5blocks::chosen()));

    std::mt19937 random(std::uint32_t(message.size()));
    const Md5Context pieced = feed(message, splitInto(message.size(), pieceSize, random));
    const Md5Context whole = feed(message, {std::uint32_t(message.size())});

    QCOMPARE(describe(pieced, pieced.bufferFill), describe(whole, whole.bufferFill));
    QCOMPARE(finish(pieced), expected);
    QCOMPARE(QByteArray::fromStdString(md5Hex(bytesOf(message), message.size())), expected);
}

void EngineTest::lengthsMatchOracle_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("path");
    for (const char *path : forcedPaths) {
        for (int length = 0; length <= 300; ++length)
            QTest::addRow("%s, %d", path, length) << length << QByteArray(path);
        for (int k = 9; k <= 20; ++k)
            for (int length : {(1 << k) - 1, 1 << k, (1 << k) + 1})
                QTest::addRow("%s, %d", path, length) << length << QByteArray(path);
    }
}

void EngineTest::lengthsMatchOracle()
{
    QFETCH(int, length);
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);
    const QByteArray data = sampleBytes(length, 1321);
    QCOMPARE(QByteArray::fromStdString(md5Hex(bytesOf(data), data.size())), oracle(data));
}

void EngineTest::misalignedInputMatchesOracle_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("path");

    for (const char *path : forcedPaths) {
        QTest::addRow("%s, one zero byte", path)
            << QByteArray(1, '\0') << QByteArray("93b885adfe0da089cdf634904fd59f71") << QByteArray(path);
        QTest::addRow("%s, zero inside", path)
            << QByteArray("a\0b", 3) << oracle(QByteArray("a\0b", 3)) << QByteArray(path);
        for (int length : {64, 200, 1000})
            QTest::addRow("%s, %d zeros", path, length)
                << QByteArray(length, '\0') << oracle(QByteArray(length, '\0')) << QByteArray(path);
        for (int length : {63, 130, 4097})
            QTest::addRow("%s, %d mixed", path, length)
                << sampleBytes(length, 7) << oracle(sampleBytes(length, 7)) << QByteArray(path);
    }
}

void EngineTest::misalignedInputMatchesOracle()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);

    std::vector<std::uint8_t> storage(message.size() + 8);
    for (int offset = 1; offset < 8; ++offset) {
        std::memcpy(storage.data() + offset, message.constData(), message.size());
        QCOMPARE(QByteArray::fromStdString(md5Hex(storage.data() + offset, message.size())), expected);
    }
}

void EngineTest::flushLeavesPartialBufferAlone_data()
{
    QTest::addColumn<int>("fill");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<QByteArray>("path");
    for (const char *path : forcedPaths)
        for (int fill : {0, 1, 55, 56, 63})
            for (int blocks : {0, 2})
                QTest::addRow("%s, fill %d after %d blocks", path, fill, blocks) << fill << blocks << QByteArray(path);
}

void EngineTest::flushLeavesPartialBufferAlone()
{
    QFETCH(int, fill);
    QFETCH(int, blocks);
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);

    Md5Context context;
    const QByteArray data = sampleBytes(blocks * 64 + fill, 99);
    md5Update(context, bytesOf(data), data.size());
    const QByteArray before = describe(context, 64);

    md5Update(context, nullptr, 0);
    QCOMPARE(describe(context, 64), before);
    md5Update(context, nullptr, 100);
    QCOMPARE(describe(context, 64), before);
}

void EngineTest::flushTransformsFullBuffer_data()
{
    addForcedPathRows();
}

void EngineTest::flushTransformsFullBuffer()
{
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);
    const QByteArray block = sampleBytes(64, 5);
    Md5Context byHand;
    std::memcpy(byHand.buffer, block.constData(), 64);
    byHand.bufferFill = 64;
    md5Update(byHand, nullptr, 0);

    const Md5Context absorbed = feed(block, {64});
    QCOMPARE(describe(byHand, 0), describe(absorbed, 0));
    QCOMPARE(finish(byHand), oracle(block));
}

void EngineTest::nullEmptyInputIsEmptyMessage()
{
    QCOMPARE(QByteArray::fromStdString(md5Hex(nullptr, 0)), QByteArray("d41d8cd98f00b204e9800998ecf8427e"));
}

void EngineTest::lengthPastFourGigaBlocks_data()
{
    QTest::addColumn<quint64>("blockCount");
    QTest::addColumn<int>("fill");
    for (quint64 blockCount : {quint64(1) << 32, (quint64(1) << 32) + 3, quint64(1) << 40})
        for (int fill : {0, 55, 56, 63})
            QTest::addRow("%llu blocks, fill %d", blockCount, fill) << blockCount << fill;
}

// Such messages are too long to digest here, so the padded tail is built
// independently and run through the transform.
void EngineTest::lengthPastFourGigaBlocks()
{
    QFETCH(quint64, blockCount);
    QFETCH(int, fill);

    Md5Context context;
    context.blockCount = blockCount;
    context.bufferFill = fill;
    const QByteArray buffered = sampleBytes(fill, 3);
    std::memcpy(context.buffer, buffered.constData(), fill);

    QByteArray tail = buffered + '\x80';
    tail += QByteArray((56 - tail.size() % 64 + 64) % 64, '\0');
    const quint64 bitLength = (blockCount * 64 + quint64(fill)) * 8;
    for (int i = 0; i < 8; ++i)
        tail += char(bitLength >> (8 * i));
    Md5Context expected = context;
    for (int at = 0; at < tail.size(); at += 64)
        md5Transform(expected, bytesOf(tail) + at);
    QByteArray expectedHex;
    for (std::uint32_t word : expected.state)
        for (int i = 0; i < 4; ++i)
            expectedHex += char(word >> (8 * i));

    QCOMPARE(finish(context), expectedHex.toHex());
}

void EngineTest::randomSplitsMatchOneCallAndOracle_data()
{
    addForcedPathRows();
}

void EngineTest::randomSplitsMatchOneCallAndOracle()
{
    QFETCH(QByteArray, path);
    if (const char *missing = useBlockPath(path))
        QSKIP(missing);
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int length = int(random() % 4097);
        const QByteArray data = sampleBytes(length, random());
        const Md5Context pieced = feed(data, splitInto(length, -1, random));
        const Md5Context whole = feed(data, {std::uint32_t(length)});
        const QByteArray where = "round " + QByteArray::number(round) + ", length " + QByteArray::number(length);

        QVERIFY2(describe(pieced, pieced.bufferFill) == describe(whole, whole.bufferFill), where);
        QVERIFY2(finish(pieced) == oracle(data), where);
    }
}

QTEST_APPLESS_MAIN(EngineTest)
#include "engine_test.moc"
