#pragma once
#include <cstdint>

// A value from lo to just below hi from the C library generator. Kept in double so that a
// caller truncating to int never reaches hi; a caller keeping a float rounds it.
double randomRange(float lo, float hi);

// The Mersenne Twister (MT19937 with the 1998 seeding) for the procedural textures.
void seedRandom(std::uint32_t seed);
std::uint32_t nextRandom();
