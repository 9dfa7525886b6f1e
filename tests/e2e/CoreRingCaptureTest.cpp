#include "e2e/FrameChecks.h"
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

// The core and ring scenes in one headless capture of the show with its own art, at 15 frames
// a second so that bar b begins at frame 25 b: the core from bar 40 (frame 1000), the ring
// from bar 56 (frame 1400); every 5th frame from bar 41 to bar 59.6. Shares are measured
// inside the frame; the value each check measured is given beside it.
namespace {

using test::share;

constexpr int first = 1025, last = 1490, every = 5;

struct Capture {
    std::string folder;
    int exitCode;
    std::string output;
};

Capture capture() {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    const auto result = test::lumiflux({"--capture", "c/", "--fps", "15", "--frames",
                                        std::to_string(first) + "-" + std::to_string(last),
                                        "--every", std::to_string(every)},
                                       work);
    return {work, result.exitCode, result.output};
}

test::Image frame(const Capture& c, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "/c/frame_%05d.png", number);
    test::Image image;
    EXPECT_TRUE(test::loadPng(c.folder + name, image)) << name;
    return image;
}

int lowest(test::Rgb p) {
    return std::min({p.r, p.g, p.b});
}
int highest(test::Rgb p) {
    return std::max({p.r, p.g, p.b});
}
bool bright(test::Rgb p) {
    return lowest(p) >= 200;
}
bool warm(test::Rgb p) {
    return p.r > 150 && p.r > p.b + 60;
}

// Light pixels in a band of 80 rows across the frame.
int lightInBand(const test::Image& f, int y0) {
    int n = 0;
    for (int y = y0; y < y0 + 80; ++y)
        for (int x = 75; x < 720; ++x)
            n += lowest(f.at(x, y)) > 180;
    return n;
}

// Orange pixels in the middle glyph row where the name is decoded (x 256 to 512).
int orangeInNameRow(const test::Image& f) {
    int n = 0;
    for (int y = 250; y < 286; ++y)
        for (int x = 250; x < 520; ++x)
            n += warm(f.at(x, y)) && f.at(x, y).b < 100;
    return n;
}

bool ringSpot(test::Rgb p) {
    return highest(p) < 150;
}

} // namespace

TEST(CoreRingCapture, TheDecodedNameThenTheRingInNegativeWithItsFlashesAndNames) {
    const Capture c = capture();
    ASSERT_EQ(c.exitCode, 0) << c.output;
    std::vector<test::Image> all;
    for (int n = first; n <= last; n += every)
        all.push_back(frame(c, n));
    std::filesystem::remove_all(c.folder);
    const auto at = [&all](int n) -> const test::Image& { return all.at((n - first) / every); };
    test::expectBlackFrame(all);

    // The core: the glyphs are black before step 240 and at full brightness by bar 55, with
    // the whole name decoded in orange in the middle row.
    EXPECT_LT(share(at(1025), bright), 0.005) << "bar 41";
    EXPECT_GT(share(at(1375), bright), 0.02) << "bar 55"; // 0.051
    EXPECT_EQ(orangeInNameRow(at(1200)), 0) << "bar 48: no letter yet";
    EXPECT_GT(orangeInNameRow(at(1375)), 900) << "bar 55"; // 1,818

    // The ring, a flash every 120 steps (28.8 frames): white with no ring (1430), then the
    // true picture for a moment, dark (1435), then the negative, white with the ring's points
    // dark on it (1455); in the flash of step 480 the first name shows in its band (1490).
    EXPECT_GT(share(at(1430), bright), 0.95);                  // 1.0
    EXPECT_LT(share(at(1430), ringSpot), 0.0005);              // 0
    EXPECT_LT(share(at(1435), bright), 0.01);                  // 0
    EXPECT_GT(share(at(1435), ringSpot), 0.9);                 // 0.975
    EXPECT_GT(share(at(1455), bright), 0.9);                   // 0.963
    EXPECT_GT(share(at(1455), ringSpot), 0.004);               // 0.0137
    EXPECT_GT(lightInBand(at(1490), 100), 3000) << "the name"; // 7,265
    EXPECT_LT(lightInBand(at(1490), 200), 500) << "below it";  // 0
}
