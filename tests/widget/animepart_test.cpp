// Animation parts: frame sequences drawn from a grid, cross-fades, and the
// variable-bound part's blocks, restarts and background restore.
#include "widget/animepart.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kBack = 0x00404040u;

// Cell i of a 4 x 3 grid of 4 x 4 cells has colour 0x100000 + i.
uint32_t CellColour(int c, int r) { return 0x00100000u + static_cast<uint32_t>(r * 4 + c); }

class AnimePartTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    WriteCells("cells", 4, 3, 4, 4, CellColour);
    cells_ = std::make_unique<CPicture>();
    ASSERT_EQ(cells_->LoadDWQ("sys\\cells"), 1);
    Clear(kBack);
  }
  // The frame shown at (x, y), -1 for none.
  static int Shown(int x = 1, int y = 1) {
    const uint32_t c = At(x, y);
    return c == kBack ? -1 : static_cast<int>(c - 0x00100000u);
  }
  std::unique_ptr<CPicture> cells_;
};

TEST_F(AnimePartTest, FrameSequencesOfTheTypes) {
  struct Case {
    const char* type;
    const char* pattern;
    const char* speed;
    std::vector<int> frames;
  } cases[] = {
      {"1", "4", "3", {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0}},
      {"2", "3", "1", {0, 1, 2, 2, 2}},
      {"3", "3", "1", {0, 1, 2, 1, 0, 1, 2}},
      {"4", "3", "1", {0, 1, 2, 1, 0, 0, 0}},
      {"9", "2", "1", {0, 1, 0}},  // unknown types loop
  };
  for (const Case& c : cases) {
    auto list = List({{"aType", c.type}, {"aPattern", c.pattern}, {"aSpeed", c.speed},
                      {"aSizeX", "4"}, {"aSizeY", "4"}});
    CAnimePart part("a", list.get(), 0);
    part.SetPicture(cells_.get());
    part.Init();
    std::vector<int> shown;
    for (size_t i = 0; i < c.frames.size(); ++i) {
      part.Print();
      shown.push_back(Shown());
      part.Calcu(1);
    }
    EXPECT_EQ(shown, c.frames) << "type " << c.type;
  }
}

TEST_F(AnimePartTest, CrossFadeWeighsTheTwoFrames) {
  // Frame 0 blue, frame 1 green.
  WriteCells("fade", 2, 1, 4, 4, [](int c, int) { return c == 0 ? 0x0000FFu : 0x00FF00u; });
  CPicture fade;
  ASSERT_EQ(fade.LoadDWQ("sys\\fade"), 1);
  auto list = List({{"aType", "5"}, {"aPattern", "2"}, {"aSpeed", "4"}, {"aSizeX", "4"},
                    {"aSizeY", "4"}, {"aPrintX", "8"}, {"aPrintY", "2"}});
  CAnimePart part("a", list.get(), 0);
  part.SetPicture(&fade);
  part.Calcu(1);
  CScreenBuffer::ClearDirtyRects();
  part.Print();
  const uint32_t c = At(9, 3);
  EXPECT_NEAR(static_cast<int>(c & 0xFF), 191, 2) << "frame 0 at 75 percent";
  EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64, 2) << "frame 1 at 25 percent";
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{8, 2, 4, 4}}));
  part.Print(10, 20);
  EXPECT_NE(At(19, 23), kBack) << "Print(dx, dy) shifts";
}

TEST_F(AnimePartTest, LoadsItsOwnPicture) {
  auto list = List({{"filenamea", "cells"}, {"aSizeX", "4"}, {"aSizeY", "4"}, {"aPattern", "6"}});
  CAnimePart part("a", list.get(), 1);
  ASSERT_NE(part.GetPicture(), nullptr);
  EXPECT_EQ(part.GetPicture()->GetWidth(), 16);
  EXPECT_STREQ(part.GetFilename(), "cells");
  part.Calcu(5);
  part.Print();
  EXPECT_EQ(Shown(), 5) << "frame 5 continues on the second row";
  CAnimePart plain("b", list.get(), 0);
  EXPECT_STREQ(plain.GetFilename(), "ta_anime");
  EXPECT_EQ(plain.GetPicture(), nullptr);
  plain.Print();
}

