#include "user_rights.h"

#include "user_token.h"

bool ThreadTokenTraits::Free(HANDLE before)
{
    const bool restored = ::SetThreadToken(NULL, before) != FALSE;  // NULL ends the impersonation
    if (before) ::CloseHandle(before);
    return restored;
}

UserRightsScope::UserRightsScope() : acting_(!ProcessIsElevated())
{
    if (acting_) return;  // the process's rights are the user's own
    UniqueHandle primary, impersonation;
    if (!CreateUserToken(primary) || !::DuplicateToken(primary.get(), SecurityImpersonation, impersonation.put())) return;

    HANDLE before = NULL;
    const BOOL asSelf = TRUE;  // the thread's token is read with the process's rights
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_IMPERSONATE, asSelf, &before)) before = NULL;
    // Put back at the end also when the impersonation does not take: the thread then keeps what it had.
    before_.reset(before);
    acting_ = ::SetThreadToken(NULL, impersonation.get()) != FALSE;
}
