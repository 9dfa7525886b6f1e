#include "e2e/FrameChecks.h"
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

// The target scene in a headless capture of the show with its own art, at 30 frames a second
// so that bar b begins at frame 50 b: every 20th frame from early in bar 24 to bar 35.
namespace {

using test::expectBlackFrame;
using test::share;

constexpr int first = 1210, last = 1750, every = 20;

std::vector<test::Image> capture() {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    const auto result = test::lumiflux({"--capture", "t/", "--fps", "30", "--frames",
                                        std::to_string(first) + "-" + std::to_string(last),
                                        "--every", std::to_string(every)},
                                       work);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::vector<test::Image> frames;
    for (const auto& path : test::framesIn(work + "/t")) {
        frames.emplace_back();
        EXPECT_TRUE(test::loadPng(path.string(), frames.back())) << path;
    }
    return frames;
}

int lowest(test::Rgb p) {
    return std::min({p.r, p.g, p.b});
}
bool dark(test::Rgb p) {
    return std::max({p.r, p.g, p.b}) < 30;
}
bool orange(test::Rgb p) {
    return p.r > 150 && p.g > 60 && p.g < p.r * 8 / 10 && p.b < p.g * 6 / 10;
}
bool grey(test::Rgb p) {
    return std::max({p.r, p.g, p.b}) - lowest(p) < 20 && lowest(p) > 60;
}
bool red(test::Rgb p) {
    return p.r > 100 && p.r > p.g + 80;
}

// Share of near-white pixels between two radii about the screen's centre.
double ringLit(const test::Image& image, double inner, double outer) {
    int lit = 0, all = 0;
    for (int y = 150; y < 450; ++y)
        for (int x = 250; x < 550; ++x) {
            const double r = std::hypot(x - 400.0, y - 300.0);
            if (r < inner || r >= outer) continue;
            ++all;
            lit += lowest(image.at(x, y)) > 150;
        }
    return static_cast<double>(lit) / all;
}

struct Frames {
    const std::vector<test::Image>& all;
    const test::Image& operator()(int number) const {
        return all.at(static_cast<std::size_t>((number - first) / every));
    }
};

bool bright(test::Rgb p) {
    return lowest(p) >= 200;
}

} // namespace

TEST(TargetCapture, WashPanelsAndReticlesThenTheFlashAndTheRedPulse) {
    const auto frames = capture();
    ASSERT_EQ(frames.size(), 28u);
    const Frames frame{frames};
    expectBlackFrame(frames);
    // Measured shares are given with each check; without the feature each falls to about 0.1
    // (bright: the panels' white alone) or to 0.
    EXPECT_GT(share(frame(1210), bright), 0.9) << "the opening wash"; // 1.0
    const test::Image& field = frame(1510);                           // bar 30
    EXPECT_GT(share(field, dark), 0.1);                               // 0.23, none under a wash
    EXPECT_GT(share(field, grey), 0.3);                               // 0.60
    EXPECT_GT(share(field, orange), 0.004);                           // 0.011
    // The reticles' lines 45-80 px from the centre: 0.42 lit there, 0.08 at 100-135 px.
    EXPECT_GT(ringLit(field, 45, 80), 0.25);
    EXPECT_GT(ringLit(field, 45, 80), 3 * ringLit(field, 100, 135));
    EXPECT_GT(share(frame(1610), bright), 0.9) << "the white flash at bar 32"; // 1.0
    EXPECT_GT(share(frame(1750), red), 0.3) << "the red pulse in bar 35";      // 0.64
}
