#include "minigame/cardgame.h"

#include <utility>

#include "input/inputstatus.h"
#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

namespace cardgame {

std::vector<int> Shuffle(int n) {
  std::vector<int> deck(n);
  for (int i = 0; i < n; ++i) deck[i] = i;
  for (int i = 0; i < n; ++i) {
    int j = (i + crt::rand() % (n - 1)) % n;
    std::swap(deck[i], deck[j]);
  }
  return deck;
}

bool SheetCell(int card, bool narrow, int* column, int* row) {
  if (card < 0 || card >= kCells) return false;
  if (!narrow) {
    *column = card % 13;
    *row = card / 13;
    return true;
  }
  if (card < 49) {
    int suit = card / 13, rank = card % 13;
    if (rank < 10) {
      *column = rank;
      *row = suit;
    } else {
      *column = suit * 3 + rank - 10;
      *row = 4;
    }
    return true;
  }
  *column = (card - 49) % 10;
  *row = (card - 49) / 10 + 5;
  return true;
}

void Sheet::Load(CAllMiniGame* holder) {
  if (!holder) return;
  picture = holder->GetSetPicture(0);
  holder->GetCellSize(0, &cw, &ch);
  narrow = holder->GetSetFlag(0) != 0;
}

void Sheet::Draw(int card, int x, int y, int percent, bool hover, int overlay) const {
  if (!picture || cw <= 0 || ch <= 0) return;
  int column = 0, row = 0;
  if (!SheetCell(card, narrow, &column, &row)) return;
  if (percent == 100) picture->Blt(x, y, column * cw, row * ch, cw, ch, 1);
  else picture->TransLucentBlt3(x, y, column * cw, row * ch, cw, ch, percent);
  if (hover) Draw(kHover, x, y);
  if (overlay > 0 && kHover + overlay < kCells) Draw(kHover + overlay, x, y);
}

MouseFrame ReadMouse(const CMouseStatus* mouse) {
  MouseFrame m;
  if (!mouse) return m;
  const platform::Point p = puzzle::MousePos(mouse);
  m.x = p.x;
  m.y = p.y;
  m.left = mouse->GetClick(0) != 0;
  m.right = mouse->GetClick(1) != 0;
  m.middle = mouse->GetClick(2) != 0;
  return m;
}

void ScreenSize(int* w, int* h) {
  *w = CScreenBuffer::GetWidth() > 0 ? CScreenBuffer::GetWidth() : 800;
  *h = CScreenBuffer::GetHeight() > 0 ? CScreenBuffer::GetHeight() : 600;
}

void PutBackground(CPicture* background) {
  int w = 0, h = 0;
  ScreenSize(&w, &h);
  if (!background || background->GetWidth() < w || background->GetHeight() < h) CAllGraphics::FillScreen(0, 0, 0);
  if (background) background->Put(0, 0, 0);
}

void RestoreRect(CPicture* background, int x, int y, int w, int h) {
  if (!background || x + w > background->GetWidth() || y + h > background->GetHeight())
    CAllGeo::BoxFill(x, y, w, h, 0, 0, 0);
  if (background) background->Blt(x, y, x, y, w, h, 0);
  CScreenBuffer::AddDirtyRect(x, y, w, h);
}

Layout SevenColumns(int cw, int ch) {
  int w = 0, h = 0;
  ScreenSize(&w, &h);
  int e = w - 7 * cw;
  Layout l;
  l.pitch = e / 7 + cw;
  l.margin = e / 14;
  l.rowstep = (h - ch - 16) / 6;
  return l;
}

}  // namespace cardgame
