// The layer table's save buffers and the game mouse cursor.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"
#include "setup/random.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

// Each screen pixel its own colour, so a wrong restore shows.
void Paint() {
  for (int y = 0; y < graphics_test::ScreenTest::kH; ++y)
    for (int x = 0; x < graphics_test::ScreenTest::kW; ++x)
      graphics_test::ScreenTest::At(x, y) = 0x010000u * y + 0x000100u * x + 7;
}

using TableTest = WidgetTest;

TEST_F(TableTest, SaveAndRestoreGiveThePixelsBackAndRecordTheRectangle) {
  CFloatingLayerTable table;
  ASSERT_EQ(table.CreateBuffer(3, 8, 6), 1);
  Paint();
  const std::vector<uint32_t> before(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
  ASSERT_EQ(table.SaveUnder(3, 10, 10), 1);
  Clear(0xFFFFFF);
  CScreenBuffer::ClearDirtyRects();
  table.RestoreAll();
  for (int y = 10; y < 16; ++y)
    for (int x = 10; x < 18; ++x) EXPECT_EQ(At(x, y), before[y * kW + x]) << x << "," << y;
  EXPECT_EQ(At(9, 10), 0xFFFFFFu);
  EXPECT_EQ(At(18, 15), 0xFFFFFFu);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{10, 10, 8, 6}}));
  // Restored once: a second restore does nothing.
  CScreenBuffer::ClearDirtyRects();
  EXPECT_EQ(table.Restore(3), 0);
  EXPECT_TRUE(DirtyRects().empty());
}

TEST_F(TableTest, BufferNeverShrinksAndTheSmallerSizeIsSaved) {
  CFloatingLayerTable table;
  ASSERT_EQ(table.CreateBuffer(5, 32, 32), 1);
  ASSERT_EQ(table.CreateBuffer(5, 16, 16), 1);
  Paint();
  ASSERT_EQ(table.SaveUnder(5, 0, 0), 1);
  Clear(0);
  CScreenBuffer::ClearDirtyRects();
  EXPECT_EQ(table.Restore(5), 1);
  EXPECT_EQ(At(15, 15), 0x0F0F07u);
  EXPECT_EQ(At(16, 0), 0u);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{0, 0, 16, 16}}));
}

TEST_F(TableTest, UnsavedSlotsAndSlotsOutsideTheTableDoNothing) {
  CFloatingLayerTable table;
  CScreenBuffer::ClearDirtyRects();
  EXPECT_EQ(table.Restore(0), 0);  // no picture
  ASSERT_EQ(table.CreateBuffer(0, 4, 4), 1);
  EXPECT_EQ(table.Restore(0), 0);  // never saved
  for (int slot : {-1, 32, 1000}) {
    EXPECT_EQ(table.CreateBuffer(slot, 4, 4), 0) << slot;
    EXPECT_EQ(table.SaveUnder(slot, 0, 0), 0) << slot;
    EXPECT_EQ(table.Restore(slot), 0) << slot;
    EXPECT_EQ(table.ResetSave(slot), 0) << slot;
  }
  // Sizes no buffer can take.
  for (auto [w, h] : std::vector<std::pair<int, int>>{{0, 4}, {4, -1}, {1 << 30, 4}, {4, 100000}})
    EXPECT_EQ(table.CreateBuffer(1, w, h), 0) << w << "x" << h;
  EXPECT_EQ(table.SaveUnder(1, 0, 0), 0);
  // A save forgotten by ResetSave is not restored.
  ASSERT_EQ(table.SaveUnder(0, 2, 2), 1);
  table.ResetSaveAll();
  EXPECT_EQ(table.Restore(0), 0);
  EXPECT_TRUE(DirtyRects().empty());
}

// --- The game mouse ---

class MouseTest : public WidgetTest {
 protected:
  std::unique_ptr<CGameMouse> Make(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    list_ = List(pairs);
    return std::make_unique<CGameMouse>(&table_, 0, list_.get());
  }

  CFloatingLayerTable table_;
  std::unique_ptr<CNameList> list_;
};

TEST_F(MouseTest, TrailLengthIsHeldToTen) {
  const std::vector<std::pair<const char*, int>> cases = {{"20", 10}, {"10", 10}, {"3", 3}, {"0", 0}, {"-4", 0}};
  for (auto [value, expected] : cases) EXPECT_EQ(Make({{"zanzouNumber", value}})->GetTrailLength(), expected) << value;
}

