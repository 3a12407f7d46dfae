#include "progressfigures.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <iterator>

namespace {

// Long enough to even out the bursts of a read; a second is the least
// span whose rate says anything.
constexpr qint64 averagedMs = 5000;
constexpr qint64 leastSpanMs = 1000;

// A digest that would take longer is stalled rather than slow, and its
// estimate, however large, would only mislead.
constexpr double longestEstimateSeconds = 1000.0 * 3600;

// Decimal units, as the file manager of Debian's default desktop shows file
// sizes and as drives and links quote their speeds: the figures match those
// the user has seen for the same file. "MB" counted in 1024s would mean a
// different number to each reader, and "MiB" is rare in Chinese texts. The
// number follows the user's locale; the unit symbols are the ones that the
// window's Chinese texts use whatever the locale. QLocale::formattedDataSize
// would name the units in the locale's language ("Go" in French) and needs
// Qt 5.10.
QString dataSizeText(double bytes, const QLocale &locale)
{
    static const char *const units[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB"};
    const int lastUnit = int(std::size(units)) - 1;
    int unit = 0;
    // Moved on before rounding, so that 999.96 MB reads 1.0 GB, not 1000 MB.
    for (; bytes >= 999.5 && unit < lastUnit; ++unit)
        bytes /= 1000;
    // Three figures at most: more would change too fast to be read.
    const int decimals = unit > 0 && bytes < 99.95 ? 1 : 0;
    return locale.toString(bytes, 'f', decimals) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString timeLeftText(double seconds, const QLocale &locale)
{
    if (!(seconds < longestEstimateSeconds))
        return QString::fromUtf8("剩余时间未知");
    // Up, so that an unfinished digest never shows nothing left.
    const qint64 wholeSeconds = qMax<qint64>(1, qint64(std::ceil(seconds)));
    if (wholeSeconds < 60)
        return QString::fromUtf8("剩余约 %1 秒").arg(locale.toString(wholeSeconds));
    if (wholeSeconds < 3600) {
        const qint64 secondsPart = wholeSeconds % 60;
        const QString minutes = QString::fromUtf8("剩余约 %1 分钟").arg(locale.toString(wholeSeconds / 60));
        return secondsPart ? minutes + QString::fromUtf8(" %1 秒").arg(locale.toString(secondsPart)) : minutes;
    }
    const qint64 minutesPart = wholeSeconds % 3600 / 60;
    const QString hours = QString::fromUtf8("剩余约 %1 小时").arg(locale.toString(wholeSeconds / 3600));
    return minutesPart ? hours + QString::fromUtf8(" %1 分钟").arg(locale.toString(minutesPart)) : hours;
}

} // namespace

void TransferRate::add(qint64 ms, qint64 bytes)
{
    samples.push_back({ms, bytes});
    // The oldest sample kept is the last one at or before the averaged span.
    while (samples.size() > 1 && samples[1].ms <= ms - averagedMs)
        samples.pop_front();
}

std::optional<double> TransferRate::bytesPerSecond() const
{
    if (samples.empty() || samples.back().ms - samples.front().ms < leastSpanMs)
        return std::nullopt;
    const Sample &first = samples.front();
    const Sample &last = samples.back();
    return double(last.bytes - first.bytes) * 1000 / double(last.ms - first.ms);
}

QString progressFiguresText(qint64 bytesDone, qint64 fileSize, std::optional<double> bytesPerSecond,
                            const QLocale &locale)
{
    const QString done = fileSize > 0
        ? QString::fromUtf8("已完成 %1 / %2").arg(dataSizeText(double(bytesDone), locale),
                                                  dataSizeText(double(fileSize), locale))
        : QString::fromUtf8("已读取 %1").arg(dataSizeText(double(bytesDone), locale));
    if (!bytesPerSecond)
        return done + QString::fromUtf8(fileSize > 0 ? "\n正在估算速度和剩余时间…" : "\n正在估算速度…");
    const QString rate = QString::fromUtf8("\n速度 %1/s").arg(dataSizeText(*bytesPerSecond, locale));
    if (fileSize <= 0)
        return done + rate;
    const double secondsLeft = double(qMax<qint64>(0, fileSize - bytesDone)) / *bytesPerSecond;
    return done + rate + QString::fromUtf8("，") + timeLeftText(secondsLeft, locale);
}
