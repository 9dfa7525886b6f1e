#pragma once
#include "Progress.h"
#include "core/RunMode.h"

#include <string>

namespace host {

// Writes presented frames as DIR/frame_NNNNN.png, numbered from the first presented frame:
// those from firstFrame to lastFrame, every every-th of them. Beside a video it keeps its
// progress to itself (showProgress false).
class PngCapture final : public platform::FrameSink {
  public:
    PngCapture(std::string folder, int fps, int firstFrame, int lastFrame, int every = 1,
               bool showProgress = true);

    // Makes the folder if needed; false with a message when it cannot be written.
    bool prepare(std::string& error);
    bool frame(const unsigned char* rgb, int width, int height) override;
    double frameMilliseconds() const override { return 1000.0 / fps_; }

    int written() const { return written_; }
    void finish() { progress_.finish(); }
    const std::string& failure() const { return failure_; }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    int fps_;
    int firstFrame_, lastFrame_, every_;
    int next_ = 0;
    int written_ = 0;
    std::string failure_;
    Progress progress_;
};

} // namespace host
