// Faults of the world around a running show, one row each, each a real run of the program: it
// must end with one clear line (the path and the system's reason) and a failing status, report
// nothing as written that was not written whole, and leave what it wrote before intact.
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"
#include "support/Wav.h"
#include "support/XDisplay.h"
#include "support/XServer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

using test::headless;
using test::lumiflux;

// A file system of a few pages mounted for the test: a disk that fills. Root may mount one;
// where the system refuses, why() says so and the row is skipped.
class SmallDisk {
  public:
    SmallDisk(const std::string& path, const std::string& size) : path_(path) {
        fs::create_directory(path);
        const auto mount = test::runProcess(
            {"mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", path}, "", {}, 30);
        mounted_ = mount.exitCode == 0;
        why_ = mount.output;
    }
    ~SmallDisk() {
        if (mounted_) test::runProcess({"umount", path_}, "", {}, 30);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

  private:
    std::string path_;
    bool mounted_ = false;
    std::string why_;
};

// The number the program gave in "the N frames written before it are whole", or -1.
int framesCalledWhole(const std::string& output) {
    std::smatch match;
    const std::regex pattern("the (\\d+) frames written before it are whole");
    return std::regex_search(output, match, pattern) ? std::stoi(match[1]) : -1;
}

// Every file in the folder is a whole 800 x 600 frame; how many there are.
int wholeFrames(const std::string& folder) {
    int count = 0;
    for (const auto& frame : test::framesIn(folder)) {
        test::Image image;
        EXPECT_TRUE(test::loadPng(frame.string(), image)) << frame << " is not a whole PNG";
        EXPECT_EQ(image.width, 800) << frame;
        ++count;
    }
    return count;
}

// The frames a decoder reads from the video, or -1 when it reports any damage on the way.
int decodedFrames(const std::string& video) {
    const auto check =
        test::runProcess({"ffmpeg", "-v", "error", "-i", video, "-f", "null", "-"}, "", {}, 120);
    if (check.exitCode != 0 || !check.output.empty()) {
        ADD_FAILURE() << video << " does not decode cleanly: " << check.output;
        return -1;
    }
    const auto count =
        test::runProcess({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v",
                          "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", video},
                         "", {}, 120);
    return count.exitCode == 0 ? std::atoi(count.output.c_str()) : -1;
}

} // namespace

TEST(WorldFaults, AFolderCaptureOntoAFullDiskStopsAtTheFrameThatDidNotFit) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    SmallDisk disk(work + "/disk", "2m");
    if (!disk.mounted()) GTEST_SKIP() << "no small disk could be mounted: " << disk.why();
    const auto run = lumiflux({"--capture", "disk/", "--frames", "0-600"}, work);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write 'disk/frame_"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("No space left on device"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("wrote "), std::string::npos) << run.output;
    const int whole = wholeFrames(work + "/disk");
    EXPECT_GT(whole, 0);
    EXPECT_EQ(framesCalledWhole(run.output), whole) << run.output;
}

TEST(WorldFaults, AFrameFileThatCannotBeCreatedEndsTheCaptureWithTheFramesBeforeIt) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    fs::create_directories(work + "/png/frame_00003.png"); // a folder where the frame goes
    const auto run = lumiflux({"--capture", "png/", "--frames", "0-9"}, work);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write 'png/frame_00003.png': Is a directory; the 3 frames "
                              "written before it are whole"),
              std::string::npos)
        << run.output;
    fs::remove(work + "/png/frame_00003.png");
    EXPECT_EQ(wholeFrames(work + "/png"), 3);
}

