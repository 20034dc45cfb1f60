// make_minigame_seeds DIR
// Writes a seed for each picture puzzle of fuzz_minigames: an 800 x 600
// screen with both pictures whole and no card sheets, then frames of clicks
// over the board and of presses and holds with the pointer at the ends of
// int, so that the far positions are in the corpus from the start.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Frame buttons: bit b presses button b; bit b + 3 holds it.
constexpr uint8_t kPressLeft = 0x01, kPressRight = 0x02, kHoldLeft = 0x08;

// A position of the fuzzer's scale: 0..254 spread over the screen, 255
// followed by a whole int (high byte first).
void Near(Bytes* out, uint8_t at) { out->push_back(at); }
void Far(Bytes* out, int32_t value) {
  out->push_back(255);
  const uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

Bytes Seed(uint8_t game) {
  // The game, the 800 x 600 screen, the random seed, both pictures of the
  // screen's size, no sheets and no cell sizes, the set flag off, a canvas.
  Bytes out = {game, 0, 7, 3, 3, 0, 0, 0, 0, 0, 1};
  constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  // Clicks over the board, each followed by a frame with the pointer far off.
  for (uint8_t at : {40, 100, 160, 220}) {
    out.push_back(kPressLeft);
    Near(&out, at);
    Near(&out, at);
    out.push_back(kHoldLeft);
    Far(&out, at & 0x40 ? kMin : kMax);
    Far(&out, at & 0x20 ? kMax : kMin);
  }
  // Presses and holds at the ends of int.
  for (uint8_t buttons : {kPressLeft, kHoldLeft, kPressRight}) {
    out.push_back(buttons);
    Far(&out, kMin);
    Far(&out, kMax);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_minigame_seeds DIR\n");
    return 2;
  }
  static const char* const kPuzzles[] = {"puzzle9", "change", "nurie", "cross", "slide16"};
  for (uint8_t game = 0; game < 5; ++game) {
    const std::filesystem::path path = std::filesystem::path(argv[1]) / (std::string(kPuzzles[game]) + "_far");
    const Bytes bytes = Seed(game);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "make_minigame_seeds: cannot write %s\n", path.string().c_str());
      return 1;
    }
  }
  return 0;
}
