#include "minigame/kushi.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "setup/random.h"

CMiniGameKushi::CMiniGameKushi(CAllMiniGame* holder) : CMiniGameMahjongCommon(holder) {
  reserve_.reserve(kListSize);
  drops_.reserve(kListSize);
}

CMiniGameKushi::~CMiniGameKushi() { Release(); }

void CMiniGameKushi::Release() {}

int CMiniGameKushi::Init() {
  Deal(kPairCell);
  std::fill(std::begin(marked_), std::end(marked_), 0);
  reserve_.clear();
  drops_.clear();
  wait_ = 0;
  return -1;
}

bool CMiniGameKushi::Match(int a, int b) {
  if (a == b || a < 0 || b < 0 || a >= kCells || b >= kCells) return false;
  if (board_[a] <= 0 || board_[b] <= 0 || Kind(board_[a]) != Kind(board_[b])) return false;
  int dr = b / kCols - a / kCols, dc = b % kCols - a % kCols;
  if (std::abs(dr) == 1 && std::abs(dc) == 1) return true;
  if (dr != 0 && dc != 0) return false;
  int step = dr == 0 ? (dc > 0 ? 1 : -1) : (dr > 0 ? kCols : -kCols);
  for (int c = a + step; c != b; c += step)
    if (board_[c] <= 0) return false;
  return true;
}

void CMiniGameKushi::StartRemoval(int second) {
  second_ = second;
  wait_ = kWaitLength;
  std::fill(std::begin(flags_), std::end(flags_), 0);
  std::fill(std::begin(marked_), std::end(marked_), 0);
  int a = selected_, b = second;
  int dr = b / kCols - a / kCols, dc = b % kCols - a % kCols;
  int step = (dr > 0 ? kCols : dr < 0 ? -kCols : 0) + (dc > 0 ? 1 : dc < 0 ? -1 : 0);
  reserve_.clear();
  for (int c = a; c != b; c += step) {
    marked_[c] = 1;
    reserve_.push_back(board_[c]);
  }
  marked_[b] = 1;
  holder_->RequestGoodSound();
  state_ = kRemove;
}

void CMiniGameKushi::GameStep(const cardgame::MouseFrame& m) {
  CScreenBuffer::SetFullRedrawFlag(1);
  switch (state_) {
    case kRemove:
      if (wait_ > 0) --wait_;
      if (m.left || m.right) wait_ = 0;
      if (wait_ > 0) return;
      for (int c = 0; c < kCells; ++c)
        if (marked_[c]) board_[c] = kEmptyCell;
      std::fill(std::begin(marked_), std::end(marked_), 0);
      if (std::none_of(std::begin(board_), std::end(board_), [](int v) { return v > 0; })) {
        holder_->RequestClearSound();
        clearFlag_ = 1;
        return;
      }
      SetFallDistances(1);
      state_ = kFall;
      return;
    case kClose:
      if (FallFrame(true)) DropCheck();
      return;
    case kDrop:
      if (!FallFrame(false)) return;
      for (int col = 0; col < kCols; ++col) board_[Cell(col, 0)] = kEmptyCell;
      if (!drops_.empty()) Drop();
      else AfterDrops();
      return;
    default: return;
  }
}

void CMiniGameKushi::FallEnded() {
  for (int col = 1; col <= 17; ++col)
    if (board_[Cell(col, 8)] <= 0 && board_[Cell(col + 1, 8)] > 0) {
      SetLeftShifts();
      state_ = kClose;
      return;
    }
  DropCheck();
}

void CMiniGameKushi::DropCheck() {
  int count[kKinds] = {};
  for (int v : board_)
    if (v > 0) ++count[Kind(v)];
  drops_.clear();
  for (int k = 0; k < kKinds; ++k) {
    if (count[k] != 1) continue;
    auto it = std::find_if(reserve_.begin(), reserve_.end(), [k](int t) { return Kind(t) == k; });
    if (it == reserve_.end()) continue;
    drops_.push_back(*it);
    reserve_.erase(it);
  }
  if (drops_.empty()) {
    AfterDrops();
    return;
  }
  state_ = kDrop;
  Drop();
}

void CMiniGameKushi::Drop() {
  std::vector<int> waiting;
  for (int tile : drops_) {
    int col = crt::rand() % 18 + 1;
    bool placed = false;
    for (int tries = 0; tries < 18 && !placed; ++tries) {
      if (board_[Cell(col, 0)] <= 0 && board_[Cell(col, 1)] <= 0) {
        board_[Cell(col, 0)] = tile;
        placed = true;
      }
      col = col % 18 + 1;
    }
    if (!placed) waiting.push_back(tile);
  }
  drops_ = waiting;
  SetFallDistances(0);
  CScreenBuffer::SetFullRedrawFlag(1);
}

void CMiniGameKushi::AfterDrops() {
  drops_.clear();
  IdleOrGameOver();
}

bool CMiniGameKushi::PrintState(bool) {
  switch (state_) {
    case kRemove:
      DrawFading([this](int c) { return marked_[c] != 0; }, wait_ * 100 / kWaitLength);
      return true;
    case kClose: DrawFalling(true); return true;
    case kDrop: DrawFalling(false); return true;
    default: return false;
  }
}
