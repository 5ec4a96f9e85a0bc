// CString: the framework's ANSI string (system code page). Owns its characters; converts to LPCSTR
// for the Win32 calls.
#pragma once

#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : s_(text ? text : "") {}
    CString(LPCSTR text, int length) : s_(text ? text : "", text && length > 0 ? length : 0) {}

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    operator LPCSTR() const { return s_.c_str(); }
    char operator[](int index) const { return s_[static_cast<size_t>(index)]; }
    char GetAt(int index) const { return s_[static_cast<size_t>(index)]; }

    CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
    CString& operator+=(LPCSTR text) { s_ += text ? text : ""; return *this; }
    CString& operator+=(char c) { s_ += c; return *this; }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, LPCSTR right) { return left += right; }
    friend CString operator+(LPCSTR left, const CString& right) { return CString(left) += right; }
    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator!=(const CString& a, const CString& b) { return a.s_ != b.s_; }

    // printf rules; the result may be of any length.
    void Format(LPCSTR format, ...);
    // Loads string `id` of the string table in the resource module; FALSE (and empty) when missing.
    BOOL LoadString(UINT id);

private:
    std::string s_;
};

// The module whose resources the framework reads (the executable itself).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
