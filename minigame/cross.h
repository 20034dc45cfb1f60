// Cross (type 3): an 8 x 8 board whose cells show picture 0 (value 0) or
// picture 1 (value 1); a click flips the cell and its four neighbours.
// Cleared when all 64 cells equal the clicked cell's new value. The rules
// (CrossBoard) stay apart from drawing.
#pragma once

#include <array>

#include "minigame/minigamebase.h"

struct CrossBoard {
  std::array<int, 64> cells{};

  void Reset() { cells.fill(0); }
  // The cell and its neighbours on the board change 0 <-> 1.
  void Flip(int col, int row);
  bool AllEqual(int value) const;
  bool operator==(const CrossBoard&) const = default;
};

class CMiniGameCross : public CMiniGameBase {
 public:
  explicit CMiniGameCross(CAllMiniGame* holder);
  ~CMiniGameCross() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  const CrossBoard& GetBoard() const { return board_; }
  CrossBoard& Board() { return board_; }

 private:
  CrossBoard board_;
  int lastCol_ = -1, lastRow_ = -1;
};
