// Texts the system writes into a buffer the caller gives it (paths, strings), however long they are.
#pragma once

#include <windows.h>

#include "cstring.h"

// How such a call answers, given `size` characters of room at `buffer`: the text's length (less than
// `size`) when it fitted; otherwise the room it needs, its terminator counted, and the buffer holds
// nothing to use; 0 when it gives nothing. `context` is the caller's.
typedef DWORD (*SystemTextQuery)(const void* context, LPSTR buffer, DWORD size);

// The answer may grow between two calls (the file renamed or replaced meanwhile): a few rounds settle
// it, more would mean something keeps changing it.
const int kSystemTextAttempts = 3;

// The text `query` gives: asked with `size` characters of room, then again with the room it asks for,
// at most `attempts` times in all. Empty when it gives nothing, keeps asking for more, or the room
// cannot be had.
CString SystemText(SystemTextQuery query, const void* context, DWORD size, int attempts);

// The same for a callable `query(buffer, size)` that answers as SystemTextQuery does.
template <class Query>
CString SystemText(const Query& query, DWORD size = MAX_PATH, int attempts = kSystemTextAttempts)
{
    const SystemTextQuery call = [](const void* context, LPSTR buffer, DWORD room) -> DWORD {
        return (*static_cast<const Query*>(context))(buffer, room);
    };
    return SystemText(call, &query, size, attempts);
}
