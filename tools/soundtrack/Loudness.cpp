#include "Loudness.h"

#include "FastMath.h"
#include "Timing.h"

#include <vector>

namespace soundtrack {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double process(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The standard's two stages, derived for this rate from their analogue prototypes.
Biquad shelf() {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = tangent(pi * f0 / sampleRate);
    const double vh = decibelsToGain(gainDb);
    const double vb = exp2(0.4996667741545416 * log2(vh));
    const double a0 = 1 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

Biquad highPass() {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = tangent(pi * f0 / sampleRate);
    const double a0 = 1 + k / q + k * k;
    return {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

double lufs(double power) {
    return -0.691 + 10.0 * log2(power) / 3.32192809488736234787;
}

} // namespace

double integratedLoudness(const Stereo& audio) {
    const std::size_t step = sampleRate / 10, block = 4 * step;
    std::vector<double> squares(audio.frames());
    for (const auto* channel : {&audio.left, &audio.right}) {
        Biquad a = shelf(), b = highPass();
        for (std::size_t i = 0; i < audio.frames(); ++i) {
            const double y = b.process(a.process((*channel)[i]));
            squares[i] += y * y;
        }
    }
    std::vector<double> blocks;
    for (std::size_t start = 0; start + block <= squares.size(); start += step) {
        double sum = 0;
        for (std::size_t i = start; i < start + block; ++i)
            sum += squares[i];
        blocks.push_back(sum / block);
    }
    auto gatedMean = [&](double threshold) {
        double sum = 0;
        int count = 0;
        for (double p : blocks)
            if (lufs(p) > threshold) {
                sum += p;
                ++count;
            }
        return count ? sum / count : 0.0;
    };
    const double ungated = gatedMean(-70.0);
    if (ungated <= 0) return -100.0;
    const double gated = gatedMean(lufs(ungated) - 10.0);
    return gated > 0 ? lufs(gated) : -100.0;
}

} // namespace soundtrack
