// One frame of the card screen (20 bands, four 100 x 200 cards in the
// plain, colour-added, translucent and grey styles, and their 1 + 2 + 3 + 4
// power marks) beside a memcpy of the 800 x 600 screen. A frame lasts 50 ms;
// the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/masked_picture.h"
#include "bench/support/memcpy_reference.h"
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
    ok = benchsupport::WriteMaskedPicture("ta_cardseat" + std::to_string(n), 100, 200,
                                          2654435761u * n) &&
         ok;
  ok = benchsupport::WriteMaskedPicture("ta_cardPower", 16, 16, 40503u) && ok;
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
