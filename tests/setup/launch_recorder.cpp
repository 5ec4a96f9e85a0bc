// Stands in for a program the setup starts (the Display control panel, the browser): appends its own
// path and its arguments to "<its path>.launches.txt", so a test can see exactly what was started, and
// how. Before that it appends to "<its path>.rights.txt" whether it runs as a member of the
// Administrators group ("administrator") or not ("user").
#include <windows.h>

#include <string>

namespace {

bool Append(const std::string& path, const std::string& text)
{
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
    ::CloseHandle(file);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH);
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    BOOL member = FALSE;
    const bool administrator = ::CreateWellKnownSid(WinBuiltinAdministratorsSid, NULL, administrators, &size) &&
                               ::CheckTokenMembership(NULL, administrators, &member) && member;
    const std::string path(self);
    return Append(path + ".rights.txt", administrator ? "administrator\n" : "user\n") &&
                   Append(path + ".launches.txt", path + "\n" + arguments + "\n")
               ? 0
               : 1;
}
