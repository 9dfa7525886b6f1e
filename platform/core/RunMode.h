#pragma once
#include <optional>
#include <string>

namespace platform {

class FrameSink;

// How the process host asked the platform to behave. Set once, before the demo's entry point runs.
struct RunMode {
    bool capture = false;                 // offscreen context, virtual clock, frames to a sink
    std::optional<bool> fullScreenAnswer; // the Yes/No question answered in advance
    FrameSink* sink = nullptr;            // receives presented frames while capturing
    // The captured frame's size (--size): the picture is drawn at the largest scale that fits
    // (the host centres it, black around it). 0: the back buffer's own size.
    int frameWidth = 0, frameHeight = 0;

    // The music as it started playing: its file and the clock's time then, for a video capture
    // to put the sound where the picture has it.
    std::string musicFile;
    std::optional<double> musicStartMs;
};

RunMode& runMode();

// Receives every presented frame at the back buffer's stored size, top row first, 3 bytes a
// pixel (RGB).
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Returns false once no more frames are wanted; the platform then closes the windows.
    virtual bool frame(const unsigned char* rgb, int width, int height) = 0;
    // Milliseconds one presented frame takes on the virtual clock.
    virtual double frameMilliseconds() const = 0;
};

} // namespace platform
