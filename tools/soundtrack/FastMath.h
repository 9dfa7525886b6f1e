#pragma once
// Transcendental functions from + - x / only: glibc picks its own by CPU at load time, and the
// render must be the same bytes on every machine.
#include <cstdint>

namespace soundtrack {

constexpr double pi = 3.14159265358979323846;

// Sine, accurate to about 1e-15 after reduction to [-pi/2, pi/2].
inline double sine(double x) {
    const double turns = x * (1.0 / (2 * pi));
    const double whole =
        static_cast<double>(static_cast<std::int64_t>(turns + (turns < 0 ? -0.5 : 0.5)));
    x -= whole * 2 * pi; // now within [-pi, pi]
    if (x > pi / 2) x = pi - x;
    if (x < -pi / 2) x = -pi - x;
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n <= 11; ++n) {
        term *= -x2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

inline double cosine(double x) {
    return sine(x + pi / 2);
}

// 2 to the x: a power of two times a series for the fraction.
inline double exp2(double x) {
    if (x < -1000) return 0.0;
    if (x > 1000) x = 1000;
    auto whole = static_cast<std::int64_t>(x);
    if (static_cast<double>(whole) > x) --whole;
    const double y = (x - static_cast<double>(whole)) * 0.69314718055994530942;
    double term = 1.0, sum = 1.0;
    for (int n = 1; n <= 16; ++n) {
        term *= y / n;
        sum += term;
    }
    double scale = 1.0;
    for (std::int64_t i = 0; i < (whole < 0 ? -whole : whole); ++i)
        scale *= 2.0;
    return whole < 0 ? sum / scale : sum * scale;
}

inline double exponential(double x) {
    return exp2(x * 1.44269504088896340736);
}

// Log base 2 by halving into [1, 2) and the atanh series.
inline double log2(double x) {
    if (x <= 0) return -1000.0;
    double exponent = 0;
    while (x >= 2.0) {
        x *= 0.5;
        ++exponent;
    }
    while (x < 1.0) {
        x *= 2.0;
        --exponent;
    }
    const double z = (x - 1) / (x + 1), z2 = z * z;
    double term = z, sum = 0;
    for (int n = 1; n < 60; n += 2) {
        sum += term / n;
        term *= z2;
    }
    return exponent + 2 * sum * 1.44269504088896340736;
}

inline double decibelsToGain(double db) {
    return exp2(db * (3.32192809488736234787 / 20.0));
}

inline double gainToDecibels(double gain) {
    return 20.0 * log2(gain) / 3.32192809488736234787;
}

// Tangent for filter coefficients, where x stays below pi/2.
inline double tangent(double x) {
    return sine(x) / cosine(x);
}

// A soft clipper shaped like tanh, exact at 0 and bounded by 1.
inline double softClip(double x) {
    if (x > 3) return 1;
    if (x < -3) return -1;
    const double x2 = x * x;
    return x * (27 + x2) / (27 + 9 * x2);
}

inline double noteFrequency(double note) {
    return 440.0 * exp2((note - 69.0) / 12.0);
}

} // namespace soundtrack
