// The moving-picture wipes: whole frames of each kind part way, the fall's
// gap, the reels' positions with a large maximum, the box and the zoom,
// 8-bit pictures, and the circle wipe run by the simple-wipe effect.
#include "effect/wipemove.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "wipe_fixture.h"
#include "wipe_world.h"

namespace effect_test {
namespace {

using Pixel = std::function<uint32_t(int, int)>;

// Whole frames on a 64 x 48 screen: each pixel from the old or the new
// picture at a moved position.
TEST(MoveWipes, FramesPartWay) {
  WipeWorld world(64, 48);
  const auto o = WorldOld;
  const auto n = WorldNew;
  struct Case {
    int number, p, max;
    Pixel want;
  } cases[] = {
      // Move from the top, right and left: the old picture stays in place.
      {10, 1, 4, [&](int x, int y) { return y < 12 ? n(x, y + 36) : o(x, y); }},
      {11, 1, 4, [&](int x, int y) { return x < 48 ? o(x, y) : n(x - 48, y); }},
      {13, 1, 4, [&](int x, int y) { return x < 16 ? n(x + 48, y) : o(x, y); }},
      // Doors: top and bottom, left and right, half closed.
      {18, 1, 2,
       [&](int x, int y) { return y < 12 ? n(x, y + 12) : y < 36 ? o(x, y) : n(x, y - 12); }},
      {19, 1, 2,
       [&](int x, int y) { return x < 16 ? n(x + 16, y) : x < 48 ? o(x, y) : n(x - 16, y); }},
      // Push from the top half way: the new picture's lower half above the
      // old one's upper half; from the right a quarter.
      {61, 1, 2, [&](int x, int y) { return y < 24 ? n(x, y + 24) : o(x, y - 24); }},
      {62, 1, 4, [&](int x, int y) { return x < 48 ? o(x + 16, y) : n(x - 48, y); }},
      // The fall: gap 3 in the first bounce; falling out with gap 39.
      {23, 10, 17, [&](int x, int y) { return y < 45 ? n(x, y + 3) : o(x, y); }},
      {23, 9, 17, n},
      {73, 4, 17, [&](int x, int y) { return y < 9 ? n(x, y) : o(x, y - 9); }},
      // Two reels at step 7 of 10: strip 0 at rest, strip 1 one step
      // before (columns: moving up and down; rows: sideways).
      {69, 7, 10,
       [&](int x, int y) { return x < 32 ? n(x, y) : y < 43 ? n(x, y + 5) : o(x, y - 43); }},
      {74, 7, 10,
       [&](int x, int y) { return y < 24 ? n(x, y) : x < 57 ? n(x + 7, y) : o(x - 57, y); }},
      {72, 9, 10, n},
      // The zoom: at the midpoint the new picture's central quarter four
      // times enlarged; a quarter of the way the window (12, 9)-(52, 39)
      // of the old picture at 0.625 steps.
      {80, 1, 2, [&](int x, int y) { return n(24 + x / 4, 18 + y / 4); }},
      {80, 1, 4,
       [&](int x, int y) { return o(12 + (x * 40960 >> 16), 9 + (y * 40960 >> 16)); }},
  };
  for (const Case& c : cases) {
    world.Clear(0);
    world.Draw(c.number, c.p, c.max);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(world.At(x, y), c.want(x, y))
            << c.number << " at " << c.p << "/" << c.max << " pixel " << x << "," << y;
  }
}

TEST(MoveWipes, FallGapBouncesTwice) {
  struct Case {
    int p, max, want;
  } cases[] = {{0, 17, 48}, {4, 17, 39}, {9, 17, 0},  {10, 17, 3}, {15, 17, 0},
               {16, 17, 1}, {17, 17, 0}, {0, 1, 48}, {1, 1, 0},    {0, INT_MAX, 48}};
  for (const Case& c : cases)
    EXPECT_EQ(CEffectSimpleWipeGrav::Gap(c.p, c.max, 48), c.want) << c.p << "/" << c.max;
  // Every step of a large maximum stays within the screen.
  for (int p = INT_MAX / 17 * 9 - 5; p < INT_MAX / 17 * 9 + 5; ++p) {
    const int gap = CEffectSimpleWipeGrav::Gap(p, INT_MAX, 600);
    EXPECT_TRUE(gap >= 0 && gap <= 600) << p;
  }
}

// E^2 (2c + 1) S passed 64 bits for maxima near the int
// range. Each reel starts on the old picture and rests on the new one at
// its own step, whatever the maximum.
TEST(MoveWipes, ReelPositionsWithALargeMaximum) {
  for (int max : {10, 10000, INT_MAX}) {
    for (int n = 2; n <= 5; ++n) {
      for (int i = 0; i < n; ++i) {
        const int rest = static_cast<int>(std::max<int64_t>(int64_t{max} - 1 + i - n, 1));
        EXPECT_EQ(CEffectSimpleWipeSlot::Position(i, n, 600, 0, max), 0) << max << " " << i;
        EXPECT_EQ(CEffectSimpleWipeSlot::Position(i, n, 600, rest, max), 600) << max << " " << i;
        const int64_t u = CEffectSimpleWipeSlot::Position(i, n, 600, max / 3, max);
        EXPECT_TRUE(u >= 0 && u < 1200) << max << " " << i;
      }
    }
  }
  WipeWorld world(80, 60);
  world.Draw(71, 0, INT_MAX);
  EXPECT_TRUE(world.Shows(world.Old()));
  world.Draw(71, INT_MAX - 1, INT_MAX);
  EXPECT_TRUE(world.Shows(world.New()));
}

// The box at half way: the new picture's own window (at its offset)
// shrunk into the middle, opaque over the old picture's rest (mode 0) or
// blended over the whole old picture at 50 percent (mode 1).
TEST(MoveWipes, BoxFromTheCentre) {
  WipeWorld world(64, 48, 8);
  const int offset[2] = {5, 3};
  for (int mode : {0, 1}) {
    world.Clear(0);
    world.Old()->Blt(0, 0, 0, 0, 64, 48, 0);
    world.New()->StretchBlt(16, 12, 32, 24, 5, 3, 64, 48, mode ? 50 : 100, mode);
    const auto want = world.Screen();
    world.Clear(0);
    world.Draw(84 + 2 * mode, 1, 2, false, nullptr, offset);
    EXPECT_EQ(world.Screen(), want) << mode;
  }
  world.Draw(84, 0, 2);
  EXPECT_TRUE(world.Shows(world.Old()));
}

// The five kinds that draw only through the picture blits take 8-bit
// pictures; the box and the zoom draw nothing with them.
TEST_F(WipeTest, EightBitPicturesMoveButDoNotScale) {
  auto palette = [&](int channel, uint32_t colour) {
    dwqtool::Picture p{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, colour), {}};
    std::string error;
    EXPECT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(channel), p, dir_->path(),
                                                   &error, true));
    EXPECT_TRUE(manager_->GetPicture(channel)->Get256Flag());
    return manager_->GetPicture(channel);
  };
  CPicture* from = palette(6, 0x00FF00);
  CPicture* to = palette(7, 0x0000FF);
  for (int n : {10, 11, 14, 18, 21, 23, 61, 64, 69, 73, 77}) {
    Clear(0x555555);
    Table()->Print(n, from, to, 0, 4, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(0x00FF00)) << n;
    Table()->Print(n, from, to, 4, 4, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(0x0000FF)) << n;
  }
  for (int n : {80, 84, 87}) {
    Clear(0x555555);
    Table()->Print(n, from, to, 1, 2, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(0x555555)) << n;
  }
}

