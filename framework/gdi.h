// Owners of GDI objects and device contexts (see owner.h); each gives back what it holds when it goes
// out of scope.
#pragma once

#include <windows.h>

#include "owner.h"

// A GDI object (bitmap, brush, pen, font); DeleteObject on scope exit.
template <class T>
struct GdiObjectTraits : NullIsNone<T> {
    static bool Free(T h) { return ::DeleteObject(h) != FALSE; }
};
template <class T>
using GdiObject = Owner<GdiObjectTraits<T>>;

// A memory device context from CreateCompatibleDC; DeleteDC on scope exit.
struct MemoryDCTraits : NullIsNone<HDC> {
    static bool Free(HDC dc) { return ::DeleteDC(dc) != FALSE; }
};
class MemoryDC : public Owner<MemoryDCTraits> {
public:
    explicit MemoryDC(HDC compatibleWith) : Owner(::CreateCompatibleDC(compatibleWith)) {}
};

// A window's device context from GetDC (NULL: the screen's); ReleaseDC on scope exit.
struct WindowDCTraits : NullIsNone<HDC> {
    HWND window;
    bool Free(HDC dc) const { return ::ReleaseDC(window, dc) != 0; }
};
class WindowDC : public Owner<WindowDCTraits> {
public:
    explicit WindowDC(HWND window) : Owner(::GetDC(window), ::WindowDCTraits{{}, window}) {}
};

// Puts an object into a DC for the length of a scope and puts the previous one back.
struct SelectionTraits : NullIsNone<HGDIOBJ> {
    HDC dc;
    static bool Holds(HGDIOBJ previous) { return previous && previous != HGDI_ERROR; }
    bool Free(HGDIOBJ previous) const { return ::SelectObject(dc, previous) != NULL; }
};
class SelectedObject : Owner<SelectionTraits> {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : Owner(::SelectObject(dc, obj), ::SelectionTraits{{}, dc}) {}
};
