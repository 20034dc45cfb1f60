#include "effect/effectmovemaskwipe.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "effect_fixture.h"
#include "graphics/screenbuffer.h"

namespace effect_test {
namespace {

constexpr uint32_t kClear = 0xABCDEF;
// Source and target: every pixel names its place, the target's red high.
uint32_t Source(int x, int y) { return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }
uint32_t Target(int x, int y) { return 0xC00000u | Source(x, y); }
// A mask pixel of blue b and green g (red unused).
uint32_t Bend(int b, int g) { return 0x550000u | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b); }

// Per byte (source * (128 - h) >> 7) + (target * h >> 7).
uint32_t Mix(uint32_t a, uint32_t b, int h) {
  uint32_t out = 0;
  for (int c = 0; c < 32; c += 8) {
    const uint32_t v = ((((a >> c) & 0xFF) * (128 - h)) >> 7) + ((((b >> c) & 0xFF) * h) >> 7);
    out |= std::min(v, 255u) << c;
  }
  return out;
}

class MoveMaskWipeTest : public EffectTest {
 protected:
  // Source on channel 5, target on 6, a mask of one colour on 7.
  void Pictures(uint32_t bend, int extra = 0) {
    ChannelPicture(5, kW + extra, kH + extra, Source);
    ChannelPicture(6, kW + extra, kH + extra, Target);
    ChannelPicture(7, kW, kH, [bend](int, int) { return bend; });
  }
  // Progress d = counter with a duration of 512.
  void DrawAt(std::vector<int> values, int counter) {
    ASSERT_EQ(Start(5, 101, values), 1);
    manager_->GetChannel(5)->Counter() = counter;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 1);
  }
};

TEST_F(MoveMaskWipeTest, GreyMaskGivesAPlainCrossFade) {
  Pictures(Bend(128, 128));
  for (int d : {1, 100, 256, 511}) {
    DrawAt({512, 6, 7}, d);
    const int h = std::min(d / 2, 256) / 2;
    for (int y = 0; y < kH; y += 7)
      for (int x = 0; x < kW; x += 5)
        ASSERT_EQ(At(x, y), Mix(Source(x, y), Target(x, y), h)) << d << " " << x << "," << y;
  }
}

