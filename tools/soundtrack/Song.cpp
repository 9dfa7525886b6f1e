#include "Song.h"

#include "Timing.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <stdexcept>

namespace soundtrack {

namespace {

constexpr int stepsPerBar = 16;
constexpr int ticksPerStep = ticksPerBar / stepsPerBar;

// The chord of a bar: root of the bass, and the pad's three notes.
struct Chord {
    int root;
    std::array<int, 3> voicing;
};
const std::array<Chord, 4> progression = {{
    {45, {57, 60, 64}}, // Am
    {41, {57, 60, 65}}, // F
    {48, {55, 60, 64}}, // C
    {43, {55, 59, 62}}, // G
}};
const Chord& chordAt(int bar) {
    return progression[static_cast<std::size_t>((bar / 2) % 4)];
}

// The lead's 3-3-2 motif per chord: steps 0, 3, 6, 8, 11, 14.
const std::array<std::array<int, 6>, 4> motif = {{
    {76, 72, 69, 76, 74, 72},
    {77, 72, 69, 77, 76, 72},
    {76, 72, 67, 76, 74, 72},
    {74, 71, 67, 74, 72, 71},
}};
constexpr std::array<int, 6> motifSteps = {0, 3, 6, 8, 11, 14};

std::int64_t at(int bar, double step) {
    return sampleOfTick(static_cast<std::int64_t>(bar) * ticksPerBar +
                        static_cast<std::int64_t>(step * ticksPerStep + 0.5));
}

// Bars from..to, end exclusive.
struct Bars {
    int from, to;
};

class Builder {
  public:
    Track& track(const std::string& name, Instrument instrument, double levelDb, double duck,
                 double reverb, double delay) {
        tracks_.push_back({name, instrument, levelDb, duck, reverb, delay, {}});
        return tracks_.back(); // a deque: earlier tracks stay where they are
    }

    // A sixteen-step pattern: 'x' a hit, 'X' an accent, '.' nothing. pitch gives the note of
    // a hit at a bar and step; length is in steps.
    static void steps(Track& t, const std::string& pattern, std::initializer_list<Bars> spans,
                      double length = 1, const std::function<double(int, int)>& pitch = {},
                      double velocity = 0.8) {
        if (pattern.size() != stepsPerBar)
            throw std::logic_error("a pattern has 16 steps: " + pattern);
        for (const Bars& span : spans)
            for (int bar = span.from; bar < span.to; ++bar)
                for (int s = 0; s < stepsPerBar; ++s) {
                    if (pattern[s] == '.') continue;
                    add(t, bar, s, length, pitch ? pitch(bar, s) : 60,
                        pattern[s] == 'X' ? 1.0 : velocity);
                }
    }

    static void add(Track& t, int bar, double step, double length, double pitch, double velocity,
                    double brightness = 1.0, double brightnessEnd = -1.0) {
        Note n;
        n.start = at(bar, step);
        n.length = at(bar, step + length) - n.start;
        n.pitch = pitch;
        n.velocity = velocity;
        n.brightness = brightness;
        n.brightnessEnd = brightnessEnd < 0 ? brightness : brightnessEnd;
        n.seed = static_cast<int>(t.notes.size()) * 7919 + static_cast<int>(t.name.size()) * 104729;
        t.notes.push_back(n);
    }

    void silence(double fromBar, double toBar) {
        song_.silences.push_back({sampleOfBar(fromBar), sampleOfBar(toBar)});
    }

    Song finish() {
        song_.tracks.assign(tracks_.begin(), tracks_.end());
        for (Track& t : song_.tracks) {
            std::stable_sort(t.notes.begin(), t.notes.end(),
                             [](const Note& a, const Note& b) { return a.start < b.start; });
            if (t.instrument == Instrument::Kick || t.instrument == Instrument::HardKick)
                for (const Note& n : t.notes)
                    song_.kicks.push_back(n.start);
        }
        std::sort(song_.kicks.begin(), song_.kicks.end());
        return std::move(song_);
    }

