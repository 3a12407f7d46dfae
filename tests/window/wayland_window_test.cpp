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

    // Typed text would reach the window as key events; Qt 6.4's Wayland
    // plugin crashes on those on a compositor without a keyboard.
    showTextDigest(&window, "abc");
    QCOMPARE(resultText(&window), QString("900150983cd24fb0d6963f7d28e17f72"));
}

QTEST_MAIN(WaylandWindowTest)
#include "wayland_window_test.moc"
