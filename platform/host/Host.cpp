#include "Host.h"

#include "Options.h"
#include "PngCapture.h"
#include "VideoCapture.h"
#include "Win32Internal.h"
#include "core/Clock.h"
#include "core/RunMode.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace host {
namespace {

int capture(const Options& options) {
    auto sink = std::make_unique<PngCapture>(options.captureFolder, options.fps, options.firstFrame,
                                             options.lastFrame);
    std::string error;
    if (!sink->prepare(error)) {
        std::fprintf(stderr, "lumiflux: %s\n", error.c_str());
        return 1;
    }
    platform::RunMode& mode = platform::runMode();
    mode.capture = true;
    mode.sink = sink.get();
    platform::Clock::instance().useVirtual(0.0);

    static char instance;
    WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, nullptr, SW_SHOW);
    if (mode.flushFrames) mode.flushFrames();
    mode.sink = nullptr;
    sink->finish();
    if (!sink->failure().empty()) {
        std::fprintf(stderr, "lumiflux: %s\n", sink->failure().c_str());
        return 1;
    }
    if (sink->written() == 0) {
        std::fprintf(stderr, "lumiflux: no frame was captured (%s)\n",
                     platform::ensureVideo() ? "the show ended before the first one asked for"
                                             : platform::videoError());
        return 1;
    }
    std::fprintf(stderr, "lumiflux: wrote %d frames to %s\n", sink->written(),
                 sink->folder().c_str());
    return 0;
}

int captureVideo(const Options& options) {
    auto sink = std::make_unique<VideoCapture>(options.captureVideo, options.fps,
                                               options.firstFrame, options.lastFrame);
    std::string error;
    if (!sink->prepare(error)) {
        std::fprintf(stderr, "lumiflux: %s\n", error.c_str());
        return 1;
    }
    platform::RunMode& mode = platform::runMode();
    mode.capture = true;
    mode.sink = sink.get();
    platform::Clock::instance().useVirtual(0.0);

    static char instance;
    WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, nullptr, SW_SHOW);
    if (mode.flushFrames) mode.flushFrames();
    mode.sink = nullptr;
    if (!sink->finish(error)) {
        std::fprintf(stderr, "lumiflux: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "lumiflux: wrote %d frames to %s\n", sink->written(),
                 sink->path().c_str());
    return 0;
}

int play() {
    if (!platform::ensureVideo()) {
        std::fprintf(stderr,
                     "lumiflux: cannot open a display (%s).\n"
                     "Run it on a desktop, or render the show with --capture DIR/.\n",
                     platform::videoError());
        return 1;
    }
    static char instance;
    return WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, nullptr, SW_SHOW);
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
    platform::installInterruptHandlers();
    if (!options.captureVideo.empty()) return captureVideo(options);
    return options.captureFolder.empty() ? play() : capture(options);
}

} // namespace host
