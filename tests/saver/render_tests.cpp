#include <doctest.h>

#include <algorithm>
#include <vector>

#include "dib.h"
#include "gdi.h"
#include "render.h"
#include "show.h"

namespace {

// A 32-bit picture to present into, read back pixel by pixel.
struct Target {
    GdiObject<HBITMAP> bitmap;
    MemoryDC dc{NULL};
    std::uint32_t* bits = nullptr;
    int width;

    Target(int w, int h, std::uint32_t fill) : width(w)
    {
        void* p = nullptr;
        bitmap.reset(MakeTopDownDib(w, h, 32, &p));
        bits = static_cast<std::uint32_t*>(p);
        ::SelectObject(dc.get(), bitmap.get());
        std::fill(bits, bits + static_cast<size_t>(w) * h, fill);
    }
    std::uint32_t At(int x, int y) const
    {
        ::GdiFlush();
        return bits[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
    }
};

bool Dark(std::uint32_t rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF) < 12; }

size_t g_limit = 0;
HBITMAP LimitedBuffer(int width, int height, void** bits)
{
    if (static_cast<size_t>(width) * height * sizeof(FramePixel) > g_limit) return NULL;
    return MakeFrameBuffer(width, height, bits);
}

// Runs a show `frames` frames, presenting what changed in each.
void Play(NightShow& show, HDC dc, int frames)
{
    for (int frame = 0; frame < frames; ++frame) {
        show.Step();
        show.PresentChanges(dc);
    }
}

}  // namespace

TEST_CASE("clipped blit draws exactly the part of a figure inside the frame at every edge")
{
    // Distinct colours, one see-through pixel.
    Sprite sprite;
    sprite.width = 4;
    sprite.height = 3;
    for (int i = 0; i < 12; ++i) sprite.pixels.push(i == 5 ? 0 : 0xFF000000u | static_cast<std::uint32_t>(0x102030 * (i + 1)));
    const FramePixel kSky = 0x1234, kGuard = 0xBEEF;

    for (const auto& size : {std::make_pair(7, 5), std::make_pair(1, 1)}) {
        const int w = size.first, h = size.second, stride = (w + 1) & ~1;
        // Guards before, after and at the row ends catch any write outside the frame.
        std::vector<FramePixel> memory(static_cast<size_t>(stride) * h + 2 * stride, kGuard);
        const FramePixels frame = {memory.data() + stride, w, h, stride};
        for (int x = -5; x <= w + 1; ++x) {
            for (int y = -4; y <= h + 1; ++y) {
                INFO("frame width ", w, ", figure at ", x, ",", y);
                for (int py = 0; py < h; ++py) std::fill_n(frame.bits + py * stride, w, kSky);
                const RECT drawn = DrawSpriteClipped(frame, sprite, x, y, 255);
                const RECT expected = {std::max(x, 0), std::max(y, 0), std::min(x + 4, w), std::min(y + 3, h)};
                if (expected.left < expected.right && expected.top < expected.bottom)
                    CHECK(::EqualRect(&drawn, &expected));
                else
                    CHECK(::IsRectEmpty(&drawn));
                for (size_t i = 0; i < memory.size(); ++i) {
                    const int row = static_cast<int>(i) / stride - 1, column = static_cast<int>(i) % stride;
                    FramePixel want = kGuard;
                    if (row >= 0 && row < h && column < w) {
                        const int sx = column - x, sy = row - y;
                        const bool covered = sx >= 0 && sx < 4 && sy >= 0 && sy < 3 && sprite.pixels[sy * 4 + sx];
                        want = covered ? ToFramePixel(sprite.pixels[sy * 4 + sx] & 0xFFFFFF) : kSky;
                    }
                    REQUIRE(memory[i] == want);
                }
            }
        }
    }
}

TEST_CASE("a 1x1 night and a 1x1 preview draw every figure clipped away")
{
    const SceneGeometry g = MakeSceneGeometry(1, 1);
    const SpriteSet pictures = LoadSprites("", g.sizes);
    Scene scene(g, SaverSettings(), 3u);
    NightRenderer renderer(scene, pictures, 4u);
    REQUIRE(renderer.ok());
    Target target(1, 1, 0);
    for (int frame = 0; frame < 600; ++frame) {
        scene.Step();
        renderer.DrawFrame(scene);
        renderer.PresentChanges(target.dc.get(), RECT{0, 0, 1, 1});
    }
    CHECK(renderer.bufferBytes() == 4u);  // one pixel, its row filled up to a whole 32-bit word

    NightShow preview(SaverSettings(), "", 9u);
    const ScenePlace tiny = LayOutPreview(RECT{0, 0, 1, 1});
    REQUIRE(preview.LayOut(&tiny, 1));
    Play(preview, target.dc.get(), 30);
    CHECK_FALSE(Dark(target.At(0, 0)));
}

