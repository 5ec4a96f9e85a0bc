// Draws the night into a 32-bit frame buffer (a DIB section) and hands finished frames to a window.
// The background is painted once; each frame only the figures are taken off (from the pixels saved
// beneath them) and put on again at their new places, and only those places are copied to the
// window. That keeps a full-screen frame cheap enough for a screen saver that "pauses nothing".
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "handles.h"
#include "scene.h"
#include "sprites.h"

class NightRenderer {
public:
    NightRenderer(int width, int height, const SpriteSet& sprites, std::uint32_t seed);
    NightRenderer(const NightRenderer&) = delete;
    NightRenderer& operator=(const NightRenderer&) = delete;

    bool ok() const { return bits_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Takes last frame's figures off and draws the scene as it is now.
    void DrawFrame(const Scene& scene);
    // Copies what changed since the last call, 1:1, to `target`.
    void PresentChanges(HDC target);
    // Copies the whole frame, stretched to targetWidth x targetHeight when that differs.
    void PresentAll(HDC target, int targetWidth, int targetHeight);

private:
    struct Patch {
        RECT rect;
        std::vector<std::uint32_t> pixels;
    };
    struct Star {
        int x, y;
        int brightness;
        bool large;
        std::uint32_t under[9];    // the sky around it before it was drawn
        std::uint32_t painted[9];  // and just after
    };

    void PaintBackground();
    void PaintSky();
    void PaintMoon(int cx, int cy, int radius);
    void PaintStar(const Star& star, int brightness);
    void CopyAround(const Star& star, std::uint32_t* out) const;
    void PutAround(const Star& star, const std::uint32_t* in);
    void PaintGraveyard();
    void Twinkle();

    bool Clip(RECT& rect) const;
    void Save(RECT rect);
    void RestoreAll();
    void MarkDirty(const RECT& rect);
    void DrawSprite(const Sprite& sprite, int x, int y, int alpha);
    void DrawSquashed(const Sprite& sprite, int x, int y, double squash);
    void DrawBurst(const Scene& scene, const Pumpkin& pumpkin);
    void FillBlend(RECT rect, std::uint32_t rgb, int alpha);
    void DrawFlash(int cx, int cy, int radius, int strength);

    std::uint32_t Random();

    int width_, height_;
    const SpriteSet& sprites_;
    std::uint32_t random_;
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ oldBitmap_ = NULL;
    std::uint32_t* bits_ = nullptr;
    std::vector<Star> stars_;
    std::vector<Patch> saved_;  // pixels beneath this frame's figures, in drawing order
    size_t savedCount_ = 0;     // saved_ keeps its buffers between frames
    std::vector<RECT> dirty_;
    bool firstFrame_ = true;

public:
    ~NightRenderer();
};
