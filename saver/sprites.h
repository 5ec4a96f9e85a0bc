// The figures' pictures, as 32-bit pixels with the background key colour turned transparent. Each
// comes from the installed bitmap when that file is whole and of the right size; otherwise a
// stand-in is drawn, so a damaged or missing file never stops the show.
#pragma once

#include <cstdint>

#include "cstring.h"
#include "heap.h"

#include "layout.h"
#include "scene.h"

// 0xAARRGGBB; alpha is 0 (see-through) or 255. Empty when its memory could not be had.
struct Sprite {
    int width = 0;
    int height = 0;
    HeapArray<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    Sprite Mirrored() const;
    // The picture at another size (nearest pixel: keyed edges stay sharp).
    Sprite Resized(int newWidth, int newHeight) const;
};

struct SpriteSet {
    Sprite ghost, ghostLeft;
    Sprite skeleton, skeletonLeft;
    Sprite pumpkins[Scene::kPumpkinVariants];

    // Every figure has its picture (false when memory ran short).
    bool complete() const;
};

// The folder the setup installs the pictures and the sound into, with a backslash at its end; empty
// when the system cannot give the Windows directory.
CString AssetFolder();

// The pictures from `folder` (with a backslash at its end, as AssetFolder gives it), made at the
// default FigureSizes, at `sizes`; stand-ins where a file is missing or damaged, and for all of them
// when `folder` is empty.
SpriteSet LoadSprites(LPCSTR folder, const FigureSizes& sizes);
