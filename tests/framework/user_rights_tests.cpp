// The user's own rights for an elevated program (Wine runs every program elevated).
#include <doctest.h>

#include "user_rights.h"
#include "user_token.h"

namespace {

bool ActsAsAdministrator()
{
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    BOOL member = FALSE;
    REQUIRE(::CreateWellKnownSid(WinBuiltinAdministratorsSid, NULL, administrators, &size));
    REQUIRE(::CheckTokenMembership(NULL, administrators, &member));
    return member != FALSE;
}

bool ThreadHasOwnToken()
{
    HANDLE token = NULL;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) return false;
    ::CloseHandle(token);
    return true;
}

}  // namespace

TEST_CASE("inside the user's rights the thread is no administrator and afterwards itself again")
{
    REQUIRE(ProcessIsElevated());
    REQUIRE(ActsAsAdministrator());
    {
        const UserRightsScope userRights;
        CHECK_FALSE(ActsAsAdministrator());
        {
            const UserRightsScope again;
            CHECK_FALSE(ActsAsAdministrator());
        }
        // The inner scope gives back the outer one's rights, not the process's.
        CHECK_FALSE(ActsAsAdministrator());
    }
    CHECK(ActsAsAdministrator());
    CHECK_FALSE(ThreadHasOwnToken());
}

TEST_CASE("what the user's token makes grants the user full access")
{
    UniqueHandle token;
    REQUIRE(CreateUserToken(token));
    BYTE userBuffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    BYTE daclBuffer[4096];
    DWORD size = 0;
    REQUIRE(::GetTokenInformation(token.get(), TokenUser, userBuffer, sizeof(userBuffer), &size));
    REQUIRE(::GetTokenInformation(token.get(), TokenDefaultDacl, daclBuffer, sizeof(daclBuffer), &size));
    const PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    ACL* dacl = reinterpret_cast<TOKEN_DEFAULT_DACL*>(daclBuffer)->DefaultDacl;
    REQUIRE(dacl != NULL);
    bool granted = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = NULL;
        REQUIRE(::GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        granted = granted || (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == GENERIC_ALL &&
                              ::EqualSid(&ace->SidStart, user));
    }
    CHECK(granted);
}
