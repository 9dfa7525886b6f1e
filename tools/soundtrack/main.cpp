// soundtrack: renders the show's song and encodes it.
//   soundtrack FILE.mp3 [--wav FILE.wav]
#include "Encoder.h"
#include "Mixer.h"
#include "Song.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    std::string mp3, wav;
    bool understood = true;
    for (int i = 1; i < argc && understood; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wav" && i + 1 < argc)
            wav = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && mp3.empty())
            mp3 = arg;
        else
            understood = false;
    }
    if (!understood || mp3.empty()) {
        std::fprintf(stderr, "usage: soundtrack FILE.mp3 [--wav FILE.wav]\n");
        return 2;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        const soundtrack::Stereo audio = soundtrack::Mixer().render(soundtrack::buildSong());
        const auto rendered = std::chrono::steady_clock::now();
        std::string error;
        if (!soundtrack::writeMp3(audio, mp3, true, error) ||
            (!wav.empty() && !soundtrack::writeWav(audio, wav, error))) {
            std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
            return 1;
        }
        const auto seconds = [](auto a, auto b) {
            return std::chrono::duration<double>(b - a).count();
        };
        std::printf("soundtrack: rendered in %.1f s, encoded in %.1f s\n", seconds(start, rendered),
                    seconds(rendered, std::chrono::steady_clock::now()));
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "soundtrack: %s\n", failure.what());
        return 1;
    }
}
