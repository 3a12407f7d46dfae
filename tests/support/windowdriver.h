#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "drops.h"
#include "testfile.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>

// Works the main window as a user would, through its widgets.
namespace WindowDriver {

// What a label or message box in automatic text format shows of its text.
inline QString shownText(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument rendered;
    rendered.setHtml(text);
    return rendered.toPlainText();
}

inline QString labelText(QWidget *window)
{
    return window->findChild<QLabel *>("label")->text();
}

inline QString resultText(QWidget *window)
{
    return window->findChild<QTextEdit *>("resultTextEdit")->toPlainText();
}

inline void pressFileButton(QWidget *window)
{
    QTest::mouseClick(window->findChild<QPushButton *>("calcBtn1"), Qt::LeftButton);
}

// Puts a known digest into the result box, to see later that it stays.
inline void showTextDigest(QWidget *window, const QString &text)
{
    window->findChild<QTextEdit *>("inputTextEdit")->setPlainText(text);
    QTest::mouseClick(window->findChild<QPushButton *>("calcBtn"), Qt::LeftButton);
}

} // namespace WindowDriver

#endif
