#include "effect/geoeffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "effect_fixture.h"
#include "graphics/allgeo.h"

namespace effect_test {
namespace {

constexpr uint32_t kBackground = 0x102030;

class GeoEffectTest : public EffectTest {
 protected:
  void Resize(int w, int h) {
    manager_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  static std::vector<uint32_t> Screen() {
    const uint32_t* p = CScreenBuffer::GetBuffer();
    return {p, p + static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight()};
  }
  static void Background() {
    std::fill_n(CScreenBuffer::GetBuffer(),
                static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(),
                kBackground);
  }
  // The effect on channel 5 at `counter`, drawn over the background.
  std::vector<uint32_t> Drawn(int number, int counter) {
    EffectChannel* record = manager_->GetChannel(5);
    record->Counter() = counter;
    Background();
    manager_->GetEffect(number)->Print(record, 5);
    return Screen();
  }
  // The background after `draw`.
  static std::vector<uint32_t> Expected(const std::function<void()>& draw) {
    Background();
    draw();
    return Screen();
  }
};

// --- Ellipses ---

TEST_F(GeoEffectTest, EllipsesWithoutValuesDrawAGreyDiscOfRadius100AtTheCentre) {
  Resize(400, 300);
  ASSERT_EQ(Start(5, 87, {}), 1);
  const std::vector<uint32_t> disc = Drawn(87, 0);
  EXPECT_EQ(disc, Expected([] { CAllGeo::TransCircleFill(200, 150, 100, 100, 128, 128, 128, 100); }));
  EXPECT_EQ(At(200, 150), 0x808080u);
  EXPECT_EQ(At(101, 150), 0x808080u);
  EXPECT_EQ(At(99, 150), kBackground);
  EXPECT_EQ(At(200, 49), kBackground);
  ASSERT_EQ(Start(5, 115, {}), 1);
  EXPECT_EQ(manager_->GetChannel(5)->EffectNumber(), 115);
  Drawn(115, 0);
  EXPECT_EQ(At(200, 150), 0x90A0B0u);  // 128 added per channel
  EXPECT_EQ(At(99, 150), kBackground);
  const EffectChannel& r = *manager_->GetChannel(5);
  EXPECT_EQ(std::vector<int>(r.v + 29, r.v + 54),
            (std::vector<int>{20, 200, 150, 100, 100, 128, 128, 128, 100, 200, 150, 0, 0, 100, 100,
                              0, 0, 128, 128, 128, 0, 0, 100, 0, 0}));
}

TEST_F(GeoEffectTest, EllipseQuantitiesRunFromStartToEndOnTheirOwnCurves) {
  // End centre (20, 20), radii 10, red, 100 %; start (40, 30), radii 4, blue,
  // 50 %; the radius curve reversed (code 100).
  ASSERT_EQ(Start(5, 87, {10, 20, 20, 10, 10, 255, 0, 0, 100, 40, 30, 0, 0, 4, 4, 100, 0, 0, 0,
                          255, 0, 0, 50}),
            1);
  EXPECT_EQ(Drawn(87, 5), Expected([] { CAllGeo::TransCircleFill(30, 25, 7, 7, 128, 0, 128, 75); }));
  EXPECT_EQ(Drawn(87, 10), Expected([] { CAllGeo::TransCircleFill(20, 20, 4, 4, 255, 0, 0, 100); }));
  // The same numbers added.
  ASSERT_EQ(Start(5, 115, {10, 20, 20, 10, 10, 255, 0, 0, 100, 40, 30, 0, 0, 4, 4, 100, 0, 0, 0,
                           255, 0, 0, 50}),
            1);
  EXPECT_EQ(Drawn(115, 5), Expected([] { CAllGeo::AddCircleFill(30, 25, 7, 7, 128, 0, 128, 75); }));
  EXPECT_EQ(manager_->GetEffect(115)->Finish(manager_->GetChannel(5), 5), 0);
}

// --- Rings ---

TEST_F(GeoEffectTest, RingsCoverTheAnnulusBetweenTheirEllipses) {
  Resize(400, 300);
  ASSERT_EQ(Start(5, 89, {}), 1);
  EXPECT_EQ(Drawn(89, 0), Expected([] {
              CAllGeo::TransTorusFill(200, 150, 100, 100, 200, 150, 50, 50, 128, 128, 128, 100);
            }));
  EXPECT_EQ(At(200, 150), kBackground);
  EXPECT_EQ(At(275, 150), 0x808080u);
  EXPECT_EQ(At(305, 150), kBackground);
  ASSERT_EQ(Start(5, 116, {}), 1);
  Drawn(116, 0);
  EXPECT_EQ(At(275, 150), 0x90A0B0u);
  EXPECT_EQ(At(200, 150), kBackground);
  // Every start value at mid-way: centres, radii, colour, strength.
  ASSERT_EQ(Start(5, 89, {10, 100, 100, 60, 60, 110, 100, 20, 20, 0, 0, 200, 100, 120, 140, 90, 80,
                          0, 0, 80, 40, 10, 30, 0, 0, 100, 50, 0, 0, 0, 40}),
            1);
  EXPECT_EQ(Drawn(89, 5), Expected([] {
              CAllGeo::TransTorusFill(110, 120, 70, 50, 100, 90, 15, 25, 50, 25, 100, 70);
            }));
}

// --- Rectangles ---

TEST_F(GeoEffectTest, BoxDrawsOnlyBetweenItsQuietFramesAndNeverReachesItsEnd) {
  const std::vector<int> values = {20, 5, 5, 10, 10, 30, 30, 0, 0, 0, 100, 100, 100, 0, 0, 10, 10};
  ASSERT_EQ(Start(5, 114, values), 1);
  const std::vector<uint32_t> blank = Expected([] {});
  for (int c = 0; c < 20; ++c) {
    const std::vector<uint32_t> frame = Drawn(114, c);
    if (c < 5 || c >= 15) {
      EXPECT_EQ(frame, blank) << c;
      continue;
    }
    const int k = c - 5, size = 10 + 20 * k / 10, colour = 100 * k / 10, at = 10 * k / 10;
    EXPECT_EQ(frame, Expected([&] {
                CAllGeo::TransBoxFill(at, at, size, size, colour, colour, colour, 100);
              }))
        << c;
  }
  // Frame 14: k = 9 of 10.
  Drawn(114, 14);
  EXPECT_EQ(At(9, 9), 0x5A5A5Au);
  EXPECT_EQ(At(36, 36), 0x5A5A5Au);
  EXPECT_EQ(At(37, 37), kBackground);
  // #118 takes the same numbers as an ellipse's centre and radii.
  ASSERT_EQ(Start(5, 118, values), 1);
  EXPECT_EQ(Drawn(118, 14), Expected([] { CAllGeo::TransCircleFill(9, 9, 28, 28, 90, 90, 90, 100); }));
  EXPECT_EQ(At(9, 9), 0x5A5A5Au);
  EXPECT_EQ(At(36, 36), kBackground);
  const EffectChannel& r = *manager_->GetChannel(5);
  EXPECT_EQ(std::vector<int>(r.v + 46, r.v + 53), std::vector<int>(7, 0));  // p17..p23
}

TEST_F(GeoEffectTest, BoxDefaultsAndQuietFramesThatLeaveNoSpan) {
  ASSERT_EQ(Start(5, 114, {}), 1);
  const EffectChannel& r = *manager_->GetChannel(5);
  EXPECT_EQ(std::vector<int>(r.v + 29, r.v + 53),
            (std::vector<int>{20, 0, 0, 100, 100, 100, 100, 128, 128, 128, 128, 128, 128, kW / 2,
                              kH / 2, kW / 2, kH / 2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Drawn(114, 0),
            Expected([] { CAllGeo::TransBoxFill(kW / 2, kH / 2, 100, 100, 128, 128, 128, 100); }));
  const std::vector<uint32_t> blank = Expected([] {});
  for (const std::vector<int>& v : std::vector<std::vector<int>>{
           {20, 10, 10}, {20, 15, 10}, {20, INT_MAX, INT_MAX}, {0}}) {
    ASSERT_EQ(Start(5, 114, v), 1);
    for (int c : {0, 5, 10, 19, 20}) EXPECT_EQ(Drawn(114, c), blank) << v[1] << " " << c;
  }
}

// Start and end at opposite ends of the int range: (end - start) x k needs
// more than 32 bits (and than 64 for larger k); the value stays between.
TEST_F(GeoEffectTest, BoxStepsAcrossTheWholeIntRange) {
  ASSERT_EQ(Start(5, 114, {20, 0, 0, 10, 10, 10, 10, 255, 0, 0, 255, 0, 0, INT_MIN, 0, INT_MAX, 0}),
            1);
  EXPECT_EQ(Drawn(114, 10), Expected([] { CAllGeo::TransBoxFill(-1, 0, 10, 10, 255, 0, 0, 100); }));
  ASSERT_EQ(Start(5, 114, {INT_MAX, 0, 0, 10, 10, 10, 10, 255, 0, 0, 255, 0, 0, INT_MIN, 0,
                           INT_MAX, 0}),
            1);
  // -2^31 + (2^32 - 1) (2^31 - 2) / (2^31 - 1), truncated.
  EXPECT_EQ(Drawn(114, INT_MAX - 1),
            Expected([] { CAllGeo::TransBoxFill(INT_MAX - 3, 0, 10, 10, 255, 0, 0, 100); }));
}

// --- Whole screen ---

TEST_F(GeoEffectTest, WholeScreenColourCopiesMissingComponentsAndRunsLong) {
  for (int number : {88, 117}) {
    ChannelPicture(5, 4, 4, [](int, int) { return 0x123456u; });
    ASSERT_EQ(Start(5, number, {255}), 1);
    EXPECT_EQ(manager_->GetChannel(5)->Duration(), 9999);
    Drawn(number, 0);
    EXPECT_TRUE(ScreenIs(0xFFFFFF));
    ASSERT_EQ(Start(5, number, {255, 0}), 1);
    Drawn(number, 0);
    EXPECT_TRUE(ScreenIs(0xFF0000));
    ASSERT_EQ(Start(5, number, {-1, 256, 0x1FF, 77}), 1);
    EXPECT_EQ(manager_->GetChannel(5)->Duration(), 9999);
    EXPECT_EQ(manager_->GetChannel(5)->Param(3), 0);  // three kept
    Drawn(number, 0);
    EXPECT_TRUE(ScreenIs(0xFF00FF));
    CCommonEffect* effect = manager_->GetEffect(number);
    EXPECT_EQ(effect->CheckPrintPicture(manager_->GetChannel(5), 5), 1);
    EXPECT_EQ(effect->Finish(manager_->GetChannel(5), 5), 0);
  }
}

}  // namespace
}  // namespace effect_test
