#include "minigame/change.h"

#include <utility>

#include "input/inputstatus.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

void ChangeBoard::Reset() {
  for (int i = 0; i < 16; ++i) cells[i] = i;
  held = -1;
}

void ChangeBoard::Swap(int cell) {
  if (cell >= 0 && cell < 16) std::swap(cells[cell], held);
}

bool ChangeBoard::Solved() const {
  if (held != -1) return false;
  for (int i = 0; i < 16; ++i)
    if (cells[i] != i) return false;
  return true;
}

CMiniGameChange::CMiniGameChange(CAllMiniGame* holder) : CMiniGameBase(holder) {}

CMiniGameChange::~CMiniGameChange() { Release(); }

int CMiniGameChange::Init() {
  board_.Reset();
  for (int i = 0; i < 16; ++i) {
    const int col = crt::rand() % 4;
    const int row = crt::rand() % 4;
    std::swap(board_.cells[i], board_.cells[row * 4 + col]);
  }
  clearFlag_ = 0;
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CMiniGameChange::Calcu() {
  if (clearFlag_) return -1;
  const puzzle::Click click = puzzle::LeftClick(mouseStatus_);
  if (!click.down) return -1;
  int sound = CAllMiniGame::kClick;
  if (click.x >= 0 && click.y >= 0) {
    const int col = click.x / puzzle::Cell(CScreenBuffer::GetWidth(), 4);
    const int row = click.y / puzzle::Cell(CScreenBuffer::GetHeight(), 4);
    if (col < 4 && row < 4) {
      const int cell = row * 4 + col;
      board_.Swap(cell);
      if (board_.Solved()) {
        clearFlag_ = 1;
        sound = CAllMiniGame::kClear;
      } else if (board_.cells[cell] == cell) {
        sound = CAllMiniGame::kGood;
      }
    }
  }
  puzzle::RequestSound(holder_, sound);
  return -1;
}

int CMiniGameChange::Print() {
  const int w = puzzle::Cell(CScreenBuffer::GetWidth(), 4);
  const int h = puzzle::Cell(CScreenBuffer::GetHeight(), 4);
  CScreenBuffer::SetFullRedraw(0);
  if (clearFlag_) {
    puzzle::CopyCell(picture_[0], 0, 0, 0, 0, 4 * w, 4 * h);
    return -1;
  }
  for (int i = 0; i < 16; ++i) {
    const int t = board_.cells[i];
    if (t < 0) CAllGeo::BoxFill(i % 4 * w, i / 4 * h, w, h, 0, 64, 128);
    else puzzle::CopyCell(picture_[0], i % 4 * w, i / 4 * h, t % 4 * w, t / 4 * h, w, h);
  }
  if (board_.held >= 0 && mouseStatus_ && picture_[0] && picture_[0]->GetBuffer()) {
    const platform::Point p = puzzle::MousePos(mouseStatus_);
    const int t = board_.held;
    picture_[0]->TransLucentBlt0(p.x - w / 2, p.y - h / 2, t % 4 * w, t / 4 * h, w, h, 50);
  }
  return -1;
}
