// One frame of the card screen (20 bands, four 100 x 200 cards in the
// plain, colour-added, translucent and grey styles, and their 1 + 2 + 3 + 4
// power marks) beside a memcpy of the 800 x 600 screen. A frame lasts 50 ms;
// the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/support/game_folder.h"
#include "bench/support/memcpy_reference.h"
#include "dwqwriter.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "mode/carddata.h"
#include "mode/cardsystem.h"
#include "platform/files.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

bool WriteStrip(const std::string& name, int w, int h, uint32_t seed) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back((static_cast<uint32_t>(x * 7 + y * 3) * seed) & 0xFFFFFF);
      p.alpha.push_back(static_cast<uint8_t>((x + y) % 5 == 0 ? 0 : 255 - (x & 63)));
    }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  return dwqtool::MakeDwq(p, options, &bytes, &error) &&
         platform::WriteWholeFile(("dwq\\sys\\" + name + ".dwq").c_str(), bytes.data(),
                                  bytes.size());
}

void CardScreenFrame(benchmark::State& state) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  platform::CreateDirectory("init");
  platform::CreateDirectory("dwq");
  platform::CreateDirectory("dwq\\sys");
  const std::string list = "cardNumber,4\r\ncardSizeX,100\r\ncardSizeY,200\r\n";
  platform::WriteWholeFile("init\\cardSystem.xtx", list.data(), list.size());
  bool ok = true;
  for (int n = 1; n <= 4; ++n)
    ok = WriteStrip("ta_cardseat" + std::to_string(n), 100, 200, 2654435761u * n) && ok;
  ok = WriteStrip("ta_cardPower", 16, 16, 40503u) && ok;
  if (!ok) {
    state.SkipWithError("no pictures");
    return;
  }
  InitPictureLoader(3);
  {
    CScreenBuffer screen(kW, kH, 0);
    ResetCardStyleTable();
    CCommonCardSystem mode(nullptr);
    mode.Init();
    mode.Print();  // the cards are read once
    for (auto _ : state) {
      CScreenBuffer::ClearDirtyRects();
      mode.Print();
      benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
  }
  ReleasePictureLoader();
}
BENCHMARK(CardScreenFrame);

}  // namespace
