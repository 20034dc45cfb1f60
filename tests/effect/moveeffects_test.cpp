#include "effect/moveeffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "effect_fixture.h"
#include "setup/random.h"

namespace effect_test {
namespace {

constexpr uint32_t kBackground = 0x102030;

// A 4 x 4 picture: each pixel names its coordinates; the mask is opaque but
// for a see-through top-right pixel and a half-covered bottom row.
uint32_t Pixel(int x, int y) { return 0xC00000u | static_cast<uint32_t>(x) << 8 | (y * 40u); }
uint8_t Alpha(int x, int y) { return x == 3 && y == 0 ? 0 : y == 3 ? 128 : 255; }

class MoveEffectTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ChannelPicture(5, 4, 4, Pixel, Alpha);
    Place(10, 10);
  }
  // Draw start, end and current rectangle at (x, y).
  void Place(int x, int y) {
    const int rect[4] = {x, y, 4, 4};
    for (int kind : {2, 3, 5}) manager_->SetRect(5, kind, rect);
  }
  EffectChannel& Record() { return *manager_->GetChannel(5); }
  CPicture* Picture() { return manager_->GetPicture(5); }
  static std::vector<uint32_t> Screen() {
    const uint32_t* p = CScreenBuffer::GetBuffer();
    return {p, p + size_t{kW} * kH};
  }
  // #61 on channel 5 at `counter`, drawn over the background.
  std::vector<uint32_t> Drawn(int counter) {
    Record().Counter() = counter;
    Clear(kBackground);
    manager_->GetEffect(61)->Print(&Record(), 5);
    return Screen();
  }
  static std::vector<uint32_t> Expected(const std::function<void()>& draw) {
    Clear(kBackground);
    draw();
    return Screen();
  }
  int StartMove(std::vector<int> values) { return Start(5, 61, std::move(values)); }
};

// --- #52 ---

TEST_F(MoveEffectTest, MoveCarriesThePictureAndEndsAtItsEndRectangle) {
  const int end[4] = {20, 10, 4, 4}, sourceEnd[4] = {0, 0, 3, 3};
  manager_->SetRect(5, 3, end);
  manager_->SetRect(5, 1, sourceEnd);
  Record().Param(0) = -7;
  ASSERT_EQ(Start(5, 52, {}), 1);
  EXPECT_EQ(Record().Duration(), 20);
  EXPECT_EQ(Record().Param(0), -7);  // keeps no values
  CCommonEffect* move = manager_->GetEffect(52);
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_EQ(move->CheckBusy(&Record(), 5), 1);
  Frame();  // drawn at counter 10
  EXPECT_EQ(At(15, 10), Pixel(0, 0));
  for (int i = 0; i < 9; ++i) Frame();
  EXPECT_EQ(Record().Counter(), 20);
  EXPECT_EQ(move->CheckBusy(&Record(), 5), 0);
  EXPECT_EQ(Record().EffectNumber(), 0);
  EXPECT_EQ(std::vector<int>(Record().DrawRect(), Record().DrawRect() + 4),
            std::vector<int>(end, end + 4));
  EXPECT_EQ(std::vector<int>(Record().SourceRect(), Record().SourceRect() + 4),
            std::vector<int>(sourceEnd, sourceEnd + 4));
  Frame();
  EXPECT_EQ(At(20, 10), Pixel(0, 0));
  EXPECT_EQ(At(23, 10), 0u);  // beyond the 3 x 3 source
  ASSERT_EQ(Start(5, 52, {3, 9}), 1);
  EXPECT_EQ(Record().Duration(), 3);
}

// --- #61 ---

TEST_F(MoveEffectTest, SpecialMoveWithADurationOnlyDrawsThePictureTransparentEveryFrame) {
  ASSERT_EQ(StartMove({8}), 1);
  EXPECT_EQ(std::vector<int>(Record().v + 29, Record().v + 29 + 37),
            (std::vector<int>{8, 0, 1, 1, 8, 0, 0, 0, 0, 0, 0, 100, 100, 1, 8, 0, 0, 0, 0,
                              1, 8, 0, 0, 100, 100, 100, 100, 1, 8, 0, 0, 0, 0, 0, 0, 0, 0}));
  const std::vector<uint32_t> plain = Expected([&] { Picture()->Blt(10, 10, 0, 0, 4, 4, 1); });
  EXPECT_EQ(At(13, 10), kBackground);
  for (int c = 0; c <= 8; ++c) EXPECT_EQ(Drawn(c), plain) << c;
  // Through the manager: the picture is not drawn twice underneath.
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(At(13, 10), 0u);
  EXPECT_EQ(manager_->GetEffect(61)->Finish(&Record(), 5), 0);
  EXPECT_EQ(Record().EffectNumber(), 61);
}

