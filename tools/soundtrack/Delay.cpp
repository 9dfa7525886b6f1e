#include "Delay.h"

#include "Filter.h"
#include "Timing.h"

namespace soundtrack {

Delay::Delay(double beats, double feedback)
    : length_(static_cast<std::size_t>(beats * samplesPerBeat + 0.5)), feedback_(feedback) {}

Stereo Delay::process(const Stereo& send) const {
    Stereo out(send.frames());
    std::vector<double> left(length_, 0.0), right(length_, 0.0);
    Filter darkL, darkR, thinL, thinR;
    darkL.set(4500, 0.7);
    darkR.set(4500, 0.7);
    thinL.set(300, 0.7);
    thinR.set(300, 0.7);
    std::size_t at = 0;
    for (std::size_t n = 0; n < send.frames(); ++n) {
        const double l = left[at], r = right[at];
        out.left[n] = static_cast<float>(l);
        out.right[n] = static_cast<float>(r);
        // The input enters on the left; the repeats swap sides.
        left[at] = thinL.high(darkL.low(0.5 * (send.left[n] + send.right[n]) + feedback_ * r));
        right[at] = thinR.high(darkR.low(feedback_ * l));
        at = (at + 1) % length_;
    }
    return out;
}

} // namespace soundtrack
