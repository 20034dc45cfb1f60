#include "effect/effectturn.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "effect_fixture.h"
#include "graphics/blendrows.h"

namespace effect_test {
namespace {

uint32_t Coordinates(int x, int y) { return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }
constexpr uint32_t kClear = 0xABCDEF;
uint8_t Opaque(int, int) { return 255; }

std::vector<uint32_t> Screen() {
  const uint32_t* p = CScreenBuffer::GetBuffer();
  return {p, p + static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight()};
}

int Changed() {
  int n = 0;
  for (uint32_t p : Screen()) n += p != kClear;
  return n;
}

class TurnTest : public EffectTest {
 protected:
  // Starts `number` on channel 5 and draws it once at `counter` over the
  // clear colour.
  void DrawAt(int number, std::vector<int> values, int counter = 0) {
    ASSERT_EQ(Start(5, number, values), 1);
    manager_->GetChannel(5)->Counter() = counter;
    std::fill_n(CScreenBuffer::GetBuffer(),
                static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(), kClear);
    manager_->PrintRange(5, 5, 0, 1);
  }
  // A screen of another size, with a manager made for it.
  void UseScreen(int w, int h) {
    manager_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  // Mask 255 left of column 8, 0 in column 8 and 128 to its right.
  void MaskedPicture() {
    ChannelPicture(
        5, kW, kH, [](int, int) { return 0x204060u; },
        [](int x, int) { return static_cast<uint8_t>(x < 8 ? 255 : x == 8 ? 0 : 128); });
  }
};

// The masked modes' rows give the pixel walk's bytes: a noise picture and
// mask turned and stretched at full and partial opacity, tinted or not.
TEST_F(TurnTest, MaskedRowsMatchThePixelWalk) {
  auto noise = [](int x, int y) { return effect_test::NoisePixel(x, y); };
  ChannelPicture(
      5, 45, 37, [&](int x, int y) { return noise(x, y); },
      [&](int x, int y) { return static_cast<uint8_t>(noise(y, x) >> 24); });
  struct Case {
    int number, opacity, tinted;
  };
  const Case cases[] = {{64, 100, 0}, {64, 70, 1}, {64, 30, 0}, {65, 100, 1}, {65, 70, 0}, {65, 45, 1}};
  for (const Case& c : cases) {
    const std::vector<int> values =
        c.number == 64
            ? std::vector<int>{20, 30, 30, 0, 0, 120, 120, 2, c.opacity, c.opacity, 0, 0, 0, 0, 0, 0,
                               c.tinted, 40, -20, 10}
            : std::vector<int>{20, 0, 0, 90, 110, 90, 110, 0, 0, 2, c.opacity, c.opacity, 0, 0,
                               c.tinted, 40, -20, 10};
    for (int counter : {0, 7}) {
      auto under = [&] {
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) At(x, y) = noise(x + 3, y + 1);
      };
      ASSERT_EQ(Start(5, c.number, values), 1);
      manager_->GetChannel(5)->Counter() = counter;
      under();
      manager_->PrintRange(5, 5, 0, 1);
      const std::vector<uint32_t> rows = Screen();
      effectturn::AllowRows(false);
      under();
      manager_->PrintRange(5, 5, 0, 1);
      effectturn::AllowRows(true);
      EXPECT_EQ(rows, Screen()) << c.number << " opacity " << c.opacity << " counter " << counter;
    }
  }
}

// --- #64 ---

TEST_F(TurnTest, TurnDefaultsCopyAScreenSizedPictureUnchanged) {
  ChannelPicture(5, kW, kH, Coordinates);
  DrawAt(64, {});
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), Coordinates(x, y)) << x << "," << y;
  // The draw position moves the picture's centre off the screen's.
  const int at[4] = {5, -3, kW, kH};
  manager_->SetRect(5, 5, at);
  DrawAt(64, {});
  EXPECT_EQ(At(5, 0), Coordinates(0, 3));
  EXPECT_EQ(At(4, 0), kClear);
}

