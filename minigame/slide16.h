// Slide16 (type 4): a 4 x 4 picture whose middle rows and columns rotate by
// one cell when their handle on the border is clicked; cleared when every
// tile is back in place. The rules (Slide16Board) stay apart from drawing.
#pragma once

#include <array>

#include "minigame/minigamebase.h"

struct Slide16Board {
  static constexpr int kMoves = 8;
  struct Move {
    int col, row, dCol, dRow;
  };
  // Handle column, handle row, column step, row step.
  static constexpr Move kMoveTable[kMoves] = {{1, 0, 0, 1},  {2, 0, 0, 1},  {1, 3, 0, -1},
                                              {2, 3, 0, -1}, {0, 1, 1, 0},  {0, 2, 1, 0},
                                              {3, 1, -1, 0}, {3, 2, -1, 0}};
  std::array<int, 16> cells{};

  void Reset();
  // The line of move k rotates one cell towards its far end.
  void Apply(int k);
  // The move whose handle is cell (col, row), -1 for none.
  static int MoveAt(int col, int row);
  bool Solved() const;
  bool operator==(const Slide16Board&) const = default;
};

class CMiniGameSlide16 : public CMiniGameBase {
 public:
  explicit CMiniGameSlide16(CAllMiniGame* holder);
  ~CMiniGameSlide16() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  const Slide16Board& GetBoard() const { return board_; }
  int GetLastMove() const { return lastMove_; }

 private:
  Slide16Board board_;
  int lastMove_ = -1;
};
