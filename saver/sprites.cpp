#include "sprites.h"

#include <windows.h>

#include <algorithm>

#include "bitmap_file.h"
#include "dib.h"
#include "gdi.h"
#include "handles.h"
#include "heap.h"
#include "paint.h"
#include "installed_files.h"
#include "paths.h"

namespace {

const std::uint32_t kOpaque = 0xFF000000u;
const DWORD kLargestAsset = 4 * 1024 * 1024;  // far above any of ours; bigger files are not read

// The key colour is pure magenta; the tolerance also clears the odd near-magenta edge pixel a
// paint program leaves behind.
bool IsKeyColour(std::uint32_t rgb)
{
    const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r >= 0xF0 && b >= 0xF0 && g <= 0x20;
}

// The whole file in `bytes`, when it is there and not too large to be one of ours.
bool ReadSmallFile(LPCSTR path, HeapBlock& bytes, DWORD& size)
{
    UniqueHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid()) return false;
    size = ::GetFileSize(file.get(), NULL);
    if (size == INVALID_FILE_SIZE || size > kLargestAsset) return false;
    bytes.reset(size + 1);
    DWORD got = 0;
    return bytes && ::ReadFile(file.get(), bytes.get(), size, &got, NULL) && got == size;
}

// A width x height sprite with room for its pixels; empty when there is no memory for them.
Sprite BlankSprite(int width, int height)
{
    Sprite sprite;
    if (!sprite.pixels.resize(static_cast<size_t>(width) * height)) return sprite;
    sprite.width = width;
    sprite.height = height;
    return sprite;
}

// 32-bit pixels as a sprite's, the key colour made see-through.
void KeyOut(const std::uint32_t* bits, Sprite& sprite)
{
    for (size_t i = 0; i < sprite.pixels.size(); ++i) {
        const std::uint32_t rgb = bits[i] & 0xFFFFFFu;
        sprite.pixels[i] = IsKeyColour(rgb) ? 0 : (rgb | kOpaque);
    }
}

// The file at `path` when it is a usable width x height bitmap; empty otherwise.
Sprite LoadSpriteFile(LPCSTR path, int width, int height)
{
    HeapBlock bytes(0);
    DWORD size = 0;
    if (!ReadSmallFile(path, bytes, size) || !IsUsableBitmapFile(static_cast<const unsigned char*>(bytes.get()), size, width, height))
        return Sprite();
    GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        ::LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!loaded) return Sprite();
    BITMAP shape = {};
    if (!::GetObjectA(loaded.get(), sizeof(shape), &shape) || shape.bmWidth != width || shape.bmHeight != height)
        return Sprite();

    // Read back as 32-bit top-down rows, whatever the file's depth (a palette is applied here).
    DibInfo info = TopDownDibInfo(width, height, 32);
    Sprite sprite = BlankSprite(width, height);
    if (sprite.empty()) return sprite;
    WindowDC screen(NULL);
    const int rows = ::GetDIBits(screen.get(), loaded.get(), 0, static_cast<UINT>(height), sprite.pixels.data(), info.get(), DIB_RGB_COLORS);
    if (rows != height) return Sprite();
    KeyOut(sprite.pixels.data(), sprite);
    return sprite;
}

// Draws with GDI on a magenta card, then keys the card out like a loaded bitmap.
template <class Paint>
Sprite DrawStandIn(int width, int height, Paint paint)
{
    void* bits = nullptr;
    GdiObject<HBITMAP> card(MakeTopDownDib(width, height, 32, &bits));
    MemoryDC dc(NULL);
    Sprite sprite = BlankSprite(width, height);
    if (!bits || !dc || sprite.empty()) return Sprite();
    {
        SelectedObject selected(dc.get(), card.get());
        RECT all = {0, 0, width, height};
        GdiObject<HBRUSH> key(::CreateSolidBrush(RGB(255, 0, 255)));
        ::FillRect(dc.get(), &all, key.get());
        paint(dc.get(), width, height);
        ::GdiFlush();
    }
    KeyOut(static_cast<const std::uint32_t*>(bits), sprite);
    return sprite;
}

