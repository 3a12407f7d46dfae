// Throughput of the file digest on a cached 1 GiB file beside md5Hex on the
// same bytes in memory. The file is digested twice over: by pressing the
// window's file button, progress dialog and all, and by the function behind
// it alone. The three run interleaved, round by round and in rotating order,
// so that drift of a shared machine hits them alike; ratios are taken per
// round and their median reported. Samples are timed in wall time, what the
// user waits, and in processor time, which counts the reading thread too.
//
// With --smoke it digests a small file once and only checks that the three
// agree.

#include "drops.h"
#include "filedigest.h"
#include "mainwindow.h"
#include "md5.h"
#include "rounds.h"
#include "testfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int defaultRounds = 7;
constexpr int minimumRounds = 3;
constexpr qint64 fileSize = qint64(1) << 30;
// More chunks than the reader has buffers, and a bit.
constexpr qint64 smokeFileSize = 9 * fileDigestChunkSize + 17;

struct Contender {
    const char *name;
    std::function<std::string()> digest;
};

struct Sample {
    double processorSeconds;
    double wallSeconds;
};

Sample timed(const Contender &contender, std::string &digest)
{
    QElapsedTimer wall;
    wall.start();
    const std::clock_t start = std::clock();
    digest = contender.digest();
    const std::clock_t stop = std::clock();
    return {double(stop - start) / CLOCKS_PER_SEC, wall.nsecsElapsed() / 1e9};
}

} // namespace

int main(int argc, char **argv)
{
    // Runs without a display; the window is never looked at.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const bool smoke = argc > 1 && qstrcmp(argv[1], "--smoke") == 0;
    const int rounds = smoke ? 0 : roundsFromArguments(argc, argv, defaultRounds, minimumRounds);
    if (!smoke && rounds == 0)
        return 2;

    QByteArray bytes(int(smoke ? smokeFileSize : fileSize), Qt::Uninitialized);
    std::mt19937 random(20240611);
    for (char &byte : bytes)
        byte = char(random());
    QTemporaryDir dir;
    const QString path = dir.filePath("file.bin");
    if (!dir.isValid() || !writeTestFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    MainWindow window;
    window.show();
    WindowDriver::dropFile(&window, path);
    if (window.findChild<QLabel *>("label")->text() != path) {
        std::fprintf(stderr, "the window did not take the drop of %s\n", qPrintable(path));
        return 1;
    }
    auto *result = window.findChild<QTextEdit *>("resultTextEdit");

    const Contender contenders[] = {
        {"md5Hex", [&bytes] {
             return md5Hex(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::uint32_t(bytes.size()));
         }},
        {"button", [&window, result] {
             result->clear();
             QMetaObject::invokeMethod(&window, "on_calcBtn1_clicked", Qt::DirectConnection);
             return result->toPlainText().toStdString();
         }},
        {"press", [&path] {
             const FileDigest result = digestFile(QFile::encodeName(path), [](qint64, qint64) { return true; });
             return result.outcome == FileDigest::Done ? result.digest : std::string("no digest");
         }},
    };
    constexpr int contenderCount = int(sizeof contenders / sizeof contenders[0]);

    // An untimed round reads the file into the page cache and checks that
    // all three agree.
    std::string expected;
    timed(contenders[0], expected);
    for (const Contender &contender : contenders) {
        std::string digest;
        timed(contender, digest);
        if (digest != expected) {
            std::fprintf(stderr, "%s gives %s, md5Hex %s\n", contender.name, digest.c_str(), expected.c_str());
            return 1;
        }
    }
    if (smoke) {
        std::printf("file_bench --smoke: md5Hex, button and press agree on %lld bytes\n", smokeFileSize);
        return 0;
    }

    // Indexed [contender][round]; ratios are md5Hex's time over the contender's.
    std::vector<std::vector<double>> processor(contenderCount), wall(contenderCount);
    std::vector<std::vector<double>> processorRatio(contenderCount), wallRatio(contenderCount);
    for (int round = 0; round < rounds; ++round) {
        Sample samples[contenderCount];
        for (int turn = 0; turn < contenderCount; ++turn) {
            const int c = (turn + round) % contenderCount;
            std::string digest;
            samples[c] = timed(contenders[c], digest);
            if (digest != expected) {
                std::fprintf(stderr, "%s gives %s in round %d\n", contenders[c].name, digest.c_str(), round);
                return 1;
            }
        }
        for (int c = 0; c < contenderCount; ++c) {
            processor[c].push_back(samples[c].processorSeconds);
            wall[c].push_back(samples[c].wallSeconds);
            processorRatio[c].push_back(samples[0].processorSeconds / samples[c].processorSeconds);
            wallRatio[c].push_back(samples[0].wallSeconds / samples[c].wallSeconds);
        }
    }

    std::printf("MD5 of 1 GiB: in memory (md5Hex), from a cached file by the file button\n"
                "(button) and by the function behind it alone (press). Throughput in\n"
                "MB (10^6 bytes) per second, median of %d interleaved rounds\n\n", rounds);
    std::printf("%-10s %12s %16s %16s %20s\n", "", "wall MB/s", "wall/md5Hex", "processor MB/s",
                "processor/md5Hex");
    for (int c = 0; c < contenderCount; ++c) {
        std::printf("%-10s %12.1f %16.3f %16.1f %20.3f\n", contenders[c].name, fileSize / median(wall[c]) / 1e6,
                    median(wallRatio[c]), fileSize / median(processor[c]) / 1e6, median(processorRatio[c]));
    }
    return 0;
}