// The row loops give the per-pixel frame's bytes: a noise of bends at
// every progress step that draws, pictures larger than the screen and moved,
// soft and hard switching.
TEST_F(MoveMaskWipeTest, RowsMatchThePixelLoop) {
  auto noise = [](int x, int y) { return effect_test::NoisePixel(x, y); };
  ChannelPicture(5, kW + 9, kH + 4, [&](int x, int y) { return noise(x, y); });
  ChannelPicture(6, kW + 3, kH + 11, [&](int x, int y) { return noise(y + 7, x); });
  ChannelPicture(7, kW, kH, [&](int x, int y) { return noise(x * 3, y * 5) >> 8; });
  manager_->GetChannel(5)->DrawRect()[0] = -4;
  manager_->GetChannel(6)->DrawRect()[1] = -6;
  auto* wipe = static_cast<CEffectMoveMaskWipe*>(manager_->GetEffect(101));
  for (int hard : {0, 1})
    for (int d : {1, 77, 255, 256, 300, 511}) {
      ASSERT_EQ(Start(5, 101, {512, 6, 7, 0, 0, 0, 0, hard}), 1);
      manager_->GetChannel(5)->Counter() = d;
      Clear(kClear);
      wipe->Print(manager_->GetChannel(5), 5);
      const std::vector<uint32_t> rows(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
      Clear(kClear);
      wipe->PrintPlain(manager_->GetChannel(5), 5);
      const std::vector<uint32_t> plain(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
      ASSERT_EQ(rows, plain) << "progress " << d << " hard " << hard;
    }
}

TEST_F(MoveMaskWipeTest, EndsShowThePlainPicturesAtTheOrigin) {
  Pictures(Bend(255, 0), 20);
  const int at[4] = {-7, -5, kW, kH};
  for (int channel : {5, 6, 7}) manager_->SetRect(channel, 5, at);
  DrawAt({512, 6, 7}, 0);
  EXPECT_EQ(At(0, 0), Source(0, 0));
  EXPECT_EQ(At(kW - 1, kH - 1), Source(kW - 1, kH - 1));
  DrawAt({512, 6, 7}, 512);
  EXPECT_EQ(At(0, 0), Target(0, 0));
  // Between them the windows follow the draw positions.
  DrawAt({512, 6, 7, 0, 0, 0, 0, 1}, 100);
  EXPECT_EQ(At(0, 0), Source(7 + 100 * 127 / 256, 5));
  // Finish puts the counter at the duration and asks for a redraw, again
  // and again.
  EffectChannel* record = manager_->GetChannel(5);
  record->Counter() = 3;
  EXPECT_EQ(manager_->GetEffect(101)->Finish(record, 5), 1);
  EXPECT_EQ(manager_->GetEffect(101)->Finish(record, 5), 1);
  EXPECT_EQ(record->Counter(), 512);
  // A plain picture smaller than the screen is not drawn at its end either.
  ChannelPicture(5, kW - 1, kH, Source);
  ChannelPicture(6, kW, kH - 1, Target);
  for (int d : {0, 512}) {
    DrawAt({512, 6, 7}, d);
    EXPECT_TRUE(ScreenIs(kClear)) << d;
  }
}

TEST_F(MoveMaskWipeTest, HardSwitchFlipsHalfWayWhileTheBendGoesOn) {
  Pictures(Bend(128 + 64, 128));
  // d / 2 = 127: still the source, bent by (64 * 254) >> 8 = 63.
  DrawAt({512, 6, 7, 0, 0, 0, 0, 1}, 254);
  EXPECT_EQ(At(0, 3), Source(63, 3));
  DrawAt({512, 6, 7, 0, 0, 0, 0, 1}, 256);
  EXPECT_EQ(At(0, 3), Target(63, 3));  // 64 to the right, held to the last column
  // Without the switch half way is an even mix.
  DrawAt({512, 6, 7}, 256);
  EXPECT_EQ(At(0, 3), Mix(Source(63, 3), Target(63, 3), 64));
}

TEST_F(MoveMaskWipeTest, FullBlueSamples127PixelsRightClampedAtTheEdge) {
  manager_.reset();
  screen_ = std::make_unique<CScreenBuffer>(200, 4, 0);
  manager_ = std::make_unique<CEffectManager>(kExtra);
  ChannelPicture(5, 200, 4, Source);
  ChannelPicture(6, 200, 4, Target);
  ChannelPicture(7, 200, 4, [](int, int) { return Bend(255, 128); });
  ASSERT_EQ(Start(5, 101, {512, 6, 7, 0, 0, 0, 0, 1}), 1);
  manager_->GetChannel(5)->Counter() = 256;
  manager_->PrintRange(5, 5, 0, 1);
  EXPECT_EQ(At(10, 2), Target(137, 2));
  EXPECT_EQ(At(72, 2), Target(199, 2));
  EXPECT_EQ(At(73, 2), Target(199, 2));
  EXPECT_EQ(At(199, 2), Target(199, 2));
}

TEST_F(MoveMaskWipeTest, NoMaskNoTargetOrTooFewValuesDrawNothing) {
  Pictures(Bend(128, 128));
  // Pictures on the first and last channels, which a clamped channel
  // number would reach.
  ChannelPicture(0, kW, kH, [](int, int) { return Bend(128, 128); });
  ChannelPicture(15, kW, kH, [](int, int) { return Bend(128, 128); });
  // Mask channel -1 or beyond the channels: the screen keeps its pixels.
  for (int mask : {-1, 16, INT_MIN}) {
    DrawAt({512, 6, mask}, 200);
    EXPECT_TRUE(ScreenIs(kClear)) << mask;
    DrawAt({512, 6, mask}, 0);
    EXPECT_EQ(At(1, 1), Source(1, 1)) << mask;
  }
  // A target channel outside 0..15 is no target: not even the ends draw.
  for (int target : {-1, 16, INT_MAX})
    for (int d : {0, 200, 512}) {
      DrawAt({512, target, 7}, d);
      EXPECT_TRUE(ScreenIs(kClear)) << target << " at " << d;
    }
  // An 8-bit target between the ends.
  std::string error;
  dwqtool::Picture grey{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x404040), {}};
  ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(6), grey, dir_->path(),
                                                 &error, true));
  DrawAt({512, 6, 7}, 200);
  EXPECT_TRUE(ScreenIs(kClear));
  // A mask smaller than the screen.
  ChannelPicture(7, kW - 1, kH, [](int, int) { return Bend(128, 128); });
  DrawAt({512, 6, 7}, 200);
  EXPECT_TRUE(ScreenIs(kClear));
  // Fewer than three values: refused, the channel left as it was.
  manager_->ResetChannel(9);
  EXPECT_EQ(Start(9, 101, {10, 6}), 0);
  EXPECT_EQ(manager_->GetChannel(9)->Active(), 0);
  EXPECT_EQ(Start(9, 101, {}), 0);
  ASSERT_EQ(Start(9, 101, {10, 6, 7}), 1);
  const EffectChannel& record = *manager_->GetChannel(9);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 39),
            (std::vector<int>{10, 6, 7, 0, 0, 0, 0, 0, 100, 0}));
}

TEST_F(MoveMaskWipeTest, SavedScreenServesAsEitherPicture) {
  Pictures(Bend(128, 128));
  Clear(0x102030);
  manager_->GetScreen();
  DrawAt({512, 6, 7, 0, 0, 1}, 0);
  EXPECT_TRUE(ScreenIs(0x102030));
  DrawAt({512, 6, 7, 0, 0, 1}, 256);
  EXPECT_EQ(At(4, 4), Mix(0x102030, Target(4, 4), 64));
  // As the target the channel p1 does not matter.
  DrawAt({512, -1, 7, 0, 0, 0, 1}, 512);
  EXPECT_TRUE(ScreenIs(0x102030));
  DrawAt({512, -1, 7, 0, 0, 1, 1}, 300);
  EXPECT_TRUE(ScreenIs(Mix(0x102030, 0x102030, 75)));
}

TEST_F(MoveMaskWipeTest, ProgressPercentsAreScaledIn64Bits) {
  Pictures(Bend(128, 128));
  // p9 start 50 %, p8 end 50 %: half way from the first frame on.
  DrawAt({512, 6, 7, 0, 0, 0, 0, 0, 50, 50}, 0);
  EXPECT_EQ(At(2, 2), Mix(Source(2, 2), Target(2, 2), 64));
  // Huge percents are held to the int range, not wrapped into it.
  ASSERT_EQ(Start(5, 101, {512, 6, 7, 0, 0, 0, 0, 0, INT_MAX, INT_MIN}), 1);
  EXPECT_LE(CEffectMoveMaskWipe::Progress(*manager_->GetChannel(5)), INT_MIN + 1);
  manager_->GetChannel(5)->Counter() = 512;
  EXPECT_EQ(CEffectMoveMaskWipe::Progress(*manager_->GetChannel(5)), INT_MAX);
}

}  // namespace
}  // namespace effect_test
