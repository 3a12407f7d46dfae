#ifndef LIBRARYSEARCH_H
#define LIBRARYSEARCH_H

// Keeps the program from loading a library planted in its own folder or the
// current one, such as a version.dll that an earlier download left in
// Downloads. Must run first in main, before any library is loaded by name.
// False if the system refused, in which case the program should not go on.
bool loadLibrariesFromSystemOnly();

#endif
