// Owners of COM resources: the apartment, interface pointers, and the strings and item lists COM
// hands over. Each gives back what it holds when it goes out of scope; copying is deleted.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "system_functions.h"

// COM on the thread that starts it (single-threaded apartment), until the object ends; ended only if
// it was started here.
class ComScope {
public:
    ComScope() = default;
    ~ComScope() { if (started_) ::CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    bool Start()
    {
        if (!started_) started_ = SUCCEEDED(::CoInitialize(NULL));
        return started_;
    }
    // COM stays initialised for the thread until the process ends, whatever becomes of this object.
    void KeepUntilProcessEnds() { started_ = false; }

private:
    bool started_ = false;
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
        const OleAutomationFunctions& automation = OleAutomation();
        if (length <= 0 || !automation.sysAllocStringLen || !automation.sysFreeString) return;
        s_ = automation.sysAllocStringLen(NULL, static_cast<UINT>(length - 1));
        if (s_ && ::MultiByteToWideChar(CP_ACP, 0, text, -1, s_, length) != length) reset();
    }
    ~BString() { reset(); }
    BString(const BString&) = delete;
    BString& operator=(const BString&) = delete;

    BSTR get() const { return s_; }
    explicit operator bool() const { return s_ != NULL; }
    void reset() { if (s_) { OleAutomation().sysFreeString(s_); s_ = NULL; } }

private:
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
