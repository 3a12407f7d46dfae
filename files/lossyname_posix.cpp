#include "lossyname.h"

#include <QString>

#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace {

const char replacementCharacter[] = "\xEF\xBF\xBD";

QByteArray nameBeforeLoss(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    const QByteArray folder = path.left(slash + 1);
    const QByteArray name = path.mid(slash + 1);
    struct stat status;
    if (::lstat(path.constData(), &status) == 0)
        return {};
    const std::unique_ptr<DIR, int (*)(DIR *)> entries(::opendir(folder.constData()), ::closedir);
    if (!entries)
        return {};
    // Qt 5 and Qt 6 both give one U+FFFD per stray byte, so a name lost by
    // a source built on either decodes alike here.
    const QString lost = QString::fromUtf8(name);
    QByteArray found;
    int matches = 0;
    while (const dirent *entry = ::readdir(entries.get())) {
        if (QString::fromUtf8(entry->d_name) == lost) {
            found = entry->d_name;
            ++matches;
        }
    }
    return matches == 1 ? folder + found : QByteArray();
}

} // namespace

std::shared_future<QByteArray> findNameBeforeLoss(const QByteArray &path)
{
    if (!path.mid(path.lastIndexOf('/') + 1).contains(replacementCharacter))
        return {};
    std::promise<QByteArray> found;
    std::shared_future<QByteArray> future = found.get_future().share();
    try {
        std::thread([path](std::promise<QByteArray> found) { found.set_value(nameBeforeLoss(path)); },
                    std::move(found))
            .detach();
    } catch (const std::system_error &) {
        // No thread to look with: the name stands as dropped.
        return {};
    }
    return future;
}
