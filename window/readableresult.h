#ifndef READABLERESULT_H
#define READABLERESULT_H

class QTextEdit;

// Keeps the violet digest readable in resultBox on any palette, now and
// after the desktop's theme changes. On a dark palette the box takes a light
// background of its own; on a light one it keeps the palette's own colours.
void keepDigestReadable(QTextEdit *resultBox);

#endif
