#pragma once
#include "FastMath.h"
#include "Timing.h"

#include <algorithm>

namespace soundtrack {

// Attack, decay, sustain and release as exponential approaches; the release starts from
// wherever the level is, so nothing jumps.
class Envelope {
  public:
    struct Shape {
        double attack, decay, sustain, release; // seconds, level 0..1
    };

    explicit Envelope(Shape shape)
        : attackStep_(1.0 / std::max(1.0, shape.attack * sampleRate)),
          decayCoef_(coefficient(shape.decay)), releaseCoef_(coefficient(shape.release)),
          sustain_(shape.sustain) {}

    void release() { releasing_ = true; }
    bool done() const { return releasing_ && level_ < 1e-4; }

    double next() {
        if (releasing_) {
            level_ *= releaseCoef_;
        } else if (attacking_) {
            // A linear rise, so the first sample is near zero whatever the waveform.
            level_ += attackStep_;
            if (level_ >= 1) {
                level_ = 1;
                attacking_ = false;
            }
        } else {
            level_ = sustain_ + (level_ - sustain_) * decayCoef_;
        }
        return level_;
    }

  private:
    static double coefficient(double seconds) {
        return exponential(-1.0 / std::max(1.0, seconds * sampleRate));
    }

    double attackStep_, decayCoef_, releaseCoef_, sustain_;
    double level_ = 0;
    bool attacking_ = true;
    bool releasing_ = false;
};

} // namespace soundtrack
