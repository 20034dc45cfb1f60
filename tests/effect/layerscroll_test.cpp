#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "effect/effectlayerscroll.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

// Each pixel names its own coordinates.
uint32_t Coordinates(int x, int y) {
  return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
}
uint32_t Other(int x, int y) { return 0x800000 | Coordinates(x, y); }
constexpr uint32_t kClear = 0x123456;
// A white line blended at 100 % over dark pixels.
constexpr uint32_t kLine = 0xFEFEFE;

int Mod(int64_t v, int64_t n) { return static_cast<int>(((v % n) + n) % n); }

class LayerScrollTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  // The effect's own Print at `counter` over a cleared screen.
  void DrawAt(int channel, int counter) {
    Record(channel).Counter() = counter;
    Clear(kClear);
    manager_->GetEffect(Record(channel).EffectNumber())->Print(&Record(channel), channel);
  }
  int Changed() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != kClear;
    return n;
  }
  // The screen shows the picture shifted by (ox, oy), wrapping.
  ::testing::AssertionResult ShowsShifted(int ox, int oy) const {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != Coordinates(Mod(x - ox, kW), Mod(y - oy, kH)))
          return ::testing::AssertionFailure() << "at " << x << "," << y;
    return ::testing::AssertionSuccess();
  }
  void EightBit(int channel) {
    std::string error;
    dwqtool::Picture grey{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x404040), {}};
    ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(channel), grey,
                                                   dir_->path(), &error, true));
  }
};

// --- #39 ---

TEST_F(LayerScrollTest, ScrollWrapsEveryStep) {
  ChannelPicture(5, kW, kH, Coordinates);
  struct Case {
    int stepX, stepY, counter, duration;
  };
  const Case cases[] = {
      {0, 0, 7, 20},
      {3, 2, 5, 20},
      {-3, -2, 5, 20},
      {kW, kH, 3, 20},
      {7, -9, 0, 0},                         // no duration: one step
      {INT_MAX, INT_MIN, INT_MAX, INT_MAX},  // products in 64 bits
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 39, {c.duration, c.stepX, c.stepY}), 1);
    DrawAt(5, c.counter);
    const int64_t n = c.duration > 0 ? c.counter : 1;
    EXPECT_TRUE(ShowsShifted(Mod(n * c.stepX, kW), Mod(n * c.stepY, kH)))
        << c.stepX << "," << c.stepY << " at " << c.counter;
  }
}

TEST_F(LayerScrollTest, ScrollEndsAsAPlainLayerOrLoops) {
  ChannelPicture(5, kW, kH, Coordinates);
  ASSERT_EQ(Start(5, 39, {3, 1, 0}), 1);
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Record(5).EffectNumber(), 0);
  EXPECT_EQ(Record(5).PictureNumber(), 5);
  ASSERT_EQ(Start(5, 39, {3, 1, 0, 1}), 1);
  for (int i = 0; i < 3; ++i) Frame();
  // The end came at counter 3 and went back to 0.
  EXPECT_EQ(Record(5).EffectNumber(), 39);
  EXPECT_EQ(Record(5).Counter(), 0);
  Frame();
  EXPECT_TRUE(ShowsShifted(0, 0));
  Frame();
  EXPECT_TRUE(ShowsShifted(1, 0));
  // A live record with a negative duration does not loop (nor overflow).
  Record(5).Duration() = INT_MIN;
  Record(5).Counter() = 0;
  manager_->GetEffect(39)->Calcu(&Record(5), 5);
  EXPECT_EQ(Record(5).Counter(), 0);
}

// --- #94 ---

