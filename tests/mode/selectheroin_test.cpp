// The heroine selection on the test double: the circle's places and drawing
// order, the entries and their pictures, turning, OK and next, and leaving
// without a choice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/picture.h"
#include "mode/selectheroin.h"
#include "selectscreens_fixture.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/updownbutton.h"
#include "support/text.h"

namespace selectscreens_test {
namespace {

using selectheroin::Circle;
using selectheroin::DrawOrder;
using selectheroin::PlaceOnCircle;

TEST(SelectHeroinCircle, TheFourEntryExample) {
  const Circle circle;  // deltaAngle 15, percents 20 and 110, radii 250, 120
  const struct {
    int s;
    int angle, x, y, opacity, depth;
  } cases[] = {
      {0, 105, -64, 2, 100, 97},  // the front, x truncated toward zero
      {3, 15, 241, 44, 76, 26},   // one place behind it
      {1, 195, -240, 76, 53, -25},
      {2, 285, 65, 118, 21, -96},
  };
  for (const auto& c : cases) {
    const selectheroin::Placement p = PlaceOnCircle(circle, c.s, 4, 0, 0);
    EXPECT_EQ(p.angle, c.angle) << c.s;
    EXPECT_EQ(p.x, c.x) << c.s;
    EXPECT_EQ(p.y, c.y) << c.s;
    EXPECT_EQ(p.opacity, c.opacity) << c.s;
    EXPECT_EQ(p.depth, c.depth) << c.s;
  }
  // Mid-turn (5 of 10 frames, +1) every entry has moved by half a step.
  EXPECT_EQ(PlaceOnCircle(circle, 0, 4, 5, 1).angle, 150);
  EXPECT_EQ(PlaceOnCircle(circle, 0, 4, 5, -1).angle, 60);
  // No entry: a step of 360. Opacity is held to 1..100.
  EXPECT_EQ(PlaceOnCircle(circle, 0, 0, 0, 0).angle, 105);
  Circle faint = circle;
  faint.percent1 = -50;
  faint.percent2 = -40;
  EXPECT_EQ(PlaceOnCircle(faint, 2, 4, 0, 0).opacity, 1);
  // Entries q = 0..3 with the front 0 stand at places 0, 3, 2, 1: drawn
  // from the back (q 2) to the front (q 0).
  EXPECT_EQ(DrawOrder({97, 26, -96, -25}), (std::vector<int>{2, 3, 1, 0}));
  EXPECT_EQ(DrawOrder({5, 5}), (std::vector<int>{0, 1}));
}

constexpr int kReturnVar = 10, kNextVar = 11, kFirstHeroinVar = 20;

class SelectHeroinTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    // Two variants of four positions.
    dir_->Write("mok/heroin.xtx", "a0,a1,a2,a3\r\nb0,b1,b2,b3\r\n");
    for (const char* n : {"a0", "a1", "a2", "a3", "b0", "b1", "b2", "b3"})
      WritePicture(std::string("ta/") + n, 200, 100, static_cast<uint32_t>(n[0] * 7 + n[1]));
    for (const char* n : {"okb", "nextb", "upb", "downb"}) WritePicture(std::string("sys/") + n, 160, 20, 9);
  }
  static Pairs Keys() {
    return {{"heroinVarName1", "h1"}, {"heroinVarName2", "h2"}, {"heroinVarName3", "h3"},
            {"heroinVarName4", "h4"}, {"returnVarName", "ret"},  {"nextButtonVarName", "nx"},
            {"okPrintX", "600"},      {"okPrintY", "500"},      {"okSizeX", "40"},
            {"okSizeY", "20"},        {"okFilename", "okb"},    {"nextPrintX", "600"},
            {"nextPrintY", "550"},    {"nextSizeX", "40"},      {"nextSizeY", "20"},
            {"nextFilename", "nextb"}, {"upPrintX", "10"},      {"upPrintY", "500"},
            {"upSizeX", "40"},        {"upSizeY", "20"},        {"UpFileName", "upb"},
            {"downPrintX", "100"},    {"downPrintY", "500"},    {"downSizeX", "40"},
            {"downSizeY", "20"},      {"DownFileName", "downb"}};
  }
  CCommonSelectHeroin* Make(Pairs keys, const std::vector<int>& values = {}) {
    WriteList("SelectHeroin", keys);
    ScreensGame& game = Game();
    game.SetVarNumber("ret", kReturnVar);
    game.SetVarNumber("nx", kNextVar);
    for (int i = 0; i < 4; ++i) game.SetVarNumber(testsupport::Numbered("h", i + 1), kFirstHeroinVar + i);
    mode_ = game.Remake<CCommonSelectHeroin>(31, [](const GameRoles& g) { return new CCommonSelectHeroin(g); });
    for (size_t i = 0; i < values.size(); ++i) game.SetVar(kFirstHeroinVar + static_cast<int>(i), values[i]);
    return mode_;
  }
  void Enter() {
    mode_->Enter();
    Game().ClearCalls();
  }
  int Frame() { return ScreensTest::Frame(mode_); }
  int ClickAndWait(int x, int y) {
    Click(x, y);
    return FramesUntilExit(mode_, 20);
  }

