#include "Host.h"

#include "CaptureTee.h"
#include "CapturedFrames.h"
#include "Letterbox.h"
#include "Options.h"
#include "PngCapture.h"
#include "VideoCapture.h"
#include "Win32Internal.h"
#include "core/Clock.h"
#include "core/RunMode.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace host {
namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "lumiflux: %s\n", message.c_str());
    return 1;
}

int runDemo() {
    static char instance; // any handle will do: the demo only passes it on
    return WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, nullptr, SW_SHOW);
}

// The show on the virtual clock, every presented frame to the sink, the last one included.
void runCaptured(platform::FrameSink& sink) {
    platform::RunMode& mode = platform::runMode();
    mode.capture = true;
    mode.sink = &sink;
    platform::Clock::instance().useVirtual(0.0);
    runDemo();
    d3d9::flushCapturedFrames(); // the last frame, still on its way back
    mode.sink = nullptr;
}

int wrote(int frames, const std::string& where) {
    std::fprintf(stderr, "lumiflux: wrote %d frames to %s\n", frames, where.c_str());
    return 0;
}

int finishStills(PngCapture& stills) {
    stills.finish();
    if (!stills.failure().empty())
        return fail(stills.failure() + "; the " + std::to_string(stills.written()) +
                    " frames written before it are whole");
    if (stills.written() == 0)
        return fail(std::string("no frame was captured (") +
                    (platform::ensureVideo() ? "the show ended before the first one asked for"
                                             : platform::videoError()) +
                    ")");
    return wrote(stills.written(), stills.folder());
}

int finishVideo(VideoCapture& video) {
    std::string error;
    return video.finish(error) ? wrote(video.written(), video.path()) : fail(error);
}

// A video, a folder of stills, or both from the same drawing.
int capture(const Options& options) {
    const bool both = !options.captureVideo.empty() && !options.captureFolder.empty();
    std::optional<VideoCapture> video;
    std::optional<PngCapture> stills;
    std::vector<platform::FrameSink*> sinks;
    std::string error;
    if (!options.captureVideo.empty()) {
        video.emplace(options.captureVideo, options.fps, options.firstFrame, options.lastFrame);
        if (!video->prepare(error)) return fail(error);
        sinks.push_back(&*video);
    }
    if (!options.captureFolder.empty()) {
        stills.emplace(options.captureFolder, options.fps, options.firstFrame, options.lastFrame,
                       options.every, !both);
        if (!stills->prepare(error)) return fail(error);
        sinks.push_back(&*stills);
    }
    CaptureTee tee(sinks);
    Letterbox framed(tee, options.frameWidth, options.frameHeight);
    runCaptured(framed);
    int status = 0;
    if (stills) status |= finishStills(*stills);
    if (video) status |= finishVideo(*video);
    return status;
}

int play() {
    if (!platform::ensureVideo()) {
        std::fprintf(stderr,
                     "lumiflux: cannot open a display (%s).\n"
                     "Run it on a desktop, or render the show with --capture DIR/.\n",
                     platform::videoError());
        return 1;
    }
    return runDemo();
}

} // namespace

int run(int argc, char** argv) {
    const ParseResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "lumiflux: %s\n", parsed.error.c_str());
        return 2;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::fputs(usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("lumiflux %s, a demo by Quillon\n", LUMIFLUX_VERSION);
        return 0;
    }
    platform::runMode().fullScreenAnswer = options.fullScreen;
    platform::runMode().frameWidth = options.frameWidth;
    platform::runMode().frameHeight = options.frameHeight;
    platform::installInterruptHandlers();
    return options.captureVideo.empty() && options.captureFolder.empty() ? play()
                                                                         : capture(options);
}

} // namespace host
