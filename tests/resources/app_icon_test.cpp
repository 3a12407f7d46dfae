#include <QFile>
#include <QtTest>

namespace {

constexpr int iconWidth = 256;
constexpr int iconHeight = 146;
constexpr int iconDirSize = 6;
constexpr int iconEntrySize = 16;
constexpr int dibHeaderSize = 40;
constexpr int colourSize = iconWidth * iconHeight * 4;
constexpr int maskStride = (iconWidth + 31) / 32 * 4;
constexpr int maskSize = maskStride * iconHeight;

quint32 littleEndian(const QByteArray &data, int offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<quint8>(data.at(offset + i));
    return value;
}

} // namespace

class AppIconTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void directoryField_data();
    void directoryField();
    void payloadFillsRestOfFile();
    void dibHeaderField_data();
    void dibHeaderField();
    void maskMatchesAlpha();

private:
    void addFieldColumns();
    void checkField(int base);

    QByteArray ico;
};

void AppIconTest::initTestCase()
{
    QFile file(QStringLiteral(APP_ICO_PATH));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    ico = file.readAll();
    QVERIFY(ico.size() >= iconDirSize + iconEntrySize + dibHeaderSize);
}

void AppIconTest::addFieldColumns()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("expected");
}

void AppIconTest::checkField(int base)
{
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(quint32, expected);
    QCOMPARE(littleEndian(ico, base + offset, size), expected);
}

void AppIconTest::directoryField_data()
{
    addFieldColumns();
    // Icon directory, then its single entry.
    QTest::newRow("reserved") << 0 << 2 << 0u;
    QTest::newRow("type is icon") << 2 << 2 << 1u;
    QTest::newRow("one image") << 4 << 2 << 1u;
    QTest::newRow("width 0 means 256") << 6 << 1 << 0u;
    QTest::newRow("height") << 7 << 1 << quint32(iconHeight);
    QTest::newRow("no palette") << 8 << 1 << 0u;
    QTest::newRow("entry reserved") << 9 << 1 << 0u;
    QTest::newRow("planes") << 10 << 2 << 1u;
    QTest::newRow("bits per pixel") << 12 << 2 << 32u;
    QTest::newRow("payload follows entry") << 18 << 4 << quint32(iconDirSize + iconEntrySize);
}

void AppIconTest::directoryField()
{
    checkField(0);
}

void AppIconTest::payloadFillsRestOfFile()
{
    const quint32 payloadSize = littleEndian(ico, 14, 4);
    QCOMPARE(payloadSize, quint32(dibHeaderSize + colourSize + maskSize));
    QCOMPARE(iconDirSize + iconEntrySize + payloadSize, quint32(ico.size()));
}

void AppIconTest::dibHeaderField_data()
{
    addFieldColumns();
    QTest::newRow("header size") << 0 << 4 << quint32(dibHeaderSize);
    QTest::newRow("width") << 4 << 4 << quint32(iconWidth);
    // An icon's DIB counts the colour rows and the mask rows together.
    QTest::newRow("height doubled") << 8 << 4 << quint32(2 * iconHeight);
    QTest::newRow("planes") << 12 << 2 << 1u;
    QTest::newRow("bits per pixel") << 14 << 2 << 32u;
    QTest::newRow("uncompressed") << 16 << 4 << 0u;
    QTest::newRow("no palette") << 32 << 4 << 0u;
}

void AppIconTest::dibHeaderField()
{
    checkField(iconDirSize + iconEntrySize);
}

// Readers that ignore alpha fall back on the mask, so both must draw the same
// outline; the artwork must also have clear corners and a solid body.
void AppIconTest::maskMatchesAlpha()
{
    const int colourStart = iconDirSize + iconEntrySize + dibHeaderSize;
    const int maskStart = colourStart + colourSize;
    QVERIFY(maskStart + maskSize <= ico.size());

    int clear = 0;
    for (int row = 0; row < iconHeight; ++row) {
        for (int col = 0; col < iconWidth; ++col) {
            const auto alpha = static_cast<quint8>(ico.at(colourStart + (row * iconWidth + col) * 4 + 3));
            const auto maskByte = static_cast<quint8>(ico.at(maskStart + row * maskStride + col / 8));
            const bool masked = maskByte & (0x80 >> (col % 8));
            if (masked != (alpha == 0))
                QFAIL(qPrintable(QStringLiteral("mask disagrees with alpha at row %1, column %2")
                                     .arg(row)
                                     .arg(col)));
            clear += masked;
        }
    }
    QVERIFY(clear > 0);
    QVERIFY(clear < iconWidth * iconHeight / 2);
}

QTEST_APPLESS_MAIN(AppIconTest)
#include "app_icon_test.moc"
