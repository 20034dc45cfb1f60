// Arithmetic on values read from settings lists, which can be any 32-bit
// number: sums, differences and products wrap around in two's complement
// instead of overflowing.
#pragma once

namespace setup {

inline int WrapAdd(int a, int b) {
  return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}
inline int WrapSub(int a, int b) {
  return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b));
}
inline int WrapMul(int a, int b) {
  return static_cast<int>(static_cast<unsigned>(a) * static_cast<unsigned>(b));
}

}  // namespace setup
