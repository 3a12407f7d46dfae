#include "librarysearch.h"

#include <windows.h>

// The DLLs that md5tool.exe imports and that are not KnownDLLs are
// delay-loaded (cmake/windows-delayload.cmake): each is loaded by name at its
// first call, which comes after this, so the search covers the system folder
// alone. Imported, not looked up: Windows 7 SP1 has the function from
// KB2533623 on, which every later update requires, and a Windows without it
// refuses to start the program rather than run it unprotected.
bool loadLibrariesFromSystemOnly()
{
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
