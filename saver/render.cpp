#include "render.h"

#include <algorithm>
#include <cmath>

#include "dib.h"
#include "paint.h"

namespace {

const int kTwinklesPerFrame = 3;
const int kMergeSlack = 8;  // dirty rectangles this close are copied as one
const int kPresentBand = 16;  // rows copied to the window at a time
const int kFlashFrames = 10;  // a burst pumpkin's flash grows for this many frames

struct Rgb {
    int r, g, b;
};

std::uint32_t Pack(int r, int g, int b)
{
    auto c = [](int v) { return static_cast<std::uint32_t>(std::min(255, std::max(0, v))); };
    return (c(r) << 16) | (c(g) << 8) | c(b);
}

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, int alpha)
{
    const int inv = 255 - alpha;
    const int r = (((over >> 16) & 0xFF) * alpha + ((under >> 16) & 0xFF) * inv) / 255;
    const int g = (((over >> 8) & 0xFF) * alpha + ((under >> 8) & 0xFF) * inv) / 255;
    const int b = ((over & 0xFF) * alpha + (under & 0xFF) * inv) / 255;
    return Pack(r, g, b);
}

Rgb Mix(const Rgb& a, const Rgb& b, double t)
{
    return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
            static_cast<int>(a.b + (b.b - a.b) * t)};
}

// 5-6-5 pixels: red in the top five bits, green in the middle six, blue in the low five.
const DWORD kFramePixelMasks[3] = {0xF800, 0x07E0, 0x001F};

// A 0..255 channel as one of 0..levels, rounded (threshold 16) or ordered-dithered (0..31).
int Level(int value, int levels, int threshold)
{
    return std::min(levels, (value * levels * 32 + threshold * 255) / (255 * 32));
}

FramePixel Quantize(std::uint32_t rgb, int threshold)
{
    const int r = Level((rgb >> 16) & 0xFF, 31, threshold);
    const int g = Level((rgb >> 8) & 0xFF, 63, threshold);
    const int b = Level(rgb & 0xFF, 31, threshold);
    return static_cast<FramePixel>((r << 11) | (g << 5) | b);
}

std::uint32_t FromFramePixel(FramePixel pixel)
{
    const int r = (pixel >> 11) & 31, g = (pixel >> 5) & 63, b = pixel & 31;
    return Pack((r * 255 + 15) / 31, (g * 255 + 31) / 63, (b * 255 + 15) / 31);
}

// A 4x4 ordered dither: long, gentle gradients and soft blends show no bands in 16 bits.
FramePixel Dither(std::uint32_t rgb, int x, int y)
{
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return Quantize(rgb, kBayer[y & 3][x & 3] * 2 + 1);
}

bool Touching(const RECT& a, const RECT& b)
{
    return a.left <= b.right + kMergeSlack && b.left <= a.right + kMergeSlack && a.top <= b.bottom + kMergeSlack &&
           b.top <= a.bottom + kMergeSlack;
}

// Sky colours from the top of the screen down to the horizon.
const Rgb kSkyTop = {4, 4, 18};
const Rgb kSkyMiddle = {22, 14, 52};
const Rgb kSkyHorizon = {88, 38, 64};

const COLORREF kFarHills = RGB(24, 15, 40);
const COLORREF kGround = RGB(11, 8, 19);
const COLORREF kTreeColour = RGB(7, 5, 13);
const COLORREF kStone = RGB(52, 50, 68);
const COLORREF kStoneEdge = RGB(78, 76, 98);
const COLORREF kStoneText = RGB(32, 31, 44);

const int kMostSkylineSteps = 64;

// Fills the land below a skyline down to the bottom of the picture; `skyline(u)` gives the land's top
// at u from 0 (the left edge) to 1 (the right edge), taken at `steps` even strides.
template <class Skyline>
void FillBelow(HDC dc, int width, int height, int steps, COLORREF colour, Skyline skyline)
{
    POINT land[kMostSkylineSteps + 3];
    steps = std::min(steps, kMostSkylineSteps);
    for (int i = 0; i <= steps; ++i) land[i] = {width * i / steps, skyline(static_cast<double>(i) / steps)};
    land[steps + 1] = {width, height};
    land[steps + 2] = {0, height};
    SolidPaint paint(dc, colour, colour);
    ::Polygon(dc, land, steps + 3);
}

