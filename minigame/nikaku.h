// CMiniGameNikaku (type 8): remove two equal tiles joined by a path of at
// most three straight segments through empty cells (the border counts as
// empty, so paths may run round the board); removing flowers or seasons
// makes every tile fall.
#pragma once

#include "minigame/mahjongcommon.h"

class CMiniGameNikaku : public CMiniGameMahjongCommon {
 public:
  enum NikakuState { kConnect = 2, kWait = 3 };
  static constexpr int kLegFrames = 10;
  static constexpr int kWaitLength = 25;
  static constexpr int kPairCell = 1 * kCols + 2;  // row 1, column 2

  explicit CMiniGameNikaku(CAllMiniGame* holder);
  ~CMiniGameNikaku() override;
  void Release() override;
  int Init() override;
  bool Match(int a, int b) override;

  // The cells strictly between a and b (and b too when `far`) are empty;
  // false when a and b share no row or column.
  bool ClearLine(int a, int b, bool far = false) const;
  // The path of the last successful Match: type 0, 1 or 2 and its corners.
  int GetPathType() const { return pathType_; }
  int GetCorner(int i) const { return corner_[i]; }
  int GetWait() const { return wait_; }

 protected:
  void GameStep(const cardgame::MouseFrame& m) override;
  void StartRemoval(int second) override;
  void FallEnded() override;
  bool PrintState(bool full) override;

 private:
  bool Empty(int cell) const { return board_[cell] <= 0; }
  bool Corner(int a, int b, int c);
  bool TwoCorners(int a, int b, int c1, int c2);
  void EndConnect();
  void DrawLine() const;

  int pathType_ = 0;
  int corner_[2] = {-1, -1};
  int connect_ = 0;
  int wait_ = 0;
};
