#include "regularfile.h"

RegularFileOpening noFileNameGiven()
{
    return {RegularFileOpening::Failed, QStringLiteral("No file name specified")};
}