TEST_F(MoveEffectTest, RepeatingMoveRunsItsPathOncePerPeriod) {
  Place(0, 0);
  for (int repeat : {1, 0}) {
    ASSERT_EQ(StartMove({40, 0, 0, repeat, 10, 0, 0, 0, 0, 20, 0}), 1);
    for (int c = 0; c <= 40; c += 3) {
      Drawn(c);
      const int position = repeat ? c % 10 : std::min(c, 10);
      EXPECT_EQ(Record().Param(17), position) << c;
      EXPECT_EQ(At(2 * position, 0), Pixel(0, 0)) << repeat << " " << c;
    }
  }
  // Each animation keeps its own cycle: opacity, zoom and colour periods.
  ASSERT_EQ(StartMove({40, 0, 0, 1, 10, 0, 0, 0, 0, 0, 0, 100, 100, 1, 7, 0, 0, 0, 0, 1, 6, 0, 0,
                       100, 100, 100, 100, 0, 4}),
            1);
  Drawn(15);
  EXPECT_EQ(std::vector<int>({Record().Param(17), Record().Param(18), Record().Param(62),
                              Record().Param(63)}),
            (std::vector<int>{5, 1, 3, 4}));
}

TEST_F(MoveEffectTest, OpacityEqualEndsSkipTheCurveAndZeroDrawsNothing) {
  // A jittering curve would draw from the generator.
  ASSERT_EQ(StartMove({10, 0, 1, 1, 10, 0, 0, 0, 0, 0, 0, 60, 60, 1, 10, 200}), 1);
  crt::srand(4);
  const std::vector<uint32_t> drawn = Drawn(5);
  const int next = crt::rand();
  crt::srand(4);
  EXPECT_EQ(next, crt::rand());  // nothing drawn before
  EXPECT_EQ(drawn, Expected([&] { Picture()->TransLucentBlt3(10, 10, 0, 0, 4, 4, 60); }));
  ASSERT_EQ(StartMove({10, 0, 1, 1, 10, 0, 0, 0, 0, 0, 0, 0}), 1);
  EXPECT_EQ(Drawn(5), Expected([] {}));
  // From 0 to 100: 50 at mid-way.
  ASSERT_EQ(StartMove({10, 0, 1, 1, 10, 0, 0, 0, 0, 0, 0, 100, 0}), 1);
  EXPECT_EQ(Drawn(5), Expected([&] { Picture()->TransLucentBlt3(10, 10, 0, 0, 4, 4, 50); }));
  EXPECT_EQ(Drawn(0), Expected([] {}));
}

TEST_F(MoveEffectTest, TranslucentWithoutZoomOrColourNeedsTheMask) {
  ChannelPicture(5, 4, 4, Pixel);  // no mask
  Place(10, 10);
  ASSERT_EQ(StartMove({10, 0, 1, 1, 10, 0, 0, 0, 0, 0, 0, 50}), 1);
  EXPECT_EQ(Drawn(3), Expected([] {}));
  // At full opacity it is drawn, colour-keyed.
  ASSERT_EQ(StartMove({10, 0, 1}), 1);
  EXPECT_EQ(Drawn(3), Expected([&] { Picture()->Blt(10, 10, 0, 0, 4, 4, 1); }));
  EXPECT_EQ(At(10, 10), kBackground);  // the key colour
  EXPECT_EQ(At(11, 10), Pixel(1, 0));
}

TEST_F(MoveEffectTest, ZoomStretchesAboutTheCentreAndColourShifts) {
  ASSERT_EQ(StartMove({10, 0, 1, 1, 10, 0, 0, 0, 0, 0, 0, 100, 100, 1, 10, 0, 0, 0, 0, 1, 10, 0, 0,
                       100, 200}),
            1);
  EXPECT_EQ(Drawn(4), Expected([&] { Picture()->StretchBlt(10, 8, 4, 8, 0, 0, 4, 4, 100, 1); }));
  EXPECT_EQ(At(10, 8), Pixel(0, 0));
  EXPECT_EQ(At(10, 9), Pixel(0, 0));
  EXPECT_EQ(At(10, 7), kBackground);
  // Zoom 50 % to 150 % in x with a colour shift from (0, 0, 0) to (40, -20,
  // 0) at 80 % opacity: at mid-way 100 %, (20, -10, 0).
  std::vector<int> v = {10, 0, 0, 1, 10, 0, 0, 0, 0, 0, 0, 80, 80, 1, 10, 0, 0, 0, 0,
                        1, 10, 0, 0, 150, 100, 50, 100, 1, 10, 0, 0, 40, -20, 0, 0, 0, 0};
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(Drawn(5), Expected([&] {
              Picture()->StretchAddSubBlt(10, 10, 4, 4, 0, 0, 4, 4, 80, 0, 20, -10, 0);
            }));
  // Without zoom the shift goes through the colour-add blit.
  v[23] = v[25] = 100;
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(Drawn(5), Expected([&] {
              Picture()->ColorAddBlt(10, 10, 0, 0, 4, 4, 0, 20, -10, 0, 80);
            }));
}

