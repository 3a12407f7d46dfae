#ifndef PROGRESSDIALOGWATCHER_H
#define PROGRESSDIALOGWATCHER_H

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs a step on the window's progress dialog at every tick while it shows,
// until the step says it is done. A long digest processes events once its
// dialog is up, so the ticks come while the press is still running.
class ProgressDialogWatcher : public QObject
{
public:
    using Step = std::function<bool(QProgressDialog *)>;

    ProgressDialogWatcher(QWidget *window, Step step)
    {
        connect(&poll, &QTimer::timeout, this, [this, window, step] {
            auto *dialog = window->findChild<QProgressDialog *>();
            if (!dialog || !dialog->isVisible())
                return;
            sawDialog = true;
            // A step may run event loops of its own; the timer must not
            // start the step again inside them.
            poll.stop();
            if (!step(dialog))
                poll.start();
        });
        poll.start(10);
    }

    bool sawDialog = false;

private:
    QTimer poll;
};

#endif
