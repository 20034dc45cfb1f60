// The start-up tests' ground over either double (the fake of the services
// in tests/mode, the game's test double in tests/game), and that of the
// screens entered the same way: the double with the start-up modes, a
// test's way to enter a mode, clicks through the headless host, the menu
// keys of a menu screen and the screen's pixels. Each kind's StartupGame
// comes from mode/startup_fixture.h or game/startup_game.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "support/dwq_picture.h"
#include "support/game_folder_test.h"

namespace startup_test {

using Pairs = testsupport::Pairs;

// The new games the double starts, (variable, value) each, and the closes
// it is asked for.
template <typename Base>
class StartRecording : public Base {
 public:
  using Base::Base;
  int StartNewGame(int ignored, int stateFlag, int varNumber, int value) override {
    newGames.push_back({varNumber, value});
    return Base::StartNewGame(ignored, stateFlag, varNumber, value);
  }
  void CloseGame() override {
    ++closes;
    Base::CloseGame();
  }
  std::vector<std::pair<int, int>> newGames;
  int closes = 0;
};

template <typename GameT>
class StartupFixture : public testsupport::GameFolderTest {
 protected:
  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }

  GameT& Game() {
    if (!game_) game_ = std::make_unique<GameT>(*host_);
    return *game_;
  }

  // A left click at (x, y) that reaches the game in the next frame.
  void Click(int x, int y) const {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
  }
  void MoveTo(int x, int y) const { host_->InjectMouseMove(x, y); }

  // The menu keys of a menu screen: `menus` rows of `columns` buttons of
  // the picture `picture` (200 x 40), column c at (300, 100 + 50 c); the
  // extra keys follow.
  static Pairs MenuPairs(const std::string& picture, const Pairs& extra, int columns, int menus) {
    Pairs pairs;
    for (int m = 1; m <= menus; ++m) {
      const std::string first = "menu" + std::to_string(m) + "button1";
      pairs.insert(pairs.end(), {{first + "SizeX", "200"}, {first + "SizeY", "40"}, {first + "ClickTime", "0"}});
      for (int c = 1; c <= columns; ++c) {
        const std::string key = "menu" + std::to_string(m) + "button" + std::to_string(c);
        pairs.push_back({key + "Filename", picture});
        pairs.push_back({key + "PrintX", "300"});
        pairs.push_back({key + "PrintY", std::to_string(100 + 50 * (c - 1))});
      }
    }
    pairs.insert(pairs.end(), extra.begin(), extra.end());
    return pairs;
  }
  // Whether the game recorded the call.
  bool Called(const std::string& call) const {
    const auto& calls = game_->Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  // Clicks column c of such a menu and runs frames until the screen acts.
  void Press(int column) {
    GameT& game = Game();
    const int y = 110 + 50 * column;
    MoveTo(310, y);
    game.RunFrame();
    Click(310, y);
    for (int i = 0; i < 4 && game.ModeRequests().empty() && game.newGames.empty() && !game.closes; ++i)
      game.RunFrame();
  }

  // Frames until the game has carried out `requests` mode changes, at most
  // `limit`; the number of frames run.
  int RunUntilRequests(size_t requests, int limit) {
    int n = 0;
    while (Game().ModeRequests().size() < requests && n < limit) {
      Game().RunFrame();
      ++n;
    }
    return n;
  }

  static uint32_t Pixel(int x, int y) {
    return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x];
  }
  // The pixel (x, y) of `fill` with the picture drawn over it at percent,
  // as the blitter draws it.
  static uint32_t Blended(uint32_t fill, const std::string& picture, int percent, int x = 0,
                          int y = 0) {
    CAllGraphics::FillScreen(fill >> 16 & 0xFF, fill >> 8 & 0xFF, fill & 0xFF);
    CPicture p;
    EXPECT_EQ(p.LoadDWQ(picture.c_str()), 1) << picture;
    p.TransLucentBlt(0, 0, 0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), percent);
    return Pixel(x, y);
  }

  std::unique_ptr<GameT> game_;
};

// The logo tests' ground: two full-screen logos, red and blue.
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xC03020, kBlue = 0x2040C0;

template <typename GameT>
class ChainFixture : public StartupFixture<GameT> {
 protected:
  void WriteLogos() const {
    testsupport::WriteDwq(*this->dir_, "sys/logo1", 800, 600, kRed);
    testsupport::WriteDwq(*this->dir_, "sys/logo2", 800, 600, kBlue);
  }
};

}  // namespace startup_test