TEST_F(AnimePartTest, VariableBlocksHideAndRestart) {
  auto list = List({{"vPattern", "4"}, {"vSizeX", "4"}, {"vSizeY", "4"}, {"vVarName", "count"}});
  CVarAnimePart part(list.get(), "v", nullptr);
  part.SetPicture(cells_.get());
  EXPECT_STREQ(part.GetVarName(), "count");
  EXPECT_EQ(part.GetVarNumber(), -1);
  std::vector<int> shown;
  for (int i = 0; i < 5; ++i) {
    part.Print(2, 0);
    shown.push_back(Shown());
  }
  EXPECT_EQ(shown, (std::vector<int>{4, 5, 6, 7, 4}));
  part.Print(3, 0);
  EXPECT_EQ(Shown(), 8) << "a new value restarts";
  EXPECT_EQ(part.GetCounter(), 1);
  Clear(kBack);
  part.Print(0, 0);
  EXPECT_EQ(Shown(), -1);
  EXPECT_EQ(part.GetCounter(), 0) << "hidden parts do not advance";
  part.Print(4, 0);
  EXPECT_EQ(Shown(), -1) << "block 4 lies past the picture";
}

TEST_F(AnimePartTest, RestoreFromTheBackPictureUnlessTheScreenRedraws) {
  CPicture* green = Load("green", Pixels(kW, kH, [](int, int) { return 0x0000FF00u; }), false);
  struct Case {
    const char* key;
    int restores;
  } cases[] = {{"none", 1}, {"backScriptFlag", 0}, {"mustAllPrint", 0}};
  for (const Case& c : cases) {
    auto list = List({{"vSizeX", "4"}, {"vSizeY", "4"}, {"vPrintX", "6"}, {c.key, "1"}});
    CVarAnimePart part(list.get(), "v", green);
    EXPECT_EQ(part.GetRestoreFlag(), c.restores) << c.key;
    Clear(kBack);
    part.Print(1, 0);  // no picture: only the restore draws
    EXPECT_EQ(At(7, 1) == 0x0000FF00u, c.restores == 1) << c.key;
    Clear(kBack);
    part.Print(1, 1);
    EXPECT_EQ(At(7, 1), kBack) << "noRestore";
  }
  auto list = List({{"vSizeX", "4"}});
  CVarAnimePart none(list.get(), "v", nullptr);
  EXPECT_EQ(none.GetRestoreFlag(), 0);
}

// Settings and variables of any value: no division by zero, no overflow,
// no read outside the picture.
TEST_F(AnimePartTest, HostileValues) {
  const char* sizes[] = {"0", "-5", "2147483647"};
  for (const char* size : sizes) {
    auto list = List({{"vSizeX", size}, {"vSizeY", size}, {"vPattern", "2147483647"},
                      {"vSpeed", "-3"}, {"vType", "8"}});
    CVarAnimePart part(list.get(), "v", nullptr);
    part.SetPicture(cells_.get());
    for (int value : {1, INT_MAX, INT_MIN, 7}) {
      part.Print(value, 0);
      part.Print(value, 0);
    }
    CAnimePart plain("v", list.get(), 0);
    plain.SetPicture(cells_.get());
    plain.Calcu(INT_MAX);
    plain.Calcu(INT_MIN);
    plain.Print(INT_MAX, INT_MIN);
    EXPECT_GE(plain.GetCounter(), 0);
  }
  auto list = List({{"vSizeX", "4"}, {"vSizeY", "4"}, {"vPattern", "1000000"}});
  CVarAnimePart big(list.get(), "v", nullptr);
  big.SetPicture(cells_.get());
  Clear(kBack);
  big.Print(INT_MAX, 0);
  EXPECT_EQ(CountChanged(kBack), 0);
}

}  // namespace
}  // namespace widget_test
