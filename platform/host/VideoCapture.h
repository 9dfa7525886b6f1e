#pragma once
#include "Progress.h"
#include "core/RunMode.h"

#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace host {

// Pipes presented frames to ffmpeg and muxes the music in at the time the demo started it.
// The container and codecs follow the file's extension; H.264 and AAC for the MP4 family.
class VideoCapture final : public platform::FrameSink {
  public:
    VideoCapture(std::string path, int fps, int firstFrame, int lastFrame);
    ~VideoCapture() override;

    // ffmpeg is there and the file can be written; otherwise false with a message.
    bool prepare(std::string& error);
    bool frame(const unsigned char* rgb, int width, int height) override;
    double frameMilliseconds() const override { return 1000.0 / fps_; }
    // Ends the encoding; false with a message (and no file left) when it failed.
    bool finish(std::string& error);
    int written() const { return written_; }
    const std::string& path() const { return path_; }

  private:
    bool start(int width, int height);
    bool write(const unsigned char* rgb, std::size_t bytes);
    std::vector<std::string> command(int width, int height) const;
    std::string lastEncoderMessage() const;
    std::string encoderFailure(int status) const;
    bool keepWhatPlays() const;

    std::string path_;
    int fps_, firstFrame_, lastFrame_;
    int next_ = 0, written_ = 0;
    pid_t encoder_ = -1;
    int pipe_ = -1;
    std::FILE* messages_ = nullptr; // ffmpeg's stderr
    bool broken_ = false;
    // The first frame waits until the music has started, so its offset is known.
    std::vector<unsigned char> held_;
    int heldWidth_ = 0, heldHeight_ = 0;
    Progress progress_;
};

} // namespace host
