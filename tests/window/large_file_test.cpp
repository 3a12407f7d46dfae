#include "mainwindow.h"
#include "progressdialogwatcher.h"
#include "sparsefile.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QFile>
#include <QTest>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#endif

using namespace WindowDriver;

namespace {

// Just past 4 GiB, so that 32-bit sizes and lengths anywhere go wrong.
constexpr qint64 fileSize = (qint64(1) << 32) + 7;

// Computed once with coreutils' md5sum over a file laid out as in the test.
const char expectedDigest[] = "e66ee085b4aa448597831f8e2f633917";

constexpr qint64 allowedGrowthKiB = 64 * 1024;

#ifdef Q_OS_WIN
// All zero where Windows cannot tell.
PROCESS_MEMORY_COUNTERS memoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// The memory in use now. Windows cannot reset the peak, which only makes the
// check stricter.
qint64 residentKiBStartingPeak()
{
    return qint64(memoryCounters().WorkingSetSize) / 1024;
}

qint64 peakResidentKiB()
{
    return qint64(memoryCounters().PeakWorkingSetSize) / 1024;
}
#else
qint64 statusKiB(const QByteArray &field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The memory in use now, counting the peak from here on; where the kernel
// cannot reset it, the earlier peak only makes the check stricter.
qint64 residentKiBStartingPeak()
{
    QFile clearRefs("/proc/self/clear_refs");
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    return statusKiB("VmRSS");
}

qint64 peakResidentKiB()
{
    return statusKiB("VmHWM");
}
#endif

} // namespace

class LargeFileTest : public QObject
{
    Q_OBJECT

private slots:
    void sparseFileOver4GiB();
};

void LargeFileTest::sparseFileOver4GiB()
{
    // The edge marker straddles the 4 GiB mark.
    const SparseFile file(fileSize, {{0, "head"}, {(qint64(1) << 32) - 2, "edge"}, {fileSize - 4, "tail"}});
    QVERIFY(file.isValid());

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    dropFile(&window, file.path());

    QList<int> sharesShown;
    ProgressDialogWatcher watcher(&window, [&sharesShown](QProgressDialog *dialog) {
        if (sharesShown.isEmpty() || sharesShown.last() != dialog->value())
            sharesShown.append(dialog->value());
        return false;
    });

    const qint64 idleKiB = residentKiBStartingPeak();
    QVERIFY(idleKiB > 0);
    {
        Watchdog watchdog("digesting a file over 4 GiB", std::chrono::minutes(10));
        pressFileButton(&window);
    }
    const qint64 peakKiB = peakResidentKiB();

    QCOMPARE(resultText(&window), QString(expectedDigest));
    QVERIFY2(peakKiB - idleKiB < allowedGrowthKiB,
             qPrintable(QString("peak %1 KiB over an idle %2 KiB").arg(peakKiB).arg(idleKiB)));

    QVERIFY(watcher.sawDialog);
    QVERIFY(window.findChildren<QProgressDialog *>().isEmpty());
    QVERIFY(std::is_sorted(sharesShown.begin(), sharesShown.end()));
    QVERIFY(sharesShown.first() >= 0);
    QVERIFY2(sharesShown.last() >= 90 && sharesShown.last() <= 100, qPrintable(QString::number(sharesShown.last())));
}

QTEST_MAIN(LargeFileTest)
#include "large_file_test.moc"
