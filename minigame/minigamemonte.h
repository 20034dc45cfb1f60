// CMiniGameMonte (type 5): remove neighbouring pairs of equal rank from a
// 4 x 6 grid; the stock closes the gaps and refills the empty cells. The
// rules run on the board below; Print only reads it.
#pragma once

#include <vector>

#include "minigame/cardgame.h"
#include "minigame/minigamebase.h"

class CMiniGameMonte : public CMiniGameBase {
 public:
  static constexpr int kRows = 4;
  static constexpr int kCols = 6;
  static constexpr int kGrid = kRows * kCols;
  static constexpr int kStock = 52;
  enum State { kIdle = 0, kDeal = 1, kRemove = 2, kClose = 3, kRefill = 4 };
  static constexpr int kDealLength = 39;
  static constexpr int kRemoveLength = 20;
  static constexpr int kCloseLength = 15;

  struct Board {
    std::vector<int> stock;  // top last
    int cell[kGrid] = {};    // -1 empty
    bool operator==(const Board&) const = default;
  };

  explicit CMiniGameMonte(CAllMiniGame* holder);
  ~CMiniGameMonte() override;
  void Release() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  // One frame of rules with the mouse at (x, y) and this frame's clicks.
  void Step(int x, int y, bool left, bool right);
  int HitTest(int x, int y) const;
  void Position(int index, int* x, int* y) const;
  static bool Neighbours(int a, int b);
  bool HasGaps() const;
  bool CanRefill() const;

  Board& GetBoard() { return board_; }
  const Board& GetBoard() const { return board_; }
  int GetState() const { return state_; }
  int GetSelected() const { return selected_; }
  const cardgame::Anim& GetAnim() const { return anim_; }
  // The pointer the last step read (kept within +-puzzle::kFar by ReadMouse).
  platform::Point GetPointer() const { return pointer_; }

 private:
  void ResetIdle();
  void MoveCheck();
  void EndStep();
  void StartRefill();
  void DrawCell(int index, int percent) const;

  Board board_;
  cardgame::Sheet sheet_;
  cardgame::Anim anim_;
  int state_ = kIdle;
  int hover_ = -1;
  int prevHover_ = -1;
  platform::Point pointer_;
  int selected_ = -1;
  int pair_[2] = {-1, -1};
  int refillFrom_ = 0;
  int refilled_ = 0;
};