TEST_F(MouseTest, DesignKeysForConfigurationsAndScripts) {
  struct Case {
    const char* nc;
    const char* ns;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"2", "1", {"one", "two"}},
      {"1", "2", {"one", "two"}},
      {"2", "2", {"s1c1", "s1c2", "s2c1", "base"}},
      {"0", "-3", {"base"}},
      {"100000", "100000", {"base"}},  // would not fit: one design
  };
  for (const Case& c : cases) {
    auto mouse = Make({{"mouseNumberConfig", c.nc}, {"mouseNumberScript", c.ns}, {"fileNameMouse", "base"},
                       {"filenameMouse1", "one"}, {"filenameMouse2", "two"}, {"filenameMouse1_1", "s1c1"},
                       {"filenameMouse1_2", "s1c2"}, {"filenameMouse2_1", "s2c1"}});
    ASSERT_EQ(mouse->GetDesignCount(), static_cast<int>(c.names.size())) << c.nc << " " << c.ns;
    for (size_t i = 0; i < c.names.size(); ++i) EXPECT_STREQ(mouse->GetFileName(static_cast<int>(i)), c.names[i].c_str());
  }
}

TEST_F(MouseTest, ADesignChangeLoadsOnTheNextPrintAndNumbersAreClamped) {
  WriteCells("m_a", 1, 1, 2, 2, [](int, int) { return 0x112233u; });
  WriteCells("m_b", 1, 1, 2, 2, [](int, int) { return 0x445566u; });
  auto mouse = Make({{"mouseNumberConfig", "2"}, {"filenameMouse1", "m_a"}, {"filenameMouse2", "m_b"},
                     {"sizeX", "2"}, {"sizeY", "2"}});
  Clear(0);
  mouse->Print(5, 5, 0, 0);
  EXPECT_EQ(At(5, 5), 0x112233u);
  mouse->SetConfigNumber(7);  // beyond the table: the last design
  EXPECT_EQ(mouse->GetConfigNumber(), 1);
  EXPECT_EQ(mouse->GetLoadedConfig(), 0);
  mouse->Print(5, 5, 0, 0);
  EXPECT_EQ(mouse->GetLoadedConfig(), 1);
  EXPECT_EQ(At(5, 5), 0x445566u);
  mouse->SetConfigNumber(-5);
  EXPECT_EQ(mouse->GetConfigNumber(), 0);
}

TEST_F(MouseTest, HotPointSaveUnderAndDirtyCell) {
  WriteCells("ta_mouse", 1, 2, 3, 3, [](int, int r) { return r ? 0x00FF00u : 0x0000FFu; });
  auto mouse = Make({{"sizeX", "3"}, {"sizeY", "3"}, {"hotPointX", "1"}, {"hotPointY", "2"}});
  Paint();
  const uint32_t under = At(9, 8);
  CScreenBuffer::ClearDirtyRects();
  mouse->Print(10, 10, 1, 1);
  EXPECT_EQ(At(9, 8), 0x00FF00u);  // row 1 at (10 - 1, 10 - 2)
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{9, 8, 3, 3}}));
  table_.RestoreAll();
  EXPECT_EQ(At(9, 8), under);
  int hx = 0, hy = 0;
  mouse->GetHotPoint(&hx, &hy);
  EXPECT_EQ(hx, 1);
  EXPECT_EQ(hy, 2);
}

// Drawn, then advanced: the first frame shows pattern 0 whole, the next
// nine blend it towards pattern 1, the tenth shows pattern 1.
TEST_F(MouseTest, TypeFiveCrossFadesEachPatternIntoTheNext) {
  WriteCells("ta_mouse", 4, 1, 2, 2, [](int c, int) { return c == 0 ? 0x0000C8u : (c == 1 ? 0x00C800u : 0xC80000u); });
  auto mouse = Make({{"sizeX", "2"}, {"sizeY", "2"}, {"anime", "4"}, {"animeType", "5"}, {"animeSpeed", "10"}});
  int lastBlue = 256;
  for (int frame = 0; frame <= 10; ++frame) {
    Clear(0);
    mouse->Print(4, 4, 0, 0);
    mouse->Calcu(1);
    const uint32_t p = At(4, 4);
    const int blue = p & 0xFF, green = (p >> 8) & 0xFF;
    if (frame == 0) {
      EXPECT_EQ(p, 0x0000C8u);
    }
    if (frame == 10) {
      EXPECT_EQ(p, 0x00C800u);
    }
    if (frame > 0 && frame < 10) {
      EXPECT_NEAR(blue, 200 * (10 - frame) / 10, 3) << frame;
      EXPECT_NEAR(green, 200 * frame / 10, 3) << frame;
    }
    EXPECT_LT(blue, lastBlue) << frame;
    lastBlue = blue;
  }
}

