#include "mainwindow.h"
#include "progressdialogwatcher.h"
#include "sparsefile.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFrame>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class RealWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    // The toolkit cannot remove names that are not UTF-8.
    void cleanup() { ::unlink(draggedFile.constData()); }
    void dropFromAnotherApplication_data();
    void dropFromAnotherApplication();
    // Last: it runs the application's event loop to its end.
    void closeFromWindowManagerDuringDigest();

private:
    // Runs xdotool without blocking the event loop, which has to answer the
    // drag protocol meanwhile.
    bool xdotool(const QStringList &arguments);
    // Drags the file from another program onto the window's drop frame,
    // notes the source's last word on it and waits for the window to show
    // the path.
    void dragOnto(QWidget *window, const QByteArray &nativePath, const QString &shownPath, bool preferMove,
                  QString *finished);

    QTemporaryDir dir;
    QByteArray draggedFile;
};

bool RealWindowTest::xdotool(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop untilFinished;
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &untilFinished,
            &QEventLoop::quit);
    process.start("xdotool", arguments);
    if (!process.waitForStarted())
        return false;
    untilFinished.exec();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void RealWindowTest::dragOnto(QWidget *window, const QByteArray &nativePath, const QString &shownPath,
                              bool preferMove, QString *finished)
{
    SourceProcess source;
    QStringList arguments{QString::fromLatin1(fileUrl(nativePath).toEncoded())};
    if (preferMove)
        arguments << "move";
    source.start(DRAG_SOURCE, arguments);
    QVERIFY(source.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(source.told("ready"), stepTimeoutMs);
    const QStringList ready = source.lineStarting("ready").split(' ');
    QCOMPARE(ready.size(), 3);
    const QPoint from(ready.at(1).toInt(), ready.at(2).toInt());

    auto *frame = window->findChild<QFrame *>("frame");
    const QPoint to = frame->mapToGlobal(frame->rect().center());

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

    const QByteArray spaced = QString::fromUtf8("拖放 目录 文件 一.txt").toUtf8();
    QTest::newRow("spaces and chinese") << spaced << QString::fromUtf8(spaced) << false << false;
    QTest::newRow("gbk name") << QByteArray("\xC4\xE3\xBA\xC3.txt") << "\\xC4\\xE3\\xBA\\xC3.txt" << false
                              << false;
    // The source must hear of a copy: some delete the original after a move.
    QTest::newRow("source prefers a move") << QByteArray("moved.txt") << "moved.txt" << true << false;
    // The dialog of a long digest blocks nothing: the drop counts for the
    // next press.
    QTest::newRow("during a long digest") << QByteArray("next.txt") << "next.txt" << false << true;
}

void RealWindowTest::dropFromAnotherApplication()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, shownName);
    QFETCH(bool, preferMove);
    QFETCH(bool, duringDigest);
    Watchdog watchdog("dragging a file onto the window", std::chrono::minutes(2));

    const QByteArray nativePath = QFile::encodeName(dir.path()) + '/' + name;
    draggedFile = nativePath;
    const QByteArray contents = "dragged from the file manager: " + name + '\n';
    QVERIFY(writeNamedFile(nativePath, contents));

    MainWindow window;
    window.move(300, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QString finished;
    if (duringDigest) {
        const SparseFile longFile(longFileSize);
        QVERIFY(longFile.isValid());
        dropFile(&window, longFile.path());
        QString labelDuringDigest;
        ProgressDialogWatcher watcher(&window, [&](QProgressDialog *dialog) {
            dragOnto(&window, nativePath, dir.filePath(shownName), preferMove, &finished);
            labelDuringDigest = labelText(&window);
            QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
            return true;
        });
        pressFileButton(&window);
        QVERIFY(watcher.sawDialog);
        QCOMPARE(labelDuringDigest, dir.filePath(shownName));
    } else {
        dragOnto(&window, nativePath, dir.filePath(shownName), preferMove, &finished);
    }
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(finished, QString("finished %1").arg(int(Qt::CopyAction)));
    QCOMPARE(labelText(&window), dir.filePath(shownName));
    pressFileButton(&window);
    QCOMPARE(resultText(&window), md5Of(contents));
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

QTEST_MAIN(RealWindowTest)
#include "real_window_test.moc"
