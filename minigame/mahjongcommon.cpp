#include "minigame/mahjongcommon.h"

#include <algorithm>
#include <utility>

#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "setup/random.h"

using cardgame::MouseFrame;

CMiniGameMahjongCommon::CMiniGameMahjongCommon(CAllMiniGame* holder) : CMiniGameBase(holder) {
  for (int i = 0; i < kAtlas; ++i) {
    atlas_[i][0] = 8;
    atlas_[i][1] = 6;
  }
  for (int i = 0; i < kTiles; ++i) {
    int kind = i / 4;
    int* cell = atlas_[i];
    if (kind < 27) {
      int suit = kind / 9, number = kind % 9;
      cell[0] = number;
      cell[1] = suit;
      if (i % 4 == 3 && (number == 2 || number == 4)) {
        cell[0] = 2 * suit + (number == 4 ? 1 : 0);
        cell[1] = 5;
      }
    } else if (kind < 34) {
      cell[0] = kind - 27;
      cell[1] = 3;
    } else {
      cell[0] = i - 136;
      cell[1] = 4;
    }
  }
  atlas_[kMarkRemoved][0] = 0;
  atlas_[kMarkRemoved][1] = 6;
  LoadSheet();
}

CMiniGameMahjongCommon::~CMiniGameMahjongCommon() = default;

void CMiniGameMahjongCommon::Release() {}

void CMiniGameMahjongCommon::LoadSheet() {
  if (!holder_) return;
  sheet_ = holder_->GetSetPicture(1);
  holder_->GetCellSize(1, &w_, &h_);
  // The mouse cell divides by the tile size: a size below 1 from the
  // settings is taken as 1 so a bad list never stops the game.
  w_ = std::max(w_, 1);
  h_ = std::max(h_, 1);
}

void CMiniGameMahjongCommon::AtlasCell(int i, int* column, int* row) const {
  if (i < 0 || i >= kAtlas) i = kAtlas - 1;
  *column = atlas_[i][0];
  *row = atlas_[i][1];
}

void CMiniGameMahjongCommon::Deal(int pairCell) {
  LoadSheet();
  int list[kTiles];
  for (int j = 0; j < kTiles; ++j) list[j] = j + 1;
  for (int j = 0; j < kTiles; ++j) std::swap(list[j], list[crt::rand() % kTiles]);
  std::fill(std::begin(board_), std::end(board_), kEmptyCell);
  std::fill(std::begin(fall_), std::end(fall_), 0);
  std::fill(std::begin(offset_), std::end(offset_), 0);
  std::fill(std::begin(flags_), std::end(flags_), 0);
  int n = 0;
  for (int row = 1; row <= 8; ++row)
    for (int col = 1; col <= 18; ++col) board_[Cell(col, row)] = list[n++];
  if (!AnyPair()) {
    int first = Cell(1, 1);
    for (int row = 1; row <= 8; ++row)
      for (int col = 1; col <= 18; ++col) {
        int c = Cell(col, row);
        if (c != first && Kind(board_[c]) == Kind(board_[first])) {
          std::swap(board_[c], board_[pairCell]);
          row = 9;
          break;
        }
      }
  }
  clearFlag_ = 0;
  state_ = kDeal;
  dealCounter_ = 0;
  hintTimer_ = 0;
  fallFrame_ = 0;
  hover_ = prevHover_ = -1;
  selected_ = second_ = -1;
  hints_ = kHints;
  CScreenBuffer::SetFullRedrawFlag(1);
}

bool CMiniGameMahjongCommon::AnyPair() {
  // At most four tiles of a kind: test the pairs inside each kind.
  int cells[kKinds][4];
  int count[kKinds] = {};
  for (int c = 0; c < kCells; ++c) {
    if (board_[c] <= 0) continue;
    int k = Kind(board_[c]);
    if (count[k] < 4) cells[k][count[k]++] = c;
  }
  for (int k = 0; k < kKinds; ++k)
    for (int a = 0; a < count[k]; ++a)
      for (int b = a + 1; b < count[k]; ++b)
        if (Match(cells[k][a], cells[k][b])) return true;
  return false;
}

void CMiniGameMahjongCommon::ComputeHintFlags() {
  std::fill(std::begin(flags_), std::end(flags_), 0);
  for (int a = 0; a < kCells; ++a) {
    if (board_[a] <= 0) continue;
    for (int b = 0; b < kCells && !flags_[a]; ++b)
      if (b != a && board_[b] > 0 && Kind(board_[b]) == Kind(board_[a]) && Match(a, b)) flags_[a] = 1;
  }
}

int CMiniGameMahjongCommon::MouseCell(int x, int y) const {
  if (x < 0 || y < 0) return -1;
  int col = x / w_, row = y / h_;
  if (col < 1 || col > 18 || row < 1 || row > 8) return -1;
  return Cell(col, row);
}