TEST_F(LayerScrollTest, PoleScrollKeepsItsOffsetsInTheRecord) {
  ChannelPicture(5, kW, kH, Coordinates);
  ASSERT_EQ(Start(5, 94, {0, 5, -7}), 1);
  EffectChannel& r = Record(5);
  EXPECT_EQ(r.Duration(), 9999);
  EXPECT_EQ(std::vector<int>(r.v + 29 + 12, r.v + 29 + 16), (std::vector<int>{0, 1, 0, 0}));
  for (int i = 0; i < 3; ++i) Frame();
  // Calcu saw counters 0, 1, 2: two steps of one frame.
  EXPECT_EQ(r.Param(13), 1);
  EXPECT_EQ(r.Param(14), 10);
  EXPECT_EQ(r.Param(15), -14);
  DrawAt(5, r.Counter());
  EXPECT_TRUE(ShowsShifted(10, kH - 14));
  // Offsets stay within the screen, keeping their sign.
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(r.Param(14), 22 * 5 % kW);
  EXPECT_EQ(r.Param(15), -(22 * 7 % kH));
  // Offsets from a save: drawn as their remainders.
  r.Param(14) = INT_MAX;
  r.Param(15) = INT_MIN;
  DrawAt(5, r.Counter());
  EXPECT_TRUE(ShowsShifted(INT_MAX % kW, kH - static_cast<int>(-(int64_t{INT_MIN}) % kH)));
}

TEST_F(LayerScrollTest, PoleScrollAtItsEndLoopsOrStops) {
  ChannelPicture(5, kW, kH, Coordinates);
  for (int loop : {1, 0}) {
    ASSERT_EQ(Start(5, 94, {0, 5, 0, loop}), 1);
    EffectChannel& r = Record(5);
    r.Counter() = 9998;
    r.Param(12) = 9998;
    Frame();  // step 1 at 9998, then the counter reaches 9999
    Frame();  // the end: wrapped to 0 (step 1) or held (step 0)
    EXPECT_EQ(r.Counter(), loop ? 1 : 9999) << loop;
    EXPECT_EQ(r.Param(12), loop ? 0 : 9999);
    EXPECT_EQ(r.Param(13), loop ? 1 : 0);
    EXPECT_EQ(r.Param(14), loop ? 5 : 0);
    EXPECT_EQ(r.EffectNumber(), 94);
  }
}

// --- #84 ---

TEST_F(LayerScrollTest, DoorsSlideOpenOntoTheOtherChannel) {
  ChannelPicture(5, kW, kH, Coordinates);
  ChannelPicture(9, kW, kH, Other);
  ASSERT_EQ(Start(5, 84, {4, 16, 9}), 1);
  DrawAt(5, 0);
  EXPECT_TRUE(ShowsShifted(0, 0));
  DrawAt(5, 2);  // f = 8: edges of 16, doors of 8, an opening of 16
  for (int x = 0; x < kW; ++x) {
    const uint32_t want = x < 16   ? Coordinates(x, 3)
                          : x < 24 ? Coordinates(x + 8, 3)
                          : x < 40 ? Other(x, 3)
                          : x < 48 ? Coordinates(x - 8, 3)
                                   : Coordinates(x, 3);
    EXPECT_EQ(At(x, 3), want) << x;
  }
  // Wider than half the screen: cut to W/2, so the whole screen opens.
  ASSERT_EQ(Start(5, 84, {4, 1000, 9}), 1);
  EXPECT_EQ(Record(5).Param(1), kW / 2);
  DrawAt(5, 4);
  EXPECT_EQ(At(0, 0), Other(0, 0));
  EXPECT_EQ(At(kW - 1, kH - 1), Other(kW - 1, kH - 1));
  // A negative width counts as 0: the picture whole.
  ASSERT_EQ(Start(5, 84, {4, -20, 9}), 1);
  DrawAt(5, 2);
  EXPECT_TRUE(ShowsShifted(0, 0));
  // No other picture, or a small one: nothing.
  for (int other : {-1, 16, 3}) {
    ASSERT_EQ(Start(5, 84, {4, 16, other}), 1);
    DrawAt(5, 2);
    EXPECT_EQ(Changed(), 0) << other;
  }
}

// --- #68 ---

