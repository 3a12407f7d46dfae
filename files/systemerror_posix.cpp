#include "systemerror.h"

#include <QString>

QString systemErrorText(int error)
{
    return qt_error_string(error);
}