// Far hills, then the near ground whose top is the horizon of the graveyard.
void PaintLand(HDC dc, const SceneGeometry& g)
{
    const int width = g.width, height = g.height, groundTop = g.groundTop;
    FillBelow(dc, width, height, 64, kFarHills, [height](double u) {
        return static_cast<int>(height * 0.70 + height * 0.035 * std::sin(u * 5.1 + 0.6) + height * 0.02 * std::sin(u * 13.0));
    });
    FillBelow(dc, width, height, 48, kGround, [height, groundTop](double u) {
        return groundTop + static_cast<int>(height * 0.012 * std::sin(u * 7.3 + 1.1));
    });
}

// A branch from (x, y) and, smaller and smaller, the two it forks into.
void GrowBranch(HDC dc, double x, double y, double angle, double length, int depth, Random& random)
{
    if (depth == 0 || length < 2) return;
    const double x2 = x + std::cos(angle) * length, y2 = y - std::sin(angle) * length;
    DrawLine(dc, kTreeColour, std::max(1, depth * depth / 2), static_cast<int>(x), static_cast<int>(y), static_cast<int>(x2),
             static_cast<int>(y2));
    const double spread = random.Range(0.35, 0.6);
    GrowBranch(dc, x2, y2, angle + spread, length * 0.72, depth - 1, random);
    GrowBranch(dc, x2, y2, angle - spread * 0.9, length * 0.68, depth - 1, random);
}

// A bare tree on the left; the same tree every night.
void PaintTree(HDC dc, const SceneGeometry& g)
{
    Random shape(7);
    GrowBranch(dc, g.width * 0.09, g.groundTop + g.height * 0.01, kPi / 2 + 0.08, g.height * 0.16, 7, shape);
}

