// CString: the framework's ANSI string (system code page). Owns its characters; converts to LPCSTR
// for the Win32 calls.
#pragma once

#include <windows.h>
#include <string.h>

class CString {
public:
    CString();
    CString(LPCSTR text);
    CString(LPCSTR text, int length);
    CString(const CString& other);
    CString(CString&& other) noexcept : data_(other.data_), length_(other.length_), capacity_(other.capacity_)
    {
        other.data_ = empty_;
        other.length_ = other.capacity_ = 0;
    }
    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    ~CString();

    int GetLength() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    operator LPCSTR() const { return data_; }
    char operator[](int index) const { return data_[index]; }

    CString& operator+=(const CString& other) { return Append(other.data_, other.length_); }
    CString& operator+=(LPCSTR text);
    CString& operator+=(char c) { return Append(&c, 1); }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, LPCSTR right) { return left += right; }
    friend CString operator+(LPCSTR left, const CString& right) { return CString(left) += right; }
    friend bool operator==(const CString& a, const CString& b)
    {
        return a.length_ == b.length_ && (a.length_ == 0 || ::memcmp(a.data_, b.data_, a.length_) == 0);
    }

    // printf rules (the system C runtime's); the result may be of any length.
    void Format(LPCSTR format, ...);
    // Loads string `id` of the string table in the resource module; FALSE (and empty) when missing.
    BOOL LoadString(UINT id);

private:
    void Assign(LPCSTR text, int length);
    CString& Append(LPCSTR text, int length);
    // Room for `length` characters and the terminator; what is there is kept. Running out of memory
    // raises the system's STATUS_NO_MEMORY fault: a program that cannot hold its paths cannot go on.
    void Reserve(int length);

    // Never NULL: a string without characters of its own (capacity 0) points to empty_, which is never
    // written, so that its text is at hand without a test wherever it is used.
    static char empty_[1];
    char* data_ = empty_;
    int length_ = 0;
    int capacity_ = 0;
};

// The module whose resources the framework reads (the executable itself).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
