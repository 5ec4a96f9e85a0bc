#include "user_token.h"

#include <cstring>

#include "heap.h"

namespace {

// What GetTokenInformation gives for `kind`.
bool QueryToken(HANDLE token, TOKEN_INFORMATION_CLASS kind, HeapBlock& buffer)
{
    DWORD size = 0;
    ::GetTokenInformation(token, kind, NULL, 0, &size);
    if (size == 0) return false;
    buffer.reset(size);
    return buffer && ::GetTokenInformation(token, kind, buffer.get(), size, &size);
}

bool GrantsFullAccess(const ACL* dacl, PSID user)
{
    if (!dacl) return true;  // no default DACL: what is made carries none, and anyone may use it
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = NULL;
        if (!::GetAce(const_cast<ACL*>(dacl), i, &ace)) return false;
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (allowed->Mask & GENERIC_ALL) &&
            ::EqualSid(const_cast<DWORD*>(&allowed->SidStart), user))
            return true;
    }
    return false;
}

// An elevated token's default DACL grants the Administrators group and the system, not the user, who
// could then not change what the copy makes where nothing is inherited from the folder or key.
bool GrantUserFullAccessByDefault(HANDLE token, PSID user)
{
    HeapBlock current(0);
    if (!QueryToken(token, TokenDefaultDacl, current)) return false;
    const ACL* dacl = static_cast<TOKEN_DEFAULT_DACL*>(current.get())->DefaultDacl;
    if (GrantsFullAccess(dacl, user)) return true;

    DWORD acesSize = 0;
    void* firstAce = NULL;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = NULL;
        if (!::GetAce(const_cast<ACL*>(dacl), i, &ace)) return false;
        if (i == 0) firstAce = ace;
        acesSize += static_cast<ACE_HEADER*>(ace)->AceSize;
    }
    const DWORD size = sizeof(ACL) + acesSize + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(user);
    HeapBlock grown(size);
    ACL* granted = static_cast<ACL*>(grown.get());
    if (!granted || !::InitializeAcl(granted, size, dacl->AclRevision)) return false;
    if (firstAce && !::AddAce(granted, dacl->AclRevision, MAXDWORD, firstAce, acesSize)) return false;
    if (!::AddAccessAllowedAce(granted, ACL_REVISION, GENERIC_ALL, user)) return false;
    TOKEN_DEFAULT_DACL changed = {granted};
    return ::SetTokenInformation(token, TokenDefaultDacl, &changed, sizeof(changed)) != FALSE;
}

template <size_t N>
bool Among(DWORD value, const DWORD (&list)[N])
{
    for (DWORD item : list)
        if (item == value) return true;
    return false;
}

bool LowerToMediumIntegrity(HANDLE token)
{
    SID medium = {SID_REVISION, 1, SECURITY_MANDATORY_LABEL_AUTHORITY, {SECURITY_MANDATORY_MEDIUM_RID}};
    TOKEN_MANDATORY_LABEL label = {{&medium, SE_GROUP_INTEGRITY}};
    return ::SetTokenInformation(token, TokenIntegrityLevel, &label, sizeof(label) + ::GetLengthSid(&medium)) != FALSE;
}

}  // namespace

bool IsAdministrativeGroup(PSID group)
{
    if (!group || !::IsValidSid(group)) return false;
    const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (::memcmp(::GetSidIdentifierAuthority(group), &nt, sizeof(nt)) != 0) return false;
    const DWORD count = *::GetSidSubAuthorityCount(group);
    if (count == 0) return false;
    const DWORD first = *::GetSidSubAuthority(group, 0);
    const DWORD last = *::GetSidSubAuthority(group, count - 1);
    // "Local account and member of Administrators group".
    if (count == 1) return first == 114;
    // The machine's own groups (BUILTIN): Administrators, Power Users, Account, Server and Print
    // Operators, Backup Operators, Pre-Windows 2000 Compatible Access, Network Configuration and
    // Cryptographic Operators.
    static const DWORD kBuiltin[] = {544, 547, 548, 549, 550, 551, 554, 556, 569};
    if (count == 2 && first == SECURITY_BUILTIN_DOMAIN_RID)
        return Among(last, kBuiltin);
    // A domain's: Enterprise Read-only Domain Controllers, Domain Admins, Domain Controllers, Cert
    // Publishers, Schema and Enterprise Admins, Group Policy Creator Owners, Read-only Domain
    // Controllers, RAS and IAS Servers.
    static const DWORD kDomain[] = {498, 512, 516, 517, 518, 519, 520, 521, 553};
    if (count == 5 && first == SECURITY_NT_NON_UNIQUE)
        return Among(last, kDomain);
    return false;
}

bool ProcessIsElevated()
{
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation;
    elevation.TokenIsElevated = 0;
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size) && elevation.TokenIsElevated;
}

bool CreateUserToken(UniqueHandle& token)
{
    UniqueHandle process;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ADJUST_DEFAULT | TOKEN_ASSIGN_PRIMARY,
                            process.put()))
        return false;

    // Every group that gives administrative rights only ever denies, as in the token Windows itself
    // gives an administrator who has not confirmed the prompt.
    HeapBlock groups(0);
    if (!QueryToken(process.get(), TokenGroups, groups)) return false;
    const TOKEN_GROUPS* all = static_cast<const TOKEN_GROUPS*>(groups.get());
    HeapArray<SID_AND_ATTRIBUTES> denyOnly;
    for (DWORD i = 0; i < all->GroupCount; ++i) {
        if (!IsAdministrativeGroup(all->Groups[i].Sid)) continue;
        const SID_AND_ATTRIBUTES group = {all->Groups[i].Sid, 0};
        if (!denyOnly.push(group)) return false;
    }
    UniqueHandle restricted;
    if (!::CreateRestrictedToken(process.get(), DISABLE_MAX_PRIVILEGE, static_cast<DWORD>(denyOnly.size()),
                                 denyOnly.data(), 0, NULL, 0, NULL, restricted.put()))
        return false;

    HeapBlock user(0);
    if (!QueryToken(restricted.get(), TokenUser, user)) return false;
    PSID userSid = static_cast<TOKEN_USER*>(user.get())->User.Sid;
    // An elevated token's objects belong to the Administrators group, which only denies in the copy.
    // Where the system does not let the owner be changed (Wine), they keep that owner, as everything
    // the elevated program made without the copy would.
    TOKEN_OWNER owner = {userSid};
    ::SetTokenInformation(restricted.get(), TokenOwner, &owner, sizeof(owner));
    if (!GrantUserFullAccessByDefault(restricted.get(), userSid) || !LowerToMediumIntegrity(restricted.get())) return false;

    token.reset(restricted.release());
    return true;
}
