// The game of the place, heroine and result tests: the fake of the services whose
// floating buttons, short-cut keys and the calls the modes make on leaving
// are scripted or recorded, and which remakes a mode after the test has
// named its variables.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "screen_fill.h"
#include "support/dwq_picture.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"

namespace selectscreens_test {

using testsupport::Pairs;
using Screen = std::vector<uint32_t>;

class ScreensGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;

  // Mode `number` made again by `make`.
  template <typename M, typename Make>
  M* Remake(int number, Make make) {
    return static_cast<M*>(PutMode(number, std::unique_ptr<M>(make(this))));
  }
  int CheckFloatingButtons() override { return floating_; }
  int CheckShortCut(int) override { return shortCut_; }
  void SetSkipFilmFlag(int value) override { Note("SetSkipFilmFlag " + std::to_string(value)); }
  void KeepGameState() override { Note("KeepGameState"); }
  void MakeMiniCG() override { Note("MakeMiniCG"); }
  void ResetBackScript() override { Note("ResetBackScript"); }
  int PrepareSystemMode(int target, int caller) override {
    Note("PrepareSystemMode " + std::to_string(target) + " " + std::to_string(caller));
    return target;
  }

  std::vector<std::string> Lines(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : Calls())
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }

  int floating_ = -1;
  int shortCut_ = -1;
};

class ScreensTest : public testsupport::GameFolderTest {
 protected:
  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }
  ScreensGame& Game() {
    if (!game_) game_ = std::make_unique<ScreensGame>(*host_);
    return *game_;
  }
  void Click(int x, int y) {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
  }
  void Key(int vk) {
    host_->InjectKey(vk, true);
    host_->InjectKey(vk, false);
  }
  // One frame of `mode`: its result, and its exit hooks when it asked to
  // leave.
  template <typename M>
  int Frame(M* mode) {
    int result = -2;
    Game().RunFrame([&] { return result = mode->Calcu(); }, [&] { mode->Print(); });
    exited_ = mode->ExitStep() == 0;
    return result;
  }
  // Frames until the mode asks for something other than staying (at most n);
  // its answer, -2 when it stayed.
  template <typename M>
  int FramesUntilExit(M* mode, int n) {
    for (int i = 0; i < n; ++i) {
      const int r = Frame(mode);
      if (r != -1 || exited_) return r;
    }
    return -2;
  }
  // A w x h picture "dwq/<rel>.dwq" whose pixels depend on position and seed.
  void WritePicture(const std::string& rel, int w, int h, uint32_t seed) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p.pixels.push_back((seed * 2654435761u + static_cast<uint32_t>(x * 73 + y * 151) * 40503u) &
                           0xFFFFFFu);
    testsupport::WriteDwq(*dir_, rel, std::move(p));
  }
  static void FillScreen() { screentest::FillScreen(); }
  static Screen Snapshot() { return screentest::Snapshot(); }
  static uint32_t Pixel(int x, int y) {
    return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x];
  }

  std::unique_ptr<ScreensGame> game_;
  // The last frame ran the mode's exit hooks.
  bool exited_ = false;
};

}  // namespace selectscreens_test
