// The one random generator of the game, the C run-time's linear congruential
// one: scripts and effects expect its exact sequence.
#pragma once

#include <cstdint>

namespace crt {

// 0..32767.
int rand();
void srand(uint32_t seed);
// Back to the state a fresh process starts with (1).
void ResetRandom();

}  // namespace crt
