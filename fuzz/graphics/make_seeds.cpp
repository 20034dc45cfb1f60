// Writes the seed corpus of fuzz_picture: one picture file of every body
// type (JPEG and PNG too), with and without masks, header boxes and
// negative heights.
#include <cstdio>
#include <string>
#include <vector>

#include "dwqwriter.h"

namespace {

dwqtool::Picture Sample(int w, int h, int colours) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(0x00103050u * static_cast<uint32_t>((x + y * 3) % colours + 1));
      p.alpha.push_back(static_cast<uint8_t>(x < 2 || y == h - 1 ? 0 : (x * 37) & 0xFF));
    }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_picture_seeds DIR\n");
    return 2;
  }
  using dwqtool::BodyType;
  struct Seed {
    const char* name;
    int w, h;
    BodyType body;
    bool mask, box, negative, fullPalette;
  } seeds[] = {
      {"bmp24", 7, 5, BodyType::kBmp24, false, false, false, true},
      {"bmp24-mask", 9, 6, BodyType::kBmp24, true, false, true, true},
      {"bmp24-box", 6, 4, BodyType::kBmp24, true, true, false, true},
      {"bmp8", 8, 3, BodyType::kBmp8, false, false, false, false},
      {"bmp8-mask", 5, 7, BodyType::kBmp8, true, true, true, true},
      {"packed", 12, 8, BodyType::kPacked, true, false, false, false},
      {"packed-box", 10, 4, BodyType::kPacked, true, true, true, true},
      {"tiny", 1, 1, BodyType::kPacked, true, false, false, false},
      {"jpeg", 17, 9, BodyType::kJpeg, false, false, false, true},
      {"jpeg-mask", 12, 10, BodyType::kJpeg, true, true, false, true},
      {"png", 7, 5, BodyType::kPng, false, false, false, true},
      {"png-box", 9, 6, BodyType::kPng, false, true, false, true},
  };
  for (const Seed& s : seeds) {
    dwqtool::Options options;
    options.body = s.body;
    options.mask = s.mask;
    options.headerBox = s.box;
    options.negativeHeight = s.negative;
    options.fullPalette = s.fullPalette;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!dwqtool::MakeDwq(Sample(s.w, s.h, 20), options, &bytes, &error) ||
        !dwqtool::WriteBytes(std::string(argv[1]) + "/" + s.name + ".dwq", bytes)) {
      std::fprintf(stderr, "fuzz_picture_seeds: %s: %s\n", s.name, error.c_str());
      return 1;
    }
  }
  return 0;
}
