#include "desktopidentity.h"

#include <QGuiApplication>
#include <QIcon>
#include <QString>

void identifyToDesktop()
{
    QGuiApplication::setDesktopFileName(QStringLiteral("md5tool"));
    // The theme's, as installed; a build run where it was built brings the
    // same pictures along.
    QIcon builtIn;
    for (const char *size : {"48", "128", "256"})
        builtIn.addFile(QStringLiteral(":/icon/%1.png").arg(QLatin1String(size)));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("md5tool"), builtIn));
}
