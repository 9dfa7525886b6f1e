#pragma once
// What the software rasteriser compiles code for, beyond the numbers a draw carries: the
// program, the output-merger state, the formats drawn into and read from, how the texture is
// sampled, and the vertices' layout. Its first draw in a state pays for that compile (up to
// 400 ms); the show's states are known, so they can be met once while it loads.
#include "FixedFunction.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace d3d9 {

struct DrawState {
    // target
    static constexpr std::uint32_t targetAlpha = 1u << 0, targetDepth = 1u << 1;
    // texture; 0: none bound
    static constexpr std::uint32_t textureBound = 1u << 0, textureAlpha = 1u << 1,
                                   texturePowerOfTwoWidth = 1u << 2,
                                   texturePowerOfTwoHeight = 1u << 3, textureLevels = 1u << 4;
    // sampler: GL filters and wraps as small codes
    static constexpr int minShift = 0, magShift = 3, wrapSShift = 4, wrapTShift = 6;
    // layout: stride in the low 16 bits
    static constexpr int primitiveShift = 16;
    static constexpr std::uint32_t scissored = 1u << 18;
    enum Primitive : std::uint32_t { Points, Lines, Triangles };

    FixedFunctionKey::Bits program{};
    std::uint32_t output = 0; // GLStateCache's packed output state
    std::uint32_t target = 0;
    std::uint32_t texture = 0;
    std::uint32_t sampler = 0;
    std::uint32_t fvf = 0;
    std::uint32_t layout = 0;

    bool operator==(const DrawState& other) const { return words() == other.words(); }
    bool operator<(const DrawState& other) const;
    std::array<std::uint32_t, 9> words() const;
    // One line of nine hexadecimal words; parse() takes it back, or nothing for another line.
    std::string text() const;
    static std::optional<DrawState> parse(const std::string& line);
};

} // namespace d3d9
