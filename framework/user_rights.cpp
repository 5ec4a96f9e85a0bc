#include "user_rights.h"

#include "user_token.h"

UserRightsScope::UserRightsScope() : impersonating_(false), acting_(false)
{
    if (!ProcessIsElevated()) {
        acting_ = true;  // the process's rights are the user's own
        return;
    }
    UniqueHandle primary;
    if (!CreateUserToken(primary)) return;
    HANDLE made = NULL;
    if (!::DuplicateToken(primary.get(), SecurityImpersonation, &made)) return;
    const UniqueHandle impersonation(made);

    HANDLE before = NULL;
    const BOOL asSelf = TRUE;  // the thread's token is read with the process's rights
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_IMPERSONATE, asSelf, &before)) before_.reset(before);
    impersonating_ = acting_ = ::SetThreadToken(NULL, impersonation.get()) != FALSE;
}

UserRightsScope::~UserRightsScope()
{
    // NULL ends the impersonation.
    if (impersonating_) ::SetThreadToken(NULL, before_.valid() ? before_.get() : NULL);
}