  CCommonSelectHeroin* mode_ = nullptr;
};

TEST_F(SelectHeroinTest, EntriesAndTheirPictures) {
  // Positions 0 and 2 take variants 1 and 0; 0 and less are absent.
  Make(Keys(), {2, 0, 1, -1});
  Enter();
  ASSERT_EQ(mode_->GetEntryCount(), 2);
  EXPECT_EQ(mode_->GetEntryPosition(0), 0);
  EXPECT_EQ(mode_->GetEntryPosition(1), 2);
  EXPECT_EQ(mode_->GetEntryPicture(0), Game().GetEffectPicture(6));
  EXPECT_EQ(mode_->GetEntryPicture(1), Game().GetEffectPicture(7));
  EXPECT_NE(std::string(mode_->GetEntryPicture(0)->GetName()).find("b0"), std::string::npos);
  EXPECT_NE(std::string(mode_->GetEntryPicture(1)->GetName()).find("a2"), std::string::npos);

  // With its own buffers the mode keeps the pictures apart from the effects.
  game_.reset();
  Pairs keys = Keys();
  keys.push_back({"createBufferFlag", "1"});
  Make(keys, {2, 0, 1, -1});
  Enter();
  ASSERT_NE(mode_->GetEntryPicture(0), nullptr);
  EXPECT_NE(mode_->GetEntryPicture(0), Game().GetEffectPicture(6));
  EXPECT_EQ(mode_->GetEntryPicture(0)->IsLoaded(), 1);
}

TEST_F(SelectHeroinTest, MissingNamesAndVariantsPastTheList) {
  // Position 3 names no variable (it is absent, not position 2 again); a
  // variant past the list has no picture; no return variable writes
  // nothing.
  Pairs keys = Keys();
  keys.erase(keys.begin() + 2);                                   // heroinVarName3
  keys.erase(keys.begin() + 3);                                   // returnVarName
  keys.push_back({"heroinPrintMax", "50"});
  Make(keys, {1, 9, 1, 1});
  Game().SetVar(kReturnVar, 77);
  Enter();
  ASSERT_EQ(mode_->GetEntryCount(), 3);
  EXPECT_EQ(mode_->GetEntryPosition(2), 3);
  EXPECT_EQ(mode_->GetEntryPicture(1), nullptr);  // variant 8 of position 1
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(ClickAndWait(620, 510), -1);
  EXPECT_TRUE(exited_);
  EXPECT_EQ(Game().GetVar(kReturnVar), 77);
}

