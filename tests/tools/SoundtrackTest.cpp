#include "Encoder.h"
#include "Filter.h"
#include "Instrument.h"
#include "Limiter.h"
#include "Mixer.h"
#include "Noise.h"
#include "Oscillator.h"
#include "Song.h"
#include "Timing.h"
#include "support/Process.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>

using namespace soundtrack;

namespace {

// Decodes through FFmpeg, which honours the LAME tag as libmpg123 (SDL2_mixer's decoder) does.
Stereo decode(const std::string& mp3) {
    const std::string raw = test::makeTempFolder() + "/decoded.f32";
    const auto result = test::runProcess(
        {"ffmpeg", "-v", "error", "-y", "-i", mp3, "-f", "f32le", "-acodec", "pcm_f32le", raw}, "",
        {}, 120);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::string bytes = test::readFile(raw);
    Stereo out(bytes.size() / 8);
    const auto* f = reinterpret_cast<const float*>(bytes.data());
    for (std::size_t i = 0; i < out.frames(); ++i) {
        out.left[i] = f[2 * i];
        out.right[i] = f[2 * i + 1];
    }
    return out;
}

double energyDb(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return 10 * std::log10(sum / static_cast<double>(to - from) + 1e-30);
}

std::size_t barSample(double bar) {
    return static_cast<std::size_t>(sampleOfBar(bar));
}

// The whole song as the show plays it, decoded once for every test that needs it.
const Stereo& song() {
    static const Stereo decoded = decode(SONG_MP3);
    return decoded;
}

// Below 150 Hz: where the kick, bass and sub live.
std::vector<float> lowBand(const std::vector<float>& x, double cutoff = 150) {
    Filter a, b;
    a.set(cutoff, 0.7);
    b.set(cutoff, 0.7);
    std::vector<float> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<float>(b.low(a.low(x[i])));
    return out;
}

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w =
            std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (std::size_t j = 0; j < len / 2; ++j, wk *= w) {
                const auto u = a[i + j], v = a[i + j + len / 2] * wk;
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
            }
        }
    }
}

// Energy that is not a harmonic, below 5 kHz, against the harmonics' energy there, in dB.
template <class Generate> double aliasingDb(int bin, Generate generate) {
    constexpr std::size_t n = 65536;
    std::vector<std::complex<double>> x(n);
    for (auto& v : x)
        v = generate();
    fft(x);
    double harmonic = 0, alias = 0;
    const auto top = static_cast<std::size_t>(5000.0 * n / sampleRate);
    for (std::size_t k = 1; k < top; ++k) {
        const double p = std::norm(x[k]);
        const std::size_t r = k % static_cast<std::size_t>(bin);
        (r == 0 ? harmonic : alias) += p;
    }
    return 10 * std::log10(alias / harmonic);
}

double cents(double measured, double expected);

// The fundamental from the spectrum (Hann window): the power-weighted mean, in cents, of the
// bins within half a semitone of the note. For one partial that is its peak; for detuned
// ensembles (pads, supersaws), the centre of the cluster the ear hears as the pitch.
double pitchOf(const std::vector<float>& x, std::size_t from, double expected) {
    constexpr std::size_t n = 65536;
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < n; ++i)
        a[i] = x[from + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n));
    fft(a);
    const double binHz = static_cast<double>(sampleRate) / n;
    double weight = 0, sum = 0;
    for (auto k = static_cast<std::size_t>(expected / 1.03 / binHz);
         k <= static_cast<std::size_t>(expected * 1.03 / binHz) + 1; ++k) {
        const double c = cents(k * binHz, expected);
        if (std::abs(c) > 50) continue;
        weight += std::norm(a[k]);
        sum += std::norm(a[k]) * c;
    }
    return expected * std::pow(2.0, sum / weight / 1200);
}

double cents(double measured, double expected) {
    return 1200 * std::log2(measured / expected);
}

Stereo renderAlone(Instrument instrument, Note note, std::size_t frames) {
    Stereo out(frames);
    renderNote(instrument, note, out);
    return out;
}

} // namespace

TEST(SoundtrackTiming, EveryBarAndSixteenthLandsOnItsSampleWithoutDrift) {
    for (int bar = 0; bar <= songBars; ++bar)
        ASSERT_EQ(sampleOfTick(std::int64_t{bar} * ticksPerBar), bar * 73500);
    for (std::int64_t step = 0; step <= songBars * 16; ++step) {
        const double exact = step * 4593.75;
        ASSERT_LE(std::abs(static_cast<double>(sampleOfTick(step * 24)) - exact), 0.5) << step;
    }
    EXPECT_EQ(songSamples, 6100500);
}

