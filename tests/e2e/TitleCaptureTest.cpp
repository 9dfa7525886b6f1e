#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

// The opening seconds of the show captured headless at 60 frames a second, with a stand-in
// title: a grey block of level 50, 440 x 120, centred in its 512 x 512 image.
namespace {

constexpr int titleLevel = 50;
// Saturated white with the static blended over it at alpha 32: 255 x 223/255 + 127.5 x 32/255.
constexpr double underStatic = 239.0;

class TitleCapture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        work = new std::string(test::makeTempFolder());
        std::filesystem::create_directory(*work + "/data");
        std::vector<std::uint8_t> rgba(512 * 512 * 4, 0);
        for (int y = 196; y < 316; ++y)
            for (int x = 36; x < 476; ++x)
                for (int c = 0; c < 4; ++c)
                    rgba[(y * 512 + x) * 4 + c] = c == 3 ? 255 : titleLevel;
        ASSERT_TRUE(test::saveRgbaPng(*work + "/data/lf.png", 512, 512, rgba));
    }
    static void TearDownTestSuite() { delete work; }

    // Frames first..last of a capture of their own.
    static std::vector<test::Image> capture(int first, int last) {
        const std::string folder = "f" + std::to_string(first) + "/";
        const auto result = test::lumiflux(
            {"--capture", folder, "--frames", std::to_string(first) + "-" + std::to_string(last)},
            *work);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        std::vector<test::Image> frames;
        for (const auto& path : test::framesIn(*work + "/" + folder)) {
            frames.emplace_back();
            EXPECT_TRUE(test::loadPng(path.string(), frames.back()));
        }
        EXPECT_EQ(frames.size(), static_cast<std::size_t>(last - first + 1));
        return frames;
    }

    static double mean(const test::Image& image, int x0, int y0, int x1, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += image.at(x, y).g;
        return sum / ((x1 - x0) * (y1 - y0));
    }

    static void expectLetterbox(const test::Image& frame) {
        EXPECT_EQ(test::countDifferent(frame, 0, 0, 800, 75, {0, 0, 0}, 0), 0);
        EXPECT_EQ(test::countDifferent(frame, 0, 525, 800, 600, {0, 0, 0}, 0), 0);
    }

    // The left door's inner edge: the first column, going left from the middle, where the
    // static above the title (rows 80-170) is darkened by the panel.
    static int leftDoorEdge(const test::Image& frame) {
        for (int x = 399; x > 0; --x)
            if (mean(frame, x, 80, x + 1, 170) < 11.0) return x + 1;
        return 0;
    }
    static int rightDoorEdge(const test::Image& frame) {
        for (int x = 400; x < 800; ++x)
            if (mean(frame, x, 80, x + 1, 170) < 11.0) return x;
        return 800;
    }

    static std::string* work;
};

std::string* TitleCapture::work = nullptr;

// 16 ms steps against 16.7 ms frames: step s is reached near frame s x 0.96.
int stepsAt(int frame) {
    return static_cast<int>(frame * 1000.0 / 60.0 / 16.0);
}

} // namespace

TEST_F(TitleCapture, TheFirstFramesOnlyClearThenTheTitleShowsBetweenTheDoors) {
    const auto frames = capture(0, 2);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(test::countDifferent(frames[0], 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    EXPECT_EQ(test::countDifferent(frames[1], 0, 0, 800, 600, {0, 0, 0}, 0), 0);
    expectLetterbox(frames[2]);
    // Two steps: the doors stand 4 px apart and the sixteen copies add up to white there.
    EXPECT_NEAR(mean(frames[2], 398, 290, 402, 310), underStatic, 3);
    EXPECT_EQ(test::countDifferent(frames[2], 0, 75, 396, 525, {0, 0, 0}, 0), 0);
}

TEST_F(TitleCapture, TheDoorsSlideApartOnePixelAStep) {
    const auto frames = capture(30, 90);
    for (const auto& frame : frames)
        expectLetterbox(frame);
    for (int at : {30, 60, 90}) {
        const test::Image& frame = frames[at - 30];
        const int open = stepsAt(at); // the tolerance covers the step a frame may straddle
        EXPECT_NEAR(leftDoorEdge(frame), 400 - open, 2) << "frame " << at;
        EXPECT_NEAR(rightDoorEdge(frame), 400 + open, 2) << "frame " << at;
        EXPECT_NEAR(mean(frame, 390, 290, 410, 310), underStatic, 3) << "frame " << at;
    }
}

TEST_F(TitleCapture, TheLastFramesArePillaredWithStaticAroundTheTitle) {
    const auto frames = capture(795, 799);
    ASSERT_EQ(frames.size(), 5u);
    for (const auto& frame : frames) {
        expectLetterbox(frame);
        EXPECT_EQ(test::countDifferent(frame, 0, 75, 75, 525, {0, 0, 0}, 0), 0);
        EXPECT_EQ(test::countDifferent(frame, 720, 75, 800, 525, {0, 0, 0}, 0), 0);
        // The shake is down to 5 px: all sixteen copies overlap over the block's middle.
        EXPECT_NEAR(mean(frame, 200, 260, 600, 340), underStatic, 3);
        // Grey static of alpha 32 over black: mean 127.5 x 32/255, and far from flat.
        const double level = mean(frame, 80, 80, 715, 170);
        EXPECT_NEAR(level, 16.0, 1.5);
        EXPECT_GT(test::countDifferent(frame, 80, 80, 715, 170, {16, 16, 16}, 8), 20000);
    }
    // Scrolled anew every frame.
    EXPECT_GT(test::compareImages(frames[0], frames[1], 4), 20000);
}
