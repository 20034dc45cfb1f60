// The card tests' game: a test double with mode 45 switched on, a function
// list naming the three card functions, and small card, power and bar strips
// made by the picture tool's library.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dwqwriter.h"
#include "game/game_test.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "screen_fill.h"
#include "mode/carddata.h"
#include "mode/cardsystem.h"
#include "support/dwq_picture.h"

namespace card_test {

using Pairs = game_test::Pairs;
using Screen = std::vector<uint32_t>;

// The test double with the game's own mode 45 replaceable, so a test can
// remake it after naming its variables, and the function table readable.
class CardGame : public testsupport::FakeGame {
 public:
  using FakeGame::FakeGame;

  CCommonCardSystem* Remake() {
    delete modeTable_[CCommonCardSystem::kModeNumber];
    auto* mode = new CCommonCardSystem(this);
    modeTable_[CCommonCardSystem::kModeNumber] = mode;
    return mode;
  }
  // (function row, mode, type) of every registered function.
  std::vector<std::array<int, 3>> Functions() const {
    std::vector<std::array<int, 3>> out;
    for (int i = 0; i < systemFunctionCount_; ++i)
      out.push_back({systemFunctions_[i][0], systemFunctions_[i][1], systemFunctions_[i][2]});
    return out;
  }
};

class CardTest : public game_test::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ResetCardStyleTable();
    WriteList("game", {{"cardsystemIsDefault", "1"}});
    // Rows 0, 1, 2.
    dir_->Write("spt/function.xtx", "appearcard,0\r\nenablecard,0\r\nonokcard,0\r\n");
  }
  void TearDown() override {
    game_.reset();
    ResetCardStyleTable();
    GameTest::TearDown();
  }

  // The game, made once the lists are written.
  CardGame& Game() {
    if (!game_) game_ = std::make_unique<CardGame>(*host_);
    return *game_;
  }

  // "dwq\\sys\\<name>.dwq": w x h with a mask; pixel and alpha by position.
  void WriteStrip(const std::string& name, int w, int h, uint32_t seed) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        p.pixels.push_back((seed * 2654435761u + static_cast<uint32_t>(x * 73 + y * 151) * 40503u) &
                           0xFFFFFFu);
        // Opaque, clear and half-covered pixels.
        const int k = (x + 2 * y) % 5;
        p.alpha.push_back(static_cast<uint8_t>(k == 0 ? 0 : k == 1 ? 128 : 255));
      }
    testsupport::WriteDwq(*dir_, "sys/" + name, std::move(p));
  }

  static void FillScreen() { screentest::FillScreen(); }
  static Screen Snapshot() { return screentest::Snapshot(); }
  // The screen after `draw` on the filled screen.
  static Screen Drawn(const std::function<void()>& draw) {
    FillScreen();
    draw();
    return Snapshot();
  }
  // A fresh load of "sys\\<name>".
  static std::unique_ptr<CPicture> Fresh(const std::string& name) {
    auto p = std::make_unique<CPicture>();
    EXPECT_EQ(p->LoadDWQ(("sys\\" + name).c_str()), 1) << name;
    return p;
  }

  std::unique_ptr<CardGame> game_;
};

}  // namespace card_test
