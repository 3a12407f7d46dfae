#ifndef DESKTOPIDENTITY_H
#define DESKTOPIDENTITY_H

// Tells the desktop which program the windows belong to: the desktop entry
// md5tool.desktop, whose name Wayland compositors take as the windows' app
// id, and the icon md5tool, which title bars and task bars show. Needs the
// application object.
void identifyToDesktop();

#endif