void PaintPumpkin(HDC dc, int w, int h, int variant)
{
    const int top = h / 6;
    {
        SolidPaint paint(dc, variant == 1 ? RGB(236, 120, 20) : RGB(250, 140, 24), RGB(170, 70, 10));
        ::Ellipse(dc, 1, top, w - 1, h - 1);
        ::Ellipse(dc, w / 4, top, w - w / 4, h - 1);  // the middle rib
    }
    {
        SolidPaint stem(dc, RGB(60, 120, 40), RGB(40, 80, 20));
        ::Rectangle(dc, w / 2 - 2, 0, w / 2 + 3, top + 2);
    }
    if (variant == 2) {  // a lantern face, lit from inside
        const COLORREF glow = RGB(255, 230, 90);
        SolidPaint paint(dc, glow, glow);
        const POINT leftEye[] = {{w * 3 / 10, h * 4 / 10}, {w * 4 / 10, h * 4 / 10}, {w * 7 / 20, h * 3 / 10}};
        const POINT rightEye[] = {{w * 6 / 10, h * 4 / 10}, {w * 7 / 10, h * 4 / 10}, {w * 13 / 20, h * 3 / 10}};
        const POINT mouth[] = {{w / 4, h * 6 / 10}, {w * 3 / 4, h * 6 / 10}, {w * 6 / 10, h * 8 / 10}, {w / 2, h * 7 / 10},
                               {w * 4 / 10, h * 8 / 10}};
        ::Polygon(dc, leftEye, 3);
        ::Polygon(dc, rightEye, 3);
        ::Polygon(dc, mouth, 5);
    }
}

void PaintGhost(HDC dc, int w, int h)
{
    {
        SolidPaint sheet(dc, RGB(236, 240, 255), RGB(200, 210, 240));
        const int left = w / 5, right = w - w / 5;
        ::Ellipse(dc, left, 2, right, h * 6 / 10);
        // The hem: a sheet ending in four waves.
        POINT hem[12];
        int n = 0;
        hem[n++] = {left, h * 3 / 10};
        hem[n++] = {right, h * 3 / 10};
        for (int i = 0; i <= 8; ++i) {
            const int x = right - (right - left) * i / 8;
            hem[n++] = {x, i % 2 ? h - 2 : h - h / 8};
            if (n == 12) break;
        }
        ::Polygon(dc, hem, n);
    }
    const COLORREF dark = RGB(20, 20, 40);
    SolidPaint face(dc, dark, dark);
    const int eyeW = w / 12, eyeH = h / 7;
    ::Ellipse(dc, w * 2 / 5 - eyeW, h / 4, w * 2 / 5, h / 4 + eyeH);
    ::Ellipse(dc, w * 3 / 5, h / 4, w * 3 / 5 + eyeW, h / 4 + eyeH);
    ::Ellipse(dc, w / 2 - eyeW / 2, h / 4 + eyeH + 4, w / 2 + eyeW / 2, h / 4 + eyeH * 2 + 2);  // the mouth
}

void PaintSkeleton(HDC dc, int w, int h)
{
    const COLORREF bone = RGB(235, 232, 220), socket = RGB(20, 20, 30);
    const int cx = w / 2, skull = h / 5;
    {
        SolidPaint paint(dc, bone, bone);
        ::Ellipse(dc, cx - skull / 2 - 2, 1, cx + skull / 2 + 2, skull + 3);
    }
    {
        SolidPaint paint(dc, socket, socket);
        ::Ellipse(dc, cx - skull / 3, skull / 3, cx - 1, skull * 2 / 3);
        ::Ellipse(dc, cx + 1, skull / 3, cx + skull / 3, skull * 2 / 3);
    }
    const int hips = h * 6 / 10;
    DrawLine(dc, bone, 3, cx, skull + 3, cx, hips);
    for (int i = 0; i < 3; ++i) {
        const int y = skull + 8 + i * (hips - skull - 8) / 4;
        DrawLine(dc, bone, 2, cx - w / 8, y, cx + w / 8, y);
    }
    DrawLine(dc, bone, 3, cx, skull + 8, cx - w / 4, hips - 4);
    DrawLine(dc, bone, 3, cx, skull + 8, cx + w / 4, skull - 2);  // waving
    DrawLine(dc, bone, 3, cx, hips, cx - w / 6, h - 2);
    DrawLine(dc, bone, 3, cx, hips, cx + w / 6, h - 2);
}

}  // namespace

