// Initialises the game object over the input as its settings list "game",
// creates the modes, runs two frames and destroys it.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/savepart.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 320, kHeight = 240;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window || !platform::WriteWholeFile("init\\game.xtx", data, size)) return 0;
  {
    CGame game(g_window, nullptr, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    fuzzsupport::Check(game.GetFrameTime() >= 1 && game.GetFrameTime() <= 1000, "frame time");
    int w = -1, h = -1;
    game.Saves().GetMiniCGSize(&w, &h);
    fuzzsupport::Check(w >= 0 && w <= kWidth && h >= 0 && h <= kHeight, "thumbnail");
    for (int i = 0; i < 2; ++i) game.Frame(game.GetFrameTime());
  }
  g_host->ClearBoxes();
  return 0;
}
