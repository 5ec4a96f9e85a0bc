#include "saver_window.h"

#include <mmsystem.h>

#include "cstring.h"
#include "display_power.h"
#include "gdi.h"
#include "heap.h"
#include "installed_files.h"
#include "pointer.h"
#include "product.h"
#include "resource.h"
#include "show.h"
#include "sprites.h"
#include "system_functions.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

const char kWindowClass[] = "MarigoldSaverWindow";
const char kWindowTitle[] = PRODUCT_NAME;
const UINT_PTR kFrameTimer = 1;
const UINT kFrameMilliseconds = 33;    // about 30 frames a second

// The boom's player, from the system folder when the first boom is due.
bool g_soundLoaded = false;

void PlayBoom(LPCSTR file)
{
    g_soundLoaded = true;
    if (const auto playSound = Multimedia().playSound) playSound(file, NULL, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

// Only a player that was loaded has anything to stop.
void StopSound()
{
    if (!g_soundLoaded) return;
    if (const auto playSound = Multimedia().playSound) playSound(NULL, NULL, 0);
}

class SaverWindow {
public:
    explicit SaverWindow(const SaverWindowOptions& options) : options_(options) {}
    ~SaverWindow();
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    bool Create(HINSTANCE instance);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleFullScreen(UINT message, WPARAM wParam, LRESULT& result);
    bool PointerMovedAway();
    void Paint();
    bool LayOut();
    void NextFrame();
    void FollowParent();
    void FollowDisplay(DisplayPower power);
    void Quit();

    SaverWindowOptions options_;
    HWND window_ = NULL;
    CString assets_;
    CString boom_;  // the sound of a burst; empty without the asset folder
    HeapObject<NightShow> show_;
    unsigned long long frames_ = 0;
    int layouts_ = 0;
    unsigned long booms_ = 0;
    POINT mouseStart_ = {};
    bool mouseKnown_ = false;
    bool closing_ = false;
    bool resting_ = false;  // the display is off
    DisplayPowerNotice displayPower_;
};

SaverWindow::~SaverWindow()
{
    // A window that outlives its object (creation cut short) must not call back into it.
    if (window_ && ::IsWindow(window_)) {
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool SaverWindow::Create(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_SAVER));
    windowClass.hCursor = options_.fullScreen ? NULL : ::LoadCursorA(NULL, IDC_ARROW);  // no pointer over the show
    windowClass.hbrBackground = NULL;  // everything is painted from the frame buffers
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassA(&windowClass)) return false;

    // Everything that needs memory is made here, outside the window procedure, before the window.
    assets_ = AssetFolder();
    if (!assets_.IsEmpty()) boom_ = assets_ + BOOM_FILE_NAME;
    const std::uint32_t seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    if (!show_.make(options_.settings, assets_, seed, options_.hooks.makeFrameBuffer)) return false;
    if (options_.fullScreen) {
        // Placed over the monitors by LayOut, then shown.
        window_ = ::CreateWindowExA(WS_EX_TOPMOST, kWindowClass, kWindowTitle, WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance,
                                    this);
    } else {
        RECT area = {};
        ::GetClientRect(options_.previewParent, &area);
        window_ = ::CreateWindowExA(0, kWindowClass, kWindowTitle, WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom,
                                    options_.previewParent, NULL, instance, this);
    }
    if (!window_ || !LayOut()) return false;
    if (options_.fullScreen) ::ShowWindow(window_, SW_SHOW);
    ::SetTimer(window_, kFrameTimer, kFrameMilliseconds, NULL);
    // Asked after the timer is set: the display's state may be told at once.
    displayPower_.Request(window_);
    // Where the pointer rests when the show starts (see PointerMovedAway).
    mouseKnown_ = options_.fullScreen && ::GetCursorPos(&mouseStart_);
    return true;
}

LRESULT CALLBACK SaverWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SaverWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SaverWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : ::DefWindowProcA(window, message, wParam, lParam);
}