TEST(SoundtrackTiming, TheSongsEventsAreInsideItAndItsKicksOnTheBeat) {
    const Song s = buildSong();
    EXPECT_FALSE(s.kicks.empty());
    for (std::int64_t kick : s.kicks)
        ASSERT_EQ(kick % samplesPerBeat, 0) << kick;
    for (const Track& t : s.tracks)
        for (const Note& n : t.notes) {
            ASSERT_GE(n.start, 0) << t.name;
            ASSERT_LT(n.start + n.length, songSamples) << t.name;
            ASSERT_GT(n.length, 0) << t.name;
        }
    // Kicks enter exactly at bar 4 and stop for the break of bar 15.
    EXPECT_EQ(s.kicks.front(), 4 * samplesPerBar);
    EXPECT_EQ(std::count_if(
                  s.kicks.begin(), s.kicks.end(),
                  [](std::int64_t k) { return k >= 15 * samplesPerBar && k < 16 * samplesPerBar; }),
              0);
}

TEST(SoundtrackTiming, ANoteSoundsFromTheExactSampleOfItsTick) {
    for (const std::int64_t tick :
         {std::int64_t{0}, std::int64_t{24 * 5 + 7}, std::int64_t{384 * 2 + 72}}) {
        Note n;
        n.start = sampleOfTick(tick);
        n.length = 4000;
        const Stereo out =
            renderAlone(Instrument::Kick, n, static_cast<std::size_t>(n.start) + 30000);
        std::size_t first = 0;
        while (first < out.frames() && out.left[first] == 0.0f)
            ++first;
        EXPECT_EQ(static_cast<std::int64_t>(first), n.start) << tick;
    }
}

TEST(SoundtrackSound, PitchedInstrumentsPlayInTune) {
    const std::pair<Instrument, std::vector<int>> cases[] = {
        {Instrument::Sub, {33, 45}},       {Instrument::Bass, {33, 45, 57}},
        {Instrument::Lead, {57, 69, 81}},  {Instrument::Stab, {60, 72}},
        {Instrument::Pluck, {57, 69, 81}}, {Instrument::Pad, {45, 57, 69}},
        {Instrument::Bell, {69, 81}},      {Instrument::Acid, {45, 57}},
    };
    for (const auto& [instrument, notes] : cases)
        for (int pitch : notes) {
            Note n;
            n.length = 2 * sampleRate;
            n.pitch = pitch;
            n.velocity = 0.8;
            const Stereo out = renderAlone(instrument, n, 3 * sampleRate);
            const double expected = 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
            const double measured = pitchOf(out.left, sampleRate / 10, expected);
            EXPECT_NEAR(cents(measured, expected), 0.0, 3.0)
                << static_cast<int>(instrument) << " note " << pitch << ": " << measured << " Hz";
        }
}

TEST(SoundtrackSound, BandLimitedOscillatorsAliasFarLessThanANaiveSaw) {
    for (double hertz : {1760.0, 3520.0}) {
        const int bin = static_cast<int>(hertz * 65536 / sampleRate + 0.5);
        const double f0 = bin * static_cast<double>(sampleRate) / 65536;
        Oscillator blep, pulse, naive;
        blep.setFrequency(f0);
        pulse.setFrequency(f0);
        naive.setFrequency(f0);
        const double smooth = aliasingDb(bin, [&] { return blep.saw(); });
        const double square = aliasingDb(bin, [&] { return pulse.pulse(0.3); });
        const double rough = aliasingDb(bin, [&] { return naive.naiveSaw(); });
        EXPECT_LT(smooth, -50) << hertz;
        EXPECT_LT(square, -50) << hertz;
        EXPECT_GT(rough, -30) << hertz << ": the measure must be able to fail";
    }
}

TEST(SoundtrackSound, TheFilterCutsAtItsCutoffAndStaysStableAcrossItsRange) {
    for (double cutoff : {100.0, 1000.0, 10000.0}) {
        Filter f;
        f.set(cutoff, 0.7071);
        Oscillator sine;
        sine.setFrequency(cutoff);
        double peak = 0;
        for (int i = 0; i < sampleRate; ++i) {
            const double y = f.low(sine.sine());
            if (i > sampleRate / 2) peak = std::max(peak, std::abs(y));
        }
        EXPECT_NEAR(20 * std::log10(peak), -3.01, 0.5) << cutoff;
    }
    for (double q : {0.5, 0.707, 2.0, 8.0, 25.0}) {
        Filter f;
        Noise noise(7);
        double worst = 0;
        for (int i = 0; i < 2 * sampleRate; ++i) {
            // Sweeping 20 Hz to 20 kHz and back each second, set every sample.
            const double t = std::fmod(i / static_cast<double>(sampleRate), 1.0);
            f.set(20 * std::pow(1000.0, t < 0.5 ? 2 * t : 2 - 2 * t), q);
            const auto o = f.process(noise.next());
            ASSERT_TRUE(std::isfinite(o.low) && std::isfinite(o.band) && std::isfinite(o.high));
            worst = std::max({worst, std::abs(o.low), std::abs(o.band) / q});
        }
        EXPECT_LT(worst, 8.0) << q;
    }
}

