#pragma once
#include "FastMath.h"
#include "Timing.h"

#include <algorithm>

namespace soundtrack {

// The trapezoidal (zero-delay-feedback) state-variable filter: exact cutoff up to Nyquist and
// stable however fast the cutoff moves.
class Filter {
  public:
    struct Outputs {
        double low, band, high;
    };

    void set(double cutoff, double q) {
        cutoff = std::clamp(cutoff, 10.0, 0.45 * sampleRate);
        g_ = tangent(pi * cutoff / sampleRate);
        k_ = 1.0 / std::max(q, 0.05);
        a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
        a2_ = g_ * a1_;
        a3_ = g_ * a2_;
    }
    Outputs process(double x) {
        const double v3 = x - s2_;
        const double v1 = a1_ * s1_ + a2_ * v3;
        const double v2 = s2_ + a2_ * s1_ + a3_ * v3;
        s1_ = flush(2 * v1 - s1_);
        s2_ = flush(2 * v2 - s2_);
        return {v2, v1, x - k_ * v1 - v2};
    }
    double low(double x) { return process(x).low; }
    double high(double x) { return process(x).high; }
    double band(double x) { return process(x).band; }

  private:
    // Decaying states go to zero rather than into slow subnormal numbers.
    static double flush(double v) { return v > -1e-20 && v < 1e-20 ? 0.0 : v; }

    double g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    double s1_ = 0, s2_ = 0;
};

} // namespace soundtrack
