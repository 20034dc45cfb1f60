#include "minigame/minigamepyramid.h"

#include <algorithm>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"

using namespace cardgame;

CMiniGamePyramid::CMiniGamePyramid(CAllMiniGame* holder) : CMiniGameBase(holder) { sheet_.Load(holder); }

CMiniGamePyramid::~CMiniGamePyramid() { Release(); }

void CMiniGamePyramid::Release() {}

int CMiniGamePyramid::Init() {
  clearFlag_ = 0;
  sheet_.Load(holder_);
  board_ = Board{};
  board_.stock = Shuffle(kCards);
  for (int i = 0; i < kCells; ++i) {
    board_.cell[i] = board_.stock.back();
    board_.stock.pop_back();
  }
  drawn_ = kNoCard;
  removing_[0] = removing_[1] = -1;
  selected_ = -1;
  hover_ = prevHover_ = -1;
  state_ = kDeal;
  anim_.Start(kDealLength);
  return -1;
}

int CMiniGamePyramid::Row(int cell) {
  int r = 0;
  while (cell > r) cell -= ++r;
  return r;
}

void CMiniGamePyramid::Position(int index, int* x, int* y) const {
  Layout l = SevenColumns(sheet_.cw, sheet_.ch);
  if (index == kStock || index == kWaste) {
    *x = l.margin + (index == kWaste ? l.pitch : 0);
    *y = 8;
    return;
  }
  int cell = index - 2;
  int r = Row(cell);
  int k = cell - r * (r + 1) / 2;
  *x = (k + 3) * l.pitch + l.margin - (l.pitch * r) / 2;
  *y = 8 + l.rowstep * r;
}

bool CMiniGamePyramid::Free(int cell) const {
  int r = Row(cell);
  if (r == kRows - 1) return true;
  return board_.cell[cell + r + 1] < 0 && board_.cell[cell + r + 2] < 0;
}

int CMiniGamePyramid::CardAt(int index) const {
  if (index == kStock) return board_.stock.empty() ? kNoCard : board_.stock.back();
  if (index == kWaste) return board_.waste.empty() ? kNoCard : board_.waste.back();
  if (index >= 2 && index < 2 + kCells) return board_.cell[index - 2];
  return kNoCard;
}

int CMiniGamePyramid::HitTest(int x, int y) const {
  int px = 0, py = 0;
  Position(kStock, &px, &py);
  bool stockLive = !board_.stock.empty() || (!board_.waste.empty() && board_.turnOvers > 0);
  if (stockLive && Inside(x, y, px, py, sheet_.cw, sheet_.ch)) return kStock;
  Position(kWaste, &px, &py);
  if (!board_.waste.empty() && Inside(x, y, px, py, sheet_.cw, sheet_.ch)) return kWaste;
  for (int i = kCells - 1; i >= 0; --i) {
    if (board_.cell[i] < 0 || !Free(i)) continue;
    Position(2 + i, &px, &py);
    if (Inside(x, y, px, py, sheet_.cw, sheet_.ch)) return 2 + i;
  }
  return -1;
}

bool CMiniGamePyramid::Accepted(int hit) const {
  if (hit == kStock) return (!board_.stock.empty() || board_.turnOvers > 0) && selected_ < 0;
  if (hit == kWaste) return !board_.waste.empty();
  return hit >= 2 && board_.cell[hit - 2] >= 0 && Free(hit - 2);
}

void CMiniGamePyramid::ResetIdle() {
  CScreenBuffer::SetFullRedrawFlag(1);
  state_ = kIdle;
  selected_ = -1;
  hover_ = prevHover_ = -1;
  removing_[0] = removing_[1] = -1;
}

