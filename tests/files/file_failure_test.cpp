#include "filedigest.h"
#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "processentries.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include "systemerror.h"

#include <windows.h>
#else
#include "withoutcapabilities.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace WindowDriver;

namespace {

QString notRegular(const QString &path)
{
    return QString::fromUtf8("不是普通文件：") + path;
}

#ifdef Q_OS_WIN
// What a user is told where Windows refuses a file, in the user's language.
QString windowsError(DWORD error)
{
    return systemErrorText(int(error));
}
#else
// Empty if the file opens after all.
QString openError(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

QString readError(const QString &path)
{
    QFile file(path);
    char byte;
    if (!file.open(QIODevice::ReadOnly) || file.read(&byte, 1) != -1)
        return QString();
    return file.errorString();
}

// Root opens any file whatever its mode; without these the tests meet the
// permissions that a user does.
const std::initializer_list<int> overridingPermissions = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};
#endif

QStringList consoleMessages;

void recordConsoleMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    // The offscreen platform of these tests prints a notice of its own for
    // every message box; a desktop's does not.
    if (!message.contains(QLatin1String("propagateSizeHints")))
        consoleMessages.append(message);
}

#ifndef Q_OS_WIN
// While it lives, this process can open or duplicate no more descriptors:
// its limit is the lowest free one.
class DescriptorsUsedUp
{
public:
    DescriptorsUsedUp()
    {
        ::getrlimit(RLIMIT_NOFILE, &saved);
        const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(lowestFree);
        rlimit lowered = saved;
        lowered.rlim_cur = rlim_t(lowestFree);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorsUsedUp() { ::setrlimit(RLIMIT_NOFILE, &saved); }

    DescriptorsUsedUp(const DescriptorsUsedUp &) = delete;
    DescriptorsUsedUp &operator=(const DescriptorsUsedUp &) = delete;

private:
    rlimit saved = {};
};
#endif

} // namespace

class FileFailureTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void errorBox_data();
    void errorBox();
#ifndef Q_OS_WIN
    void fifoIsNeverOpened();
    void readErrorAfterSomeChunksGivesNoDigest();
    void noDescriptorForTheReaderGivesNoDigest();
    void stoppingGivesNoDigest();
#endif

private:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
#ifdef Q_OS_WIN
    // Held open without sharing, as some programs hold the files they write.
    HANDLE locked = INVALID_HANDLE_VALUE;
#else
    int socketFd = -1;
#endif
    MainWindow *window = nullptr;
    int threads = 0;
};

void FileFailureTest::initTestCase()
{
    QVERIFY(dir.isValid());

    QVERIFY(writeTestFile(path("deleted.bin"), QByteArray()));
    QVERIFY(QFile::remove(path("deleted.bin")));

    QVERIFY(QDir(dir.path()).mkdir("folder"));
#ifdef Q_OS_WIN
    locked = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path("locked.bin")).utf16()),
                         GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    QVERIFY(locked != INVALID_HANDLE_VALUE);