  private:
    std::deque<Track> tracks_;
    Song song_;
};

// Brightness along a stretch of bars: a sweep from one level to another.
double ramp(int bar, int from, int to, double a, double b) {
    const double t = std::clamp(static_cast<double>(bar - from) / (to - from), 0.0, 1.0);
    return a + (b - a) * t;
}

void drums(Builder& b) {
    Track& kick = b.track("kick", Instrument::Kick, -3, 0, 0, 0);
    Builder::steps(kick, "x...x...x...x...", {{4, 15}}, 1, {}, 0.95);
    Builder::steps(kick, "x...x...x...x...", {{46, 48}}, 1, {}, 0.55); // the pulse returns
    Builder::steps(kick, "x...x...x...x...", {{48, 55}}, 1, {}, 0.8);
    Builder::steps(kick, "x...x...x.......", {{55, 56}}, 1, {}, 0.85); // last beat silent
    Track& hard = b.track("hard kick", Instrument::HardKick, -3, 0, 0, 0);
    Builder::steps(hard, "x...x...x...x...", {{16, 40}, {56, 81}}, 1, {}, 1.0);

    Track& clap = b.track("clap", Instrument::Clap, -11, 0, 0.25, 0);
    Builder::steps(clap, "....x.......x...", {{8, 15}, {16, 40}, {56, 80}});

    Track& closed = b.track("closed hat", Instrument::ClosedHat, -13, 0.2, 0.05, 0);
    Builder::steps(closed, "..x...x...x...x.", {{4, 8}}, 1, {}, 0.6);
    Builder::steps(closed, ".x.x.x.x.x.x.x.x", {{8, 15}, {16, 32}, {56, 64}, {72, 80}}, 1, {}, 0.5);
    Builder::steps(closed, "xxXxxxXxxxXxxxXx", {{32, 40}, {64, 72}}, 1, {}, 0.8);
    Track& open = b.track("open hat", Instrument::OpenHat, -15, 0.3, 0.08, 0);
    Builder::steps(open, "..x...x...x...x.", {{8, 15}, {16, 40}, {56, 80}}, 1, {}, 0.7);
    Builder::steps(open, "x...x...x...x...", {{32, 40}, {64, 72}}, 1, {}, 0.45); // a ride on the beat

    Track& crash = b.track("crash", Instrument::Crash, -15, 0, 0.35, 0);
    for (int bar : {8, 15, 16, 20, 24, 32, 34, 36, 38, 40, 56, 60, 64, 68, 72})
        Builder::add(crash, bar, 0, 1, 60, 1.0);
    Track& impact = b.track("impact", Instrument::Impact, -8, 0, 0.5, 0);
    Builder::add(impact, 81, 0, 1, 60, 1.0);

    // Rolls and fills: the snare tightens and climbs into each change.
    Track& snare = b.track("snare", Instrument::Snare, -12, 0, 0.3, 0);
    auto roll = [&](int bar, double from, double to, double every, double pitchFrom, double pitchTo,
                    double velFrom, double velTo) {
        for (double s = from; s < to - 1e-9; s += every) {
            const double t = (s - from) / (to - from);
            Builder::add(snare, bar, s, std::min(every, 1.0), pitchFrom + (pitchTo - pitchFrom) * t,
                         velFrom + (velTo - velFrom) * t);
        }
    };
    roll(7, 0, 8, 2, 55, 58, 0.3, 0.55);
    roll(7, 8, 16, 1, 58, 62, 0.55, 0.9);
    roll(15, 0, 8, 1, 55, 60, 0.35, 0.6);
    roll(15, 8, 14, 0.5, 60, 68, 0.6, 1.0); // and stops at 15.875
    for (int bar : {23, 39, 71, 79})
        roll(bar, 12, 16, 1, 57, 62, 0.5, 0.9);
    roll(31, 0, 16, 1, 55, 64, 0.3, 0.9);
    for (int bar = 48; bar < 52; ++bar)
        roll(bar, 0, 16, 4, 55, 56, 0.35, 0.45);
    for (int bar = 52; bar < 54; ++bar)
        roll(bar, 0, 16, 2, 56 + (bar - 52) * 2, 58 + (bar - 52) * 2, 0.45, 0.6);
    roll(54, 0, 16, 1, 60, 63, 0.6, 0.8);
    roll(55, 0, 12, 0.5, 63, 69, 0.8, 1.0);
}

void bassLine(Builder& b) {
    Track& sub = b.track("sub", Instrument::Sub, -8, 0.95, 0, 0);
    auto root = [](int bar, int) { return static_cast<double>(chordAt(bar).root - 12); };
    Builder::steps(sub, "x...x...x...x...", {{4, 15}, {16, 40}, {56, 76}}, 3.6, root, 0.9);
    Builder::steps(sub, "x...............", {{40, 56}}, 15.5, root, 0.6);

    Track& bass = b.track("bass", Instrument::Bass, -9, 0.9, 0, 0.05);
    auto upper = [](int bar, int) { return static_cast<double>(chordAt(bar).root); };
    for (int bar = 4; bar < 81; ++bar) {
        if (bar == 15 || (bar >= 40 && bar < 56) || bar >= 76) continue;
        // Closed behind the intro, open in the groove, brightest at the peaks.
        const double open = bar < 8    ? ramp(bar, 4, 8, 0.05, 0.4)
                            : bar < 16 ? 0.55
                            : bar < 32 ? 0.7
                            : bar < 40 ? 0.85
                            : bar < 72 ? 0.8
                                       : ramp(bar, 72, 76, 0.7, 0.3);
        for (int s = 0; s < 16; ++s)
            if (s % 4 != 0)
                Builder::add(bass, bar, s, 0.8, upper(bar, s), s % 4 == 2 ? 0.9 : 0.7, open);
    }

    Track& acid = b.track("acid", Instrument::Acid, -15, 0.5, 0.1, 0.25);
    const std::array<int, 16> offsets = {0, -1, 12, 0, -1, 3, 0, 7, -1, 0, 12, -1, 3, 0, 10, 12};
    for (int bar = 24; bar < 72; ++bar) {
        if (bar >= 40 && bar < 64) continue;
        for (int s = 0; s < 16; ++s) {
            if (offsets[s] < 0) continue;
            const double open = bar < 32 ? ramp(bar, 24, 32, 0.15, 0.7) : 0.85;
            Builder::add(acid, bar, s, s % 3 == 0 ? 1.5 : 0.7, chordAt(bar).root + 12 + offsets[s],
                         s % 3 == 0 ? 1.0 : 0.6, open);
        }
    }
}

void harmony(Builder& b) {
    Track& pad = b.track("pad", Instrument::Pad, -13, 0.55, 0.45, 0);
    for (int bar = 0; bar < 81; bar += 2) {
        // Opening through the intro, closing through the outro.
        auto open = [](int at) {
            return at <= 8    ? ramp(at, 0, 8, 0.35, 0.8)
                   : at >= 72 ? ramp(at, 72, 81, 0.8, 0.2)
                              : 0.8;
        };
        const double level = bar < 8                 ? 1.0
                             : bar >= 16 && bar < 24 ? 0.5
                             : bar >= 40 && bar < 56 ? 0.9
                                                     : 0.7;
        const double length = bar == 14 ? 29.5 : bar == 54 ? 28 : 32; // silent ends of 15 and 55
        for (int note : chordAt(bar).voicing)
            Builder::add(pad, bar, 0, length, note, level, open(bar), open(bar + 2));
    }
    for (int note : {45, 57, 60, 64}) // the last chord, ringing out from the impact
        Builder::add(pad, 81, 0, 16, note, 0.8, 0.5, 0.1);

    Track& stab = b.track("stabs", Instrument::Stab, -13, 0.4, 0.3, 0.2);
    for (int bar = 16; bar < 24; ++bar)
        for (int s : motifSteps)
            for (int note : chordAt(bar).voicing)
                Builder::add(stab, bar, s, 1.5, note + 12, s == 0 ? 1.0 : 0.8, 0.6);

    Track& arp = b.track("arp", Instrument::Pluck, -15, 0.5, 0.2, 0.35);
    const std::array<int, 16> order = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 1};
    for (int bar = 0; bar < 80; ++bar) {
        if ((bar >= 15 && bar < 24) || (bar >= 40 && bar < 56)) continue;
        const double open = bar < 8     ? ramp(bar, 0, 8, 0.3, 0.75)
                            : bar >= 72 ? ramp(bar, 72, 80, 0.7, 0.1)
                                        : 0.65;
        const auto& v = chordAt(bar).voicing;
        for (int s = 0; s < 16; ++s) {
            const int tone = order[s];
            Builder::add(arp, bar, s, 0.7, tone == 3 ? v[0] + 12 : v[tone] + 12,
                         (s % 4 == 0 ? 0.9 : 0.65) * (bar < 8 ? 1.1 : 1.0), open);
        }
    }
}

// The motif: the six notes of a chord's first bar, then its first three and a held answer.
void melody(Track& t, Bars bars, int transpose, double velocity) {
    for (int bar = bars.from; bar < bars.to; ++bar) {
        const auto& notes = motif[static_cast<std::size_t>((bar / 2) % 4)];
        const bool answer = bar % 2 == 1;
        for (std::size_t i = 0; i < (answer ? 4 : 6); ++i) {
            const double length = answer && i == 3 ? 7.5 : i == 2 || i == 5 ? 1.8 : 2.8;
            Builder::add(t, bar, motifSteps[i], length, notes[answer && i == 3 ? 2 : i] + transpose,
                         i == 0 ? velocity : velocity * 0.85, 0.7);
        }
    }
}

void leads(Builder& b) {
    Track& lead = b.track("lead", Instrument::Lead, -14, 0.35, 0.3, 0.3);
    melody(lead, {24, 40}, 0, 0.9);
    melody(lead, {32, 40}, 12, 0.6); // doubled an octave up at the peak
    melody(lead, {56, 72}, 0, 1.0);
    melody(lead, {64, 72}, 12, 0.65);
    Track& bell = b.track("bell", Instrument::Bell, -11, 0, 0.5, 0.4);
    melody(bell, {40, 56}, 0, 0.8);
}

// Risers into the changes, falls out of them, and the silences that make the drops hit.
void effects(Builder& b) {
    Track& riser = b.track("riser", Instrument::Riser, -16, 0, 0.3, 0);
    Builder::add(riser, 7, 0, 16, 60, 0.7);
    Builder::add(riser, 15, 0, 14, 60, 1.0);
    Builder::add(riser, 31, 0, 16, 60, 0.8);
    Builder::add(riser, 48, 0, 7 * 16 + 12, 60, 1.0);
    Builder::add(riser, 80, 0, 16, 60, 0.8);
    Track& fall = b.track("downlifter", Instrument::Downlifter, -15, 0, 0.4, 0);
    Builder::add(fall, 15, 0, 8, 60, 0.9);
    Builder::add(fall, 40, 0, 16, 60, 0.8);
    b.silence(15.875, 16);
    b.silence(55.75, 56);
}

} // namespace

Song buildSong() {
    Builder b;
    drums(b);
    bassLine(b);
    harmony(b);
    leads(b);
    effects(b);
    return b.finish();
}

} // namespace soundtrack
