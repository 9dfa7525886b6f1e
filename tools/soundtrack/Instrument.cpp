#include "Instrument.h"

#include "Envelope.h"
#include "FastMath.h"
#include "Filter.h"
#include "Noise.h"
#include "Oscillator.h"
#include "Timing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace soundtrack {

namespace {

constexpr double seconds(std::int64_t samples) {
    return static_cast<double>(samples) / sampleRate;
}

std::int64_t samplesOf(double s) {
    return static_cast<std::int64_t>(s * sampleRate + 0.5);
}

// Constant-power placement, -1 left to +1 right.
struct Pan {
    double left, right;
};
Pan pan(double position) {
    return {std::sqrt(0.5 * (1 - position)), std::sqrt(0.5 * (1 + position))};
}

double brightnessAt(const Note& note, std::int64_t i) {
    const double t = note.length > 0 ? std::min(1.0, static_cast<double>(i) / note.length) : 0.0;
    return note.brightness + (note.brightnessEnd - note.brightness) * t;
}

// A short fade at a fixed end, for sounds that decay by themselves.
double tailFade(std::int64_t i, std::int64_t total) {
    const std::int64_t fade = samplesOf(0.01);
    return i < total - fade ? 1.0 : static_cast<double>(total - i) / fade;
}

// The six square waves of the classic drum machine's metal, pushed up into the treble.
class Metal {
  public:
    explicit Metal(double scale) {
        const double base[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
        for (int i = 0; i < 6; ++i)
            squares_[i].setFrequency(base[i] * scale);
    }
    double next() {
        double sum = 0;
        for (auto& s : squares_)
            sum += s.pulse();
        return sum / 6;
    }

  private:
    std::array<Oscillator, 6> squares_;
};

void kick(const Note& note, Stereo& out, bool hard) {
    const std::int64_t total = samplesOf(hard ? 0.42 : 0.32);
    const double drive = hard ? 3.2 : 1.6, bodyDecay = hard ? 0.16 : 0.11;
    Noise noise(static_cast<std::uint32_t>(note.seed));
    Filter click;
    click.set(3000, 0.7);
    double phase = 0;
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = seconds(i);
        const double frequency = 50 + (hard ? 190 : 150) * exponential(-t / 0.032);
        phase += frequency / sampleRate; // from zero phase: the attack starts at a zero crossing
        const double body = sine(2 * pi * phase) * exponential(-t / bodyDecay);
        const double tick = click.high(noise.next()) * exponential(-t / 0.0025) * 0.35;
        const double v = softClip(drive * (body + tick)) / softClip(drive) * 0.9 * note.velocity *
                         tailFade(i, total);
        out.add(static_cast<std::size_t>(note.start + i), v, v);
    }
}

void clap(const Note& note, Stereo& out) {
    const std::int64_t total = samplesOf(0.3);
    Noise noise(static_cast<std::uint32_t>(note.seed) + 11);
    Filter body;
    body.set(1300, 1.4);
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = seconds(i);
        double level = 0;
        for (int burst = 0; burst < 3; ++burst) {
            const double u = t - 0.009 * burst;
            if (u >= 0) level = std::max(level, exponential(-u / 0.0035));
        }
        if (t >= 0.027) level = std::max(level, 0.7 * exponential(-(t - 0.027) / 0.07));
        const double attack = std::min(1.0, t / 0.0005);
        const double v =
            body.band(noise.next()) * level * attack * 1.6 * note.velocity * tailFade(i, total);
        out.add(static_cast<std::size_t>(note.start + i), v, v);
    }
}