TEST_F(MoveEffectTest, PathKindsStartWhereTheyShould) {
  Place(0, 0);
  struct Case {
    int kind, counter, x, y;
  };
  // Start offset (30, 30), end offset (10, 0).
  const Case cases[] = {
      {0, 0, 30, 30}, {0, 5, 20, 15}, {0, 10, 10, 0},
      // (1 - cos 0.2 pi) / 2 = 0.095; at the end, -20 + 0.5 truncates to -19:
      // an eased move toward smaller offsets stops one pixel short.
      {1, 0, 30, 30}, {1, 2, 29, 28},  {1, 10, 11, 1},
      {2, 0, 0, 0},   {2, 5, 18, 15}, {2, 10, 10, 0},
      {3, 5, 0, 0},   {-1, 5, 0, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(StartMove({10, c.kind, 0, 0, 10, 0, 0, 30, 30, 10, 0}), 1);
    EXPECT_EQ(Drawn(c.counter),
              Expected([&] { Picture()->Blt(c.x, c.y, 0, 0, 4, 4, 0); }))
        << c.kind << " " << c.counter;
  }
}

TEST_F(MoveEffectTest, TwelveThirteenAndFourteenValuesKeepWhatWasGiven) {
  std::vector<int> v = {10, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 40, 70, 1};
  ASSERT_EQ(StartMove(std::vector<int>(v.begin(), v.begin() + 12)), 1);
  EXPECT_EQ(std::vector<int>(Record().v + 40, Record().v + 44), (std::vector<int>{40, 40, 0, 5}));
  ASSERT_EQ(StartMove(std::vector<int>(v.begin(), v.begin() + 13)), 1);
  EXPECT_EQ(std::vector<int>(Record().v + 40, Record().v + 44), (std::vector<int>{40, 70, 0, 5}));
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(std::vector<int>(Record().v + 40, Record().v + 44), (std::vector<int>{40, 70, 1, 5}));
  // Outputs start at 0 whatever was given.
  std::vector<int> many(37, 3);
  ASSERT_EQ(StartMove(many), 1);
  EXPECT_EQ(std::vector<int>({Record().Param(17), Record().Param(18), Record().Param(62),
                              Record().Param(63)}),
            (std::vector<int>{0, 0, 0, 0}));
}

// Values at the ends of the int range: offsets, zoom percents times ten and
// zoomed sizes are formed without overflow.
TEST_F(MoveEffectTest, ExtremeValuesStayInRange) {
  Place(0, 0);
  ASSERT_EQ(StartMove({10, 0, 0, 0, 10, 0, 0, INT_MIN, 0, INT_MAX, 0}), 1);
  // (2^32 - 1) x 500 / 1000 - 2^31 = -1.
  EXPECT_EQ(Drawn(5), Expected([&] { Picture()->Blt(-1, 0, 0, 0, 4, 4, 0); }));
  // A zoom without size draws nothing; a huge one covers the screen.
  std::vector<int> v = {10, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 100, 100, 0, 10, 0, 0, 0, 0,
                        0, 10, 0, 0, -100, 100};
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(Drawn(5), Expected([] {}));
  v[23] = 0;
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(Drawn(5), Expected([] {}));
  v[23] = v[24] = INT_MAX;
  ASSERT_EQ(StartMove(v), 1);
  Drawn(5);
  EXPECT_NE(At(0, 0), kBackground);  // the picture stretched far past the screen
  EXPECT_NE(At(kW - 1, kH - 1), kBackground);
  v[23] = v[24] = INT_MIN;
  ASSERT_EQ(StartMove(v), 1);
  EXPECT_EQ(Drawn(5), Expected([] {}));
  // No picture: nothing, whatever the values.
  manager_->SetPicture(5, -1);
  ASSERT_EQ(StartMove({10}), 1);
  EXPECT_EQ(Drawn(5), Expected([] {}));
}

}  // namespace
}  // namespace effect_test
