#include "minigame/slide16.h"

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

void Slide16Board::Reset() {
  for (int i = 0; i < 16; ++i) cells[i] = i;
}

void Slide16Board::Apply(int k) {
  if (k < 0 || k >= kMoves) return;
  const Move& m = kMoveTable[k];
  int index[4];
  for (int s = 0; s < 4; ++s) index[s] = (m.row + s * m.dRow) * 4 + m.col + s * m.dCol;
  const int far = cells[index[3]];
  for (int s = 3; s > 0; --s) cells[index[s]] = cells[index[s - 1]];
  cells[index[0]] = far;
}

int Slide16Board::MoveAt(int col, int row) {
  for (int k = 0; k < kMoves; ++k)
    if (kMoveTable[k].col == col && kMoveTable[k].row == row) return k;
  return -1;
}

bool Slide16Board::Solved() const {
  for (int i = 0; i < 16; ++i)
    if (cells[i] != i) return false;
  return true;
}

CMiniGameSlide16::CMiniGameSlide16(CAllMiniGame* holder) : CMiniGameBase(holder) {}

CMiniGameSlide16::~CMiniGameSlide16() { Release(); }

int CMiniGameSlide16::Init() {
  board_.Reset();
  for (int i = 0; i < 13; ++i) board_.Apply(crt::rand() % Slide16Board::kMoves);
  clearFlag_ = 0;
  lastMove_ = -1;
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CMiniGameSlide16::Calcu() {
  if (clearFlag_) return -1;
  lastMove_ = -1;
  const puzzle::Click click = puzzle::LeftClick(mouseStatus_);
  if (!click.down || click.x < 0 || click.y < 0) return -1;
  const bool inScreen = click.x < CScreenBuffer::GetWidth() && click.y < CScreenBuffer::GetHeight();
  const int col = click.x / puzzle::Cell(CScreenBuffer::GetWidth(), 4);
  const int row = click.y / puzzle::Cell(CScreenBuffer::GetHeight(), 4);
  const int k = (col < 4 && row < 4) ? Slide16Board::MoveAt(col, row) : -1;
  if (k >= 0) {
    board_.Apply(k);
    lastMove_ = k;
    if (board_.Solved()) {
      clearFlag_ = 1;
      CScreenBuffer::SetFullRedraw(0);
    }
  }
  if (inScreen) puzzle::RequestSound(holder_, clearFlag_ ? CAllMiniGame::kClear : CAllMiniGame::kClick);
  return -1;
}

int CMiniGameSlide16::Print() {
  const int w = puzzle::Cell(CScreenBuffer::GetWidth(), 4);
  const int h = puzzle::Cell(CScreenBuffer::GetHeight(), 4);
  auto drawCell = [&](int i) {
    const int t = board_.cells[i];
    puzzle::CopyCell(picture_[0], i % 4 * w, i / 4 * h, t % 4 * w, t / 4 * h, w, h);
  };
  if (clearFlag_) {
    CScreenBuffer::SetFullRedraw(0);
    puzzle::CopyCell(picture_[0], 0, 0, 0, 0, 4 * w, 4 * h);
  } else if (CScreenBuffer::CheckFullRedraw()) {
    for (int i = 0; i < 16; ++i) drawCell(i);
  } else if (lastMove_ >= 0) {
    const Slide16Board::Move& m = Slide16Board::kMoveTable[lastMove_];
    for (int s = 0; s < 4; ++s) drawCell((m.row + s * m.dRow) * 4 + m.col + s * m.dCol);
  }
  return -1;
}
