#ifndef PROCESSENTRIES_H
#define PROCESSENTRIES_H

// How many of a kind of thing this process holds: "task" counts its threads,
// "fd" its open descriptors (on Windows, its handles). A stopped digest
// leaves none behind.
#ifdef _WIN32

#include <QByteArray>

#include <windows.h>
#include <tlhelp32.h>

inline int processEntries(const char *kind)
{
    if (QByteArray(kind) == "fd") {
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        return int(handles);
    }
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread;
    thread.dwSize = sizeof thread;
    int threads = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        threads += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return threads;
}

#else

#include <QDir>

// The entries of that folder of /proc/self.
inline int processEntries(const char *kind)
{
    return int(QDir(QLatin1String("/proc/self/") + QLatin1String(kind))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

#endif

#endif
