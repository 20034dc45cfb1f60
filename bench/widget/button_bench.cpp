// A group of 10 buttons (160 x 40) with a back picture, every look in a
// cross-fading animation (print mode 2), calculated and drawn for one frame,
// beside a memcpy of the 800 x 600 screen. A frame lasts 50 ms; the aim is
// under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/support/memcpy_reference.h"
#include "bench/support/pattern_picture.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/namelist.h"
#include "widget/buttongroup.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

void ButtonGroupFrame(benchmark::State& state) {
  CScreenBuffer screen(kW, kH, 0);
  std::memset(CScreenBuffer::GetBuffer(), 0x40, kBytes);
  // Four looks side by side, four frames of each downwards.
  auto picture = benchsupport::MakePatternPicture(4 * 160, 4 * 40, 2654435761u);
  auto back = benchsupport::MakePatternPicture(kW, kH, 40503u);
  CNameList list(0);
  for (const char* token : {"button1PrintX", "40", "button1PrintY", "40", "button1SizeX", "160",
                            "button1SizeY", "40", "button1AnimePattern1", "4", "button1AnimeSpeed1",
                            "3", "button1AnimeType1", "5", "button1PrintMode", "2"})
    list.Add(token, true);
  // A column of buttons, 50 pixels apart.
  for (int i = 2; i <= 10; ++i) {
    list.Add(("button" + std::to_string(i) + "PrintX").c_str(), true);
    list.Add("40", true);
    list.Add(("button" + std::to_string(i) + "PrintY").c_str(), true);
    list.Add(std::to_string(40 + 50 * (i - 1)).c_str(), true);
  }
  CCommonButtonGroup group(&list, 10, back.get());
  for (int i = 0; i < 10; ++i) group.SetPicture(i, picture.get());
  group.Init();
  CMouseStatus mouse;
  CMyKeyStatus keys;
  CInputStatus input;
  input.SetMouseStatus(&mouse);
  input.SetKeyStatus(&keys);
  mouse.SetPos(100, 60);  // over the first button
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    benchmark::DoNotOptimize(group.Calcu(&input));
    group.Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
  group.Release();
}
BENCHMARK(ButtonGroupFrame);

}  // namespace
