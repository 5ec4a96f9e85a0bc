#include "cstring.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
HINSTANCE g_resourceModule = NULL;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceModule ? g_resourceModule : ::GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int needed = std::vsnprintf(NULL, 0, format, sizing);
    va_end(sizing);
    if (needed < 0) {
        s_.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        s_.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id)
{
    // LoadStringA truncates silently, so grow the buffer until the text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) {
            s_.clear();
            return FALSE;
        }
        if (static_cast<size_t>(length) < buffer.size() - 1) {
            s_.assign(buffer.data(), static_cast<size_t>(length));
            return TRUE;
        }
        buffer.resize(buffer.size() * 2);
    }
}
