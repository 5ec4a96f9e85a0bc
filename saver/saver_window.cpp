#include "saver_window.h"

#include <mmsystem.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "render.h"
#include "scene.h"
#include "sprites.h"
#include "system_library.h"

namespace {

const char kWindowClass[] = "MarigoldSaverWindow";
const char kWindowTitle[] = "Marigold Screen Saver";
const UINT_PTR kFrameTimer = 1;
const UINT kFrameMilliseconds = 33;    // about 30 frames a second
const int kMouseSlack = 6;             // pixels the mouse may wander before the show ends
const int kPreviewWidth = 800;         // the preview draws a screen of this size, shrunk
const int kPreviewHeight = 600;

// The boom's player. winmm.dll is not one of the DLLs the system protects, so it comes from the
// system folder when the first boom is due rather than as an import the loader may find elsewhere.
typedef BOOL(WINAPI* PlaySoundProc)(LPCSTR, HMODULE, DWORD);
PlaySoundProc g_playSound = NULL;

void PlayBoom(const std::string& file)
{
    if (!g_playSound) g_playSound = GetSystemProc<PlaySoundProc>(LoadSystemLibrary("winmm.dll"), "PlaySoundA");
    if (g_playSound) g_playSound(file.c_str(), NULL, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

void StopSound()
{
    if (g_playSound) g_playSound(NULL, NULL, 0);
}

class SaverWindow {
public:
    explicit SaverWindow(const SaverWindowOptions& options) : options_(options) {}

    bool Create(HINSTANCE instance);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Start();
    void NextFrame();
    void FollowParent();
    void Quit();

    SaverWindowOptions options_;
    HWND window_ = NULL;
    std::string assets_;
    SpriteSet sprites_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<NightRenderer> renderer_;
    POINT mouseStart_ = {};
    bool mouseKnown_ = false;
    bool closing_ = false;
};

bool SaverWindow::Create(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(100));
    windowClass.hCursor = options_.fullScreen ? NULL : ::LoadCursorA(NULL, IDC_ARROW);  // no pointer over the show
    windowClass.hbrBackground = NULL;  // everything is painted from the frame buffer
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassA(&windowClass)) return false;

    if (options_.fullScreen) {
        const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        window_ = ::CreateWindowExA(WS_EX_TOPMOST, kWindowClass, kWindowTitle, WS_POPUP | WS_VISIBLE, x, y, w, h, NULL,
                                    NULL, instance, this);
    } else {
        RECT area = {};
        ::GetClientRect(options_.previewParent, &area);
        window_ = ::CreateWindowExA(0, kWindowClass, kWindowTitle, WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom,
                                    options_.previewParent, NULL, instance, this);
    }
    return window_ != NULL;
}

LRESULT CALLBACK SaverWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SaverWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SaverWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

void SaverWindow::Start()
{
    const FigureSizes sizes;
    assets_ = AssetFolder();
    sprites_ = LoadSprites(assets_, sizes);
    int width = kPreviewWidth, height = kPreviewHeight;
    if (options_.fullScreen) {
        RECT area = {};
        ::GetClientRect(window_, &area);
        width = area.right;
        height = area.bottom;
    }
    const std::uint32_t seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    scene_.reset(new Scene(width, height, options_.settings, sizes, seed));
    renderer_.reset(new NightRenderer(width, height, sprites_, seed * 2654435761u));
    ::SetTimer(window_, kFrameTimer, kFrameMilliseconds, NULL);
    // Where the pointer rests when the show starts; only movement away from here counts, so the
    // report Windows sends as the window appears (and a small jitter) does not end it.
    mouseKnown_ = options_.fullScreen && ::GetCursorPos(&mouseStart_);
}

void SaverWindow::NextFrame()
{
    if (!options_.fullScreen) FollowParent();
    if (closing_ || !scene_ || !renderer_->ok()) return;
    const int bursts = scene_->Step();
    // Sound only for the real show, never in the little preview.
    if (bursts > 0 && options_.fullScreen && options_.settings.sound && !assets_.empty()) {
        PlayBoom(assets_ + "\\boom1.wav");
    }
    renderer_->DrawFrame(*scene_);
    HDC dc = ::GetDC(window_);
    if (options_.fullScreen) {
        renderer_->PresentChanges(dc);
    } else {
        RECT area = {};
        ::GetClientRect(window_, &area);
        renderer_->PresentAll(dc, area.right, area.bottom);
    }
    ::ReleaseDC(window_, dc);
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

void SaverWindow::Quit()
{
    if (closing_) return;
    closing_ = true;
    ::KillTimer(window_, kFrameTimer);
    ::DestroyWindow(window_);
}

LRESULT SaverWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool fullScreen = options_.fullScreen;
    switch (message) {
    case WM_CREATE:
        Start();
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimer) NextFrame();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the frame buffer covers every pixel; erasing first would flicker
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window_, &paint);
        RECT area = {};
        ::GetClientRect(window_, &area);
        if (renderer_ && renderer_->ok()) {
            renderer_->PresentAll(dc, area.right, area.bottom);
        } else {
            ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        if (fullScreen) {
            ::SetCursor(NULL);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (fullScreen) {
            POINT now;
            ::GetCursorPos(&now);
            if (!mouseKnown_) {
                mouseStart_ = now;
                mouseKnown_ = true;
            } else if (std::abs(now.x - mouseStart_.x) > kMouseSlack || std::abs(now.y - mouseStart_.y) > kMouseSlack) {
                Quit();
            }
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
        if (fullScreen) {
            Quit();
            return 0;
        }
        break;
    case WM_ACTIVATEAPP:
        if (fullScreen && !wParam) Quit();
        break;
    case WM_ACTIVATE:
        if (fullScreen && LOWORD(wParam) == WA_INACTIVE) Quit();
        break;
    case WM_SYSCOMMAND:
        // No screen saver on top of the screen saver, and no closing it through the system menu keys.
        if (fullScreen && ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER)) return 0;
        break;
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

}  // namespace

int RunSaverWindow(HINSTANCE instance, const SaverWindowOptions& options)
{
    SaverWindow saver(options);
    if (!saver.Create(instance)) return 0;
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
