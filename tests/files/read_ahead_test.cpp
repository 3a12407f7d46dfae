#include "filedigest.h"
#include "processentries.h"
#include "readahead.h"
#include "watchdog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <atomic>
#include <thread>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>

// The C runtime's pipe, whose descriptors stand for Windows handles.
inline int pipe(int ends[2])
{
    return _pipe(ends, 4096, _O_BINARY);
}
#else
#include <QDir>

#include <csignal>

#include <sys/syscall.h>
#include <unistd.h>
#endif

// The reader on its own, without a window: how soon it tells, and what it
// leaves behind.
class ReadAheadTest : public QObject
{
    Q_OBJECT

private slots:
    void stopDuringHungReadDoesNotWait();
    void pieceComesOnceRead();
#ifndef Q_OS_WIN
    void readInterruptedBySignalGoesOn();
#endif
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
    int timesTold = 0;
    qint64 toldForMs = 0;
    FileDigest result;
    {
        Watchdog watchdog("stopping a digest whose read hangs", std::chrono::seconds(30));
        QElapsedTimer clock;
        clock.start();
        // Told while nothing comes, ten times a second at least, so that a
        // window stays alive and could be closed.
        result = digestOpenFile(pipe, 0, [&threadsWhileWaiting, &timesTold](qint64, qint64) {
            threadsWhileWaiting = processEntries("task");
            return ++timesTold < 10;
        });
        toldForMs = clock.elapsed();
    }
    QCOMPARE(result.outcome, FileDigest::Stopped);
    // The watchdog's and the reader's.
    QCOMPARE(threadsWhileWaiting, threads + 2);
    // Half a second where the reader waits 50 ms for each piece; five, were it
    // to wait 500 ms. The bound leaves room for a loaded machine.
    QVERIFY2(toldForMs < 2000, qPrintable(QString("told 10 times in %1 ms").arg(toldForMs)));

    // The reader goes, and closes its copy of the pipe, once its read returns.
    pipe.close();
    ::close(ends[1]);
    QTRY_COMPARE(processEntries("task"), threads);
    QTRY_COMPARE(processEntries("fd"), descriptors);
}

// The caller hears of a piece as soon as it is read, not when its patience
// runs out.
void ReadAheadTest::pieceComesOnceRead()
{
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    ssize_t written = 0;
    std::thread writer([&ends, &written] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        written = ::write(ends[1], "late", 4);
        ::close(ends[1]);
    });
    ReadAhead::Piece::Kind kind;
    qint64 waitedMs;
    {
        ReadAhead reader(ends[0], 4096);
        QElapsedTimer clock;
        clock.start();
        kind = reader.next(std::chrono::seconds(10)).kind;
        waitedMs = clock.elapsed();
        writer.join();
    }
    ::close(ends[0]);

    QCOMPARE(written, ssize_t(4));
    QCOMPARE(kind, ReadAhead::Piece::Data);
    QVERIFY2(waitedMs < 1000, qPrintable(QString("the piece came after %1 ms").arg(waitedMs)));
}

#ifndef Q_OS_WIN
// A signal that a handler catches interrupts a slow read, which must then be
// read again rather than fail the digest.
void ReadAheadTest::readInterruptedBySignalGoesOn()
{
    static std::atomic<int> caught{0};
    struct sigaction action = {};
    action.sa_handler = [](int) { ++caught; };
    // Without SA_RESTART, so that the read returns with EINTR.
    struct sigaction saved;
    QCOMPARE(::sigaction(SIGUSR1, &action, &saved), 0);
    const QStringList threadsBefore = QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    ReadAhead::Piece::Kind kind;
    {
        ReadAhead reader(ends[0], 4096);
        QStringList readers = QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &thread : threadsBefore)
            readers.removeOne(thread);
        QCOMPARE(readers.size(), 1);
        // The reader waits in its read of the empty pipe.
        while (caught < 5) {
            QCOMPARE(::syscall(SYS_tgkill, ::getpid(), readers.first().toInt(), SIGUSR1), 0L);
            QTest::qWait(20);
        }
        QCOMPARE(::write(ends[1], "late", 4), ssize_t(4));
        kind = reader.next(std::chrono::seconds(10)).kind;
        ::close(ends[1]);
    }
    ::close(ends[0]);
    ::sigaction(SIGUSR1, &saved, nullptr);
    QCOMPARE(kind, ReadAhead::Piece::Data);
}
#endif

QTEST_GUILESS_MAIN(ReadAheadTest)
#include "read_ahead_test.moc"
