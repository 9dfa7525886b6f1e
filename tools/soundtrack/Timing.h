#pragma once
// The one place that knows the tempo and the rate. Bar N begins at sample N x 73,500,
// counted from 0, the same bars the show's cues count.
#include <cstdint>

namespace soundtrack {

constexpr int sampleRate = 44100;
constexpr int beatsPerMinute = 144;
constexpr int ticksPerBeat = 96; // triplets and 32nds fall on ticks
constexpr int ticksPerBar = 4 * ticksPerBeat;
constexpr std::int64_t samplesPerBeat = std::int64_t{sampleRate} * 60 / beatsPerMinute;
constexpr std::int64_t samplesPerBar = 4 * samplesPerBeat;
constexpr int songBars = 83;
constexpr std::int64_t songSamples = songBars * samplesPerBar;

static_assert(samplesPerBeat * beatsPerMinute == std::int64_t{sampleRate} * 60,
              "a beat must be a whole number of samples");

// From the absolute tick, rounded half up, so no rounding ever accumulates.
constexpr std::int64_t sampleOfTick(std::int64_t tick) {
    return (tick * samplesPerBeat + ticksPerBeat / 2) / ticksPerBeat;
}

constexpr std::int64_t sampleOfBar(double bar) {
    return sampleOfTick(static_cast<std::int64_t>(bar * ticksPerBar + 0.5));
}

} // namespace soundtrack
