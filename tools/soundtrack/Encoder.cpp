#include "Encoder.h"

#include "Timing.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <lame/lame.h>
#include <memory>
#include <vector>

namespace soundtrack {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct LameCloser {
    void operator()(lame_global_flags* g) const { lame_close(g); }
};

bool failed(std::string& error, const std::string& message) {
    error = message;
    return false;
}

} // namespace

bool writeMp3(const Stereo& audio, const std::string& path, bool withTag, std::string& error) {
    // Read and write: LAME goes back to the first frame to fill in its tag.
    File file(std::fopen(path.c_str(), "w+b"));
    if (!file) return failed(error, "cannot write " + path + ": " + std::strerror(errno));
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame) return failed(error, "LAME would not start");
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), 320);
    lame_set_quality(lame.get(), 2);
    lame_set_bWriteVbrTag(lame.get(), withTag ? 1 : 0);
    if (lame_init_params(lame.get()) < 0) return failed(error, "LAME refused its settings");

    constexpr std::size_t chunk = 44100;
    std::vector<float> interleaved(2 * chunk);
    std::vector<unsigned char> out(chunk * 5 / 4 + 7200);
    for (std::size_t at = 0; at < audio.frames(); at += chunk) {
        const std::size_t n = std::min(chunk, audio.frames() - at);
        for (std::size_t i = 0; i < n; ++i) {
            interleaved[2 * i] = audio.left[at + i];
            interleaved[2 * i + 1] = audio.right[at + i];
        }
        const int bytes = lame_encode_buffer_interleaved_ieee_float(lame.get(), interleaved.data(),
                                                                    static_cast<int>(n), out.data(),
                                                                    static_cast<int>(out.size()));
        if (bytes < 0)
            return failed(error, "LAME failed to encode (" + std::to_string(bytes) + ")");
        if (std::fwrite(out.data(), 1, static_cast<std::size_t>(bytes), file.get()) !=
            static_cast<std::size_t>(bytes))
            return failed(error, "cannot write " + path + ": " + std::strerror(errno));
    }
    const int bytes = lame_encode_flush(lame.get(), out.data(), static_cast<int>(out.size()));
    if (bytes < 0 || std::fwrite(out.data(), 1, static_cast<std::size_t>(bytes), file.get()) !=
                         static_cast<std::size_t>(bytes))
        return failed(error, "cannot finish " + path);
    std::fflush(file.get());
    if (withTag) lame_mp3_tags_fid(lame.get(), file.get());
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        return failed(error, "cannot write " + path + ": " + std::strerror(errno));
    return true;
}

bool writeWav(const Stereo& audio, const std::string& path, std::string& error) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return failed(error, "cannot write " + path + ": " + std::strerror(errno));
    const auto dataBytes = static_cast<std::uint32_t>(audio.frames() * 2 * sizeof(float));
    auto u32 = [&](std::uint32_t v) { std::fwrite(&v, 4, 1, file.get()); };
    auto u16 = [&](std::uint16_t v) { std::fwrite(&v, 2, 1, file.get()); };
    std::fwrite("RIFF", 1, 4, file.get());
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file.get());
    u32(16);
    u16(3); // IEEE float
    u16(2);
    u32(sampleRate);
    u32(sampleRate * 2 * sizeof(float));
    u16(2 * sizeof(float));
    u16(32);
    std::fwrite("data", 1, 4, file.get());
    u32(dataBytes);
    std::vector<float> interleaved(2 * audio.frames());
    for (std::size_t i = 0; i < audio.frames(); ++i) {
        interleaved[2 * i] = audio.left[i];
        interleaved[2 * i + 1] = audio.right[i];
    }
    if (std::fwrite(interleaved.data(), sizeof(float), interleaved.size(), file.get()) !=
            interleaved.size() ||
        std::fflush(file.get()) != 0)
        return failed(error, "cannot write " + path + ": " + std::strerror(errno));
    return true;
}

} // namespace soundtrack
