#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {

const double kGravity = 0.45;              // pixels per frame squared at the middle speed
const double kShardGravity = 0.22;

// Keeps a figure of `size` inside [0, limit); a figure larger than the screen sits at 0.
double Fit(double position, int size, int limit)
{
    return std::min(std::max(position, 0.0), static_cast<double>(std::max(0, limit - size)));
}

}  // namespace

Scene::Scene(const SceneGeometry& geometry, const SaverSettings& settings, std::uint32_t seed)
    : geometry_(geometry), speed_(ClampSpeed(settings.speed) / 5.0), step_(geometry.scale), random_(seed)
{
    const FigureSizes& sizes = geometry_.sizes;
    GhostAppears();
    ghost_.y = Fit(ghost_.baseY, sizes.ghost.height, height());

    skeleton_.x = random_.Range(0, std::max(0, width() - sizes.skeleton.width));
    skeleton_.direction = random_.Sign();
    skeleton_.stateFrames = random_.Int(150, 400);
    StepSkeleton();

    if (!pumpkins_.resize(static_cast<size_t>(ClampPumpkins(settings.pumpkins)))) return;
    for (Pumpkin& pumpkin : pumpkins_) {
        LaunchPumpkin(pumpkin, true);
        // Start them at different heights so they do not bounce in step.
        const int h = sizes.pumpkin.height;
        pumpkin.y = Fit(random_.Range(pumpkin.floor - h * 3.0, pumpkin.floor - h), h, height());
        pumpkin.vy = random_.Range(-2, 2) * speed_ * step_;
    }
}

int Scene::Step()
{
    StepGhost();
    StepSkeleton();
    int bursts = 0;
    for (Pumpkin& pumpkin : pumpkins_)
        if (StepPumpkin(pumpkin)) ++bursts;
    return bursts;
}

// Somewhere above the graveyard, drifting either way, fading in.
void Scene::GhostAppears()
{
    Ghost& g = ghost_;
    const FigureSize size = geometry_.sizes.ghost;
    g.x = random_.Range(0, std::max(0, width() - size.width));
    g.baseY = random_.Range(height() * 0.08, std::max(height() * 0.08, groundTop() - size.height * 1.0));
    g.vx = random_.Sign() * random_.Range(0.6, 1.3) * step_;
    g.targetAlpha = random_.Int(150, 235);
}

void Scene::StepGhost()
{
    Ghost& g = ghost_;
    const FigureSize size = geometry_.sizes.ghost;
    const int fadeStep = std::max(1, static_cast<int>(3 * speed_));
    if (g.alpha < g.targetAlpha) g.alpha = std::min(g.targetAlpha, g.alpha + fadeStep);
    if (g.alpha > g.targetAlpha) g.alpha = std::max(g.targetAlpha, g.alpha - fadeStep);
    if (g.alpha == g.targetAlpha && --g.holdFrames <= 0) {
        if (g.alpha == 0)
            GhostAppears();  // gone: back somewhere else
        else
            g.targetAlpha = random_.Unit() < 0.3 ? 0 : random_.Int(90, 235);
        g.holdFrames = random_.Int(20, 120);
    }

    g.x += g.vx * speed_;
    const double maxX = std::max(0, width() - size.width);
    if (g.x <= 0 || g.x >= maxX) {
        g.vx = g.x <= 0 ? std::fabs(g.vx) : -std::fabs(g.vx);
        g.x = Fit(g.x, size.width, width());
    }
    g.facingLeft = g.vx < 0;
    g.bobPhase += 0.045 * speed_;
    const double bob = std::sin(g.bobPhase) * std::max(6.0 * step_, height() * 0.03);
    g.y = Fit(g.baseY + bob, size.height, height());
}

void Scene::StepSkeleton()
{
    Skeleton& s = skeleton_;
    const FigureSize size = geometry_.sizes.skeleton;
    if (--s.stateFrames <= 0) {
        s.dancing = !s.dancing;
        s.stateFrames = s.dancing ? random_.Int(90, 160) : random_.Int(150, 420);
    }
    double lift;
    if (s.dancing) {
        const double before = s.stepPhase;
        s.stepPhase += 0.22 * speed_;
        // A jig: hop, and face the other way on every landing.
        if (std::floor(before / kPi) != std::floor(s.stepPhase / kPi)) s.direction = -s.direction;
        lift = std::fabs(std::sin(s.stepPhase)) * 16 * step_;
    } else {
        s.stepPhase += 0.2 * speed_;
        s.x += s.direction * 1.1 * speed_ * step_;
        lift = std::fabs(std::sin(s.stepPhase)) * 3 * step_;
    }
    const double maxX = std::max(0, width() - size.width);
    if (s.x <= 0) s.direction = 1;
    if (s.x >= maxX) s.direction = -1;
    s.x = Fit(s.x, size.width, width());
    s.y = Fit(geometry_.skeletonFeet - size.height - lift, size.height, height());
}

