// The shape wipes: their ends at 800 x 600, the runs of every line at many
// screen sizes, the clock's quarters, the diagonal's soft edge, the torn
// edge's fixed shape, the reversed variants and the shapes' insides.
#include "effect/wipeshape.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "wipe_world.h"

namespace effect_test {
namespace {

// Every number of a shape kind.
const std::vector<int> kShapeNumbers = {6,  7,  9,  24, 25, 28, 29, 30, 31, 32, 33, 36, 37, 48, 49,
                                        50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 65, 66, 67, 68, 78,
                                        79, 88, 89, 90, 91, 92, 93, 94, 95};
// Every number of a moving kind.
const std::vector<int> kMoveNumbers = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 61, 62,
                                       63, 64, 69, 70, 71, 72, 73, 74, 75, 76, 77, 80, 81, 82, 83,
                                       84, 85, 86, 87};

// Every kind starts on the old picture and ends on the new one. The soft
// beach edges 128 and 256 wide reach onto the screen at the start (at the
// end when reversed), up to 42 and 170 columns at the left.
TEST(ShapeAndMoveWipes, EveryKindStartsOldAndEndsNewAt800x600) {
  WipeWorld world(800, 600);
  std::vector<int> numbers = kShapeNumbers;
  numbers.insert(numbers.end(), kMoveNumbers.begin(), kMoveNumbers.end());
  for (int n : numbers) {
    ASSERT_NE(world.Table().GetWipe(n), nullptr) << n;
    for (int max : {1, 7, 10000}) {
      world.Clear(0x123456);
      world.Draw(n, 0, max);
      // The reels show the new picture from max - 1 on.
      if (max == 1 && ((n >= 69 && n <= 72) || (n >= 74 && n <= 77))) continue;
      const bool blendsAtStart = n == 55 || n == 56;
      const bool blendsAtEnd = n == 58 || n == 59;
      EXPECT_TRUE(world.Shows(world.Old(), blendsAtStart ? 171 : 0)) << n << " at 0 of " << max;
      world.Clear(0x123456);
      world.Draw(n, max, max);
      EXPECT_TRUE(world.Shows(world.New(), blendsAtEnd ? 171 : 0)) << n << " at " << max;
    }
  }
  // The soft beach 128 wide at the start: the new picture shows a little
  // at the left of some lines.
  world.Draw(55, 0, 100);
  EXPECT_FALSE(world.Shows(world.Old()));
}

// A line's runs did not always add up to the width (the
// star's legs and the heart's lobes touching, the turning star's crossings
// unsorted). Every line of every shape, at every step of a small maximum
// and at several screen sizes, adds up to the width; only the circle and
// the clock leave the last column of an odd width undrawn, as they always
// have.
TEST(ShapeWipes, EveryLineAddsUpToTheWidth) {
  struct Size {
    int w, h;
  } sizes[] = {{800, 600}, {801, 599}, {97, 55}, {13, 7}, {2, 2}, {1, 1}};
  for (const Size& size : sizes) {
    WipeWorld world(size.w, size.h);
    const int32_t* spans = world.Table().GetSpanBuffer();
    for (int n : kShapeNumbers) {
      auto* shape = dynamic_cast<CEffectSimpleWipeShape*>(world.Table().GetWipe(n));
      ASSERT_NE(shape, nullptr) << n;
      const int entries = shape->EntriesPerLine();
      const bool mayLeaveLastColumn = n == 6 || n == 7 || n == 9;
      for (int p = 0; p <= 24; ++p) {
        world.Draw(n, p, 24);
        for (int y = 0; y < size.h; ++y) {
          const int32_t* line = spans + y * entries;
          int64_t sum = 0;
          bool negative = false;
          for (int i = 0; i < entries; ++i) {
            if (shape->GetSoftEdge() && i == 2) {
              EXPECT_TRUE(line[2] >= 0 && line[2] <= 256);
              continue;
            }
            negative |= line[i] < 0;
            sum += line[i];
          }
          ASSERT_FALSE(negative) << n << " " << p << " line " << y << " of " << size.w;
          if (entries == 1) {
            ASSERT_LE(sum, size.w) << n << " " << p << " line " << y;
          } else if (mayLeaveLastColumn && sum == size.w / 2 * 2) {
          } else {
            ASSERT_EQ(sum, size.w) << n << " " << p << " line " << y << " of " << size.w << "x"
                                   << size.h;
          }
        }
      }
    }
  }
}

TEST(ShapeWipes, IntervalsAreSortedMergedAndCut) {
  using wipeshape::Interval;
  struct Case {
    std::vector<Interval> in;
    std::vector<int32_t> want;
  } cases[] = {
      {{{10, 19}, {20, 29}}, {10, 20, 70, 0, 0, 0}},        // touching
      {{{30, 39}, {5, 9}}, {5, 5, 20, 10, 60, 0}},          // out of order
      {{{5, 40}, {10, 20}}, {5, 36, 59, 0, 0, 0}},          // inside
      {{{-50, 3}, {95, 400}}, {0, 4, 91, 5, 0, 0}},         // cut at the edges
      {{{60, 50}, {120, 130}}, {100, 0, 0, 0, 0, 0}},       // empty
      {{{0, 9}, {20, 29}, {40, 49}}, {0, 10, 10, 30, 50, 0}},  // no room: joins the last
  };
  for (const Case& c : cases) {
    std::vector<Interval> in = c.in;
    int32_t line[6];
    wipeshape::IntervalRuns(line, 6, 100, in.data(), static_cast<int>(in.size()));
    EXPECT_EQ(std::vector<int32_t>(line, line + 6), c.want) << c.in[0].a;
  }
}

// The clock at a quarter shows the new picture in the upper right quarter,
// at a half in the right half; near a quarter turn with a large maximum
// the slope times the line's distance leaves the int range, so it is
// limited to the half-width before it becomes an int).
TEST(ShapeWipes, ClockQuartersAndALargeMaximum) {
  WipeWorld world(64, 48);
  // The step whose hand lies closest to three o'clock: its slope is near
  // 10^9.
  static const int kNearQuarter =
      static_cast<int>(std::llround(1.5707963267948966 / 6.28318 * INT_MAX));
  struct Case {
    int p, max;
    bool (*isNew)(int x, int y);
  } cases[] = {
      {25, 100, [](int x, int y) { return x >= 32 && y < 24; }},
      {50, 100, [](int x, int) { return x >= 32; }},
      {kNearQuarter - 1, INT_MAX, [](int x, int y) { return x >= 32 && y <= 24; }},
      {kNearQuarter, INT_MAX, [](int x, int y) { return x >= 32 && y <= 24; }},
      {kNearQuarter + 1, INT_MAX, [](int x, int y) { return x >= 32 && y <= 24; }},
      {INT_MAX / 4, INT_MAX, [](int x, int y) { return x >= 32 && y < 24; }},
  };
  for (const Case& c : cases) {
    world.Draw(9, c.p, c.max);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(world.At(x, y), c.isNew(x, y) ? WorldNew(x, y) : WorldOld(x, y))
            << c.p << " at " << x << "," << y;
  }
}

// Direction 0 with a blend width of 64: the blended run is 64 pixels wide
// wherever it lies on the screen, its new weight falling from 256 by 4.
TEST(ShapeWipes, DiagonalSoftEdgeIs64Wide) {
  WipeWorld world(800, 600);
  const int32_t* spans = world.Table().GetSpanBuffer();
  for (int p : {300, 500, 700}) {
    world.Draw(65, p, 1000);
    int blended = 0;
    for (int y = 0; y < 600; ++y) {
      const int64_t l = int64_t{p} * (800 + 64 + 600) / 1000 - 64 - y;
      const int32_t* line = spans + y * 4;
      if (l < 0 || l + 64 > 800) continue;
      ++blended;
      EXPECT_EQ(std::vector<int32_t>(line, line + 4),
                (std::vector<int32_t>{static_cast<int32_t>(l), 64, 256,
                                      static_cast<int32_t>(800 - l - 64)}))
          << p << " line " << y;
      // The screen: weights 256 - 4i for the new picture, 4i for the old.
      const int i = 17, x = static_cast<int>(l) + i;
      uint32_t want = 0;
      for (int s = 0; s < 32; s += 8) {
        const uint32_t v = ((WorldNew(x, y) >> s & 0xFF) * (256 - 4 * i) >> 8) +
                           ((WorldOld(x, y) >> s & 0xFF) * (4 * i) >> 8);
        want |= std::min(v, 255u) << s;
      }
      EXPECT_EQ(world.At(x, y), want);
    }
    EXPECT_GT(blended, 100) << p;
  }
}

// The torn edge comes from the table's random table, made at its first
// request: every frame of one step draws the same edge, later draws of the
// generator change nothing, and each line splits where its own start and
// end put it.
TEST(ShapeWipes, TornEdgeIsTheSameInEveryFrame) {
  WipeWorld world(97, 55);
  crt::srand(4321);
  world.Draw(24, 3, 10);
  const auto first = world.Screen();
  const int32_t* random = world.Table().GetRandomTable();
  for (int y = 0; y < 55; ++y) {
    const int64_t start = 97 * int64_t{random[2 * y]} / -32768;
    const int64_t end = 97 + 97 * int64_t{random[2 * y + 1]} / 65536;
    const int64_t l = std::clamp<int64_t>(start + 3 * (end - start) / 10, 0, 97);
    for (int x = 0; x < 97; ++x)
      ASSERT_EQ(world.At(x, y), x < l ? WorldNew(x, y) : WorldOld(x, y)) << x << "," << y;
  }
  world.Draw(24, 8, 10);
  crt::srand(99);
  world.Draw(24, 3, 10);
  EXPECT_EQ(world.Screen(), first);
}

// The torn edge read two random values per screen line from
// a table made for the screen the wipe table was built on; on a taller
// screen it read past the table. Lines past it reuse the values from the
// top.
TEST(ShapeWipes, TornEdgeOnATallerScreenReusesTheTable) {
  WipeWorld world(64, 48, 16);
  CScreenBuffer taller(40, 60, 0);
  world.Table().Print(24, world.Old(), world.New(), 4, 10, nullptr, nullptr);
  const uint32_t* screen = CScreenBuffer::GetBuffer();
  for (int y = 48; y < 60; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool isNew = screen[y * 40 + x] == WorldNew(x, y);
      ASSERT_EQ(isNew, screen[(y - 48) * 40 + x] == WorldNew(x, y - 48)) << x << "," << y;
    }
}

// A reversed variant at p shows its plain variant at max - p with the
// pictures exchanged (the single arrowhead excepted: its point turns).
TEST(ShapeAndMoveWipes, ReversedVariantsPlayThePlainOneBackwards) {
  const std::pair<int, int> pairs[] = {
      {7, 6},   {25, 24}, {29, 28}, {31, 30}, {33, 32}, {37, 36}, {51, 48}, {52, 49},
      {53, 50}, {57, 54}, {58, 55}, {59, 56}, {67, 66}, {68, 65}, {79, 78}, {95, 94},
      {14, 10}, {15, 11}, {16, 12}, {17, 13}, {20, 18}, {21, 19}, {85, 84}, {87, 86}};
  for (auto [w, h] : {std::pair{97, 55}, {64, 48}}) {
    WipeWorld world(w, h);
    for (auto [reversed, plain] : pairs)
      for (int p : {0, 3, 11, 20}) {
        world.Clear(0);
        world.Draw(reversed, p, 20);
        const auto got = world.Screen();
        world.Clear(0);
        world.Draw(plain, 20 - p, 20, true);
        EXPECT_EQ(got, world.Screen()) << reversed << " at " << p << " on " << w;
      }
  }
}

// Unreversed the arrowhead enters from the left, reversed from the right,
// its point on the middle line leading either way.
TEST(ShapeWipes, ArrowheadPointsTheOtherWayReversed) {
  WipeWorld world(64, 48);
  auto newOnLine = [&](int y) {
    int n = 0;
    for (int x = 0; x < 64; ++x) n += world.At(x, y) == WorldNew(x, y);
    return n;
  };
  for (int n : {88, 89}) {
    world.Draw(n, 1, 2);
    EXPECT_GT(newOnLine(24), newOnLine(0) + 20) << n;
    const int leading = n == 88 ? 0 : 63;
    EXPECT_EQ(world.At(leading, 24), WorldNew(leading, 24)) << n;
    EXPECT_EQ(world.At(63 - leading, 24), WorldOld(63 - leading, 24)) << n;
  }
}

// The curved shapes part way: the centre shows the new picture, the
// corners the old; the star mirrors exactly about the centre column.
TEST(ShapeWipes, ShapesOpenFromTheCentre) {
  WipeWorld world(800, 600);
  for (int n : {6, 28, 30, 32, 78}) {
    for (int p : {1, 2}) {
      world.Draw(n, p, 8);
      EXPECT_EQ(world.At(400, 300), WorldNew(400, 300)) << n << " " << p;
      for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}})
        EXPECT_EQ(world.At(x, y), WorldOld(x, y)) << n << " at " << x << "," << y;
    }
  }
  world.Draw(28, 3, 8);
  for (int y = 0; y < 600; ++y)
    for (int k = 1; k < 400; ++k)
      ASSERT_EQ(world.At(400 - k, y) == WorldNew(400 - k, y),
                world.At(400 + k, y) == WorldNew(400 + k, y))
          << k << "," << y;
  // The point of the heart is below the centre, its lobes above.
  world.Draw(30, 1, 8);
  EXPECT_EQ(world.At(400, 300 + 60), WorldNew(400, 360));
  EXPECT_EQ(world.At(400 - 60, 300 - 40), WorldNew(340, 260));
  EXPECT_EQ(world.At(320, 350), WorldOld(320, 350));
}

}  // namespace
}  // namespace effect_test
