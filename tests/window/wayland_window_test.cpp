#include "mainwindow.h"
#include "windowdriver.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

using namespace WindowDriver;

// The window through Qt's Wayland platform plugin, on a compositor of the
// test's own: it maps at its fixed size and digests a text.
class WaylandWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void mapsAtItsSizeAndDigestsText();
};

void WaylandWindowTest::mapsAtItsSizeAndDigestsText()
{
    QCOMPARE(QGuiApplication::platformName(), QString("wayland"));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowHandle()->geometry().size(), QSize(666, 490));

    QTest::keyClicks(window.findChild<QTextEdit *>("inputTextEdit"), "abc");
    QTest::mouseClick(window.findChild<QPushButton *>("calcBtn"), Qt::LeftButton);
    QCOMPARE(resultText(&window), QString("900150983cd24fb0d6963f7d28e17f72"));
}

QTEST_MAIN(WaylandWindowTest)
#include "wayland_window_test.moc"