void CMiniGamePyramid::MoveCheck() {
  if (clearFlag_) return;
  if (!board_.stock.empty() || (board_.turnOvers > 0 && !board_.waste.empty())) return;
  std::vector<int> values;
  if (!board_.waste.empty()) values.push_back(Rank(board_.waste.back()) + 1);
  for (int i = 0; i < kCells; ++i)
    if (board_.cell[i] >= 0 && Free(i)) values.push_back(Rank(board_.cell[i]) + 1);
  for (size_t a = 0; a < values.size(); ++a) {
    if (values[a] == 13) return;
    for (size_t b = a + 1; b < values.size(); ++b)
      if (values[a] + values[b] == 13) return;
  }
  gameOverFlag_ = 1;
}

void CMiniGamePyramid::StartRemoval(int a, int b) {
  holder_->RequestGoodSound();
  removing_[0] = a;
  removing_[1] = b;
  state_ = kRemove;
  anim_.Start(kRemoveLength);
}

void CMiniGamePyramid::EndStep() {
  switch (state_) {
    case kRemove: {
      for (int index : removing_) {
        if (index == kWaste && !board_.waste.empty()) board_.waste.pop_back();
        else if (index >= 2) board_.cell[index - 2] = kNoCard;
      }
      removing_[0] = removing_[1] = -1;
      selected_ = -1;
      if (std::all_of(std::begin(board_.cell), std::end(board_.cell), [](int c) { return c < 0; })) {
        clearFlag_ = 1;
        holder_->RequestClearSound();
        return;
      }
      break;
    }
    case kDraw:
      board_.waste.push_back(drawn_);
      drawn_ = kNoCard;
      break;
    case kTurnOver:
      board_.stock.assign(board_.waste.rbegin(), board_.waste.rend());
      board_.waste.clear();
      --board_.turnOvers;
      ResetIdle();
      return;
    default:  // the deal
      ResetIdle();
      return;
  }
  MoveCheck();
  if (gameOverFlag_) {
    holder_->RequestGameOverSound();
    return;
  }
  ResetIdle();
}

void CMiniGamePyramid::Step(int x, int y, bool left, bool right) {
  pointer_ = {x, y};
  if (clearFlag_ || gameOverFlag_) return;
  if (state_ != kIdle) {
    CScreenBuffer::SetFullRedrawFlag(1);
    if (anim_.Tick(left || right)) EndStep();
    return;
  }
  prevHover_ = hover_;
  int hit = HitTest(x, y);
  hover_ = Accepted(hit) ? hit : -1;
  if (hover_ != prevHover_) CScreenBuffer::SetFullRedrawFlag(1);
  if (right && selected_ >= 0) {
    ResetIdle();
    return;
  }
  if (!left || hover_ < 0) return;
  if (hover_ == kStock) {
    holder_->RequestClickSound();
    if (board_.stock.empty()) {
      state_ = kTurnOver;
      anim_.Start(static_cast<int>(board_.waste.size()) + 10);
      return;
    }
    drawn_ = board_.stock.back();
    board_.stock.pop_back();
    state_ = kDraw;
    anim_.Start(kDrawLength);
    return;
  }
  if (hover_ == selected_) {
    holder_->RequestClickSound();
    ResetIdle();
    return;
  }
  int card = CardAt(hover_);
  if (selected_ < 0) {
    if (Rank(card) == 12) {
      StartRemoval(hover_, -1);
      return;
    }
    holder_->RequestClickSound();
    selected_ = hover_;
    CScreenBuffer::SetFullRedrawFlag(1);
    return;
  }
  if (Rank(card) + Rank(CardAt(selected_)) == 11) StartRemoval(selected_, hover_);
  else holder_->RequestBadSound();
}

int CMiniGamePyramid::Calcu() {
  MouseFrame m = ReadMouse(mouseStatus_);
  Step(m.x, m.y, m.left, m.right);
  return -1;
}

void CMiniGamePyramid::DrawStock(int percent) const {
  int x = 0, y = 0;
  Position(kStock, &x, &y);
  bool hover = percent == 100 && hover_ == kStock;
  if (!board_.stock.empty()) sheet_.Draw(kBack, x, y, percent, hover);
  else sheet_.Draw(kEmpty, x, y, percent, hover, board_.turnOvers > 0 ? 0 : kUsedUp - kHover);
}

