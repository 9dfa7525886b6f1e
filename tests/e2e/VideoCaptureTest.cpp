#include "e2e/Headless.h"
#include "support/Image.h"
#include "support/Process.h"
#include "support/Wav.h"

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using test::headless;
using test::lumiflux;

// ffprobe's "key=value|..." line for each stream.
std::string probe(const std::string& file) {
    return test::runProcess({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                             "stream=codec_type,width,height,r_frame_rate,nb_read_frames", "-of",
                             "compact", file},
                            "", {}, 120)
        .output;
}

// Where the file's audio begins on its timeline, in milliseconds: before 0 where it holds the
// encoder's priming samples, which players skip.
double audioStartMs(const std::string& video) {
    const auto start = test::runProcess({"ffprobe", "-v", "error", "-select_streams", "a",
                                         "-show_entries", "stream=start_time", "-of", "csv=p=0",
                                         video},
                                        "", {}, 120);
    return std::atof(start.output.c_str()) * 1000.0;
}

// Milliseconds on the file's timeline to its first loud sample, or -1.
double firstClickMs(const std::string& video, const std::string& folder) {
    const std::string raw = folder + "/audio.raw";
    test::runProcess({"ffmpeg", "-v", "error", "-y", "-i", video, "-map", "0:a", "-f", "s16le",
                      "-ac", "1", "-ar", "44100", raw},
                     "", {}, 120);
    const std::string bytes = test::readFile(raw);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::int16_t sample;
        std::memcpy(&sample, bytes.data() + i, 2);
        if (sample > 5000 || sample < -5000)
            return audioStartMs(video) + static_cast<double>(i / 2) * 1000.0 / 44100.0;
    }
    return -1;
}

constexpr double frameMs = 1000.0 / 60.0;
constexpr double barMs = 10000.0 / 6.0;
// The music starts with the first frame presented, which moves the clock on by one frame.
constexpr double musicStartMs = 16.0;

} // namespace

TEST(VideoCapture, AShortCaptureHasItsSizeRateFramesAndSoundAndStillsFromTheSameDrawing) {
    const std::string work = test::makeTempFolder();
    test::writeTestTone(work + "/lf.mp3", 8.0);
    const auto result = lumiflux(
        {"--capture", "show.mp4", "--capture", "png/", "--frames", "0-299", "--every", "150"}, work);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("wrote 300 frames to show.mp4"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("wrote 2 frames to png/"), std::string::npos) << result.output;
    EXPECT_EQ(test::framesIn(work + "/png").size(), 2u);
    const std::string streams = probe(work + "/show.mp4");
    EXPECT_NE(
        streams.find("codec_type=video|width=800|height=600|r_frame_rate=60/1|nb_read_frames=300"),
        std::string::npos)
        << streams;
    EXPECT_NE(streams.find("codec_type=audio"), std::string::npos) << streams;

    // Frame 150 of the video is the still of frame 150, to within the codec's loss: the static is
    // too fine for H.264 to keep, so 8 x 8 block means are compared, a few sharp edges allowed
    // to ring (the shake alone moves hundreds of blocks between neighbouring frames).
    test::runProcess({"ffmpeg", "-v", "error", "-y", "-i", work + "/show.mp4", "-vf",
                      "select=eq(n\\,150)", "-vframes", "1", work + "/decoded.png"},
                     "", {}, 120);
    test::Image decoded, captured;
    ASSERT_TRUE(test::loadPng(work + "/decoded.png", decoded));
    ASSERT_TRUE(test::loadPng(work + "/png/frame_00150.png", captured));
    EXPECT_LT(test::compareImages(test::shrink(decoded, 8), test::shrink(captured, 8), 6,
                                  work + "/diff.png"),
              75); // of 7,500
}

TEST(VideoCapture, BarsInTheSoundMeetBarsInThePictureWithinAFrame) {
    const std::string work = test::makeTempFolder();
    test::writeClickTrack(work + "/lf.mp3", 8.0, 2 * barMs / 1000.0); // a click on bar 2
    ASSERT_EQ(lumiflux({"--capture", "from0.mp4", "--frames", "0-299"}, work).exitCode, 0);
    EXPECT_NEAR(firstClickMs(work + "/from0.mp4", work), musicStartMs + 2 * barMs, frameMs);
    // Starting later in the show skips into the music by as much.
    ASSERT_EQ(lumiflux({"--capture", "from100.mp4", "--frames", "100-299"}, work).exitCode, 0);
    EXPECT_NEAR(firstClickMs(work + "/from100.mp4", work), musicStartMs + 2 * barMs - 100 * frameMs,
                frameMs);
}

