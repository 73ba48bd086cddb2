#pragma once

#include <cstdint>

// The generator every effect shares: one 32-bit state, initially 1, stepped
// as state * 214013 + 2531011 (the classic srand/rand sequence). Effects
// reseed it with fixed values and rely on the exact order of draws for their
// look, so this is the only random source the show uses.
namespace DemoRandom {

// srand: sets the state to the seed.
void Seed(std::uint32_t seed);

// rand: advances the state and returns bits 16..30 of it, 0 to 32767.
int Next();

}  // namespace DemoRandom

// One draw divided by 32767, as a 32-bit float in [0, 1].
float RandomUnit();
