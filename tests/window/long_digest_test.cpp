#include "digestprogress.h"
#include "filedigest.h"
#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "processentries.h"
#include "progressdialogwatcher.h"
#include "sparsefile.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace WindowDriver;

namespace {

// Far more than any of these tests lets the digest read.
constexpr qint64 longFileSize = qint64(8) << 30;

constexpr std::chrono::minutes hangLimit(3);

// Long enough to digest that the dialog is due well before the end, and the
// digest of that many zero bytes, from coreutils' md5sum.
constexpr qint64 pastDialogSize = qint64(1) << 30;
const char pastDialogDigest[] = "cd573cfaace07e7949bc0c46028904ff";

// The dialog is due after half a second; this leaves room for a slow machine.
constexpr qint64 dialogLatestMs = 1500;

class PaintSpy : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

    bool painted = false;
};

void clickCancel(QProgressDialog *dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
}

} // namespace

class LongDigestTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogShowsAndCancelKeepsResult();
    void fileWithoutSizeGetsBusyBar();
    void dropAndPressDuringDigest_data();
    void dropAndPressDuringDigest();
    void fileCutShortDuringDigest_data();
    void fileCutShortDuringDigest();
    void closingWindowStopsDigest();
    void windowNeverShownDigestsToTheEnd();
    // Last: it runs the application's event loop to its end.
    void closingWindowStopsDigestAndQuits();

private:
    QTemporaryDir dir;
    SparseFile longFile{longFileSize};
    QString shortFile;
    MainWindow *window = nullptr;
    int threads = 0;
};

void LongDigestTest::initTestCase()
{
    QVERIFY(longFile.isValid());
    QVERIFY(dir.isValid());
    shortFile = dir.filePath("short.txt");
    QVERIFY(writeTestFile(shortFile, "short"));
}

void LongDigestTest::init()
{
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    showTextDigest(window, "abc");
    dropFile(window, longFile.path());
    threads = processEntries("task");
}

// However the digest ended, its reader is gone.
void LongDigestTest::cleanup()
{
    QTRY_COMPARE(processEntries("task"), threads);
    delete window;
}

void LongDigestTest::dialogShowsAndCancelKeepsResult()
{
    const QString shownBefore = resultText(window);
    QString title;
    QString label;
    QString cancelText;
    int maximum = 0;
    int share = 0;
    QSize firstSize;
    QSize sizeAtCancel;
    bool buttonsEnabled = true;
    qint64 firstSeenMs = -1;
    QElapsedTimer clock;
    ProgressDialogWatcher watcher(window, [&](QProgressDialog *dialog) {
        if (firstSeenMs < 0) {
            firstSeenMs = clock.elapsed();
            firstSize = dialog->size();
        }
        title = dialog->windowTitle();
        label = dialog->labelText();
        cancelText = dialog->findChild<QPushButton *>()->text();
        maximum = dialog->maximum();
        buttonsEnabled = window->findChild<QPushButton *>("calcBtn")->isEnabled()
            || window->findChild<QPushButton *>("calcBtn1")->isEnabled();
        // Cancel once some share and the time left have been shown.
        if (dialog->value() <= 0 || !label.contains(QString::fromUtf8("剩余约")))
            return false;
        share = dialog->value();
        sizeAtCancel = dialog->size();
        clickCancel(dialog);
        return true;
    });
    MessageBoxCatcher box;
    {
        Watchdog watchdog("cancelling a long digest", hangLimit);
        clock.start();
        pressFileButton(window);
    }

    QVERIFY(watcher.sawDialog);
    QVERIFY2(firstSeenMs < dialogLatestMs, qPrintable(QString("dialog first seen after %1 ms").arg(firstSeenMs)));
    QCOMPARE(title, window->windowTitle());
    const QRegularExpression figures(QString::fromUtf8("^正在计算文件的MD5值…\n已完成 \\S+ \\S*B / \\S+ GB\n"
                                                       "速度 \\S+ \\S*B/s，剩余约 \\S+ "));
    QVERIFY2(figures.match(label).hasMatch(), qPrintable(label));
    QCOMPARE(cancelText, QString::fromUtf8("取消"));
    QCOMPARE(maximum, 100);
    // Cancelled before the end, so the bar cannot be full.
    QVERIFY2(share < 100, qPrintable(QString::number(share)));
    // The figures change; the dialog keeps its size.
    QCOMPARE(sizeAtCancel, firstSize);
    // Neither button starts anything while the dialog shows; both work after.
    QVERIFY(!buttonsEnabled);
    QVERIFY(window->findChild<QPushButton *>("calcBtn")->isEnabled());
    QVERIFY(window->findChild<QPushButton *>("calcBtn1")->isEnabled());
    QCOMPARE(resultText(window), shownBefore);
    QVERIFY(!box.seen);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
}

void LongDigestTest::fileWithoutSizeGetsBusyBar()
{
    DigestProgress progress(window, {});
    QTRY_VERIFY(progress.carryOn(fileDigestChunkSize, 0) && DigestProgress::isRunningOver(window));
    auto *dialog = window->findChild<QProgressDialog *>();
    QCOMPARE(dialog->minimum(), 0);
    QCOMPARE(dialog->maximum(), 0);
    QVERIFY2(dialog->labelText().contains(QString::fromUtf8("\n已读取 ")), qPrintable(dialog->labelText()));
}

