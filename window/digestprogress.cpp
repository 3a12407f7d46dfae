#include "digestprogress.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QRect>
#include <QString>
#include <QWidget>

namespace {

// Long enough that everyday files show no dialog at all.
constexpr qint64 dialogDelayMs = 500;

// Events are handled often enough that the window follows the user
// smoothly. New figures repaint the bar and its text at once, which costs
// as much as digesting a chunk, so they change a few times a second only.
constexpr qint64 eventsIntervalMs = 20;
constexpr qint64 figuresIntervalMs = 100;

const char dialogObjectName[] = "fileDigestProgress";

QString labelText(qint64 bytesRead, qint64 fileSize, std::optional<double> bytesPerSecond)
{
    return QString::fromUtf8("正在计算文件的MD5值…\n")
        + progressFiguresText(bytesRead, fileSize, bytesPerSecond, QLocale());
}

// The widest figures, of digits that are as wide as any: the bytes done of
// a file, then the slowest speed with the longest time left that the dialog
// ever shows.
int widestLabelWidth(const QFontMetrics &metrics)
{
    const double sampleSize = 88.8e6;
    const double sampleSecondsLeft = 888 * 3600 + 58 * 60;
    int widest = 0;
    for (const QString &text : {labelText(qint64(sampleSize), qint64(sampleSize), sampleSize),
                                labelText(0, qint64(sampleSize * sampleSecondsLeft), sampleSize)})
        widest = qMax(widest, metrics.boundingRect(QRect(), Qt::AlignLeft, text).width());
    return widest;
}

// The dialog sits over the window's drop frame, so a file dropped on it is
// meant for the window. The window's drag handlers are slots, reached here by
// name: an event sent on would go back to the dialog, which the toolkit
// holds to be the drop's target.
class ProgressDialog : public QProgressDialog
{
public:
    explicit ProgressDialog(QWidget *window)
        : QProgressDialog(QString(), QString::fromUtf8("取消"), 0, 100, window)
    {
        setAcceptDrops(true);
        // Left-aligned and as wide as the widest figures from the start, so
        // that neither the lines nor the dialog move as the figures change.
        auto *figures = new QLabel(this);
        figures->setMinimumWidth(widestLabelWidth(figures->fontMetrics()));
        setLabel(figures);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        QMetaObject::invokeMethod(parentWidget(), "dragEnterEvent", Qt::DirectConnection,
                                  Q_ARG(QDragEnterEvent *, event));
    }
    void dropEvent(QDropEvent *event) override
    {
        QMetaObject::invokeMethod(parentWidget(), "dropEvent", Qt::DirectConnection, Q_ARG(QDropEvent *, event));
    }
};

QProgressDialog *runningDialog(const QWidget *window)
{
    return window->findChild<QProgressDialog *>(QLatin1String(dialogObjectName), Qt::FindDirectChildrenOnly);
}

} // namespace

DigestProgress::DigestProgress(QWidget *window, const QList<QWidget *> &digestControls)
    : window(window)
    , digestControls(digestControls)
    , windowWasVisible(window->isVisible())
{
    clock.start();
}

DigestProgress::~DigestProgress()
{
    if (!dialog)
        return;
    for (QWidget *control : digestControls)
        control->setEnabled(true);
    // Back to the control the digest was started from, unless the user has
    // put the focus somewhere meanwhile.
    if (focusedControl && !window->focusWidget())
        focusedControl->setFocus(Qt::OtherFocusReason);
}

bool DigestProgress::carryOn(qint64 bytesRead, qint64 fileSize)
{
    const qint64 now = clock.elapsed();
    if (!dialog) {
        if (now < dialogDelayMs)
            return true;
        showDialog(now, bytesRead, fileSize);
    } else if (now - eventsMs < eventsIntervalMs) {
        return true;
    } else if (now - figuresMs >= figuresIntervalMs) {
        showFigures(now, bytesRead, fileSize);
    }
    eventsMs = now;
    QCoreApplication::processEvents();
    if (windowWasVisible && !window->isVisible())
        return false;
    return !dialog->wasCanceled();
}

bool DigestProgress::isRunningOver(const QWidget *window)
{
    return runningDialog(window) != nullptr;
}

void DigestProgress::stopRunningOver(const QWidget *window)
{
    if (QProgressDialog *dialog = runningDialog(window))
        dialog->cancel();
}

void DigestProgress::showDialog(qint64 now, qint64 bytesRead, qint64 fileSize)
{
    dialog.reset(new ProgressDialog(window));
    dialog->setObjectName(QLatin1String(dialogObjectName));
    dialog->setWindowTitle(window->windowTitle());
    // The dialog is shown and closed here, not by its own timing.
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // A file without a size of its own (some special files report 0) gets a
    // busy indicator instead of a share.
    if (fileSize <= 0)
        dialog->setRange(0, 0);
    // Disabling the focused control would hand the focus on down the chain,
    // to the input box, where keys meant for the button would become text.
    QWidget *focused = window->focusWidget();
    if (digestControls.contains(focused)) {
        focusedControl = focused;
        focused->clearFocus();
    }
    for (QWidget *control : digestControls)
        control->setEnabled(false);
    // Shown with its figures, so that it comes up at the size it keeps.
    showFigures(now, bytesRead, fileSize);
    dialog->show();
}

void DigestProgress::showFigures(qint64 now, qint64 bytesRead, qint64 fileSize)
{
    figuresMs = now;
    rate.add(now, bytesRead);
    // A file that grows while it is read must not run the bar past its end.
    if (fileSize > 0)
        dialog->setValue(int(qMin<qint64>(100, bytesRead * 100 / fileSize)));
    dialog->setLabelText(labelText(bytesRead, fileSize, rate.bytesPerSecond()));
}
