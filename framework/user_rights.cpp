#include "user_rights.h"

#include "user_token.h"

UserRightsScope::UserRightsScope() : acting_(false)
{
    if (!ProcessIsElevated()) return;
    UniqueHandle primary;
    if (!CreateUserToken(primary)) return;
    HANDLE made = NULL;
    if (!::DuplicateToken(primary.get(), SecurityImpersonation, &made)) return;
    const UniqueHandle impersonation(made);

    HANDLE before = NULL;
    const BOOL asSelf = TRUE;  // the thread's token is read with the process's rights
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_IMPERSONATE, asSelf, &before)) before_.reset(before);
    acting_ = ::SetThreadToken(NULL, impersonation.get()) != FALSE;
}

UserRightsScope::~UserRightsScope()
{
    // NULL ends the impersonation.
    if (acting_) ::SetThreadToken(NULL, before_.valid() ? before_.get() : NULL);
}
