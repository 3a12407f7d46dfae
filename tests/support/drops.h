#ifndef DROPS_H
#define DROPS_H

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

// Drops on the main window, with the events that the toolkit delivers for a
// drag from another application.
namespace WindowDriver {

constexpr Qt::DropActions offeredActions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

// Returns the action as which the window took the drag, or IgnoreAction if
// it refused it. Holding Shift proposes a move.
inline Qt::DropAction dragEnter(QWidget *window, const QMimeData &data, Qt::DropActions actions = offeredActions,
                                Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QDragEnterEvent event(window->rect().center(), actions, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(window, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

// Returns the action that the drag's source is told was done.
inline Qt::DropAction drop(QWidget *window, const QMimeData &data, Qt::DropActions actions = offeredActions,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QDropEvent event(window->rect().center(), actions, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(window, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

inline void dropUrls(QWidget *window, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    if (dragEnter(window, data) == Qt::CopyAction)
        drop(window, data);
}

inline void dropFile(QWidget *window, const QString &path)
{
    dropUrls(window, {QUrl::fromLocalFile(path)});
}

} // namespace WindowDriver

#endif
