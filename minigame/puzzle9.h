// Puzzle9 (type 0): pieces of picture 0 fly across the screen among decoys
// of picture 1; the player catches one and drops it into its own place
// among the nine holes of picture 0. Cleared when all nine are filled. The
// rules (Puzzle9Board) stay apart from drawing.
#pragma once

#include <array>

#include "minigame/minigamebase.h"

struct Puzzle9Board {
  static constexpr int kPlaces = 9;
  static constexpr int kPieces = 18;

  struct Piece {
    bool active = false;  // flying
    int target = -1;      // place, -1 none
    int picture = 0;      // 0 or 1
    int srcX = 0, srcY = 0;
    int x = 0, y = 0;
    int vx = 0, vy = 0;
    bool operator==(const Piece&) const = default;
  };

  // Sizes derived from the screen, each at least 1.
  int w = 1, h = 1;    // W / 8, H / 8: a cell
  int ox = 1, oy = 1;  // W / 16, H / 16: the grid's offset
  int screenW = 0, screenH = 0;

  std::array<bool, kPlaces> filled{};
  std::array<Piece, kPieces> pieces{};
  int held = -1;
  bool cleared = false;

  void SetScreen(int width, int height);
  // Top left of place p (0..8, row-major).
  int PlaceX(int p) const { return ox + (2 * (p % 3) + 1) * w; }
  int PlaceY(int p) const { return oy + (2 * (p / 3) + 1) * h; }
  // The place under (x, y), -1 for none.
  int PlaceAt(int x, int y) const;
  // The topmost flying piece under (x, y), -1 for none.
  int PieceAt(int x, int y) const;
  int FilledCount() const;

  // New flight and new source from the engine's generator (draw order:
  // side, x, y, sign x, size x, sign y, size y; source column before row).
  void NewFlight(Piece& p) const;
  void NewSource(Piece& p) const;

  // Fresh deal.
  void Deal();
  // Every flying piece moves one step; those leaving the bounds fly anew.
  void Move();
  // A left click at (x, y); the sound to request (CAllMiniGame::Sound), -1
  // for none.
  int Click(int x, int y);

  bool operator==(const Puzzle9Board&) const = default;
};

class CMiniGamePuzzle9 : public CMiniGameBase {
 public:
  explicit CMiniGamePuzzle9(CAllMiniGame* holder);
  ~CMiniGamePuzzle9() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  const Puzzle9Board& GetBoard() const { return board_; }
  Puzzle9Board& Board() { return board_; }

 private:
  Puzzle9Board board_;
};
