#include <doctest.h>

#include <cmath>
#include <string>
#include <vector>

#include "layout.h"
#include "show.h"

namespace {

Monitor At(long left, long top, long width, long height, int dpi = 96)
{
    return {RECT{left, top, left + width, top + height}, dpi};
}

struct Desk {
    const char* name;
    std::vector<Monitor> monitors;
};

// Desks of more than one monitor, as this machine's Wine (one monitor) cannot show them.
const Desk kDesks[] = {
    {"one monitor", {At(0, 0, 1920, 1080)}},
    {"unequal side by side", {At(0, 0, 2560, 1440), At(2560, 200, 1280, 1024)}},
    {"stacked", {At(0, 0, 1920, 1080), At(320, 1080, 1280, 720)}},
    {"primary on the right", {At(0, 0, 1920, 1080), At(-1600, 180, 1600, 900)}},
    {"a gap between them", {At(0, 0, 1024, 768), At(1200, -300, 800, 600)}},
    {"portrait and high DPI", {At(0, 0, 3840, 2160, 192), At(3840, 0, 1080, 1920, 144)}},
    {"mirrored", {At(0, 0, 1280, 1024), At(0, 0, 1280, 1024)}},
};

bool Inside(double x, double y, double w, double h, const RECT& r)
{
    return x >= r.left && y >= r.top && x + w <= r.right && y + h <= r.bottom;
}

}  // namespace

TEST_CASE("layout gives each monitor a whole night of its own and nothing where no monitor shows")
{
    for (const Desk& desk : kDesks) {
        CAPTURE(std::string(desk.name));
        SaverLayout layout;
        REQUIRE(LayOutMonitors(desk.monitors.data(), desk.monitors.size(), layout));
        const bool mirrored = std::string(desk.name) == "mirrored";
        REQUIRE(layout.scenes.size() == (mirrored ? 1u : desk.monitors.size()));

        RECT box = desk.monitors[0].area;
        for (const Monitor& m : desk.monitors) ::UnionRect(&box, &box, &m.area);
        CHECK(::EqualRect(&layout.window, &box));

        size_t area = 0;
        for (size_t i = 0; i < layout.scenes.size(); ++i) {
            CAPTURE(i);
            const ScenePlace& place = layout.scenes[i];
            const Monitor& monitor = desk.monitors[i];
            RECT onScreen = place.area;
            ::OffsetRect(&onScreen, layout.window.left, layout.window.top);
            CHECK(::EqualRect(&onScreen, &monitor.area));
            const SceneGeometry& g = place.geometry;
            CHECK(g.width == monitor.area.right - monitor.area.left);
            CHECK(g.height == monitor.area.bottom - monitor.area.top);
            area += static_cast<size_t>(g.width) * g.height;

            // Figures keep their physical size: twice the pixels at twice the DPI.
            CHECK(g.sizes.ghost.width == static_cast<int>(std::lround(141.0 * monitor.dpi / 96)));
            CHECK(g.sizes.pumpkin.height == static_cast<int>(std::lround(40.0 * monitor.dpi / 96)));

            // The ground and the moon's whole disc on the monitor. That a scene of this geometry keeps
            // every figure inside it is the scene tests' part (they run these monitors' sizes).
            CHECK(g.groundTop > 0);
            CHECK(g.groundTop < g.height);
            const Moon& moon = g.moon;
            CHECK(Inside(onScreen.left + moon.x - moon.radius, onScreen.top + moon.y - moon.radius, 2 * moon.radius,
                         2 * moon.radius, monitor.area));
        }

        // One frame buffer per monitor, of the monitor's size: together as large as the monitors,
        // never as the box around them.
        NightShow show(SaverSettings(), "", 5u);
        REQUIRE(show.LayOut(layout.scenes.data(), layout.scenes.size()));
        REQUIRE(show.size() == layout.scenes.size());
        for (size_t i = 0; i < show.size(); ++i) {
            REQUIRE(show.at(i).renderer);
            const SceneGeometry& g = layout.scenes[i].geometry;
            CHECK(show.at(i).renderer->bufferBytes() == static_cast<size_t>(g.width) * g.height * sizeof(FramePixel));
        }
        CHECK(show.bufferBytes() == area * sizeof(FramePixel));
    }
}

TEST_CASE("layout leaves out monitors without area and shrinks the preview from a whole screen")
{
    const Monitor monitors[] = {At(0, 0, 0, 768), At(0, 0, 1024, 768), At(50, 50, 100, -10)};
    SaverLayout layout;
    REQUIRE(LayOutMonitors(monitors, 3, layout));
    REQUIRE(layout.scenes.size() == 1u);
    CHECK(layout.scenes[0].geometry.width == 1024);

    const ScenePlace preview = LayOutPreview(RECT{0, 0, 152, 112});
    CHECK(preview.area.right == 152);
    CHECK(preview.geometry.width == 800);
    CHECK(preview.geometry.height == 600);

    // A monitor far narrower than it is tall still has its whole moon.
    const SceneGeometry narrow = MakeSceneGeometry(120, 1000);
    CHECK(narrow.moon.x - narrow.moon.radius >= 0);
    CHECK(narrow.moon.x + narrow.moon.radius <= 120);
}