void LongDigestTest::dropAndPressDuringDigest_data()
{
    QTest::addColumn<bool>("onDialog");
    QTest::addColumn<QUrl>("dropped");

    const QUrl shortUrl = QUrl::fromLocalFile(shortFile);
    QTest::newRow("drop on the window") << false << shortUrl;
    // The dialog covers the drop frame.
    QTest::newRow("drop on the dialog") << true << shortUrl;
    // Changes nothing, so the digest goes on.
    QTest::newRow("web link dropped") << false << QUrl("https://example.org/file.txt");
}

// A drop stops the running digest, whose result would otherwise show
// beside the new path.
void LongDigestTest::dropAndPressDuringDigest()
{
    QFETCH(bool, onDialog);
    QFETCH(QUrl, dropped);
    const bool taken = dropped.isLocalFile();

    const QString shownBefore = resultText(window);
    PaintSpy paintSpy;
    window->findChild<QLabel *>("label")->installEventFilter(&paintSpy);
    QString shownDuringSecondPress;
    bool stoppedByDrop = false;
    ProgressDialogWatcher watcher(window, [&](QProgressDialog *dialog) {
        QMetaObject::invokeMethod(window, "on_calcBtn1_clicked", Qt::DirectConnection);
        shownDuringSecondPress = resultText(window);
        dropUrls(onDialog ? static_cast<QWidget *>(dialog) : window, {dropped});
        stoppedByDrop = dialog->wasCanceled();
        if (!stoppedByDrop)
            clickCancel(dialog);
        return true;
    });
    MessageBoxCatcher box;
    {
        Watchdog watchdog("dropping and pressing during a long digest", hangLimit);
        pressFileButton(window);
    }

    QVERIFY(watcher.sawDialog);
    QCOMPARE(shownDuringSecondPress, shownBefore);
    QCOMPARE(resultText(window), shownBefore);
    QVERIFY(!box.seen);
    QCOMPARE(stoppedByDrop, taken);
    QCOMPARE(labelText(window), taken ? shortFile : longFile.path());
    if (!taken)
        return;
    // The window kept painting: the new path appeared under the frame.
    QVERIFY(paintSpy.painted);

    // The drop counts for the next press.
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of("short"));
}

void LongDigestTest::fileCutShortDuringDigest_data()
{
    QTest::addColumn<bool>("otherFileDropped");

    QTest::newRow("cut short") << false;
    // The message would name the new file.
    QTest::newRow("cut short, another file dropped") << true;
}

void LongDigestTest::fileCutShortDuringDigest()
{
    QFETCH(bool, otherFileDropped);

    const SparseFile cutFile(longFileSize);
    QVERIFY(cutFile.isValid());
    dropFile(window, cutFile.path());
    const QString shownBefore = resultText(window);
    ProgressDialogWatcher watcher(window, [&](QProgressDialog *dialog) {
        if (dialog->value() <= 0)
            return false;
        if (otherFileDropped)
            dropFile(window, shortFile);
        return QFile::resize(cutFile.path(), fileDigestChunkSize);
    });
    MessageBoxCatcher box;
    {
        Watchdog watchdog("cutting a file short during a long digest", hangLimit);
        pressFileButton(window);
    }

    QVERIFY(watcher.sawDialog);
    QCOMPARE(box.seen, !otherFileDropped);
    if (box.seen) {
        QCOMPARE(box.title, QString::fromUtf8("错误"));
        QCOMPARE(shownText(box.text), QString::fromUtf8("文件在计算过程中被修改：") + cutFile.path());
    }
    QCOMPARE(resultText(window), shownBefore);
}

// Without quitting, nothing but the digest itself notices the window going.
void LongDigestTest::closingWindowStopsDigest()
{
    const QString shownBefore = resultText(window);
    QApplication::setQuitOnLastWindowClosed(false);
    ProgressDialogWatcher watcher(window, [this](QProgressDialog *) {
        window->close();
        return true;
    });
    {
        Watchdog watchdog("closing the window during a long digest", hangLimit);
        pressFileButton(window);
    }
    QApplication::setQuitOnLastWindowClosed(true);

    QVERIFY(watcher.sawDialog);
    QVERIFY(!window->isVisible());
    QCOMPARE(resultText(window), shownBefore);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
}

// As the file benchmark's window: only a window that was shown stops the
// digest by being hidden.
void LongDigestTest::windowNeverShownDigestsToTheEnd()
{
    const SparseFile file(pastDialogSize);
    QVERIFY(file.isValid());
    MainWindow neverShown;
    dropFile(&neverShown, file.path());
    ProgressDialogWatcher watcher(&neverShown, [](QProgressDialog *) { return true; });
    {
        Watchdog watchdog("digesting over a window never shown", hangLimit);
        pressFileButton(&neverShown);
    }

    QVERIFY(watcher.sawDialog);
    QCOMPARE(resultText(&neverShown), QString(pastDialogDigest));
}

void LongDigestTest::closingWindowStopsDigestAndQuits()
{
    const QString shownBefore = resultText(window);
    QTimer::singleShot(0, window, [this] { pressFileButton(window); });
    ProgressDialogWatcher watcher(window, [this](QProgressDialog *) {
        window->close();
        return true;
    });
    int exitCode = -1;
    {
        Watchdog watchdog("quitting during a long digest", hangLimit);
        exitCode = QApplication::exec();
    }

    QVERIFY(watcher.sawDialog);
    QCOMPARE(exitCode, 0);
    QVERIFY(!window->isVisible());
    QCOMPARE(resultText(window), shownBefore);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
}

QTEST_MAIN(LongDigestTest)
#include "long_digest_test.moc"
