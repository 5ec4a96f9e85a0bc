#include <doctest.h>

#include "scene.h"

namespace {

bool Inside(double x, double y, int w, int h, const Scene& scene)
{
    return x >= 0 && y >= 0 && x + w <= scene.width() && y + h <= scene.height();
}

}  // namespace

TEST_CASE("scene keeps every figure on screen")
{
    // Among them every monitor of the layout tests' desks.
    const int screens[][3] = {{1024, 768, 96}, {1920, 1080, 96}, {800, 600, 96}, {3840, 1080, 96}, {640, 200, 96},
                              {3840, 2160, 192}, {1080, 1920, 144}, {2560, 1440, 96}, {1280, 1024, 96},
                              {1280, 720, 96}, {1600, 900, 96}};
    for (const auto& screen : screens) {
        for (int speed : {1, 5, 10}) {
            INFO("screen ", screen[0], "x", screen[1], " at ", screen[2], " DPI, speed ", speed);
            Scene scene(MakeSceneGeometry(screen[0], screen[1], screen[2]), SaverSettings{true, 12, speed}, 12345u + speed);
            const FigureSizes& sizes = scene.sizes();
            const int shard = scene.geometry().shardSize;
            int bursts = 0;
            bool sawFaded = false, sawDance = false;
            for (int frame = 0; frame < 30 * 60; ++frame) {
                bursts += scene.Step();
                const Ghost& g = scene.ghost();
                REQUIRE(Inside(g.x, g.y, sizes.ghost.width, sizes.ghost.height, scene));
                REQUIRE(g.alpha >= 0);
                REQUIRE(g.alpha <= 255);
                sawFaded |= g.alpha < 100;
                const Skeleton& s = scene.skeleton();
                REQUIRE(Inside(s.x, s.y, sizes.skeleton.width, sizes.skeleton.height, scene));
                sawDance |= s.dancing;
                for (const Pumpkin& p : scene.pumpkins()) {
                    REQUIRE(Inside(p.x, p.y, sizes.pumpkin.width, sizes.pumpkin.height, scene));
                    REQUIRE(p.variant >= 0);
                    REQUIRE(p.variant < Scene::kPumpkinVariants);
                    for (const Shard& piece : p.shards)
                        REQUIRE(Inside(piece.x, piece.y, shard, shard, scene));
                }
            }
            // In a minute the show must have happened: bursts, a fading ghost, a dance.
            CHECK(bursts > 0);
            CHECK(sawFaded);
            CHECK(sawDance);
            CHECK(scene.pumpkins().size() == 12u);
        }
    }
}

TEST_CASE("scene pumpkins land on the ground and burst after bouncing")
{
    Scene scene(MakeSceneGeometry(1024, 768), SaverSettings{true, 3, 5}, 99u);
    const FigureSizes& sizes = scene.sizes();
    bool sawBursting = false, sawResting = false, sawBack = false;
    for (int frame = 0; frame < 30 * 90; ++frame) {
        scene.Step();
        for (const Pumpkin& p : scene.pumpkins()) {
            CHECK(p.floor >= scene.groundTop());
            CHECK(p.floor <= scene.height());
            CHECK(p.y + sizes.pumpkin.height <= p.floor + 0.001);
            if (p.state == Pumpkin::State::Bursting) sawBursting = true;
            if (p.state == Pumpkin::State::Resting) sawResting = true;
            if (sawResting && p.state == Pumpkin::State::Bouncing) sawBack = true;
        }
    }
    CHECK(sawBursting);
    CHECK(sawResting);
    CHECK(sawBack);
}

TEST_CASE("scene survives screens smaller than the figures")
{
    for (const auto& screen : {std::make_pair(1, 1), std::make_pair(30, 20), std::make_pair(0, 0), std::make_pair(-5, 100)}) {
        Scene scene(MakeSceneGeometry(screen.first, screen.second), SaverSettings{true, 0, 99}, 0u);
        for (int frame = 0; frame < 600; ++frame) scene.Step();
        CHECK(scene.width() >= 1);
        CHECK(scene.height() >= 1);
        CHECK(scene.pumpkins().size() == 1u);  // 0 is clamped up
        CHECK(scene.ghost().x == 0);
        CHECK(scene.skeleton().x == 0);
    }
}
