#include "mainwindow.h"
#include "messageboxcatcher.h"
#include "progressdialogwatcher.h"
#include "sparsefile.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace WindowDriver;

namespace {

// Far more than any of these tests lets the digest read.
constexpr qint64 longFileSize = qint64(8) << 30;

constexpr std::chrono::minutes hangLimit(3);

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
    void cleanup() { delete window; }

    void dialogShowsAndCancelKeepsResult();
    void dropAndPressDuringDigest();
    void closingWindowStopsDigest();
    // Last: it runs the application's event loop to its end.
    void closingWindowStopsDigestAndQuits();

private:
    QTemporaryDir dir;
    SparseFile longFile{longFileSize};
    QString shortFile;
    MainWindow *window = nullptr;
};

void LongDigestTest::initTestCase()
{
    QVERIFY(longFile.isValid());
    QVERIFY(dir.isValid());
    shortFile = dir.filePath("short.txt");
    QFile file(shortFile);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("short") == 5);
}

void LongDigestTest::init()
{
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    showTextDigest(window, "abc");
    dropFile(window, longFile.path());
}

void LongDigestTest::dialogShowsAndCancelKeepsResult()
{
    const QString shownBefore = resultText(window);
    QString label;
    QString cancelText;
    Qt::WindowModality modality = Qt::NonModal;
    int maximum = 0;
    ProgressDialogWatcher watcher(window, [&](QProgressDialog *dialog) {
        label = dialog->labelText();
        cancelText = dialog->findChild<QPushButton *>()->text();
        modality = dialog->windowModality();
        maximum = dialog->maximum();
        // Cancel once some share has been shown.
        if (dialog->value() <= 0)
            return false;
        clickCancel(dialog);
        return true;
    });
    MessageBoxCatcher box;
    {
        Watchdog watchdog("cancelling a long digest", hangLimit);
        pressFileButton(window);
    }

    QVERIFY(watcher.sawDialog);
    QCOMPARE(label, QString::fromUtf8("正在计算文件的MD5值…"));
    QCOMPARE(cancelText, QString::fromUtf8("取消"));
    QCOMPARE(modality, Qt::WindowModal);
    QCOMPARE(maximum, 100);
    QCOMPARE(resultText(window), shownBefore);
    QVERIFY(!box.seen);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
}

void LongDigestTest::dropAndPressDuringDigest()
{
    const QString shownBefore = resultText(window);
    PaintSpy paintSpy;
    window->findChild<QLabel *>("label")->installEventFilter(&paintSpy);
    bool dropped = false;
    QString shownDuringSecondPress;
    ProgressDialogWatcher watcher(window, [&](QProgressDialog *dialog) {
        if (!dropped) {
            dropFile(window, shortFile);
            paintSpy.painted = false;
            dropped = true;
            return false;
        }
        // The window keeps painting: the new path appears under the frame.
        if (!paintSpy.painted)
            return false;
        QMetaObject::invokeMethod(window, "on_calcBtn1_clicked", Qt::DirectConnection);
        shownDuringSecondPress = resultText(window);
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
    QCOMPARE(labelText(window), shortFile);

    // The drop counts for the next press.
    pressFileButton(window);
    QCOMPARE(resultText(window), md5Of("short"));
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
