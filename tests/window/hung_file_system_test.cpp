#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "processentries.h"
#include "progressdialogwatcher.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace WindowDriver;

namespace {

constexpr std::chrono::seconds hangLimit(30);

} // namespace

// The window while a call on a file hangs, as on a network file system
// whose server stopped answering, in the open or in the lookup of the name.
class HungFileSystemTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowWorksWhileCallHangs_data();
    void windowWorksWhileCallHangs();
    void dropOfLostNameDoesNotWait();
    void pressWaitsForTheLostName();

private:
    void tellFileSystem(const char *line);

    QTemporaryDir dir;
    QProcess fileSystem;
    QString shortFile;
};

void HungFileSystemTest::tellFileSystem(const char *line)
{
    fileSystem.write(QByteArray(line) + '\n');
    QVERIFY(fileSystem.waitForBytesWritten());
    // On a loaded machine the file system may read the line only after the
    // call it is meant to hold: wait until it is in force.
    if (qstrcmp(line, "hold") == 0) {
        QTRY_VERIFY_WITH_TIMEOUT(fileSystem.canReadLine(), 20000);
        QCOMPARE(fileSystem.readLine(), QByteArray("holding\n"));
    }
}

void HungFileSystemTest::initTestCase()
{
    QVERIFY(dir.isValid());
    shortFile = dir.filePath("short.txt");
    QVERIFY(writeTestFile(shortFile, "short"));
    QVERIFY(QDir(dir.path()).mkdir("mount"));
    fileSystem.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Let go after the watchdog's limit, so that a failing run ends.
    fileSystem.start(HUNG_FS, {dir.filePath("mount"), QString::number(hangLimit.count() + 15)});
    QVERIFY(fileSystem.waitForReadyRead(20000));
    QCOMPARE(fileSystem.readLine(), QByteArray("ready\n"));
}

void HungFileSystemTest::cleanupTestCase()
{
    fileSystem.closeWriteChannel();
    QVERIFY(fileSystem.waitForFinished(20000));
}

void HungFileSystemTest::windowWorksWhileCallHangs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("action");

    for (const char *file : {"open", "getattr"}) {
        for (const char *action : {"cancel", "close", "drop"})
            QTest::addRow("%s hangs, %s", file, action) << QString(file) << QString(action);
    }
}

// The press shows its dialog and answers the user while the call is held:
// it returns before the test lets the call go.
void HungFileSystemTest::windowWorksWhileCallHangs()
{
    QFETCH(QString, file);
    QFETCH(QString, action);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    showTextDigest(&window, "abc");
    const QString shownBefore = resultText(&window);
    tellFileSystem("hold");
    const int threads = processEntries("task");
    dropFile(&window, dir.filePath("mount/" + file + ".bin"));

    QElapsedTimer clock;
    qint64 dialogMs = -1;
    qint64 actedMs = -1;
    QApplication::setQuitOnLastWindowClosed(false);
    ProgressDialogWatcher watcher(&window, [&](QProgressDialog *dialog) {
        dialogMs = clock.elapsed();
        actedMs = clock.elapsed();
        if (action == "cancel")
            QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        else if (action == "close")
            window.close();
        else
            dropFile(&window, shortFile);
        return true;
    });
    MessageBoxCatcher box;
    {
        Watchdog watchdog("pressing the file button on a file whose " + file.toStdString() + " hangs",
                          hangLimit);
        clock.start();
        pressFileButton(&window);
    }
    const qint64 returnedMs = clock.elapsed();
    QApplication::setQuitOnLastWindowClosed(true);
    QTRY_VERIFY(fileSystem.canReadLine());
    QCOMPARE(fileSystem.readLine(), "held " + file.toUtf8() + '\n');
    std::printf("%s: dialog after %lld ms, press returned %lld ms after the %s\n", QTest::currentDataTag(),
                dialogMs, returnedMs - actedMs, qPrintable(action));

    QVERIFY(watcher.sawDialog);
    QVERIFY(!box.seen);
    QCOMPARE(resultText(&window), shownBefore);
    QCOMPARE(window.isVisible(), action != "close");
    QCOMPARE(labelText(&window), action == "drop" ? shortFile : dir.filePath("mount/" + file + ".bin"));
    if (action == "drop") {
        pressFileButton(&window);
        QCOMPARE(resultText(&window), md5Of("short"));
    }

    // The thread left in the call ends once the call returns.
    tellFileSystem("release");
    QTRY_COMPARE(processEntries("task"), threads);
}

// A name that lost bytes on the way is looked for in its folder, whose
// lookup hangs here: the drop does not wait for it.
void HungFileSystemTest::dropOfLostNameDoesNotWait()
{
    MainWindow window;
    tellFileSystem("hold");
    const QString lost = dir.filePath(QString::fromUtf8("mount/getattr\uFFFD.bin"));
    {
        Watchdog watchdog("dropping a lost name into a folder whose lookup hangs", hangLimit);
        dropFile(&window, lost);
    }
    QCOMPARE(labelText(&window), lost);
    QTRY_VERIFY(fileSystem.canReadLine());
    QCOMPARE(fileSystem.readLine(), QByteArray("held getattr\n"));
    tellFileSystem("release");
}

// A press before the search for a lost name has ended digests the file
// that the search finds, not the name as dropped.
void HungFileSystemTest::pressWaitsForTheLostName()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    tellFileSystem("hold");
    dropFile(&window, dir.filePath(QString::fromUtf8("mount/getattr\uFFFD.bin")));
    ProgressDialogWatcher watcher(&window, [this](QProgressDialog *) {
        tellFileSystem("release");
        return true;
    });
    {
        Watchdog watchdog("pressing while a lost name is looked for", hangLimit);
        pressFileButton(&window);
    }
    QVERIFY(watcher.sawDialog);
    QCOMPARE(resultText(&window), md5Of("behind a hung call\n"));
    QCOMPARE(labelText(&window), dir.filePath("mount/getattr\\xC4.bin"));
    QVERIFY(fileSystem.readAll().startsWith("held getattr\n"));
}

// Mounting needs the kernel's FUSE device, which a container may lack.
int main(int argc, char *argv[])
{
    if (!QFile::exists("/dev/fuse")) {
        std::puts("skipped: no /dev/fuse here to mount a file system on");
        return 77;
    }
    QApplication application(argc, argv);
    HungFileSystemTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "hung_file_system_test.moc"
