#include "setup/random.h"

namespace crt {
namespace {
uint32_t g_state = 1;
}  // namespace

int rand() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void srand(uint32_t seed) { g_state = seed; }

void ResetRandom() { g_state = 1; }

}  // namespace crt
