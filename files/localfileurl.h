#ifndef LOCALFILEURL_H
#define LOCALFILEURL_H

#include <QByteArray>
#include <QString>

class QUrl;

// A file named by a dropped URL, in the two forms the window needs.
struct LocalFile {
    // What the window shows. On Unix, a name that is not UTF-8 shows each
    // byte that is not part of a UTF-8 character as \xNN.
    QString path;
    // What is opened: on Unix the exact bytes of the name, which need not be
    // UTF-8; where file names are text, the shown path as UTF-8.
    QByteArray nativePath;
};

// The file that url names on this machine. Both paths are empty when it
// names none: another scheme, a name no file can have, a relative name, or,
// on Unix, another machine's file (on Windows that is a file on a share).
LocalFile localFile(const QUrl &url);

// The file of exactly these bytes.
LocalFile localFileNamed(const QByteArray &nativePath);

#endif
