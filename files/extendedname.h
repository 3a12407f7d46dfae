#ifndef EXTENDEDNAME_H
#define EXTENDEDNAME_H

#include <string>

class QString;

// Windows only. The name under which Windows opens exactly the file that
// path (C:/folder/name or //host/share/name, with forward slashes) names,
// at any length: its \\?\ form, which lifts the limit of 260 characters (the
// manifest's long-path setting works only where the system enables it) and
// which, unlike the usual normalisation, keeps trailing dots and spaces, so
// that "name." never opens "name". Empty where the name is a device's (NUL,
// COM1.txt or CON in any folder, \\.\ or \\?\ paths), which is then never
// opened, and where path is neither a drive's nor a share's.
std::wstring extendedName(const QString &path);

#endif
