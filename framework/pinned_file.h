// A file in a folder the user can change, reached only where its name says. Any program the user runs
// can turn the file, or the folder, into a link to some other place, and swap it at any moment;
// whoever writes or deletes by path then acts on the link's target. So the folder is opened and
// checked first (no link in its place, and it is where the system names it), the file is opened by its
// name inside that very folder handle, its own handle is checked (no link in its place, no second name,
// and it lies in the folder), and it is read, written and deleted only through that handle.
#pragma once

#include <windows.h>

#include "handles.h"
#include "heap.h"

// Whether an entry with `attributes` stands for another name: a reparse point whose tag is a name
// surrogate (a symbolic link, a junction). Other reparse points, such as a file kept in the cloud, are
// files like any other. A tag that could not be read counts as a link.
bool IsLinkEntry(DWORD attributes, bool tagKnown, DWORD tag);

class PinnedFile {
public:
    enum class OpenResult { open, absent, elsewhere, failed };

    PinnedFile() = default;
    PinnedFile(const PinnedFile&) = delete;
    PinnedFile& operator=(const PinnedFile&) = delete;

    // `name` in `folder` (the folder as the system reported it, in any spelling of it), for reading and
    // deleting. elsewhere: a link led somewhere else, and nothing was done there.
    OpenResult OpenExisting(LPCSTR folder, LPCSTR name);
    // The same for writing, made when there is none; a file that is there stays as it is until written.
    // No file is ever made anywhere but in `folder` itself.
    OpenResult OpenForWriting(LPCSTR folder, LPCSTR name);

    // The whole file; false when it is longer than `limit` bytes or cannot be read.
    bool ReadAll(HeapArray<char>& bytes, DWORD limit) const;
    // Makes `data` the whole of the file.
    bool Replace(const void* data, DWORD size);
    // The file goes when it is closed (a read-only one stays: false).
    bool Delete();

private:
    UniqueHandle file_;
};

// Writes `data` as the whole of `name` in `folder` through a PinnedFile; false when nothing or not all
// of it was written there.
bool WritePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size);

enum class PinnedRemoval {
    absent,      // nothing of that name there
    removed,
    changed,     // not exactly the bytes given, or reached through a link: left alone
    notRemoved,  // it could not be opened or deleted
};

// Deletes `name` in `folder` through a PinnedFile when it holds exactly the `size` bytes of `data`;
// anything else is left as it is, its bytes only compared.
PinnedRemoval RemovePinnedFile(LPCSTR folder, LPCSTR name, const void* data, DWORD size);
