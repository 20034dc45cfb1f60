// Writes the seed corpus of fuzz_userfont: fonts of the three depths, a
// size that is not a multiple of 8, and a font cut inside its last record.
#include <cstdio>
#include <string>
#include <vector>

#include "mftwriter.h"
#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_userfont_seeds DIR\n");
    return 2;
  }
  struct Seed {
    const char* name;
    int size, depth;
    bool cut;
  } seeds[] = {{"d8-s8", 8, 8, false}, {"d4-s12", 12, 4, false}, {"d2-s16", 16, 2, false},
               {"d8-s20-cut", 20, 8, true}};
  for (const Seed& s : seeds) {
    mfttool::Font font;
    font.size = s.size;
    font.depth = s.depth;
    for (int number : {0, 289, 5953 % 600}) {
      std::vector<uint8_t>& g = font.glyphs[number];
      g.resize(static_cast<size_t>(s.size) * s.size);
      for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(i * 29 + number);
    }
    std::vector<uint8_t> bytes = mfttool::MakeMft(font);
    if (s.cut) bytes.resize(bytes.size() - 7);
    const std::string path = std::string(argv[1]) + "/" + s.name + ".mft";
    if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return 1;
  }
  return 0;
}
