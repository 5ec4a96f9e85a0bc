#include "system_text.h"

#include "heap.h"

CString SystemText(SystemTextQuery query, const void* context, DWORD size, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        HeapBlock buffer(size);
        const LPSTR text = static_cast<LPSTR>(buffer.get());
        if (!text) break;
        const DWORD length = query(context, text, size);
        if (length == 0) break;
        if (length < size) return CString(text, static_cast<int>(length));
        size = length;
    }
    return CString();
}
