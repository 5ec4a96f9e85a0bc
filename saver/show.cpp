#include "show.h"

#include <utility>

namespace {

// Each try halves the buffer's width and height; the last is 1/8 of the monitor's size.
const int kSmallestBuffer = 8;

// The sky's colour where nothing better can be had.
const COLORREF kPlainSky = RGB(22, 14, 52);

}  // namespace

NightShow::NightShow(const SaverSettings& settings, LPCSTR assets, std::uint32_t seed,
                     FrameBufferMaker makeFrameBuffer)
    : settings_(settings), assets_(assets), seeds_(seed), makeFrameBuffer_(makeFrameBuffer)
{
}

HeapObject<NightShow::Shown> NightShow::Make(const ScenePlace& place)
{
    HeapObject<Shown> shown;
    if (!shown.make()) return shown;
    shown->place = place;
    const SceneGeometry& full = place.geometry;
    for (int divisor = 1; divisor <= kSmallestBuffer; divisor *= 2) {
        shown->renderer.reset();
        shown->scene.reset();
        shown->geometry = MakeSceneGeometry(full.width / divisor, full.height / divisor, full.dpi / divisor);
        shown->pictures = LoadSprites(assets_, shown->geometry.sizes);
        if (!shown->pictures.complete()) continue;
        if (!shown->scene.make(shown->geometry, settings_, seeds_.Seed()) || !shown->scene->ok()) continue;
        if (shown->renderer.make(*shown->scene, shown->pictures, seeds_.Seed(), makeFrameBuffer_) && shown->renderer->ok())
            return shown;
    }
    shown->renderer.reset();
    shown->scene.reset();
    shown->pictures = SpriteSet();
    shown->geometry = full;
    return shown;
}

bool NightShow::LayOut(const ScenePlace* places, size_t count)
{
    // Scenes that can go on, by the place they go on at; the others are freed before new ones are
    // made. One that had to make do with less memory is made again: there may be more now.
    HeapArray<HeapObject<Shown>> next;
    if (!next.resize(count)) {
        shown_.clear();
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        for (HeapObject<Shown>& old : shown_) {
            if (old && old->renderer && SameScene(old->geometry, places[i].geometry)) {
                next[i] = std::move(old);
                next[i]->place.area = places[i].area;
                break;
            }
        }
    }
    shown_.clear();
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!next[i]) next[i] = Make(places[i]);
        // A scene without even the memory for its own record is left out.
        if (next[i]) next[kept++] = std::move(next[i]);
    }
    next.resize(kept);
    shown_.swap(next);
    return true;
}

int NightShow::Step()
{
    int bursts = 0;
    for (HeapObject<Shown>& shown : shown_) {
        if (!shown->renderer) continue;
        bursts += shown->scene->Step();
        shown->renderer->DrawFrame(*shown->scene);
    }
    return bursts;
}

void NightShow::PresentChanges(HDC window)
{
    for (HeapObject<Shown>& shown : shown_)
        if (shown->renderer) shown->renderer->PresentChanges(window, shown->place.area);
}

void NightShow::PresentAll(HDC window)
{
    GdiObject<HBRUSH> sky(::CreateSolidBrush(kPlainSky));
    for (HeapObject<Shown>& shown : shown_) {
        if (shown->renderer)
            shown->renderer->PresentAll(window, shown->place.area);
        else
            ::FillRect(window, &shown->place.area, sky.get());
    }
}

size_t NightShow::bufferBytes() const
{
    size_t bytes = 0;
    for (const HeapObject<Shown>& shown : shown_)
        if (shown->renderer) bytes += shown->renderer->bufferBytes();
    return bytes;
}