TEST_F(TurnTest, TurnStoresItsDefaultsInOrder) {
  const EffectChannel& record = *manager_->GetChannel(5);
  ASSERT_EQ(Start(5, 64, {}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 65),
            (std::vector<int>{20, 0, 0, 0, 0, 100, 100, 0,   100,  100, 0,    0,   0,   0, 0, 0,
                              0,  0, 0, 0, 0, 0,   0,   0,   0,    0,   0,    0,   200, -100,
                              300, -200, 400, 100, 0, 0}));
  // Exactly six values: the given end zoom, its start copied, mode 0.
  ASSERT_EQ(Start(5, 64, {10, 30, -20, 4, 5, 250}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 38),
            (std::vector<int>{10, 30, -20, 4, 5, 250, 250, 0, 100}));
  // One tint value makes a grey, and the start tint copies the end.
  ASSERT_EQ(Start(5, 64, {10, 0, 0, 0, 0, 100, 100, 0, 100, 100, 0, 0, 0, 0, 0, 0, 1, 40}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 46, record.v + 52),
            (std::vector<int>{40, 40, 40, 40, 40, 40}));
}

TEST_F(TurnTest, TurnAnglesComeRoundEveryFullCircle) {
  ChannelPicture(5, kW, kH, Coordinates);
  DrawAt(64, {10, 270});
  const std::vector<uint32_t> turned = Screen();
  for (int angle : {-90, 630, -450}) {
    DrawAt(64, {10, angle});
    EXPECT_EQ(Screen(), turned) << angle;
  }
  // A quarter turn: the screen's centre column shows the picture's centre row.
  EXPECT_EQ(At(kW / 2, kH / 2), Coordinates(kW / 2, kH / 2));
  EXPECT_NE(turned, (DrawAt(64, {10, 0}), Screen()));
}

TEST_F(TurnTest, TurnZoomsAboutThePictureCentre) {
  ChannelPicture(5, kW, kH, Coordinates);
  DrawAt(64, {10, 0, 0, 0, 0, 200});
  // (X - 32) / 2 + 32.5, floored.
  EXPECT_EQ(At(30, 24), Coordinates(31, 24));
  EXPECT_EQ(At(31, 25), Coordinates(32, 25));
  EXPECT_EQ(At(33, 27), Coordinates(33, 26));
  EXPECT_EQ(At(0, 0), Coordinates(16, 12));
  // Zooms below 1 % are 1 %.
  DrawAt(64, {10, 0, 0, 0, 0, 1});
  const std::vector<uint32_t> onePercent = Screen();
  DrawAt(64, {10, 0, 0, 0, 0, 0});
  EXPECT_EQ(Screen(), onePercent);
  DrawAt(64, {10, 0, 0, 0, 0, INT_MIN});
  EXPECT_EQ(Screen(), onePercent);
}

TEST_F(TurnTest, TurnAtTheSmallestZoomShowsOneCopyOnAWideScreen) {
  // 100 source pixels per screen pixel: in 32 bits the position would wrap
  // every 655 pixels and show the picture again far from the centre.
  UseScreen(1600, 8);
  ChannelPicture(5, 1600, 8, Coordinates);
  DrawAt(64, {10, 0, 0, 0, 0, 1});
  EXPECT_EQ(Changed(), 16);
  for (int x = 0; x < 1600; ++x)
    if (At(x, 4) != kClear) {
      EXPECT_GE(x, 792);
      EXPECT_LT(x, 808);
    }
  EXPECT_EQ(At(800, 4), Coordinates(800, 4));
}

TEST_F(TurnTest, TurnFollowsItsPath) {
  ChannelPicture(5, 4, 4, [](int, int) { return 0xFF0000u; });
  // Quadratic through (0, 0), (8, -8), (16, 4) at half way: (8, -3), which
  // adding 0.5 and truncating makes (8, -2).
  std::vector<int> values = {10, 0, 0, 0, 0, 100, 100, 0, 100, 100, 0, 0, 0, 0, 0, 0, 0,
                             0,  0, 0, 0, 0, 0,   0,   0, 2,   0,   0, 8, -8, 16, 4};
  DrawAt(64, values, 5);
  EXPECT_EQ(Changed(), 16);
  EXPECT_EQ(At(kW / 2 - 2 + 8, kH / 2 - 2 - 2), 0xFF0000u);
  EXPECT_EQ(At(kW / 2 - 2 + 8, kH / 2 - 2 - 3), kClear);
  // Kinds other than 2 and 3 stay where they are.
  values[25] = 4;
  DrawAt(64, values, 5);
  EXPECT_EQ(At(kW / 2 - 2, kH / 2 - 2), 0xFF0000u);
}

