// The frame files of the full-screen animation on arbitrary bytes: every
// file is drawn whole, cut at a short row or refused, and nothing is read
// outside the data or the palette. The first byte picks the screen: odd a
// 1 x 1 one, else 48 x 32.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/animeeffects.h"
#include "platform/bytereader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool tiny = (data[0] & 1) != 0;
  const int w = tiny ? 1 : 48, h = tiny ? 1 : 32;
  std::vector<uint32_t> screen(static_cast<size_t>(w) * h, 0x00ABCDEF);
  std::vector<uint8_t> row(static_cast<size_t>(w));
  platform::ByteReader in(data + 1, size - 1);
  const AnimeFrameResult result = DrawAnimeFrame(in, screen.data(), w, h, row.data());
  // A refused file leaves the screen as it was.
  if (result == AnimeFrameResult::kRefused)
    for (uint32_t pixel : screen)
      if (pixel != 0x00ABCDEF) __builtin_trap();
  return 0;
}
