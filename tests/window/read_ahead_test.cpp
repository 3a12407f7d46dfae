#include "filedigest.h"
#include "processentries.h"
#include "watchdog.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

// The reader on its own, without a window: what it leaves behind.
class ReadAheadTest : public QObject
{
    Q_OBJECT

private slots:
    void stopDuringHungReadDoesNotWait();
};

// A pipe that nobody writes to stands for a device whose read never returns.
void ReadAheadTest::stopDuringHungReadDoesNotWait()
{
    const int descriptors = processEntries("fd");
    const int threads = processEntries("task");
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    QFile pipe;
    QVERIFY(pipe.open(ends[0], QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle));
    int threadsWhileWaiting = 0;
    FileDigest result;
    {
        Watchdog watchdog("stopping a digest whose read hangs", std::chrono::seconds(30));
        // Told while nothing comes, so that a window could be closed.
        result = digestOpenFile(pipe, 0, [&threadsWhileWaiting](qint64, qint64) {
            threadsWhileWaiting = processEntries("task");
            return false;
        });
    }
    QCOMPARE(result.outcome, FileDigest::Stopped);
    // The watchdog's and the reader's.
    QCOMPARE(threadsWhileWaiting, threads + 2);

    // The reader goes, and closes its copy of the pipe, once its read returns.
    pipe.close();
    ::close(ends[1]);
    QTRY_COMPARE(processEntries("task"), threads);
    QTRY_COMPARE(processEntries("fd"), descriptors);
}

QTEST_GUILESS_MAIN(ReadAheadTest)
#include "read_ahead_test.moc"