TEST_F(TurnTest, TurnMaskModeAtFullOpacity) {
  MaskedPicture();
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 2});
  EXPECT_EQ(At(3, 3), 0x204060u);  // 255: (255 * 256) >> 8 = 255, written as it is
  EXPECT_EQ(At(8, 3), kClear);     // 0: left alone
  // 128 over 256 - 128, each product shifted on its own.
  EXPECT_EQ(At(20, 3), blendrows::BlendApart256(kClear, 0x204060u, 128));
  // Opacity beyond 100 % acts as 100 %, below 0 % as 0 %.
  const std::vector<uint32_t> full = Screen();
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 2, 400});
  EXPECT_EQ(Screen(), full);
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 2, -50});
  EXPECT_EQ(At(3, 3), kClear);
  // Half: a = (255 * 128) >> 8 = 127.
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 2, 50});
  EXPECT_EQ(At(3, 3), blendrows::BlendApart256(kClear, 0x204060u, 127));
}

TEST_F(TurnTest, TurnKeysWhereThereIsNoMaskAndDrawsOtherModesOpaque) {
  ChannelPicture(5, kW, kH, [](int x, int) { return x < 4 ? 0x111111u : 0x222222u; });
  for (int mode : {1, 2}) {
    DrawAt(64, {10, 0, 0, 0, 0, 100, 100, mode});
    EXPECT_EQ(At(2, 2), kClear) << mode;
    EXPECT_EQ(At(9, 2), 0x222222u) << mode;
  }
  for (int mode : {3, -1, INT_MAX}) {
    DrawAt(64, {10, 0, 0, 0, 0, 100, 100, mode});
    EXPECT_EQ(At(2, 2), 0x111111u) << mode;
  }
}

TEST_F(TurnTest, TurnTintsAfterTheKeyTestAndHoldsTheTint) {
  ChannelPicture(5, kW, kH, [](int x, int) { return x < 4 ? 0x808080u : 0x406080u; });
  // +255 red, -255 green, +16 blue: saturating add, then subtract.
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 1, 100, 100, 0, 0, 0, 0, 0, 0, 1, 255, -255, 16});
  EXPECT_EQ(At(2, 2), kClear);  // the key, compared untinted
  EXPECT_EQ(At(9, 2), 0xFF0090u);
  // Parts beyond a byte act as +-255.
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 0, 100, 100, 0, 0, 0, 0, 0, 0, 1, 9999, INT_MIN, 16});
  EXPECT_EQ(At(9, 2), 0xFF0090u);
  // The tint runs from its start to its end value; the switch turns it off.
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 0, 100, 100, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 100, 0, 0}, 5);
  EXPECT_EQ(At(9, 2), 0x726080u);
  DrawAt(64, {10, 0, 0, 0, 0, 100, 100, 0, 100, 100, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255});
  EXPECT_EQ(At(9, 2), 0x406080u);
}

// --- #65 ---

TEST_F(TurnTest, StretchBltScalesAboutTheAnchor) {
  ChannelPicture(5, 20, 10, Coordinates);
  const int at[4] = {3, 2, 20, 10};
  manager_->SetRect(5, 5, at);
  // 50 % by 100 % about the picture's centre: 10 x 10 at (30, 21).
  DrawAt(65, {10, 0, 0, 50, 100});
  EXPECT_EQ(Changed(), 100);
  EXPECT_EQ(At(30, 21), Coordinates(0, 0));
  EXPECT_EQ(At(31, 22), Coordinates(2, 1));
  EXPECT_EQ(At(39, 30), Coordinates(18, 9));
  EXPECT_EQ(At(29, 21), kClear);
  EXPECT_EQ(At(40, 21), kClear);
  // Clipped at the left edge, the span starts further into the picture.
  const int left[4] = {-33, 0, 20, 10};
  manager_->SetRect(5, 5, left);
  DrawAt(65, {10, 0, 0, 100, 100});
  EXPECT_EQ(At(0, 19), Coordinates(11, 0));
  EXPECT_EQ(Changed(), 9 * 10);
}

