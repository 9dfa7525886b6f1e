#pragma once
#include "Song.h"
#include "Stereo.h"

namespace soundtrack {

// Renders every track, ducks it under the kick, sends it to the shared reverb and echo, and
// masters the sum: low cut, band limit, loudness to target, look-ahead limiter, the song's
// silences and the final fade to digital silence at its last sample.
class Mixer {
  public:
    static constexpr double targetLoudness = -9.5; // LUFS, before the limiter takes its share
    static constexpr double ceilingDb = -1.0;

    Stereo render(const Song& song) const;
    // Renders one track alone, dry, with no master processing (for review and tests).
    Stereo renderTrack(const Track& track, std::size_t frames) const;
    // The sidechain's depth curve, 0..1: down in 2 ms at each kick, back within 230 ms.
    static std::vector<float> pump(const std::vector<std::int64_t>& kicks, std::size_t frames);
};

} // namespace soundtrack
