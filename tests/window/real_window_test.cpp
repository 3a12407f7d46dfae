#include "desktopscaling.h"
#include "mainwindow.h"
#include "progressdialogwatcher.h"
#include "sparsefile.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>

using namespace WindowDriver;

namespace {

// Generous: only a broken drag takes this long.
constexpr int stepTimeoutMs = 20000;

// Far more than a test lets the digest read before it ends it.
constexpr qint64 longFileSize = qint64(8) << 30;

// Reads the drag source's report lines as they come.
class SourceProcess : public QProcess
{
public:
    SourceProcess()
    {
        connect(this, &QProcess::readyReadStandardOutput, this, [this] {
            while (canReadLine())
                lines.append(QString::fromUtf8(readLine()).trimmed());
        });
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    bool told(const QString &prefix) const { return !lineStarting(prefix).isNull(); }

    QString lineStarting(const QString &prefix) const
    {
        for (const QString &line : lines) {
            if (line.startsWith(prefix))
                return line;
        }
        return QString();
    }

private:
    QStringList lines;
};

// Counts the keys that reach any of the application's windows.
class KeyCounter : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWindowType())
            ++pressed;
        return false;
    }

    int pressed = 0;
};

} // namespace

class RealWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    // The toolkit cannot remove names that are not UTF-8.
    void cleanup() { ::unlink(draggedFile.constData()); ::unlink(alikeFile.constData()); }
    void dropFromAnotherApplication_data();
    void dropFromAnotherApplication();
    void scaledDesktopKeepsTheLayout();
    void keysDuringKeyboardStartedDigest();
    // Last: it runs the application's event loop to its end.
    void closeFromWindowManagerDuringDigest();

private:
    // Runs xdotool without blocking the event loop, which has to answer the
    // drag protocol meanwhile; keeps what it prints in output if given.
    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr);
    // Shows the window and gives it the keyboard, as a window manager does.
    static bool showActive(QWidget *window);
    // Moves the pointer to the centre of widget, in the X server's pixels.
    bool pointAt(const QWidget *widget);
    // Drags a file from another program, which offers it as format=url,
    // onto target, notes the source's last word on it and waits for the
    // window to show the path.
    void dragOnto(QWidget *window, const QWidget *target, const QStringList &offers, const QString &shownPath,
                  bool preferMove, QString *finished);

    QTemporaryDir dir;
    QByteArray draggedFile;
    QByteArray alikeFile;
};

bool RealWindowTest::xdotool(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    QEventLoop untilFinished;
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &untilFinished,
            &QEventLoop::quit);
    process.start("xdotool", arguments);
    if (!process.waitForStarted())
        return false;
    untilFinished.exec();
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool RealWindowTest::showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool RealWindowTest::pointAt(const QWidget *widget)
{
    const QPointF at = QPointF(widget->mapToGlobal(widget->rect().center())) * widget->devicePixelRatioF();
    return xdotool({"mousemove", "--sync", QString::number(qRound(at.x())), QString::number(qRound(at.y()))});
}

