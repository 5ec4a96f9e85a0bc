// Stands in for a program the setup starts (the Display control panel, the browser): appends its own
// path and its arguments to "<its path>.launches.txt", so a test can see exactly what was started, and
// how.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH);
    const std::string path(self), text = path + "\n" + arguments + "\n";
    HANDLE file = ::CreateFileA((path + ".launches.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
    ::CloseHandle(file);
    return 0;
}