TEST(SoundtrackSound, NotesStartAndEndWithoutClicks) {
    // Tones rise from nothing and release to nothing; drums strike at once but never stop
    // short; effects fade out.
    const std::pair<Instrument, bool> cases[] = {
        {Instrument::Sub, true},        {Instrument::Bass, true},
        {Instrument::Acid, true},       {Instrument::Stab, true},
        {Instrument::Lead, true},       {Instrument::Pluck, true},
        {Instrument::Bell, true},       {Instrument::Pad, true},
        {Instrument::Kick, false},      {Instrument::HardKick, false},
        {Instrument::Clap, false},      {Instrument::Snare, false},
        {Instrument::ClosedHat, false}, {Instrument::OpenHat, false},
        {Instrument::Crash, false},     {Instrument::Impact, false},
        {Instrument::Riser, false},     {Instrument::Downlifter, false}};
    for (const auto& [instrument, tone] : cases) {
        Note n;
        n.start = 1234;
        n.length = 13000;
        n.pitch = 57;
        const Stereo out = renderAlone(instrument, n, 12 * sampleRate);
        float peak = 0;
        std::size_t last = 0;
        for (std::size_t i = 0; i < out.frames(); ++i) {
            ASSERT_TRUE(std::isfinite(out.left[i])) << static_cast<int>(instrument);
            peak = std::max(peak, std::abs(out.left[i]));
            if (out.left[i] != 0.0f) last = i;
        }
        ASSERT_GT(peak, 0.01f) << static_cast<int>(instrument);
        // The first tenth of a millisecond rises from nothing, the last sound fades to nothing.
        float opening = 0, closing = 0;
        for (std::size_t i = 1234; i < 1234 + 4; ++i)
            opening = std::max(opening, std::abs(out.left[i]));
        for (std::size_t i = last - 40; i <= last; ++i)
            closing = std::max(closing, std::abs(out.left[i]));
        if (tone) {
            EXPECT_LT(opening, 0.5f * peak) << static_cast<int>(instrument);
        }
        EXPECT_LT(closing, (tone ? 0.01f : 0.1f) * peak) << static_cast<int>(instrument);
    }
}

TEST(SoundtrackSound, TheLimiterHoldsItsCeilingWithoutMovingTheSound) {
    Stereo loud(sampleRate);
    Noise noise(3);
    for (std::size_t i = 0; i < loud.frames(); ++i) {
        const double burst = (i / 2000) % 3 == 0 ? 4.0 : 0.3; // square bursts at +12 dB
        loud.left[i] = static_cast<float>(noise.next() * burst);
        loud.right[i] = static_cast<float>(noise.next() * burst * 0.5);
    }
    const Stereo before = loud;
    Limiter(-1.0, 0.003, 0.1).process(loud);
    const float ceiling = static_cast<float>(std::pow(10.0, -1.0 / 20));
    int flipped = 0;
    for (std::size_t i = 0; i < loud.frames(); ++i) {
        ASSERT_LE(std::abs(loud.left[i]), ceiling) << i;
        ASSERT_LE(std::abs(loud.right[i]), ceiling) << i;
        flipped += (loud.left[i] > 0) != (before.left[i] > 0) && before.left[i] != 0;
    }
    EXPECT_EQ(flipped, 0); // a gain, never a shift
}

TEST(SoundtrackMp3, TheTagMakesTheFirstSamplePlayAtZeroAndTheLengthExact) {
    const std::string folder = test::makeTempFolder();
    Stereo clicks(2 * samplesPerBar + 777);
    for (std::int64_t beat = 0; beat < 8; ++beat)
        for (int i = 0; i < 40; ++i) {
            const auto at = static_cast<std::size_t>(beat * samplesPerBeat + i);
            clicks.left[at] = clicks.right[at] = static_cast<float>(0.5 * std::sin(i * 0.7));
        }
    auto firstClick = [](const Stereo& s) {
        std::size_t i = 0;
        while (i < s.frames() && std::abs(s.left[i]) < 0.05f)
            ++i;
        return static_cast<long>(i);
    };
    std::string error;
    ASSERT_TRUE(writeMp3(clicks, folder + "/tagged.mp3", true, error)) << error;
    ASSERT_TRUE(writeMp3(clicks, folder + "/bare.mp3", false, error)) << error;
    const Stereo tagged = decode(folder + "/tagged.mp3"), bare = decode(folder + "/bare.mp3");
    EXPECT_EQ(tagged.frames(), clicks.frames());
    EXPECT_NEAR(firstClick(tagged), firstClick(clicks), 1);
    // Without the tag the same check fails: the decoder keeps the encoder's delay.
    EXPECT_NE(bare.frames(), clicks.frames());
    EXPECT_NEAR(firstClick(bare) - firstClick(clicks), 1105, 2);
    const std::string bytes = test::readFile(folder + "/tagged.mp3");
    EXPECT_NE(bytes.find("LAME"), std::string::npos);
}

