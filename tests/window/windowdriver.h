#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QDir>

#include <string>

#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// Works the main window as a user would, through its widgets and the events
// that the toolkit delivers for a drag from another application.
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

#ifdef Q_OS_WIN
// Writes a file under the name whose UTF-8 bytes are given, exactly: names are
// text on Windows, and the \\?\ form keeps trailing dots and spaces. Returns
// whether all of it was written.
inline bool writeNamedFile(const QByteArray &nativePath, const QByteArray &contents)
{
    const std::wstring name = L"\\\\?\\" + QDir::toNativeSeparators(QString::fromUtf8(nativePath)).toStdWString();
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool wrote = file != INVALID_HANDLE_VALUE
        && WriteFile(file, contents.constData(), DWORD(contents.size()), &written, nullptr);
    return CloseHandle(file) && wrote && written == DWORD(contents.size());
}
#else
// Writes a file under a name of any bytes, which the toolkit would take as
// text. Returns whether all of it was written.
inline bool writeNamedFile(const QByteArray &nativePath, const QByteArray &contents)
{
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, contents.constData(), size_t(contents.size())) == ssize_t(contents.size());
    return ::close(fd) == 0 && written;
}
#endif

// The bytes that name the file at path: on Windows its UTF-8.
inline QByteArray nativeName(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

// The URL a file manager sends for a name of any bytes, UTF-8 or not. On
// Windows a path starts with its drive, C:/, or a share's host, //host/.
inline QUrl fileUrl(const QByteArray &nativePath)
{
    if (nativePath.startsWith("//"))
        return QUrl::fromEncoded("file:" + nativePath.toPercentEncoding("/"));
    if (nativePath.startsWith('/'))
        return QUrl::fromEncoded("file://" + nativePath.toPercentEncoding("/"));
    return QUrl::fromEncoded("file:///" + nativePath.toPercentEncoding("/:"));
}

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

inline QString md5Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

} // namespace WindowDriver

#endif
