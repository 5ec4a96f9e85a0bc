// Stands in for a program the setup starts (the Display control panel, the browser): appends its own
// path and its arguments to "<its path>.launches.txt", so a test can see exactly what was started, and
// how. Before that it appends to "<its path>.rights.txt" whether it runs as a member of the
// Administrators group ("administrator" or "user").
#include <windows.h>

#include <cstring>

namespace {

bool Append(const char* self, const char* suffix, const char* const* lines, int count)
{
    char record[MAX_PATH] = "";
    std::strcpy(record, self);
    std::strcat(record, suffix);
    HANDLE file = ::CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    for (int i = 0; i < count; ++i) {
        ::WriteFile(file, lines[i], static_cast<DWORD>(std::strlen(lines[i])), &written, NULL);
        ::WriteFile(file, "\n", 1, &written, NULL);
    }
    ::CloseHandle(file);
    return true;
}

bool RunsAsAdministrator()
{
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    BOOL member = FALSE;
    return ::CreateWellKnownSid(WinBuiltinAdministratorsSid, NULL, administrators, &size) &&
           ::CheckTokenMembership(NULL, administrators, &member) && member;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH - 16);
    const char* rights[] = {RunsAsAdministrator() ? "administrator" : "user"};
    const char* launch[] = {self, arguments};
    return Append(self, ".rights.txt", rights, 1) && Append(self, ".launches.txt", launch, 2) ? 0 : 1;
}
