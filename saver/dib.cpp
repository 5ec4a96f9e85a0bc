#include "dib.h"

DibInfo TopDownDibInfo(int width, int height, int bitsPerPixel, const DWORD* masks)
{
    DibInfo info = {};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = masks ? BI_BITFIELDS : BI_RGB;
    for (int i = 0; masks && i < 3; ++i) info.masks[i] = masks[i];
    return info;
}

HBITMAP MakeTopDownDib(int width, int height, int bitsPerPixel, void** bits, const DWORD* masks)
{
    DibInfo info = TopDownDibInfo(width, height, bitsPerPixel, masks);
    *bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(NULL, info.get(), DIB_RGB_COLORS, bits, NULL, 0);
    if (!bitmap) *bits = nullptr;
    return bitmap;
}
