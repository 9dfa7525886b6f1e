#include "Limiter.h"

#include "FastMath.h"
#include "Timing.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace soundtrack {

Limiter::Limiter(double ceilingDb, double lookAheadSeconds, double releaseSeconds)
    : ceiling_(decibelsToGain(ceilingDb)),
      lookAhead_(std::max<std::size_t>(1, static_cast<std::size_t>(lookAheadSeconds * sampleRate))),
      release_(exponential(-1.0 / (releaseSeconds * sampleRate))) {}

void Limiter::process(Stereo& audio) const {
    const std::size_t n = audio.frames(), window = lookAhead_;
    std::vector<double> need(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        need[i] = peak > ceiling_ ? ceiling_ / peak : 1.0;
    }
    // The smallest need over the next window samples (a monotonic queue), then a slow
    // release, then a moving average over the window: every value averaged at a peak is
    // already at or below what that peak needs.
    std::vector<double> held(n);
    std::deque<std::size_t> queue;
    std::size_t next = 0;
    double gain = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        for (; next < std::min(n, i + window); ++next) {
            while (!queue.empty() && need[queue.back()] >= need[next])
                queue.pop_back();
            queue.push_back(next);
        }
        while (queue.front() < i)
            queue.pop_front();
        gain = std::min(need[queue.front()], 1.0 - (1.0 - gain) * release_);
        held[i] = gain;
    }
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i >= window) sum -= held[i - window];
        const double average = sum / static_cast<double>(std::min(i + 1, window));
        // Rounding to float must not step over the ceiling either.
        const float l = static_cast<float>(audio.left[i] * average),
                    r = static_cast<float>(audio.right[i] * average);
        const auto top = static_cast<float>(ceiling_);
        audio.left[i] = std::clamp(l, -top, top);
        audio.right[i] = std::clamp(r, -top, top);
    }
}

} // namespace soundtrack
