#include "layout.h"

#include <algorithm>
#include <cmath>

namespace {

const double kGroundShare = 0.78;  // the graveyard starts this far down a scene
const int kShardSize = 5;          // at 96 DPI
const int kPreviewWidth = 800;     // the preview draws a screen of this size, shrunk
const int kPreviewHeight = 600;

int Scaled(int size, double scale)
{
    return std::max(1, static_cast<int>(std::lround(size * scale)));
}

FigureSize Scaled(const FigureSize& size, double scale)
{
    return {Scaled(size.width, scale), Scaled(size.height, scale)};
}

}  // namespace

SceneGeometry MakeSceneGeometry(int width, int height, int dpi)
{
    SceneGeometry g;
    g.width = std::max(1, width);
    g.height = std::max(1, height);
    g.dpi = dpi > 0 ? dpi : kBaseDpi;
    g.scale = static_cast<double>(g.dpi) / kBaseDpi;
    g.groundTop = static_cast<int>(g.height * kGroundShare);
    g.skeletonFeet = g.groundTop + (g.height - g.groundTop) * 0.45;

    // High on the right; on a narrow monitor smaller, so that the whole disc stays on it.
    const int radius = std::max(1, std::min(std::max(6, g.height / 13), std::min(g.width, g.height) / 4));
    g.moon.radius = radius;
    g.moon.x = std::max(std::min(radius, g.width - 1), std::min(g.width * 4 / 5, g.width - radius - 1));
    g.moon.y = std::max(std::min(radius, g.height - 1), g.height / 5);

    const FigureSizes base;
    g.sizes.ghost = Scaled(base.ghost, g.scale);
    g.sizes.skeleton = Scaled(base.skeleton, g.scale);
    g.sizes.pumpkin = Scaled(base.pumpkin, g.scale);
    g.shardSize = Scaled(kShardSize, g.scale);
    return g;
}

bool SameScene(const SceneGeometry& a, const SceneGeometry& b)
{
    return a.width == b.width && a.height == b.height && a.dpi == b.dpi;
}

namespace {

// A monitor with area that no monitor before it in the list shows already.
bool Shows(const Monitor* monitors, size_t index)
{
    const RECT& area = monitors[index].area;
    if (area.right <= area.left || area.bottom <= area.top) return false;
    for (size_t i = 0; i < index; ++i)
        if (::EqualRect(&monitors[i].area, &area)) return false;
    return true;
}

}  // namespace

bool LayOutMonitors(const Monitor* monitors, size_t count, SaverLayout& layout)
{
    layout.window = RECT{0, 0, 0, 0};
    layout.scenes.clear();
    if (!layout.scenes.reserve(count)) return false;
    for (size_t i = 0; i < count; ++i) {
        if (!Shows(monitors, i)) continue;
        const RECT& area = monitors[i].area;
        if (layout.scenes.empty())
            layout.window = area;
        else
            ::UnionRect(&layout.window, &layout.window, &area);
        layout.scenes.push(ScenePlace{area, MakeSceneGeometry(area.right - area.left, area.bottom - area.top, monitors[i].dpi)});
    }
    for (ScenePlace& place : layout.scenes) ::OffsetRect(&place.area, -layout.window.left, -layout.window.top);
    return true;
}

ScenePlace LayOutPreview(const RECT& client)
{
    return ScenePlace{client, MakeSceneGeometry(kPreviewWidth, kPreviewHeight)};
}
