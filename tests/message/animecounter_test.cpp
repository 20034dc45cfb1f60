#include "widget/animecounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Step {
  int pattern, next, percent, result;
};

// Steps of Calcu (1) from SetCount (0).
std::vector<Step> Steps(int type, int patterns, int frames, int steps) {
  CAnimeCounter c;
  c.Set(type, patterns, frames);
  c.SetCount(0);
  std::vector<Step> out;
  for (int i = 0; i < steps; ++i) {
    const int result = c.Calcu(1);
    out.push_back({c.GetPattern(), c.GetNextPattern(), c.GetPercent(), result});
  }
  return out;
}

std::vector<int> Patterns(const std::vector<Step>& steps) {
  std::vector<int> p;
  for (const Step& s : steps) p.push_back(s.pattern);
  return p;
}

TEST(AnimeCounter, Loop) {
  const auto steps = Steps(1, 3, 2, 7);
  EXPECT_EQ(Patterns(steps), (std::vector<int>{0, 1, 1, 2, 2, 0, 0}));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(steps[i].result, i == 5 ? 1 : 0) << i;
  EXPECT_EQ(steps[2].next, 2);
  EXPECT_EQ(steps[4].next, 0);  // the next pattern wraps
}

TEST(AnimeCounter, BackAndForth) {
  EXPECT_EQ(Patterns(Steps(3, 3, 1, 5)), (std::vector<int>{1, 2, 1, 0, 1}));
  const auto steps = Steps(3, 3, 1, 4);
  EXPECT_EQ(steps[1].next, 1);  // folds back from the top
  EXPECT_EQ(steps[3].result, 1);
}

TEST(AnimeCounter, OnceStopsOnItsLastStep) {
  const auto steps = Steps(2, 3, 1, 5);
  EXPECT_EQ(Patterns(steps), (std::vector<int>{1, 2, 2, 2, 2}));
  EXPECT_EQ(steps[1].result, 0);
  for (int i = 2; i < 5; ++i) EXPECT_EQ(steps[i].result, 1) << i;
  EXPECT_EQ(steps[4].next, 2);
  // The back-and-forth once type ends on pattern 0.
  const auto fold = Steps(4, 3, 1, 6);
  EXPECT_EQ(Patterns(fold), (std::vector<int>{1, 2, 1, 0, 0, 0}));
  EXPECT_EQ(fold[5].next, 0);
}

TEST(AnimeCounter, CrossFadePercents) {
  const auto steps = Steps(5, 2, 2, 4);
  EXPECT_EQ(steps[0].percent, 50);   // frame 1 of pattern 0
  EXPECT_EQ(steps[1].percent, 100);  // frame 0 of pattern 1
  EXPECT_EQ(steps[2].percent, 50);
  EXPECT_EQ(Steps(1, 2, 2, 1)[0].percent, 100);  // types below 5 never fade
}

TEST(AnimeCounter, DegenerateSettings) {
  CAnimeCounter fresh;
  EXPECT_EQ(fresh.GetPattern(), 0);
  EXPECT_EQ(fresh.GetPercent(), 100);
  for (int type : {1, 2, 3, 4, 5, 8, 0, 99}) {
    for (int patterns : {0, -3, 1, 2147483647}) {
      for (int frames : {0, -1, 1, 2147483647}) {
        CAnimeCounter c;
        c.Set(type, patterns, frames);
        c.SetCount(2147483600);
        c.Calcu(2147483647);
        c.Calcu(-5);
        EXPECT_GE(c.GetPattern(), 0);
        EXPECT_GE(c.GetNextPattern(), 0);
        EXPECT_GE(c.GetPercent(), 0);
        EXPECT_LE(c.GetPercent(), 100);
      }
    }
  }
}

}  // namespace
