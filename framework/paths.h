// Folders as the system names them, names joined to them with exactly one backslash, and whether two
// paths name the same place.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "heap.h"

// `folder` with exactly one backslash at its end ("C:\windows" and "C:\" alike).
CString WithTrailingBackslash(LPCSTR folder);

// The Windows directory, with a backslash at its end; empty when the system cannot give it.
CString WindowsDirectory();

// The system directory (for a 32-bit program on 64-bit Windows the one the system gives it), with a
// backslash at its end; empty when the system cannot give it.
CString SystemDirectory();

// `path` made whole (from the current drive and folder, "." and ".." resolved, "/" read as "\"),
// however long; empty when the system cannot make it. Nothing on the disk is asked.
CString FullPath(LPCSTR path);

// Whether `a` and `b` (neither NULL) name the same place: each taken as its full path (FullPath), in
// its long form where it exists on the disk (an 8.3 spelling of a folder or file is its long name; a
// path that is not there, or not all of it, is taken as it is spelt), and compared as the file system
// compares names: their UTF-16 forms character by character, case ignored. A backslash at the end
// makes no difference. false when either is empty or cannot be made whole. Links are not followed: a
// link and its target are two places.
bool SamePath(LPCSTR a, LPCSTR b);

// `text` (system code page) as UTF-16 with its terminator, for the calls that take wide names; false
// when it cannot be converted or there is no memory for it.
bool ToWide(LPCSTR text, HeapBlock& wide);
