// What the sample game's end-to-end tests share: a hash of the screen as
// it stands, samples of it (one 0xRRGGBB pixel every `step` pixels each
// way) kept in a text file, the count of colour channels of two sample
// lists that lie further apart than a tolerance, and a new game run
// headless from the built game folder with a showcase variable set,
// hashing every frame and sampling a grid of the screen at one frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/modeflowpart.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace demotest {

// FNV-1a over the screen's pixels.
inline uint64_t HashScreen() {
  uint64_t h = 1469598103934665603ull;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int n = CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight();
  for (int i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

inline std::vector<uint32_t> SampleScreen(int step) {
  std::vector<uint32_t> samples;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth();
  for (int y = step / 2; y < CScreenBuffer::GetHeight(); y += step)
    for (int x = step / 2; x < w; x += step) samples.push_back(p[y * w + x] & 0xFFFFFF);
  return samples;
}

// Writes the samples, `perRow` a line, under a comment line.
inline void WriteSamples(const std::string& path, const std::string& comment,
                         const std::vector<uint32_t>& samples, int perRow) {
  std::ofstream out(path);
  out << "# " << comment << "\n";
  for (size_t i = 0; i < samples.size(); ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", samples[i]);
    out << text << ((i + 1) % perRow ? " " : "\n");
  }
}

// The samples of a file WriteSamples wrote (empty when it cannot be read).
inline std::vector<uint32_t> ReadSamples(const std::string& path) {
  std::ifstream in(path);
  std::vector<uint32_t> samples;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    while (words >> word) samples.push_back(static_cast<uint32_t>(std::stoul(word, nullptr, 16)));
  }
  return samples;
}

// Channels (R, G, B of each 0xRRGGBB sample) off by more than tolerance;
// the lists must be of one length.
inline int ChannelsOff(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& got,
                       int tolerance) {
  int off = 0;
  for (size_t i = 0; i < expected.size() && i < got.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int a = (expected[i] >> shift) & 0xFF, b = (got[i] >> shift) & 0xFF;
      if (std::abs(a - b) > tolerance) ++off;
    }
  return off;
}

// Points (left + step / 2 + i step, top + step / 2 + j step) inside the box.
struct SampleGrid {
  int left, top, width, height, step;
  template <typename F>
  void ForEach(F f) const {
    for (int y = top + step / 2; y < top + height; y += step)
      for (int x = left + step / 2; x < left + width; x += step) f(x, y);
  }
};

struct ShowcaseRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;  // the grid at the sample frame
  int boxes = 0;
};

// A new game with variable `var` set to `value`, `frames` frames long;
// eachFrame (when given) looks at the screen after every frame.
inline ShowcaseRun RunShowcase(int var, int value, int frames, int sampleFrame,
                               const SampleGrid& grid,
                               const std::function<void()>& eachFrame = {}) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(),
                        std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  crt::ResetRandom();
  ShowcaseRun run;
  {
    testsupport::FakeGame game(host);
    host.ClearBoxes();
    game.Modes().StartNewGame(0, 0, var, value);
    for (int i = 1; i <= frames; ++i) {
      game.RunFrame();
      run.hashes.push_back(HashScreen());
      if (eachFrame) eachFrame();
      if (i == sampleFrame)
        grid.ForEach([&](int x, int y) {
          run.samples.push_back(CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x] &
                                0xFFFFFF);
        });
    }
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  return run;
}

}  // namespace demotest