// A video onto a disk too small for it ends with ffmpeg's reason: full from the start, no file is
// left; filling half-way, the whole seconds encoded before it are kept and play.
TEST(WorldFaults, AVideoOntoASmallDiskKeepsOnlyItsWholeSeconds) {
    struct Row {
        const char* diskSize;
        const char* frames;
        bool kept;
    };
    for (const Row& row : {Row{"4k", "0-299", false}, Row{"1m", "0-1199", true}}) {
        SCOPED_TRACE(row.diskSize);
        const std::string work = test::makeTempFolder();
        test::linkArt(work);
        SmallDisk disk(work + "/disk", row.diskSize);
        if (!disk.mounted()) GTEST_SKIP() << "no small disk could be mounted: " << disk.why();
        const auto run = lumiflux({"--capture", "disk/show.mp4", "--frames", row.frames}, work);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(
            run.output.find("ffmpeg failed encoding 'disk/show.mp4': No space left on device"),
            std::string::npos)
            << run.output;
        EXPECT_EQ(run.output.find("wrote "), std::string::npos) << run.output;
        const bool saysKept =
            run.output.find("; the whole seconds it had encoded are kept") != std::string::npos;
        EXPECT_EQ(saysKept, row.kept) << run.output;
        if (row.kept) {
            EXPECT_GT(decodedFrames(work + "/disk/show.mp4"), 0);
        } else {
            EXPECT_FALSE(fs::exists(work + "/disk/show.mp4"));
        }
    }
}

TEST(WorldFaults, AKilledEncoderLeavesAPlayableFileOfWhatItHadEncoded) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    const std::string video = work + "/show.mp4";
    test::writeTestTone(work + "/lf.mp3", 20.0);
    test::BackgroundProcess capture({test::programIn(work), "--capture", video}, work, headless);
    ASSERT_TRUE(test::waitUntil(
        [&] {
            std::error_code missing;
            return fs::file_size(video, missing) > 4000000 && !missing; // two seconds or more
        },
        120))
        << capture.output();
    // Only the encoder: its command line begins with its own name.
    test::runProcess({"pkill", "-KILL", "-f", "^ffmpeg .*" + video}, "", {}, 30);
    EXPECT_EQ(capture.wait(60), 1) << capture.output();
    EXPECT_NE(capture.output().find("ffmpeg was ended by signal 9 while encoding '" + video +
                                    "'; the whole seconds it had encoded are kept"),
              std::string::npos)
        << capture.output();
    EXPECT_GT(decodedFrames(video), 0);
}

TEST(WorldFaults, WindowedPlayEndsWithAMessageWhenTheDisplayGoesAway) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    test::writeTestTone(work + "/lf.mp3", 5.0);
    auto server = std::make_unique<test::XServer>();
    ASSERT_FALSE(server->display().empty()) << "Xvfb gave no display number: " << server->why();
    test::BackgroundProcess show(
        {test::programIn(work), "--windowed"}, work,
        {"DISPLAY=" + server->display(), "WAYLAND_DISPLAY=", "SDL_AUDIODRIVER=dummy"});
    {
        test::XDisplay x(server->display()); // closed before the server goes, or it ends us too
        ASSERT_NE(x.waitForWindow("Lumiflux by Quillon", 30), 0u) << show.output();
    }
    server.reset(); // the X server ends
    const int exitCode = show.wait(60);
    EXPECT_NE(exitCode, 0) << show.output();
    EXPECT_NE(exitCode, -1) << "still running without a display: " << show.output();
    EXPECT_NE(show.output().find("lost the display (the X server closed the connection)"),
              std::string::npos)
        << show.output();
}

TEST(WorldFaults, WithoutASoundDeviceTheShowPlaysSilently) {
    const std::string work = test::makeTempFolder();
    test::linkArt(work);
    test::writeTestTone(work + "/lf.mp3", 5.0);
    test::XServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb gave no display number: " << server.why();
    test::XDisplay x(server.display());
    test::BackgroundProcess show(
        {test::programIn(work), "--windowed"}, work,
        {"DISPLAY=" + server.display(), "WAYLAND_DISPLAY=", "SDL_AUDIODRIVER=nosuchdevice"});
    const unsigned long window = x.waitForWindow("Lumiflux by Quillon", 30);
    ASSERT_NE(window, 0u) << show.output();
    ASSERT_TRUE(test::waitUntil(
        [&] {
            const test::Image frame = x.capture(window);
            return test::countDifferent(frame, 75, 75, 720, 525, {0, 0, 0}, 2) > 0;
        },
        30))
        << "nothing drawn: " << show.output();
    x.pressKey(window, "Escape");
    EXPECT_EQ(show.wait(60), 0) << show.output();
    EXPECT_NE(show.output().find("no sound device"), std::string::npos) << show.output();
}
