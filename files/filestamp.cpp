#include "filestamp.h"

bool changedWhileRead(const FileStamp &before, const FileStamp &after, qint64 bytesRead)
{
    if (after.modifiedNs != before.modifiedNs || after.statusChangedNs != before.statusChangedNs
        || after.deleted != before.deleted || after.location != before.location)
        return true;
    // Such files, and others with no size of their own that report 0, are
    // judged by their time stamps alone.
    if (!before.sizeIsContent || (before.size == 0 && after.size == 0))
        return false;
    return after.size != before.size || bytesRead != after.size;
}
