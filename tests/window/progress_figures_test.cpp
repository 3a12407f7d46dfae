#include "progressfigures.h"

#include <QLocale>
#include <QPair>
#include <QTest>
#include <QVector>

// Bytes done by a time in milliseconds.
using Samples = QVector<QPair<qint64, qint64>>;

class ProgressFiguresTest : public QObject
{
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
};

void ProgressFiguresTest::figures_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("shown");

    const qint64 fourGiB = qint64(4) << 30;
    QTest::newRow("seconds left") << Samples{{0, 0}, {1000, 850000000}} << fourGiB << "zh_CN"
                                  << QString::fromUtf8("已完成 850 MB / 4.3 GB\n速度 850 MB/s，剩余约 5 秒");
    QTest::newRow("minutes left") << Samples{{0, 0}, {2000, 20000000}} << qint64(1000000000) << "zh_CN"
                                  << QString::fromUtf8("已完成 20.0 MB / 1.0 GB\n速度 10.0 MB/s，剩余约 1 分钟 38 秒");
    QTest::newRow("exactly a minute left") << Samples{{0, 0}, {1000, 1000000}} << qint64(61000000) << "zh_CN"
                                           << QString::fromUtf8("已完成 1.0 MB / 61.0 MB\n速度 1.0 MB/s，剩余约 1 分钟");
    QTest::newRow("just under an hour left") << Samples{{0, 0}, {1000, 1000000}} << qint64(3600000000) << "zh_CN"
                                             << QString::fromUtf8("已完成 1.0 MB / 3.6 GB\n速度 1.0 MB/s，剩余约 59 分钟 59 秒");
    QTest::newRow("hours left") << Samples{{0, 0}, {1000, 100000}} << qint64(1000000000) << "zh_CN"
                                << QString::fromUtf8("已完成 100 kB / 1.0 GB\n速度 100 kB/s，剩余约 2 小时 46 分钟");
    // A fast first second, then 100 MB/s, and a last tenth at 200 MB/s.
    QTest::newRow("speed of the last few seconds")
        << Samples{{0, 0},
                   {1000, 1000000000},
                   {2000, 1100000000},
                   {3000, 1200000000},
                   {4000, 1300000000},
                   {5000, 1400000000},
                   {5900, 1480000000},
                   {6000, 1500000000}}
        << qint64(2000000000) << "zh_CN" << QString::fromUtf8("已完成 1.5 GB / 2.0 GB\n速度 100 MB/s，剩余约 5 秒");
    QTest::newRow("hundreds of hours left") << Samples{{0, 0}, {1000, 10000}} << fourGiB << "zh_CN"
                                            << QString::fromUtf8("已完成 10.0 kB / 4.3 GB\n速度 10.0 kB/s，剩余约 119 小时 18 分钟");
    QTest::newRow("grown past its size") << Samples{{0, 0}, {1000, 5000000000}} << fourGiB << "zh_CN"
                                         << QString::fromUtf8("已完成 5.0 GB / 4.3 GB\n速度 5.0 GB/s，剩余约 1 秒");
    QTest::newRow("too soon to estimate") << Samples{{0, 0}, {900, 425000000}} << fourGiB << "zh_CN"
                                          << QString::fromUtf8("已完成 425 MB / 4.3 GB\n正在估算速度和剩余时间…");
    QTest::newRow("stalled read") << Samples{{0, 1000000000}, {1000, 1000000000}, {2000, 1000000000}} << fourGiB
                                  << "zh_CN" << QString::fromUtf8("已完成 1.0 GB / 4.3 GB\n速度 0 B/s，剩余时间未知");
    // Just short of 1000 MB, which rounds into the next unit.
    QTest::newRow("file without a size") << Samples{{0, 0}, {1000, 999960000}} << qint64(0) << "zh_CN"
                                         << QString::fromUtf8("已读取 1.0 GB\n速度 1.0 GB/s");
    QTest::newRow("user's decimal comma") << Samples{{0, 0}, {1000, 1500000000}} << fourGiB << "de_DE"
                                          << QString::fromUtf8("已完成 1,5 GB / 4,3 GB\n速度 1,5 GB/s，剩余约 2 秒");
}

void ProgressFiguresTest::figures()
{
    QFETCH(Samples, samples);
    QFETCH(qint64, fileSize);
    QFETCH(QString, localeName);
    QFETCH(QString, shown);

    TransferRate rate;
    for (const auto &sample : samples)
        rate.add(sample.first, sample.second);
    QCOMPARE(progressFiguresText(samples.last().second, fileSize, rate.bytesPerSecond(), QLocale(localeName)), shown);
}

QTEST_APPLESS_MAIN(ProgressFiguresTest)
#include "progress_figures_test.moc"