TEST_CASE("show lays out again when the monitors change and paints only where a monitor shows")
{
    const std::uint32_t kUnpainted = 0x00FF00;
    NightShow show(SaverSettings(), "", 11u);
    const ScenePlace left = {RECT{0, 0, 320, 240}, MakeSceneGeometry(320, 240)};
    const ScenePlace right = {RECT{320, 60, 480, 180}, MakeSceneGeometry(160, 120)};
    const ScenePlace both[] = {left, right};
    REQUIRE(show.LayOut(both, 2));
    REQUIRE(show.size() == 2u);
    Target desk(480, 240, kUnpainted);
    Play(show, desk.dc.get(), 90);
    show.PresentAll(desk.dc.get());
    CHECK(desk.At(400, 20) == kUnpainted);   // above the smaller monitor: no monitor there
    CHECK(desk.At(400, 200) == kUnpainted);  // and below it
    CHECK_FALSE(Dark(desk.At(10, 5)));
    CHECK_FALSE(Dark(desk.At(470, 70)));

    // The right monitor goes, the left one stays: its night goes on where it was.
    const double ghostX = show.at(0).scene->ghost().x;
    const ScenePlace leftOnly = {RECT{0, 0, 320, 240}, left.geometry};
    REQUIRE(show.LayOut(&leftOnly, 1));
    REQUIRE(show.size() == 1u);
    CHECK(show.at(0).scene->ghost().x == ghostX);
    CHECK(show.bufferBytes() == 320u * 240u * sizeof(FramePixel));

    // A new resolution: a new night of the new size, drawn and presented frame after frame.
    const ScenePlace larger = {RECT{0, 0, 400, 200}, MakeSceneGeometry(400, 200, 144)};
    REQUIRE(show.LayOut(&larger, 1));
    REQUIRE(show.size() == 1u);
    CHECK(show.at(0).renderer->bufferBytes() == 400u * 200u * sizeof(FramePixel));
    CHECK(show.at(0).geometry.sizes.ghost.width == 212);
    Play(show, desk.dc.get(), 90);
}

TEST_CASE("show without memory for a whole buffer draws a smaller night or a plain sky but never throws")
{
    const ScenePlace place = {RECT{0, 0, 640, 480}, MakeSceneGeometry(640, 480)};

    g_limit = 640 * 480 * sizeof(FramePixel) - 1;  // a quarter of the pixels fits
    NightShow smaller(SaverSettings(), "", 1u, LimitedBuffer);
    REQUIRE(smaller.LayOut(&place, 1));
    REQUIRE(smaller.size() == 1u);
    REQUIRE(smaller.at(0).renderer);
    CHECK(smaller.at(0).renderer->bufferBytes() == 320u * 240u * sizeof(FramePixel));
    CHECK(smaller.at(0).geometry.sizes.ghost.width == 71);  // figures shrink with the buffer
    Target screen(640, 480, 0);
    Play(smaller, screen.dc.get(), 60);
    for (int y : {0, 100, 300, 479})
        for (int x : {0, 320, 639}) CHECK_FALSE(Dark(screen.At(x, y)));
    g_limit = 640 * 480 * sizeof(FramePixel);  // memory again at the next display change: the whole night
    smaller.LayOut(&place, 1);
    CHECK(smaller.at(0).renderer->bufferBytes() == 640u * 480u * sizeof(FramePixel));

    g_limit = 0;
    NightShow none(SaverSettings(), "", 1u, LimitedBuffer);
    REQUIRE(none.LayOut(&place, 1));
    REQUIRE(none.size() == 1u);
    CHECK_FALSE(none.at(0).renderer);
    Target plain(640, 480, 0);
    none.Step();
    none.PresentAll(plain.dc.get());
    CHECK_FALSE(Dark(plain.At(5, 5)));
    CHECK_FALSE(Dark(plain.At(600, 450)));
}
