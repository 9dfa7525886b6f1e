#pragma once
#include "Stereo.h"

namespace soundtrack {

// A feedback delay network of eight lines (lengths mutually prime, 25 to 75 ms) mixed by a
// Hadamard matrix, damped in every loop, with a pre-delay and diffusing all-passes in front
// and different taps for left and right.
class Reverb {
  public:
    explicit Reverb(double seconds);
    // The wet return of the whole send, the same length.
    Stereo process(const Stereo& send) const;

  private:
    double seconds_;
};

} // namespace soundtrack
