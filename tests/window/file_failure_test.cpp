#include "filedigest.h"
#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
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

} // namespace

class FileFailureTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { ::close(socketFd); }
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
    QVERIFY(QFile::link(path("folder"), path("link to folder")));
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

void FileFailureTest::errorBox_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("press before any drop") << QString() << openError(QString());
    QTest::newRow("deleted file") << path("deleted.bin") << openError(path("deleted.bin"));
    QTest::newRow("directory") << path("folder") << notRegular(path("folder"));
    QTest::newRow("link to a directory") << path("link to folder") << notRegular(path("link to folder"));
    QTest::newRow("fifo without a writer") << path("fifo") << notRegular(path("fifo"));
    QTest::newRow("socket") << path("socket") << notRegular(path("socket"));
    QTest::newRow("endless device") << "/dev/zero" << notRegular("/dev/zero");
    // Opens as a regular file, but reading its start fails.
    QTest::newRow("read error after open") << "/proc/self/mem" << readError("/proc/self/mem");
}

void FileFailureTest::errorBox()
{
    QFETCH(QString, dropped);
    QFETCH(QString, expectedText);
    QVERIFY(!expectedText.isEmpty());

    showTextDigest(window, "abc");
    const QString shownBefore = resultText(window);
    if (!dropped.isEmpty())
        dropFile(window, dropped);
    QCOMPARE(labelText(window), dropped);

    MessageBoxCatcher box;
    {
        Watchdog watchdog(std::string("pressing the file button for ") + QTest::currentDataTag(),
                          std::chrono::seconds(30));
        pressFileButton(window);
    }

    QVERIFY(box.seen);
    QCOMPARE(box.title, QString::fromUtf8("错误"));
    QCOMPARE(box.text, expectedText);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.parent, window);
    QCOMPARE(resultText(window), shownBefore);
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
