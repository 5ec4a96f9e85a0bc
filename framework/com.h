// Owners of COM resources.
#pragma once

#include <windows.h>
#include <objbase.h>

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

private:
    bool started_ = false;
};
