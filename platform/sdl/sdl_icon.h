// Window icons from .ico files: the plain kind, an uncompressed 24- or
// 32-bit bitmap per entry. Kept free of SDL so the parser stands alone.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::sdl {

struct IconImage {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB, rows top-down
};

// Picks the best entry (32-bit before 24-bit, then the largest) that is a
// plain bitmap and decodes it. False when the bytes are no such icon.
bool DecodeIco(std::string_view bytes, IconImage* out);

}  // namespace platform::sdl
