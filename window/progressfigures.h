#ifndef PROGRESSFIGURES_H
#define PROGRESSFIGURES_H

#include <QtGlobal>

#include <deque>
#include <optional>

class QLocale;
class QString;

// The rate at which bytes arrive, averaged over the last few seconds: a
// rate from the last moment alone would make the time left jump about, one
// from the start would never follow a read that slows down or speeds up.
class TransferRate
{
public:
    // Bytes done by now, a time in milliseconds on a steady clock.
    void add(qint64 ms, qint64 bytes);

    // None until samples span a second; a shorter span says nothing.
    std::optional<double> bytesPerSecond() const;

private:
    struct Sample
    {
        qint64 ms;
        qint64 bytes;
    };
    std::deque<Sample> samples;
};

// The figures under a digest's progress bar, in two lines: the bytes done
// (against the file's size where it has one, fileSize > 0), then the speed
// and, where there is a size, the time left.
QString progressFiguresText(qint64 bytesDone, qint64 fileSize, std::optional<double> bytesPerSecond,
                            const QLocale &locale);

#endif