void CMiniGameMahjongCommon::TrayPosition(int* x, int* y) const {
  int sw = 0, sh = 0;
  cardgame::ScreenSize(&sw, &sh);
  *x = w_;
  *y = sh - h_ - 16;
}

bool CMiniGameMahjongCommon::TrayHit(int x, int y) const {
  int tx = 0, ty = 0;
  TrayPosition(&tx, &ty);
  return cardgame::Inside(x, y, tx, ty, w_ * hints_, h_);
}

void CMiniGameMahjongCommon::ToIdle() {
  state_ = kIdle;
  selected_ = second_ = -1;
  hover_ = prevHover_ = -1;
  CScreenBuffer::SetFullRedrawFlag(1);
}

void CMiniGameMahjongCommon::IdleOrGameOver() {
  if (AnyPair()) {
    ToIdle();
    return;
  }
  holder_->RequestGameOverSound();
  gameOverFlag_ = 1;
}

void CMiniGameMahjongCommon::SetFallDistances(int firstRow) {
  std::fill(std::begin(fall_), std::end(fall_), 0);
  std::fill(std::begin(offset_), std::end(offset_), 0);
  for (int col = 1; col <= 18; ++col) {
    int empty = 0;
    for (int row = 8; row >= firstRow; --row) {
      int c = Cell(col, row);
      if (board_[c] <= 0) ++empty;
      else fall_[c] = empty;
    }
  }
  fallFrame_ = 0;
}

void CMiniGameMahjongCommon::SetLeftShifts() {
  std::fill(std::begin(fall_), std::end(fall_), 0);
  std::fill(std::begin(offset_), std::end(offset_), 0);
  for (int row = 1; row <= 8; ++row) {
    int empty = 0;
    for (int col = 1; col <= 18; ++col) {
      int c = Cell(col, row);
      if (board_[c] <= 0) ++empty;
      else fall_[c] = empty;
    }
  }
  fallFrame_ = 0;
}

bool CMiniGameMahjongCommon::FallFrame(bool left) {
  ++fallFrame_;
  int unit = left ? w_ : h_;
  bool done = true;
  for (int c = 0; c < kCells; ++c) {
    if (fall_[c] <= 0) continue;
    offset_[c] = std::min(offset_[c] + fallFrame_, fall_[c] * unit);
    if (offset_[c] < fall_[c] * unit) done = false;
  }
  if (!done) return false;
  // Move the tiles nearest their goal first so none lands on one still there.
  if (left) {
    for (int col = 0; col < kCols; ++col)
      for (int row = 0; row < kRows; ++row) {
        int c = Cell(col, row);
        if (fall_[c] <= 0) continue;
        board_[c - fall_[c]] = board_[c];
        board_[c] = kEmptyCell;
      }
  } else {
    for (int row = kRows - 1; row >= 0; --row)
      for (int col = 0; col < kCols; ++col) {
        int c = Cell(col, row);
        if (fall_[c] <= 0) continue;
        board_[c + fall_[c] * kCols] = board_[c];
        board_[c] = kEmptyCell;
      }
  }
  std::fill(std::begin(fall_), std::end(fall_), 0);
  std::fill(std::begin(offset_), std::end(offset_), 0);
  fallFrame_ = 0;
  return true;
}

void CMiniGameMahjongCommon::Step(const MouseFrame& m) {
  if (clearFlag_ || gameOverFlag_) return;
  switch (state_) {
    case kDeal:
      ++dealCounter_;
      if (m.left || m.right) dealCounter_ = kTiles + 1;
      if (dealCounter_ > kTiles) ToIdle();
      return;
    case kHint:
      if (m.left || m.right || m.middle) {
        ToIdle();
        return;
      }
      if (hintTimer_ > 0) {
        --hintTimer_;
        CScreenBuffer::SetFullRedrawFlag(1);
      }
      return;
    case kFall:
      CScreenBuffer::SetFullRedrawFlag(1);
      if (FallFrame(false)) FallEnded();
      return;
    case kIdle: break;
    default: GameStep(m); return;
  }
  prevHover_ = hover_;
  int cell = MouseCell(m.x, m.y);
  hover_ = cell >= 0 && board_[cell] > 0 ? cell : -1;
  if (hints_ > 0 && (m.middle || (m.left && TrayHit(m.x, m.y)))) {
    ComputeHintFlags();
    --hints_;
    state_ = kHint;
    hintTimer_ = kHintTime;
    selected_ = second_ = -1;
    hover_ = prevHover_ = -1;
    CScreenBuffer::SetFullRedrawFlag(1);
    return;
  }
  if (selected_ >= 0) {
    if (m.right || (m.left && cell == selected_)) {
      selected_ = -1;
      CScreenBuffer::SetFullRedrawFlag(1);
      return;
    }
    if (m.left && hover_ >= 0 && Match(selected_, hover_)) StartRemoval(hover_);
    return;
  }
  if (m.left && hover_ >= 0) {
    holder_->RequestClickSound();
    selected_ = hover_;
  }
}

