#include "minigame/minigamemonte.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"

using namespace cardgame;

CMiniGameMonte::CMiniGameMonte(CAllMiniGame* holder) : CMiniGameBase(holder) { sheet_.Load(holder); }

CMiniGameMonte::~CMiniGameMonte() { Release(); }

void CMiniGameMonte::Release() {}

int CMiniGameMonte::Init() {
  clearFlag_ = 0;
  sheet_.Load(holder_);
  board_ = Board{};
  board_.stock = Shuffle(52);
  for (int i = 0; i < kGrid; ++i) {
    board_.cell[i] = board_.stock.back();
    board_.stock.pop_back();
  }
  hover_ = prevHover_ = selected_ = -1;
  state_ = kDeal;
  anim_.Start(kDealLength);
  return -1;
}

void CMiniGameMonte::Position(int index, int* x, int* y) const {
  if (index == kStock) {
    *x = 704;
    *y = 2;
    return;
  }
  *x = 4 + 100 * (index % kCols);
  *y = 2 + 150 * (index / kCols);
}

int CMiniGameMonte::HitTest(int x, int y) const {
  if (x - 704 >= 0 && x - 704 < sheet_.cw && y - 2 >= 0 && y - 2 < sheet_.ch) return kStock;
  int ox = x - 4, oy = y - 2;
  if (ox < 0 || oy < 0) return -1;
  int col = ox / 100, row = oy / 150;
  if (col >= kCols || row >= kRows) return -1;
  if (ox % 100 >= sheet_.cw || oy % 150 >= sheet_.ch) return -1;
  return row * kCols + col;
}

bool CMiniGameMonte::Neighbours(int a, int b) {
  return a != b && std::abs(a % kCols - b % kCols) <= 1 && std::abs(a / kCols - b / kCols) <= 1;
}

bool CMiniGameMonte::HasGaps() const {
  bool empty = false;
  for (int c : board_.cell) {
    if (c < 0) empty = true;
    else if (empty) return true;
  }
  return false;
}

bool CMiniGameMonte::CanRefill() const { return board_.cell[kGrid - 1] < 0 && !board_.stock.empty(); }

void CMiniGameMonte::ResetIdle() {
  CScreenBuffer::SetFullRedrawFlag(1);
  state_ = kIdle;
  selected_ = hover_ = prevHover_ = -1;
}

void CMiniGameMonte::MoveCheck() {
  if (clearFlag_ || HasGaps() || CanRefill()) return;
  for (int a = 0; a < kGrid; ++a)
    for (int b = a + 1; b < kGrid; ++b)
      if (board_.cell[a] >= 0 && board_.cell[b] >= 0 && Neighbours(a, b) &&
          Rank(board_.cell[a]) == Rank(board_.cell[b]))
        return;
  gameOverFlag_ = 1;
}

void CMiniGameMonte::StartRefill() {
  refillFrom_ = 0;
  while (refillFrom_ < kGrid && board_.cell[refillFrom_] >= 0) ++refillFrom_;
  refilled_ = 0;
  for (int i = refillFrom_; i < kGrid && !board_.stock.empty(); ++i) {
    if (board_.cell[i] >= 0) continue;
    board_.cell[i] = board_.stock.back();
    board_.stock.pop_back();
    ++refilled_;
  }
  state_ = kRefill;
  anim_.Start(refilled_ + 15);
}

void CMiniGameMonte::EndStep() {
  switch (state_) {
    case kDeal: ResetIdle(); return;
    case kRemove: {
      board_.cell[pair_[0]] = board_.cell[pair_[1]] = kNoCard;
      bool allEmpty = std::all_of(std::begin(board_.cell), std::end(board_.cell), [](int c) { return c < 0; });
      if (board_.stock.empty() && allEmpty) {
        clearFlag_ = 1;
        holder_->RequestClearSound();
        return;
      }
      break;
    }
    case kClose: {
      int n = 0;
      for (int i = 0; i < kGrid; ++i)
        if (board_.cell[i] >= 0) board_.cell[n++] = board_.cell[i];
      for (int i = n; i < kGrid; ++i) board_.cell[i] = kNoCard;
      if (CanRefill()) {
        StartRefill();
        // The refill's first frame runs in this frame too.
        anim_.Tick(false);
        return;
      }
      break;
    }
    default: break;
  }
  MoveCheck();
  if (gameOverFlag_) {
    holder_->RequestGameOverSound();
    return;
  }
  ResetIdle();
}

