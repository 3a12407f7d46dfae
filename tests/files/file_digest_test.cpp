#include "filedigest.h"
#include "filestamp.h"
#include "mainwindow.h"
#include "regularfile.h"
#include "windowdriver.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

#ifdef Q_OS_LINUX
#include "withoutcapabilities.h"
#endif
#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>
#endif

using namespace WindowDriver;

namespace {

// Bytes that differ from chunk to chunk, so that a chunk read twice or
// skipped changes the digest.
QByteArray patterned(qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131u + i / 4093u) & 0xffu);
    return bytes;
}

#ifdef Q_OS_LINUX
// Reports the size of a device's configuration space, of which a user may
// read only the first 64 bytes.
QString pciConfigurationFile()
{
    QDirIterator files("/proc/bus/pci", QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        if (QFileInfo(files.next()).size() > 64)
            return files.filePath();
    }
    return QString();
}
#endif

} // namespace

class FileDigestTest : public QObject
{
    Q_OBJECT

public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog *>(watched))
            ++progressDialogsShown;
        return false;
    }

private slots:
    void initTestCase();
    void init() { window = new MainWindow; }
    void cleanup();

    void digestOfFile_data();
    void digestOfFile();
    void fileChangedBetweenDropAndPress();
#ifndef Q_OS_WIN
    void symbolicLinkIsFollowed();
#endif
    void changeWhileReading_data();
    void changeWhileReading();
    void stampsCompared_data();
    void stampsCompared();
    void stampsFollowTheFile();

private:
    QString writeFile(const QString &name, const QByteArray &contents);

    QTemporaryDir dir;
    MainWindow *window = nullptr;
    int progressDialogsShown = 0;
};

QString FileDigestTest::writeFile(const QString &name, const QByteArray &contents)
{
    const QString path = dir.filePath(name);
    if (!writeTestFile(path, contents))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void FileDigestTest::initTestCase()
{
    QVERIFY(dir.isValid());
    qApp->installEventFilter(this);
}

void FileDigestTest::cleanup()
{
    delete window;
    // Files this short are done before any dialog is due.
    QCOMPARE(progressDialogsShown, 0);
}

void FileDigestTest::digestOfFile_data()
{
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("zero bytes inside") << QByteArray("a\0\0b\0", 5);
    QTest::newRow("only zero bytes") << QByteArray(1000, '\0');
    QTest::newRow("55 bytes") << patterned(55);
    QTest::newRow("56 bytes") << patterned(56);
    QTest::newRow("64 bytes") << patterned(64);
    QTest::newRow("65 bytes") << patterned(65);
    QTest::newRow("chunk - 1") << patterned(fileDigestChunkSize - 1);
    QTest::newRow("chunk") << patterned(fileDigestChunkSize);
    QTest::newRow("chunk + 1") << patterned(fileDigestChunkSize + 1);
    QTest::newRow("three chunks and a bit") << patterned(3 * fileDigestChunkSize + 17);
    // The reader runs ahead into a few buffers in turn.
    QTest::newRow("more chunks than buffers") << patterned(9 * fileDigestChunkSize + 3);
}

void FileDigestTest::digestOfFile()
{
    QFETCH(QByteArray, contents);

    const QString path = writeFile("file.bin", contents);
    dropFile(window, path);
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(contents));

    // Every press reads the file afresh.
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(contents));
#ifdef Q_OS_WIN
    // And leaves nothing of it open, which would refuse an open that shares
    // the file with no one.
    const HANDLE alone = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                     GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    QVERIFY(alone != INVALID_HANDLE_VALUE);
    CloseHandle(alone);
#endif
}

void FileDigestTest::fileChangedBetweenDropAndPress()
{
    const QString path = writeFile("changing.bin", "before");
    dropFile(window, path);
    writeFile("changing.bin", patterned(fileDigestChunkSize + 5));
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of(patterned(fileDigestChunkSize + 5)));

    writeFile("changing.bin", "after");
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of("after"));
}

// A Windows shortcut made by QFile::link is a file of its own.
#ifndef Q_OS_WIN
void FileDigestTest::symbolicLinkIsFollowed()
{
    const QString target = writeFile("target.bin", "linked contents");
    const QString link = dir.filePath("link.bin");
    QVERIFY(QFile::link(target, link));

    dropFile(window, link);
    QCOMPARE(labelText(window), link);
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of("linked contents"));
}
#endif

void FileDigestTest::changeWhileReading_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("changed");

    const QString file = dir.filePath("read.bin");
    QTest::newRow("untouched") << file << "" << false;
    QTest::newRow("grown") << file << "append" << true;
    QTest::newRow("cut short") << file << "cut" << true;
    QTest::newRow("rewritten in place") << file << "rewrite" << true;
    // As archivers and rsync do: only the status-change time tells.
    QTest::newRow("rewritten, time put back") << file << "rewrite, put time back" << true;
    // Where only the file's name or link changes.
    QTest::newRow("renamed") << file << "rename" << true;
#ifdef Q_OS_LINUX
    // Wine does not mark a file that is deleted while open as deleted.
    QTest::newRow("deleted") << file << "delete" << true;
    // Reports size 0 whatever it holds.
    QTest::newRow("file without a size") << "/proc/self/stat" << "" << false;
    // Reports 4096 bytes and holds fewer.
    QTest::newRow("kernel file with a made-up size") << "/sys/class/net/lo/address" << "" << false;
    QTest::newRow("procfs file with a made-up size") << pciConfigurationFile() << "" << false;
