#ifndef DIGESTPROGRESS_H
#define DIGESTPROGRESS_H

#include "progressfigures.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QtGlobal>

#include <memory>

class QProgressDialog;
class QWidget;

// Keeps a window alive while a file digest runs on another thread and tells
// it the figures, some fifty times a second (see digestAside). Once the
// digest has taken longer than a short delay, a progress dialog appears and
// events are processed at each telling, so that the window stays painted,
// takes drops and close requests, and the user can cancel. The dialog is
// not modal: the toolkit would drop a window manager's close request for a
// window that a modal dialog blocks. Instead the controls that start a
// digest are disabled while it shows. Shorter digests show nothing. Under the bar, the dialog tells
// the bytes done, the speed and, for a file with a size, the time left.
class DigestProgress
{
public:
    DigestProgress(QWidget *window, const QList<QWidget *> &digestControls);
    ~DigestProgress();

    DigestProgress(const DigestProgress &) = delete;
    DigestProgress &operator=(const DigestProgress &) = delete;

    // Reports the bytes digested so far of a file of fileSize bytes (0 or
    // less when it has no size); false once the user has cancelled or the
    // window has been closed.
    bool carryOn(qint64 bytesRead, qint64 fileSize);

    // Whether a digest with a progress dialog is running over window.
    // Events reach the window during a digest only while its dialog exists,
    // so this tells a press that arrives then from a fresh one.
    static bool isRunningOver(const QWidget *window);

    // Stops the digest running over window, if any, as its cancel button does.
    static void stopRunningOver(const QWidget *window);

private:
    void showDialog(qint64 now, qint64 bytesRead, qint64 fileSize);
    void showFigures(qint64 now, qint64 bytesRead, qint64 fileSize);

    QWidget *window;
    const QList<QWidget *> digestControls;
    const bool windowWasVisible;
    QElapsedTimer clock;
    // When events were last handled and the figures last shown.
    qint64 eventsMs = 0;
    qint64 figuresMs = 0;
    TransferRate rate;
    std::unique_ptr<QProgressDialog> dialog;
    // The control that had the keyboard focus when the dialog came up.
    QPointer<QWidget> focusedControl;
};

#endif
