#include "minigame/cross.h"

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

void CrossBoard::Flip(int col, int row) {
  static constexpr int kOffsets[5][2] = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  for (const auto& o : kOffsets) {
    const int c = col + o[0], r = row + o[1];
    if (c >= 0 && c < 8 && r >= 0 && r < 8) cells[r * 8 + c] ^= 1;
  }
}

bool CrossBoard::AllEqual(int value) const {
  for (int v : cells)
    if (v != value) return false;
  return true;
}

CMiniGameCross::CMiniGameCross(CAllMiniGame* holder) : CMiniGameBase(holder) {}

CMiniGameCross::~CMiniGameCross() { Release(); }

int CMiniGameCross::Init() {
  board_.Reset();
  for (int i = 0; i < 12; ++i) {
    const int col = crt::rand() % 8;
    const int row = crt::rand() % 8;
    board_.Flip(col, row);
  }
  clearFlag_ = 0;
  lastCol_ = lastRow_ = -1;
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CMiniGameCross::Calcu() {
  if (clearFlag_) return -1;
  lastCol_ = lastRow_ = -2;
  const puzzle::Click click = puzzle::LeftClick(mouseStatus_);
  if (!click.down) return -1;
  if (click.x >= 0 && click.y >= 0) {
    const int col = click.x / puzzle::Cell(CScreenBuffer::GetWidth(), 8);
    const int row = click.y / puzzle::Cell(CScreenBuffer::GetHeight(), 8);
    if (col < 8 && row < 8) {
      board_.Flip(col, row);
      lastCol_ = col;
      lastRow_ = row;
      if (board_.AllEqual(board_.cells[row * 8 + col])) clearFlag_ = 1;
    }
  }
  puzzle::RequestSound(holder_, clearFlag_ ? CAllMiniGame::kClear : CAllMiniGame::kClick);
  return -1;
}

int CMiniGameCross::Print() {
  const int w = puzzle::Cell(CScreenBuffer::GetWidth(), 8);
  const int h = puzzle::Cell(CScreenBuffer::GetHeight(), 8);
  if (clearFlag_) {
    CScreenBuffer::SetFullRedraw(0);
    puzzle::CopyCell(picture_[board_.cells[0] ? 1 : 0], 0, 0, 0, 0, CScreenBuffer::GetWidth(),
                     CScreenBuffer::GetHeight());
    return -1;
  }
  const bool full = CScreenBuffer::CheckFullRedraw();
  for (int row = 0; row < 8; ++row) {
    for (int col = 0; col < 8; ++col) {
      const bool near = lastCol_ >= 0 && col >= lastCol_ - 1 && col <= lastCol_ + 1 &&
                        row >= lastRow_ - 1 && row <= lastRow_ + 1;
      if (!full && !near) continue;
      puzzle::CopyCell(picture_[board_.cells[row * 8 + col] ? 1 : 0], col * w, row * h, col * w,
                       row * h, w, h);
    }
  }
  return -1;
}
