#include "effect/effectstart.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using namespace effectstart;

// A table using every kind of default and clamp.
constexpr ParamDefault kDefaults[] = {
    Value(0, 20), Value(1, Width(1, 4)), Value(2, Height(1, 2, -1)),
    Same(3, 1),   PlusHalf(4, 1, 2),     NoDefault(5),
};
constexpr ParamClamp kClamps[] = {Range(1, Fixed(0), Width(1, 1, -1)), SumAtMost(2, 1, Height()),
                                  AtMost(4, Fixed(50))};

constexpr StartTable kAfterTable{250, 6, -1, ClampTiming::kAfterDefaults, kDefaults, kClamps};
constexpr StartTable kEachTable{250, 6, -1, ClampTiming::kWithEachDefault, kDefaults, kClamps};

std::vector<int> Params(ClampTiming timing, std::vector<int> values) {
  const StartTable& table = timing == ClampTiming::kAfterDefaults ? kAfterTable : kEachTable;
  std::vector<int> p(6, -7);
  CTableStartEffect::MakeParams(table, static_cast<int>(values.size()), values.data(), 160, 120,
                                p.data());
  return p;
}

TEST(EffectStart, DefaultsReferencesAndClampOrder) {
  struct Case {
    ClampTiming timing;
    std::vector<int> values;
    std::vector<int> want;
  };
  const ClampTiming after = ClampTiming::kAfterDefaults, each = ClampTiming::kWithEachDefault;
  const Case cases[] = {
      // Defaults: W/4, H/2 - 1, = 1, 1 + 2/2; no default stays 0.
      {after, {}, {20, 40, 59, 40, 50, 0}},
      // Clamps after all defaults: 3 and 4 see p1 before it was clamped.
      {after, {5, -30}, {5, 0, 59, -30, -1, 0}},
      // Each clamp right after its value: 3 and 4 see the clamped p1.
      {each, {5, -30}, {5, 0, 59, 0, 29, 0}},
      // The sum clamp cuts 2 so that 1 + 2 <= H, the cap holds 4.
      {after, {5, 100, 90, 1, 400, 9}, {5, 100, 20, 1, 50, 9}},
      // Huge values: sums in 64 bits, held to the int range.
      {after, {0, INT_MAX, INT_MIN}, {0, 159, INT_MIN, INT_MAX, 50, 0}},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Params(cases[i].timing, cases[i].values), cases[i].want) << "case " << i;
}

TEST(EffectStart, CountIsCutToTheMaximumAndNullValuesGiveDefaults) {
  const StartTable& table = kAfterTable;
  std::vector<int> many = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<int> p(8, -7);
  EXPECT_EQ(CTableStartEffect::MakeParams(table, 8, many.data(), 160, 120, p.data()), 6);
  EXPECT_EQ(p, (std::vector<int>{1, 2, 3, 4, 5, 6, -7, -7}));
  EXPECT_EQ(CTableStartEffect::MakeParams(table, 3, nullptr, 160, 120, p.data()), 0);
  EXPECT_EQ(p[0], 20);
  EXPECT_EQ(CTableStartEffect::MakeParams(table, -4, many.data(), 160, 120, p.data()), 0);
  EXPECT_EQ(p[1], 40);
}

}  // namespace
