#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kGravity = 0.45;              // pixels per frame squared at the middle speed
const double kShardGravity = 0.22;

// Keeps a figure of `size` inside [0, limit); a figure larger than the screen sits at 0.
double Fit(double position, int size, int limit)
{
    return std::min(std::max(position, 0.0), static_cast<double>(std::max(0, limit - size)));
}

}  // namespace

Scene::Scene(const SceneGeometry& geometry, const SaverSettings& settings, std::uint32_t seed)
    : geometry_(geometry),
      width_(std::max(1, geometry.width)),
      height_(std::max(1, geometry.height)),
      groundTop_(std::min(std::max(0, geometry.groundTop), height_)),
      speed_(ClampSpeed(settings.speed) / 5.0),
      step_(geometry.scale > 0 ? geometry.scale : 1.0),
      sizes_(geometry.sizes),
      random_(seed ? seed : 0x2545F491u)
{
    ghost_.x = RandomRange(0, std::max(0, width_ - sizes_.ghost.width));
    ghost_.baseY = RandomRange(height_ * 0.08, std::max(height_ * 0.08, groundTop_ - sizes_.ghost.height * 1.0));
    ghost_.y = Fit(ghost_.baseY, sizes_.ghost.height, height_);
    ghost_.vx = (Random01() < 0.5 ? -1 : 1) * RandomRange(0.6, 1.3) * step_;
    ghost_.targetAlpha = RandomInt(150, 230);

    skeleton_.x = RandomRange(0, std::max(0, width_ - sizes_.skeleton.width));
    skeleton_.direction = Random01() < 0.5 ? -1 : 1;
    skeleton_.stateFrames = RandomInt(150, 400);
    StepSkeleton();

    if (!pumpkins_.resize(static_cast<size_t>(ClampPumpkins(settings.pumpkins)))) return;
    for (Pumpkin& pumpkin : pumpkins_) {
        LaunchPumpkin(pumpkin, true);
        // Start them at different heights so they do not bounce in step.
        pumpkin.y = Fit(RandomRange(pumpkin.floor - sizes_.pumpkin.height * 3.0, pumpkin.floor - sizes_.pumpkin.height),
                        sizes_.pumpkin.height, height_);
        pumpkin.vy = RandomRange(-2, 2) * speed_ * step_;
    }
}

double Scene::Random01()
{
    // xorshift32: small, fast and plenty for moving pumpkins.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return (random_ >> 8) / static_cast<double>(1u << 24);
}

