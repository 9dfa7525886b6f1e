#pragma once
#include <string>

namespace test {

// Writes a short 44.1 kHz stereo tone as a WAV file, under whatever name is asked for: the
// player must recognise it by its content.
bool writeTestTone(const std::string& path, double seconds);

// Silence with one short full-scale click at clickSeconds.
bool writeClickTrack(const std::string& path, double seconds, double clickSeconds);

} // namespace test
