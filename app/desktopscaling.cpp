#include "desktopscaling.h"

#include <QGuiApplication>

void followDesktopScaling()
{
    // Qt 6 scales this way by default. Qt 5 would grow the fonts alone inside
    // the fixed geometry, cutting off the texts and wrapping the digest.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
    // Rounded, 150 % would become 200 %.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
#endif
}
