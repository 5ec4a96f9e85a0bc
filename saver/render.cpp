#include "render.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const double kPi = 3.14159265358979323846;
const int kTwinklesPerFrame = 3;
const int kMergeSlack = 8;  // dirty rectangles this close are copied as one

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

// Fills the land below a skyline (points from left to right) down to the bottom of the picture.
void FillBelow(HDC dc, std::vector<POINT> skyline, int width, int height, COLORREF colour)
{
    skyline.push_back({width, height});
    skyline.push_back({0, height});
    GdiObject<HBRUSH> brush(::CreateSolidBrush(colour));
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, colour));
    SelectedObject b(dc, brush.get());
    SelectedObject p(dc, pen.get());
    ::Polygon(dc, skyline.data(), static_cast<int>(skyline.size()));
}

}  // namespace

NightRenderer::NightRenderer(int width, int height, const SpriteSet& sprites, std::uint32_t seed)
    : width_(std::max(1, width)), height_(std::max(1, height)), sprites_(sprites), random_(seed ? seed : 1u), dc_(NULL)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0));
    if (!bitmap_ || !dc_ || !bits) return;
    oldBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
    PaintBackground();
}

NightRenderer::~NightRenderer()
{
    // The bitmap must leave the DC before either is deleted.
    if (oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
}

std::uint32_t NightRenderer::Random()
{
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

void NightRenderer::PaintBackground()
{
    PaintSky();
    const int moonRadius = std::max(6, height_ / 13);
    const int moonX = width_ * 4 / 5, moonY = height_ / 5;
    const int starCount = std::max(20, width_ * height_ / 3500);
    for (int i = 0; i < starCount; ++i) {
        Star star;
        star.x = static_cast<int>(Random() % static_cast<std::uint32_t>(width_));
        star.y = static_cast<int>(Random() % static_cast<std::uint32_t>(std::max(1, height_ * 2 / 3)));
        const int dx = star.x - moonX, dy = star.y - moonY;
        if (dx * dx + dy * dy < 18 * moonRadius * moonRadius) continue;  // lost in the moonlight
        star.brightness = 90 + static_cast<int>(Random() % 166);
        star.large = Random() % 14 == 0;
        CopyAround(star, star.under);
        PaintStar(star, star.brightness);
        CopyAround(star, star.painted);
        stars_.push_back(star);
    }
    PaintMoon(moonX, moonY, moonRadius);
    PaintGraveyard();
    ::GdiFlush();
    // Stars behind the tree or a hill stay hidden: only those still showing may twinkle.
    stars_.erase(std::remove_if(stars_.begin(), stars_.end(),
                                [this](const Star& star) {
                                    std::uint32_t now[9];
                                    CopyAround(star, now);
                                    return !std::equal(now, now + 9, star.painted);
                                }),
                 stars_.end());
}

void NightRenderer::CopyAround(const Star& star, std::uint32_t* out) const
{
    for (int i = 0; i < 9; ++i) {
        const int x = std::min(width_ - 1, std::max(0, star.x - 1 + i % 3));
        const int y = std::min(height_ - 1, std::max(0, star.y - 1 + i / 3));
        out[i] = bits_[static_cast<size_t>(y) * width_ + x];
    }
}

void NightRenderer::PutAround(const Star& star, const std::uint32_t* in)
{
    for (int i = 0; i < 9; ++i) {
        const int x = star.x - 1 + i % 3, y = star.y - 1 + i / 3;
        if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[static_cast<size_t>(y) * width_ + x] = in[i];
    }
}

void NightRenderer::PaintSky()
{
    // A 4x4 ordered dither keeps the long, gentle gradient free of bands.
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < height_; ++y) {
        const double t = static_cast<double>(y) / height_;
        const Rgb c = t < 0.5 ? Mix(kSkyTop, kSkyMiddle, t / 0.5) : Mix(kSkyMiddle, kSkyHorizon, (t - 0.5) / 0.5);
        const double tNext = static_cast<double>(y + 1) / height_;
        const Rgb n = tNext < 0.5 ? Mix(kSkyTop, kSkyMiddle, tNext / 0.5) : Mix(kSkyMiddle, kSkyHorizon, (tNext - 0.5) / 0.5);
        std::uint32_t* row = bits_ + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const int d = kBayer[y & 3][x & 3];
            row[x] = Pack(c.r + (n.r != c.r && d > 7), c.g + (n.g != c.g && d > 7), c.b + (d * 2 > 15));
        }
    }
}

