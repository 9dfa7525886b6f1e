#include "Reverb.h"

#include "FastMath.h"
#include "Filter.h"
#include "Timing.h"

#include <array>

namespace soundtrack {

namespace {

constexpr std::array<int, 8> lineLengths = {1103, 1321, 1583, 1861, 2179, 2503, 2861, 3251};
constexpr std::array<int, 4> diffuserLengths = {142, 107, 379, 277};
constexpr int preDelay = 882; // 20 ms

// An all-pass delay line: spreads a click into a burst without colouring it.
class Diffuser {
  public:
    explicit Diffuser(int length) : line_(static_cast<std::size_t>(length), 0.0) {}
    double process(double x) {
        const double delayed = line_[at_];
        const double v = x + 0.6 * delayed;
        line_[at_] = v;
        at_ = (at_ + 1) % line_.size();
        return delayed - 0.6 * v;
    }

  private:
    std::vector<double> line_;
    std::size_t at_ = 0;
};

void hadamard(std::array<double, 8>& v) {
    for (int size = 1; size < 8; size *= 2)
        for (int i = 0; i < 8; i += 2 * size)
            for (int j = i; j < i + size; ++j) {
                const double a = v[j], b = v[j + size];
                v[j] = a + b;
                v[j + size] = a - b;
            }
    for (double& x : v)
        x *= 0.35355339059327376; // 1 / sqrt(8): lossless
}

} // namespace

Reverb::Reverb(double seconds) : seconds_(seconds) {}

Stereo Reverb::process(const Stereo& send) const {
    Stereo out(send.frames());
    std::array<std::vector<double>, 8> lines;
    std::array<std::size_t, 8> at{};
    std::array<double, 8> gain{}, damp{};
    for (int i = 0; i < 8; ++i) {
        lines[i].assign(static_cast<std::size_t>(lineLengths[i]), 0.0);
        // -60 dB after the decay time, whatever the line's length.
        gain[i] = exp2(-3.0 * 3.32192809488736234787 * lineLengths[i] / (seconds_ * sampleRate));
    }
    std::vector<Diffuser> diffusers;
    for (int length : diffuserLengths)
        diffusers.emplace_back(length);
    std::vector<double> pre(preDelay, 0.0);
    std::size_t preAt = 0;
    Filter lowCutL, lowCutR;
    lowCutL.set(300, 0.7);
    lowCutR.set(300, 0.7);
    for (std::size_t n = 0; n < send.frames(); ++n) {
        double x = pre[preAt];
        pre[preAt] = 0.5 * (send.left[n] + send.right[n]);
        preAt = (preAt + 1) % pre.size();
        for (Diffuser& d : diffusers)
            x = d.process(x);
        std::array<double, 8> v{};
        for (int i = 0; i < 8; ++i)
            v[i] = lines[i][at[i]];
        const double l = v[0] - v[2] + v[4] - v[6] + 0.5 * v[1];
        const double r = v[1] - v[3] + v[5] - v[7] + 0.5 * v[2];
        hadamard(v);
        for (int i = 0; i < 8; ++i) {
            damp[i] += 0.35 * (v[i] - damp[i]); // high frequencies die sooner
            double next = damp[i] * gain[i] + (i % 2 ? -x : x) * 0.25;
            if (next > -1e-20 && next < 1e-20) next = 0;
            lines[i][at[i]] = next;
            at[i] = (at[i] + 1) % lines[i].size();
        }
        out.left[n] = static_cast<float>(lowCutL.high(l * 0.5));
        out.right[n] = static_cast<float>(lowCutR.high(r * 0.5));
    }
    return out;
}

} // namespace soundtrack
