// The figures' pictures, as 32-bit pixels with the background key colour turned transparent. Each
// comes from the installed bitmap when that file is whole and of the right size; otherwise a
// stand-in is drawn, so a damaged or missing file never stops the show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout.h"
#include "scene.h"

// 0xAARRGGBB; alpha is 0 (see-through) or 255.
struct Sprite {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool fromFile = false;

    bool empty() const { return pixels.empty(); }
    Sprite Mirrored() const;
    // The picture at another size (nearest pixel: keyed edges stay sharp).
    Sprite Resized(int newWidth, int newHeight) const;
};

struct SpriteSet {
    Sprite ghost, ghostLeft;
    Sprite skeleton, skeletonLeft;
    Sprite pumpkins[Scene::kPumpkinVariants];
};

// The folder the setup installs the pictures and the sound into: <Windows>\marigoldfiles.
std::string AssetFolder();

// Loads folder\name when it is a usable width x height bitmap; empty otherwise.
Sprite LoadSpriteFile(const std::string& path, int width, int height);
// The pictures from `folder` (made at the default FigureSizes) at `sizes`; stand-ins where a file
// is missing or damaged.
SpriteSet LoadSprites(const std::string& folder, const FigureSizes& sizes);
