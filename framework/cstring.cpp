#include "cstring.h"

#include <stdarg.h>
#include <stdio.h>

#include "system_text.h"

namespace {
HINSTANCE g_resourceModule = NULL;

const DWORD kFirstLoadBuffer = 256;
const int kLoadAttempts = 10;  // 256 characters doubled nine times hold the longest
}  // namespace

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceModule ? g_resourceModule : ::GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

char CString::empty_[1] = "";

CString::CString() {}

CString::CString(LPCSTR text) { Assign(text, text ? ::lstrlenA(text) : 0); }

CString::CString(LPCSTR text, int length) { Assign(text, text && length > 0 ? length : 0); }

CString::CString(const CString& other) { Assign(other.data_, other.length_); }

CString::~CString()
{
    if (capacity_) ::HeapFree(::GetProcessHeap(), 0, data_);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other) Assign(other.data_, other.length_);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        if (capacity_) ::HeapFree(::GetProcessHeap(), 0, data_);
        data_ = other.data_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.data_ = empty_;
        other.length_ = other.capacity_ = 0;
    }
    return *this;
}

void CString::Reserve(int length)
{
    if (length < capacity_) return;
    int capacity = capacity_ ? capacity_ : 16;
    while (capacity <= length) capacity *= 2;
    const HANDLE heap = ::GetProcessHeap();
    void* grown = capacity_ ? ::HeapReAlloc(heap, HEAP_GENERATE_EXCEPTIONS, data_, capacity)
                            : ::HeapAlloc(heap, HEAP_GENERATE_EXCEPTIONS, capacity);
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
}

void CString::Assign(LPCSTR text, int length)
{
    if (length == 0) {
        length_ = 0;
        if (capacity_) data_[0] = '\0';
        return;
    }
    // `text` may lie inside this very string: move, do not copy.
    if (text >= data_ && text < data_ + capacity_) {
        ::MoveMemory(data_, text, length);
    } else {
        Reserve(length);
        ::CopyMemory(data_, text, length);
    }
    length_ = length;
    data_[length_] = '\0';
}

CString& CString::Append(LPCSTR text, int length)
{
    if (length <= 0) return *this;
    // Appending a string to itself: its characters may move when the buffer grows.
    const bool own = text >= data_ && text < data_ + capacity_;
    const int offset = own ? static_cast<int>(text - data_) : 0;
    Reserve(length_ + length);
    ::MoveMemory(data_ + length_, own ? data_ + offset : text, length);
    length_ += length;
    data_[length_] = '\0';
    return *this;
}

CString& CString::operator+=(LPCSTR text) { return Append(text, text ? ::lstrlenA(text) : 0); }

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    // The system C runtime's own formatting, which every Windows compiler has.
    const int needed = ::_vscprintf(format, args);
    va_end(args);
    if (needed <= 0) {
        Assign(NULL, 0);
        return;
    }
    Reserve(needed);
    va_start(args, format);
    ::_vsnprintf(data_, needed + 1, format, args);
    va_end(args);
    length_ = needed;
    data_[length_] = '\0';
}

BOOL CString::LoadString(UINT id)
{
    // LoadStringA cuts the text to the buffer silently: a buffer filled to the brim is asked again
    // with twice the room. A string table's text has at most 65535 characters.
    const HINSTANCE module = AfxGetResourceHandle();
    *this = SystemText(
        [module, id](LPSTR buffer, DWORD size) -> DWORD {
            const int length = ::LoadStringA(module, id, buffer, static_cast<int>(size));
            if (length <= 0) return 0;
            return static_cast<DWORD>(length) < size - 1 ? static_cast<DWORD>(length) : size * 2;
        },
        kFirstLoadBuffer, kLoadAttempts);
    return !IsEmpty();
}
