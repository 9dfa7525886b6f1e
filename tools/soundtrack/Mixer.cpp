#include "Mixer.h"

#include "Delay.h"
#include "FastMath.h"
#include "Filter.h"
#include "Limiter.h"
#include "Loudness.h"
#include "Reverb.h"
#include "Timing.h"

#include <algorithm>

namespace soundtrack {

namespace {

void master(Stereo& mix) {
    for (auto* channel : {&mix.left, &mix.right}) {
        Filter lowCut, first, second;
        lowCut.set(25, 0.7);
        first.set(17000, 0.54);
        second.set(17000, 1.31); // two stages: a fourth-order band limit before the limiter
        for (float& x : *channel)
            x = static_cast<float>(second.low(first.low(lowCut.high(x))));
    }
    const double gain = decibelsToGain(Mixer::targetLoudness - integratedLoudness(mix));
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] = static_cast<float>(mix.left[i] * gain);
        mix.right[i] = static_cast<float>(mix.right[i] * gain);
    }
    Limiter(Mixer::ceilingDb, 0.003, 0.12).process(mix);
}

// Gain 0 inside each silence, ramping down over 3 ms before it; the downbeat that ends a
// silence comes back at once, masking the return of the tails.
void silence(Stereo& mix, const std::vector<Span>& spans) {
    const std::int64_t ramp = sampleRate * 3 / 1000;
    for (const Span& s : spans)
        for (std::int64_t i = std::max<std::int64_t>(0, s.from - ramp);
             i < std::min<std::int64_t>(s.to, static_cast<std::int64_t>(mix.frames())); ++i) {
            const double g = i < s.from ? static_cast<double>(s.from - i) / ramp : 0.0;
            mix.left[static_cast<std::size_t>(i)] *= static_cast<float>(g);
            mix.right[static_cast<std::size_t>(i)] *= static_cast<float>(g);
        }
}

// From bar 81.5 the song falls away on a curve, to exactly nothing at its last sample.
void fadeOut(Stereo& mix) {
    const auto from = static_cast<std::size_t>(sampleOfBar(81.5));
    const auto end = mix.frames();
    for (std::size_t i = from; i < end; ++i) {
        const double t = static_cast<double>(end - 1 - i) / static_cast<double>(end - 1 - from);
        const double g = t * t;
        mix.left[i] = static_cast<float>(mix.left[i] * g);
        mix.right[i] = static_cast<float>(mix.right[i] * g);
    }
}

} // namespace

std::vector<float> Mixer::pump(const std::vector<std::int64_t>& kicks, std::size_t frames) {
    std::vector<float> depth(frames, 0.0f);
    const std::int64_t fall = sampleRate * 2 / 1000, hold = sampleRate * 30 / 1000,
                       recover = sampleRate * 200 / 1000;
    for (std::int64_t kick : kicks)
        for (std::int64_t i = 0; i < fall + hold + recover; ++i) {
            const std::int64_t at = kick + i;
            if (at < 0 || at >= static_cast<std::int64_t>(frames)) continue;
            double d = 1.0;
            if (i < fall)
                d = static_cast<double>(i) / fall;
            else if (i >= fall + hold) {
                const double t = 1.0 - static_cast<double>(i - fall - hold) / recover;
                d = t * t;
            }
            depth[static_cast<std::size_t>(at)] =
                std::max(depth[static_cast<std::size_t>(at)], static_cast<float>(d));
        }
    return depth;
}

Stereo Mixer::renderTrack(const Track& track, std::size_t frames) const {
    Stereo out(frames);
    for (const Note& note : track.notes)
        renderNote(track.instrument, note, out);
    return out;
}

Stereo Mixer::render(const Song& song) const {
    const auto frames = static_cast<std::size_t>(songSamples);
    Stereo mix(frames), reverbSend(frames), delaySend(frames);
    const std::vector<float> depth = pump(song.kicks, frames);
    for (const Track& track : song.tracks) {
        const Stereo dry = renderTrack(track, frames);
        const double level = decibelsToGain(track.levelDb);
        for (std::size_t i = 0; i < frames; ++i) {
            const double g = level * (1.0 - track.duck * depth[i]);
            const double l = dry.left[i] * g, r = dry.right[i] * g;
            mix.add(i, l, r);
            reverbSend.add(i, l * track.reverb, r * track.reverb);
            delaySend.add(i, l * track.delay, r * track.delay);
        }
    }
    const Stereo hall = Reverb(2.4).process(reverbSend);
    const Stereo echo = Delay(0.75, 0.38).process(delaySend);
    for (std::size_t i = 0; i < frames; ++i) {
        const double g = 1.0 - 0.5 * depth[i]; // the tails pump too
        mix.add(i, (hall.left[i] + 0.6 * echo.left[i]) * g,
                (hall.right[i] + 0.6 * echo.right[i]) * g);
    }
    master(mix);
    silence(mix, song.silences);
    fadeOut(mix);
    return mix;
}

} // namespace soundtrack
