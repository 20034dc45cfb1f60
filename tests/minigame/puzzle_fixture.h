// What the picture-puzzle tests share: pictures whose pixels tell where they
// were read, a game driven by a mouse of the test's own, and a small screen
// with the two visit pictures in the holder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "setup/random.h"

namespace puzzle_test {

constexpr int kW = 64, kH = 48;

// A picture whose pixel is its position (and a tag per picture).
inline std::unique_ptr<CPicture> Gradient(int tag, int w = kW, int h = kH) {
  auto p = std::make_unique<CPicture>(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p->GetPixelBuffer()[y * w + x] = (tag << 16) | (y << 8) | x;
  return p;
}

// A game with a mouse of the test's own.
template <class Game>
struct Driven : Game {
  explicit Driven(CAllMiniGame* holder) : Game(holder) {}
  CMouseStatus mouse;
  void Begin() {
    this->Start();
    this->mouseStatus_ = &mouse;
  }
  // One frame with a left click at (x, y); the holder's sound request.
  int Click(int x, int y) {
    mouse.SetPos(x, y);
    mouse.SetButton(0, 1);
    this->Calcu();
    mouse.SetButton(0, 0);
    mouse.Calcu();
    return this->holder_->GetSoundRequest();
  }
  // One frame with `button` alone held (no click) at (x, y). No mouse
  // Calcu here: it would ask the platform whether the button is still down.
  void Hold(int x, int y, int button = 0) {
    mouse.SetPos(x, y);
    for (int b = 0; b < CMouseStatus::kButtons; ++b) mouse.SetTrig(b, b == button ? 1 : 0);
    this->Calcu();
  }
};

class PuzzleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crt::srand(7);
    holder_.SetPicture(pic0_.get(), 0);
    holder_.SetPicture(pic1_.get(), 1);
  }
  uint32_t Screen(int x, int y) const { return CScreenBuffer::GetBuffer()[y * kW + x]; }
  CScreenBuffer screen_{kW, kH, 0};
  CAllMiniGame holder_{nullptr, nullptr, 4};
  std::unique_ptr<CPicture> pic0_ = Gradient(0), pic1_ = Gradient(1);
};

}  // namespace puzzle_test