// Tombstones and crosses along the ground.
void PaintStones(HDC dc, const SceneGeometry& g, Random& random)
{
    const int width = g.width, height = g.height;
    const int stoneCount = std::max(3, width / 170);
    GdiObject<HFONT> font(::CreateFontA(-std::max(8, height / 70), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                        ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman"));
    SelectedObject fontIn(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kStoneText);
    SolidPaint paint(dc, kStone, kStoneEdge, std::max(1, height / 400));
    for (int i = 0; i < stoneCount; ++i) {
        const int slot = width / stoneCount;
        const int x = slot * i + slot / 4 + static_cast<int>(random.Below(static_cast<std::uint32_t>(std::max(1, slot / 2))));
        if (x < width * 0.16 && x > width * 0.03) continue;  // the tree stands there
        const int h = height / 18 + static_cast<int>(random.Below(static_cast<std::uint32_t>(std::max(1, height / 30))));
        const int w = h * 2 / 3;
        const int base = g.groundTop + height / 80 + static_cast<int>(random.Below(static_cast<std::uint32_t>(std::max(1, height / 40))));
        if (i % 3 == 2) {
            const int t = std::max(3, w / 4);
            ::Rectangle(dc, x + w / 2 - t / 2, base - h, x + w / 2 + t / 2, base);
            ::Rectangle(dc, x + w / 8, base - h * 3 / 4, x + w - w / 8, base - h * 3 / 4 + t);
        } else {
            ::RoundRect(dc, x, base - h, x + w, base, w, w);
            RECT text = {x, base - h + h / 4, x + w, base - h / 4};
            ::DrawTextA(dc, "RIP", -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

// Two bats crossing the moon.
void PaintBats(HDC dc, const SceneGeometry& g)
{
    const COLORREF bat = RGB(8, 6, 14);
    SolidPaint paint(dc, bat, bat);
    const Moon& moon = g.moon;
    const int height = g.height;
    const int sizes[] = {std::max(6, height / 45), std::max(4, height / 70)};
    const POINT places[] = {{moon.x - height / 20, moon.y - height / 40}, {moon.x + height / 12, height / 7}};
    for (int i = 0; i < 2; ++i) {
        const int s = sizes[i];
        const int x = places[i].x, y = places[i].y;
        const POINT wings[] = {{x, y + s / 3},           {x - s / 3, y},          {x - s * 2 / 3, y - s / 4},
                               {x - s, y + s / 6},       {x - s * 2 / 3, y + s / 8}, {x - s / 3, y + s / 2},
                               {x, y + s / 2 + 1},       {x + s / 3, y + s / 2},  {x + s * 2 / 3, y + s / 8},
                               {x + s, y + s / 6},       {x + s * 2 / 3, y - s / 4}, {x + s / 3, y}};
        ::Polygon(dc, wings, 12);
    }
}

int StarCount(int width, int height) { return std::max(20, width * height / 3500); }

bool ClipTo(RECT& r, int width, int height)
{
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width);
    r.bottom = std::min<LONG>(r.bottom, height);
    return r.left < r.right && r.top < r.bottom;
}

}  // namespace

FramePixel ToFramePixel(std::uint32_t rgb) { return Quantize(rgb, 16); }

RECT DrawSpriteClipped(const FramePixels& frame, const Sprite& sprite, int x, int y, int alpha)
{
    RECT r = {x, y, x + sprite.width, y + sprite.height};
    if (sprite.empty() || alpha <= 0 || !ClipTo(r, frame.width, frame.height)) return RECT{0, 0, 0, 0};
    for (int py = r.top; py < r.bottom; ++py) {
        // Indexed from the start of each array: the part left of a clipped edge is never addressed.
        const std::uint32_t* src = sprite.pixels.data() + static_cast<size_t>(py - y) * sprite.width;
        FramePixel* dst = frame.bits + static_cast<size_t>(py) * frame.stride;
        for (int px = r.left; px < r.right; ++px) {
            const std::uint32_t s = src[px - x];
            if (!(s >> 24)) continue;
            dst[px] = alpha >= 255 ? ToFramePixel(s & 0xFFFFFFu) : Dither(Blend(FromFramePixel(dst[px]), s, alpha), px, py);
        }
    }
    return r;
}

HBITMAP MakeFrameBuffer(int width, int height, void** bits)
{
    return MakeTopDownDib(width, height, 16, bits, kFramePixelMasks);
}

NightRenderer::NightRenderer(const Scene& scene, const SpriteSet& sprites, std::uint32_t seed,
                             FrameBufferMaker makeFrameBuffer)
    : geometry_(scene.geometry()), sprites_(sprites), random_(seed), dc_(NULL)
{
    const int width = std::max(1, geometry_.width), height = std::max(1, geometry_.height);
    void* bits = nullptr;
    bitmap_.reset(makeFrameBuffer(width, height, &bits));
    if (!bitmap_ || !dc_ || !bits || !ReserveForBusiestFrame(scene)) return;
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    frame_ = {static_cast<FramePixel*>(bits), width, height, (width + 1) & ~1};
    PaintBackground();
}

NightRenderer::~NightRenderer()
{
    // The bitmap must leave the DC before either is deleted.
    if (oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
}

void NightRenderer::BlendAt(int x, int y, std::uint32_t rgb, int alpha)
{
    FramePixel& p = At(x, y);
    p = Dither(Blend(FromFramePixel(p), rgb, alpha), x, y);
}

void NightRenderer::PaintBackground()
{
    PaintSky();
    ScatterStars();
    PaintMoon();
    // GDI draws the graveyard into the frame buffer; the pixels are written directly before and after.
    HDC dc = dc_.get();
    ::GdiFlush();
    PaintLand(dc, geometry_);
    PaintTree(dc, geometry_);
    PaintStones(dc, geometry_, random_);
    PaintBats(dc, geometry_);
    ::GdiFlush();
    PaintMist();
    // Stars behind the tree or a hill stay hidden: only those still showing may twinkle.
    const Star* showing = std::remove_if(stars_.begin(), stars_.end(), [this](const Star& star) {
        FramePixel now[9];
        CopyAround(star, now);
        return !std::equal(now, now + 9, star.painted);
    });
    stars_.resize(static_cast<size_t>(showing - stars_.begin()));
}

void NightRenderer::ScatterStars()
{
    const int width = frame_.width, height = frame_.height;
    const Moon& moon = geometry_.moon;
    const int starCount = StarCount(width, height);
    for (int i = 0; i < starCount; ++i) {
        Star star;
        star.x = static_cast<int>(random_.Below(static_cast<std::uint32_t>(width)));
        star.y = static_cast<int>(random_.Below(static_cast<std::uint32_t>(std::max(1, height * 2 / 3))));
        const int dx = star.x - moon.x, dy = star.y - moon.y;
        if (dx * dx + dy * dy < 18 * moon.radius * moon.radius) continue;  // lost in the moonlight
        star.brightness = 90 + static_cast<int>(random_.Below(166));
        star.large = random_.Below(14) == 0;
        CopyAround(star, star.under);
        PaintStar(star, star.brightness);
        CopyAround(star, star.painted);
        stars_.push(star);
    }
}

void NightRenderer::CopyAround(const Star& star, FramePixel* out) const
{
    for (int i = 0; i < 9; ++i) {
        const int x = std::min(frame_.width - 1, std::max(0, star.x - 1 + i % 3));
        const int y = std::min(frame_.height - 1, std::max(0, star.y - 1 + i / 3));
        out[i] = frame_.bits[static_cast<size_t>(y) * frame_.stride + x];
    }
}

void NightRenderer::PutAround(const Star& star, const FramePixel* in)
{
    for (int i = 0; i < 9; ++i) {
        const int x = star.x - 1 + i % 3, y = star.y - 1 + i / 3;
        if (x >= 0 && y >= 0 && x < frame_.width && y < frame_.height) At(x, y) = in[i];
    }
}

void NightRenderer::PaintSky()
{
    const int height = frame_.height;
    for (int y = 0; y < height; ++y) {
        const double t = static_cast<double>(y) / height;
        const Rgb c = t < 0.5 ? Mix(kSkyTop, kSkyMiddle, t / 0.5) : Mix(kSkyMiddle, kSkyHorizon, (t - 0.5) / 0.5);
        const std::uint32_t rgb = Pack(c.r, c.g, c.b);
        for (int x = 0; x < frame_.width; ++x) At(x, y) = Dither(rgb, x, y);
    }
}

void NightRenderer::PaintStar(const Star& star, int brightness)
{
    auto put = [&](int x, int y, int level) {
        if (x >= 0 && y >= 0 && x < frame_.width && y < frame_.height) BlendAt(x, y, Pack(255, 250, 225), level);
    };
    put(star.x, star.y, brightness);
    if (star.large) {
        put(star.x - 1, star.y, brightness / 2);
        put(star.x + 1, star.y, brightness / 2);
        put(star.x, star.y - 1, brightness / 2);
        put(star.x, star.y + 1, brightness / 2);
    }
}

void NightRenderer::PaintMoon()
{
    const int cx = geometry_.moon.x, cy = geometry_.moon.y, radius = geometry_.moon.radius;
    const int reach = radius * 4;
    struct Crater {
        double dx, dy, r;
    };
    const Crater craters[] = {{-0.35, -0.25, 0.22}, {0.30, 0.10, 0.16}, {-0.05, 0.40, 0.13}, {0.15, -0.45, 0.10}};
    for (int y = std::max(0, cy - reach); y < std::min(frame_.height, cy + reach); ++y) {
        for (int x = std::max(0, cx - reach); x < std::min(frame_.width, cx + reach); ++x) {
            const double dx = x - cx, dy = y - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d <= radius) {
                const double rim = (d / radius) * (d / radius);
                double shade = 1.0 - 0.18 * rim * rim;  // darker towards the rim
                for (const Crater& c : craters) {
                    const double cdx = dx / radius - c.dx, cdy = dy / radius - c.dy;
                    if (cdx * cdx + cdy * cdy < c.r * c.r) shade -= 0.07;
                }
                const std::uint32_t disc = Pack(static_cast<int>(252 * shade), static_cast<int>(240 * shade),
                                                static_cast<int>(196 * shade));
                // A soft edge of one pixel.
                BlendAt(x, y, disc, static_cast<int>(255 * std::min(1.0, radius - d + 0.5)));
            } else if (d < reach) {
                const double fall = 1.0 - (d - radius) / (reach - radius);
                BlendAt(x, y, Pack(255, 214, 150), static_cast<int>(70 * fall * fall));
            }
        }
    }
}

// Mist along the foot of the hills.
void NightRenderer::PaintMist()
{
    const int width = frame_.width, height = frame_.height;
    const int mistTop = static_cast<int>(height * 0.68), mistBottom = std::min(height, geometry_.groundTop + height / 25);
    for (int y = mistTop; y < mistBottom; ++y) {
        const double v = static_cast<double>(y - mistTop) / std::max(1, mistBottom - mistTop);
        const double band = std::sin(v * kPi);
        for (int x = 0; x < width; ++x) {
            const double drift = 0.6 + 0.4 * std::sin(x * 0.011 + y * 0.05) * std::sin(x * 0.0037);
            BlendAt(x, y, Pack(150, 130, 175), static_cast<int>(38 * band * drift));
        }
    }
}

void NightRenderer::Twinkle()
{
    if (stars_.empty()) return;
    for (int i = 0; i < kTwinklesPerFrame; ++i) {
        Star& star = stars_[random_.Below(static_cast<std::uint32_t>(stars_.size()))];
        RECT r = {star.x - 1, star.y - 1, star.x + 2, star.y + 2};
        if (!Clip(r)) continue;
        // Stars are blended onto the sky, so each new level starts from the bare sky again.
        PutAround(star, star.under);
        const int level = 60 + static_cast<int>(random_.Below(196));
        star.brightness = level;
        PaintStar(star, level);
        MarkDirty(r);
    }
}

bool NightRenderer::Clip(RECT& r) const { return ClipTo(r, frame_.width, frame_.height); }

// Keeps what lies beneath `r` for the next frame; false (nothing to draw there) in the unlikely case
// that it does not fit what was reserved for the busiest frame.
bool NightRenderer::Save(RECT r)
{
    const int w = r.right - r.left;
    const size_t offset = savedUsed_, pixels = static_cast<size_t>(w) * (r.bottom - r.top);
    if (pixels > savedPixels_.size() - offset || !saved_.push(Patch{r, offset})) return false;
    savedUsed_ += pixels;
    for (int y = r.top; y < r.bottom; ++y)
        std::copy_n(&At(r.left, y), w, savedPixels_.data() + offset + static_cast<size_t>(y - r.top) * w);
    MarkDirty(r);
    return true;
}

void NightRenderer::RestoreAll()
{
    // Newest first, so overlapping figures give back exactly what was there before.
    for (const Patch* patch = saved_.end(); patch != saved_.begin();) {
        --patch;
        const RECT& r = patch->rect;
        const int w = r.right - r.left;
        for (int y = r.top; y < r.bottom; ++y)
            std::copy_n(savedPixels_.data() + patch->offset + static_cast<size_t>(y - r.top) * w, w, &At(r.left, y));
        MarkDirty(r);
    }
    saved_.clear();
    savedUsed_ = 0;
}

void NightRenderer::MarkDirty(const RECT& rect) { dirty_.push(rect); }

void NightRenderer::DrawSprite(const Sprite& sprite, int x, int y, int alpha)
{
    RECT r = {x, y, x + sprite.width, y + sprite.height};
    if (sprite.empty() || alpha <= 0 || !Clip(r) || !Save(r)) return;
    DrawSpriteClipped(frame_, sprite, x, y, alpha);
}

void NightRenderer::DrawSquashed(const Sprite& sprite, int x, int y, double squash)
{
    if (sprite.empty()) return;
    // Wider and lower just after landing, standing on the same spot.
    const int w = static_cast<int>(sprite.width * (1 + 0.14 * squash));
    const int h = std::max(1, static_cast<int>(sprite.height * (1 - 0.2 * squash)));
    const int left = x - (w - sprite.width) / 2, top = y + sprite.height - h;
    RECT r = {left, top, left + w, top + h};
    if (!Clip(r) || !Save(r)) return;
    for (int py = r.top; py < r.bottom; ++py) {
        const int sy = (py - top) * sprite.height / h;
        for (int px = r.left; px < r.right; ++px) {
            const int sx = (px - left) * sprite.width / w;
            const std::uint32_t s = sprite.pixels[static_cast<size_t>(sy) * sprite.width + sx];
            if (s >> 24) At(px, py) = ToFramePixel(s & 0xFFFFFFu);
        }
    }
}

void NightRenderer::FillBlend(RECT r, std::uint32_t rgb, int alpha)
{
    if (!Clip(r) || !Save(r)) return;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) BlendAt(x, y, rgb, alpha);
}

void NightRenderer::DrawFlash(int cx, int cy, int radius, int strength)
{
    RECT r = {cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
    if (radius <= 0 || !Clip(r) || !Save(r)) return;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const double d = std::sqrt(static_cast<double>((x - cx) * (x - cx) + (y - cy) * (y - cy))) / radius;
            if (d >= 1) continue;
            BlendAt(x, y, d < 0.45 ? Pack(255, 250, 200) : Pack(255, 170, 40), static_cast<int>(strength * (1 - d * d)));
        }
}

bool NightRenderer::ReserveForBusiestFrame(const Scene& scene)
{
    // Every figure at its largest at once: the ghost, the skeleton, and each pumpkin squashed or
    // bursting with its widest flash and all its shards; and the stars that twinkle.
    const FigureSizes& s = scene.sizes();
    const size_t flash = 2 * static_cast<size_t>(s.pumpkin.width / 2 + (kFlashFrames - 1) * s.pumpkin.width / 8) + 1;
    const size_t shard = static_cast<size_t>(scene.geometry().shardSize) * scene.geometry().shardSize;
    const size_t squashed = (static_cast<size_t>(s.pumpkin.width) * 2 + 1) * s.pumpkin.height;
    const size_t pumpkins = scene.pumpkins().size();
    const size_t pixels = static_cast<size_t>(s.ghost.width) * s.ghost.height +
                          static_cast<size_t>(s.skeleton.width) * s.skeleton.height +
                          pumpkins * (flash * flash + Shards::kCount * shard + squashed);
    const size_t patches = 2 + pumpkins * (1 + Shards::kCount);
    // Each patch is marked when saved and when given back; the stars twinkle on top.
    const size_t dirty = 2 * patches + kTwinklesPerFrame;
    // The pixels are touched at once, so that they are the process's from the first frame on.
    return savedPixels_.resize(pixels) && saved_.reserve(patches) && dirty_.reserve(dirty) && merged_.reserve(dirty) &&
           items_.reserve(pumpkins + 1) && stars_.reserve(static_cast<size_t>(StarCount(geometry_.width, geometry_.height)));
}

void NightRenderer::DrawBurst(const Scene& scene, const Pumpkin& pumpkin)
{
    const int age = Scene::kBurstFrames - pumpkin.timer;
    const FigureSize size = scene.sizes().pumpkin;
    if (age < kFlashFrames) {
        const int cx = static_cast<int>(pumpkin.x) + size.width / 2, cy = static_cast<int>(pumpkin.y) + size.height / 2;
        DrawFlash(cx, cy, size.width / 2 + age * size.width / 8, 230 * (kFlashFrames - age) / kFlashFrames);
    }
    // Shards cool from yellow to a dark red, then fade out.
    const double t = static_cast<double>(age) / Scene::kBurstFrames;
    const std::uint32_t colour = Pack(255 - static_cast<int>(90 * t), 190 - static_cast<int>(150 * t), 40 - static_cast<int>(30 * t));
    const int alpha = pumpkin.timer > 12 ? 255 : 255 * pumpkin.timer / 12;
    const int shard = scene.geometry().shardSize;
    for (const Shard& s : pumpkin.shards) {
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        FillBlend(RECT{x, y, x + shard, y + shard}, colour, alpha);
    }
}

void NightRenderer::DrawFrame(const Scene& scene)
{
    if (!ok()) return;
    RestoreAll();
    Twinkle();

    const Ghost& ghost = scene.ghost();
    DrawSprite(ghost.facingLeft ? sprites_.ghostLeft : sprites_.ghost, static_cast<int>(ghost.x), static_cast<int>(ghost.y),
               ghost.alpha);

    // Figures nearer the bottom of the screen stand in front: by the line their feet are on, keeping
    // the order of those on one line.
    items_.clear();
    items_.push(Item{geometry_.skeletonFeet, nullptr});
    for (const Pumpkin& p : scene.pumpkins()) {
        size_t at = items_.size();
        if (!items_.push(Item{p.floor, &p})) break;
        for (; at > 0 && items_[at - 1].bottom > p.floor; --at) items_[at] = items_[at - 1];
        items_[at] = Item{p.floor, &p};
    }
    const Skeleton& skeleton = scene.skeleton();
    for (const Item& item : items_) {
        if (item.pumpkin)
            DrawPumpkin(scene, *item.pumpkin);
        else
            DrawSprite(skeleton.direction < 0 ? sprites_.skeletonLeft : sprites_.skeleton, static_cast<int>(skeleton.x),
                       static_cast<int>(skeleton.y), 255);
    }
}

void NightRenderer::DrawPumpkin(const Scene& scene, const Pumpkin& p)
{
    const Sprite& sprite = sprites_.pumpkins[p.variant % Scene::kPumpkinVariants];
    switch (p.state) {
    case Pumpkin::State::Bouncing:
        if (p.squash > 0.05)
            DrawSquashed(sprite, static_cast<int>(p.x), static_cast<int>(p.y), p.squash);
        else
            DrawSprite(sprite, static_cast<int>(p.x), static_cast<int>(p.y), 255);
        break;
    case Pumpkin::State::Bursting: DrawBurst(scene, p); break;
    case Pumpkin::State::Resting: break;
    }
}

void NightRenderer::PresentChanges(HDC target, const RECT& area)
{
    if (!ok()) return;
    if (area.right - area.left != frame_.width || area.bottom - area.top != frame_.height) {
        PresentAll(target, area);
        return;
    }
    // Merge what overlaps (old and new place of a figure usually do) so each area is copied once.
    merged_.clear();
    for (const RECT& r : dirty_) {
        RECT m = r;
        for (bool grew = true; grew;) {
            grew = false;
            for (size_t i = 0; i < merged_.size(); ++i) {
                if (!Touching(m, merged_[i])) continue;
                ::UnionRect(&m, &m, &merged_[i]);
                merged_[i] = merged_.back();
                merged_.pop();
                grew = true;
                break;
            }
        }
        merged_.push(m);
    }
    dirty_.clear();
    for (const RECT& r : merged_)
        ::BitBlt(target, area.left + r.left, area.top + r.top, r.right - r.left, r.bottom - r.top, dc_.get(), r.left, r.top,
                 SRCCOPY);
}

void NightRenderer::PresentAll(HDC target, const RECT& area)
{
    if (!ok()) return;
    dirty_.clear();
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w == frame_.width && h == frame_.height) {
        // In bands: a copy into a screen of another depth converts through a buffer the size of
        // what is copied, and a whole frame's would be as large as the frame buffer itself.
        for (int top = 0; top < h; top += kPresentBand)
            ::BitBlt(target, area.left, area.top + top, w, std::min(kPresentBand, h - top), dc_.get(), 0, top, SRCCOPY);
        return;
    }
    // Shrunk (the preview) with averaging; enlarged (a buffer made smaller for want of memory) by
    // repeating pixels, which is cheap enough for every frame.
    const bool shrinking = w < frame_.width;
    const int oldMode = ::SetStretchBltMode(target, shrinking ? HALFTONE : COLORONCOLOR);
    if (shrinking) ::SetBrushOrgEx(target, 0, 0, NULL);
    ::StretchBlt(target, area.left, area.top, w, h, dc_.get(), 0, 0, frame_.width, frame_.height, SRCCOPY);
    if (oldMode) ::SetStretchBltMode(target, oldMode);
}
