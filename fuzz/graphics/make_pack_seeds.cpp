// Writes the seed corpus of fuzz_packindex: pack volumes made by the pack
// writer from picture files, each as a 4-byte index length, the index and
// the data file.
#include <cstdio>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "packwriter.h"

namespace {

std::vector<uint8_t> Picture(int w, int h, bool mask) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int i = 0; i < w * h; ++i) {
    p.pixels.push_back(0x00102030u * static_cast<uint32_t>(i + 1));
    p.alpha.push_back(static_cast<uint8_t>(i % 3 ? 255 : 0));
  }
  dwqtool::Options options;
  options.mask = mask;
  std::vector<uint8_t> out;
  std::string error;
  dwqtool::MakeDwq(p, options, &out, &error);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_pack_seeds DIR\n");
    return 2;
  }
  struct Seed {
    const char* name;
    std::vector<packtool::Entry> entries;
  } seeds[] = {
      {"empty", {}},
      {"one", {{"day01", Picture(2, 2, false)}}},
      {"three",
       {{"b", Picture(3, 2, true)}, {"A", Picture(1, 1, false)}, {"c", Picture(2, 3, true)}}},
      {"many", {}},
  };
  for (int i = 0; i < 12; ++i)
    seeds[3].entries.push_back({"pic" + std::to_string(i), Picture(1 + i % 3, 1 + i % 2, i % 2)});
  for (const Seed& s : seeds) {
    std::vector<uint8_t> index, data;
    std::string error;
    if (!packtool::MakeVolume(s.entries, &index, &data, &error)) {
      std::fprintf(stderr, "fuzz_pack_seeds: %s: %s\n", s.name, error.c_str());
      return 1;
    }
    std::vector<uint8_t> seed;
    const uint32_t n = static_cast<uint32_t>(index.size());
    for (int b = 0; b < 4; ++b) seed.push_back(static_cast<uint8_t>(n >> (8 * b)));
    seed.insert(seed.end(), index.begin(), index.end());
    seed.insert(seed.end(), data.begin(), data.end());
    if (!packtool::WriteBytes(std::string(argv[1]) + "/" + s.name + ".pack", seed)) {
      std::fprintf(stderr, "fuzz_pack_seeds: cannot write %s\n", s.name);
      return 1;
    }
  }
  return 0;
}