TEST_F(LayerScrollTest, CurtainBarsCloseInTheirColour) {
  // Top bar 10, opening 20: the bottom bar grows to 18.
  ASSERT_EQ(Start(5, 68, {4, 10, 20, 255, 0, 0, 0, 0, 0, 0, 255}), 1);
  DrawAt(5, 4);
  EXPECT_EQ(At(0, 9), 0xFF0000u);
  EXPECT_EQ(At(0, 10), kClear);
  EXPECT_EQ(At(kW - 1, kH - 19), kClear);
  EXPECT_EQ(At(kW - 1, kH - 18), 0xFF0000u);
  DrawAt(5, 0);
  EXPECT_EQ(Changed(), 0);
  DrawAt(5, 2);  // half way: 5 and 9 rows, the colour half way from blue
  EXPECT_EQ(At(0, 4), 0x800080u);
  EXPECT_EQ(At(0, 5), kClear);
  EXPECT_EQ(At(0, kH - 9), 0x800080u);
  // Bars above the screen's height: the opening below 0 gives no bottom
  // bar, and a top bar taller than the screen fills it once.
  struct Case {
    std::vector<int> values;
    int top, bottom;
  };
  const Case cases[] = {
      {{4, 30, 40}, 30, 0},
      {{4, 100, 0}, kH, 0},
      {{4, INT_MAX, INT_MIN}, kH, 0},
      {{4, -20, 10}, 0, kH},
      {{4, 0, INT_MIN, 300, -5, 1000}, 0, kH},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 68, c.values), 1);
    DrawAt(5, 4);
    EXPECT_EQ(Changed(), (c.top + c.bottom) * kW) << c.values[1] << "," << c.values[2];
  }
  // Colours held to a byte each.
  EXPECT_EQ(At(0, 0), 0xFF00FFu);
}

// --- #37 ---

TEST_F(LayerScrollTest, ZoomFromTheWholePictureToTheTarget) {
  ChannelPicture(5, kW, kH, Coordinates);
  // 0 % to 0 %: the picture unscaled.
  ASSERT_EQ(Start(5, 37, {4, 16, 12, 32, 24, 0, 0, 0, 0}), 1);
  DrawAt(5, 4);
  EXPECT_TRUE(ShowsShifted(0, 0));
  // 100 %: the target fills the screen, each pixel twice.
  ASSERT_EQ(Start(5, 37, {4, 16, 12, 32, 24}), 1);
  DrawAt(5, 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(At(x, y), Coordinates(16 + x / 2, 12 + y / 2)) << x << "," << y;
  // Percents whose hundredfold and products pass 32 bits: a huge negative
  // zoom holds the window to the whole picture, a huge positive one leaves
  // no window.
  ASSERT_EQ(Start(5, 37, {4, 16, 12, 32, 24, 0, 0, INT_MAX, INT_MIN}), 1);
  DrawAt(5, 0);
  EXPECT_TRUE(ShowsShifted(0, 0));
  DrawAt(5, 4);
  EXPECT_EQ(Changed(), 0);
  ASSERT_EQ(Start(5, 37, {4, 16, 12, 32, 24}), 1);
  // Half way: the window (8, 6)..(56, 42), sampled at 16.16 steps.
  DrawAt(5, 2);
  EXPECT_EQ(At(0, 0), Coordinates(8, 6));
  EXPECT_EQ(At(kW - 1, kH - 1),
            Coordinates(8 + (63 * ((48 << 16) / 64) >> 16), 6 + (47 * ((36 << 16) / 48) >> 16)));
}

TEST_F(LayerScrollTest, ZoomStartClampsTheTargetAfterItsDefaults) {
  // The target held on the screen, its size cut to what is left.
  ASSERT_EQ(Start(5, 37, {4, -10, 100, 500, 500}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 30, Record(5).v + 34),
            (std::vector<int>{0, kH - 1, kW, 1}));
  ASSERT_EQ(Start(5, 37, {}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 38),
            (std::vector<int>{20, kW / 4, kH / 4, kW / 2, kH / 2, 0, 0, 100, 0}));
  // #122's clip point defaults from p1 and p3 before they are clamped.
  ASSERT_EQ(Start(5, 122, {4, -40}), 1);
  EXPECT_EQ(Record(5).Param(1), 0);
  EXPECT_EQ(Record(5).Param(9), -40 + kW / 4);
  EXPECT_EQ(Record(5).Param(10), kH / 4 + kH / 4);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29 + 11, Record(5).v + 29 + 33),
            (std::vector<int>{-60, -40, 0,   -40 + kW / 4, kH / 2, -60, -40, 0,   0,   0, 100,
                              255, 255, 255, 100,          0,      0,   255, 255, 255, 0, 0}));
}

