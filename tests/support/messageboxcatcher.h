#ifndef MESSAGEBOXCATCHER_H
#define MESSAGEBOXCATCHER_H

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Closes the next modal message box as soon as it shows, noting what it
// said; the box's own event loop would otherwise wait for a user.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            seen = true;
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            icon = box->icon();
            parent = box->parentWidget();
            box->reject();
        });
        poll.start(10);
    }

    bool seen = false;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget *parent = nullptr;

private:
    QTimer poll;
};

#endif
