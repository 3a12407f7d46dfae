#include "droppedfile.h"

#include "lossyname.h"

#include <QMimeData>
#include <QUrl>

#include <chrono>

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

LocalFile firstLocalFile(const QMimeData &data)
{
    const LocalFile exact = localFile(firstExactUrl(data));
    if (!exact.nativePath.isEmpty())
        return exact;
    const QList<QUrl> urls = data.urls();
    return urls.isEmpty() ? LocalFile() : localFile(urls.first());
}

} // namespace

DroppedFile::DroppedFile(const QMimeData &data)
    : dropped(firstLocalFile(data))
    , nameBeforeLoss(findNameBeforeLoss(dropped.nativePath))
{
}

bool DroppedFile::isSettled() const
{
    return !nameBeforeLoss.valid() || nameBeforeLoss.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

LocalFile DroppedFile::current() const
{
    return isSettled() ? settled() : dropped;
}

LocalFile DroppedFile::settled() const
{
    if (!nameBeforeLoss.valid() || nameBeforeLoss.get().isEmpty())
        return dropped;
    return localFileNamed(nameBeforeLoss.get());
}
