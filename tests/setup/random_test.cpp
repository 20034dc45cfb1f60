#include <gtest/gtest.h>

#include <vector>

#include "setup/random.h"

namespace {

std::vector<int> Draw(int n) {
  std::vector<int> out;
  for (int i = 0; i < n; ++i) out.push_back(crt::rand());
  return out;
}

TEST(RandomTest, FollowsTheRunTimeSequence) {
  crt::ResetRandom();
  EXPECT_EQ(Draw(5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
  crt::ResetRandom();
  EXPECT_EQ(Draw(1), (std::vector<int>{41}));

  struct Case {
    uint32_t seed;
    std::vector<int> values;
  };
  const Case cases[] = {
      {1, {41, 18467, 6334, 26500, 19169}},
      {0, {38, 7719, 21238, 2437, 8855}},
      {12345, {7584, 19164, 25795, 22125, 5828}},
      {0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    crt::srand(c.seed);
    EXPECT_EQ(Draw(5), c.values);
  }
  crt::ResetRandom();
}

}  // namespace