TEST_F(LayerScrollTest, ZoomNeedsAScreenSized32BitPicture) {
  for (int w : {kW - 1, kW + 1}) {
    ChannelPicture(5, w, kH, Coordinates);
    ASSERT_EQ(Start(5, 37, {}), 1);
    DrawAt(5, 10);
    EXPECT_EQ(Changed(), 0) << w;
  }
  EightBit(5);
  DrawAt(5, 10);
  EXPECT_EQ(Changed(), 0);
  Record(5).PictureNumber() = -1;
  DrawAt(5, 10);
  EXPECT_EQ(Changed(), 0);
}

// --- #122 ---

class ClipZoomTest : public LayerScrollTest {
 protected:
  void SetUp() override {
    LayerScrollTest::SetUp();
    ChannelPicture(5, kW, kH, Coordinates);
  }
  // The clip (shape, x, y, dx, dy) standing still over the unscaled picture,
  // with a border of width b.
  void DrawClip(int shape, int x, int y, int dx, int dy, int b = 0) {
    ASSERT_EQ(Start(5, 122, {4,     0, 0, kW, kH, 0, 0, 0, 0,   x,   y,   dx, dy,
                             shape, x, y, dx, dy, 0, 0, b, 100, 255, 255, 255}),
              1);
    DrawAt(5, 2);
  }
  // Rows and columns the picture shows in: a string per row.
  bool Inside(int x, int y) const { return At(x, y) == Coordinates(x, y); }
};

TEST_F(ClipZoomTest, ShapesShowThePictureOnlyInside) {
  struct Case {
    int shape, x, y, dx, dy;
    bool (*inside)(int x, int y);
  };
  const Case cases[] = {
      // Half-planes along the axes.
      {0, 20, 0, 0, -1, [](int x, int) { return x >= 20; }},
      {0, 20, 0, 0, 1, [](int x, int) { return x <= 20; }},
      {0, 0, 30, 1, 0, [](int, int y) { return y >= 30; }},
      {0, 0, 30, -1, 0, [](int, int y) { return y <= 30; }},
      // Both 0: the direction becomes (1, 0).
      {0, 0, 30, 0, 0, [](int, int y) { return y >= 30; }},
      // A diagonal: x = trunc((y - 24) * -1 + 0.5) + 32 and to its right.
      {0, 32, 24, 1, -1, [](int x, int y) { return x >= static_cast<int>(24.5f - y) + 32; }},
      // Edges off the screen: clipped, not past it.
      {0, 0, -10, -1, 0, [](int, int) { return false; }},
      {0, 0, 100, -1, 0, [](int, int) { return true; }},
      {0, 0, 100, 1, 0, [](int, int) { return false; }},
      {0, 1000, 0, 0, 1, [](int, int) { return true; }},
      {0, -5, 0, 0, 1, [](int, int) { return false; }},
      {0, INT_MIN, INT_MAX, 0, -1, [](int, int) { return true; }},
      // Rectangles: columns x..x+w-1, rows y..y+h-1 (y+h+1..y when h < 1).
      {1, 10, 5, 20, 10, [](int x, int y) { return x >= 10 && x < 30 && y >= 5 && y < 15; }},
      {2, 10, 20, 5, -4, [](int x, int y) { return x >= 10 && x < 15 && y >= 17 && y <= 20; }},
      {2, 60, 40, 100, 100, [](int x, int y) { return x >= 60 && y >= 40; }},
      {2, 10, 20, 0, 5, [](int, int) { return false; }},
      {1, 100, 5, 20, 10, [](int, int) { return false; }},
      {7, 10, 5, 20, 10, [](int, int) { return false; }},
  };
  for (const Case& c : cases) {
    DrawClip(c.shape, c.x, c.y, c.dx, c.dy);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(Inside(x, y), c.inside(x, y))
            << "shape " << c.shape << " " << c.x << "," << c.y << " " << c.dx << "," << c.dy
            << " at " << x << "," << y;
  }
}

TEST_F(ClipZoomTest, TheClipMovesFromItsStartToItsEnd) {
  // The edge x moves from 0 to 40 over 4 frames.
  ASSERT_EQ(Start(5, 122, {4, 0, 0, kW, kH, 0, 0, 0, 0, 40, 0, 0, -1, 0, 0, 0, 0, -1}), 1);
  DrawAt(5, 2);
  EXPECT_FALSE(Inside(19, 0));
  EXPECT_TRUE(Inside(20, 0));
  // A zoom inside the clip samples as the whole-screen zoom does.
  ASSERT_EQ(Start(5, 122, {4, 16, 12, 32, 24, 0, 0, 100, 100, 0, 0, 1, 0}), 1);
  DrawAt(5, 0);
  EXPECT_EQ(At(kW - 1, kH - 1), Coordinates(16 + (kW - 1) / 2, 12 + (kH - 1) / 2));
}

