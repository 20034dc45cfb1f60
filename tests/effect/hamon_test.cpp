// #69, the ripple: its start values, the heights per distance, the
// cross-fade, the shared displacement map, the restore, and the records
// and sizes it must refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effect/effecthamon.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kGrey = 0x555555;
uint32_t First(int x, int y) { return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }
uint32_t Second(int x, int y) {
  return 0xC00000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x);
}

class HamonTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ChannelPicture(0, kW, kH, Second);
    ChannelPicture(4, kW, kH, First);
    Clear(kGrey);
  }
  CEffectHamon* Hamon() const { return static_cast<CEffectHamon*>(manager_->GetEffect(69)); }
  EffectChannel* Record() const { return manager_->GetChannel(4); }
  // Channel 4's frame at a counter.
  void DrawAt(int counter) {
    Record()->Counter() = counter;
    Hamon()->Print(Record(), 4);
  }
  // A new screen and manager of that size, channel 4 holding a picture of
  // it whose pixels count from 0.
  void Rescreen(int w, int h) {
    manager_.reset();
    screen_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
    ChannelPicture(4, w, h, [w](int x, int y) { return static_cast<uint32_t>(y * w + x); });
  }
  int16_t Height(int i) const { return static_cast<int16_t>(Hamon()->RadiusTable()[i] & 0xFFFF); }
};

TEST_F(HamonTest, DefaultsAndLimits) {
  ASSERT_EQ(Start(4, 69, {}), 1);
  const int want[] = {20, 0, kW / 2, kH / 2, 20, 30, 10, 8, 100, 100, 0, 0, 100, 0, 0, 0, 0};
  for (int i = 0; i < 32; ++i) EXPECT_EQ(Record()->Param(i), i < 17 ? want[i] : 0) << i;
  EXPECT_EQ(Record()->EffectNumber(), 69);
  EXPECT_EQ(Record()->Duration(), 20);
  std::vector<int> values(40, 7);
  values[5] = 0;
  values[6] = -3;
  values[8] = 150;
  values[9] = 0;
  values[10] = 99;
  ASSERT_EQ(Start(4, 69, values), 1);
  EXPECT_EQ(Record()->Param(5), 1);
  EXPECT_EQ(Record()->Param(6), 1);
  EXPECT_EQ(Record()->Param(8), 100);
  EXPECT_EQ(Record()->Param(9), 1);
  EXPECT_EQ(Record()->Param(10), kH - 1);
  EXPECT_EQ(Record()->Param(31), 7);
  EXPECT_EQ(Record()->Param(32), 0) << "values past 32 are not taken";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Hamon()->Finish(Record(), 4), 0);
  EXPECT_EQ(Hamon()->CheckPrintPicture(Record(), 4), 0);
}

TEST_F(HamonTest, FirstFrameIsThePlainPicture) {
  ASSERT_EQ(Start(4, 69, {}), 1);
  Frame();
  EXPECT_TRUE([&] {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != First(x, y)) return false;
    return true;
  }());
}

TEST_F(HamonTest, HeightsLieBetweenTheFrontAndTheEndOfTheTrain) {
  // Front speed 10 at t = 5: the front at 50, the train to 50 - 110.
  ASSERT_EQ(Start(4, 69, {20}), 1);
  Hamon()->MakeRadiusTable(*Record(), 5);
  for (int i = 51; i < static_cast<int>(Hamon()->RadiusTable().size()); ++i)
    EXPECT_EQ(Hamon()->RadiusTable()[i], 0u) << i;
  // l = 15; i = 45: 5 behind the front, e = 7.5, phase (45 - 40) % 30 = 5,
  // cos = 0.5: 4. i = 30: e = 90 * 15 / 100, phase -10: -6.
  EXPECT_EQ(Hamon()->RadiusTable()[45], 0x04000400u);
  EXPECT_EQ(Hamon()->RadiusTable()[30], 0xFA00FA00u);
  // A shorter train: p12 = 20 leaves radii 20 or more behind the front flat.
  ASSERT_EQ(Start(4, 69, {20, 0, 32, 24, 20, 30, 10, 8, 100, 100, 0, 0, 20}), 1);
  Hamon()->MakeRadiusTable(*Record(), 5);
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(Hamon()->RadiusTable()[i], 0u) << i;
  EXPECT_NE(Hamon()->RadiusTable()[45], 0u);
}

TEST_F(HamonTest, HeightFallsOnePixelPerTimeUnit) {
  ASSERT_EQ(Start(4, 69, {40, 0, 32, 24, 20, 30, 1}), 1);  // slow front: all radii in the train
  for (int t : {19, 20, 30}) {
    Hamon()->MakeRadiusTable(*Record(), t);
    int most = 0;
    for (int i = 0; i < 60; ++i) most = std::max(most, std::abs(Height(i) / 256));
    EXPECT_EQ(most, t < 20 ? 1 : 0) << t;
  }
}

