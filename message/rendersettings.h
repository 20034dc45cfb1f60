// The process-wide render settings of the glyph renderer: text mode, font
// weight and slant, the configured face, the outline mask and the reading
// annotation settings. The game object sets them from its settings list
// "game" (and the system file's face choice) before it makes the renderer.
#pragma once

#include <string>

class CSetupList;

struct CFontRenderSettings {
  int codeByte = 2;      // 2: two-byte CP932 cells, 1: one-byte cells
  int fontWeight = 700;  // 0..1000
  int fontItalic = 0;
  std::string faceName;  // CP932; empty: the kind's own face
  int fontKind = 0;      // 0 gothic, otherwise mincho
  // Outline mask: [row][column], row = vertical offset -1, 0, +1 pixel.
  int fukuro[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 1}};
  int rubiFlag = 0;
  int rubiPercent = 40;
  int rubiDeltaY = 0;
  int rubiSukima = 1;
  int rubiColorR = 255, rubiColorG = 255, rubiColorB = 255;
  int rubiColorFix = 0;
};

// The one settings object, and its reset to the defaults (tests).
CFontRenderSettings& GetRenderSettings();
void ResetRenderSettings();

// Sets the outline mask by "fukuroMoji" type: 0 shadow down-right, 1
// four-way outline, 2 full outline, 3 heavy shadow down-right, 4 shadow
// up-left, 5 heavy shadow up-left, 6 above and below, 7 left and right,
// anything else none.
void SetFukuroMoji(int type);

// The gothic face name the game text defaults to.
extern const char kGothicFaceName[];

// Reads the text settings of the list "game": "codeByte", "fontWeight"
// (taken only within 0..1000), "fontItalic", "defaultFont" (default the
// gothic face; '?' bytes outside double-byte characters become blanks),
// "fukuroMoji", "fukuroCustom" with "fukuro%d_%d", "rubiFlag" and, only when
// it is on, the other annotation keys. fontKind is the system file's font
// kind; chosenFace, when not null, is the player's face, which wins.
void LoadRenderSettings(const CSetupList& game, int fontKind, const char* chosenFace);