void snare(const Note& note, Stereo& out) {
    const std::int64_t total = samplesOf(0.22);
    Noise noise(static_cast<std::uint32_t>(note.seed) + 23);
    Filter hiss;
    hiss.set(1800, 0.7);
    const double tune = noteFrequency(note.pitch);
    double phase = 0;
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = seconds(i);
        phase += tune * (1 + 0.3 * exponential(-t / 0.015)) / sampleRate;
        const double tone = sine(2 * pi * phase) * exponential(-t / 0.045);
        const double rattle = hiss.high(noise.next()) * exponential(-t / 0.07);
        const double attack = std::min(1.0, t / 0.0008);
        const double v = (0.55 * tone + 0.6 * rattle) * attack * note.velocity * tailFade(i, total);
        out.add(static_cast<std::size_t>(note.start + i), v, v);
    }
}

void hat(const Note& note, Stereo& out, bool open) {
    const std::int64_t total = samplesOf(open ? 0.4 : 0.09);
    const double decay = open ? 0.11 : 0.018;
    Metal metal(1.0);
    Noise noise(static_cast<std::uint32_t>(note.seed) + 37);
    Filter band, low;
    band.set(8500, 1.2);
    low.set(7000, 0.7);
    const Pan place = pan(open ? -0.25 : 0.2);
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = seconds(i);
        const double source = 0.7 * metal.next() + 0.5 * noise.next();
        const double attack = std::min(1.0, t / 0.0005);
        const double v = low.high(band.band(source)) * exponential(-t / decay) * attack * 0.9 *
                         note.velocity * tailFade(i, total);
        out.add(static_cast<std::size_t>(note.start + i), v * place.left, v * place.right);
    }
}

void crash(const Note& note, Stereo& out, bool impact) {
    const std::int64_t total = samplesOf(impact ? 4.0 : 2.6);
    Metal metal(1.71);
    Noise left(static_cast<std::uint32_t>(note.seed) + 41),
        right(static_cast<std::uint32_t>(note.seed) + 43);
    Filter highL, highR;
    highL.set(4200, 0.7);
    highR.set(4200, 0.7);
    double boomPhase = 0;
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = seconds(i);
        const double ring = exponential(-t / (impact ? 0.9 : 0.65)) * std::min(1.0, t / 0.001);
        const double m = 0.4 * metal.next();
        double l = highL.high(m + left.next()) * ring * 0.5;
        double r = highR.high(m + right.next()) * ring * 0.5;
        if (impact) { // a sub boom under the cymbal
            boomPhase += (30 + 50 * exponential(-t / 0.25)) / sampleRate;
            const double boom = sine(2 * pi * boomPhase) * exponential(-t / 0.7) * 0.8;
            l += boom;
            r += boom;
        }
        const double g = note.velocity * tailFade(i, total);
        out.add(static_cast<std::size_t>(note.start + i), l * g, r * g);
    }
}

// Pitched voices: an envelope held for the note's length, then released.
// The voice stops once the release is inaudible (below -80 dB), some nine time constants on.
template <class Source>
void pitched(const Note& note, Stereo& out, Envelope::Shape shape, double panPosition,
             Source source) {
    Envelope envelope(shape);
    const Pan place = pan(panPosition);
    const std::int64_t limit = samplesOf(9.5 * shape.release) + 1;
    for (std::int64_t i = 0; i < note.length + limit; ++i) {
        if (i == note.length) envelope.release();
        const double level = envelope.next();
        if (envelope.done()) break;
        double l = 0, r = 0;
        source(i, l, r);
        out.add(static_cast<std::size_t>(note.start + i), l * level * place.left * note.velocity,
                r * level * place.right * note.velocity);
    }
}

void sub(const Note& note, Stereo& out) {
    Oscillator osc;
    osc.setFrequency(noteFrequency(note.pitch));
    pitched(note, out, {0.004, 0.3, 0.9, 0.02}, 0,
            [&](std::int64_t, double& l, double& r) { l = r = 0.7 * osc.sine(); });
}