// The simple-wipe effect with (30, 6): the circle from this channel's
// picture to channel 13's over 30 frames.
TEST_F(WipeTest, SimpleWipeRunsTheCircle) {
  ChannelPicture(5, kW, kH, OldPx);
  CPicture* own = manager_->GetPicture(5);
  CPicture* to = NewPicture();
  ASSERT_EQ(Start(5, 59, {30, 6}), 1);
  EXPECT_EQ(manager_->GetChannel(5)->Duration(), 30);
  for (int counter : {0, 10, 15, 30}) {
    Clear(0x555555);
    Table()->Print(6, own, to, counter * 10000 / 30, 10000, nullptr, nullptr);
    const std::vector<uint32_t> want(CScreenBuffer::GetBuffer(),
                                     CScreenBuffer::GetBuffer() + kW * kH);
    manager_->GetChannel(5)->Counter() = counter;
    Clear(0x555555);
    manager_->PrintRange(5, 5, 0, 0);
    EXPECT_EQ(std::vector<uint32_t>(CScreenBuffer::GetBuffer(),
                                    CScreenBuffer::GetBuffer() + kW * kH),
              want)
        << counter;
  }
  EXPECT_TRUE(ScreenMatches(NewPx));
  manager_->GetChannel(5)->Counter() = 15;
  manager_->PrintRange(5, 5, 0, 0);
  EXPECT_EQ(At(kW / 2, kH / 2), NewPx(kW / 2, kH / 2));
  EXPECT_EQ(At(0, 0), OldPx(0, 0));
}

}  // namespace
}  // namespace effect_test
