// A lock by name that one process at a time holds. A program that must not run beside another copy of
// itself, or beside a related program, takes one per name as it starts and keeps it while it runs.
#pragma once

#include <windows.h>

#include "handles.h"

class SingleInstanceLock {
public:
    SingleInstanceLock() = default;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock named `name` for the life of this object. false when another holder has it, or
    // when no lock of that name can be made (the name taken by another kind of object).
    bool Take(LPCSTR name);
    // The lock taken stays held until the process ends, whatever becomes of this object; the system
    // lets it go with the process.
    void KeepUntilProcessEnds() { mutex_.release(); }

private:
    UniqueHandle mutex_;
};
