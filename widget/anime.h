// The frame rule every animated widget shares (buttons, animation parts,
// cursors). Types: 1 loop; 2 once, staying on the last frame; 3 back and
// forth (0, 1, ..., n-1, n-2, ..., 1, 0, ...); 4 back and forth once, ending
// on frame 0; 5 to 8 the same four, cross-fading each frame into the next.
// Pattern counts and speeds below 1 count as 1; other types run as type 1.
#pragma once

#include <cstdint>

#include "platform/types.h"

class CPicture;

namespace anime {

struct Frame {
  int current = 0;  // frame shown
  int next = 0;     // frame faded into (types 5-8)
  int percent = 100;  // weight of the current frame
};

bool IsBackAndForth(int type);
bool IsStopping(int type);
bool IsCrossFading(int type);

// Frames of one pass: 2n - 2 (at least 1) for the back-and-forth types, n
// for the others.
int64_t FrameCount(int pattern, int type);
// Ticks of one pass: frames x speed.
int64_t Length(int pattern, int speed, int type);
// The frames and the blend at tick `counter`.
Frame Calcu(int pattern, int speed, int type, int64_t counter);
// counter + step, wrapped into one pass (clamped at its end for the
// stopping types); never below 0.
int64_t Add(int64_t counter, int64_t step, int pattern, int speed, int type);

// Draws one animation step at (x, y), w x h: the current frame (source
// `current`) at percent 100 or above, the next one (source `next`) at 0 or
// below, else a cross-fade of the two when `fade` is set. A picture without
// a mask cannot cross-fade and shows the current frame. Nothing without a
// picture.
void DrawFrame(CPicture* picture, int x, int y, platform::Point current, platform::Point next, int w,
               int h, int percent, int trans, bool fade);

}  // namespace anime
