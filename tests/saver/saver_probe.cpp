#include "saver_probe.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display_power.h"
#include "show.h"

namespace {

std::string g_folder;
size_t g_bufferLimit = 0;
unsigned long long g_every = 30;

std::string Option(const char* commandLine, const char* name)
{
    const char* p = std::strstr(commandLine, name);
    if (!p) return std::string();
    p += std::strlen(name);
    const char* end = p;
    while (*end && *end != ' ' && *end != '\t') ++end;
    return std::string(p, end);
}

bool MonitorsFromFile(HeapArray<Monitor>& monitors)
{
    FILE* file = std::fopen((g_folder + "\\monitors.txt").c_str(), "r");
    if (!file) return SystemMonitors(monitors);
    monitors.clear();
    long left, top, right, bottom;
    int dpi;
    while (std::fscanf(file, "%ld %ld %ld %ld %d", &left, &top, &right, &bottom, &dpi) == 5)
        monitors.push(Monitor{RECT{left, top, right, bottom}, dpi});
    std::fclose(file);
    return true;
}

HBITMAP LimitedFrameBuffer(int width, int height, void** bits)
{
    if (static_cast<size_t>(width) * height * sizeof(FramePixel) > g_bufferLimit) {
        *bits = nullptr;
        return NULL;
    }
    return MakeFrameBuffer(width, height, bits);
}

bool OnWine()
{
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
}

// Wine answers GetGuiResources with 0. Its GDI handles are entries of the table the process
// environment block points to (24 bytes each, the type byte nonzero while in use).
unsigned WineGdiObjects()
{
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type, flags;
        std::uint64_t user;
    };
    static_assert(sizeof(Entry) == 24, "the layout of Wine's GDI handle table");
    typedef LONG(WINAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), NULL) != 0) return 0;
    const size_t tableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb + tableOffset);
    if (!table) return 0;
    unsigned count = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type) ++count;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<unsigned*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<unsigned*>(count);
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

unsigned GdiObjects()
{
    const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    return count || !OnWine() ? count : WineGdiObjects();
}

// Under Wine the USER objects a saver can leak are its windows.
unsigned UserObjects()
{
    const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (count || !OnWine()) return count;
    unsigned windows = 0;
    ::EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The private memory committed in the program's own address space: its heaps, stacks, frame buffers
// and whatever else is allocated for it. Not GetProcessMemoryInfo: Wine fills that from the Linux
// process's resident anonymous memory, which grows as pages are first touched and with whatever the
// libraries below Wine keep, not with what the program holds.
unsigned long CommittedPrivateKilobytes()
{
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    size_t committed = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* at = static_cast<const char*>(system.lpMinimumApplicationAddress);
         at < system.lpMaximumApplicationAddress && ::VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
    }
    return static_cast<unsigned long>(committed / 1024);
}

// What the process's heaps hand out: every allocation of the program (and of the system DLLs'
// Windows side), without what a thread stack or a library below Wine keeps.
unsigned long HeapKilobytes()
{
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(::GetProcessHeaps(64, heaps), 64);
    size_t busy = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        ::HeapUnlock(heaps[i]);
    }
    return static_cast<unsigned long>(busy / 1024);
}

bool SamePicture(const Sprite& a, const Sprite& b)
{
    return a.width == b.width && a.height == b.height && a.pixels.size() == b.pixels.size() &&
           std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin());
}

// The names of the pictures of a scene that are the stand-ins drawn for a missing or damaged file.
std::string StandIns(const NightShow::Shown& shown)
{
    const SpriteSet drawn = LoadSprites("", shown.geometry.sizes);
    const SpriteSet& used = shown.pictures;
    std::string names;
    if (SamePicture(used.ghost, drawn.ghost)) names += ",ghost";
    if (SamePicture(used.skeleton, drawn.skeleton)) names += ",skeleton";
    for (int i = 0; i < Scene::kPumpkinVariants; ++i)
        if (SamePicture(used.pumpkins[i], drawn.pumpkins[i])) names += ",pumpkin" + std::to_string(i + 1);
    return names.empty() ? "none" : names.substr(1);
}

