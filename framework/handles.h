// One small owner per kind of Windows resource. Each releases what it holds when it goes out of
// scope, so every return path (and an exception) gives back what was taken. Copying is deleted.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <new>
#include <utility>

#include "system_library.h"

// A kernel handle closed with CloseHandle: a file, a mutex, a token (INVALID_HANDLE_VALUE or NULL
// means "none").
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

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

// An array of T on the process heap that grows on request. Running out of memory is a return value,
// never an exception: what cannot be had leaves the array as it was and gives false. Moving hands the
// elements over; copying is deleted.
template <class T>
class HeapArray {
public:
    HeapArray() : items_(NULL), size_(0), capacity_(0) {}
    ~HeapArray() { clear(); if (items_) ::HeapFree(::GetProcessHeap(), 0, items_); }
    HeapArray(HeapArray&& other) noexcept : items_(other.items_), size_(other.size_), capacity_(other.capacity_)
    {
        other.items_ = NULL;
        other.size_ = other.capacity_ = 0;
    }
    HeapArray& operator=(HeapArray&& other) noexcept { swap(other); return *this; }
    HeapArray(const HeapArray&) = delete;
    HeapArray& operator=(const HeapArray&) = delete;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() const { return items_; }
    T& operator[](size_t index) const { return items_[index]; }
    T* begin() const { return items_; }
    T* end() const { return items_ + size_; }
    T& back() const { return items_[size_ - 1]; }

    // Room for `count` elements in all, so that adding up to that many cannot fail.
    bool reserve(size_t count)
    {
        if (count <= capacity_) return true;
        if (count > static_cast<size_t>(-1) / sizeof(T)) return false;
        T* grown = static_cast<T*>(::HeapAlloc(::GetProcessHeap(), 0, count * sizeof(T)));
        if (!grown) return false;
        for (size_t i = 0; i < size_; ++i) {
            new (grown + i) T(std::move(items_[i]));
            items_[i].~T();
        }
        if (items_) ::HeapFree(::GetProcessHeap(), 0, items_);
        items_ = grown;
        capacity_ = count;
        return true;
    }
    // Exactly `count` elements: those added are value-initialised, those beyond are destroyed.
    bool resize(size_t count)
    {
        if (!reserve(count)) return false;
        while (size_ > count) pop();
        while (size_ < count) new (items_ + size_++) T();
        return true;
    }
    bool push(T item)
    {
        if (size_ == capacity_ && !reserve(size_ < 4 ? 4 : size_ + size_ / 2)) return false;
        new (items_ + size_++) T(std::move(item));
        return true;
    }
    void pop() { items_[--size_].~T(); }
    void clear() { while (size_) pop(); }
    void swap(HeapArray& other)
    {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    T* items_;
    size_t size_;
    size_t capacity_;
};

// One object on the process heap, made by make(); null when there was no memory for it. Moving hands
// it over; copying is deleted.
template <class T>
class HeapObject {
public:
    HeapObject() : p_(NULL) {}
    ~HeapObject() { reset(); }
    HeapObject(HeapObject&& other) noexcept : p_(other.p_) { other.p_ = NULL; }
    HeapObject& operator=(HeapObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = NULL;
        }
        return *this;
    }
    HeapObject(const HeapObject&) = delete;
    HeapObject& operator=(const HeapObject&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != NULL; }
    // A new object from `args` in place of the one held; false (and empty) without memory.
    template <class... Args>
    bool make(Args&&... args)
    {
        reset();
        void* memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(T));
        if (memory) p_ = new (memory) T(std::forward<Args>(args)...);
        return p_ != NULL;
    }
    void reset()
    {
        if (!p_) return;
        p_->~T();
        ::HeapFree(::GetProcessHeap(), 0, p_);
        p_ = NULL;
    }

private:
    T* p_;
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
