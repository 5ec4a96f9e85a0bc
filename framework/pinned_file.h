// A file in a folder the user can change, reached only where its name says. Any program the user runs
// can turn the file, or a folder above it, into a link to some other place, and swap it at any moment;
// whoever writes or deletes by path then acts on the link's target. So the file is opened once, its
// handle is checked (the path the system reached is exactly the folder and the name, the file is no
// link itself and has no second name), and it is read, written and deleted only through that handle.
#pragma once

#include <windows.h>

#include "handles.h"
#include "heap.h"

class PinnedFile {
public:
    enum OpenResult { pinnedOpen, pinnedAbsent, pinnedElsewhere, pinnedFailed };

    PinnedFile() = default;
    PinnedFile(const PinnedFile&) = delete;
    PinnedFile& operator=(const PinnedFile&) = delete;

    // `name` in `folder` (the folder as the system reported it), for reading and deleting.
    // pinnedElsewhere: a link led somewhere else, and nothing was done there.
    OpenResult OpenExisting(LPCSTR folder, LPCSTR name);
    // The same for writing, made when there is none; a file that is there stays as it is until written.
    // No file is ever made anywhere but in `folder` itself.
    OpenResult OpenForWriting(LPCSTR folder, LPCSTR name);

    // The whole file; FALSE when it is longer than `limit` bytes or cannot be read.
    BOOL ReadAll(HeapArray<char>& bytes, DWORD limit) const;
    // Makes `data` the whole of the file.
    BOOL Replace(const void* data, DWORD size);
    // The file goes when it is closed (a read-only one stays: FALSE).
    BOOL Delete();

private:
    UniqueHandle file_;
};

// Writes `data` as the whole of `name` in `folder` through a PinnedFile; FALSE when nothing or not all
// of it was written there.
BOOL WritePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size);
