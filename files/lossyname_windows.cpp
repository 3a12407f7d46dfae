#include "lossyname.h"

// Windows names are text, which a URL carries whole: no drop loses one.
QByteArray nameBeforeLoss(const QByteArray &)
{
    return {};
}
