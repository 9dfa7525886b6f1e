#include "Host.h"

#include "Options.h"
#include "PngCapture.h"
#include "VideoCapture.h"
#include "Win32Internal.h"
#include "core/Clock.h"
#include "core/RunMode.h"

#include <cstdio>
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
    if (mode.flushFrames) mode.flushFrames();
    mode.sink = nullptr;
}

int wrote(int frames, const std::string& where) {
    std::fprintf(stderr, "lumiflux: wrote %d frames to %s\n", frames, where.c_str());
    return 0;
}

int capture(const Options& options) {
    PngCapture sink(options.captureFolder, options.fps, options.firstFrame, options.lastFrame,
                    options.every);
    std::string error;
    if (!sink.prepare(error)) return fail(error);
    runCaptured(sink);
    sink.finish();
    if (!sink.failure().empty()) return fail(sink.failure());
    if (sink.written() == 0)
        return fail(std::string("no frame was captured (") +
                    (platform::ensureVideo() ? "the show ended before the first one asked for"
                                             : platform::videoError()) +
                    ")");
    return wrote(sink.written(), sink.folder());
}

int captureVideo(const Options& options) {
    VideoCapture sink(options.captureVideo, options.fps, options.firstFrame, options.lastFrame);
    std::string error;
    if (!sink.prepare(error)) return fail(error);
    runCaptured(sink);
    if (!sink.finish(error)) return fail(error);
    return wrote(sink.written(), sink.path());
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
    if (!options.captureVideo.empty()) return captureVideo(options);
    return options.captureFolder.empty() ? play() : capture(options);
}

} // namespace host