void NightRenderer::PaintStar(const Star& star, int brightness)
{
    auto put = [&](int x, int y, int level) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint32_t& p = bits_[static_cast<size_t>(y) * width_ + x];
        p = Blend(p, Pack(255, 250, 225), level);
    };
    put(star.x, star.y, brightness);
    if (star.large) {
        put(star.x - 1, star.y, brightness / 2);
        put(star.x + 1, star.y, brightness / 2);
        put(star.x, star.y - 1, brightness / 2);
        put(star.x, star.y + 1, brightness / 2);
    }
}

void NightRenderer::PaintMoon(int cx, int cy, int radius)
{
    const int reach = radius * 4;
    struct Crater {
        double dx, dy, r;
    };
    const Crater craters[] = {{-0.35, -0.25, 0.22}, {0.30, 0.10, 0.16}, {-0.05, 0.40, 0.13}, {0.15, -0.45, 0.10}};
    for (int y = std::max(0, cy - reach); y < std::min(height_, cy + reach); ++y) {
        for (int x = std::max(0, cx - reach); x < std::min(width_, cx + reach); ++x) {
            const double dx = x - cx, dy = y - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            std::uint32_t& p = bits_[static_cast<size_t>(y) * width_ + x];
            if (d <= radius) {
                double shade = 1.0 - 0.18 * std::pow(d / radius, 4);  // darker towards the rim
                for (const Crater& c : craters) {
                    const double cdx = dx / radius - c.dx, cdy = dy / radius - c.dy;
                    if (cdx * cdx + cdy * cdy < c.r * c.r) shade -= 0.07;
                }
                const std::uint32_t disc = Pack(static_cast<int>(252 * shade), static_cast<int>(240 * shade),
                                                static_cast<int>(196 * shade));
                // A soft edge of one pixel.
                p = Blend(p, disc, static_cast<int>(255 * std::min(1.0, radius - d + 0.5)));
            } else if (d < reach) {
                const double fall = 1.0 - (d - radius) / (reach - radius);
                p = Blend(p, Pack(255, 214, 150), static_cast<int>(70 * fall * fall));
            }
        }
    }
}