int Scene::RandomInt(int low, int high)
{
    return low + static_cast<int>(Random01() * (high - low + 1));
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

void Scene::StepGhost()
{
    Ghost& g = ghost_;
    const int fadeStep = std::max(1, static_cast<int>(3 * speed_));
    if (g.alpha < g.targetAlpha) g.alpha = std::min(g.targetAlpha, g.alpha + fadeStep);
    if (g.alpha > g.targetAlpha) g.alpha = std::max(g.targetAlpha, g.alpha - fadeStep);
    if (g.alpha == g.targetAlpha && --g.holdFrames <= 0) {
        if (g.alpha == 0) {
            // Gone: come back somewhere else.
            g.x = RandomRange(0, std::max(0, width_ - sizes_.ghost.width));
            g.baseY = RandomRange(height_ * 0.08, std::max(height_ * 0.08, groundTop_ - sizes_.ghost.height * 1.0));
            g.vx = (Random01() < 0.5 ? -1 : 1) * RandomRange(0.6, 1.3) * step_;
            g.targetAlpha = RandomInt(150, 235);
        } else {
            g.targetAlpha = Random01() < 0.3 ? 0 : RandomInt(90, 235);
        }
        g.holdFrames = RandomInt(20, 120);
    }

    g.x += g.vx * speed_;
    const double maxX = std::max(0, width_ - sizes_.ghost.width);
    if (g.x <= 0 || g.x >= maxX) {
        g.vx = g.x <= 0 ? std::fabs(g.vx) : -std::fabs(g.vx);
        g.x = Fit(g.x, sizes_.ghost.width, width_);
    }
    g.facingLeft = g.vx < 0;
    g.bobPhase += 0.045 * speed_;
    const double bob = std::sin(g.bobPhase) * std::max(6.0 * step_, height_ * 0.03);
    g.y = Fit(g.baseY + bob, sizes_.ghost.height, height_);
}

void Scene::StepSkeleton()
{
    Skeleton& s = skeleton_;
    if (--s.stateFrames <= 0) {
        s.dancing = !s.dancing;
        s.stateFrames = s.dancing ? RandomInt(90, 160) : RandomInt(150, 420);
    }
    const double feet = skeletonFeet();
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
    const double maxX = std::max(0, width_ - sizes_.skeleton.width);
    if (s.x <= 0) s.direction = 1;
    if (s.x >= maxX) s.direction = -1;
    s.x = Fit(s.x, sizes_.skeleton.width, width_);
    s.y = Fit(feet - sizes_.skeleton.height - lift, sizes_.skeleton.height, height_);
}

void Scene::LaunchPumpkin(Pumpkin& p, bool fresh)
{
    const int w = sizes_.pumpkin.width, h = sizes_.pumpkin.height;
    if (fresh) {
        p.state = Pumpkin::State::Bouncing;
        p.variant = RandomInt(0, kPumpkinVariants - 1);
        p.floor = std::min(static_cast<double>(height_), RandomRange(groundTop_ + h * 0.5, height_ - 3.0));
        p.x = RandomRange(0, std::max(0, width_ - w));
        p.y = Fit(p.floor - h, h, height_);
        p.vx = (Random01() < 0.5 ? -1 : 1) * RandomRange(0.2, 1.2) * speed_ * step_;
        p.bouncesLeft = RandomInt(5, 14);
        p.shards.count = 0;
    }
    // Never higher than the top of the screen.
    const double gravity = kGravity * speed_ * speed_ * step_;
    const double rise = std::min(RandomRange(h * 1.5, h * 4.5), std::max(0.0, p.floor - h));
    p.vy = -std::sqrt(2 * gravity * rise);
}

void Scene::Burst(Pumpkin& p)
{
    p.state = Pumpkin::State::Bursting;
    p.timer = kBurstFrames;
    p.shards.count = Shards::kCount;
    const double cx = p.x + sizes_.pumpkin.width / 2.0, cy = p.y + sizes_.pumpkin.height / 2.0;
    for (int i = 0; i < Shards::kCount; ++i) {
        const double angle = (2 * kPi * i) / Shards::kCount + RandomRange(-0.2, 0.2);
        const double v = RandomRange(2.0, 6.0) * speed_ * step_;
        Shard& s = p.shards.pieces[i];
        s.x = cx;
        s.y = cy;
        s.vx = std::cos(angle) * v;
        s.vy = std::sin(angle) * v - 2.5 * speed_ * step_;
    }
}

bool Scene::StepPumpkin(Pumpkin& p)
{
    const int w = sizes_.pumpkin.width, h = sizes_.pumpkin.height;
    switch (p.state) {
    case Pumpkin::State::Bouncing: {
        p.squash = std::max(0.0, p.squash - 0.12 * speed_);
        p.vy += kGravity * speed_ * speed_ * step_;
        p.y += p.vy;
        p.x += p.vx;
        if (p.x <= 0 || p.x >= width_ - w) p.vx = p.x <= 0 ? std::fabs(p.vx) : -std::fabs(p.vx);
        p.x = Fit(p.x, w, width_);
        if (p.y + h >= p.floor) {
            p.y = p.floor - h;
            p.squash = 1;
            if (--p.bouncesLeft <= 0) {
                Burst(p);
                p.y = Fit(p.y, h, height_);
                return true;
            }
            LaunchPumpkin(p, false);
        }
        p.y = Fit(p.y, h, height_);
        return false;
    }
    case Pumpkin::State::Bursting:
        for (Shard& s : p.shards) {
            s.vy += kShardGravity * speed_ * speed_ * step_;
            s.x = Fit(s.x + s.vx, geometry_.shardSize, width_);
            s.y = Fit(s.y + s.vy, geometry_.shardSize, height_);
        }
        if (--p.timer <= 0) {
            p.state = Pumpkin::State::Resting;
            p.shards.count = 0;
            p.timer = RandomInt(20, 90);
        }
        return false;
    case Pumpkin::State::Resting:
        if (--p.timer <= 0) LaunchPumpkin(p, true);
        return false;
    }
    return false;
}
