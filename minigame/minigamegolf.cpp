#include "minigame/minigamegolf.h"

#include <algorithm>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"

using namespace cardgame;

CMiniGameGolf::CMiniGameGolf(CAllMiniGame* holder) : CMiniGameBase(holder) { sheet_.Load(holder); }

CMiniGameGolf::~CMiniGameGolf() { Release(); }

void CMiniGameGolf::Release() {}

int CMiniGameGolf::Init() {
  clearFlag_ = 0;
  sheet_.Load(holder_);
  board_ = Board{};
  board_.stock = Shuffle(kCards);
  board_.foundation.push_back(board_.stock.back());
  board_.stock.pop_back();
  for (int i = 0; i < kColumns * kPlaces; ++i) {
    board_.column[i / kPlaces][i % kPlaces] = board_.stock.back();
    board_.stock.pop_back();
  }
  for (int& h : board_.height) h = kPlaces;
  drawn_ = kNoCard;
  moving_ = -1;
  hover_ = prevHover_ = -1;
  state_ = kDeal;
  anim_.Start(kDealLength);
  return -1;
}

void CMiniGameGolf::Position(int index, int* x, int* y) const {
  Layout l = SevenColumns(sheet_.cw, sheet_.ch);
  if (index == kStock || index == kFoundation) {
    *x = (index == kStock ? 4 : 3) * l.pitch + l.margin;
    *y = 4 * l.rowstep + sheet_.ch + 16;
    return;
  }
  int cell = index - 2;
  *x = l.pitch * (cell / kPlaces) + l.margin;
  *y = l.rowstep * (cell % kPlaces) + 8;
}

bool CMiniGameGolf::Playable(int card, int top) {
  if (card < 0 || card >= kCards) return false;
  if (IsJoker(card) || top < 0 || IsJoker(top)) return true;
  int d = (card - top + 26) % 13;
  return d == 1 || d == 12;
}

int CMiniGameGolf::LastCard(int column) const {
  int h = board_.height[column];
  return h > 0 ? board_.column[column][h - 1] : kNoCard;
}

bool CMiniGameGolf::AllColumnsEmpty() const {
  for (int h : board_.height)
    if (h > 0) return false;
  return true;
}

int CMiniGameGolf::HitTest(int x, int y) const {
  int px = 0, py = 0;
  Position(kStock, &px, &py);
  if (!board_.stock.empty() && Inside(x, y, px, py, sheet_.cw, sheet_.ch)) return kStock;
  for (int j = 0; j < kColumns; ++j) {
    int h = board_.height[j];
    if (h == 0) continue;
    int index = 2 + j * kPlaces + h - 1;
    Position(index, &px, &py);
    if (Inside(x, y, px, py, sheet_.cw, sheet_.ch) && Playable(LastCard(j), FoundationCard())) return index;
  }
  return -1;
}

void CMiniGameGolf::ResetIdle() {
  CScreenBuffer::SetFullRedrawFlag(1);
  state_ = kIdle;
  hover_ = prevHover_ = -1;
  moving_ = -1;
}

void CMiniGameGolf::MoveCheck() {
  if (clearFlag_) return;
  if (!board_.stock.empty()) return;
  for (int j = 0; j < kColumns; ++j)
    if (board_.height[j] > 0 && Playable(LastCard(j), FoundationCard())) return;
  gameOverFlag_ = 1;
}

void CMiniGameGolf::EndStep() {
  if (state_ == kMove) {
    int cell = moving_ - 2;
    int j = cell / kPlaces;
    board_.foundation.push_back(board_.column[j][cell % kPlaces]);
    board_.column[j][cell % kPlaces] = kNoCard;
    --board_.height[j];
    if (AllColumnsEmpty()) {
      clearFlag_ = 1;
      holder_->RequestClearSound();
      moving_ = -1;
      return;
    }
  } else if (state_ == kDraw) {
    board_.foundation.push_back(drawn_);
    drawn_ = kNoCard;
  }
  if (state_ != kDeal) MoveCheck();
  if (gameOverFlag_) {
    holder_->RequestGameOverSound();
    moving_ = -1;
    return;
  }
  ResetIdle();
}

