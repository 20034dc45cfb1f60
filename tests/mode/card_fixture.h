// The card tests' game: the fake of the services with mode 45 made on
// demand, and small card, power and bar strips made by the picture tool's
// library.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dwqwriter.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "screen_fill.h"
#include "mode/carddata.h"
#include "mode/cardsystem.h"
#include "support/dwq_picture.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"

namespace card_test {

using Pairs = testsupport::Pairs;
using Screen = std::vector<uint32_t>;

// The fake with mode 45 made again on demand, after the test named its
// variables.
class CardGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;
  CCommonCardSystem* Remake() { return MakeMode<CCommonCardSystem>(); }
};

class CardTest : public testsupport::GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    ResetCardStyleTable();
  }
  void TearDown() override {
    game_.reset();
    ResetCardStyleTable();
    GameFolderTest::TearDown();
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
