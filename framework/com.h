// Owners of COM resources: the apartment, interface pointers, and the strings and item lists COM
// hands over (see owner.h). Each gives back what it holds when it goes out of scope; copying is deleted.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "owner.h"
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

// A COM interface pointer; Release() on scope exit. put() and put_void() take the out-parameters
// of CoCreateInstance and QueryInterface.
template <class T>
struct ComPtrTraits : NullIsNone<T*> {
    static bool Free(T* p) { p->Release(); return true; }
};
template <class T>
using ComPtr = Owner<ComPtrTraits<T>>;

// A BSTR, the string COM carries into another process. oleaut32 allocates and frees it; it is loaded
// from the system folder when first needed rather than imported.
struct BStringTraits : NullIsNone<BSTR> {
    static bool Free(BSTR s) { OleAutomation().sysFreeString(s); return true; }
};
// A BSTR made from text in the system code page (NULL gives an empty string); null when it cannot be made.
class BString : public Owner<BStringTraits> {
public:
    explicit BString(LPCSTR text)
    {
        if (!text) text = "";
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
        const OleAutomationFunctions& automation = OleAutomation();
        if (length <= 0 || !automation.sysAllocStringLen || !automation.sysFreeString) return;
        reset(automation.sysAllocStringLen(NULL, static_cast<UINT>(length - 1)));
        if (get() && ::MultiByteToWideChar(CP_ACP, 0, text, -1, get(), length) != length) reset();
    }
};

// A shell item-ID list, which belongs to the shell's allocator. Without an allocator the list
// cannot be returned and is left alone rather than freed with the wrong one.
struct ShellIdListTraits : NullIsNone<LPITEMIDLIST> {
    static bool Free(LPITEMIDLIST list)
    {
        ComPtr<IMalloc> allocator;
        if (FAILED(::SHGetMalloc(allocator.put())) || !allocator) return false;
        allocator->Free(list);
        return true;
    }
};
typedef Owner<ShellIdListTraits> ShellIdList;