void CMiniGameMonte::Step(int x, int y, bool left, bool right) {
  pointer_ = {x, y};
  if (clearFlag_ || gameOverFlag_) return;
  if (state_ != kIdle) {
    CScreenBuffer::SetFullRedrawFlag(1);
    if (anim_.Tick(left || right)) EndStep();
    return;
  }
  prevHover_ = hover_;
  int hit = HitTest(x, y);
  if (hit == kStock && !HasGaps() && !CanRefill()) hit = -1;
  if (hit >= 0 && hit < kGrid && board_.cell[hit] < 0) hit = -1;
  hover_ = hit;
  if (right && selected_ >= 0) {
    ResetIdle();
    return;
  }
  if (!left || hover_ < 0) return;
  if (hover_ == kStock) {
    holder_->RequestClickSound();
    selected_ = -1;
    if (HasGaps()) {
      state_ = kClose;
      anim_.Start(kCloseLength);
    } else {
      StartRefill();
    }
    return;
  }
  if (hover_ == selected_) {
    holder_->RequestClickSound();
    ResetIdle();
    return;
  }
  if (selected_ < 0) {
    holder_->RequestClickSound();
    selected_ = hover_;
    CScreenBuffer::SetFullRedrawFlag(1);
    return;
  }
  if (Neighbours(selected_, hover_) && Rank(board_.cell[selected_]) == Rank(board_.cell[hover_])) {
    holder_->RequestGoodSound();
    pair_[0] = selected_;
    pair_[1] = hover_;
    state_ = kRemove;
    anim_.Start(kRemoveLength);
  } else {
    holder_->RequestBadSound();
  }
}

int CMiniGameMonte::Calcu() {
  MouseFrame m = ReadMouse(mouseStatus_);
  Step(m.x, m.y, m.left, m.right);
  return -1;
}

void CMiniGameMonte::DrawCell(int index, int percent) const {
  if (board_.cell[index] < 0) return;
  int x = 0, y = 0;
  Position(index, &x, &y);
  int overlay = index == selected_ ? kSelect - kHover : 0;
  sheet_.Draw(board_.cell[index], x, y, percent, percent == 100 && index == hover_, overlay);
}

int CMiniGameMonte::Print() {
  CPicture* background = picture_[0];
  int sx = 704, sy = 2, x = 0, y = 0;
  if (clearFlag_ || gameOverFlag_) {
    CScreenBuffer::SetFullRedrawFlag(1);
    PutBackground(background);
    if (gameOverFlag_) {
      sheet_.Draw(board_.stock.empty() ? kEmpty : kBack, sx, sy, 60);
      for (int i = 0; i < kGrid; ++i) DrawCell(i, 60);
    }
    return -1;
  }
  if (state_ != kIdle) CScreenBuffer::SetFullRedrawFlag(1);
  bool full = CScreenBuffer::CheckFullRedraw() != 0;
  if (full) PutBackground(background);
  sheet_.Draw(board_.stock.empty() ? kEmpty : kBack, sx, sy, 100, state_ == kIdle && hover_ == kStock);
  int c = anim_.counter, len = std::max(anim_.length, 1);
  switch (state_) {
    case kIdle:
      if (full) {
        for (int i = 0; i < kGrid; ++i) DrawCell(i, 100);
      } else if (hover_ != prevHover_) {
        for (int i : {prevHover_, hover_}) {
          if (i < 0 || i >= kGrid) continue;
          Position(i, &x, &y);
          RestoreRect(background, x, y, sheet_.cw, sheet_.ch);
          DrawCell(i, 100);
        }
      }
      break;
    case kDeal: {
      int n = len < 25 ? 1 : len - 24;
      for (int k = 0; k < kGrid; ++k) {
        if (board_.cell[k] < 0) continue;
        int d = std::clamp(c - k, 0, n);
        Position(k, &x, &y);
        sheet_.Draw(board_.cell[k], sx + (x - sx) * d / n, sy + (y - sy) * d / n);
      }
      break;
    }
    case kRemove: {
      int a = std::max((len - c) * 100 / len, 1);
      for (int i = 0; i < kGrid; ++i)
        DrawCell(i, i == pair_[0] || i == pair_[1] ? std::min(a, 99) : 100);
      break;
    }
    case kClose: {
      int target = 0;
      for (int i = 0; i < kGrid; ++i) {
        if (board_.cell[i] < 0) continue;
        int tx = 0, ty = 0;
        Position(i, &x, &y);
        Position(target++, &tx, &ty);
        sheet_.Draw(board_.cell[i], x + (tx - x) * c / len, y + (ty - y) * c / len);
      }
      break;
    }
    case kRefill: {
      int n = std::max(len - refilled_, 1);
      for (int i = 0; i < kGrid; ++i) {
        if (board_.cell[i] < 0) continue;
        Position(i, &x, &y);
        if (i < refillFrom_) {
          sheet_.Draw(board_.cell[i], x, y);
          continue;
        }
        int d = std::clamp(c - (i - refillFrom_), 0, n);
        sheet_.Draw(board_.cell[i], sx + (x - sx) * d / n, sy + (y - sy) * d / n);
      }
      break;
    }
    default: break;
  }
  return -1;
}
