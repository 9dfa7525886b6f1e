#pragma once
#include "Instrument.h"
#include "Note.h"

#include <cstdint>
#include <string>
#include <vector>

namespace soundtrack {

// One instrument's part and where it goes in the mix.
struct Track {
    std::string name;
    Instrument instrument;
    double levelDb;
    double duck;   // 0..1: how deep the kick pushes it down
    double reverb; // send levels, 0..1
    double delay;
    std::vector<Note> notes;
};

// A stretch of the song, in samples, end exclusive.
struct Span {
    std::int64_t from, to;
};

struct Song {
    std::vector<Track> tracks;
    std::vector<std::int64_t> kicks; // the sidechain's key
    std::vector<Span> silences;      // where everything stops, reverb tails too
};

// The show's song: A minor, Am-F-C-G two bars a chord, following the picture bar by bar.
Song buildSong();

} // namespace soundtrack
