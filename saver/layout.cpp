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

SaverLayout LayOutMonitors(const std::vector<Monitor>& monitors)
{
    SaverLayout layout;
    std::vector<Monitor> shown;
    for (const Monitor& m : monitors) {
        if (m.area.right <= m.area.left || m.area.bottom <= m.area.top) continue;
        auto same = [&](const Monitor& s) { return ::EqualRect(&s.area, &m.area); };
        if (std::any_of(shown.begin(), shown.end(), same)) continue;
        shown.push_back(m);
        if (shown.size() == 1)
            layout.window = m.area;
        else
            ::UnionRect(&layout.window, &layout.window, &m.area);
    }
    for (const Monitor& m : shown) {
        ScenePlace place;
        place.area = m.area;
        ::OffsetRect(&place.area, -layout.window.left, -layout.window.top);
        place.geometry = MakeSceneGeometry(m.area.right - m.area.left, m.area.bottom - m.area.top, m.dpi);
        layout.scenes.push_back(place);
    }
    return layout;
}

std::vector<ScenePlace> LayOutPreview(const RECT& client)
{
    return {ScenePlace{client, MakeSceneGeometry(kPreviewWidth, kPreviewHeight)}};
}
