// What the picture puzzles share: the left click of this frame (the mouse
// position with it), a screen-sized grid cell that never comes out below 1,
// and the opaque copy of a picture rectangle marked dirty.
#pragma once

#include "platform/types.h"

class CAllMiniGame;
class CMouseStatus;
class CPicture;

namespace puzzle {

struct Click {
  bool down = false;
  int x = 0, y = 0;
};

// The mouse position kept within +-kFar, so that sums with screen sizes
// never overflow; (0, 0) without a mouse. The card and tile games read the
// mouse through it too.
constexpr int kFar = 1 << 20;
platform::Point MousePos(const CMouseStatus* mouse);
// The left click of this frame (its position as MousePos); none without a
// mouse.
Click LeftClick(const CMouseStatus* mouse);
// size / parts, at least 1 (a screen too small for the grid).
int Cell(int size, int parts);
// Copies the rectangle opaque from `picture` (nothing for a missing one) and
// marks it dirty.
void CopyCell(CPicture* picture, int dstX, int dstY, int srcX, int srcY, int w, int h);

// Raises the holder's request for sound `sound` (CAllMiniGame::kClick,
// kGood, kBad or kClear); nothing without a holder.
void RequestSound(CAllMiniGame* holder, int sound);

}  // namespace puzzle
