// The user's own rights, for an elevated program: a restricted copy of the process's token that can do
// only what an unelevated program of the same user could.
#pragma once

#include <windows.h>

#include "handles.h"

// Whether this process runs elevated; false when its token cannot be read.
bool ProcessIsElevated();

// Whether `group` gives administrative rights: the machine's Administrators and operator groups, a
// domain's administrator and controller groups, and "local account and member of Administrators".
bool IsAdministrativeGroup(PSID group);

// A primary token made from this process's own: every administrative group only ever denies, every
// privilege but bypassing traverse checking is gone, medium integrity. What is made with it belongs to
// the user and grants the user full access, not the Administrators group as an elevated token's
// objects do. false (and `token` untouched) when it cannot be made.
bool CreateUserToken(UniqueHandle& token);
