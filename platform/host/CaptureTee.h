#pragma once
#include "core/RunMode.h"

#include <vector>

namespace host {

// Hands every presented frame to each of its sinks until that sink has all it wants, so a video
// and its stills come from one drawing of the show. Wants more while any sink does.
class CaptureTee final : public platform::FrameSink {
  public:
    explicit CaptureTee(std::vector<platform::FrameSink*> sinks);
    bool frame(const unsigned char* rgb, int width, int height) override;
    // The sinks run on one clock: the first one's.
    double frameMilliseconds() const override { return sinks_.front()->frameMilliseconds(); }

  private:
    std::vector<platform::FrameSink*> sinks_;
    std::vector<bool> wanting_;
};

} // namespace host
