#include "effect/calcucurve.h"

#include <gtest/gtest.h>

#include <climits>

#include "setup/random.h"

namespace {

struct CurveCase {
  const char* what;
  int counter, length, from, to, ramp, code;
  int expected;
};

TEST(CalcuCurve, EdgeCases) {
  const CurveCase cases[] = {
      {"linear", 3, 10, 0, 100, 0, 0, 30},
      {"backward", 3, 10, 0, 100, 0, 100, 70},
      {"square", 3, 10, 0, 100, 0, 30, 9},
      {"square root", 3, 10, 0, 100, 0, 60, 55},
      {"half cosine", 3, 10, 0, 100, 0, 75, 21},
      {"counter above the length", 15, 10, 0, 100, 0, 0, 100},
      {"negative counter", -2, 10, 0, 100, 0, 0, 0},
      {"length 0 is 1", 0, 0, 0, 100, 0, 0, 0},
      {"length 0 at 1", 1, 0, 0, 100, 0, 0, 100},
      {"length -5 at 1", 1, -5, 0, 100, 0, 0, 100},
      {"delayed start waits", 3, 10, 0, 100, 4, 1, 0},
      {"delayed start rises", 7, 10, 0, 100, 4, 1, 50},
      {"early finish, ramp 0", 0, 10, 0, 100, 0, 2, 100},
      {"early finish, ramp 0, later", 9, 10, 0, 100, 0, 2, 100},
      {"trapezoid at the ramp", 5, 20, 0, 100, 5, 4, 100},
      {"trapezoid holds", 12, 20, 0, 100, 5, 4, 100},
      {"trapezoid falls", 18, 20, 0, 100, 5, 4, 40},
      {"triangle rising", 3, 10, 0, 100, 4, 5, 75},
      {"triangle falling", 6, 10, 0, 100, 4, 5, 50},
      {"two pulses", 6, 20, 0, 100, 2, 9, 100},
      {"slow pulse", 15, 20, 0, 100, 2, 9, 83},
      {"two teeth", 5, 20, 0, 100, 2, 10, 6},
      {"slow ramp", 12, 20, 0, 100, 2, 10, 50},
      {"negative range", 1, 3, 0, -100, 0, 0, -32},
      {"pattern 11 is linear", 3, 10, 0, 100, 4, 11, 30},
      {"negative code keeps a / L, backward", 3, 10, 0, 100, 0, -100, 70},
      {"extreme range stays in int", 10, 10, INT_MIN, INT_MAX, 0, 0, INT_MAX},
      {"extreme ramp", 5, INT_MAX, 0, 100, INT_MAX, 4, 0},
  };
  for (const CurveCase& c : cases)
    EXPECT_EQ(CalcuCurve(c.counter, c.length, c.from, c.to, c.ramp, c.code, 0), c.expected)
        << c.what;
}

TEST(CalcuCurve, JitterScalesTowardTheStartWithOneDrawEach) {
  crt::srand(7);
  int below = 0;
  for (int i = 0; i < 200; ++i) {
    const int v = CalcuCurve(6, 10, 0, 100, 0, 200, 0);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 60);
    below += v < 60;
  }
  EXPECT_GT(below, 150);
  // One draw per call: the generator stands where 200 plain draws leave it.
  crt::srand(7);
  for (int i = 0; i < 200; ++i) crt::rand();
  const int next = crt::rand();
  crt::srand(7);
  for (int i = 0; i < 200; ++i) CalcuCurve(6, 10, 0, 100, 0, 200, 0);
  EXPECT_EQ(crt::rand(), next);
  // Without jitter nothing is drawn.
  crt::srand(7);
  CalcuCurve(6, 10, 0, 100, 0, 0, 0);
  const int first = crt::rand();
  crt::srand(7);
  EXPECT_EQ(crt::rand(), first);
}

}  // namespace
