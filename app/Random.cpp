#include "app/Random.h"

#include "crt.h"

#include <array>

double randomRange(float lo, float hi) {
    constexpr float k = 1.0f / 32767.0f; // 3.0518509447574615e-05
    return static_cast<double>(lo) + static_cast<double>(crt::rand()) * static_cast<double>(k) *
                                         (static_cast<double>(hi) - static_cast<double>(lo));
}

namespace {

constexpr int stateSize = 624;
constexpr int middle = 397;
constexpr std::uint32_t matrixA = 0x9908B0DFu;
constexpr std::uint32_t upperMask = 0x80000000u;
constexpr std::uint32_t lowerMask = 0x7FFFFFFFu;

struct Twister {
    std::array<std::uint32_t, stateSize> state{};
    std::array<std::uint32_t, stateSize> output{};
    int index = stateSize; // so the first unseeded read seeds with 4357
    bool seeded = false;
};

Twister twister;

std::uint32_t temper(std::uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

void generateBlock() {
    auto& mt = twister.state;
    for (int i = 0; i < stateSize; ++i) {
        const std::uint32_t y = (mt[i] & upperMask) | (mt[(i + 1) % stateSize] & lowerMask);
        mt[i] = mt[(i + middle) % stateSize] ^ (y >> 1) ^ ((y & 1u) ? matrixA : 0u);
        twister.output[i] = temper(mt[i]);
    }
    twister.index = 0;
}

} // namespace

void seedRandom(std::uint32_t seed) {
    std::uint32_t s = seed;
    for (auto& word : twister.state) {
        word = (s & 0xFFFF0000u) | ((69069u * s + 1u) >> 16);
        s = 69069u * (69069u * s + 1u) + 1u;
    }
    twister.seeded = true;
    generateBlock();
}

std::uint32_t nextRandom() {
    if (twister.index >= stateSize) {
        if (!twister.seeded)
            seedRandom(4357);
        else
            generateBlock();
    }
    return twister.output[twister.index++];
}