TEST_F(ClipZoomTest, BordersAlongTheEdgeAndAroundTheRectangle) {
  // The rectangle 10..30 x 5..15 with a border of 4: boxes 2 either side of
  // its edges.
  DrawClip(1, 10, 5, 20, 10, 4);
  EXPECT_EQ(At(8, 3), 0xFFFFFFu);
  EXPECT_EQ(At(31, 16), 0xFFFFFFu);
  EXPECT_EQ(At(7, 3), kClear);
  EXPECT_EQ(At(12, 7), Coordinates(12, 7));
  EXPECT_EQ(At(32, 17), kClear);
  // Straight edges in directions (0, -1) and (-1, 0): lines on either side
  // of the edge, no division by zero.
  DrawClip(0, 20, 0, 0, -1, 3);
  for (int x : {19, 20, 21}) EXPECT_EQ(At(x, 10), kLine) << x;
  EXPECT_EQ(At(22, 10), Coordinates(22, 10));
  DrawClip(0, 0, 30, -1, 0, 2);
  for (int y : {29, 30}) EXPECT_EQ(At(10, y), kLine) << y;
  EXPECT_EQ(At(10, 28), Coordinates(10, 28));
  // A huge border covers the screen, drawing only lines that reach it.
  DrawClip(0, 0, 30, 1, 0, INT_MAX);
  EXPECT_EQ(Changed(), kW * kH);
  EXPECT_EQ(At(5, 5), kLine);
  DrawClip(1, 10, 5, 20, 10, INT_MAX);
  EXPECT_EQ(At(5, 5), 0xFFFFFFu);
  // Border colours held to a byte each.
  ASSERT_EQ(Start(5, 122, {4, 0,  0, kW, kH, 0, 0, 0, 0,   10,  5,  20,  10,
                           1, 10, 5, 20, 10, 0, 0, 4, 100, 300, -5, 1000}),
            1);
  DrawAt(5, 4);
  EXPECT_EQ(At(8, 3), 0xFF00FFu);
  // A moving rectangle of size 0 draws nothing at all, border included.
  DrawClip(2, 10, 5, 0, 10, 4);
  EXPECT_EQ(Changed(), 0);
}

// Without a picture to zoom nothing is drawn, the border included.
TEST_F(ClipZoomTest, ShortOr8BitPicturesDrawNothing) {
  ChannelPicture(5, kW, kH - 1, Coordinates);
  DrawClip(0, 0, 0, 1, 0, 4);
  EXPECT_EQ(Changed(), 0);
  ChannelPicture(5, kW + 8, kH + 2, Coordinates);
  DrawClip(0, 0, 0, 1, 0);
  EXPECT_EQ(At(3, 4), 3u << 8 | 4u);
  EightBit(5);
  DrawClip(1, 10, 5, 20, 10, 4);
  EXPECT_EQ(Changed(), 0);
  manager_->SetPicture(5, -1);
  DrawClip(1, 10, 5, 20, 10, 4);
  EXPECT_EQ(Changed(), 0);
}

// --- All six ---

TEST_F(LayerScrollTest, FinishBearsRepeatedCalls) {
  ChannelPicture(5, kW, kH, Coordinates);
  ChannelPicture(13, kW, kH, Other);
  struct Case {
    int number, finish, after;
  };
  const Case cases[] = {{39, 1, 0},  {94, 0, 94}, {84, 1, 84},
                        {68, 0, 68}, {37, 1, 37}, {122, 1, 122}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, c.number, {2}), 1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(manager_->GetEffect(c.number)->Finish(&Record(5), 5), c.finish) << c.number;
    }
    EXPECT_EQ(Record(5).EffectNumber(), c.after);
    for (int i = 0; i < 4; ++i) Frame();
  }
}

}  // namespace
}  // namespace effect_test