void CMiniGameGolf::Step(int x, int y, bool left, bool right) {
  pointer_ = {x, y};
  if (clearFlag_ || gameOverFlag_) return;
  if (state_ != kIdle) {
    CScreenBuffer::SetFullRedrawFlag(1);
    if (anim_.Tick(left || right)) EndStep();
    return;
  }
  prevHover_ = hover_;
  hover_ = HitTest(x, y);
  if (hover_ != prevHover_) CScreenBuffer::SetFullRedrawFlag(1);
  if (!left || hover_ < 0) return;
  if (hover_ == kStock) {
    holder_->RequestClickSound();
    drawn_ = board_.stock.back();
    board_.stock.pop_back();
    state_ = kDraw;
    anim_.Start(kDrawLength);
    return;
  }
  moving_ = hover_;
  state_ = kMove;
  anim_.Start(kMoveLength);
}

int CMiniGameGolf::Calcu() {
  MouseFrame m = ReadMouse(mouseStatus_);
  Step(m.x, m.y, m.left, m.right);
  return -1;
}

void CMiniGameGolf::DrawBoard(int skipIndex, int percent) const {
  int x = 0, y = 0;
  Position(kStock, &x, &y);
  sheet_.Draw(board_.stock.empty() ? kEmpty : kBack, x, y, percent, percent == 100 && hover_ == kStock);
  Position(kFoundation, &x, &y);
  sheet_.Draw(board_.foundation.empty() ? kEmpty : board_.foundation.back(), x, y, percent);
  for (int j = 0; j < kColumns; ++j)
    for (int k = 0; k < board_.height[j]; ++k) {
      int index = 2 + j * kPlaces + k;
      if (index == skipIndex) continue;
      Position(index, &x, &y);
      sheet_.Draw(board_.column[j][k], x, y, percent, percent == 100 && hover_ == index);
    }
}

int CMiniGameGolf::Print() {
  CPicture* background = picture_[0];
  if (clearFlag_ || gameOverFlag_) {
    CScreenBuffer::SetFullRedrawFlag(1);
    PutBackground(background);
    if (gameOverFlag_) DrawBoard(-1, 60);
    return -1;
  }
  if (state_ != kIdle) CScreenBuffer::SetFullRedrawFlag(1);
  bool full = CScreenBuffer::CheckFullRedraw() != 0;
  if (full) PutBackground(background);
  int sx = 0, sy = 0, fx = 0, fy = 0, x = 0, y = 0;
  Position(kStock, &sx, &sy);
  Position(kFoundation, &fx, &fy);
  switch (state_) {
    case kIdle:
      if (full) DrawBoard(-1, 100);
      break;
    case kDeal: {
      sheet_.Draw(board_.stock.empty() ? kEmpty : kBack, sx, sy);
      sheet_.Draw(FoundationCard(), fx, fy);
      int n = std::max(anim_.length - kColumns * kPlaces, 1);
      for (int i = 0; i < kColumns * kPlaces; ++i) {
        int d = anim_.counter - i;
        if (d < 0) continue;
        int j = i / kPlaces, k = i % kPlaces;
        if (k >= board_.height[j]) continue;
        Position(2 + i, &x, &y);
        int m = std::min(d, n);
        sheet_.Draw(board_.column[j][k], sx + (x - sx) * m / n, sy + (y - sy) * m / n);
      }
      break;
    }
    case kMove: {
      DrawBoard(moving_, 100);
      int cell = moving_ - 2;
      Position(moving_, &x, &y);
      int c = anim_.counter, len = anim_.length;
      int a = Clamp((len - c) * 50 / len + 50, 1, 99);
      sheet_.Draw(board_.column[cell / kPlaces][cell % kPlaces], x + (fx - x) * c / len, y + (fy - y) * c / len, a);
      break;
    }
    case kDraw: {
      int len = anim_.length;
      int c = Clamp(anim_.counter, 0, len);
      sheet_.Draw(board_.stock.empty() ? kEmpty : kBack, sx, sy);
      sheet_.Draw(FoundationCard(), fx, fy);
      sheet_.Draw(drawn_, sx + (fx - sx) * c / len, sy + (fy - sy) * c / len, std::min(c * 70 / len + 30, 100));
      for (int j = 0; j < kColumns; ++j)
        for (int k = 0; k < board_.height[j]; ++k) {
          Position(2 + j * kPlaces + k, &x, &y);
          sheet_.Draw(board_.column[j][k], x, y);
        }
      break;
    }
    default: break;
  }
  return -1;
}
