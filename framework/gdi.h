// Owners of GDI objects and device contexts; each gives back what it holds when it goes out of scope.
// Copying is deleted.
#pragma once

#include <windows.h>

// A GDI object (bitmap, brush, pen, font); DeleteObject on scope exit.
template <class T>
class GdiObject {
public:
    explicit GdiObject(T h = NULL) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T get() const { return h_; }
    explicit operator bool() const { return h_ != NULL; }
    void reset(T h = NULL) { if (h_) ::DeleteObject(h_); h_ = h; }
    T release() { T h = h_; h_ = NULL; return h; }

private:
    T h_;
};

// A memory device context from CreateCompatibleDC; DeleteDC on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() { if (dc_) ::DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != NULL; }

private:
    HDC dc_;
};

// A window's device context from GetDC (NULL: the screen's); ReleaseDC on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != NULL; }

private:
    HWND window_;
    HDC dc_;
};

// Puts an object into a DC for the length of a scope and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectedObject() { if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
