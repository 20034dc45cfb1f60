// What the three card solitaires share: the card numbers, the shuffle, the
// sheet lookup (wide and narrow layouts), card drawing and the animation
// counter a click can end.
#pragma once

#include <vector>

#include "platform/types.h"

class CAllMiniGame;
class CMouseStatus;
class CPicture;

namespace cardgame {

// 0..51 the normal cards (suit card / 13, rank index card % 13), 52 and 53
// the jokers, 54..58 the marks.
constexpr int kNoCard = -1;
constexpr int kJoker0 = 52;
constexpr int kBack = 54;
constexpr int kEmpty = 55;
constexpr int kHover = 56;
constexpr int kSelect = 57;
constexpr int kUsedUp = 58;
constexpr int kCells = 59;

inline int Rank(int card) { return card % 13; }
inline bool IsJoker(int card) { return card >= 52 && card <= 53; }

// Fills 0..n-1 and swaps each place with one drawn from the engine's
// generator; the top of the deck is its last element.
std::vector<int> Shuffle(int n);

// The sheet cell (column, row) of a card or mark; false for another number.
// narrow: the 10-column layout of set flag 1.
bool SheetCell(int card, bool narrow, int* column, int* row);

// The card sheet of picture set 0 with its cell size and layout flag.
struct Sheet {
  CPicture* picture = nullptr;
  int cw = 96, ch = 144;
  bool narrow = false;
  void Load(CAllMiniGame* holder);
  // Draws cell `card` at (x, y): percent 100 colour-keyed, else blended;
  // then the hover frame and the overlay mark 56 + overlay (overlay > 0).
  // Nothing without a picture or for a number outside the sheet.
  void Draw(int card, int x, int y, int percent = 100, bool hover = false, int overlay = 0) const;
};

// An animated step: Tick grows the counter and says when it reached the
// length; a click while the counter is above 0 ends the step in that frame.
struct Anim {
  int counter = 0;
  int length = 1;
  void Start(int len) {
    counter = 0;
    length = len;
  }
  bool Tick(bool click) {
    if (click && counter > 0) counter = length;
    else ++counter;
    return counter >= length;
  }
};

// This frame's mouse for a game's rules: position and the left and right
// clicks (all zero without a mouse).
struct MouseFrame {
  int x = 0, y = 0;
  bool left = false, right = false, middle = false;
};
MouseFrame ReadMouse(const CMouseStatus* mouse);

// Screen size for the layouts (800 x 600 before a screen exists).
void ScreenSize(int* w, int* h);

// The board's background: picture 0 of the holder put opaque at (0, 0).
// Where it does not cover the screen (missing or small) the screen is
// cleared to black first, so moving cards leave no trails.
void PutBackground(CPicture* background);
// The background under one rectangle again, marked dirty (black where the
// picture does not reach).
void RestoreRect(CPicture* background, int x, int y, int w, int h);

// The seven-column layout of Pyramid and Golf for cells cw x ch on the
// screen: the column pitch, the left margin and the row step.
struct Layout {
  int pitch = 0, margin = 0, rowstep = 0;
};
Layout SevenColumns(int cw, int ch);

// (x, y) lies in the w x h rectangle at (px, py).
inline bool Inside(int x, int y, int px, int py, int w, int h) {
  return x - px >= 0 && x - px < w && y - py >= 0 && y - py < h;
}
inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace cardgame
