// CMiniGameMahjongCommon: what the two tile-pair games (Nikaku, type 8, and
// Kushi, type 9) share: the 8 x 18 board of 144 tiles inside an empty
// border, the tile sheet and its atlas, the deal with its guaranteed pair,
// the deal, idle and hint steps, the accelerating fall and the drawing of
// tiles, marks, boxes and the hint tray. Each game adds its match test and
// its own states; the rules run in Step on the board (tests drive it without
// pictures) and Print only reads it.
#pragma once

#include "minigame/cardgame.h"
#include "minigame/minigamebase.h"

class CMiniGameMahjongCommon : public CMiniGameBase {
 public:
  static constexpr int kRows = 10;
  static constexpr int kCols = 20;
  static constexpr int kCells = kRows * kCols;
  static constexpr int kTiles = 144;
  static constexpr int kKinds = 36;
  static constexpr int kHints = 6;
  static constexpr int kHintTime = 29;
  // Cell values besides a tile number 1..144.
  static constexpr int kEmptyCell = 0;
  static constexpr int kRemoved = -1;
  // Atlas entries besides the 144 tile instances.
  static constexpr int kMarkRemoved = 144;
  static constexpr int kMarkHint = 145;
  static constexpr int kAtlas = 256;
  // States both games share (each adds its own numbers between).
  enum State { kDeal = 0, kIdle = 1, kFall = 4, kHint = 5 };

  explicit CMiniGameMahjongCommon(CAllMiniGame* holder);
  ~CMiniGameMahjongCommon() override;
  void Release() override;
  int Init() override = 0;
  int Calcu() override;
  int Print() override;

  static int Kind(int tile) { return (tile - 1) / 4; }
  static int Cell(int col, int row) { return row * kCols + col; }
  // The sheet cell (column, row) of atlas entry i (a tile instance or a mark).
  void AtlasCell(int i, int* column, int* row) const;

  // One frame of rules with this frame's mouse.
  void Step(const cardgame::MouseFrame& m);
  // Whether the tiles in cells a and b may be removed together.
  virtual bool Match(int a, int b) = 0;
  // Some pair on the board matches.
  bool AnyPair();
  // The inner cell under (x, y), -1 outside columns 1..18 and rows 1..8.
  int MouseCell(int x, int y) const;
  void TrayPosition(int* x, int* y) const;
  bool TrayHit(int x, int y) const;

  int* GetBoard() { return board_; }
  const int* GetCells() const { return board_; }
  const int* GetHintFlags() const { return flags_; }
  int GetState() const { return state_; }
  int GetSelected() const { return selected_; }
  int GetHover() const { return hover_; }
  int GetHintsLeft() const { return hints_; }
  int GetHintTimer() const { return hintTimer_; }
  int GetDealCounter() const { return dealCounter_; }
  int GetFall(int cell) const { return fall_[cell]; }
  int GetOffset(int cell) const { return offset_[cell]; }
  void GetTileSize(int* w, int* h) const {
    *w = w_;
    *h = h_;
  }

 protected:
  // Shuffles tiles 1..144 into the inner cells; when no pair matches, the
  // first tile of the kind of cell (1, 1) moves to `pairCell`. Then the deal
  // state with a full hint tray.
  void Deal(int pairCell);
  // The frame of a game's own states.
  virtual void GameStep(const cardgame::MouseFrame& m) = 0;
  // A matching second tile was clicked with `selected_` chosen.
  virtual void StartRemoval(int second) = 0;
  // The fall ended (tiles already moved).
  virtual void FallEnded() = 0;
  // Draws a game's own states; false for a shared one.
  virtual bool PrintState(bool full) = 0;

  void ToIdle();
  // Idle when some pair matches; else the game-over sound and game over.
  void IdleOrGameOver();
  // Fall distances: for each tile in rows first..8, the empty cells below it.
  void SetFallDistances(int firstRow);
  // Shifts to the left: for each tile, the empty cells left of it in its row.
  void SetLeftShifts();
  // One frame of a fall (down, or left for `left`); true when every tile
  // reached its distance: then the tiles have moved in the board.
  bool FallFrame(bool left);
  void ComputeHintFlags();

  // Drawing.
  void DrawTile(int entry, int x, int y, int percent, bool hover, bool select) const;
  // The cell's content at its place shifted by (dx, dy); empty draws nothing.
  void DrawCell(int cell, int percent, int dx = 0, int dy = 0) const;
  void RestoreCell(int cell) const;
  void DrawTray() const;
  // Background, tray and every cell (marks shown only when `marks`).
  void DrawAll(int percent) const;
  // The hovered, previously hovered, selected and second cells (idle).
  void DrawChanged() const;
  void DrawFalling(bool left) const;
  // Background and tiles; cells for which faded(cell) holds drawn at percent.
  template <class Pred>
  void DrawFading(Pred faded, int percent) const {
    DrawBackground();
    DrawTray();
    for (int c = 0; c < kCells; ++c) DrawCell(c, faded(c) ? percent : 100);
  }
  void DrawBackground() const;

  int board_[kCells] = {};
  int fall_[kCells] = {};
  int offset_[kCells] = {};
  int flags_[kCells] = {};
  int atlas_[kAtlas][2] = {};
  CPicture* sheet_ = nullptr;
  int w_ = 16, h_ = 16;
  int hints_ = kHints;
  int state_ = kDeal;
  int dealCounter_ = 0;
  int hintTimer_ = 0;
  int fallFrame_ = 0;
  int hover_ = -1;
  int prevHover_ = -1;
  int selected_ = -1;
  int second_ = -1;

 private:
  void LoadSheet();
};
