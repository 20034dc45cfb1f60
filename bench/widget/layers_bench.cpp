// One frame's floating-layer work on the 800 x 600 screen beside a memcpy of
// it: the restore of the last frame's rectangles, the game mouse cross-fading
// with a 10-image trail, the pulsing message cursor and a notice sliding in
// half transparent. A frame lasts 50 ms; the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/masked_picture.h"
#include "bench/support/memcpy_reference.h"
#include "graphics/dwqformat.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "setup/namelist.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

void Add(CNameList* list, std::initializer_list<const char*> tokens) {
  for (const char* t : tokens) list->Add(t, true);
}

void FloatingLayerFrame(benchmark::State& state) {
  benchsupport::GameFolder folder(state);
  InitPictureLoader(dwq::kDecodeMegabytes);
  platform::CreateDirectory("dwq");
  platform::CreateDirectory("dwq/sys");
  if (!benchsupport::WriteMaskedPicture("ta_mouse", 64, 32, 2654435761u) || !benchsupport::WriteMaskedPicture("mes_cur", 128, 32, 2654435761u) ||
      !benchsupport::WriteMaskedPicture("ta_notice", 240, 48, 2654435761u)) {
    state.SkipWithError("pictures not written");
    return;
  }
  CScreenBuffer screen(kW, kH, 0);
  std::memset(CScreenBuffer::GetBuffer(), 0x40, kBytes);
  CNameList mouseList(0), cursorList(0), noticeList(0);
  Add(&mouseList, {"sizeX", "32", "sizeY", "32", "anime", "2", "animeType", "5", "animeSpeed", "8",
                   "specialMode", "1", "zanzouNumber", "10"});
  Add(&cursorList, {"sizeX1", "32", "sizeY1", "32", "animePattern1", "4", "animeSpeed1", "3",
                    "percentStart1", "20", "percentEnd1", "100", "percentLoop1", "20", "printX1", "740",
                    "printY1", "540"});
  Add(&noticeList, {"sizeX", "240", "sizeY", "48", "startX1", "560", "waitX1", "540", "startY1", "20",
                    "startTime1", "100000", "startPercent1", "50", "waitPercent1", "50"});
  CFloatingLayerTable table;
  CGameMouse mouse(&table, 0, &mouseList);
  CMessageCursor cursor(&table, 2, &cursorList);
  CNotice notice(&table, 20, &noticeList);
  notice.SetNotice(0);
  // The first frame must draw: the notice (its second call) and the cursor.
  notice.CalcuPrint(1);
  notice.CalcuPrint(1);
  cursor.Print(0, 1);
  if (CScreenBuffer::GetBuffer()[40 * kW + 601] == 0x40404040u ||
      CScreenBuffer::GetBuffer()[550 * kW + 751] == 0x40404040u) {
    state.SkipWithError("the layers' pictures did not load");
    return;
  }
  int frame = 0;
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    table.RestoreAll();
    if (notice.GetQueueLength() == 0) notice.SetNotice(0);
    benchmark::DoNotOptimize(notice.CalcuPrint(1));
    cursor.Print(0, 1);
    cursor.Calcu(1);
    // The pointer sweeps across the screen, so every trail image lands.
    mouse.Print(100 + (frame * 7) % 600, 100 + (frame * 3) % 400, 0, 1);
    mouse.Calcu(1);
    ++frame;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(FloatingLayerFrame);

}  // namespace
