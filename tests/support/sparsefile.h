#ifndef SPARSEFILE_H
#define SPARSEFILE_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

// A large file that takes no room: a hole of the given size with a few
// marker bytes written at their offsets. It lives in shared memory where
// there is some, since a hole read from there costs no page-cache pages and
// reading it is then as fast as the digest allows.
class SparseFile
{
public:
    using Markers = QList<QPair<qint64, QByteArray>>;

    explicit SparseFile(qint64 size, const Markers &markers = {})
        : dir(directoryTemplate())
    {
        QFile file(path());
        valid = dir.isValid() && file.open(QIODevice::WriteOnly) && file.resize(size);
        for (const auto &marker : markers)
            valid = valid && file.seek(marker.first) && file.write(marker.second) == marker.second.size();
    }

    bool isValid() const { return valid; }
    QString path() const { return dir.filePath("sparse.bin"); }

private:
    static QString directoryTemplate()
    {
        const QFileInfo shared("/dev/shm");
        const QString parent = shared.isDir() && shared.isWritable() ? shared.filePath() : QDir::tempPath();
        return parent + "/md5tool-test-XXXXXX";
    }

    QTemporaryDir dir;
    bool valid = false;
};

#endif
