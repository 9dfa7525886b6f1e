#pragma once
#include <optional>
#include <string>
#include <vector>

namespace host {

struct Options {
    std::optional<bool> fullScreen; // --fullscreen / --windowed
    std::string captureFolder;      // --capture DIR/ (empty: play)
    std::string captureVideo;       // --capture FILE.mp4 (a name with an extension)
    int fps = 60;
    int firstFrame = 0;
    int lastFrame = -1; // -1: to the end of the show
    int every = 1;      // --every N: only every Nth frame of the range (PNG folders)
    int frameWidth = 0, frameHeight = 0; // --size WxH of captured frames (0: the show's own)
    bool help = false;
    bool version = false;
};

struct ParseResult {
    Options options;
    std::string error; // one line; empty when the command line is good
};

ParseResult parseOptions(const std::vector<std::string>& arguments);
const char* usage();

} // namespace host