void bass(const Note& note, Stereo& out, bool acid) {
    Oscillator saw, square;
    const double f = noteFrequency(note.pitch);
    saw.setFrequency(f);
    square.setFrequency(2 * f);
    Filter first, second;
    const double q = acid ? 5.5 : 1.1;
    pitched(note, out, {0.002, acid ? 0.2 : 0.12, acid ? 0.5 : 0.6, 0.012}, 0,
            [&](std::int64_t i, double& l, double& r) {
                const double t = seconds(i);
                const double open = brightnessAt(note, i);
                const double base = acid ? 150 * exp2(6.0 * open) : 90 * exp2(4.2 * open);
                const double cutoff = base * (1 + (acid ? 5.0 : 3.0) * note.velocity *
                                                      exponential(-t / (acid ? 0.09 : 0.07)));
                if (i % 16 == 0) {
                    first.set(cutoff, 0.7);
                    second.set(cutoff, q);
                }
                const double source = acid ? saw.saw() : 0.8 * saw.saw() + 0.25 * square.pulse();
                const double v = softClip(1.6 * second.low(first.low(source))) * 0.6;
                l = r = v;
            });
}

// Seven saws spread unevenly, as the classic supersaw: the beating never settles.
void supersaw(const Note& note, Stereo& out, Envelope::Shape shape, double detune) {
    constexpr std::array<double, 7> spread = {-0.1104, -0.0627, -0.0195, 0.0,
                                              0.0198,  0.0622,  0.1077};
    std::array<Oscillator, 7> saws;
    Noise phases(static_cast<std::uint32_t>(note.seed) + 59);
    const double f = noteFrequency(note.pitch);
    for (std::size_t v = 0; v < saws.size(); ++v) {
        saws[v] = Oscillator(0.5 * (phases.next() + 1));
        saws[v].setFrequency(f * (1 + spread[v] * detune));
    }
    Filter lowL, lowR, highL, highR;
    highL.set(220, 0.7);
    highR.set(220, 0.7);
    pitched(note, out, shape, 0, [&](std::int64_t i, double& l, double& r) {
        const double t = seconds(i);
        const double cutoff =
            1200 * exp2(3.0 * brightnessAt(note, i)) * (1 + 1.5 * exponential(-t / 0.12));
        if (i % 16 == 0) {
            lowL.set(cutoff, 0.8);
            lowR.set(cutoff, 0.8);
        }
        double sl = 0, sr = 0;
        for (std::size_t v = 0; v < saws.size(); ++v) {
            const double s = saws[v].saw() * (v == 3 ? 0.8 : 0.55);
            if (v == 3) {
                sl += s * 0.7;
                sr += s * 0.7;
            } else if (v % 2) {
                sl += s;
                sr += 0.35 * s;
            } else {
                sr += s;
                sl += 0.35 * s;
            }
        }
        l = highL.high(lowL.low(sl)) * 0.22;
        r = highR.high(lowR.low(sr)) * 0.22;
    });
}

void pluck(const Note& note, Stereo& out) {
    Oscillator a, b;
    const double f = noteFrequency(note.pitch);
    a.setFrequency(f * 1.002);
    b.setFrequency(f * 0.998);
    Filter low;
    pitched(note, out, {0.002, 0.22, 0.0, 0.05}, 0.15, [&](std::int64_t i, double& l, double& r) {
        const double t = seconds(i);
        if (i % 16 == 0)
            low.set(300 * exp2(4.0 * brightnessAt(note, i)) * (1 + 6 * exponential(-t / 0.06)),
                    1.2);
        l = r = low.low(0.5 * (a.saw() + b.pulse(0.3))) * 0.5;
    });
}

// A struck, slightly inharmonic bell for the breakdown's melody.
void bell(const Note& note, Stereo& out) {
    const double f = noteFrequency(note.pitch);
    std::array<Oscillator, 4> partials;
    const std::array<double, 4> ratio = {1.0, 2.76, 5.40, 8.93}, level = {0.6, 0.25, 0.12, 0.05},
                                decay = {1.2, 0.5, 0.25, 0.12};
    for (std::size_t p = 0; p < partials.size(); ++p)
        partials[p].setFrequency(f * ratio[p]);
    pitched(note, out, {0.001, 2.0, 0.0, 0.6}, -0.1, [&](std::int64_t i, double& l, double& r) {
        double v = 0;
        for (std::size_t p = 0; p < partials.size(); ++p)
            v += partials[p].sine() * level[p] * exponential(-seconds(i) / decay[p]);
        l = r = v * 0.6;
    });
}

