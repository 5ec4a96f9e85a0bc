// Checks a .bmp file's bytes before Windows is asked to load it: a damaged or truncated file must
// leave its figure out, not make LoadImage read past the end of what is there.
#pragma once

#include <cstddef>

// True when `data` is a complete, uncompressed Windows bitmap of exactly width x height pixels
// with 8, 24 or 32 bits per pixel (8 bits with its palette).
bool IsUsableBitmapFile(const unsigned char* data, std::size_t size, int width, int height);
