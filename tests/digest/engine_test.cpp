#include "md5.h"
#include "md5blocks.h"
#include "testfile.h"

#include <QtTest>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

Q_DECLARE_METATYPE(md5blocks::Path)
Q_DECLARE_METATYPE(md5blocks::Timings)

namespace {

using Pieces = std::vector<std::uint32_t>;

const std::uint8_t *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const std::uint8_t *>(data.constData());
}

QByteArray oracle(const QByteArray &data)
{
    return md5Of(data).toLatin1();
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

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void cleanup() { md5blocks::force(nullptr); }
    void rfcSuiteInPieces_data();
    void rfcSuiteInPieces();
    void lengthsMatchOracle_data();
    void lengthsMatchOracle();
    void misalignedInputMatchesOracle_data();
    void misalignedInputMatchesOracle();
    void flushLeavesPartialBufferAlone_data();
    void flushLeavesPartialBufferAlone();
    void flushTransformsFullBuffer();
    void nullEmptyInputIsEmptyMessage();
    void lengthPastFourGigaBlocks_data();
    void lengthPastFourGigaBlocks();
    void randomSplitsMatchOneCallAndOracle();
    void fasterPathByShortestRuns_data();
    void fasterPathByShortestRuns();
    void forcedFunctionIsActive_data();
    void forcedFunctionIsActive();
};

// Every test runs through each block function, forced, and through the
// engine's own choice.
void EngineTest::initTestCase_data()
{
    QTest::addColumn<QByteArray>("path");
    for (const char *path : {"scalar", "chosen", "avx512"})
        QTest::newRow(path) << QByteArray(path);
}

void EngineTest::init()
{
    QFETCH_GLOBAL(QByteArray, path);
    if (path == "chosen") {
        QVERIFY(!md5blocks::missingFor(md5blocks::chosen()));
        QVERIFY(md5blocks::active() == md5blocks::functionOf(md5blocks::chosen()));
        return;
    }
    const md5blocks::Path forced = path == "avx512" ? md5blocks::Path::avx512 : md5blocks::Path::scalar;
    if (const char *missing = md5blocks::missingFor(forced))
        QSKIP(missing);
    md5blocks::force(md5blocks::functionOf(forced));
}

void EngineTest::rfcSuiteInPieces_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<QByteArray>("expected");

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

    for (const auto &entry : suite)
        for (const auto &split : splits)
            QTest::addRow("%d bytes, pieces %s", int(std::strlen(entry.message)), split.name)
                << QByteArray(entry.message) << split.pieceSize << QByteArray(entry.digest);
}

void EngineTest::rfcSuiteInPieces()
{
    QFETCH(QByteArray, message);
    QFETCH(int, pieceSize);
    QFETCH(QByteArray, expected);

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
    for (int length = 0; length <= 300; ++length)
        QTest::addRow("%d", length) << length;
    for (int k = 9; k <= 20; ++k)
        for (int length : {(1 << k) - 1, 1 << k, (1 << k) + 1})
            QTest::addRow("%d", length) << length;
}

void EngineTest::lengthsMatchOracle()
{
    QFETCH(int, length);
    const QByteArray data = sampleBytes(length, 1321);
    QCOMPARE(QByteArray::fromStdString(md5Hex(bytesOf(data), data.size())), oracle(data));
}

void EngineTest::misalignedInputMatchesOracle_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("one zero byte") << QByteArray(1, '\0') << QByteArray("93b885adfe0da089cdf634904fd59f71");
    QTest::newRow("zero inside") << QByteArray("a\0b", 3) << oracle(QByteArray("a\0b", 3));
    for (int length : {64, 200, 1000})
        QTest::addRow("%d zeros", length) << QByteArray(length, '\0') << oracle(QByteArray(length, '\0'));
    for (int length : {63, 130, 4097})
        QTest::addRow("%d mixed", length) << sampleBytes(length, 7) << oracle(sampleBytes(length, 7));
}

void EngineTest::misalignedInputMatchesOracle()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);

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
    for (int fill : {0, 1, 55, 56, 63})
        for (int blocks : {0, 2})
            QTest::addRow("fill %d after %d blocks", fill, blocks) << fill << blocks;
}

void EngineTest::flushLeavesPartialBufferAlone()
{
    QFETCH(int, fill);
    QFETCH(int, blocks);

    Md5Context context;
    const QByteArray data = sampleBytes(blocks * 64 + fill, 99);
    md5Update(context, bytesOf(data), data.size());
    const QByteArray before = describe(context, 64);

    md5Update(context, nullptr, 0);
    QCOMPARE(describe(context, 64), before);
    md5Update(context, nullptr, 100);
    QCOMPARE(describe(context, 64), before);
}

void EngineTest::flushTransformsFullBuffer()
{
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

void EngineTest::randomSplitsMatchOneCallAndOracle()
{
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

void EngineTest::fasterPathByShortestRuns_data()
{
    using namespace std::chrono_literals;
    using md5blocks::Path;
    using md5blocks::Timings;
    QTest::addColumn<Timings>("scalarTimes");
    QTest::addColumn<Timings>("vectorTimes");
    QTest::addColumn<Path>("expected");

    QTest::newRow("equal times") << Timings{1000ns, 1000ns} << Timings{1000ns, 1000ns} << Path::scalar;
    QTest::newRow("vector faster by less than the margin")
        << Timings{1000ns, 1000ns} << Timings{950ns, 950ns} << Path::scalar;
    QTest::newRow("vector twice as fast") << Timings{1000ns, 1000ns} << Timings{500ns, 500ns} << Path::avx512;
    QTest::newRow("scalar slow once, then as fast")
        << Timings{3000ns, 1000ns, 1000ns} << Timings{1000ns, 1000ns, 1000ns} << Path::scalar;
    QTest::newRow("vector slow once, then twice as fast")
        << Timings{1000ns, 1000ns, 1000ns} << Timings{500ns, 5000ns, 500ns} << Path::avx512;
}

void EngineTest::fasterPathByShortestRuns()
{
    QFETCH(md5blocks::Timings, scalarTimes);
    QFETCH(md5blocks::Timings, vectorTimes);
    QFETCH(md5blocks::Path, expected);
    QCOMPARE(md5blocks::fasterPath(scalarTimes, vectorTimes, 1.0 / 16), expected);
}

void EngineTest::forcedFunctionIsActive_data()
{
    QTest::addColumn<md5blocks::Path>("path");
    QTest::newRow("scalar") << md5blocks::Path::scalar;
    QTest::newRow("avx512") << md5blocks::Path::avx512;
}

// Where both paths run, one of the two rows forces the path not chosen.
void EngineTest::forcedFunctionIsActive()
{
    QFETCH(md5blocks::Path, path);
    if (const char *missing = md5blocks::missingFor(path))
        QSKIP(missing);
    const md5blocks::Function blocks = md5blocks::functionOf(path);
    QCOMPARE(blocks == md5blocks::scalar, path == md5blocks::Path::scalar);

    md5blocks::force(blocks);
    QVERIFY(md5blocks::active() == blocks);
    md5blocks::force(nullptr);
    QVERIFY(md5blocks::active() == md5blocks::functionOf(md5blocks::chosen()));
}

QTEST_APPLESS_MAIN(EngineTest)
#include "engine_test.moc"
