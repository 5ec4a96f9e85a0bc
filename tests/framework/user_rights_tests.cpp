// The user's own rights for an elevated program (Wine runs every program elevated).
#include <doctest.h>

#include <sddl.h>

#include <initializer_list>

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

}  // namespace

TEST_CASE("inside the user's rights the thread is no administrator and afterwards itself again")
{
    REQUIRE(ActsAsAdministrator());
    {
        const UserRightsScope userRights;
        CHECK(userRights.Acting());
        CHECK_FALSE(ActsAsAdministrator());
        { const UserRightsScope again; }
        CHECK_FALSE(ActsAsAdministrator());  // the inner scope gives back the outer one's rights
    }
    CHECK(ActsAsAdministrator());
    HANDLE token = NULL;
    CHECK_FALSE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
}

TEST_CASE("what the user's token makes grants the user full access")
{
    UniqueHandle token;
    REQUIRE(CreateUserToken(token));
    BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    BYTE dacl[4096];
    DWORD size = 0;
    REQUIRE(::GetTokenInformation(token.get(), TokenUser, user, sizeof(user), &size));
    REQUIRE(::GetTokenInformation(token.get(), TokenDefaultDacl, dacl, sizeof(dacl), &size));
    ACL* acl = reinterpret_cast<TOKEN_DEFAULT_DACL*>(dacl)->DefaultDacl;
    bool granted = false;
    for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = NULL;
        REQUIRE(::GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        granted = granted || (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == GENERIC_ALL &&
                              ::EqualSid(&ace->SidStart, reinterpret_cast<TOKEN_USER*>(user)->User.Sid));
    }
    CHECK(granted);
}

TEST_CASE("the user's token keeps the ordinary groups and only ever denies through the administrative ones")
{
    const auto administrative = [](const char* text) {
        PSID sid = NULL;
        REQUIRE(::ConvertStringSidToSidA(text, &sid));
        const bool found = IsAdministrativeGroup(sid);
        ::LocalFree(sid);
        return found;
    };
    for (const char* sid : {"S-1-5-32-544", "S-1-5-32-547", "S-1-5-32-551", "S-1-5-32-556", "S-1-5-114", "S-1-5-21-1-2-3-512",
                            "S-1-5-21-1-2-3-519"})
        CHECK_MESSAGE(administrative(sid), sid);
    for (const char* sid : {"S-1-5-32-545", "S-1-5-21-1-2-3-513", "S-1-5-21-1-2-3-1001", "S-1-1-0", "S-1-5-11", "S-1-16-12288"})
        CHECK_MESSAGE(!administrative(sid), sid);
}
