// Reads one string value (such as "FileVersion") from the version resource of a file and packs a
// dotted or comma-separated version text into one number that orders by unsigned comparison.
#pragma once

#include <windows.h>

#include <cstddef>

// One byte per component: bits 31-24 the first (major), down to bits 7-0 the fourth. 0 also stands
// for "no version information".
typedef DWORD PackedVersion;

// The value that installed copies are compared by.
const char kFileVersionKey[] = "FileVersion";

// Copies the value `key` of the file's first translation into `outText` (at most outTextSize - 1
// characters and a NUL) and, when `outPacked` is given, stores its packed form there (0 on any
// failure). Returns the number of characters copied; 0 without a text buffer or when not found.
int QueryVersionValue(LPCSTR fileName, LPCSTR key, LPSTR outText, int outTextSize, PackedVersion* outPacked);

// The same lookup in a version-information block already read into memory. The block must be
// writable: the system's ANSI lookup converts texts into the spare room at its end.
int QueryVersionBlock(void* block, DWORD blockSize, LPCSTR key, LPSTR outText, int outTextSize,
                      PackedVersion* outPacked);

// Packs the first `length` characters of `text`: pieces split at "." and ",", each read like the
// C library's %i conversion (blanks skipped, sign, 0x hexadecimal, leading-zero octal), at most four
// pieces, the low byte of each, missing components zero at the low end. An empty or unreadable piece
// ends the reading.
PackedVersion PackVersionText(const char* text, size_t length);
