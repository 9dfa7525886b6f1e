#include "crt.h"

#include <cstdint>

namespace crt {
namespace {
std::uint32_t state = 1;
}

int rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void srand(unsigned int seed) {
    state = seed;
}

} // namespace crt
