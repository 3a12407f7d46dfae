#include "desktopidentity.h"
#include "desktopscaling.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    followDesktopScaling();
    QApplication application(argc, argv);
    identifyToDesktop();
    MainWindow window;
    window.show();
    return application.exec();
}