void Scene::LaunchPumpkin(Pumpkin& p, bool fresh)
{
    const int w = geometry_.sizes.pumpkin.width, h = geometry_.sizes.pumpkin.height;
    if (fresh) {
        p.state = Pumpkin::State::Bouncing;
        p.variant = random_.Int(0, kPumpkinVariants - 1);
        p.floor = std::min(static_cast<double>(height()), random_.Range(groundTop() + h * 0.5, height() - 3.0));
        p.x = random_.Range(0, std::max(0, width() - w));
        p.y = Fit(p.floor - h, h, height());
        p.vx = random_.Sign() * random_.Range(0.2, 1.2) * speed_ * step_;
        p.bouncesLeft = random_.Int(5, 14);
        p.shards.count = 0;
    }
    // Never higher than the top of the screen.
    const double gravity = kGravity * speed_ * speed_ * step_;
    const double rise = std::min(random_.Range(h * 1.5, h * 4.5), std::max(0.0, p.floor - h));
    p.vy = -std::sqrt(2 * gravity * rise);
}

void Scene::Burst(Pumpkin& p)
{
    p.state = Pumpkin::State::Bursting;
    p.timer = kBurstFrames;
    p.shards.count = Shards::kCount;
    const FigureSize size = geometry_.sizes.pumpkin;
    const double cx = p.x + size.width / 2.0, cy = p.y + size.height / 2.0;
    for (int i = 0; i < Shards::kCount; ++i) {
        const double angle = (2 * kPi * i) / Shards::kCount + random_.Range(-0.2, 0.2);
        const double v = random_.Range(2.0, 6.0) * speed_ * step_;
        Shard& s = p.shards.pieces[i];
        s.x = cx;
        s.y = cy;
        s.vx = std::cos(angle) * v;
        s.vy = std::sin(angle) * v - 2.5 * speed_ * step_;
    }
}

bool Scene::StepPumpkin(Pumpkin& p)
{
    switch (p.state) {
    case Pumpkin::State::Bouncing:
        return Bounce(p);
    case Pumpkin::State::Bursting:
        StepBurst(p);
        return false;
    case Pumpkin::State::Resting:
        if (--p.timer <= 0) LaunchPumpkin(p, true);
        return false;
    }
    return false;
}

// One frame of a bouncing pumpkin; true when it lands for the last time and bursts.
bool Scene::Bounce(Pumpkin& p)
{
    const int w = geometry_.sizes.pumpkin.width, h = geometry_.sizes.pumpkin.height;
    p.squash = std::max(0.0, p.squash - 0.12 * speed_);
    p.vy += kGravity * speed_ * speed_ * step_;
    p.y += p.vy;
    p.x += p.vx;
    if (p.x <= 0 || p.x >= width() - w) p.vx = p.x <= 0 ? std::fabs(p.vx) : -std::fabs(p.vx);
    p.x = Fit(p.x, w, width());
    bool burst = false;
    if (p.y + h >= p.floor) {
        p.y = p.floor - h;
        p.squash = 1;
        burst = --p.bouncesLeft <= 0;
        if (burst)
            Burst(p);
        else
            LaunchPumpkin(p, false);
    }
    p.y = Fit(p.y, h, height());
    return burst;
}

void Scene::StepBurst(Pumpkin& p)
{
    for (Shard& s : p.shards) {
        s.vy += kShardGravity * speed_ * speed_ * step_;
        s.x = Fit(s.x + s.vx, geometry_.shardSize, width());
        s.y = Fit(s.y + s.vy, geometry_.shardSize, height());
    }
    if (--p.timer <= 0) {
        p.state = Pumpkin::State::Resting;
        p.shards.count = 0;
        p.timer = random_.Int(20, 90);
    }
}
