// A helper for the screen-saver tests, run under Wine:
//   saver_helper parent SECONDS   makes a window, prints "hwnd N", then every change of its child
//                                 windows as "child HWND x y w h visible", reads "resize W H" and
//                                 "quit" from stdin; destroys the window on "quit" or after SECONDS.
//   saver_helper displaychange W H
//                                 tells every top-level window that the display changed, as Windows
//                                 does after a monitor came, went or changed its resolution.
//   saver_helper syscommand TITLE CODE LPARAM [CODE LPARAM ...]
//                                 sends the window titled TITLE each WM_SYSCOMMAND in turn.
//   saver_helper owner TITLE SECONDS
//                                 waits for a window titled TITLE, prints "owner N" (0: none) and
//                                 closes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const UINT kResize = WM_APP + 1;
const UINT kQuit = WM_APP + 2;

DWORD WINAPI ReadCommands(void* window)
{
    char line[128];
    HWND hwnd = static_cast<HWND>(window);
    while (std::fgets(line, sizeof(line), stdin)) {
        int w = 0, h = 0;
        if (std::sscanf(line, "resize %d %d", &w, &h) == 2) ::PostMessageA(hwnd, kResize, w, h);
        if (std::strncmp(line, "quit", 4) == 0) break;
    }
    ::PostMessageA(hwnd, kQuit, 0, 0);
    return 0;
}

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kResize: {
        RECT frame = {0, 0, static_cast<LONG>(wParam), static_cast<LONG>(lParam)};
        ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        ::SetWindowPos(window, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        return 0;
    }
    case kQuit:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK ListChild(HWND child, LPARAM list)
{
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(NULL, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    char line[160];
    std::snprintf(line, sizeof(line), "child %llu %ld %ld %ld %ld %d", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)),
                  r.left, r.top, r.right - r.left, r.bottom - r.top, ::IsWindowVisible(child) ? 1 : 0);
    reinterpret_cast<std::string*>(list)->append(line).append("\n");
    return TRUE;
}

int RunParent(int seconds)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProcedure;
    windowClass.hInstance = ::GetModuleHandleA(NULL);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "MarigoldPreviewParent";
    ::RegisterClassA(&windowClass);
    RECT frame = {0, 0, 152, 112};  // the size of the Display control panel's little monitor
    ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, "Marigold preview parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    20, 20, frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                                    windowClass.hInstance, NULL);
    if (!window) return 1;
    std::printf("hwnd %llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);
    ::CloseHandle(::CreateThread(NULL, 0, ReadCommands, window, 0, NULL));
    ::SetTimer(window, 1, 100, NULL);
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    std::string last;
    MSG message;
    while (::GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            std::string now;
            ::EnumChildWindows(window, ListChild, reinterpret_cast<LPARAM>(&now));
            if (now != last) {
                std::printf("%s", now.empty() ? "children none\n" : now.c_str());
                std::fflush(stdout);
                last = now;
            }
            if (static_cast<LONG>(::GetTickCount() - end) > 0) ::DestroyWindow(window);
            continue;
        }
        ::DispatchMessageA(&message);
    }
    std::printf("destroyed\n");
    std::fflush(stdout);
    return 0;
}

}  // namespace

int BroadcastDisplayChange(int width, int height)
{
    DWORD_PTR ignored = 0;
    const LRESULT sent = ::SendMessageTimeoutA(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height),
                                               SMTO_ABORTIFHUNG, 10000, &ignored);
    std::printf("displaychange %s\n", sent ? "sent" : "failed");
    return sent ? 0 : 1;
}

int SendSystemCommands(const char* title, int count, char** pairs)
{
    HWND window = ::FindWindowA(NULL, title);
    for (int i = 0; window && i + 1 < count; i += 2)
        ::SendMessageA(window, WM_SYSCOMMAND, std::strtoul(pairs[i], nullptr, 0), std::strtol(pairs[i + 1], nullptr, 0));
    std::printf("syscommand %s\n", window ? "sent" : "failed");
    return window ? 0 : 1;
}

int ReportOwner(const char* title, int seconds)
{
    HWND window = NULL;
    for (int waited = 0; !(window = ::FindWindowA(NULL, title)) && waited < seconds * 10; ++waited) ::Sleep(100);
    if (!window) {
        std::printf("no window\n");
        return 1;
    }
    std::printf("owner %llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(::GetWindow(window, GW_OWNER))));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "parent") == 0) return RunParent(argc >= 3 ? std::atoi(argv[2]) : 30);
    if (argc >= 4 && std::strcmp(argv[1], "displaychange") == 0)
        return BroadcastDisplayChange(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc >= 5 && std::strcmp(argv[1], "syscommand") == 0) return SendSystemCommands(argv[2], argc - 3, argv + 3);
    if (argc >= 4 && std::strcmp(argv[1], "owner") == 0) return ReportOwner(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: saver_helper parent SECONDS | displaychange W H | syscommand TITLE CODE LPARAM... | "
                         "owner TITLE SECONDS\n");
    return 2;
}
