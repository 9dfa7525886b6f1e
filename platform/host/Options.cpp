#include "Options.h"

#include <charconv>
#include <climits>

namespace host {
namespace {

bool parseInt(const std::string& text, int lo, int hi, int& out) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < lo || value > hi) return false;
    out = value;
    return true;
}

bool parseRange(const std::string& text, int& first, int& last) {
    const auto dash = text.find('-');
    if (dash == std::string::npos) return false;
    return parseInt(text.substr(0, dash), 0, INT_MAX, first) &&
           parseInt(text.substr(dash + 1), 0, INT_MAX, last) && first <= last;
}

// WxH within the sizes a capture is made at: from half the show's own to 8K.
bool parseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    return x != std::string::npos && parseInt(text.substr(0, x), 400, 8192, width) &&
           parseInt(text.substr(x + 1), 300, 8192, height);
}

bool looksLikeFile(const std::string& path) {
    if (path.empty() || path.back() == '/') return false;
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

} // namespace

const char* usage() {
    return "usage: lumiflux [--windowed | --fullscreen] [--capture DIR/|FILE ... [--fps N] "
           "[--frames A-B] [--every N] [--size WxH]]\n"
           "\n"
           "  --windowed      play in a window without asking\n"
           "  --fullscreen    play full screen without asking\n"
           "  --capture DIR/  render offscreen and write DIR/frame_NNNNN.png for every frame\n"
           "  --capture FILE  render offscreen into a video with the music (FILE.mp4, .mkv, ...)\n"
           "                  (a folder and a file: both from the same drawing)\n"
           "  --fps N         frames a second of the capture's clock (default 60)\n"
           "  --frames A-B    write only frames A to B, then stop\n"
           "  --every N       write only every Nth of those frames (a folder capture)\n"
           "  --size WxH      frames of W x H pixels, the picture drawn sharp at the largest\n"
           "                  size that fits, black around it (default 800x600)\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

ParseResult parseOptions(const std::vector<std::string>& arguments) {
    ParseResult result;
    Options& o = result.options;
    bool fpsGiven = false, framesGiven = false, everyGiven = false, sizeGiven = false;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        std::string text;
        if (arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--windowed" || arg == "--fullscreen") {
            const bool full = arg == "--fullscreen";
            if (o.fullScreen && *o.fullScreen != full)
                return fail("--windowed and --fullscreen exclude each other");
            o.fullScreen = full;
        } else if (arg == "--capture") {
            if (!value(text) || text.empty())
                return fail("--capture needs a folder (frames/) or a video file (show.mp4)");
            std::string& target = looksLikeFile(text) ? o.captureVideo : o.captureFolder;
            if (!target.empty())
                return fail("--capture takes one folder and one video at most (both: the "
                            "video and its stills from one drawing)");
            target = text;
        } else if (arg == "--fps") {
            if (!value(text) || !parseInt(text, 1, 1000, o.fps))
                return fail("--fps needs a whole number from 1 to 1000");
            fpsGiven = true;
        } else if (arg == "--frames") {
            if (!value(text) || !parseRange(text, o.firstFrame, o.lastFrame))
                return fail(
                    "--frames needs a range A-B of frame numbers with A <= B, such as 0-99");
            framesGiven = true;
        } else if (arg == "--size") {
            if (!value(text) || !parseSize(text, o.frameWidth, o.frameHeight))
                return fail("--size needs WxH from 400x300 to 8192x8192, such as 1920x1080");
            sizeGiven = true;
        } else if (arg == "--every") {
            if (!value(text) || !parseInt(text, 1, 1000000, o.every))
                return fail("--every needs a whole number from 1 up, such as 50");
            everyGiven = true;
        } else {
            return fail("unknown option '" + arg + "' (see --help)");
        }
    }
    if ((fpsGiven || framesGiven || sizeGiven) && o.captureFolder.empty() && o.captureVideo.empty())
        return fail(std::string(fpsGiven      ? "--fps"
                                : framesGiven ? "--frames"
                                              : "--size") +
                    " needs --capture");
    if (everyGiven && o.captureFolder.empty())
        return fail("--every needs --capture with a folder (frames/): a video keeps every frame");
    return result;
}

} // namespace host
