// Draws the night into a frame buffer (a DIB section) and hands finished frames to a window.
// The background is painted once; each frame only the figures are taken off (from the pixels saved
// beneath them) and put on again at their new places, and only those places are copied to the
// window. That keeps a full-screen frame cheap enough for a screen saver that "pauses nothing".
// Pixels are 16 bits (5-6-5), dithered where colours blend: half the memory of 32 bits, one buffer
// per monitor.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi.h"
#include "heap.h"
#include "layout.h"
#include "scene.h"
#include "sprites.h"

typedef std::uint16_t FramePixel;

// A frame's pixels, rows from the top down; a row is `stride` pixels long (rows of a DIB section are
// whole 32-bit words, so an odd width has one unused pixel at the end of each row).
struct FramePixels {
    FramePixel* bits;
    int width, height, stride;
};

// The nearest frame pixel to an 0x00RRGGBB colour.
FramePixel ToFramePixel(std::uint32_t rgb);

// Draws `sprite` with its top-left corner at (x, y), clipped to the frame; alpha 255 is opaque.
// Returns the part of the frame it covers (empty when it lies wholly outside).
RECT DrawSpriteClipped(const FramePixels& frame, const Sprite& sprite, int x, int y, int alpha);

// Makes a width x height frame buffer of 16-bit pixels; NULL (and *bits null) when there is no memory
// for it.
typedef HBITMAP (*FrameBufferMaker)(int width, int height, void** bits);
HBITMAP MakeFrameBuffer(int width, int height, void** bits);

class NightRenderer {
public:
    // A frame buffer the size of the scene, with the memory the scene's busiest frame needs taken at
    // once: the show's memory is the same from its first frame to its last, and drawing a frame
    // never has to ask for more.
    NightRenderer(const Scene& scene, const SpriteSet& sprites, std::uint32_t seed,
                  FrameBufferMaker makeFrameBuffer = MakeFrameBuffer);
    ~NightRenderer();
    NightRenderer(const NightRenderer&) = delete;
    NightRenderer& operator=(const NightRenderer&) = delete;

    // False when the frame buffer or the memory beside it could not be had.
    bool ok() const { return frame_.bits != nullptr; }
    size_t bufferBytes() const { return ok() ? static_cast<size_t>(frame_.stride) * frame_.height * sizeof(FramePixel) : 0; }

    // Takes last frame's figures off and draws the scene as it is now.
    void DrawFrame(const Scene& scene);
    // Copies what changed since the last call to `area` of `target`: 1:1 where the area is the
    // frame's size, otherwise the whole frame stretched.
    void PresentChanges(HDC target, const RECT& area);
    // Copies the whole frame to `area`, stretched when the sizes differ.
    void PresentAll(HDC target, const RECT& area);

private:
    struct Patch {
        RECT rect;
        size_t offset;  // of its pixels in savedPixels_
    };
    struct Star {
        int x, y;
        int brightness;
        bool large;
        FramePixel under[9];    // the sky around it before it was drawn
        FramePixel painted[9];  // and just after
    };

    FramePixel& At(int x, int y) { return frame_.bits[static_cast<size_t>(y) * frame_.stride + x]; }
    void BlendAt(int x, int y, std::uint32_t rgb, int alpha);

    void PaintBackground();
    void PaintSky();
    void ScatterStars();
    void PaintMoon();
    void PaintStar(const Star& star, int brightness);
    void CopyAround(const Star& star, FramePixel* out) const;
    void PutAround(const Star& star, const FramePixel* in);
    void PaintMist();
    void Twinkle();

    bool Clip(RECT& rect) const;
    bool Save(RECT rect);
    void RestoreAll();
    void MarkDirty(const RECT& rect);
    bool ReserveForBusiestFrame(const Scene& scene);
    void DrawSprite(const Sprite& sprite, int x, int y, int alpha);
    void DrawSquashed(const Sprite& sprite, int x, int y, double squash);
    void DrawPumpkin(const Scene& scene, const Pumpkin& pumpkin);
    void DrawBurst(const Scene& scene, const Pumpkin& pumpkin);
    void FillBlend(RECT rect, std::uint32_t rgb, int alpha);
    void DrawFlash(int cx, int cy, int radius, int strength);

    SceneGeometry geometry_;
    const SpriteSet& sprites_;
    Random random_;
    // The DC goes before the bitmap it holds, also when a constructor fails half way.
    GdiObject<HBITMAP> bitmap_;
    MemoryDC dc_;
    HGDIOBJ oldBitmap_ = NULL;
    FramePixels frame_ = {nullptr, 0, 0, 0};
    HeapArray<Star> stars_;
    // What lies beneath this frame's figures, in drawing order, with all their pixels in one block
    // the size of the busiest frame the scene can make (a block per figure would each grow to the
    // largest figure that ever had its place in the order).
    HeapArray<Patch> saved_;
    HeapArray<FramePixel> savedPixels_;
    size_t savedUsed_ = 0;
    HeapArray<RECT> dirty_;
    HeapArray<RECT> merged_;  // dirty_ with what overlaps merged, as copied to the window
    struct Item {
        double bottom;
        const Pumpkin* pumpkin;  // null: the skeleton
    };
    HeapArray<Item> items_;  // this frame's figures in drawing order
};
