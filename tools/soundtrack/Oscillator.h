#pragma once
#include "FastMath.h"
#include "Timing.h"

namespace soundtrack {

// A phase in [0, 1) with band-limited saw and pulse: each edge is smoothed by the two-sample
// polynomial step residual (PolyBLEP), so harmonics above Nyquist hardly fold back.
class Oscillator {
  public:
    explicit Oscillator(double phase = 0.0) : phase_(phase) {}

    void setFrequency(double hertz) { increment_ = hertz / sampleRate; }
    double phase() const { return phase_; }

    double saw() {
        const double value = 2 * phase_ - 1 - blep(phase_);
        advance();
        return value;
    }
    double pulse(double width = 0.5) {
        double shifted = phase_ + (1 - width);
        if (shifted >= 1) shifted -= 1;
        const double value = (phase_ < width ? 1.0 : -1.0) + blep(phase_) - blep(shifted);
        advance();
        return value;
    }
    double sine() {
        const double value = soundtrack::sine(2 * pi * phase_);
        advance();
        return value;
    }
    // The unsmoothed saw, for comparison only.
    double naiveSaw() {
        const double value = 2 * phase_ - 1;
        advance();
        return value;
    }

  private:
    void advance() {
        phase_ += increment_;
        if (phase_ >= 1) phase_ -= 1;
    }
    // The residual of a unit step at phase 0, one sample either side.
    double blep(double t) const {
        const double dt = increment_;
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1;
        }
        if (t > 1 - dt) {
            t = (t - 1) / dt;
            return t * t + t + t + 1;
        }
        return 0;
    }

    double phase_;
    double increment_ = 0;
};

} // namespace soundtrack
