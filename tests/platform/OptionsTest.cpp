#include "Options.h"

#include <gtest/gtest.h>

using host::parseOptions;

TEST(Options, PlayAndCaptureForms) {
    auto play = parseOptions({});
    EXPECT_TRUE(play.error.empty());
    EXPECT_FALSE(play.options.fullScreen.has_value());
    EXPECT_TRUE(play.options.captureFolder.empty());

    auto windowed = parseOptions({"--windowed"});
    ASSERT_TRUE(windowed.error.empty());
    EXPECT_EQ(windowed.options.fullScreen, false);
    EXPECT_EQ(parseOptions({"--fullscreen"}).options.fullScreen, true);

    auto capture = parseOptions({"--capture", "out/", "--fps", "30", "--frames", "10-19"});
    ASSERT_TRUE(capture.error.empty()) << capture.error;
    EXPECT_EQ(capture.options.captureFolder, "out/");
    EXPECT_EQ(capture.options.fps, 30);
    EXPECT_EQ(capture.options.firstFrame, 10);
    EXPECT_EQ(capture.options.lastFrame, 19);
    EXPECT_EQ(parseOptions({"--capture", "out"}).options.lastFrame, -1);
    const auto video = parseOptions({"--capture", "out/show.mp4", "--frames", "0-9"});
    ASSERT_TRUE(video.error.empty());
    EXPECT_EQ(video.options.captureVideo, "out/show.mp4");
    EXPECT_TRUE(video.options.captureFolder.empty());
    EXPECT_EQ(parseOptions({"--capture", "frames.d/"}).options.captureFolder, "frames.d/");
    EXPECT_EQ(parseOptions({"--capture", "out/", "--every", "50"}).options.every, 50);
    EXPECT_EQ(parseOptions({"--capture", "out/"}).options.every, 1);
    const auto big = parseOptions({"--capture", "show.mp4", "--size", "3840x2160"});
    ASSERT_TRUE(big.error.empty()) << big.error;
    EXPECT_EQ(big.options.frameWidth, 3840);
    EXPECT_EQ(big.options.frameHeight, 2160);
    const auto odd = parseOptions({"--capture", "out/", "--size", "1366x768"});
    EXPECT_EQ(odd.options.frameWidth, 1366);
    EXPECT_EQ(parseOptions({"--capture", "out/"}).options.frameWidth, 0); // the show's own
    // A video and its stills, in either order.
    const auto both = parseOptions({"--capture", "stills/", "--capture", "show.mp4", "--every", "50"});
    ASSERT_TRUE(both.error.empty()) << both.error;
    EXPECT_EQ(both.options.captureFolder, "stills/");
    EXPECT_EQ(both.options.captureVideo, "show.mp4");
    EXPECT_EQ(both.options.every, 50);
}

TEST(Options, BadCommandLinesGiveOneLineErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--windowed", "--fullscreen"},
        {"--capture"},
        {"--capture", "out/", "--fps", "0"},
        {"--capture", "out/", "--fps", "sixty"},
        {"--capture", "out/", "--frames", "9-3"},
        {"--capture", "out/", "--frames", "-3"},
        {"--capture", "out/", "--frames", "1-x"},
        {"--frames", "0-9"},
        {"--fps", "30"},
        {"--capture", "out/", "--every", "0"},
        {"--capture", "show.mp4", "--every", "2"},
        {"--capture", "a/", "--capture", "b/"}, // one folder, one video at most
        {"--capture", "a.mp4", "--capture", "b.mkv"},
        {"--every", "2"},
        {"--capture", "out/", "--size", "399x300"}, // smaller than half the picture
        {"--capture", "out/", "--size", "640x299"},
        {"--capture", "out/", "--size", "8193x4320"}, // beyond 8K
        {"--capture", "out/", "--size", "1920x1080x2"},
        {"--capture", "out/", "--size", "1920"},
        {"--capture", "out/", "--size", "-800x600"},
        {"--size", "1920x1080"},
    };
    for (const auto& args : bad) {
        const auto result = parseOptions(args);
        EXPECT_FALSE(result.error.empty()) << args[0];
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
    }
}
