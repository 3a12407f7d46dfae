#include "droppedfile.h"

#include "lossyname.h"

#include <QMimeData>
#include <QUrl>

namespace {

// PCManFM-Qt writes the names into text/uri-list as Qt decoded them, which
// loses the bytes of names that are not UTF-8, and into its own list as they
// are on disk.
const QString exactUrlList = QStringLiteral("libfm/files");

QUrl firstExactUrl(const QMimeData &data)
{
    for (const QByteArray &line : data.data(exactUrlList).split('\n')) {
        const QByteArray url = line.trimmed();
        if (!url.isEmpty() && !url.startsWith('#'))
            return QUrl::fromEncoded(url);
    }
    return {};
}

} // namespace

LocalFile droppedFile(const QMimeData &data)
{
    LocalFile dropped = localFile(firstExactUrl(data));
    if (dropped.nativePath.isEmpty()) {
        const QList<QUrl> urls = data.urls();
        if (urls.isEmpty())
            return {};
        dropped = localFile(urls.first());
    }
    const QByteArray found = nameBeforeLoss(dropped.nativePath);
    if (!found.isEmpty())
        return localFileNamed(found);
    return dropped;
}
