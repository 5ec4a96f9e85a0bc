// Stands in for a program the setup starts (the Display control panel): appends its own path and its
// arguments to "<its path>.launches.txt", so a test can see exactly what was started, and how.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, self, MAX_PATH - 16);
    char record[MAX_PATH] = "";
    std::strcpy(record, self);
    std::strcat(record, ".launches.txt");

    HANDLE file = ::CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, self, static_cast<DWORD>(std::strlen(self)), &written, NULL);
    ::WriteFile(file, "\n", 1, &written, NULL);
    ::WriteFile(file, arguments, static_cast<DWORD>(std::strlen(arguments)), &written, NULL);
    ::WriteFile(file, "\n", 1, &written, NULL);
    ::CloseHandle(file);
    return 0;
}
