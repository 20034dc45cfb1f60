#include "widget/anime.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The frames shown on ticks 0..ticks-1, the counter moved as a drawn frame
// moves it.
std::vector<int> Walk(int pattern, int speed, int type, int ticks) {
  std::vector<int> frames;
  int64_t k = 0;
  for (int t = 0; t < ticks; ++t) {
    frames.push_back(anime::Calcu(pattern, speed, type, k).current);
    k = anime::Add(k, 1, pattern, speed, type);
  }
  return frames;
}

std::vector<int> Repeat(std::initializer_list<int> frames, int times) {
  std::vector<int> out;
  for (int f : frames)
    for (int i = 0; i < times; ++i) out.push_back(f);
  return out;
}

TEST(Anime, OnceStaysOnTheLastFrame) {
  // Type 2, 4 patterns, speed 5: frames 0-3 for 5 ticks each, then 3.
  std::vector<int> expected = Repeat({0, 1, 2, 3}, 5);
  for (int i = 0; i < 6; ++i) expected.push_back(3);
  EXPECT_EQ(Walk(4, 5, 2, 26), expected);
}

TEST(Anime, BackAndForthOnceEndsOnFrameZero) {
  EXPECT_EQ(Walk(3, 1, 4, 7), (std::vector<int>{0, 1, 2, 1, 0, 0, 0}));
  EXPECT_EQ(Walk(3, 1, 3, 9), (std::vector<int>{0, 1, 2, 1, 0, 1, 2, 1, 0}));
  EXPECT_EQ(Walk(3, 1, 1, 7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST(Anime, OnePatternAlwaysShowsFrameZero) {
  for (int type = 1; type <= 8; ++type) {
    for (int k = 0; k < 4; ++k) {
      const anime::Frame f = anime::Calcu(1, 1, type, k);
      EXPECT_EQ(f.current, 0) << type;
      EXPECT_EQ(f.next, 0) << type;
    }
  }
}

TEST(Anime, CrossFadeWeightsAndNextFrame) {
  struct Case {
    int pattern, speed, type;
    int64_t k;
    int current, next, percent;
  };
  const Case cases[] = {
      {3, 4, 5, 0, 0, 1, 100}, {3, 4, 5, 1, 0, 1, 75}, {3, 4, 5, 3, 0, 1, 25},
      {3, 4, 5, 11, 2, 0, 25},  // the loop fades from the last frame into the first
      {3, 4, 6, 11, 2, 2, 25},  // once: the last frame fades into itself
      {3, 4, 6, 12, 2, 2, 100},
      {3, 2, 7, 5, 2, 1, 50},   // back and forth: 0 1 2 1
      {3, 2, 8, 8, 0, 0, 100},  // back and forth once ends on 0
      {3, 4, 1, 5, 1, 2, 100},  // types below 5 never blend
      {0, 0, 5, 0, 0, 0, 100},  // counts and speeds below 1 count as 1
  };
  for (const Case& c : cases) {
    const anime::Frame f = anime::Calcu(c.pattern, c.speed, c.type, c.k);
    EXPECT_EQ(f.current, c.current) << c.type << " k " << c.k;
    EXPECT_EQ(f.next, c.next) << c.type << " k " << c.k;
    EXPECT_EQ(f.percent, c.percent) << c.type << " k " << c.k;
  }
}

TEST(Anime, AddWrapsOrClampsOnePass) {
  EXPECT_EQ(anime::Length(3, 4, 3), 16);
  EXPECT_EQ(anime::Add(15, 1, 3, 4, 3), 0);
  EXPECT_EQ(anime::Add(15, 3, 3, 4, 4), 16);
  EXPECT_EQ(anime::Add(0, -1, 3, 4, 1), 11);
  EXPECT_EQ(anime::Add(0, -1, 3, 4, 2), 0);
  // Huge settings do not overflow.
  EXPECT_GT(anime::Length(0x7FFFFFFF, 0x7FFFFFFF, 3), 0);
  const anime::Frame f = anime::Calcu(0x7FFFFFFF, 1, 4, int64_t{1} << 40);
  EXPECT_EQ(f.current, 0);
}

}  // namespace
