#pragma once
#include "Stereo.h"

namespace soundtrack {

// A ping-pong echo: each repeat crosses to the other side, darker and quieter than the last.
class Delay {
  public:
    Delay(double beats, double feedback);
    Stereo process(const Stereo& send) const;

  private:
    std::size_t length_;
    double feedback_;
};

} // namespace soundtrack
