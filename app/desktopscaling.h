#ifndef DESKTOPSCALING_H
#define DESKTOPSCALING_H

// Makes the window follow the desktop's scale (150 % text, say): every
// widget, font and the window itself grow by the same factor, so that the
// fixed layout stays intact. Must run before the application object exists.
void followDesktopScaling();

#endif