Sprite Sprite::Mirrored() const
{
    Sprite mirror = BlankSprite(width, height);
    if (mirror.empty()) return mirror;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mirror.pixels[static_cast<size_t>(y) * width + x] = pixels[static_cast<size_t>(y) * width + (width - 1 - x)];
    return mirror;
}

Sprite Sprite::Resized(int newWidth, int newHeight) const
{
    if (empty()) return Sprite();
    Sprite resized = BlankSprite(std::max(1, newWidth), std::max(1, newHeight));
    if (resized.empty()) return resized;
    for (int y = 0; y < resized.height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * height / resized.height);
        for (int x = 0; x < resized.width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * width / resized.width);
            resized.pixels[static_cast<size_t>(y) * resized.width + x] = pixels[static_cast<size_t>(sy) * width + sx];
        }
    }
    return resized;
}

CString AssetFolder()
{
    const CString windows = WindowsDirectory();
    return windows.IsEmpty() ? CString() : WithTrailingBackslash(AssetFolderIn(windows));
}

bool SpriteSet::complete() const
{
    for (const Sprite& pumpkin : pumpkins)
        if (pumpkin.empty()) return false;
    return !ghost.empty() && !ghostLeft.empty() && !skeleton.empty() && !skeletonLeft.empty();
}

SpriteSet LoadSprites(LPCSTR folder, const FigureSizes& sizes)
{
    SpriteSet set;
    const FigureSizes files;  // the size each picture file is made at
    // A picture from its file, at the size the scene wants; a stand-in drawn at that size without one.
    // (The path is put together without the heap: this runs in the window procedure, where nothing
    // may be raised.)
    auto load = [&](const char* name, const FigureSize& made, const FigureSize& wanted) {
        char path[MAX_PATH];
        const bool named = folder && *folder && ::lstrlenA(folder) + ::lstrlenA(name) < MAX_PATH;
        if (named) ::lstrcatA(::lstrcpyA(path, folder), name);
        Sprite sprite = named ? LoadSpriteFile(path, made.width, made.height) : Sprite();
        if (!sprite.empty() && (made.width != wanted.width || made.height != wanted.height))
            sprite = sprite.Resized(wanted.width, wanted.height);
        return sprite;
    };
    const int gw = sizes.ghost.width, gh = sizes.ghost.height;
    const int sw = sizes.skeleton.width, sh = sizes.skeleton.height;
    const int pw = sizes.pumpkin.width, ph = sizes.pumpkin.height;

    set.ghost = load(GHOST_FILE_NAME, files.ghost, sizes.ghost);
    if (set.ghost.empty()) set.ghost = DrawStandIn(gw, gh, PaintGhost);
    set.skeleton = load(SKELETON_FILE_NAME, files.skeleton, sizes.skeleton);
    if (set.skeleton.empty()) set.skeleton = DrawStandIn(sw, sh, PaintSkeleton);
    const char* const pumpkinFiles[Scene::kPumpkinVariants] = {PUMPKIN1_FILE_NAME, PUMPKIN2_FILE_NAME, PUMPKIN3_FILE_NAME};
    for (int i = 0; i < Scene::kPumpkinVariants; ++i) {
        set.pumpkins[i] = load(pumpkinFiles[i], files.pumpkin, sizes.pumpkin);
        if (set.pumpkins[i].empty())
            set.pumpkins[i] = DrawStandIn(pw, ph, [i](HDC dc, int w, int h) { PaintPumpkin(dc, w, h, i); });
    }
    // The pictures face right; walking or drifting left shows them mirrored.
    set.ghostLeft = set.ghost.Mirrored();
    set.skeletonLeft = set.skeleton.Mirrored();
    return set;
}