void CMiniGamePyramid::DrawWaste(int percent) const {
  int x = 0, y = 0;
  Position(kWaste, &x, &y);
  size_t n = board_.waste.size();
  bool top = state_ == kRemove && Removing(kWaste);
  // A waste card being removed fades over the card below it.
  int shown = top ? (n > 1 ? board_.waste[n - 2] : kEmpty) : (n > 0 ? board_.waste.back() : kEmpty);
  bool idle = state_ == kIdle && percent == 100;
  sheet_.Draw(shown, x, y, percent, idle && hover_ == kWaste, idle && selected_ == kWaste ? kSelect - kHover : 0);
  if (top) {
    int a = Clamp((anim_.length - anim_.counter) * 100 / anim_.length, 1, 99);
    sheet_.Draw(board_.waste.back(), x, y, a);
  }
}

void CMiniGamePyramid::DrawCells(int percent) const {
  int x = 0, y = 0;
  int a = Clamp((anim_.length - anim_.counter) * 100 / anim_.length, 1, 99);
  for (int i = 0; i < kCells; ++i) {
    if (board_.cell[i] < 0) continue;
    Position(2 + i, &x, &y);
    if (state_ == kRemove && Removing(2 + i)) {
      sheet_.Draw(board_.cell[i], x, y, a);
      continue;
    }
    bool idle = state_ == kIdle && percent == 100;
    sheet_.Draw(board_.cell[i], x, y, percent, idle && hover_ == 2 + i, idle && selected_ == 2 + i ? kSelect - kHover : 0);
  }
}

int CMiniGamePyramid::Print() {
  CPicture* background = picture_[0];
  if (clearFlag_ || gameOverFlag_) {
    CScreenBuffer::SetFullRedrawFlag(1);
    PutBackground(background);
    if (gameOverFlag_) {
      DrawStock(60);
      DrawWaste(60);
      DrawCells(60);
    }
    return -1;
  }
  if (state_ != kIdle) CScreenBuffer::SetFullRedrawFlag(1);
  bool full = CScreenBuffer::CheckFullRedraw() != 0;
  if (full) PutBackground(background);
  int sx = 0, sy = 0, wx = 0, wy = 0, x = 0, y = 0;
  Position(kStock, &sx, &sy);
  Position(kWaste, &wx, &wy);
  switch (state_) {
    case kIdle:
    case kRemove:
      if (!full) break;
      DrawStock(100);
      DrawWaste(100);
      DrawCells(100);
      break;
    case kDeal: {
      DrawStock(100);
      sheet_.Draw(kEmpty, wx, wy);
      int n = std::max(anim_.length - kCells, 1);
      for (int i = 0; i < kCells; ++i) {
        int d = anim_.counter - i;
        if (d < 0 || board_.cell[i] < 0) continue;
        Position(2 + i, &x, &y);
        int m = std::min(d, n);
        sheet_.Draw(board_.cell[i], sx + (x - sx) * m / n, sy + (y - sy) * m / n);
      }
      break;
    }
    case kDraw: {
      int len = anim_.length;
      int c = Clamp(anim_.counter, 0, len);
      DrawStock(100);
      DrawWaste(100);
      sheet_.Draw(drawn_, sx + (wx - sx) * c / len, sy + (wy - sy) * c / len, std::min(c * 70 / len + 30, 100));
      DrawCells(100);
      break;
    }
    case kTurnOver: {
      sheet_.Draw(kBack, sx, sy);
      sheet_.Draw(kEmpty, wx, wy);
      for (size_t p = 0; p < board_.waste.size(); ++p) {
        int b = anim_.counter + static_cast<int>(p) - 10;
        if (b < 0 || b > 10) continue;
        sheet_.Draw(board_.waste[p], wx + (sx - wx) * b / 10, wy + (sy - wy) * b / 10, b * 7 + 30);
      }
      DrawCells(100);
      break;
    }
    default: break;
  }
  return -1;
}
