#include "sprites.h"

#include <windows.h>

#include <algorithm>

#include "bitmap_file.h"
#include "handles.h"
#include "paths.h"
#include "product.h"

namespace {

// 32 bits per pixel, rows from the top down: the layout every picture is worked on in.
BITMAPINFO TopDown32BitInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

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
    UniqueFileHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid()) return false;
    size = ::GetFileSize(file.get(), NULL);
    if (size == INVALID_FILE_SIZE || size > kLargestAsset) return false;
    bytes.reset(size + 1);
    DWORD got = 0;
    return bytes && ::ReadFile(file.get(), bytes.get(), size, &got, NULL) && got == size;
}

// 32-bit top-down DIB section, for reading bitmaps back and for drawing stand-ins with GDI.
struct DibSection {
    GdiObject<HBITMAP> bitmap;
    std::uint32_t* bits = nullptr;

    DibSection(int width, int height)
    {
        BITMAPINFO info = TopDown32BitInfo(width, height);
        void* p = nullptr;
        bitmap.reset(::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &p, NULL, 0));
        bits = bitmap ? static_cast<std::uint32_t*>(p) : nullptr;
    }
};

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

// Draws with GDI on a magenta card, then keys the card out like a loaded bitmap.
template <class Paint>
Sprite DrawStandIn(int width, int height, Paint paint)
{
    DibSection dib(width, height);
    MemoryDC dc(NULL);
    Sprite sprite = BlankSprite(width, height);
    if (!dib.bits || !dc || sprite.empty()) return Sprite();
    {
        SelectedObject selected(dc.get(), dib.bitmap.get());
        RECT all = {0, 0, width, height};
        GdiObject<HBRUSH> key(::CreateSolidBrush(RGB(255, 0, 255)));
        ::FillRect(dc.get(), &all, key.get());
        paint(dc.get(), width, height);
        ::GdiFlush();
    }
    KeyOut(dib.bits, sprite);
    return sprite;
}

void FillShape(HDC dc, COLORREF fill, COLORREF outline, int penWidth, void (*shape)(HDC, const int*), const int* args)
{
    GdiObject<HBRUSH> brush(::CreateSolidBrush(fill));
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, outline));
    SelectedObject b(dc, brush.get());
    SelectedObject p(dc, pen.get());
    shape(dc, args);
}

void EllipseShape(HDC dc, const int* a) { ::Ellipse(dc, a[0], a[1], a[2], a[3]); }
void RectShape(HDC dc, const int* a) { ::Rectangle(dc, a[0], a[1], a[2], a[3]); }

void Line(HDC dc, COLORREF colour, int penWidth, int x1, int y1, int x2, int y2)
{
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, penWidth, colour));
    SelectedObject p(dc, pen.get());
    ::MoveToEx(dc, x1, y1, NULL);
    ::LineTo(dc, x2, y2);
}

void PaintPumpkin(HDC dc, int w, int h, int variant)
{
    const COLORREF body = variant == 1 ? RGB(236, 120, 20) : RGB(250, 140, 24);
    const COLORREF rib = RGB(170, 70, 10);
    const int top = h / 6;
    const int outer[] = {1, top, w - 1, h - 1};
    FillShape(dc, body, rib, 1, EllipseShape, outer);
    const int inner[] = {w / 4, top, w - w / 4, h - 1};
    FillShape(dc, body, rib, 1, EllipseShape, inner);
    const int stem[] = {w / 2 - 2, 0, w / 2 + 3, top + 2};
    FillShape(dc, RGB(60, 120, 40), RGB(40, 80, 20), 1, RectShape, stem);
    if (variant == 2) {  // a lantern face, lit from inside
        const COLORREF glow = RGB(255, 230, 90);
        GdiObject<HBRUSH> brush(::CreateSolidBrush(glow));
        GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, glow));
        SelectedObject b(dc, brush.get());
        SelectedObject p(dc, pen.get());
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
    const COLORREF sheet = RGB(236, 240, 255);
    GdiObject<HBRUSH> brush(::CreateSolidBrush(sheet));
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, RGB(200, 210, 240)));
    SelectedObject b(dc, brush.get());
    SelectedObject p(dc, pen.get());
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
    const int eyeW = w / 12, eyeH = h / 7;
    const int leftEye[] = {w * 2 / 5 - eyeW, h / 4, w * 2 / 5, h / 4 + eyeH};
    const int rightEye[] = {w * 3 / 5, h / 4, w * 3 / 5 + eyeW, h / 4 + eyeH};
    const int mouth[] = {w / 2 - eyeW / 2, h / 4 + eyeH + 4, w / 2 + eyeW / 2, h / 4 + eyeH * 2 + 2};
    FillShape(dc, RGB(20, 20, 40), RGB(20, 20, 40), 1, EllipseShape, leftEye);
    FillShape(dc, RGB(20, 20, 40), RGB(20, 20, 40), 1, EllipseShape, rightEye);
    FillShape(dc, RGB(20, 20, 40), RGB(20, 20, 40), 1, EllipseShape, mouth);
}

