#include "support/Wav.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

namespace test {

namespace {

constexpr std::uint32_t rate = 44100;

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples) {
    const auto frames = static_cast<std::uint32_t>(samples.size() / 2);
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t bytes = frames * 4;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return static_cast<bool>(out);
}

} // namespace

bool writeTestTone(const std::string& path, double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<std::int16_t>(3000 * std::sin(2 * M_PI * 440.0 * i / rate));
    return writeWav(path, samples);
}

bool writeClickTrack(const std::string& path, double seconds, double clickSeconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * rate) * 2, 0);
    const auto click = static_cast<std::size_t>(clickSeconds * rate);
    for (std::size_t i = click; i < click + 200 && 2 * i + 1 < samples.size(); ++i)
        samples[2 * i] = samples[2 * i + 1] = 20000;
    return writeWav(path, samples);
}

} // namespace test