// False when there is no memory even for the list of scenes: the show then ends.
bool SaverWindow::LayOut()
{
    bool laidOut;
    if (options_.fullScreen) {
        HeapArray<Monitor> monitors;
        SaverLayout layout;
        laidOut = options_.hooks.monitors(monitors) && LayOutMonitors(monitors.data(), monitors.size(), layout);
        if (laidOut) {
            const RECT& r = layout.window;
            ::SetWindowPos(window_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            laidOut = show_->LayOut(layout.scenes.data(), layout.scenes.size());
        }
    } else {
        RECT area = {};
        ::GetClientRect(window_, &area);
        const ScenePlace preview = LayOutPreview(area);
        laidOut = show_->LayOut(&preview, 1);
    }
    ++layouts_;
    ::InvalidateRect(window_, NULL, FALSE);
    return laidOut;
}

void SaverWindow::NextFrame()
{
    if (!options_.fullScreen) FollowParent();
    for (int i = 0; i < options_.hooks.framesPerTick && !closing_; ++i) {
        const int bursts = show_->Step();
        ++frames_;
        // Sound only for the real show, never in the little preview.
        if (bursts > 0 && options_.fullScreen && options_.settings.sound && !boom_.IsEmpty()) {
            PlayBoom(boom_);
            ++booms_;
        }
        WindowDC dc(window_);
        show_->PresentChanges(dc.get());
    }
    if (options_.hooks.afterTick && !closing_) options_.hooks.afterTick(*show_, frames_, layouts_, booms_);
}

void SaverWindow::FollowParent()
{
    // The preview lives as long as its parent, at the parent's size.
    if (!::IsWindow(options_.previewParent)) {
        Quit();
        return;
    }
    RECT parent = {}, mine = {};
    ::GetClientRect(options_.previewParent, &parent);
    ::GetClientRect(window_, &mine);
    if (parent.right != mine.right || parent.bottom != mine.bottom)
        ::MoveWindow(window_, 0, 0, parent.right, parent.bottom, TRUE);
}

// While the display is off no one sees the night: no frames are made and nothing is painted until
// it comes back.
void SaverWindow::FollowDisplay(DisplayPower power)
{
    if (closing_ || power == DisplayPower::Unknown || (power == DisplayPower::Off) == resting_) return;
    resting_ = power == DisplayPower::Off;
    if (resting_) {
        ::KillTimer(window_, kFrameTimer);
    } else {
        ::SetTimer(window_, kFrameTimer, kFrameMilliseconds, NULL);
        ::InvalidateRect(window_, NULL, FALSE);  // the scenes as they stand, laid out anew meanwhile or not
    }
}

void SaverWindow::Quit()
{
    if (closing_) return;
    closing_ = true;
    ::KillTimer(window_, kFrameTimer);
    ::DestroyWindow(window_);
}

LRESULT SaverWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (options_.fullScreen && HandleFullScreen(message, wParam, result)) return result;
    switch (message) {
    case WM_TIMER:
        if (wParam == kFrameTimer && !closing_ && !resting_) NextFrame();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam != PBT_POWERSETTINGCHANGE || !lParam) break;
        FollowDisplay(DisplayPowerFrom(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam)));
        return TRUE;
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:
        // A monitor came, went or changed its size or scaling: the scenes follow. The window
        // stays where the monitors are rather than where the system suggests.
        if (options_.fullScreen && !closing_ && !LayOut()) Quit();
        return 0;
    case WM_SIZE:
        // The preview follows its parent's size; its first layout is made after creation.
        if (!options_.fullScreen && layouts_ > 0 && !closing_ && !LayOut()) Quit();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the frame buffers cover every monitor; erasing first would flicker
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CLOSE:
        Quit();
        return 0;
    case WM_DESTROY:
        closing_ = true;
        ::KillTimer(window_, kFrameTimer);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

// The full-screen show hides the pointer, and ends on any input and when another window comes to the
// front. True when `message` is answered here with `result`.
bool SaverWindow::HandleFullScreen(UINT message, WPARAM wParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        ::SetCursor(NULL);
        result = TRUE;
        return true;
    case WM_MOUSEMOVE:
        if (PointerMovedAway()) Quit();
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
        Quit();
        return true;
    case WM_ACTIVATEAPP:
        if (!wParam) Quit();
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) Quit();
        return false;
    case WM_SYSCOMMAND:
        // No screen saver on top of the screen saver, and no closing it through the system menu. All
        // else goes on to the system: turning the monitor off above all, so that the power settings
        // still let the display sleep while the night is shown.
        switch (wParam & 0xFFF0) {
        case SC_SCREENSAVE:
        case SC_CLOSE:
            return true;
        }
        return false;
    }
    return false;
}

// Only movement away from where the pointer rested when the show started counts, so the report
// Windows sends as the window appears (and a small jitter) does not end it. Coordinates are the
// monitor's own pixels (the saver is per-monitor DPI aware), so the jitter allowed follows its DPI.
bool SaverWindow::PointerMovedAway()
{
    POINT now;
    ::GetCursorPos(&now);
    if (!mouseKnown_) {
        mouseStart_ = now;
        mouseKnown_ = true;
        return false;
    }
    return PointerLeftRest(mouseStart_, now, DpiAt(now));
}

void SaverWindow::Paint()
{
    // Where no monitor shows the window, nothing is painted.
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    if (show_ && !resting_) show_->PresentAll(dc);
    ::EndPaint(window_, &paint);
}

}  // namespace

int RunSaverWindow(HINSTANCE instance, const SaverWindowOptions& options)
{
    SaverWindow saver(options);
    if (!saver.Create(instance)) return 0;  // not even enough memory to begin: nothing to show
    if (options.fullScreen) {
        ::ShowCursor(FALSE);
    }
    MSG message;
    while (::GetMessageA(&message, NULL, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    if (options.fullScreen) {
        ::ShowCursor(TRUE);
        StopSound();
    }
    return 0;
}