#else
    QVERIFY(QDir(dir.path()).mkdir("<b>bold"));
    QCOMPARE(::mkdir((QFile::encodeName(dir.path()) + "/\xC4\xE3").constData(), 0700), 0);
    QVERIFY(QFile::link(path("folder"), path("link to folder")));
    QVERIFY(QFile::link(path("deleted.bin"), path("dangling link")));
    QFile unreadable(path("unreadable.bin"));
    QVERIFY(unreadable.open(QIODevice::WriteOnly) && unreadable.setPermissions(QFileDevice::Permissions()));
    QVERIFY(QFile::link(path("unreadable.bin"), path("link to unreadable")));
    QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);

    socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(socketFd >= 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(path("socket"));
    QVERIFY(size_t(socketName.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, socketName.constData(), size_t(socketName.size()));
    QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
#endif
}

void FileFailureTest::cleanupTestCase()
{
#ifdef Q_OS_WIN
    CloseHandle(locked);
#else
    ::close(socketFd);
    // The toolkit cannot remove names that are not UTF-8.
    ::rmdir((QFile::encodeName(dir.path()) + "/\xC4\xE3").constData());
#endif
}

void FileFailureTest::init()
{
    window = new MainWindow;
    threads = processEntries("task");
}

// No reader is left behind, whatever became of its digest.
void FileFailureTest::cleanup()
{
    QTRY_COMPARE(processEntries("task"), threads);
    delete window;
}

void FileFailureTest::errorBox_data()
{
    QTest::addColumn<QByteArray>("dropped");
    QTest::addColumn<QString>("expectedText");

    const auto native = [this](const QString &name) { return path(name).toUtf8(); };
    QTest::newRow("press before any drop") << QByteArray() << "No file name specified";
    QTest::newRow("directory") << native("folder") << notRegular(path("folder"));
#ifdef Q_OS_WIN
    QTest::newRow("deleted file") << native("deleted.bin") << windowsError(ERROR_FILE_NOT_FOUND);
    QTest::newRow("missing folder") << native("missing/x.txt") << windowsError(ERROR_PATH_NOT_FOUND);
    QTest::newRow("file locked by another program") << native("locked.bin") << windowsError(ERROR_SHARING_VIOLATION);
    // Devices keep their names in every folder.
    QTest::newRow("null device") << QByteArray("C:/NUL") << notRegular("C:/NUL");
    QTest::newRow("console in a folder") << native("CON") << notRegular(path("CON"));
    QTest::newRow("serial port") << QByteArray("C:/COM1") << notRegular("C:/COM1");
#else
    // Windows allows no < or > in a name.
    QTest::newRow("directory named like markup") << native("<b>bold") << notRegular(path("<b>bold"));
    const WithoutCapabilities asUser(overridingPermissions);
    QTest::newRow("deleted file") << native("deleted.bin") << openError(path("deleted.bin"));
    // A name decoded with loss, in a folder that is not there to search for
    // the name it stood for.
    const QString lossyName = QString::fromUtf8("missing folder/\uFFFD.txt");
    QTest::newRow("lossy name in a missing folder") << native(lossyName) << openError(path(lossyName));
    // The link's target is judged, not the link.
    QTest::newRow("dangling link") << native("dangling link") << openError(path("dangling link"));
    QTest::newRow("link to an unreadable file") << native("link to unreadable") << openError(path("link to unreadable"));
    QTest::newRow("directory with a gbk name") << QFile::encodeName(dir.path()) + "/\xC4\xE3"
                                               << notRegular(path("\\xC4\\xE3"));
    QTest::newRow("link to a directory") << native("link to folder") << notRegular(path("link to folder"));
    QTest::newRow("fifo without a writer") << native("fifo") << notRegular(path("fifo"));
    QTest::newRow("socket") << native("socket") << notRegular(path("socket"));
    QTest::newRow("endless device") << QByteArray("/dev/zero") << notRegular("/dev/zero");
    // Opens as a regular file, but reading its start fails.
    QTest::newRow("read error after open") << QByteArray("/proc/self/mem") << readError("/proc/self/mem");
#endif
}

void FileFailureTest::errorBox()
{
    QFETCH(QByteArray, dropped);
    QFETCH(QString, expectedText);
    if (expectedText.isEmpty())
        QSKIP("this file system lets a file of mode 000 be read");

    showTextDigest(window, "abc");
    const QString shownBefore = resultText(window);
    if (!dropped.isEmpty())
        dropUrls(window, {fileUrl(dropped)});

    MessageBoxCatcher box;
    consoleMessages.clear();
    const QtMessageHandler toolkitHandler = qInstallMessageHandler(recordConsoleMessage);
    {
#ifndef Q_OS_WIN
        const WithoutCapabilities asUser(overridingPermissions);
#endif
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

#ifndef Q_OS_WIN
// Refused before it is opened: opening it would let a writer that waits
// for a reader go on, as opening a serial port resets the board on it.
void FileFailureTest::fifoIsNeverOpened()
{
    const QByteArray fifo = QFile::encodeName(path("waited fifo"));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<long> writer{0};
    std::atomic<bool> opened{false};
    std::thread writing([&] {
        writer = ::syscall(SYS_gettid);
        ::close(::open(fifo.constData(), O_WRONLY));
        opened = true;
    });
    const auto asleep = [&writer] {
        QFile status(QString("/proc/self/task/%1/stat").arg(writer.load()));
        return writer && status.open(QIODevice::ReadOnly) && status.readAll().contains(") S ");
    };
    QTRY_VERIFY(asleep());

    MessageBoxCatcher box;
    dropFile(window, path("waited fifo"));
    pressFileButton(window);
    QTest::qWait(200);

    QCOMPARE(shownText(box.text), notRegular(path("waited fifo")));
    QVERIFY(!opened);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    writing.join();
    ::close(reader);
}

// This process's memory, read through /proc while the reader runs ahead:
// some chunks, then a page that is not mapped, like a disk that breaks
// mid-file.
void FileFailureTest::readErrorAfterSomeChunksGivesNoDigest()
{
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    const qint64 goodBytes = 2 * fileDigestChunkSize + page;
    void *memory = ::mmap(nullptr, size_t(goodBytes + 2 * page), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    QVERIFY(memory != MAP_FAILED);
    QCOMPARE(::munmap(static_cast<char *>(memory) + goodBytes, size_t(page)), 0);
    QFile file("/proc/self/mem");
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && file.seek(qint64(quintptr(memory))));
    qint64 lastReported = 0;
    const FileDigest result = digestOpenFile(file, 0, [&lastReported](qint64 bytesRead, qint64) {
        lastReported = bytesRead;
        return true;
    });
    ::munmap(memory, size_t(goodBytes + 2 * page));
    QCOMPARE(result.outcome, FileDigest::ReadFailed);
    QVERIFY(result.digest.empty());
    QCOMPARE(lastReported, goodBytes);
    QCOMPARE(result.errorString, qt_error_string(EIO));
}

// The reader works on a duplicate of the file's descriptor.
void FileFailureTest::noDescriptorForTheReaderGivesNoDigest()
{
    QVERIFY(writeTestFile(path("short.txt"), "short"));
    QFile file(path("short.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    FileDigest result;
    {
        Watchdog watchdog("digesting without a descriptor for the reader", std::chrono::seconds(30));
        const DescriptorsUsedUp usedUp;
        result = digestOpenFile(file, 5, [](qint64, qint64) { return true; });
    }
    QCOMPARE(result.outcome, FileDigest::ReadFailed);
    QVERIFY(result.digest.empty());
    QCOMPARE(result.errorString, qt_error_string(EMFILE));
}

void FileFailureTest::stoppingGivesNoDigest()
{
    QFile endless("/dev/zero");
    QVERIFY(endless.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    int calls = 0;
    Watchdog watchdog("stopping the digest of an endless file", std::chrono::seconds(30));
    const FileDigest result = digestOpenFile(endless, 0, [&calls](qint64, qint64) { return ++calls < 2; });
    QCOMPARE(result.outcome, FileDigest::Stopped);
    QVERIFY(result.digest.empty());
    QCOMPARE(calls, 2);
}
#endif

QTEST_MAIN(FileFailureTest)
#include "file_failure_test.moc"