TEST_F(SelectHeroinTest, ATurnMovesTheFrontAndKeepsItInTheSharedWord) {
  Make(Keys(), {1, 1, 1, 1});
  Game().SetMusicRoomValue(2);
  Enter();
  EXPECT_EQ(mode_->GetFront(), 2);
  Frame();
  Click(20, 510);  // up: d = +1
  for (int i = 0; i < 20 && mode_->GetDirection() == 0; ++i) Frame();
  ASSERT_EQ(mode_->GetDirection(), 1);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(mode_->GetTurnCounter(), 5);
  EXPECT_EQ(mode_->Placements()[2].angle, 150);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(mode_->GetDirection(), 0);
  EXPECT_EQ(mode_->GetFront(), 3);
  EXPECT_EQ(Game().GetMusicRoomValue(), 3);
  EXPECT_EQ(mode_->GetUpDownButtons()->GetPage(), 2);
  // OK returns the front heroine's position + 1.
  Frame();
  EXPECT_EQ(ClickAndWait(620, 510), -1);
  EXPECT_EQ(Game().GetVar(kReturnVar), 4);
  EXPECT_EQ(Game().Lines("SetSkipFilmFlag"), (std::vector<std::string>{"SetSkipFilmFlag 1"}));
}

TEST_F(SelectHeroinTest, OneEntryAndTheMinimumForTurning) {
  for (int minimum : {1, 2}) {
    game_.reset();
    Pairs keys = Keys();
    keys.push_back({"minTurnNumber", std::to_string(minimum)});
    keys.push_back({"turnFrame", "0"});  // counts as 1
    Make(keys, {0, 1});
    Enter();
    Frame();
    Click(110, 510);  // down: d = -1
    bool turned = false;
    for (int i = 0; i < 20; ++i) {
      Frame();
      turned = turned || mode_->GetDirection() != 0;
    }
    EXPECT_EQ(turned, minimum == 1) << minimum;
    EXPECT_EQ(mode_->GetFront(), 0) << minimum;
    EXPECT_EQ(mode_->GetDirection(), 0) << minimum;
  }
}

TEST_F(SelectHeroinTest, NextAndNoEntry) {
  Pairs keys = Keys();
  keys.push_back({"nextButtonFlag", "1"});
  Make(keys, {0, 0, 0, 0});
  Game().SetVar(kNextVar, 0);
  Enter();
  EXPECT_EQ(mode_->IsNextOffered(), 0);
  // Without entries and next nothing can be chosen.
  Frame();
  EXPECT_EQ(ClickAndWait(620, 510), -2);
  EXPECT_EQ(ClickAndWait(620, 560), -2);
  // The floating buttons and the short cuts still work.
  Game().floating_ = MakeButtonCode(buttoncode::kDecided, 0, 0, 0, 0);
  EXPECT_EQ(Frame(), 13);
  EXPECT_EQ(Game().Lines("KeepGameState").size(), 1u);
  EXPECT_EQ(Game().Lines("MakeMiniCG").size(), 1u);
  EXPECT_EQ(Game().GetReturnMode(), 31);
  Game().floating_ = -1;
  Game().shortCut_ = 12;
  EXPECT_EQ(Frame(), 12);
  mode_->AtExit();
  EXPECT_TRUE(Game().Lines("SetSkipFilmFlag").empty());

  // Offered, next writes 1.
  game_.reset();
  Make(keys, {0, 0, 0, 0});
  Game().SetVar(kNextVar, 1);
  Enter();
  EXPECT_EQ(mode_->IsNextOffered(), 1);
  Frame();
  EXPECT_EQ(ClickAndWait(620, 560), -1);
  EXPECT_EQ(Game().GetVar(kReturnVar), 1);

  // Without "nextButtonVarName" no variable offers it.
  game_.reset();
  keys.erase(keys.begin() + 5);
  Make(keys, {0, 0, 0, 0});
  Game().SetVar(kNextVar, 1);
  Enter();
  EXPECT_EQ(mode_->IsNextOffered(), 0);
}

TEST_F(SelectHeroinTest, DrawsFromTheBackToTheFront) {
  Make(Keys(), {1, 1, 1, 1});
  Enter();
  FillScreen();
  mode_->Print();
  // The front entry (position 0, "a0") is drawn last and opaque at (-64, 2):
  // its pixel (70, 10) lies at screen (6, 12).
  CPicture a0;
  ASSERT_EQ(a0.LoadDWQ("ta\\a0"), 1);
  EXPECT_EQ(Pixel(6, 12), a0.GetPixelBuffer()[10 * 200 + 70] & 0xFFFFFFu);
}

}  // namespace
}  // namespace selectscreens_test
