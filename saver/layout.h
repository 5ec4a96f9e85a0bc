// Where the night is shown: one complete scene per monitor, each sized to its monitor and drawn at
// its monitor's DPI, inside one window that spans them all. Plain arithmetic on monitor lists, so
// any arrangement of monitors can be tried, not only the one the machine at hand has.
#pragma once

#include <windows.h>

#include "heap.h"

struct FigureSize {
    int width;
    int height;
};

// The figures' sizes in pixels; the defaults are the pictures' own sizes, drawn at 96 DPI.
struct FigureSizes {
    FigureSize ghost{141, 106};
    FigureSize skeleton{116, 73};
    FigureSize pumpkin{40, 40};
};

struct Moon {
    int x, y, radius;  // centre and radius of the disc
};

// One scene's own layout, for its motion and its picture alike: its size, where the graveyard and the
// moon are, how big the figures are.
struct SceneGeometry {
    int width = 1, height = 1;  // pixels
    int dpi = 96;
    double scale = 1;           // figure pixels per picture pixel (dpi / 96): figures keep their physical size
    int groundTop = 0;          // where the graveyard begins (the horizon)
    double skeletonFeet = 0;    // the line the skeleton walks on (figures below it stand in front of it)
    Moon moon = {0, 0, 1};
    FigureSizes sizes;
    int shardSize = 5;          // a burst pumpkin's pieces
};

const int kBaseDpi = 96;
const double kPi = 3.14159265358979323846;

SceneGeometry MakeSceneGeometry(int width, int height, int dpi = kBaseDpi);
// Same size and DPI: a scene made for one can go on running for the other.
bool SameScene(const SceneGeometry& a, const SceneGeometry& b);

struct Monitor {
    RECT area;  // in screen coordinates
    int dpi;
};

// One scene and where it is shown, in the coordinates of the window's client area. The scene is
// stretched to the area where their sizes differ (the little preview).
struct ScenePlace {
    RECT area;
    SceneGeometry geometry;
};

struct SaverLayout {
    RECT window = {0, 0, 0, 0};  // screen coordinates: the smallest rectangle holding every monitor
    HeapArray<ScenePlace> scenes;
};

// One scene per monitor (a monitor listed twice, as mirrored displays are, gets one); monitors
// without area are left out. False when there is no memory for the list.
bool LayOutMonitors(const Monitor* monitors, size_t count, SaverLayout& layout);
// The preview: one scene of a full screen's proportions, shrunk into `client`.
ScenePlace LayOutPreview(const RECT& client);
