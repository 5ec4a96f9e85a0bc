// Acting in the user's own places (the profile's folders, HKEY_CURRENT_USER) with the user's own rights.
// Any program the user runs, unelevated, can change those places, for example turn a folder into a
// link to a system folder; an elevated program working there would then act with administrator
// rights on whatever the link leads to. With the user's rights the system refuses what the user alone
// could not do.
#pragma once

#include "handles.h"

// What an impersonating thread had before: its own impersonation token, or NULL when it had none. It
// goes back in its place (and is closed) when the owner lets it go.
struct ThreadTokenTraits {
    typedef HANDLE Handle;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Holds(HANDLE before) { return before != INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE before);
};

// For the life of a scope, the calling thread impersonates the restricted copy of the process's token
// (CreateUserToken); at its end the thread is as it was before. Not elevated, nothing changes.
class UserRightsScope {
public:
    UserRightsScope();
    UserRightsScope(const UserRightsScope&) = delete;
    UserRightsScope& operator=(const UserRightsScope&) = delete;

    // Whether the thread now has the user's rights and no more. False when an elevated process could
    // not take them: the caller then leaves the user's places alone rather than act there as an
    // administrator.
    bool Acting() const { return acting_; }

private:
    Owner<ThreadTokenTraits> before_;  // held while the thread impersonates
    bool acting_;
};
