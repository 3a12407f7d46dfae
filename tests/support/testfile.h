#ifndef TESTFILE_H
#define TESTFILE_H

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QUrl>

#ifdef Q_OS_WIN
#include <QDir>

#include <string>

#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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

// Writes the file at path. Returns whether all of it was written.
inline bool writeTestFile(const QString &path, const QByteArray &contents)
{
    return writeNamedFile(nativeName(path), contents);
}

// The digest that every test holds the program's against: the toolkit's.
inline QString md5Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

#endif
