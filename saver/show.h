// The night on every monitor at once: per monitor its own scene, pictures at the monitor's DPI and a
// frame buffer the monitor's size, laid out again whenever the monitors change.
#pragma once

#include <windows.h>

#include <cstdint>

#include "cstring.h"
#include "heap.h"
#include "layout.h"
#include "render.h"
#include "scene.h"
#include "settings.h"
#include "sprites.h"

class NightShow {
public:
    // `assets` is the folder with the pictures (empty: stand-ins only).
    NightShow(const SaverSettings& settings, LPCSTR assets, std::uint32_t seed,
              FrameBufferMaker makeFrameBuffer = MakeFrameBuffer);
    NightShow(const NightShow&) = delete;
    NightShow& operator=(const NightShow&) = delete;

    // One scene per place. A scene whose monitor kept its size and DPI goes on where it was; the
    // others start afresh, after the buffers of those that went are freed. A scene without memory
    // for its buffer gets a smaller one, shown enlarged, and at worst a plain sky. False (and nothing
    // shown) when there is not even memory to keep the list.
    bool LayOut(const ScenePlace* places, size_t count);

    // Advances every scene one frame and draws it into its buffer; returns how many pumpkins burst.
    int Step();
    // Copies what changed to the window.
    void PresentChanges(HDC window);
    // Paints every scene whole.
    void PresentAll(HDC window);

    struct Shown {
        ScenePlace place;
        SceneGeometry geometry;  // what it runs at: the place's, or smaller for want of memory
        SpriteSet pictures;
        HeapObject<Scene> scene;              // null when there is no renderer
        HeapObject<NightRenderer> renderer;  // null: no buffer at all, a plain sky
    };
    size_t size() const { return shown_.size(); }
    const Shown& at(size_t i) const { return *shown_[i]; }
    size_t bufferBytes() const;

private:
    HeapObject<Shown> Make(const ScenePlace& place);

    SaverSettings settings_;
    CString assets_;
    Random seeds_;  // one for each scene and each renderer
    FrameBufferMaker makeFrameBuffer_;
    HeapArray<HeapObject<Shown>> shown_;
};
