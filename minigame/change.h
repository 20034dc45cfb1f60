// Change (type 1): the 16 tiles of a shuffled 4 x 4 picture are picked up
// and swapped with the held one; cleared when nothing is held and every
// tile is in place. The rules (ChangeBoard) stay apart from drawing.
#pragma once

#include <array>

#include "minigame/minigamebase.h"

struct ChangeBoard {
  std::array<int, 16> cells{};  // tile numbers, -1 empty
  int held = -1;

  void Reset();
  // The cell's tile and the held tile change places.
  void Swap(int cell);
  bool Solved() const;
  bool operator==(const ChangeBoard&) const = default;
};

class CMiniGameChange : public CMiniGameBase {
 public:
  explicit CMiniGameChange(CAllMiniGame* holder);
  ~CMiniGameChange() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  const ChangeBoard& GetBoard() const { return board_; }

 private:
  ChangeBoard board_;
};