TEST(SoundtrackSong, TheDecodedTrackIsExactlyTheShowsLengthAndNeverClips) {
    const Stereo& s = song();
    ASSERT_EQ(s.frames(), static_cast<std::size_t>(songSamples));
    float peak = 0;
    for (std::size_t i = 0; i < s.frames(); ++i)
        peak = std::max({peak, std::abs(s.left[i]), std::abs(s.right[i])});
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
    // Read by FFmpeg's own EBU R 128 meter, not the mixer's: the song is made to -9.5 LUFS.
    const auto meter = test::runProcess({"ffmpeg", "-nostats", "-i", SONG_MP3, "-filter_complex",
                                         "ebur128", "-f", "null", "-"},
                                        "", {}, 300);
    const auto summary = meter.output.rfind("Integrated loudness:");
    ASSERT_NE(summary, std::string::npos) << meter.output;
    const auto value = meter.output.find("I:", summary);
    ASSERT_NE(value, std::string::npos) << meter.output;
    const double loudness = std::stod(meter.output.substr(value + 2));
    EXPECT_NEAR(loudness, -9.5, 0.5);
}

TEST(SoundtrackSong, TheSectionsRiseAndFallWithThePicture) {
    const Stereo& s = song();
    const auto low = lowBand(s.left);
    auto bar = [&](const std::vector<float>& x, double from, double to) {
        return energyDb(x, barSample(from), barSample(to));
    };
    // The break of bar 15: the low end gone, and its last eighth silent, as the beat before 56.
    EXPECT_LT(bar(low, 15, 16), bar(low, 14, 15) - 15);
    EXPECT_LT(bar(low, 15, 16), bar(low, 16, 17) - 15);
    EXPECT_LT(bar(s.left, 15.875, 16), bar(s.left, 15, 15.875) - 30);
    EXPECT_LT(bar(s.left, 55.75, 56), bar(s.left, 55, 55.75) - 30);
    // The drop and the climax against the intro; the breakdown a step down.
    EXPECT_GT(bar(s.left, 16, 24), bar(s.left, 0, 4) + 6);
    EXPECT_GT(bar(s.left, 56, 72), bar(s.left, 40, 48) + 6);
    // The lift at 32: sixteenth hats, a ride, crashes and the octave lead brighten it (bar 31's
    // build is left out of the comparison).
    std::vector<float> high(s.left.size());
    Filter a, b;
    a.set(6000, 0.7);
    b.set(6000, 0.7);
    for (std::size_t i = barSample(24); i < barSample(40); ++i)
        high[i] = static_cast<float>(b.high(a.high(s.left[i])));
    EXPECT_GT(bar(high, 32, 39), bar(high, 24, 31) + 3);
    // Silence at the end.
    EXPECT_LT(energyDb(s.left, s.frames() - 2205, s.frames()), -70);
}

TEST(SoundtrackSong, KicksSoundOnTheBeatGrid) {
    // Below 300 Hz, where the kick's falling pitch starts; a rise of 6 dB against what was
    // sounding just before the beat.
    const auto low = lowBand(song().left, 300);
    int beats = 0, onsets = 0;
    for (auto [from, to] : {std::pair{4, 15}, {16, 40}, {56, 80}})
        for (int beat = from * 4; beat < to * 4; ++beat) {
            const auto at = static_cast<std::size_t>(beat * samplesPerBeat);
            const std::size_t ms = sampleRate / 1000;
            ++beats;
            onsets +=
                energyDb(low, at, at + 10 * ms) > energyDb(low, at - 15 * ms, at - 5 * ms) + 6;
        }
    EXPECT_GE(onsets, beats * 95 / 100) << onsets << " of " << beats;
}

TEST(SoundtrackSong, TwoRendersGiveTheSameBytes) {
    const std::string folder = test::makeTempFolder();
    const auto run = test::runProcess({SOUNDTRACK_EXE, folder + "/again.mp3"}, "", {}, 300);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::readFile(folder + "/again.mp3") == test::readFile(SONG_MP3));
}