TEST_F(HamonTest, HeightsBeyond127PixelsAreCutTo16Bits) {
  ASSERT_EQ(Start(4, 69, {20, 0, 32, 24, 1000, 30, 10, 8, 0}), 1);
  Hamon()->MakeRadiusTable(*Record(), 1);
  // i = 5: e = 500, cos (-3 / 30 turn) = 0.809: h = 405, 405 * 256 = 0x19500.
  EXPECT_EQ(Hamon()->RadiusTable()[5], 0x95009500u);
}

TEST_F(HamonTest, CrossFadesIntoChannelZeroOverTheDuration) {
  // Height 0: no displacement, the pure cross-fade.
  ASSERT_EQ(Start(4, 69, {20, 0, 32, 24, 0}), 1);
  struct Case {
    int counter, w1, w2;
  } cases[] = {{0, 256, 0}, {10, 128, 128}, {5, 192, 64}, {20, 0, 256}, {25, 0, 256}};
  for (const Case& c : cases) {
    DrawAt(c.counter);
    for (int y = 0; y < kH; y += 5)
      for (int x = 0; x < kW; x += 3) {
        uint32_t want = 0;
        for (int s = 0; s < 24; s += 8)
          want |=
              std::min<uint32_t>(
                  255,
                  (((First(x, y) >> s) & 0xFF) * c.w1 + ((Second(x, y) >> s) & 0xFF) * c.w2) >> 8)
              << s;
        ASSERT_EQ(At(x, y), want) << c.counter << " at " << x << "," << y;
      }
  }
  // p1 = -1: the picture fades into itself.
  ASSERT_EQ(Start(4, 69, {20, -1, 32, 24, 0}), 1);
  DrawAt(10);
  EXPECT_EQ(At(7, 9), First(7, 9));
}

TEST_F(HamonTest, DisplacementFollowsTheDirectionFromTheCentre) {
  // Slow front, no loss, the fade not begun: at t = 3 the ring at radius
  // 0..3 is displaced. Pixel (34, 24) lies 2 right of the centre: moved by
  // floor(256 * A / 65536) with A its height.
  ASSERT_EQ(Start(4, 69, {20, -1, 32, 24, 100, 30, 1, 0, 0, 100, 0, 100}), 1);
  DrawAt(3);
  const int h = Height(2);
  ASSERT_NE(h, 0);
  const int dd = (256 * h) >> 16;
  EXPECT_EQ(At(34, 24), First(34 + dd, 24));
  EXPECT_EQ(At(32, 20), First(32, 20)) << "radius 4 is ahead of the front";
  // Points moved outside the picture sample black: with crests at speed 15
  // radius 1 dips (-19 pixels) and pixel (1, 0) reads left of the corner.
  ASSERT_EQ(Start(4, 69, {20, -1, 0, 0, 100, 30, 1, 15, 0, 100, 0, 100}), 1);
  DrawAt(3);
  EXPECT_EQ(Height(1), -19 * 256);
  EXPECT_EQ(At(1, 0), 0u);
  // With the fade begun, the picture fading into itself loses a little:
  // at t = 3 of 20 the weights are 217 and 38.
  ASSERT_EQ(Start(4, 69, {20, -1, 32, 24, 0}), 1);
  DrawAt(3);
  EXPECT_EQ(At(40, 30), First(40 * 255 / 256, 30 * 255 / 256));
}

TEST_F(HamonTest, OneMapServesUntilTheCentreOrBandChanges) {
  ASSERT_EQ(Start(4, 69, {}), 1);
  const int builds = Hamon()->MapBuilds();
  ASSERT_EQ(Start(5, 69, {10}), 1);
  EXPECT_EQ(Hamon()->MapBuilds(), builds) << "same centre and band";
  ASSERT_EQ(Start(5, 69, {10, 0, 3, 4}), 1);
  EXPECT_EQ(Hamon()->MapBuilds(), builds + 1);
  ASSERT_EQ(Start(5, 69, {10, 0, 3, 4, 20, 30, 10, 8, 100, 100, 5}), 1);
  EXPECT_EQ(Hamon()->MapBuilds(), builds + 2);
  // Channel 4 now draws with channel 5's centre (3, 4): pixel (3, 4) is the
  // map's centre, its direction 0.
  const uint32_t dir = static_cast<uint32_t>(Hamon()->Map()[Hamon()->GroupsPerRow() * 4 * 6 + 3]);
  EXPECT_EQ(dir, 0u);
}

TEST_F(HamonTest, RestoreStartsAgainFromTimeZero) {
  ASSERT_EQ(Start(4, 69, {30, -1, 10, 12, 9}), 1);
  Record()->Counter() = 17;
  Hamon()->Restore(Record(), 4);
  EXPECT_EQ(Record()->Counter(), 0);
  EXPECT_EQ(Record()->Duration(), 30);
  EXPECT_EQ(Record()->Param(2), 10);
  EXPECT_EQ(Record()->Param(4), 9);
}

