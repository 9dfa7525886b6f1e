#include "e2e/FrameChecks.h"
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <algorithm>
#include <gtest/gtest.h>

// The warning scene in a headless capture of the show with its own art, at 30 frames a second
// so that bar b begins at frame 50 b: every 25th frame from bar 9.5 to bar 20.
namespace {

using test::expectBlackFrame;
using test::share;

// Every 25th frame from 475 to 1000.
std::vector<test::Image> capture() {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    const auto result = test::lumiflux(
        {"--capture", "w/", "--fps", "30", "--frames", "475-1000", "--every", "25"}, work);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::vector<test::Image> frames;
    for (const auto& path : test::framesIn(work + "/w")) {
        frames.emplace_back();
        EXPECT_TRUE(test::loadPng(path.string(), frames.back())) << path;
    }
    return frames;
}

double mean(const test::Image& image) {
    double sum = 0;
    share(image, [&sum](test::Rgb p) {
        sum += (p.r + p.g + p.b) / 3.0;
        return false;
    });
    return sum / (645.0 * 450.0);
}

bool white(test::Rgb p) {
    return std::min({p.r, p.g, p.b}) >= 235;
}
bool dark(test::Rgb p) {
    return std::max({p.r, p.g, p.b}) < 30;
}
bool red(test::Rgb p) {
    return p.r > 150 && p.g < p.r * 6 / 10 && p.b < p.r * 3 / 10;
}

// The frame of a number, from the capture's every 25th.
struct Frames {
    const std::vector<test::Image>& all;
    const test::Image& operator()(int number) const {
        return all.at(static_cast<std::size_t>((number - 475) / 25));
    }
};

void expectWhiteLattice(const Frames& frame) {
    for (int number : {475, 550, 650, 725}) {
        EXPECT_GT(share(frame(number), white), 0.25) << number;
        EXPECT_GT(share(frame(number), [](test::Rgb p) { return p.r > p.b + 60; }), 0.02)
            << number << ": the red cubes and orange struts";
    }
}

void expectBar15Fade(const Frames& frame) {
    // Bar 15 runs from frame 750 to 800: white before, grey half way, black at its end.
    const double before = mean(frame(725)), halfway = mean(frame(775)), after = mean(frame(800));
    EXPECT_LT(halfway, before * 0.7) << before;
    EXPECT_LT(after, halfway * 0.7) << halfway;
    EXPECT_LT(share(frame(775), white), 0.01);
}

void expectRedField(const Frames& frame) {
    for (int number : {825, 900, 1000}) {
        const test::Image& image = frame(number);
        EXPECT_GT(share(image, dark), 0.35) << number;
        EXPECT_GT(share(image, red), 0.01) << number;
        // The sign's white lettering sits in the upper left, over its hazard stripes.
        int lettering = 0, elsewhere = 0;
        for (int y = 75; y < 190; ++y)
            for (int x = 75; x < 370; ++x) {
                lettering += std::min({image.at(x, y).r, image.at(x, y).g, image.at(x, y).b}) > 110;
                elsewhere += std::min({image.at(x + 345, y + 330).r, image.at(x + 345, y + 330).g,
                                       image.at(x + 345, y + 330).b}) > 110;
            }
        EXPECT_GT(lettering, 1500) << number; // about 2,300 here
        EXPECT_LT(elsewhere, lettering / 4) << number;
    }
}

} // namespace

TEST(WarningCapture, WhiteLatticeFadeOfBar15ThenRedFieldWithTheSign) {
    const auto frames = capture();
    ASSERT_EQ(frames.size(), 22u);
    const Frames frame{frames};
    expectBlackFrame(frames);
    expectWhiteLattice(frame);
    expectBar15Fade(frame);
    expectRedField(frame);
}
