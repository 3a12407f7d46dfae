#include "filedigest.h"
#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace WindowDriver;

namespace {

// Hands out its bytes, then fails, like a disk that breaks mid-file.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 goodBytes) : goodBytes(goodBytes) { open(QIODevice::ReadOnly); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (goodBytes == 0) {
            setErrorString("simulated read error");
            return -1;
        }
        const qint64 size = qMin(maxSize, goodBytes);
        std::memset(data, 'x', size_t(size));
        goodBytes -= size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 goodBytes;
};

QString openError(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.errorString();
}

QString readError(const QString &path)
{
    QFile file(path);
    char byte;
    if (!file.open(QIODevice::ReadOnly) || file.read(&byte, 1) != -1)
        return QString();
    return file.errorString();
}

QString notRegular(const QString &path)
{
    return QString::fromUtf8("不是普通文件：") + path;
}

// A regular file that even root cannot read: a write-only kernel setting.
// Elsewhere a file without read permission does.
QString unreadableFile(const QString &fallback)
{
    if (::geteuid() != 0) {
        QFile file(fallback);
        if (file.open(QIODevice::WriteOnly) && file.setPermissions(QFileDevice::WriteOwner))
            return fallback;
        return QString();
    }
    for (const char *setting : {"/sys/bus/cpu/drivers_probe", "/sys/bus/platform/drivers_probe"}) {
        if (QFileInfo(setting).isFile())
            return setting;
    }
    return QString();
}

QStringList consoleMessages;

void recordConsoleMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    // The offscreen platform of these tests prints a notice of its own for
    // every message box; a desktop's does not.
    if (!message.contains(QLatin1String("propagateSizeHints")))
        consoleMessages.append(message);
}

} // namespace

class FileFailureTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { window = new MainWindow; }
    void cleanup() { delete window; }

    void errorBox_data();
    void errorBox();
    void readErrorAfterSomeChunksGivesNoDigest();
    void stoppingGivesNoDigest();

private:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    int socketFd = -1;
    MainWindow *window = nullptr;
};

void FileFailureTest::initTestCase()
{
    QVERIFY(dir.isValid());

    QFile deleted(path("deleted.bin"));
    QVERIFY(deleted.open(QIODevice::WriteOnly));
    deleted.close();
    QVERIFY(deleted.remove());

    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(QDir(dir.path()).mkdir("<b>bold"));
    QCOMPARE(::mkdir((QFile::encodeName(dir.path()) + "/\xC4\xE3").constData(), 0700), 0);
    QVERIFY(QFile::link(path("folder"), path("link to folder")));
    QVERIFY(QFile::link(path("deleted.bin"), path("dangling link")));
    const QString unreadable = unreadableFile(path("unreadable.bin"));
    if (!unreadable.isEmpty())
        QVERIFY(QFile::link(unreadable, path("link to unreadable")));
    QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);

    socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(socketFd >= 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(path("socket"));
    QVERIFY(size_t(socketName.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, socketName.constData(), size_t(socketName.size()));
    QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
}

// The toolkit cannot remove names that are not UTF-8.
void FileFailureTest::cleanupTestCase()
{
    ::close(socketFd);
    ::rmdir((QFile::encodeName(dir.path()) + "/\xC4\xE3").constData());
}

void FileFailureTest::errorBox_data()
{
    QTest::addColumn<QByteArray>("dropped");
    QTest::addColumn<QString>("expectedText");

    const auto native = [this](const QString &name) { return QFile::encodeName(path(name)); };
    QTest::newRow("press before any drop") << QByteArray() << "No file name specified";
    QTest::newRow("deleted file") << native("deleted.bin") << openError(path("deleted.bin"));
    // The link's target is judged, not the link.
    QTest::newRow("dangling link") << native("dangling link") << openError(path("dangling link"));
    QTest::newRow("link to an unreadable file")
        << native("link to unreadable")
        << (QFileInfo::exists(path("link to unreadable")) ? openError(path("link to unreadable")) : QString());
    QTest::newRow("directory") << native("folder") << notRegular(path("folder"));
    QTest::newRow("directory named like markup") << native("<b>bold") << notRegular(path("<b>bold"));
    QTest::newRow("directory with a gbk name") << QFile::encodeName(dir.path()) + "/\xC4\xE3"
                                               << notRegular(path("\\xC4\\xE3"));
    QTest::newRow("link to a directory") << native("link to folder") << notRegular(path("link to folder"));
    QTest::newRow("fifo without a writer") << native("fifo") << notRegular(path("fifo"));
    QTest::newRow("socket") << native("socket") << notRegular(path("socket"));
    QTest::newRow("endless device") << QByteArray("/dev/zero") << notRegular("/dev/zero");
    // Opens as a regular file, but reading its start fails.
    QTest::newRow("read error after open") << QByteArray("/proc/self/mem") << readError("/proc/self/mem");
}

void FileFailureTest::errorBox()
{
    QFETCH(QByteArray, dropped);
    QFETCH(QString, expectedText);
    if (expectedText.isEmpty())
        QSKIP("no file here that this user cannot read");

    showTextDigest(window, "abc");
    const QString shownBefore = resultText(window);
    if (!dropped.isEmpty())
        dropUrls(window, {fileUrl(dropped)});

    MessageBoxCatcher box;
    consoleMessages.clear();
    const QtMessageHandler toolkitHandler = qInstallMessageHandler(recordConsoleMessage);
    {
        Watchdog watchdog(std::string("pressing the file button for ") + QTest::currentDataTag(),
                          std::chrono::seconds(30));
        pressFileButton(window);
    }
    qInstallMessageHandler(toolkitHandler);

    QVERIFY(box.seen);
    QCOMPARE(box.title, QString::fromUtf8("错误"));
    QCOMPARE(shownText(box.text), expectedText);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.parent, window);
    QCOMPARE(resultText(window), shownBefore);
    // The program writes nothing to the console.
    QVERIFY2(consoleMessages.isEmpty(), qPrintable(consoleMessages.join(QLatin1Char('\n'))));
}

void FileFailureTest::readErrorAfterSomeChunksGivesNoDigest()
{
    FailingDevice device(2 * fileDigestChunkSize + 100);
    qint64 lastReported = 0;
    const FileDigest result = digestFile(device, [&lastReported](qint64 bytesRead) {
        lastReported = bytesRead;
        return true;
    });
    QCOMPARE(result.status, FileDigest::ReadFailed);
    QVERIFY(result.digest.empty());
    QCOMPARE(lastReported, 2 * fileDigestChunkSize + 100);
    QCOMPARE(device.errorString(), QString("simulated read error"));
}

void FileFailureTest::stoppingGivesNoDigest()
{
    FailingDevice device(5 * fileDigestChunkSize);
    int calls = 0;
    const FileDigest result = digestFile(device, [&calls](qint64) { return ++calls < 2; });
    QCOMPARE(result.status, FileDigest::Stopped);
    QVERIFY(result.digest.empty());
    QCOMPARE(calls, 2);
}

QTEST_MAIN(FileFailureTest)
#include "file_failure_test.moc"
