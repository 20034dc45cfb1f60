#include "minigame/nikaku.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/allgeo.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"

CMiniGameNikaku::CMiniGameNikaku(CAllMiniGame* holder) : CMiniGameMahjongCommon(holder) {}

CMiniGameNikaku::~CMiniGameNikaku() { Release(); }

void CMiniGameNikaku::Release() {}

int CMiniGameNikaku::Init() {
  Deal(kPairCell);
  pathType_ = 0;
  corner_[0] = corner_[1] = -1;
  connect_ = wait_ = 0;
  return -1;
}

bool CMiniGameNikaku::ClearLine(int a, int b, bool far) const {
  int ar = a / kCols, ac = a % kCols, br = b / kCols, bc = b % kCols;
  int step = 0;
  if (ar == br) step = bc > ac ? 1 : -1;
  else if (ac == bc) step = br > ar ? kCols : -kCols;
  else return false;
  if (a == b) return true;
  for (int c = a + step; c != b; c += step)
    if (!Empty(c)) return false;
  return !far || Empty(b);
}

bool CMiniGameNikaku::Corner(int a, int b, int c) {
  if (c == a || c == b || !Empty(c) || !ClearLine(a, c) || !ClearLine(c, b)) return false;
  pathType_ = 1;
  corner_[0] = c;
  corner_[1] = -1;
  return true;
}

bool CMiniGameNikaku::TwoCorners(int a, int b, int c1, int c2) {
  if (c1 == a || c2 == b || !Empty(c1) || !Empty(c2)) return false;
  if (!ClearLine(a, c1) || !ClearLine(c1, c2) || !ClearLine(c2, b)) return false;
  pathType_ = 2;
  corner_[0] = c1;
  corner_[1] = c2;
  return true;
}

bool CMiniGameNikaku::Match(int a, int b) {
  if (a == b || a < 0 || b < 0 || a >= kCells || b >= kCells) return false;
  if (board_[a] <= 0 || board_[b] <= 0 || Kind(board_[a]) != Kind(board_[b])) return false;
  int ar = a / kCols, ac = a % kCols, br = b / kCols, bc = b % kCols;
  if ((ar == br || ac == bc) && ClearLine(a, b)) {
    pathType_ = 0;
    corner_[0] = corner_[1] = -1;
    return true;
  }
  if (Corner(a, b, Cell(ac, br)) || Corner(a, b, Cell(bc, ar))) return true;
  for (int i = 0; i < kCols; ++i)
    if (i != ac && i != bc && TwoCorners(a, b, Cell(i, ar), Cell(i, br))) return true;
  for (int j = 0; j < kRows; ++j)
    if (j != ar && j != br && TwoCorners(a, b, Cell(ac, j), Cell(bc, j))) return true;
  return false;
}

void CMiniGameNikaku::StartRemoval(int second) {
  second_ = second;
  holder_->RequestGoodSound();
  state_ = kConnect;
  connect_ = 0;
}

void CMiniGameNikaku::EndConnect() {
  int kind = Kind(board_[selected_]);
  board_[selected_] = kRemoved;
  board_[second_] = kRemoved;
  CScreenBuffer::SetFullRedrawFlag(1);
  if (std::none_of(std::begin(board_), std::end(board_), [](int v) { return v > 0; })) {
    holder_->RequestClearSound();
    clearFlag_ = 1;
    return;
  }
  if (kind >= 34) {
    state_ = kWait;
    wait_ = kWaitLength;
    return;
  }
  IdleOrGameOver();
}

void CMiniGameNikaku::GameStep(const cardgame::MouseFrame& m) {
  switch (state_) {
    case kConnect:
      ++connect_;
      if (m.left || m.right || connect_ >= (pathType_ + 1) * kLegFrames) EndConnect();
      return;
    case kWait:
      CScreenBuffer::SetFullRedrawFlag(1);
      if (wait_ > 0) --wait_;
      if (m.left || m.right) wait_ = 0;
      if (wait_ > 0) return;
      for (int& v : board_)
        if (v == kRemoved) v = kEmptyCell;
      SetFallDistances(1);
      state_ = kFall;
      return;
    default: return;
  }
}

void CMiniGameNikaku::FallEnded() { IdleOrGameOver(); }

void CMiniGameNikaku::DrawLine() const {
  int points[4] = {selected_, corner_[0], corner_[1], second_};
  int path[4], n = 0;
  for (int p : points)
    if (p >= 0) path[n++] = p;
  for (int leg = 0; leg + 1 < n; ++leg) {
    int grown = std::min(connect_ - leg * kLegFrames, kLegFrames);
    if (grown <= 0) break;
    int x0 = (path[leg] % kCols) * w_ + w_ / 2, y0 = (path[leg] / kCols) * h_ + h_ / 2;
    int x1 = (path[leg + 1] % kCols) * w_ + w_ / 2, y1 = (path[leg + 1] / kCols) * h_ + h_ / 2;
    x1 = x0 + (x1 - x0) * grown / kLegFrames;
    y1 = y0 + (y1 - y0) * grown / kLegFrames;
    int x = std::min(x0, x1) - 4, y = std::min(y0, y1) - 4;
    int w = std::abs(x1 - x0) + 9, h = std::abs(y1 - y0) + 9;
    CAllGeo::BoxFill(x, y, w, h, 64, 255, 128);
    CScreenBuffer::AddDirtyRect(x, y, w, h);
  }
}

bool CMiniGameNikaku::PrintState(bool full) {
  switch (state_) {
    case kConnect:
      if (full) DrawAll(100);
      DrawChanged();
      DrawLine();
      return true;
    case kWait:
      DrawFading([this](int c) { return board_[c] == kRemoved; }, wait_ * 100 / kWaitLength);
      return true;
    default: return false;
  }
}
