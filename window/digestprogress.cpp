#include "digestprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

namespace {

// Long enough that everyday files show no dialog at all.
constexpr qint64 dialogDelayMs = 500;

const char dialogObjectName[] = "fileDigestProgress";

} // namespace

DigestProgress::DigestProgress(QWidget *window, qint64 fileSize, const QList<QWidget *> &digestControls)
    : window(window)
    , fileSize(fileSize)
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
}

bool DigestProgress::carryOn(qint64 bytesRead)
{
    if (!dialog) {
        if (clock.elapsed() < dialogDelayMs)
            return true;
        showDialog();
    }
    showShare(bytesRead);
    QCoreApplication::processEvents();
    if (windowWasVisible && !window->isVisible())
        return false;
    return !dialog->wasCanceled();
}

bool DigestProgress::isRunningOver(const QWidget *window)
{
    return window->findChild<QProgressDialog *>(QLatin1String(dialogObjectName),
                                                Qt::FindDirectChildrenOnly)
        != nullptr;
}

void DigestProgress::showDialog()
{
    dialog.reset(new QProgressDialog(QString::fromUtf8("正在计算文件的MD5值…"),
                                     QString::fromUtf8("取消"), 0, 100, window));
    dialog->setObjectName(QLatin1String(dialogObjectName));
    // The dialog is shown and closed here, not by its own timing.
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // A file without a size of its own (some special files report 0) gets a
    // busy indicator instead of a share.
    if (fileSize <= 0)
        dialog->setRange(0, 0);
    for (QWidget *control : digestControls)
        control->setEnabled(false);
    dialog->show();
}

void DigestProgress::showShare(qint64 bytesRead)
{
    if (fileSize <= 0)
        return;
    // A file that grows while it is read must not run the bar past its end.
    // The dialog repaints only when the share changes.
    dialog->setValue(int(qMin<qint64>(100, bytesRead * 100 / fileSize)));
}
