#ifndef DROPPEDFILE_H
#define DROPPEDFILE_H

#include "localfileurl.h"

class QMimeData;

// The local file that a drop names: the first of its URLs, taken from the
// list that keeps the name's bytes when the source offers one. Both paths
// are empty when it names none.
LocalFile droppedFile(const QMimeData &data);

#endif
