#include "DrawState.h"

#include <algorithm>
#include <cstdio>

namespace d3d9 {

std::array<std::uint32_t, 9> DrawState::words() const {
    return {program[0], program[1], program[2], output, target, texture, sampler, fvf, layout};
}

bool DrawState::operator<(const DrawState& other) const {
    const auto a = words(), b = other.words();
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

std::string DrawState::text() const {
    char line[128];
    std::snprintf(line, sizeof line, "%08x %08x %08x %08x %08x %08x %08x %08x %08x", program[0],
                  program[1], program[2], output, target, texture, sampler, fvf, layout);
    return line;
}

std::optional<DrawState> DrawState::parse(const std::string& line) {
    DrawState s;
    char rest = 0;
    if (std::sscanf(line.c_str(), "%x %x %x %x %x %x %x %x %x %c", &s.program[0], &s.program[1],
                    &s.program[2], &s.output, &s.target, &s.texture, &s.sampler, &s.fvf,
                    &s.layout, &rest) != 9)
        return std::nullopt;
    return s;
}

} // namespace d3d9
