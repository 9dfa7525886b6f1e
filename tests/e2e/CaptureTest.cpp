#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"
#include "support/Wav.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using test::framesIn;
using test::lumiflux;

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(Capture, WritesExactlyTheFramesAskedForAndTwoRunsAgree) {
    const std::string work = test::makeTempFolder();
    test::writeTestTone(work + "/lf.mp3", 1.0);
    test::linkArt(work);
    const auto first = lumiflux({"--capture", "one/", "--frames", "0-99"}, work);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const auto second = lumiflux({"--capture", "two/", "--frames", "0-99"}, work);
    ASSERT_EQ(second.exitCode, 0) << second.output;

    const auto one = framesIn(work + "/one"), two = framesIn(work + "/two");
    ASSERT_EQ(one.size(), 100u);
    ASSERT_EQ(two.size(), 100u);
    EXPECT_EQ(one.front().filename(), "frame_00000.png");
    EXPECT_EQ(one.back().filename(), "frame_00099.png");
    for (std::size_t i = 0; i < one.size(); ++i) {
        test::Image image;
        ASSERT_TRUE(test::loadPng(one[i].string(), image));
        ASSERT_EQ(image.width, 800);
        ASSERT_EQ(image.height, 600);
        ASSERT_EQ(test::readFile(one[i].string()), test::readFile(two[i].string()))
            << one[i].filename();
    }
    EXPECT_EQ(count(first.output, "失敗"), 0u) << first.output; // neither music nor art missing
}

TEST(Capture, AWindowOfFramesLaterInTheShow) {
    const std::string work = test::makeTempFolder();
    const auto result = lumiflux({"--capture", "late", "--fps", "30", "--frames", "40-44"}, work);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const auto frames = framesIn(work + "/late");
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames.front().filename(), "frame_00040.png");
    EXPECT_EQ(frames.back().filename(), "frame_00044.png");
}

TEST(Capture, EveryNthFrameOfARangeForAContactSheet) {
    const std::string work = test::makeTempFolder();
    const auto result =
        lumiflux({"--capture", "sheet/", "--frames", "10-40", "--every", "15"}, work);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const auto frames = framesIn(work + "/sheet");
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].filename(), "frame_00010.png");
    EXPECT_EQ(frames[1].filename(), "frame_00025.png");
    EXPECT_EQ(frames[2].filename(), "frame_00040.png");
}

TEST(Capture, MissingMusicIsReportedOnceAndTheCaptureGoesOn) {
    const std::string work = test::makeTempFolder();
    const auto result = lumiflux({"--capture", "out/", "--frames", "0-9"}, work);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(count(result.output, "Error: ファイル読み込み失敗"), 1u) << result.output;
    EXPECT_EQ(framesIn(work + "/out").size(), 10u);
}

TEST(Capture, AnUnwritableFolderIsAClearError) {
    const std::string work = test::makeTempFolder();
    test::writeTestTone(work + "/blocker", 0.1);
    const auto result = lumiflux({"--capture", "blocker/frames/"}, work);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("cannot make the capture folder"), std::string::npos)
        << result.output;
}

TEST(CommandLine, NoDisplayBadOptionsHelpAndVersion) {
    const std::string work = test::makeTempFolder();
    const auto play = lumiflux({"--windowed"}, work);
    EXPECT_EQ(play.exitCode, 1);
    EXPECT_NE(play.output.find("cannot open a display"), std::string::npos) << play.output;

    const auto bad = lumiflux({"--frobnicate"}, work);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(count(bad.output, "\n"), 1u) << bad.output;

    const auto help = lumiflux({"--help"}, work);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--capture DIR/"), std::string::npos);
    EXPECT_NE(help.output.find("--capture FILE"), std::string::npos);
    const auto version = lumiflux({"--version"}, work);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.output.find("lumiflux"), std::string::npos);
}

TEST(Capture, AnInterruptStopsCleanlyKeepingTheFramesWritten) {
    const std::string work = test::makeTempFolder();
    test::BackgroundProcess capture({test::programIn(work), "--capture", "all/"}, work,
                                    {"DISPLAY=", "WAYLAND_DISPLAY="});
    ASSERT_TRUE(
        test::waitUntil([&] { return std::filesystem::exists(work + "/all/frame_00001.png"); }, 60))
        << capture.output();
    capture.signal(SIGINT);
    ASSERT_EQ(capture.wait(20), 0) << capture.output();
    const auto frames = framesIn(work + "/all");
    EXPECT_GT(frames.size(), 0u);
    EXPECT_LT(frames.size(), 8000u);
    EXPECT_NE(capture.output().find("wrote " + std::to_string(frames.size()) + " frames"),
              std::string::npos)
        << capture.output();
}
