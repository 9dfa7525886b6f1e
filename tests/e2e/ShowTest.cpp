#include "e2e/FrameChecks.h"
#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

// The whole show as a person without a display gets it: scripts/run captures it to
// build/lumiflux.mp4, here with every 50th frame as a still beside it from the same drawing (the
// golden frames are held against those). The scenes change on their cues and the show ends by
// itself.
namespace {

const std::string video = std::string(SOURCE_DIR) + "/build/lumiflux.mp4";
constexpr int frames = 8301; // 83 bars at 100 frames a bar, and the frame that saw bar 83
constexpr int stillSpacing = 50;

std::string probe(const std::string& entries) {
    return test::runProcess({"ffprobe", "-v", "error", "-count_frames", "-show_entries", entries,
                             "-of", "compact", video},
                            "", {}, 300)
        .output;
}

// Frames of the video by number, decoded to PNG in a folder of their own.
std::vector<test::Image> decode(const std::vector<int>& numbers, const std::string& folder) {
    std::string select;
    for (int n : numbers)
        select += (select.empty() ? "" : "+") + std::string("eq(n\\,") + std::to_string(n) + ")";
    test::runProcess({"ffmpeg", "-v", "error", "-y", "-i", video, "-vf", "select=" + select,
                      "-vsync", "0", folder + "/f%03d.png"},
                     "", {}, 300);
    std::vector<test::Image> frames;
    for (const auto& path : test::framesIn(folder)) {
        frames.emplace_back();
        EXPECT_TRUE(test::loadPng(path.string(), frames.back())) << path;
    }
    return frames;
}

struct Means {
    double all, redness; // grey level, and red above green
};

// Inside the side bars and letterbox.
Means means(const test::Image& image) {
    double grey = 0, red = 0;
    test::share(image, [&](test::Rgb p) {
        grey += (p.r + p.g + p.b) / 3.0;
        red += p.r - p.g;
        return false;
    });
    return {grey / (645.0 * 450.0), red / (645.0 * 450.0)};
}

// Each scene by what sets it apart in its first or last frames (measured on the decoded
// video, grey 0..255): the title's dim static about 28, the warning's fade from black under 2,
// the warning's red field about 19, the target's white wash 254 and its red pulse (red above
// green by about 60), the core's grey grain and glyphs (red above green under 15), the ring's
// negative above 170 and white at its end, the logo's noise and tower about 79.
struct Cue {
    int frame;
    const char* from;
    bool (*wasShowing)(Means);
    const char* to;
    bool (*nowShowing)(Means);
};

const Cue cues[] = {
    {800, "title", [](Means m) { return m.all > 15; }, "warning",
     [](Means m) { return m.all < 8; }},
    {2400, "warning", [](Means m) { return m.all < 60; }, "target",
     [](Means m) { return m.all > 220; }},
    {4000, "target", [](Means m) { return m.redness > 30; }, "core",
     [](Means m) { return m.redness < 20; }},
    {5600, "core", [](Means m) { return m.all < 120; }, "ring",
     [](Means m) { return m.all > 150; }},
    {7200, "ring", [](Means m) { return m.all > 220; }, "logo",
     [](Means m) { return m.all < 120; }},
};

} // namespace

TEST(Show, ScriptsRunCapturesTheWholeShowWithItsStills) {
    std::filesystem::remove(video);
    std::filesystem::remove_all(SHOW_STILLS);
    auto environment = test::headless;
    environment.push_back(std::string("LUMIFLUX_DRAW_STATES=") + SHOW_DRAW_STATES);
    const auto run = test::runProcess({std::string(SOURCE_DIR) + "/scripts/run", "--capture",
                                       std::string(SHOW_STILLS) + "/", "--every",
                                       std::to_string(stillSpacing)},
                                      SOURCE_DIR, environment, 1500);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("build/lumiflux.mp4"), std::string::npos) << run.output;
    EXPECT_EQ(test::framesIn(SHOW_STILLS).size(), (frames - 1) / stillSpacing + 1);
}

// Real-time play meets the listed draw states while loading, so a state the show draws in and
// the list lacks would be compiled in the middle of the show.
TEST(Show, EveryDrawStateOfTheShowIsMetWhileLoading) {
    const std::string listPath = std::string(SOURCE_DIR) + "/platform/d3d9/draw-states.txt";
    const std::string listed = test::readFile(listPath);
    const std::string drawn = test::readFile(SHOW_DRAW_STATES);
    std::istringstream lines(drawn);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        ++count;
        EXPECT_NE(listed.find(line), std::string::npos)
            << "the show draws in a state " << listPath
            << " lacks (scripts/record-draw-states writes the list anew): " << line;
    }
    EXPECT_GT(count, 0) << "the capture wrote no draw states to " << SHOW_DRAW_STATES;
}

TEST(Show, ItsScenesChangeOnTheirCuesAndItEndsByItself) {
    // Every frame, with sound: the show stopped by itself.
    const std::string streams = probe("stream=codec_type,nb_read_frames");
    EXPECT_NE(streams.find("codec_type=video|nb_read_frames=" + std::to_string(frames)),
              std::string::npos)
        << streams;
    EXPECT_NE(streams.find("codec_type=audio"), std::string::npos) << streams;
    const double seconds =
        std::stod(test::runProcess({"ffprobe", "-v", "error", "-show_entries", "format=duration",
                                    "-of", "default=noprint_wrappers=1:nokey=1", video},
                                   "", {}, 60)
                      .output);
    EXPECT_NEAR(seconds, 138.3, 0.3);

    // The music starts a frame after the first picture, so bar b falls on frame 100 b + 1: the
    // scene before a cue still shows on its frame, the next one two frames later.
    std::vector<int> numbers;
    for (const Cue& cue : cues)
        numbers.insert(numbers.end(), {cue.frame - 1, cue.frame, cue.frame + 2});
    for (int n = 8291; n <= 8300; ++n)
        numbers.push_back(n);
    const std::string folder = test::makeTempFolder();
    const auto frames = decode(numbers, folder);
    std::filesystem::remove_all(folder);
    ASSERT_EQ(frames.size(), numbers.size());
    for (std::size_t i = 0; i < std::size(cues); ++i) {
        const Cue& cue = cues[i];
        for (std::size_t k = 0; k < 3; ++k) {
            const Means m = means(frames[3 * i + k]);
            const bool right = k < 2 ? cue.wasShowing(m) : cue.nowShowing(m);
            EXPECT_TRUE(right) << "frame " << numbers[3 * i + k] << " should show the "
                               << (k < 2 ? cue.from : cue.to) << " scene: grey " << m.all
                               << ", redness " << m.redness;
        }
    }
    // The last frames: white inside the frame, black around it (within the codec's ringing).
    for (std::size_t i = 3 * std::size(cues); i < frames.size(); ++i) {
        const test::Image& image = frames[i];
        EXPECT_GT(test::share(image,
                              [](test::Rgb p) {
                                  return std::min({p.r, p.g, p.b}) >= 240;
                              }),
                  0.99)
            << "frame " << numbers[i];
        EXPECT_LT(test::countDifferent(image, 0, 0, 800, 70, {0, 0, 0}, 16), 100) << numbers[i];
        EXPECT_LT(test::countDifferent(image, 0, 530, 800, 600, {0, 0, 0}, 16), 100) << numbers[i];
        EXPECT_LT(test::countDifferent(image, 0, 80, 70, 520, {0, 0, 0}, 16), 100) << numbers[i];
        EXPECT_LT(test::countDifferent(image, 725, 80, 800, 520, {0, 0, 0}, 16), 100) << numbers[i];
    }
}
