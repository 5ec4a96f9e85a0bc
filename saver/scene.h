// The night's cast and how it moves: a ghost drifting and fading, a skeleton walking and now and
// then dancing, pumpkins bouncing until one bursts. Pure arithmetic, no drawing, so it can be
// stepped in a test; one Step() is one frame of the 30-per-second timer.
#pragma once

#include <cstdint>

#include "heap.h"
#include "layout.h"
#include "random.h"
#include "settings.h"

struct Ghost {
    double x = 0, y = 0;  // top-left
    double vx = 0;
    double baseY = 0, bobPhase = 0;
    int alpha = 0;        // 0 (gone) .. 255 (solid)
    int targetAlpha = 0;
    int holdFrames = 0;   // frames until the next change of mind
    bool facingLeft = false;
};

struct Skeleton {
    double x = 0, y = 0;  // top-left
    int direction = 1;    // +1 walks right, -1 left
    double stepPhase = 0;
    bool dancing = false;
    int stateFrames = 0;  // frames left in the current walk or dance
};

struct Shard {
    double x = 0, y = 0, vx = 0, vy = 0;
};

// A pumpkin's pieces while it bursts; none otherwise.
struct Shards {
    static constexpr int kCount = 14;
    Shard pieces[kCount];
    int count = 0;

    const Shard* begin() const { return pieces; }
    const Shard* end() const { return pieces + count; }
    Shard* begin() { return pieces; }
    Shard* end() { return pieces + count; }
};

struct Pumpkin {
    enum class State { Bouncing, Bursting, Resting };
    State state = State::Bouncing;
    double x = 0, y = 0;  // top-left
    double vx = 0, vy = 0;
    double floor = 0;     // the y its bottom lands on
    int variant = 0;      // which of the three pumpkin pictures
    int bouncesLeft = 0;  // landings before it bursts
    int timer = 0;        // frames left bursting or resting
    double squash = 0;    // 0..1 just after landing
    Shards shards;
};

class Scene {
public:
    static constexpr int kPumpkinVariants = 3;
    static constexpr int kBurstFrames = 36;

    Scene(const SceneGeometry& geometry, const SaverSettings& settings, std::uint32_t seed);
    // False when there was no memory for the pumpkins.
    bool ok() const { return !pumpkins_.empty(); }

    // Advances one frame; returns how many pumpkins burst in it.
    int Step();

    const SceneGeometry& geometry() const { return geometry_; }
    int width() const { return geometry_.width; }
    int height() const { return geometry_.height; }
    int groundTop() const { return geometry_.groundTop; }
    const FigureSizes& sizes() const { return geometry_.sizes; }
    const Ghost& ghost() const { return ghost_; }
    const Skeleton& skeleton() const { return skeleton_; }
    const HeapArray<Pumpkin>& pumpkins() const { return pumpkins_; }

private:
    void GhostAppears();
    void StepGhost();
    void StepSkeleton();
    bool StepPumpkin(Pumpkin& pumpkin);
    bool Bounce(Pumpkin& pumpkin);
    void StepBurst(Pumpkin& pumpkin);
    void LaunchPumpkin(Pumpkin& pumpkin, bool fresh);
    void Burst(Pumpkin& pumpkin);

    SceneGeometry geometry_;
    double speed_;  // 1.0 at the middle setting
    double step_;   // distances grow with the figures (the DPI scale), so motion looks alike on every monitor
    Random random_;
    Ghost ghost_;
    Skeleton skeleton_;
    HeapArray<Pumpkin> pumpkins_;
};
