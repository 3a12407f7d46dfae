#include "desktopidentity.h"
#include "desktopscaling.h"
#include "librarysearch.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!loadLibrariesFromSystemOnly())
        return 1;
    followDesktopScaling();
    QApplication application(argc, argv);
    identifyToDesktop();
    MainWindow window;
    window.show();
    return application.exec();
}