#endif
}

// Digests a file as the file button does, changing it after the first chunk.
void FileDigestTest::changeWhileReading()
{
    QFETCH(QString, path);
    QFETCH(QString, change);
    QFETCH(bool, changed);

    // An old time, so that a rewrite moves it even on a coarse clock.
    const auto setOldTime = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadWrite)
            && file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000), QFileDevice::FileModificationTime);
    };
    if (path.startsWith(dir.path())) {
        writeFile("read.bin", patterned(2 * fileDigestChunkSize));
        QVERIFY(setOldTime());
    } else if (!QFile::exists(path)) {
        QSKIP("no such kernel file here");
    }
#ifdef Q_OS_LINUX
    // As a user reads: root may read more of some kernel files than others.
    const WithoutCapabilities asUser({CAP_SYS_ADMIN});
#endif
    bool first = true;
    const FileDigest result = digestFile(QFile::encodeName(path), [&](qint64, qint64) {
        if (!std::exchange(first, false))
            return true;
        QFile writer(path);
        if (change == "append" && writer.open(QIODevice::Append))
            writer.write("more");
        else if (change == "cut")
            QFile::resize(path, 10);
        else if (change.startsWith("rewrite") && writer.open(QIODevice::ReadWrite))
            writer.write("x");
        else if (change == "rename")
            QFile::rename(path, path + ".moved");
        else if (change == "delete")
            QFile::remove(path);
        writer.close();
        return !change.endsWith("put time back") || setOldTime();
    });
    QCOMPARE(result.outcome, changed ? FileDigest::Changed : FileDigest::Done);
}

void FileDigestTest::stampsCompared_data()
{
    QTest::addColumn<qint64>("sizeBefore");
    QTest::addColumn<qint64>("sizeAfter");
    QTest::addColumn<qint64>("bytesRead");
    QTest::addColumn<qint64>("modifiedLaterNs");
    QTest::addColumn<qint64>("statusChangedLaterNs");
    QTest::addColumn<bool>("sizeIsContent");
    QTest::addColumn<bool>("changed");
    // Where a file deleted or renamed while it is read keeps its time stamps.
    QTest::addColumn<bool>("deletedAfter");
    QTest::addColumn<QString>("locationAfter");

    QTest::newRow("untouched") << 100LL << 100LL << 100LL << 0LL << 0LL << true << false << false << QString();
    QTest::newRow("modified within the second") << 100LL << 100LL << 100LL << 1LL << 0LL << true << true << false << QString();
    QTest::newRow("status changed within the second") << 100LL << 100LL << 100LL << 0LL << 1LL << true << true << false << QString();
    QTest::newRow("grew, all of it read") << 100LL << 200LL << 200LL << 0LL << 0LL << true << true << false << QString();
    QTest::newRow("empty, then grew") << 0LL << 100LL << 100LL << 0LL << 0LL << true << true << false << QString();
    QTest::newRow("fewer bytes read than its size") << 100LL << 100LL << 60LL << 0LL << 0LL << true << true << false << QString();
    QTest::newRow("no size of its own") << 0LL << 0LL << 300LL << 0LL << 0LL << true << false << false << QString();
    QTest::newRow("kernel file, size made up") << 4096LL << 4096LL << 18LL << 0LL << 0LL << false << false << false << QString();
    QTest::newRow("kernel file, time moved") << 4096LL << 4096LL << 18LL << 1LL << 0LL << false << true << false << QString();
    QTest::newRow("deleted") << 100LL << 100LL << 100LL << 0LL << 0LL << true << true << true << QString();
    QTest::newRow("renamed") << 100LL << 100LL << 100LL << 0LL << 0LL << true << true << false << QStringLiteral("C:/elsewhere");
}

void FileDigestTest::stampsCompared()
{
    QFETCH(qint64, sizeBefore);
    QFETCH(qint64, sizeAfter);
    QFETCH(qint64, bytesRead);
    QFETCH(qint64, modifiedLaterNs);
    QFETCH(qint64, statusChangedLaterNs);
    QFETCH(bool, sizeIsContent);
    QFETCH(bool, changed);
    QFETCH(bool, deletedAfter);
    QFETCH(QString, locationAfter);

    const qint64 second = 1000000000;
    const FileStamp before{sizeBefore, 5 * second, 5 * second, sizeIsContent, false, QString()};
    const FileStamp after{sizeAfter, 5 * second + modifiedLaterNs, 5 * second + statusChangedLaterNs,
                          sizeIsContent, deletedAfter, locationAfter};
    QCOMPARE(changedWhileRead(before, after, bytesRead), changed);
}

// Where a rename or a deletion need not move the time stamps, the stamps
// tell it by themselves. Wine keeps a file's name as it was opened, so on
// Windows only the name is checked, not that it follows a rename.
void FileDigestTest::stampsFollowTheFile()
{
    const QString path = writeFile("stamped.bin", "stamped");
    QFile file;
    QCOMPARE(openRegularFile(file, nativeName(path)).outcome, RegularFileOpening::Opened);
    const FileStamp before = fileStamp(file);
#ifdef Q_OS_WIN
    QVERIFY2(before.location.endsWith("\\stamped.bin"), qPrintable(before.location));
#else
    QVERIFY(QFile::remove(path));
    QVERIFY(!before.deleted);
    QVERIFY(fileStamp(file).deleted);
#endif
}

QTEST_MAIN(FileDigestTest)
#include "file_digest_test.moc"