TEST(VideoCapture, AMissingEncoderOrAnUnwritableFileIsAClearError) {
    const std::string work = test::makeTempFolder();
    auto noEncoder = headless;
    noEncoder.push_back("PATH=/nonexistent");
    const auto missing = lumiflux({"--capture", "show.mp4", "--frames", "0-9"}, work, noEncoder);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("ffmpeg is not installed"), std::string::npos) << missing.output;
    EXPECT_FALSE(std::filesystem::exists(work + "/show.mp4"));

    test::writeTestTone(work + "/blocker", 0.1);
    const auto unwritable = lumiflux({"--capture", "blocker/show.mp4"}, work);
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.output.find("cannot write"), std::string::npos) << unwritable.output;
}

// The program restarts itself with a glibc tunable of its own; the encoder it starts must see
// the user's environment, not ours: a stand-in ffmpeg writes down what it was given.
TEST(VideoCapture, TheEncoderGetsTheUsersGlibcTunablesNotOurs) {
    const std::string work = test::makeTempFolder();
    std::filesystem::create_directory(work + "/bin");
    const std::string encoder = work + "/bin/ffmpeg";
    {
        std::ofstream script(encoder);
        script << "#!/bin/sh\nprintf '%s' \"${GLIBC_TUNABLES-none}\" > \"$TUNABLES_SEEN\"\n";
    }
    std::filesystem::permissions(encoder, std::filesystem::perms::owner_all);
    const auto seenWith = [&](const std::string& tunables) {
        auto environment = headless;
        environment.push_back("PATH=" + work + "/bin:/usr/bin:/bin");
        environment.push_back("TUNABLES_SEEN=" + work + "/seen");
        environment.push_back("GLIBC_TUNABLES" + tunables);
        const auto run = lumiflux({"--capture", "show.mp4", "--frames", "0-1"}, work, environment);
        const std::string seen = test::readFile(work + "/seen");
        EXPECT_FALSE(seen.empty()) << "the stand-in encoder never ran: " << run.output;
        return seen;
    };
    EXPECT_EQ(seenWith("="), "none");
    EXPECT_EQ(seenWith("=glibc.malloc.tcache_count=5"), "glibc.malloc.tcache_count=5");
}

TEST(VideoCapture, AnInterruptLeavesAPlayableFileOfWhatWasRendered) {
    const std::string work = test::makeTempFolder();
    test::writeTestTone(work + "/lf.mp3", 20.0);
    test::BackgroundProcess capture({test::programIn(work), "--capture", "show.mp4"}, work,
                                    headless);
    // Interrupted once the encoder has written pictures.
    ASSERT_TRUE(test::waitUntil(
        [&] {
            std::error_code missing;
            return std::filesystem::file_size(work + "/show.mp4", missing) > 20000 && !missing;
        },
        60))
        << capture.output();
    capture.signal(SIGINT);
    ASSERT_EQ(capture.wait(60), 0) << capture.output();
    const std::string streams = probe(work + "/show.mp4");
    EXPECT_NE(streams.find("codec_type=video|width=800"), std::string::npos) << streams;
    EXPECT_EQ(streams.find("nb_read_frames=0|"), std::string::npos) << streams;
}

// SIGTERM at chosen moments, start-up included: the program ends by itself (or, before it
// can listen, by the signal), never by a crash, and leaves a playable file or none.
TEST(VideoCapture, TerminatedAtAnyMomentItLeavesAPlayableFileOrNone) {
    enum class Moment { AtOnce, FileCreated, PicturesWritten };
    for (Moment moment : {Moment::AtOnce, Moment::FileCreated, Moment::PicturesWritten}) {
        SCOPED_TRACE(static_cast<int>(moment));
        const std::string work = test::makeTempFolder();
        const std::string video = work + "/show.mp4";
        test::writeTestTone(work + "/lf.mp3", 20.0);
        test::BackgroundProcess capture({test::programIn(work), "--capture", "show.mp4"}, work,
                                        headless);
        const std::uintmax_t atLeast = moment == Moment::PicturesWritten ? 20000 : 1;
        if (moment != Moment::AtOnce) {
            ASSERT_TRUE(test::waitUntil(
                [&] {
                    std::error_code missing;
                    return std::filesystem::file_size(video, missing) >= atLeast && !missing;
                },
                60))
                << capture.output();
        }
        capture.signal(SIGTERM);
        const int exitCode = capture.wait(60);
        EXPECT_TRUE(exitCode == 0 || exitCode == 1 || exitCode == 128 + SIGTERM)
            << exitCode << capture.output();
        if (!std::filesystem::exists(video)) continue;
        const std::string streams = probe(video);
        EXPECT_NE(streams.find("codec_type=video|width=800"), std::string::npos) << streams;
        EXPECT_EQ(streams.find("nb_read_frames=0|"), std::string::npos) << streams;
    }
}