int CMiniGameMahjongCommon::Calcu() {
  Step(cardgame::ReadMouse(mouseStatus_));
  return -1;
}

// --- Drawing ---

void CMiniGameMahjongCommon::DrawBackground() const { cardgame::PutBackground(picture_[0]); }

void CMiniGameMahjongCommon::DrawTile(int entry, int x, int y, int percent, bool hover, bool select) const {
  CScreenBuffer::AddDirtyRect(x, y, w_, h_);
  if (sheet_) {
    int column = 0, row = 0;
    AtlasCell(entry, &column, &row);
    if (percent == 100) sheet_->Blt(x, y, column * w_, row * h_, w_, h_, 1);
    else sheet_->TransLucentBlt3(x, y, column * w_, row * h_, w_, h_, percent);
  }
  if (hover) CAllGeo::TransBoxFill(x, y, w_, h_, 0, 128, 255, 60);
  if (select) CAllGeo::TransBoxFill(x, y, w_, h_, 64, 255, 192, 50);
}

void CMiniGameMahjongCommon::DrawCell(int cell, int percent, int dx, int dy) const {
  int v = board_[cell];
  if (v == kEmptyCell) return;
  int x = (cell % kCols) * w_ + dx, y = (cell / kCols) * h_ + dy;
  DrawTile(v > 0 ? v - 1 : kMarkRemoved, x, y, percent, false, false);
}

void CMiniGameMahjongCommon::RestoreCell(int cell) const {
  cardgame::RestoreRect(picture_[0], (cell % kCols) * w_, (cell / kCols) * h_, w_, h_);
}

void CMiniGameMahjongCommon::DrawTray() const {
  int x = 0, y = 0;
  TrayPosition(&x, &y);
  CScreenBuffer::AddDirtyRect(x, y, w_ * kHints, h_);
  for (int i = 0; i < hints_; ++i) DrawTile(kMarkHint, x + i * w_, y, 100, false, false);
}

void CMiniGameMahjongCommon::DrawAll(int percent) const {
  DrawBackground();
  if (percent == 100) DrawTray();
  for (int c = 0; c < kCells; ++c) DrawCell(c, percent);
}

void CMiniGameMahjongCommon::DrawChanged() const {
  const int cells[] = {hover_, prevHover_, selected_, second_};
  for (int i = 0; i < 4; ++i) {
    int c = cells[i];
    if (c < 0 || std::find(cells, cells + i, c) != cells + i) continue;
    RestoreCell(c);
    int v = board_[c];
    if (v == kEmptyCell) continue;
    DrawTile(v > 0 ? v - 1 : kMarkRemoved, (c % kCols) * w_, (c / kCols) * h_, 100, v > 0 && c == hover_,
             v > 0 && (c == selected_ || c == second_));
  }
}

void CMiniGameMahjongCommon::DrawFalling(bool left) const {
  DrawBackground();
  DrawTray();
  for (int c = 0; c < kCells; ++c) DrawCell(c, 100, left ? -offset_[c] : 0, left ? 0 : offset_[c]);
}

int CMiniGameMahjongCommon::Print() {
  if (clearFlag_ || gameOverFlag_) {
    CScreenBuffer::SetFullRedrawFlag(1);
    if (clearFlag_) DrawBackground();
    else DrawAll(40);
    return -1;
  }
  bool full = CScreenBuffer::CheckFullRedraw() != 0;
  switch (state_) {
    case kDeal:
      if (full) {
        DrawBackground();
        DrawTray();
        for (int c = 0; c < kCells; ++c) {
          int v = board_[c];
          if (v <= 0) continue;
          DrawTile(v < dealCounter_ ? v - 1 : kMarkRemoved, (c % kCols) * w_, (c / kCols) * h_, 100, false, false);
        }
      } else {
        for (int c = 0; c < kCells; ++c)
          if (board_[c] == dealCounter_) DrawCell(c, 100);
      }
      break;
    case kIdle:
      if (full) DrawAll(100);
      DrawChanged();
      break;
    case kHint:
      if (!full) break;
      DrawAll(100);
      if (hintTimer_ % 5 < 3)
        for (int c = 0; c < kCells; ++c)
          if (flags_[c] && board_[c] > 0)
            CAllGeo::TransBoxFill((c % kCols) * w_, (c / kCols) * h_, w_, h_, 255, 64, 128,
                                  hintTimer_ * 50 / kHintTime + 50);
      break;
    case kFall: DrawFalling(false); break;
    default: PrintState(full); break;
  }
  return -1;
}