void RealWindowTest::dragOnto(QWidget *window, const QWidget *target, const QStringList &offers,
                              const QString &shownPath, bool preferMove, QString *finished)
{
    SourceProcess source;
    QStringList arguments = offers;
    if (preferMove)
        arguments << "move";
    source.start(DRAG_SOURCE, arguments);
    QVERIFY(source.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(source.told("ready"), stepTimeoutMs);
    const QStringList ready = source.lineStarting("ready").split(' ');
    QCOMPARE(ready.size(), 3);
    const QPoint from(ready.at(1).toInt(), ready.at(2).toInt());

    const QPoint to = target->mapToGlobal(target->rect().center());

    QVERIFY(xdotool({"mousemove", "--sync", QString::number(from.x()), QString::number(from.y()),
                     "mousedown", "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(source.told("dragging"), stepTimeoutMs);

    // Moves in steps, as a hand does, so that the window sees the drag enter
    // and move over it before the drop.
    QStringList moves;
    const int steps = 8;
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        moves << "mousemove" << QString::number(at.x()) << QString::number(at.y()) << "sleep" << "0.05";
    }
    QVERIFY(xdotool(moves));
    QTRY_VERIFY_WITH_TIMEOUT(source.told("accepted"), stepTimeoutMs);

    QVERIFY(xdotool({"mouseup", "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(source.told("finished"), stepTimeoutMs);
    *finished = source.lineStarting("finished");
    // The window fetches the dropped data from the source after the drag.
    QTRY_COMPARE_WITH_TIMEOUT(labelText(window), shownPath, stepTimeoutMs);

    source.closeWriteChannel();
    QVERIFY(source.waitForFinished(stepTimeoutMs));
    QCOMPARE(source.exitCode(), 0);
}

void RealWindowTest::dropFromAnotherApplication_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<bool>("preferMove");
    QTest::addColumn<bool>("duringDigest");
    QTest::addColumn<bool>("onDialog");
    // Each format the source offers, with the URL of the name's bytes
    // (=exact) or of the name as Qt decodes it (=lost); and a second file
    // whose name Qt decodes alike.
    QTest::addColumn<QStringList>("offers");
    QTest::addColumn<QByteArray>("alike");

    const QStringList exact{"text/uri-list=exact"};
    const QByteArray none;
    const QByteArray spaced = QString::fromUtf8("拖放 目录 文件 一.txt").toUtf8();
    QTest::newRow("spaces and chinese") << spaced << QString::fromUtf8(spaced) << false << false << false << exact
                                        << none;
    QTest::newRow("gbk name") << QByteArray("\xC4\xE3\xBA\xC3.txt") << "\\xC4\\xE3\\xBA\\xC3.txt" << false
                              << false << false << exact << none;
    // The source must hear of a copy: some delete the original after a move.
    QTest::newRow("source prefers a move") << QByteArray("moved.txt") << "moved.txt" << true << false << false
                                           << exact << none;
    // The drop stops the digest; the dropped file is digested at the next
    // press.
    QTest::newRow("during a long digest") << QByteArray("next.txt") << "next.txt" << false << true << false
                                          << exact << none;
    QTest::newRow("onto the progress dialog") << QByteArray("onto.txt") << "onto.txt" << false << true << true
                                              << exact << none;

    // What Dolphin and PCManFM-Qt send for a GBK name.
    const QByteArray gbk("\xC4\xE3\xBA\xC3.bin");
    const QString gbkShown("\\xC4\\xE3\\xBA\\xC3.bin");
    const QStringList dolphin{"text/uri-list=lost", "text/plain=lost", "application/x-kde4-urilist=lost"};
    QTest::newRow("dolphin, bytes lost") << gbk << gbkShown << false << false << false << dolphin << none;
    QTest::newRow("pcmanfm-qt, bytes in its own list") << gbk << gbkShown << false << false << false
                                                       << QStringList{"text/uri-list=lost", "libfm/files=exact"}
                                                       << QByteArray("\xB0\xA1\xB0\xA1.bin");
    QTest::newRow("bytes lost, two names alike") << gbk << QString::fromUtf8(gbk) << false << false << false
                                                 << dolphin << QByteArray("\xB0\xA1\xB0\xA1.bin");
}

void RealWindowTest::dropFromAnotherApplication()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, shownName);
    QFETCH(bool, preferMove);
    QFETCH(bool, duringDigest);
    QFETCH(bool, onDialog);
    QFETCH(QStringList, offers);
    QFETCH(QByteArray, alike);
    Watchdog watchdog("dragging a file onto the window", std::chrono::minutes(2));

    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray nativePath = folder + name;
    const QByteArray contents = "dragged from the file manager: " + name + '\n';
    draggedFile = nativePath;
    alikeFile = folder + alike;
    QVERIFY(writeNamedFile(nativePath, contents));
    QVERIFY(alike.isEmpty() || writeNamedFile(alikeFile, "not dropped"));
    const QString exactUrl = QString::fromLatin1(fileUrl(nativePath).toEncoded());
    const QString lostUrl = QString::fromLatin1(fileUrl(folder + QString::fromUtf8(name).toUtf8()).toEncoded());
    for (QString &offer : offers)
        offer.replace("=exact", '=' + exactUrl).replace("=lost", '=' + lostUrl);

    MainWindow window;
    window.move(300, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QWidget *frame = window.findChild<QFrame *>("frame");

    QString finished;
    if (duringDigest) {
        const SparseFile longFile(longFileSize);
        QVERIFY(longFile.isValid());
        dropFile(&window, longFile.path());
        showTextDigest(&window, "abc");
        const QString shownBefore = resultText(&window);
        ProgressDialogWatcher watcher(&window, [&](QProgressDialog *dialog) {
            dragOnto(&window, onDialog ? static_cast<QWidget *>(dialog) : frame, offers, dir.filePath(shownName),
                     preferMove, &finished);
            return true;
        });
        pressFileButton(&window);
        QVERIFY(watcher.sawDialog);
        QCOMPARE(resultText(&window), shownBefore);
    } else {
        dragOnto(&window, frame, offers, dir.filePath(shownName), preferMove, &finished);
    }
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(finished, QString("finished %1").arg(int(Qt::CopyAction)));
    QCOMPARE(labelText(&window), dir.filePath(shownName));
    // A name still lost names no file: there is nothing to digest.
    if (shownName.contains(QChar::ReplacementCharacter))
        return;
    pressFileButton(&window);
    QCOMPARE(resultText(&window), md5Of(contents));
}

// The test's X server has the desktop's text scale (Xft.dpi) that XFT_DPI
// names. At any scale the window grows as a whole: the layout stays the one
// at 96, and the digest stays on one line.
void RealWindowTest::scaledDesktopKeepsTheLayout()
{
    const int dpi = qEnvironmentVariableIntValue("XFT_DPI");
    QVERIFY2(dpi > 0, "XFT_DPI names no text scale");
    MainWindow window;
    QVERIFY(showActive(&window));

    QByteArray geometry;
    QVERIFY(xdotool({"getwindowgeometry", QString::number(window.winId())}, &geometry));
    const QRegularExpressionMatch size = QRegularExpression("Geometry: (\\d+)x(\\d+)").match(geometry);
    QVERIFY2(size.hasMatch(), geometry.constData());
    QCOMPARE(QSize(size.captured(1).toInt(), size.captured(2).toInt()),
             QSize(qRound(666.0 * dpi / 96), qRound(490.0 * dpi / 96)));
    QCOMPARE(window.size(), QSize(666, 490));
    QCOMPARE(window.logicalDpiY(), 96);

    // Typed at once, the text goes to the input box.
    QVERIFY(xdotool({"type", "abc"}));
    auto *textButton = window.findChild<QPushButton *>("calcBtn");
    QVERIFY(pointAt(textButton));
    QVERIFY(xdotool({"click", "1"}));
    QTRY_COMPARE(resultText(&window), QString("900150983cd24fb0d6963f7d28e17f72"));

    auto *result = window.findChild<QTextEdit *>("resultTextEdit");
    QCOMPARE(result->document()->firstBlock().layout()->lineCount(), 1);
    QCOMPARE(result->verticalScrollBar()->maximum(), 0);
    QCOMPARE(result->horizontalScrollBar()->maximum(), 0);
    for (const QPushButton *button : window.findChildren<QPushButton *>()) {
        QVERIFY2(button->sizeHint().width() <= button->width() && button->sizeHint().height() <= button->height(),
                 qPrintable(button->objectName()));
    }
    for (const QGroupBox *group : window.findChildren<QGroupBox *>())
        QVERIFY2(group->minimumSizeHint().width() <= group->width(), qPrintable(group->objectName()));
}

void RealWindowTest::keysDuringKeyboardStartedDigest()
{
    const SparseFile longFile(longFileSize);
    QVERIFY(longFile.isValid());
    MainWindow window;
    QVERIFY(showActive(&window));
    dropFile(&window, longFile.path());
    auto *fileButton = window.findChild<QPushButton *>("calcBtn1");
    fileButton->setFocus();
    auto *input = window.findChild<QTextEdit *>("inputTextEdit");

    KeyCounter keys;
    qApp->installEventFilter(&keys);
    bool typed = false;
    ProgressDialogWatcher watcher(&window, [&](QProgressDialog *dialog) {
        // The user comes back to the window and goes on typing: a second
        // Space and some text.
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        const int before = keys.pressed;
        typed = xdotool({"type", "x y"})
            && QTest::qWaitFor([&] { return keys.pressed == before + 3; }, stepTimeoutMs);
        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        return true;
    });
    {
        Watchdog watchdog("typing during a keyboard-started digest", std::chrono::minutes(2));
        QVERIFY(xdotool({"key", "space"}));
    }
    qApp->removeEventFilter(&keys);

    QVERIFY(watcher.sawDialog);
    QVERIFY(typed);
    QCOMPARE(input->toPlainText(), QString());
    QCOMPARE(window.focusWidget(), fileButton);
}

void RealWindowTest::closeFromWindowManagerDuringDigest()
{
    const SparseFile longFile(longFileSize);
    QVERIFY(longFile.isValid());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    showTextDigest(&window, "abc");
    const QString shownBefore = resultText(&window);
    dropFile(&window, longFile.path());

    QTimer::singleShot(0, &window, [&window] { pressFileButton(&window); });
    bool closeSent = false;
    ProgressDialogWatcher watcher(&window, [&](QProgressDialog *) {
        closeSent = QProcess::execute(WM_CLOSE, {QString::number(window.winId())}) == 0;
        return true;
    });
    int exitCode = -1;
    {
        Watchdog watchdog("closing the window from the window manager during a long digest",
                          std::chrono::minutes(2));
        exitCode = QApplication::exec();
    }

    QVERIFY(closeSent);
    QVERIFY(watcher.sawDialog);
    QCOMPARE(exitCode, 0);
    QVERIFY(!window.isVisible());
    QCOMPARE(resultText(&window), shownBefore);
    QVERIFY(window.findChildren<QProgressDialog *>().isEmpty());
}

#include "real_window_test.moc"

// Started as the program starts, without the fixed 96 dpi of QTEST_MAIN, so
// that the window meets the desktop's scale as the program's does.
int main(int argc, char *argv[])
{
    followDesktopScaling();
    QApplication application(argc, argv);
    RealWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
