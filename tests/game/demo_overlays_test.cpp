// The sample game's overlay showcase end to end: the built game folder runs
// headless through the test double, which starts a new game with the
// showcase's variable at 2. Two runs show the same frames (the lamp, the
// fish and the sparkles draw random numbers: each run starts from the
// generator's first state, as a fresh process does), and once the iris has
// closed the screen is its colour everywhere but under the mouse cursor and
// the frame meter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "demo_frames.h"
#include "graphics/screenbuffer.h"

namespace {

constexpr int kShowcaseVar = 200;
constexpr int kOverlays = 2;
constexpr int kFrames = 420;
constexpr uint32_t kIrisColour = 0x000060;

struct OverlayRun {
  std::vector<uint64_t> hashes;
  // Per frame: 1 when every sample away from the two corners is the iris
  // colour.
  std::vector<int> closed;
  int boxes = 0;
};

int ScreenIsIrisColour() {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const uint32_t* p = CScreenBuffer::GetBuffer();
  for (int y = 4; y < h; y += 16)
    for (int x = 4; x < w; x += 16) {
      const bool cursor = x < 48 && y < 48, meter = x < 80 && y >= h - 48;
      // The floating option button stays over every effect.
      const bool option = x >= 752 && y < 40;
      if (!cursor && !meter && !option && (p[y * w + x] & 0xFFFFFF) != kIrisColour) return 0;
    }
  return 1;
}

OverlayRun RunOverlays() {
  OverlayRun run;
  const demotest::ShowcaseRun shown =
      demotest::RunShowcase(kShowcaseVar, kOverlays, kFrames, 0, {0, 0, 0, 0, 1},
                            [&run] { run.closed.push_back(ScreenIsIrisColour()); });
  run.hashes = shown.hashes;
  run.boxes = shown.boxes;
  return run;
}

TEST(DemoOverlaysTest, TheShowcaseRepeatsItsFramesAndTheClosedIrisFillsTheScreen) {
  const OverlayRun first = RunOverlays();
  const OverlayRun second = RunOverlays();
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  // The iris closes after all the other effects, holds its colour for some
  // frames and opens again.
  int firstClosed = -1, lastClosed = -1;
  for (int i = 0; i < kFrames; ++i)
    if (first.closed[i]) {
      if (firstClosed < 0) firstClosed = i;
      lastClosed = i;
    }
  ASSERT_GE(firstClosed, 300) << "the iris never filled the screen in its colour";
  EXPECT_GE(lastClosed - firstClosed, 5);
  EXPECT_EQ(first.closed[kFrames - 1], 0);
  // Frames before the iris move: not all alike.
  EXPECT_NE(first.hashes[50], first.hashes[150]);
}

}  // namespace
