#pragma once

// The original platform's C library generator: values 0..32767, the same sequence on every
// machine. The C library here has another range and generator, so the demo calls these instead.
namespace crt {

constexpr int RAND_MAX_VALUE = 0x7FFF;

int rand();
void srand(unsigned int seed);

} // namespace crt
