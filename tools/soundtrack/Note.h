#pragma once
#include <cstdint>

namespace soundtrack {

// One note of a track, in samples. Brightness (0..1) opens the instrument's filter; it moves
// linearly from brightness to brightnessEnd over the note, which is how sweeps are written.
struct Note {
    std::int64_t start = 0;
    std::int64_t length = 0;
    double pitch = 69;     // MIDI note number; ignored by unpitched drums
    double velocity = 1.0; // 0..1
    double brightness = 1.0;
    double brightnessEnd = 1.0;
    int seed = 0; // for the voice's own noise and phases
};

} // namespace soundtrack
