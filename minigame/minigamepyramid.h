// CMiniGamePyramid (type 6): remove pairs whose ranks add up to 13 (kings
// alone) from a 28-card pyramid; the stock turns cards onto the waste and
// the waste may be turned over once. The rules run on the board below;
// Print only reads it.
#pragma once

#include <vector>

#include "minigame/cardgame.h"
#include "minigame/minigamebase.h"

class CMiniGamePyramid : public CMiniGameBase {
 public:
  static constexpr int kRows = 7;
  static constexpr int kCells = 28;
  static constexpr int kCards = 52;
  // Positions: 0 the stock, 1 the waste, 2 + i pyramid cell i.
  static constexpr int kStock = 0;
  static constexpr int kWaste = 1;
  enum State { kIdle = 0, kDeal = 1, kRemove = 2, kDraw = 3, kTurnOver = 4 };
  static constexpr int kDealLength = 43;
  static constexpr int kRemoveLength = 20;
  static constexpr int kDrawLength = 10;

  struct Board {
    std::vector<int> stock;  // top last
    std::vector<int> waste;  // top last
    int cell[kCells] = {};   // -1 empty; 0 the apex, row by row
    int turnOvers = 1;
    bool operator==(const Board&) const = default;
  };

  explicit CMiniGamePyramid(CAllMiniGame* holder);
  ~CMiniGamePyramid() override;
  void Release() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  // One frame of rules with the mouse at (x, y) and this frame's clicks.
  void Step(int x, int y, bool left, bool right);
  // The position under (x, y) a click may act on, -1 for none.
  int HitTest(int x, int y) const;
  void Position(int index, int* x, int* y) const;
  // Cell i is uncovered: bottom row, or both cells below it empty.
  bool Free(int cell) const;
  static int Row(int cell);
  // The card at a position (-1 for none; the waste's top).
  int CardAt(int index) const;

  Board& GetBoard() { return board_; }
  const Board& GetBoard() const { return board_; }
  int GetState() const { return state_; }
  int GetHover() const { return hover_; }
  int GetSelected() const { return selected_; }
  int GetDrawnCard() const { return drawn_; }
  const cardgame::Anim& GetAnim() const { return anim_; }
  // The pointer the last step read (kept within +-puzzle::kFar by ReadMouse).
  platform::Point GetPointer() const { return pointer_; }
  // Test and fuzz setup: the sheet's cell size without a picture.
  void SetCellSize(int cw, int ch) {
    sheet_.cw = cw;
    sheet_.ch = ch;
  }

 private:
  bool Accepted(int hit) const;
  void MoveCheck();
  void EndStep();
  void ResetIdle();
  void StartRemoval(int a, int b);
  bool Removing(int index) const { return index >= 0 && (removing_[0] == index || removing_[1] == index); }
  void DrawStock(int percent) const;
  void DrawWaste(int percent) const;
  void DrawCells(int percent) const;

  Board board_;
  cardgame::Sheet sheet_;
  cardgame::Anim anim_;
  int state_ = kIdle;
  int hover_ = -1;
  int prevHover_ = -1;
  platform::Point pointer_;
  int selected_ = -1;
  int removing_[2] = {-1, -1};
  int drawn_ = cardgame::kNoCard;
};
