#ifndef READABLEBACKGROUND_H
#define READABLEBACKGROUND_H

#include <QPalette>

class QColor;
class QWidget;

// Keeps text of the given colour readable where widget shows it on the
// palette's background role, on any palette, now and after the desktop's
// theme changes. Where that role's colour is too close to the text's, as on
// a dark palette, the widget takes a white background of its own; elsewhere
// it keeps the palette's own colours.
void keepReadable(QWidget *widget, QPalette::ColorRole background, const QColor &text);

#endif
