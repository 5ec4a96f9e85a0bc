// Device-independent bitmaps as the saver works on them: rows from the top down, so that row y of
// the pixels is line y of the picture.
#pragma once

#include <windows.h>

// The header of such a bitmap, as the BITMAPINFO that CreateDIBSection and GetDIBits take. Without
// masks the pixels are the system's own for their depth (32 bits: 0x00RRGGBB); with them, each
// pixel's red, green and blue are the bits of masks[0], [1] and [2].
struct DibInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];

    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

DibInfo TopDownDibInfo(int width, int height, int bitsPerPixel, const DWORD* masks = nullptr);

// A DIB section of that kind; NULL (and *bits null) when it cannot be had.
HBITMAP MakeTopDownDib(int width, int height, int bitsPerPixel, void** bits, const DWORD* masks = nullptr);
