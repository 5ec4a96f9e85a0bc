// One small owner per kind of Windows resource. Each releases what it holds when it goes out of
// scope, so every return path (and an exception) gives back what was taken. Copying is deleted.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system_library.h"

// A kernel handle from CreateFile and friends (INVALID_HANDLE_VALUE means "none").
class UniqueFileHandle {
public:
    explicit UniqueFileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~UniqueFileHandle() { reset(); }
    UniqueFileHandle(const UniqueFileHandle&) = delete;
    UniqueFileHandle& operator=(const UniqueFileHandle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != NULL; }
    HANDLE release() { HANDLE h = h_; h_ = INVALID_HANDLE_VALUE; return h; }
    // Closes the handle; returns the CloseHandle result (TRUE when nothing was held).
    BOOL reset(HANDLE h = INVALID_HANDLE_VALUE)
    {
        BOOL ok = TRUE;
        if (valid()) ok = ::CloseHandle(h_);
        h_ = h;
        return ok;
    }

private:
    HANDLE h_;
};

// An open registry key; RegCloseKey on scope exit.
class RegistryKey {
public:
    RegistryKey() : key_(NULL) {}
    ~RegistryKey() { reset(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != NULL; }
    // For the out-parameter of RegOpenKeyEx / RegCreateKeyEx: closes any key held first.
    HKEY* put() { reset(); return &key_; }
    void reset() { if (key_) { ::RegCloseKey(key_); key_ = NULL; } }

private:
    HKEY key_;
};

// A block from the process heap.
class HeapBlock {
public:
    explicit HeapBlock(SIZE_T size) : p_(Allocate(size)) {}
    ~HeapBlock() { reset(0); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    void* get() const { return p_; }
    explicit operator bool() const { return p_ != NULL; }
    // Gives the block back and takes a new one of `size` bytes (none for 0).
    void reset(SIZE_T size)
    {
        if (p_) ::HeapFree(::GetProcessHeap(), 0, p_);
        p_ = Allocate(size);
    }

private:
    static void* Allocate(SIZE_T size) { return size ? ::HeapAlloc(::GetProcessHeap(), 0, size) : NULL; }

    void* p_;
};

// A COM interface pointer; Release() on scope exit.
template <class T>
class ComPtr {
public:
    ComPtr() : p_(NULL) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != NULL; }
    // For out-parameters of CoCreateInstance / QueryInterface: releases any held pointer first.
    T** put() { reset(); return &p_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() { if (p_) { p_->Release(); p_ = NULL; } }

private:
    T* p_;
};

// A BSTR, the string COM carries into another process, made from text in the system code page (NULL
// gives an empty string). oleaut32 allocates and frees it; it is loaded from the system folder when
// first needed rather than imported. Null when it cannot be made.
class BString {
public:
    explicit BString(LPCSTR text) : s_(NULL)
    {
        if (!text) text = "";
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
        if (length <= 0 || !Api().allocate || !Api().free) return;
        s_ = Api().allocate(NULL, static_cast<UINT>(length - 1));
        if (s_ && ::MultiByteToWideChar(CP_ACP, 0, text, -1, s_, length) != length) reset();
    }
    ~BString() { reset(); }
    BString(const BString&) = delete;
    BString& operator=(const BString&) = delete;

    BSTR get() const { return s_; }
    explicit operator bool() const { return s_ != NULL; }
    void reset() { if (s_) { Api().free(s_); s_ = NULL; } }

private:
    struct Functions {
        BSTR(WINAPI* allocate)(const OLECHAR*, UINT);
        void(WINAPI* free)(BSTR);
    };
    static const Functions& Api()
    {
        static const HMODULE automation = LoadSystemLibrary("oleaut32.dll");
        static const Functions functions = {
            GetSystemProc<BSTR(WINAPI*)(const OLECHAR*, UINT)>(automation, "SysAllocStringLen"),
            GetSystemProc<void(WINAPI*)(BSTR)>(automation, "SysFreeString")};
        return functions;
    }

    BSTR s_;
};

// A shell item-ID list, which belongs to the shell's allocator. Without an allocator the list
// cannot be returned and is left alone rather than freed with the wrong one.
class ShellIdList {
public:
    ShellIdList() : pidl_(NULL) {}
    ~ShellIdList() { reset(); }
    ShellIdList(const ShellIdList&) = delete;
    ShellIdList& operator=(const ShellIdList&) = delete;

    LPITEMIDLIST get() const { return pidl_; }
    LPITEMIDLIST* put() { reset(); return &pidl_; }
    void reset()
    {
        if (!pidl_) return;
        ComPtr<IMalloc> allocator;
        if (SUCCEEDED(::SHGetMalloc(allocator.put())) && allocator) allocator->Free(pidl_);
        pidl_ = NULL;
    }

private:
    LPITEMIDLIST pidl_;
};

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
