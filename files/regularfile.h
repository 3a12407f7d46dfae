#ifndef REGULARFILE_H
#define REGULARFILE_H

#include <QString>

class QByteArray;
class QFile;

// What came of opening a path for digesting.
struct RegularFileOpening {
    enum Outcome { Opened, NotRegular, Failed };
    Outcome outcome;
    // The toolkit's description of the failure; empty unless Failed.
    QString errorString;
};

// Opens path read-only and unbuffered into file if it names a regular file
// (symbolic links followed). On Unix path is the name's exact bytes; where
// file names are text, it is UTF-8. Directories, FIFOs, sockets and devices are
// refused by their name, before anything opens them, and without ever
// blocking: a FIFO with no writer or an endless device would stall a reader,
// and opening some devices does something of its own.
RegularFileOpening openRegularFile(QFile &file, const QByteArray &path);

// What opening an empty name gives: the message the toolkit gives for it,
// written out here, since asking the toolkit to open an empty name would
// also print a warning on the console.
RegularFileOpening noFileNameGiven();

#endif
