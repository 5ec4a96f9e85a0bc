/* A planted version.dll: the kind of file anyone may drop into a download folder beside a setup.
   Every call is written to planted-version.log beside this DLL with the module that made it, and
   fails, so a setup that took its version functions from here could neither read nor compare. */
#include <windows.h>

#if defined(_MSC_VER)
#include <intrin.h>
#define CALLER_ADDRESS() _ReturnAddress()
#else
#define CALLER_ADDRESS() __builtin_return_address(0)
#endif

static HMODULE g_self;

static void ModuleName(HMODULE module, char* name, DWORD size)
{
    char path[MAX_PATH];
    const char* base = path;
    const char* p;
    if (!module || !GetModuleFileNameA(module, path, MAX_PATH)) lstrcpynA(path, "?", MAX_PATH);
    for (p = path; *p; ++p)
        if (*p == '\\' || *p == '/') base = p + 1;
    lstrcpynA(name, base, (int)size);
}

static void Record(const char* what, HMODULE who)
{
    char path[MAX_PATH];
    char line[2 * MAX_PATH];
    char name[MAX_PATH];
    char* slash = NULL;
    char* p;
    HANDLE file;
    DWORD written;
    if (!GetModuleFileNameA(g_self, path, MAX_PATH)) return;
    for (p = path; *p; ++p)
        if (*p == '\\') slash = p;
    if (!slash || (size_t)(slash - path) + sizeof("\\planted-version.log") > MAX_PATH) return;
    lstrcpyA(slash, "\\planted-version.log");
    ModuleName(who, name, sizeof(name));
    /* Kernel32 only: user32 itself imports version.dll. */
    lstrcpyA(line, what);
    lstrcatA(line, " ");
    lstrcatA(line, name);
    lstrcatA(line, "\r\n");
    file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, line, lstrlenA(line), &written, NULL);
    CloseHandle(file);
}

static void RecordCall(const char* function, void* returnAddress)
{
    HMODULE caller = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)returnAddress, &caller);
    Record(function, caller);
    SetLastError(ERROR_ACCESS_DENIED);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        Record("loaded-into", GetModuleHandleA(NULL));
    }
    return TRUE;
}

#define PLANTED(name) RecordCall(#name, CALLER_ADDRESS())

BOOL WINAPI Planted_GetFileVersionInfoA(LPCSTR f, DWORD h, DWORD n, LPVOID d) { (void)f; (void)h; (void)n; (void)d; PLANTED(GetFileVersionInfoA); return FALSE; }
BOOL WINAPI Planted_GetFileVersionInfoW(LPCWSTR f, DWORD h, DWORD n, LPVOID d) { (void)f; (void)h; (void)n; (void)d; PLANTED(GetFileVersionInfoW); return FALSE; }
BOOL WINAPI Planted_GetFileVersionInfoExA(DWORD x, LPCSTR f, DWORD h, DWORD n, LPVOID d) { (void)x; (void)f; (void)h; (void)n; (void)d; PLANTED(GetFileVersionInfoExA); return FALSE; }
BOOL WINAPI Planted_GetFileVersionInfoExW(DWORD x, LPCWSTR f, DWORD h, DWORD n, LPVOID d) { (void)x; (void)f; (void)h; (void)n; (void)d; PLANTED(GetFileVersionInfoExW); return FALSE; }
DWORD WINAPI Planted_GetFileVersionInfoSizeA(LPCSTR f, LPDWORD h) { (void)f; (void)h; PLANTED(GetFileVersionInfoSizeA); return 0; }
DWORD WINAPI Planted_GetFileVersionInfoSizeW(LPCWSTR f, LPDWORD h) { (void)f; (void)h; PLANTED(GetFileVersionInfoSizeW); return 0; }
DWORD WINAPI Planted_GetFileVersionInfoSizeExA(DWORD x, LPCSTR f, LPDWORD h) { (void)x; (void)f; (void)h; PLANTED(GetFileVersionInfoSizeExA); return 0; }
DWORD WINAPI Planted_GetFileVersionInfoSizeExW(DWORD x, LPCWSTR f, LPDWORD h) { (void)x; (void)f; (void)h; PLANTED(GetFileVersionInfoSizeExW); return 0; }
DWORD WINAPI Planted_VerFindFileA(DWORD a, LPCSTR b, LPCSTR c, LPCSTR d, LPSTR e, PUINT f, LPSTR g, PUINT h) { (void)a; (void)b; (void)c; (void)d; (void)e; (void)f; (void)g; (void)h; PLANTED(VerFindFileA); return 0; }
DWORD WINAPI Planted_VerFindFileW(DWORD a, LPCWSTR b, LPCWSTR c, LPCWSTR d, LPWSTR e, PUINT f, LPWSTR g, PUINT h) { (void)a; (void)b; (void)c; (void)d; (void)e; (void)f; (void)g; (void)h; PLANTED(VerFindFileW); return 0; }
DWORD WINAPI Planted_VerInstallFileA(DWORD a, LPCSTR b, LPCSTR c, LPCSTR d, LPCSTR e, LPCSTR f, LPSTR g, PUINT h) { (void)a; (void)b; (void)c; (void)d; (void)e; (void)f; (void)g; (void)h; PLANTED(VerInstallFileA); return 0; }
DWORD WINAPI Planted_VerInstallFileW(DWORD a, LPCWSTR b, LPCWSTR c, LPCWSTR d, LPCWSTR e, LPCWSTR f, LPWSTR g, PUINT h) { (void)a; (void)b; (void)c; (void)d; (void)e; (void)f; (void)g; (void)h; PLANTED(VerInstallFileW); return 0; }
DWORD WINAPI Planted_VerLanguageNameA(DWORD a, LPSTR b, DWORD c) { (void)a; (void)b; (void)c; PLANTED(VerLanguageNameA); return 0; }
DWORD WINAPI Planted_VerLanguageNameW(DWORD a, LPWSTR b, DWORD c) { (void)a; (void)b; (void)c; PLANTED(VerLanguageNameW); return 0; }
BOOL WINAPI Planted_VerQueryValueA(LPCVOID b, LPCSTR s, LPVOID* v, PUINT n) { (void)b; (void)s; (void)v; (void)n; PLANTED(VerQueryValueA); return FALSE; }
BOOL WINAPI Planted_VerQueryValueW(LPCVOID b, LPCWSTR s, LPVOID* v, PUINT n) { (void)b; (void)s; (void)v; (void)n; PLANTED(VerQueryValueW); return FALSE; }
