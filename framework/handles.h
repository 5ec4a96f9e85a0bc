// The owner of a kernel handle. It closes what it holds when it goes out of scope, so every return
// path (and an exception) gives back what was taken. Copying is deleted.
#pragma once

#include <windows.h>

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
