#include "minigame/puzzlecommon.h"

#include <algorithm>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"

namespace puzzle {

platform::Point MousePos(const CMouseStatus* mouse) {
  platform::Point p{};
  if (!mouse) return p;
  mouse->GetPos(&p);
  p.x = std::clamp(p.x, -kFar, kFar);
  p.y = std::clamp(p.y, -kFar, kFar);
  return p;
}

Click LeftClick(const CMouseStatus* mouse) {
  Click c;
  if (!mouse || !mouse->GetClick(0)) return c;
  const platform::Point p = MousePos(mouse);
  c.down = true;
  c.x = p.x;
  c.y = p.y;
  return c;
}

int Cell(int size, int parts) {
  const int cell = size / parts;
  return cell < 1 ? 1 : cell;
}

void CopyCell(CPicture* picture, int dstX, int dstY, int srcX, int srcY, int w, int h) {
  if (picture && picture->GetBuffer()) picture->Blt(dstX, dstY, srcX, srcY, w, h, 0);
  CScreenBuffer::AddDirtyRect(dstX, dstY, w, h);
}

void RequestSound(CAllMiniGame* holder, int sound) {
  if (!holder) return;
  switch (sound) {
    case CAllMiniGame::kGood: holder->RequestGoodSound(); break;
    case CAllMiniGame::kBad: holder->RequestBadSound(); break;
    case CAllMiniGame::kClear: holder->RequestClearSound(); break;
    default: holder->RequestClickSound(); break;
  }
}

}  // namespace puzzle
