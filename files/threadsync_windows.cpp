#include "threadsync.h"

#include <windows.h>

// A slim lock and a condition variable are each one pointer, zero when
// unused, so they live in the classes' pointers.
static_assert(sizeof(SRWLOCK) == sizeof(void *) && sizeof(CONDITION_VARIABLE) == sizeof(void *),
              "Windows' slim lock and condition variable are one pointer each");

namespace {

PSRWLOCK slimLock(void *&slim)
{
    return reinterpret_cast<PSRWLOCK>(&slim);
}

} // namespace

void Lock::lock()
{
    AcquireSRWLockExclusive(slimLock(slim));
}

void Lock::unlock()
{
    ReleaseSRWLockExclusive(slimLock(slim));
}

void Condition::notify_one()
{
    WakeConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&variable));
}

void Condition::sleep(Lock &lock, long long ms)
{
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&variable), slimLock(lock.slim),
                              ms < 0 ? INFINITE : DWORD(ms), 0);
}
