#pragma once
#include "Stereo.h"

namespace soundtrack {

// A look-ahead peak limiter over a whole buffer: it reads ahead instead of delaying, so no
// sample moves in time, and no output sample exceeds the ceiling.
class Limiter {
  public:
    Limiter(double ceilingDb, double lookAheadSeconds, double releaseSeconds);
    void process(Stereo& audio) const;

  private:
    double ceiling_;
    std::size_t lookAhead_;
    double release_;
};

} // namespace soundtrack
