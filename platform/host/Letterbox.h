#pragma once
#include "core/RunMode.h"

#include <vector>

namespace host {

// Frames of the size asked for (--size): each presented picture centred, black around it, so a
// 4:3 show fills a 16:9 video between pillars. A picture of that size passes as it is.
class Letterbox final : public platform::FrameSink {
  public:
    Letterbox(platform::FrameSink& inner, int width, int height);
    bool frame(const unsigned char* rgb, int width, int height) override;
    double frameMilliseconds() const override { return inner_.frameMilliseconds(); }

  private:
    platform::FrameSink& inner_;
    int width_, height_;
    std::vector<unsigned char> framed_;
};

} // namespace host