void PaintSkeleton(HDC dc, int w, int h)
{
    const COLORREF bone = RGB(235, 232, 220);
    const int cx = w / 2, skull = h / 5;
    const int head[] = {cx - skull / 2 - 2, 1, cx + skull / 2 + 2, skull + 3};
    FillShape(dc, bone, bone, 1, EllipseShape, head);
    const int socketL[] = {cx - skull / 3, skull / 3, cx - 1, skull * 2 / 3};
    const int socketR[] = {cx + 1, skull / 3, cx + skull / 3, skull * 2 / 3};
    FillShape(dc, RGB(20, 20, 30), RGB(20, 20, 30), 1, EllipseShape, socketL);
    FillShape(dc, RGB(20, 20, 30), RGB(20, 20, 30), 1, EllipseShape, socketR);
    const int hips = h * 6 / 10;
    Line(dc, bone, 3, cx, skull + 3, cx, hips);
    for (int i = 0; i < 3; ++i) {
        const int y = skull + 8 + i * (hips - skull - 8) / 4;
        Line(dc, bone, 2, cx - w / 8, y, cx + w / 8, y);
    }
    Line(dc, bone, 3, cx, skull + 8, cx - w / 4, hips - 4);
    Line(dc, bone, 3, cx, skull + 8, cx + w / 4, skull - 2);  // waving
    Line(dc, bone, 3, cx, hips, cx - w / 6, h - 2);
    Line(dc, bone, 3, cx, hips, cx + w / 6, h - 2);
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
    return windows.IsEmpty() ? CString() : WithTrailingBackslash(windows + kAssetFolder);
}

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
    BITMAPINFO info = TopDown32BitInfo(width, height);
    Sprite sprite = BlankSprite(width, height);
    if (sprite.empty()) return sprite;
    WindowDC screen(NULL);
    const int rows = ::GetDIBits(screen.get(), loaded.get(), 0, static_cast<UINT>(height), sprite.pixels.data(), &info, DIB_RGB_COLORS);
    if (rows != height) return Sprite();
    KeyOut(sprite.pixels.data(), sprite);
    return sprite;
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
    const CString base = folder && *folder ? WithTrailingBackslash(folder) : CString();
    const FigureSizes files;  // the size each picture file is made at
    // A picture from its file, at the size the scene wants; a stand-in drawn at that size without one.
    auto load = [&](const char* name, const FigureSize& made, const FigureSize& wanted) {
        Sprite sprite = base.IsEmpty() ? Sprite() : LoadSpriteFile(base + name, made.width, made.height);
        if (!sprite.empty() && (made.width != wanted.width || made.height != wanted.height))
            sprite = sprite.Resized(wanted.width, wanted.height);
        return sprite;
    };
    const int gw = sizes.ghost.width, gh = sizes.ghost.height;
    const int sw = sizes.skeleton.width, sh = sizes.skeleton.height;
    const int pw = sizes.pumpkin.width, ph = sizes.pumpkin.height;

    set.ghost = load("ghost.bmp", files.ghost, sizes.ghost);
    if (set.ghost.empty()) set.ghost = DrawStandIn(gw, gh, PaintGhost);
    set.skeleton = load("skeleton.bmp", files.skeleton, sizes.skeleton);
    if (set.skeleton.empty()) set.skeleton = DrawStandIn(sw, sh, PaintSkeleton);
    const char* const pumpkinFiles[Scene::kPumpkinVariants] = {"pumpkin1.bmp", "pumpkin2.bmp", "pumpkin3.bmp"};
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
