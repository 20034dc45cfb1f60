#include "game/frameskip.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

namespace {

TEST(FrameSkip, StartsWithItsDefaults) {
  CFrameSkip s;
  EXPECT_EQ(s.GetMaxSkip(), 3);
  EXPECT_EQ(s.GetPeriod(), 50);
  EXPECT_EQ(s.GetAdjust(), 10);
  EXPECT_EQ(s.GetLag(), 0);
  EXPECT_EQ(s.GetSkipCount(), 0);
  EXPECT_EQ(s.IsTouched(), 1);
}

TEST(FrameSkip, SkipCountFollowsTheLag) {
  // Period 50 and adjust 10: one step of the skip count is 500 ms of lag.
  struct Step {
    std::function<void(CFrameSkip&)> act;
    int lag, skip;
  };
  const std::vector<Step> steps = {
      {[](CFrameSkip& s) { s.Advance(40); }, 40, 0},
      {[](CFrameSkip& s) { s.Advance(600); }, 640, 1},
      {[](CFrameSkip& s) { s.Advance(0); }, 640, 2},
      {[](CFrameSkip& s) { s.Advance(0); }, 640, 2},
      {[](CFrameSkip& s) { s.Consume(10); }, 140, 2},
      {[](CFrameSkip& s) { s.Advance(0); }, 140, 1},
      {[](CFrameSkip& s) { s.Advance(2000); }, 2140, 2},
      {[](CFrameSkip& s) { s.Advance(0); }, 2140, 3},
      {[](CFrameSkip& s) { s.Advance(0); }, 2140, 3},  // the maximum
      {[](CFrameSkip& s) { s.Consume(100); }, -50, 3},  // not below -period
      {[](CFrameSkip& s) { s.Advance(60); }, 10, 0},
  };
  CFrameSkip s;
  int n = 0;
  for (const Step& step : steps) {
    step.act(s);
    EXPECT_EQ(s.GetLag(), step.lag) << "step " << n;
    EXPECT_EQ(s.GetSkipCount(), step.skip) << "step " << n;
    ++n;
  }
}

TEST(FrameSkip, QueryWithAValue) {
  CFrameSkip s;
  s.Advance(600);
  s.Advance(0);
  ASSERT_EQ(s.GetSkipCount(), 2);
  EXPECT_EQ(s.GetSkipCount(0), 0);
  EXPECT_EQ(s.GetSkipCount(1), 1);
  EXPECT_EQ(s.GetSkipCount(2), 2);
  EXPECT_EQ(s.GetSkipCount(5), 2);
  EXPECT_EQ(s.GetSkipCount(-1), 2);
}

TEST(FrameSkip, AnUntouchedFrameForgetsTheLag) {
  CFrameSkip s;
  s.Advance(700);
  s.Consume(1);
  s.Close();
  EXPECT_EQ(s.GetLag(), 650);
  s.Advance(100);
  EXPECT_EQ(s.IsTouched(), 0);
  s.Close();
  EXPECT_EQ(s.GetLag(), 0);
  EXPECT_EQ(s.GetSkipCount(), 0);
}

TEST(FrameSkip, HugeTimesSaturate) {
  CFrameSkip s;
  s.Advance(INT_MAX);
  s.Advance(INT_MAX);
  EXPECT_EQ(s.GetLag(), INT_MAX);
  s.SetMaxSkip(1);
  s.Advance(0);
  EXPECT_EQ(s.GetSkipCount(), 1);
  s.Consume(INT_MAX);
  EXPECT_EQ(s.GetLag(), -50);
}

}  // namespace