TEST_F(TurnTest, StretchBltDrawsAZeroScaleAtATenthOfAPercent) {
  ChannelPicture(5, kW, kH, Coordinates);
  DrawAt(65, {10, 0, 0, 0, 0});
  EXPECT_EQ(Changed(), 1);
  EXPECT_EQ(At(kW / 2 - 1, kH / 2 - 1), Coordinates(0, 0));
  const std::vector<uint32_t> tenth = Screen();
  DrawAt(65, {10, 0, 0, INT_MIN, -1});
  EXPECT_EQ(Screen(), tenth);
}

TEST_F(TurnTest, StretchBltMaskModes) {
  MaskedPicture();
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 2});
  EXPECT_EQ(At(3, 3), 0x204060u);
  EXPECT_EQ(At(8, 3), kClear);
  EXPECT_EQ(At(20, 3), blendrows::BlendApart255(kClear, 0x204060u, 128));
  // Below full opacity even mask 255 blends: a = (255 * 128) >> 8.
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 2, 50});
  EXPECT_EQ(At(3, 3), blendrows::BlendApart255(kClear, 0x204060u, 127));
  EXPECT_EQ(At(8, 3), kClear);
  EXPECT_EQ(At(20, 3), blendrows::BlendApart255(kClear, 0x204060u, 64));
  // Opacity is held to 0..100 %.
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 2, INT_MAX});
  EXPECT_EQ(At(3, 3), 0x204060u);
  // Mode 1 keys on the top-left pixel; no mask plane turns mode 2 into it.
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 1});
  EXPECT_EQ(At(3, 3), kClear);
  manager_->GetPicture(5)->SetMaskFlag(0);
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 2});
  EXPECT_EQ(At(3, 3), kClear);
  DrawAt(65, {10, 0, 0, 100, 100, 100, 100, 0, 0, 7});
  EXPECT_EQ(At(3, 3), 0x204060u);
}

TEST_F(TurnTest, StretchBltStoresItsDefaults) {
  const EffectChannel& record = *manager_->GetChannel(5);
  ASSERT_EQ(Start(5, 65, {10, 1, 2, 30, 40}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 54),
            (std::vector<int>{10, 1, 2, 30, 40, 30, 40, 0, 0, 0, 100, 100, 0,
                              0,  0, 0, 0,  0,  0,  0,  0, 0, 0, 0,   0}));
}

// --- Both, and what neither may do ---

TEST_F(TurnTest, NothingIsDrawnWithoutAPictureToDraw) {
  for (int number : {64, 65}) {
    ChannelPicture(5, kW, kH, Coordinates);
    manager_->GetChannel(5)->PictureNumber() = -1;
    ASSERT_EQ(Start(5, number, {}), 1);
    manager_->PrintRange(5, 5, 0, 1);
    std::fill_n(CScreenBuffer::GetBuffer(), size_t{kW} * kH, kClear);
    manager_->PrintRange(5, 5, 0, 1);
    EXPECT_EQ(Changed(), 0) << number;
    std::string error;
    dwqtool::Picture grey{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x404040), {}};
    ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(5), grey, dir_->path(),
                                                   &error, true));
    manager_->SetPicture(5, 5);
    DrawAt(number, {});
    EXPECT_EQ(Changed(), 0) << number;
  }
}

TEST_F(TurnTest, ExtremeValuesStayDefined) {
  ChannelPicture(5, kW + 7, kH - 5, Coordinates, Opaque);
  const int at[4] = {INT_MAX, INT_MIN, kW, kH};
  for (int number : {64, 65})
    for (int v : {INT_MIN, INT_MAX, -1, 0, 1000000}) {
      std::vector<int> values(36, v);
      values[0] = 10;
      for (int counter : {0, 3, 10}) {
        manager_->SetRect(5, 5, at);
        DrawAt(number, values, counter);
        manager_->SetPicture(5, 5);
        DrawAt(number, values, counter);
      }
    }
}

}  // namespace
}  // namespace effect_test