void NightRenderer::PaintGraveyard()
{
    HDC dc = dc_.get();
    ::GdiFlush();
    const int groundTop = static_cast<int>(height_ * 0.78);

    // Far hills, a band of ground mist above the horizon, then the near ground.
    {
        std::vector<POINT> hills;
        const int steps = 64;
        for (int i = 0; i <= steps; ++i) {
            const double u = static_cast<double>(i) / steps;
            const double y = height_ * 0.70 + height_ * 0.035 * std::sin(u * 5.1 + 0.6) + height_ * 0.02 * std::sin(u * 13.0);
            hills.push_back({width_ * i / steps, static_cast<int>(y)});
        }
        FillBelow(dc, std::move(hills), width_, height_, kFarHills);
    }
    {
        std::vector<POINT> ground;
        const int steps = 48;
        for (int i = 0; i <= steps; ++i) {
            const double u = static_cast<double>(i) / steps;
            ground.push_back({width_ * i / steps, groundTop + static_cast<int>(height_ * 0.012 * std::sin(u * 7.3 + 1.1))});
        }
        FillBelow(dc, std::move(ground), width_, height_, kGround);
    }

    // A bare tree on the left, branches forking smaller and smaller.
    struct Branch {
        static void Grow(HDC dc, double x, double y, double angle, double length, int depth, std::uint32_t& seed)
        {
            if (depth == 0 || length < 2) return;
            const double x2 = x + std::cos(angle) * length, y2 = y - std::sin(angle) * length;
            GdiObject<HPEN> pen(::CreatePen(PS_SOLID, std::max(1, depth * depth / 2), kTreeColour));
            {
                SelectedObject p(dc, pen.get());
                ::MoveToEx(dc, static_cast<int>(x), static_cast<int>(y), NULL);
                ::LineTo(dc, static_cast<int>(x2), static_cast<int>(y2));
            }
            seed = seed * 1103515245u + 12345u;
            const double spread = 0.35 + ((seed >> 16) % 100) / 400.0;
            Grow(dc, x2, y2, angle + spread, length * 0.72, depth - 1, seed);
            Grow(dc, x2, y2, angle - spread * 0.9, length * 0.68, depth - 1, seed);
        }
    };
    std::uint32_t treeSeed = 7;
    Branch::Grow(dc, width_ * 0.09, groundTop + height_ * 0.01, kPi / 2 + 0.08, height_ * 0.16, 7, treeSeed);

    // Tombstones and crosses along the ground, some leaning.
    const int stoneCount = std::max(3, width_ / 170);
    GdiObject<HFONT> font(::CreateFontA(-std::max(8, height_ / 70), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                        ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman"));
    SelectedObject f(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kStoneText);
    for (int i = 0; i < stoneCount; ++i) {
        const int slot = width_ / stoneCount;
        const int x = slot * i + slot / 4 + static_cast<int>(Random() % static_cast<std::uint32_t>(std::max(1, slot / 2)));
        if (x < width_ * 0.16 && x > width_ * 0.03) continue;  // the tree stands there
        const int h = height_ / 18 + static_cast<int>(Random() % static_cast<std::uint32_t>(std::max(1, height_ / 30)));
        const int w = h * 2 / 3;
        const int base = groundTop + height_ / 80 + static_cast<int>(Random() % static_cast<std::uint32_t>(std::max(1, height_ / 40)));
        GdiObject<HBRUSH> brush(::CreateSolidBrush(kStone));
        GdiObject<HPEN> pen(::CreatePen(PS_SOLID, std::max(1, height_ / 400), kStoneEdge));
        SelectedObject b(dc, brush.get());
        SelectedObject p(dc, pen.get());
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

    // Two bats crossing the moon.
    GdiObject<HBRUSH> batBrush(::CreateSolidBrush(RGB(8, 6, 14)));
    GdiObject<HPEN> batPen(::CreatePen(PS_SOLID, 1, RGB(8, 6, 14)));
    SelectedObject bb(dc, batBrush.get());
    SelectedObject bp(dc, batPen.get());
    const int batSizes[] = {std::max(6, height_ / 45), std::max(4, height_ / 70)};
    const POINT batPlaces[] = {{width_ * 4 / 5 - height_ / 20, height_ / 5 - height_ / 40},
                               {width_ * 4 / 5 + height_ / 12, height_ / 7}};
    for (int i = 0; i < 2; ++i) {
        const int s = batSizes[i];
        const int x = batPlaces[i].x, y = batPlaces[i].y;
        const POINT bat[] = {{x, y + s / 3},           {x - s / 3, y},          {x - s * 2 / 3, y - s / 4},
                             {x - s, y + s / 6},       {x - s * 2 / 3, y + s / 8}, {x - s / 3, y + s / 2},
                             {x, y + s / 2 + 1},       {x + s / 3, y + s / 2},  {x + s * 2 / 3, y + s / 8},
                             {x + s, y + s / 6},       {x + s * 2 / 3, y - s / 4}, {x + s / 3, y}};
        ::Polygon(dc, bat, 12);
    }
    ::GdiFlush();

    // Mist along the foot of the hills.
    const int mistTop = static_cast<int>(height_ * 0.68), mistBottom = std::min(height_, groundTop + height_ / 25);
    for (int y = mistTop; y < mistBottom; ++y) {
        const double v = static_cast<double>(y - mistTop) / std::max(1, mistBottom - mistTop);
        const double band = std::sin(v * kPi);
        std::uint32_t* row = bits_ + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const double drift = 0.6 + 0.4 * std::sin(x * 0.011 + y * 0.05) * std::sin(x * 0.0037);
            row[x] = Blend(row[x], Pack(150, 130, 175), static_cast<int>(38 * band * drift));
        }
    }
}

void NightRenderer::Twinkle()
{
    if (stars_.empty()) return;
    for (int i = 0; i < kTwinklesPerFrame; ++i) {
        Star& star = stars_[Random() % stars_.size()];
        RECT r = {star.x - 1, star.y - 1, star.x + 2, star.y + 2};
        if (!Clip(r)) continue;
        // Stars are blended onto the sky, so each new level starts from the bare sky again.
        PutAround(star, star.under);
        const int level = 60 + static_cast<int>(Random() % 196);
        star.brightness = level;
        PaintStar(star, level);
        MarkDirty(r);
    }
}

bool NightRenderer::Clip(RECT& r) const
{
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width_);
    r.bottom = std::min<LONG>(r.bottom, height_);
    return r.left < r.right && r.top < r.bottom;
}

void NightRenderer::Save(RECT r)
{
    if (savedCount_ == saved_.size()) saved_.emplace_back();
    Patch& patch = saved_[savedCount_++];
    patch.rect = r;
    const int w = r.right - r.left;
    patch.pixels.resize(static_cast<size_t>(w) * (r.bottom - r.top));
    for (int y = r.top; y < r.bottom; ++y)
        std::copy_n(bits_ + static_cast<size_t>(y) * width_ + r.left, w, patch.pixels.data() + static_cast<size_t>(y - r.top) * w);
    MarkDirty(r);
}

void NightRenderer::RestoreAll()
{
    // Newest first, so overlapping figures give back exactly what was there before.
    while (savedCount_ > 0) {
        const Patch& patch = saved_[--savedCount_];
        const RECT& r = patch.rect;
        const int w = r.right - r.left;
        for (int y = r.top; y < r.bottom; ++y)
            std::copy_n(patch.pixels.data() + static_cast<size_t>(y - r.top) * w, w, bits_ + static_cast<size_t>(y) * width_ + r.left);
        MarkDirty(r);
    }
}

void NightRenderer::MarkDirty(const RECT& rect) { dirty_.push_back(rect); }

void NightRenderer::DrawSprite(const Sprite& sprite, int x, int y, int alpha)
{
    if (sprite.empty() || alpha <= 0) return;
    RECT r = {x, y, x + sprite.width, y + sprite.height};
    if (!Clip(r)) return;
    Save(r);
    for (int py = r.top; py < r.bottom; ++py) {
        const std::uint32_t* src = sprite.pixels.data() + static_cast<size_t>(py - y) * sprite.width - x;
        std::uint32_t* dst = bits_ + static_cast<size_t>(py) * width_;
        for (int px = r.left; px < r.right; ++px) {
            const std::uint32_t s = src[px];
            if (!(s >> 24)) continue;
            dst[px] = alpha >= 255 ? (s & 0xFFFFFFu) : Blend(dst[px], s, alpha);
        }
    }
}

void NightRenderer::DrawSquashed(const Sprite& sprite, int x, int y, double squash)
{
    if (sprite.empty()) return;
    // Wider and lower just after landing, standing on the same spot.
    const int w = static_cast<int>(sprite.width * (1 + 0.14 * squash));
    const int h = std::max(1, static_cast<int>(sprite.height * (1 - 0.2 * squash)));
    const int left = x - (w - sprite.width) / 2, top = y + sprite.height - h;
    RECT r = {left, top, left + w, top + h};
    if (!Clip(r)) return;
    Save(r);
    for (int py = r.top; py < r.bottom; ++py) {
        const int sy = (py - top) * sprite.height / h;
        std::uint32_t* dst = bits_ + static_cast<size_t>(py) * width_;
        for (int px = r.left; px < r.right; ++px) {
            const int sx = (px - left) * sprite.width / w;
            const std::uint32_t s = sprite.pixels[static_cast<size_t>(sy) * sprite.width + sx];
            if (s >> 24) dst[px] = s & 0xFFFFFFu;
        }
    }
}

void NightRenderer::FillBlend(RECT r, std::uint32_t rgb, int alpha)
{
    if (!Clip(r)) return;
    Save(r);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            std::uint32_t& p = bits_[static_cast<size_t>(y) * width_ + x];
            p = Blend(p, rgb, alpha);
        }
}