void pad(const Note& note, Stereo& out) {
    constexpr std::array<double, 4> cents = {-12, -5, 5, 12};
    std::array<Oscillator, 4> saws;
    Noise phases(static_cast<std::uint32_t>(note.seed) + 71);
    for (std::size_t v = 0; v < saws.size(); ++v) {
        saws[v] = Oscillator(0.5 * (phases.next() + 1));
        saws[v].setFrequency(noteFrequency(note.pitch + cents[v] / 100));
    }
    Filter lowL, lowR;
    pitched(note, out, {0.7, 1.0, 0.85, 1.1}, 0, [&](std::int64_t i, double& l, double& r) {
        const double cutoff = 250 * exp2(3.3 * brightnessAt(note, i));
        if (i % 16 == 0) {
            lowL.set(cutoff, 0.7);
            lowR.set(cutoff, 0.7);
        }
        // Each side pairs a flat and a sharp voice, so both stay centred on the note.
        l = lowL.low(saws[0].saw() + saws[3].saw()) * 0.17;
        r = lowR.low(saws[1].saw() + saws[2].saw()) * 0.17;
    });
}

// Filtered noise sweeping up (riser) or down (downlifter) over the note.
void sweep(const Note& note, Stereo& out, bool up) {
    Noise left(static_cast<std::uint32_t>(note.seed) + 83),
        right(static_cast<std::uint32_t>(note.seed) + 89);
    Filter bandL, bandR;
    const std::int64_t total = note.length;
    const std::int64_t fade = samplesOf(0.01);
    for (std::int64_t i = 0; i < total; ++i) {
        const double t = static_cast<double>(i) / total;
        const double cutoff = up ? 300 * exp2(5.0 * t) : 6000 * exp2(-5.0 * t);
        if (i % 16 == 0) {
            bandL.set(cutoff, 2.0);
            bandR.set(cutoff, 2.0);
        }
        double level = up ? t * t : (1 - t) * (1 - t);
        level *=
            std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(total - i) / fade});
        const double g = level * note.velocity * 0.8;
        out.add(static_cast<std::size_t>(note.start + i), bandL.band(left.next()) * g,
                bandR.band(right.next()) * g);
    }
}

} // namespace

void renderNote(Instrument instrument, const Note& note, Stereo& out) {
    switch (instrument) {
    case Instrument::Kick:
        return kick(note, out, false);
    case Instrument::HardKick:
        return kick(note, out, true);
    case Instrument::Clap:
        return clap(note, out);
    case Instrument::Snare:
        return snare(note, out);
    case Instrument::ClosedHat:
        return hat(note, out, false);
    case Instrument::OpenHat:
        return hat(note, out, true);
    case Instrument::Crash:
        return crash(note, out, false);
    case Instrument::Impact:
        return crash(note, out, true);
    case Instrument::Sub:
        return sub(note, out);
    case Instrument::Bass:
        return bass(note, out, false);
    case Instrument::Acid:
        return bass(note, out, true);
    case Instrument::Stab:
        return supersaw(note, out, {0.003, 0.18, 0.25, 0.09}, 0.12);
    case Instrument::Lead:
        return supersaw(note, out, {0.006, 0.35, 0.7, 0.16}, 0.1);
    case Instrument::Pluck:
        return pluck(note, out);
    case Instrument::Bell:
        return bell(note, out);
    case Instrument::Pad:
        return pad(note, out);
    case Instrument::Riser:
        return sweep(note, out, true);
    case Instrument::Downlifter:
        return sweep(note, out, false);
    }
}

} // namespace soundtrack