// A record that reached Print before any start made the map
// (a loaded game drawn before its effects were restored) read a null map.
TEST_F(HamonTest, NothingIsDrawnBeforeAStartMadeTheMap) {
  ASSERT_FALSE(Hamon()->IsMapValid());
  EffectChannel* r = Record();
  r->Active() = 1;
  r->EffectNumber() = 69;
  r->Duration() = 20;
  r->Counter() = 5;
  for (int i = 0; i < 17; ++i) r->Param(i) = i == 0 ? 20 : i == 5 || i == 6 ? 10 : 0;
  Hamon()->Print(r, 4);
  EXPECT_TRUE(ScreenIs(kGrey));
  Hamon()->Restore(r, 4);
  Hamon()->Print(r, 4);
  EXPECT_FALSE(ScreenIs(kGrey));
}

// A second-picture channel outside 0..15 (other than -1)
// reached the draw position lookup; it names a missing picture.
TEST_F(HamonTest, SecondChannelOutsideTheChannelsDrawsNothing) {
  for (int p1 : {16, -2, 1000}) {
    ASSERT_EQ(Start(4, 69, {20, p1}), 1);
    DrawAt(3);
    EXPECT_TRUE(ScreenIs(kGrey)) << p1;
  }
  // No picture on the channel and no saved screen asked for: nothing.
  ASSERT_EQ(Start(4, 69, {20}), 1);
  manager_->SetPicture(4, -1);
  ASSERT_EQ(Start(4, 69, {20}), 1);
  DrawAt(3);
  EXPECT_TRUE(ScreenIs(kGrey));
}

// The map held width / 4 groups per row, so at a width that
// is not a multiple of 4 the last pixels of a row read the next row's
// records and the last row read past the map.
TEST_F(HamonTest, OddScreenSizesKeepEveryPixelsOwnRecord) {
  constexpr int w = 801, h = 601;
  Rescreen(w, h);
  ASSERT_EQ(Start(4, 69, {20, -1, 400, 300, 20, 30, 40, 8, 0, 100, 0, 0, 400}), 1);
  Record()->Counter() = 10;
  Hamon()->Print(Record(), 4);
  // Each pixel of the last columns and the last row against its own
  // direction and distance from the centre.
  auto check = [&](int x, int y) {
    const double dx = x - 400, dy = y - 300;
    const double dist = std::sqrt(std::max(dx * dx + dy * dy, 1.0));
    const int ux = static_cast<int>(dx * 256 / dist + 0.5),
              uy = static_cast<int>(dy * 256 / dist + 0.5);
    const int r = static_cast<int>(dist + 0.5);
    const int a = Height(r);
    const int sx = x + ((ux * a) >> 16), sy = y + ((uy * a) >> 16);
    const uint32_t want =
        sx < 0 || sy < 0 || sx >= w || sy >= h ? 0u : static_cast<uint32_t>(sy * w + sx);
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * w + x] == want;
  };
  int displaced = 0;
  for (int y = 0; y < h; ++y)
    for (int x = w - 5; x < w; ++x) {
      ASSERT_TRUE(check(x, y)) << x << "," << y;
      displaced += Height(static_cast<int>(std::hypot(x - 400, y - 300) + 0.5)) != 0;
    }
  for (int x = 0; x < w; ++x) ASSERT_TRUE(check(x, h - 1)) << x;
  EXPECT_GT(displaced, 0);
}

TEST_F(HamonTest, FramesGiveThePlainLoopsBytes) {
  struct Case {
    int w, h;
    std::vector<int> values;
    int counter;
  } cases[] = {
      {kW, kH, {20, 0, 20, 10, 60, 9, 3, 5, 0, 100, 0, 0, 30}, 7},        // two pictures, mid-fade
      {kW, kH, {20, -1, 10, 40, 300, 4, 2, -3, 10, 100, 0, 5, 80}, 12},   // big heights
      {kW, kH, {20, 0, 32, 24, 20, 30, 10, 8, 100, 100, 0, 0, 100}, 20},  // the end
      {37, 35, {9, -1, 5, 30, 40, 7, 5, 2, 0, 100, 0, 0, 20}, 4},         // odd screen
  };
  for (const Case& c : cases) {
    if (c.w != kW) Rescreen(c.w, c.h);
    manager_->GetChannel(0)->DrawRect()[0] = 3;  // the second picture moved
    ASSERT_EQ(Start(4, 69, c.values), 1);
    Record()->Counter() = c.counter;
    const size_t n = static_cast<size_t>(c.w) * c.h;
    Hamon()->PrintPlain(Record(), 4);
    const std::vector<uint32_t> plain(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + n);
    std::fill_n(CScreenBuffer::GetBuffer(), n, kGrey);
    Hamon()->Print(Record(), 4);
    EXPECT_EQ(std::vector<uint32_t>(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + n),
              plain)
        << c.w << "x" << c.h << " at " << c.counter;
  }
}

TEST_F(HamonTest, ScreensBelow32PixelsDrawNothing) {
  for (auto [w, h] : {std::pair{31, 48}, {48, 31}, {32, 32}}) {
    Rescreen(w, h);
    ASSERT_EQ(Start(4, 69, {20, -1}), 1);
    std::fill_n(CScreenBuffer::GetBuffer(), w * h, kGrey);
    Hamon()->Print(Record(), 4);
    EXPECT_EQ(CScreenBuffer::GetBuffer()[0] == kGrey, w < 32 || h < 32) << w << "x" << h;
  }
}

}  // namespace
}  // namespace effect_test
