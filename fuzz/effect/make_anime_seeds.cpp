// Writes the seeds of fuzz_animeframe from the frame writer: whole frames of
// both screens with 2, 16 and 256 colours, and broken ones (colours used 0,
// 16 too few, 257, 2^32 - 1; other bit counts; cut headers; short rows).
// Usage: make_anime_seeds DIR
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "dwqwriter.h"

namespace {

std::vector<uint8_t> Frame(int w, int h, int colours) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int i = 0; i < w * h; ++i) p.pixels.push_back(static_cast<uint32_t>(i % colours) * 0x010203u);
  std::vector<uint8_t> bytes;
  std::string error;
  if (!dwqtool::MakeAnimeFrame(p, &bytes, &error)) std::fprintf(stderr, "make_anime_seeds: %s\n", error.c_str());
  return bytes;
}

void Set32(std::vector<uint8_t>* bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  constexpr size_t kInfo = 64 + 14;
  int written = 0;
  auto write = [&](uint8_t screen, const std::vector<uint8_t>& frame) {
    std::vector<uint8_t> bytes = {screen};
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return dwqtool::WriteBytes(dir + "/frame-" + std::to_string(written++), bytes);
  };
  bool ok = true;
  for (int colours : {2, 16, 256}) ok = ok && write(0, Frame(48, 32, colours));
  ok = ok && write(1, Frame(1, 1, 1));
  const std::vector<uint8_t> base = Frame(48, 32, 16);
  for (uint32_t used : {0u, 15u, 257u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> bytes = base;
    Set32(&bytes, kInfo + 32, used);
    ok = ok && write(0, bytes);
  }
  for (uint8_t bits : {1, 4, 24, 32}) {
    std::vector<uint8_t> bytes = base;
    bytes[kInfo + 14] = bits;
    ok = ok && write(0, bytes);
  }
  for (size_t cut : {size_t{10}, size_t{64}, size_t{100}, kInfo + 40, kInfo + 41, base.size() - 49})
    ok = ok && write(0, std::vector<uint8_t>(base.begin(), base.begin() + static_cast<ptrdiff_t>(cut)));
  return ok ? 0 : 1;
}
