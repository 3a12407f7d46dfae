#include "librarysearch.h"

// The dynamic loader searches the program's folder only where the program
// asks for it with an $ORIGIN run path, which this one never does.
bool loadLibrariesFromSystemOnly()
{
    return true;
}
