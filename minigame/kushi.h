// CMiniGameKushi (type 9): remove two equal tiles that are diagonal
// neighbours or lie in one row or column with tiles on every cell between;
// every tile of that line goes, the tiles fall, rows close to the left, and
// the partners of tiles left alone drop back in from above.
#pragma once

#include <vector>

#include "minigame/mahjongcommon.h"

class CMiniGameKushi : public CMiniGameMahjongCommon {
 public:
  enum KushiState { kRemove = 3, kClose = 6, kDrop = 7 };
  static constexpr int kWaitLength = 25;
  static constexpr int kListSize = 20;
  static constexpr int kPairCell = 1 * kCols + 18;  // row 1, column 18

  explicit CMiniGameKushi(CAllMiniGame* holder);
  ~CMiniGameKushi() override;
  void Release() override;
  int Init() override;
  bool Match(int a, int b) override;

  const std::vector<int>& GetReserve() const { return reserve_; }
  const std::vector<int>& GetDropList() const { return drops_; }
  bool Marked(int cell) const { return marked_[cell] != 0; }
  int GetWait() const { return wait_; }
  // Test setup: the reserve the next drop check reads.
  void SetReserve(std::vector<int> reserve) { reserve_ = std::move(reserve); }
  // The drop check after the board settled: lone tiles' partners from the
  // reserve, then the drop, or idle, or game over.
  void DropCheck();

 protected:
  void GameStep(const cardgame::MouseFrame& m) override;
  void StartRemoval(int second) override;
  void FallEnded() override;
  bool PrintState(bool full) override;

 private:
  void Drop();
  void AfterDrops();

  int marked_[kCells] = {};
  std::vector<int> reserve_;
  std::vector<int> drops_;
  int wait_ = 0;
};