// One pixel cells along a row: after 15 frames the five images stand at
// the 6th, 9th, 12th, 15th and 3rd newest positions, fading 70 .. 22 percent.
TEST_F(MouseTest, TrailOfFiveFades) {
  WriteCells("ta_mouse", 1, 1, 1, 1, [](int, int) { return 0xC8C8C8u; });
  auto mouse = Make({{"sizeX", "1"}, {"sizeY", "1"}, {"specialMode", "1"}, {"zanzouNumber", "5"}});
  for (int j = 0; j < 15; ++j) {
    Clear(0);
    mouse->Print(3 * j, 10, 0, 0);
  }
  EXPECT_EQ(At(42, 10), 0xC8C8C8u);
  const std::vector<std::pair<int, int>> images = {{9, 70}, {6, 58}, {3, 46}, {0, 34}, {12, 22}};
  for (auto [j, percent] : images) EXPECT_NEAR(static_cast<int>(At(3 * j, 10) & 0xFF), 200 * percent / 100, 2) << j;
  EXPECT_EQ(CountChanged(0), 6);
}

// The first frames draw no ghost images from unwritten entries,
// and a trail length below 1 draws no trail (no division by zero).
TEST_F(MouseTest, NoGhostsInTheFirstFramesAndNoTrailBelowOne) {
  WriteCells("ta_mouse", 1, 1, 1, 1, [](int, int) { return 0xC8C8C8u; });
  for (const char* n : {"5", "0", "-2"}) {
    auto mouse = Make({{"sizeX", "1"}, {"sizeY", "1"}, {"specialMode", "1"}, {"zanzouNumber", n}});
    for (int j = 0; j < 8; ++j) {
      Clear(0);
      mouse->Print(20 + j, 10, 0, 0);
      // Only recorded positions show.
      int recorded = 0;
      for (int x = 20; x <= 20 + j; ++x) recorded += At(x, 10) != 0;
      EXPECT_EQ(CountChanged(0), recorded) << n << " frame " << j;
    }
    auto sparkles = Make({{"sizeX", "1"}, {"sizeY", "1"}, {"specialMode", "2"}, {"zanzouNumber", n}});
    Clear(0);
    sparkles->Print(20, 10, 0, 0);
    EXPECT_EQ(CountChanged(0), 1) << n;
  }
  // A change of special mode starts the ring afresh: the trail's frames
  // leave no unwritten sparkle entries to draw.
  auto mouse = Make({{"sizeX", "1"}, {"sizeY", "1"}, {"specialMode", "1"}, {"zanzouNumber", "5"}});
  for (int j = 0; j < 5; ++j) mouse->Print(30 + j, 20, 0, 0);
  mouse->SetSpecialMode(2);
  Clear(0);
  mouse->Print(30, 20, 0, 0);
  EXPECT_EQ(CountChanged(0), 1);
}

TEST_F(MouseTest, SparklesFollowTheSeededGeneratorAndForceFullRedraws) {
  WriteCells("ta_mouse", 1, 1, 1, 1, [](int, int) { return 0xC8C8C8u; });
  auto mouse = Make({{"sizeX", "1"}, {"sizeY", "1"}, {"specialMode", "2"}, {"zanzouNumber", "3"}});
  crt::srand(7);
  std::vector<std::pair<int, int>> steps;
  for (int i = 0; i < CGameMouse::kSparkles; ++i) {
    const int dx = crt::rand() % 14 - 7;
    const int dy = -(crt::rand() % 16) - 4;
    steps.emplace_back(dx, dy);
  }
  crt::srand(7);
  CScreenBuffer::StartFrame();
  Clear(0);
  mouse->Print(30, 40, 0, 0);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  Clear(0);
  mouse->Print(30, 40, 0, 0);
  // The first frame's sparkles, one step out: (30 + dx, 40 + dy + 2) in
  // (128, 224, 176); the other six are never drawn.
  int drawn = 0;
  for (int i = 0; i < CGameMouse::kDrawnSparkles; ++i) {
    const int x = 30 + steps[i].first, y = 40 + steps[i].second + 2;
    if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
    EXPECT_NE(At(x, y), 0u) << i;
    EXPECT_GE(At(x, y) >> 16, 128u) << i;
    ++drawn;
  }
  EXPECT_GT(drawn, 0);
  EXPECT_LE(CountChanged(0), 1 + CGameMouse::kDrawnSparkles);

  auto plain = Make({{"sizeX", "1"}, {"sizeY", "1"}});
  CScreenBuffer::StartFrame();  // the request reaches this frame
  CScreenBuffer::StartFrame();
  plain->Print(3, 3, 0, 0);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
}

}  // namespace
}  // namespace widget_test
