#pragma once
#include "Stereo.h"

#include <string>

namespace soundtrack {

// MP3 through LAME at 320 kb/s, joint stereo. With the LAME tag the decoders that read it
// (FFmpeg, libmpg123 as SDL2_mixer uses it) skip the encoder's delay and padding, so the first
// rendered sample plays at time 0 and the decoded length is exact.
bool writeMp3(const Stereo& audio, const std::string& path, bool withTag, std::string& error);

// 32-bit float WAV, for review and analysis.
bool writeWav(const Stereo& audio, const std::string& path, std::string& error);

} // namespace soundtrack