void Report(const NightShow& show, unsigned long long frames, int layouts, unsigned long booms)
{
    static int reportedLayouts = 0;
    static unsigned long long nextStatus = 0;
    if (layouts == reportedLayouts && frames < nextStatus) return;
    FILE* file = std::fopen((g_folder + "\\report.txt").c_str(), "a");
    if (!file) return;
    if (layouts != reportedLayouts) {
        std::fprintf(file, "layout %d scenes %u buffers %lu\n", layouts, static_cast<unsigned>(show.size()),
                     static_cast<unsigned long>(show.bufferBytes()));
        for (size_t i = 0; i < show.size(); ++i) {
            const NightShow::Shown& s = show.at(i);
            const RECT& a = s.place.area;
            std::fprintf(file, "scene %u area %ld %ld %ld %ld size %d %d dpi %d buffer %lu standins %s\n", static_cast<unsigned>(i),
                         a.left, a.top, a.right, a.bottom, s.geometry.width, s.geometry.height, s.geometry.dpi,
                         static_cast<unsigned long>(s.renderer ? s.renderer->bufferBytes() : 0), StandIns(s).c_str());
        }
        reportedLayouts = layouts;
    }
    std::fprintf(file, "status frames %llu layouts %d booms %lu gdi %u user %u committed %lu heap %lu\n", frames, layouts,
                 booms, GdiObjects(), UserObjects(), CommittedPrivateKilobytes(), HeapKilobytes());
    std::fclose(file);
    nextStatus = frames - frames % g_every + g_every;
}

// Windows tells a CBT hook of each system command just before the default window procedure carries
// it out, so the report shows which ones the saver passed on.
LRESULT CALLBACK ReportSystemCommand(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SYSCOMMAND) {
        if (FILE* file = std::fopen((g_folder + "\\report.txt").c_str(), "a")) {
            std::fprintf(file, "syscommand %04x\n", static_cast<unsigned>(wParam & 0xFFF0));
            std::fclose(file);
        }
    }
    return ::CallNextHookEx(NULL, code, wParam, lParam);
}

// Told within the process (the notice carries a pointer) to the active window: any other ends the show.
void CALLBACK TellDisplayState(HWND, UINT, UINT_PTR, DWORD)
{
    const std::string name = g_folder + "\\display.txt";
    FILE* file = std::fopen(name.c_str(), "r");
    DWORD state = 0;
    const bool read = file && std::fscanf(file, "%lu", &state) == 1;
    if (file) std::fclose(file);
    if (!read) return;
    struct { POWERBROADCAST_SETTING setting; DWORD room; } notice = {{kConsoleDisplayState, sizeof(state), {}}, 0};
    std::memcpy(reinterpret_cast<BYTE*>(&notice) + offsetof(POWERBROADCAST_SETTING, Data), &state, sizeof(state));
    ::SendMessageA(::GetActiveWindow(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&notice));
    ::DeleteFileA(name.c_str());
}

}  // namespace

void ApplySaverProbe(const char* commandLine, SaverHooks& hooks)
{
    if (!commandLine) return;
    g_folder = Option(commandLine, "--probe=");
    if (!g_folder.empty()) {
        hooks.monitors = MonitorsFromFile;
        hooks.afterTick = Report;
        ::SetWindowsHookExA(WH_CBT, ReportSystemCommand, NULL, ::GetCurrentThreadId());
        ::SetTimer(NULL, 0, 100, TellDisplayState);
    }
    const std::string fast = Option(commandLine, "--fast="), every = Option(commandLine, "--every=");
    const std::string limit = Option(commandLine, "--buffer-limit=");
    if (!fast.empty()) hooks.framesPerTick = std::max(1, std::atoi(fast.c_str()));
    if (!every.empty()) g_every = std::max(1ULL, std::strtoull(every.c_str(), nullptr, 10));
    if (!limit.empty()) {
        g_bufferLimit = std::strtoul(limit.c_str(), nullptr, 10);
        hooks.makeFrameBuffer = LimitedFrameBuffer;
    }
}
