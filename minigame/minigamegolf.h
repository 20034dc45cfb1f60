// CMiniGameGolf (type 7): play the last card of seven columns onto the
// foundation one rank up or down (king and ace follow each other, jokers
// are wild); the stock turns a new foundation card. The rules run on the
// board below; Print only reads it.
#pragma once

#include <vector>

#include "minigame/cardgame.h"
#include "minigame/minigamebase.h"

class CMiniGameGolf : public CMiniGameBase {
 public:
  static constexpr int kColumns = 7;
  static constexpr int kPlaces = 5;
  static constexpr int kCards = 54;
  // Positions: 0 the stock, 1 the foundation, 2 + 5 column + place a cell.
  static constexpr int kStock = 0;
  static constexpr int kFoundation = 1;
  enum State { kIdle = 0, kDeal = 1, kMove = 2, kDraw = 3 };
  static constexpr int kDealLength = 50;
  static constexpr int kMoveLength = 20;
  static constexpr int kDrawLength = 10;

  struct Board {
    std::vector<int> stock;       // top last
    std::vector<int> foundation;  // the foundation card last, earlier ones below
    int column[kColumns][kPlaces] = {};
    int height[kColumns] = {};
    bool operator==(const Board&) const = default;
  };

  explicit CMiniGameGolf(CAllMiniGame* holder);
  ~CMiniGameGolf() override;
  void Release() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  // One frame of rules with the mouse at (x, y) and the left and right
  // clicks of this frame (Calcu passes the holder's mouse).
  void Step(int x, int y, bool left, bool right);
  // Whether `card` may go onto the foundation card `top` (-1: none).
  static bool Playable(int card, int top);
  // The position under (x, y) a click acts on, -1 for none.
  int HitTest(int x, int y) const;
  void Position(int index, int* x, int* y) const;

  Board& GetBoard() { return board_; }
  const Board& GetBoard() const { return board_; }
  int GetState() const { return state_; }
  int GetHover() const { return hover_; }
  int GetDrawnCard() const { return drawn_; }
  const cardgame::Anim& GetAnim() const { return anim_; }
  // The pointer the last step read (kept within +-puzzle::kFar by ReadMouse).
  platform::Point GetPointer() const { return pointer_; }
  int FoundationCard() const { return board_.foundation.empty() ? cardgame::kNoCard : board_.foundation.back(); }
  // Test and fuzz setup: the sheet's cell size without a picture.
  void SetCellSize(int cw, int ch) {
    sheet_.cw = cw;
    sheet_.ch = ch;
  }

 private:
  int LastCard(int column) const;
  bool AllColumnsEmpty() const;
  void MoveCheck();
  void EndStep();
  void ResetIdle();
  void DrawBoard(int skipIndex, int percent) const;

  Board board_;
  cardgame::Sheet sheet_;
  cardgame::Anim anim_;
  int state_ = kIdle;
  int hover_ = -1;
  int prevHover_ = -1;
  platform::Point pointer_;
  int moving_ = -1;
  int drawn_ = cardgame::kNoCard;
};
