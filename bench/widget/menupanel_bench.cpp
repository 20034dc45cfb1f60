// Menu-screen widgets on the 800 x 600 screen beside a memcpy of it: one
// frame of a six-button menu appearing by a fading zoom (type 7) and by a
// staggered wipe, a slider redraw with its knob, and three animation parts
// cross-fading. A frame lasts 50 ms; the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/masked_picture.h"
#include "bench/support/memcpy_reference.h"
#include "graphics/dwqformat.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "setup/namelist.h"
#include "widget/animepart.h"
#include "widget/menupanel.h"
#include "widget/slider.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

void Add(CNameList* list, std::initializer_list<const char*> tokens) {
  for (const char* t : tokens) list->Add(t, true);
}

// The game folder, the screen and a masked picture "sys\\<name>".
struct Scene {
  explicit Scene(benchmark::State& state, const char* name, int w, int h)
      : folder(state), screen(kW, kH, 0) {
    InitPictureLoader(dwq::kDecodeMegabytes);
    platform::CreateDirectory("dwq");
    platform::CreateDirectory("dwq/sys");
    std::memset(CScreenBuffer::GetBuffer(), 0x40, kBytes);
    ok = benchsupport::WriteMaskedPicture(name, w, h, 2654435761u) &&
         picture.LoadDWQ(("sys\\" + std::string(name)).c_str()) == 1;
    if (!ok) state.SkipWithError("picture not loaded");
  }
  benchsupport::GameFolder folder;
  CScreenBuffer screen;
  CPicture picture;
  bool ok = false;
};

// Whether anything was drawn over the cleared screen in (x, y, w, h).
bool Drawn(int x, int y, int w, int h) {
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col)
      if (CScreenBuffer::GetBuffer()[row * kW + col] != 0x40404040u) return true;
  return false;
}

// Six 200 x 50 buttons down the middle of the screen, half-way through
// their appear animation.
void MenuAppear(benchmark::State& state) {
  Scene scene(state, "ta_menu", 800, 50);
  if (!scene.ok) return;
  CNameList list(0);
  Add(&list, {"basicButtonNumber", "6", "menu1button1SizeX", "200", "menu1button1SizeY", "50",
              "menu1button1PrintX", "300", "menu1button1PrintY", "100", "menuNextY", "60"});
  CMenuButtonSetup setup(&list, 6);
  CMenuButtonPanel panel(&setup, nullptr);
  for (int c = 0; c < panel.GetColumns(); ++c) panel.SetPicture(c, &scene.picture, -1);
  panel.Init();
  const int type = static_cast<int>(state.range(0));
  panel.PrintAnime(5, 10, type, 0, 0);
  if (!Drawn(300, 100, 200, 50)) {
    state.SkipWithError("the menu drew nothing");
    return;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    panel.PrintAnime(5, 10, type, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
// 7: fading zoom; 16: wipe from the left, staggered.
BENCHMARK(MenuAppear)->Arg(7)->Arg(16);

// A 400 x 24 volume bar at 60 % with a 24 x 40 knob, redrawn from the back
// picture as on every frame of a drag.
void SliderRedraw(benchmark::State& state) {
  Scene scene(state, "ta_bar", 400, 40);
  if (!scene.ok) return;
  CPicture back(kW, kH, 0);
  std::memset(back.GetPixelBuffer(), 0x20, kBytes);
  CCommonSlider slider(&scene.picture, 100, 200, 300, 400, 24, 0, 0, 1, &back, 0);
  slider.SetKnob(&scene.picture, -12, -8, 24, 40, 1);
  slider.SetValue(60);
  slider.Print(1, 0);
  if (!Drawn(200, 300, 240, 24)) {
    state.SkipWithError("the slider drew nothing");
    return;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    slider.Print(1, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(SliderRedraw);

// Three 96 x 96 parts of four frames, type 5, each mid cross-fade.
void AnimePartsCrossFade(benchmark::State& state) {
  Scene scene(state, "ta_anime", 384, 96);
  if (!scene.ok) return;
  CNameList list(0);
  Add(&list, {"aType", "5", "aPattern", "4", "aSpeed", "4", "aSizeX", "96", "aSizeY", "96"});
  std::unique_ptr<CAnimePart> parts[3];
  for (auto& part : parts) {
    part = std::make_unique<CAnimePart>("a", &list, 0);
    part->SetPicture(&scene.picture);
    part->Calcu(2);
  }
  parts[2]->Print(500, 400);
  if (!Drawn(500, 400, 96, 96)) {
    state.SkipWithError("the parts drew nothing");
    return;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    for (int i = 0; i < 3; ++i) parts[i]->Print(100 + 200 * i, 400);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(AnimePartsCrossFade);

}  // namespace
