#include "desktopscaling.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    followDesktopScaling();
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}
