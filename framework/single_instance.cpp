#include "single_instance.h"

bool SingleInstanceLock::Take(LPCSTR name)
{
    const HANDLE mutex = ::CreateMutexA(NULL, FALSE, name);
    const bool heldElsewhere = ::GetLastError() == ERROR_ALREADY_EXISTS;
    // Another holder's mutex is not kept alive from here once that holder ends.
    mutex_.reset(heldElsewhere ? NULL : mutex);
    if (heldElsewhere && mutex) ::CloseHandle(mutex);
    return !heldElsewhere;
}