void NightRenderer::DrawFlash(int cx, int cy, int radius, int strength)
{
    RECT r = {cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
    if (!Clip(r) || radius <= 0) return;
    Save(r);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const double d = std::sqrt(static_cast<double>((x - cx) * (x - cx) + (y - cy) * (y - cy))) / radius;
            if (d >= 1) continue;
            std::uint32_t& p = bits_[static_cast<size_t>(y) * width_ + x];
            p = Blend(p, d < 0.45 ? Pack(255, 250, 200) : Pack(255, 170, 40), static_cast<int>(strength * (1 - d * d)));
        }
}

void NightRenderer::DrawBurst(const Scene& scene, const Pumpkin& pumpkin)
{
    const int age = Scene::kBurstFrames - pumpkin.timer;
    const FigureSize size = scene.sizes().pumpkin;
    const int flashFrames = 10;
    if (age < flashFrames) {
        const int cx = static_cast<int>(pumpkin.x) + size.width / 2, cy = static_cast<int>(pumpkin.y) + size.height / 2;
        DrawFlash(cx, cy, size.width / 2 + age * size.width / 8, 230 * (flashFrames - age) / flashFrames);
    }
    // Shards cool from yellow to a dark red, then fade out.
    const double t = static_cast<double>(age) / Scene::kBurstFrames;
    const std::uint32_t colour = Pack(255 - static_cast<int>(90 * t), 190 - static_cast<int>(150 * t), 40 - static_cast<int>(30 * t));
    const int alpha = pumpkin.timer > 12 ? 255 : 255 * pumpkin.timer / 12;
    for (const Shard& s : pumpkin.shards) {
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        FillBlend(RECT{x, y, x + Scene::kShardSize, y + Scene::kShardSize}, colour, alpha);
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

    // Figures nearer the bottom of the screen stand in front.
    struct Item {
        double bottom;
        const Pumpkin* pumpkin;  // null: the skeleton
    };
    std::vector<Item> items;
    items.reserve(scene.pumpkins().size() + 1);
    const Skeleton& skeleton = scene.skeleton();
    items.push_back({scene.skeletonFeet(), nullptr});
    for (const Pumpkin& p : scene.pumpkins()) items.push_back({p.floor, &p});
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.bottom < b.bottom; });

    for (const Item& item : items) {
        if (!item.pumpkin) {
            DrawSprite(skeleton.direction < 0 ? sprites_.skeletonLeft : sprites_.skeleton, static_cast<int>(skeleton.x),
                       static_cast<int>(skeleton.y), 255);
            continue;
        }
        const Pumpkin& p = *item.pumpkin;
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
}

void NightRenderer::PresentChanges(HDC target)
{
    if (!ok()) return;
    // Merge what overlaps (old and new place of a figure usually do) so each area is copied once.
    std::vector<RECT> merged;
    for (const RECT& r : dirty_) {
        RECT m = r;
        for (bool grew = true; grew;) {
            grew = false;
            for (size_t i = 0; i < merged.size(); ++i) {
                if (!Touching(m, merged[i])) continue;
                ::UnionRect(&m, &m, &merged[i]);
                merged[i] = merged.back();
                merged.pop_back();
                grew = true;
                break;
            }
        }
        merged.push_back(m);
    }
    dirty_.clear();
    for (const RECT& r : merged)
        ::BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_.get(), r.left, r.top, SRCCOPY);
}

void NightRenderer::PresentAll(HDC target, int targetWidth, int targetHeight)
{
    if (!ok()) return;
    dirty_.clear();
    if (targetWidth == width_ && targetHeight == height_) {
        ::BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
        return;
    }
    ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, NULL);
    ::StretchBlt(target, 0, 0, targetWidth, targetHeight, dc_.get(), 0, 0, width_, height_, SRCCOPY);
}
