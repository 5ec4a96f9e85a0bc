#include "single_instance.h"

bool SingleInstanceLock::Take(LPCSTR name)
{
    const HANDLE mutex = ::CreateMutexA(NULL, FALSE, name);
    // No mutex at all (the name taken by another kind of object, say) guards nothing: that counts as
    // another holder, never as a lock of our own.
    const bool heldElsewhere = !mutex || ::GetLastError() == ERROR_ALREADY_EXISTS;
    // Another holder's mutex is not kept alive from here once that holder ends.
    mutex_.reset(heldElsewhere ? NULL : mutex);
    if (heldElsewhere && mutex) ::CloseHandle(mutex);
    return !heldElsewhere;
}
