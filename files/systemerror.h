#ifndef SYSTEMERROR_H
#define SYSTEMERROR_H

class QString;

// The system's own description of an error code it gave (errno on Unix,
// GetLastError() on Windows), in the user's language where it has one.
QString systemErrorText(int error);

#endif
