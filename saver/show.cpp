#include "show.h"

#include <algorithm>
#include <new>

namespace {

// Each try halves the buffer's width and height; the last is 1/8 of the monitor's size.
const int kSmallestBuffer = 8;

// The sky's colour where nothing better can be had.
const COLORREF kPlainSky = RGB(22, 14, 52);

}  // namespace

NightShow::NightShow(const SaverSettings& settings, LPCSTR assets, std::uint32_t seed,
                     FrameBufferMaker makeFrameBuffer)
    : settings_(settings), assets_(assets), seed_(seed ? seed : 1u), makeFrameBuffer_(makeFrameBuffer)
{
}

std::uint32_t NightShow::NextSeed()
{
    seed_ = seed_ * 1664525u + 1013904223u;
    return seed_ ^ (seed_ >> 15);
}

std::unique_ptr<NightShow::Shown> NightShow::Make(const ScenePlace& place)
{
    std::unique_ptr<Shown> shown;
    try {
        shown.reset(new Shown());
        shown->place = place;
        const SceneGeometry& full = place.geometry;
        for (int divisor = 1; divisor <= kSmallestBuffer; divisor *= 2) {
            try {
                shown->renderer.reset();
                shown->scene.reset();
                shown->geometry = MakeSceneGeometry(full.width / divisor, full.height / divisor, full.dpi / divisor);
                shown->pictures = LoadSprites(assets_, shown->geometry.sizes);
                shown->scene.reset(new Scene(shown->geometry, settings_, NextSeed()));
                shown->renderer.reset(new NightRenderer(shown->geometry, shown->pictures, NextSeed(), makeFrameBuffer_));
                if (shown->renderer->ok()) return shown;
            } catch (const std::bad_alloc&) {
                // tried again smaller
            }
        }
        shown->renderer.reset();
        shown->scene.reset();
        shown->pictures = SpriteSet();
        shown->geometry = full;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return shown;
}

void NightShow::LayOut(const std::vector<ScenePlace>& places)
{
    try {
        // Scenes that can go on, by the place they go on at; the others are freed before new ones are
        // made. One that had to make do with less memory is made again: there may be more now.
        std::vector<std::unique_ptr<Shown>> next(places.size());
        for (size_t i = 0; i < places.size(); ++i) {
            for (auto& old : shown_) {
                if (old && old->renderer && SameScene(old->geometry, places[i].geometry)) {
                    next[i] = std::move(old);
                    next[i]->place.area = places[i].area;
                    break;
                }
            }
        }
        shown_.clear();
        for (size_t i = 0; i < places.size(); ++i)
            if (!next[i]) next[i] = Make(places[i]);
        next.erase(std::remove(next.begin(), next.end(), nullptr), next.end());
        shown_.swap(next);
    } catch (const std::bad_alloc&) {
        shown_.clear();  // not even room to keep count: nothing is shown rather than half of it
    }
}

int NightShow::Step()
{
    int bursts = 0;
    for (auto& shown : shown_) {
        if (!shown->renderer) continue;
        bursts += shown->scene->Step();
        shown->renderer->DrawFrame(*shown->scene);
    }
    return bursts;
}

void NightShow::PresentChanges(HDC window)
{
    for (auto& shown : shown_)
        if (shown->renderer) shown->renderer->PresentChanges(window, shown->place.area);
}

void NightShow::PresentAll(HDC window)
{
    GdiObject<HBRUSH> sky(::CreateSolidBrush(kPlainSky));
    for (auto& shown : shown_) {
        if (shown->renderer)
            shown->renderer->PresentAll(window, shown->place.area);
        else
            ::FillRect(window, &shown->place.area, sky.get());
    }
}

size_t NightShow::bufferBytes() const
{
    size_t bytes = 0;
    for (const auto& shown : shown_)
        if (shown->renderer) bytes += shown->renderer->bufferBytes();
    return bytes;
}
