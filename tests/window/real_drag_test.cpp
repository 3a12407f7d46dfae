#include "mainwindow.h"
#include "watchdog.h"
#include "windowdriver.h"

#include <QDir>
#include <QFrame>
#include <QProcess>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>

using namespace WindowDriver;

namespace {

// Generous: only a broken drag takes this long.
constexpr int stepTimeoutMs = 20000;

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

class RealDragTest : public QObject
{
    Q_OBJECT

private slots:
    void dropFromAnotherApplication();

private:
    // Runs xdotool without blocking the event loop, which has to answer the
    // drag protocol meanwhile.
    bool xdotool(const QStringList &arguments);
};

bool RealDragTest::xdotool(const QStringList &arguments)
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

void RealDragTest::dropFromAnotherApplication()
{
    Watchdog watchdog("dragging a file onto the window", std::chrono::minutes(2));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf8("拖放 目录")));
    const QString path = dir.filePath(QString::fromUtf8("拖放 目录/文件 一.txt"));
    const QByteArray contents = "dragged from the file manager\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    file.close();

    MainWindow window;
    window.move(300, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    SourceProcess source;
    source.start(DRAG_SOURCE, {path});
    QVERIFY(source.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(source.told("ready"), stepTimeoutMs);
    const QStringList ready = source.lineStarting("ready").split(' ');
    QCOMPARE(ready.size(), 3);
    const QPoint from(ready.at(1).toInt(), ready.at(2).toInt());

    auto *frame = window.findChild<QFrame *>("frame");
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
    QCOMPARE(source.lineStarting("finished"), QString("finished %1").arg(int(Qt::CopyAction)));

    QTRY_COMPARE_WITH_TIMEOUT(labelText(&window), path, stepTimeoutMs);
    pressFileButton(&window);
    QCOMPARE(resultText(&window), md5Of(contents));

    source.closeWriteChannel();
    QVERIFY(source.waitForFinished(stepTimeoutMs));
    QCOMPARE(source.exitCode(), 0);
}

QTEST_MAIN(RealDragTest)
#include "real_drag_test.moc"
