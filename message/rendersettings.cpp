#include "message/rendersettings.h"

#include <cstdio>

#include "platform/codec.h"
#include "setup/setuplist.h"

const char kGothicFaceName[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

CFontRenderSettings& GetRenderSettings() {
  static CFontRenderSettings settings;
  return settings;
}

void ResetRenderSettings() { GetRenderSettings() = CFontRenderSettings(); }

void SetFukuroMoji(int type) {
  // Cells per type as (row, column) pairs, 0 = -1 pixel, 2 = +1 pixel.
  static const int kCells[8][9][2] = {
      {{2, 2}, {-1, -1}},
      {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {-1, -1}},
      {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}, {-1, -1}},
      {{1, 2}, {2, 1}, {2, 2}, {-1, -1}},
      {{0, 0}, {-1, -1}},
      {{0, 0}, {0, 1}, {1, 0}, {-1, -1}},
      {{0, 1}, {2, 1}, {-1, -1}},
      {{1, 0}, {1, 2}, {-1, -1}},
  };
  auto& mask = GetRenderSettings().fukuro;
  for (auto& row : mask)
    for (int& cell : row) cell = 0;
  if (type < 0 || type > 7) return;
  for (const auto& cell : kCells[type]) {
    if (cell[0] < 0) break;
    mask[cell[0]][cell[1]] = 1;
  }
}

namespace {

// '?' bytes outside double-byte characters become blanks.
std::string BlankQuestionMarks(const char* text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    if (platform::IsCp932LeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size()) {
      ++i;
    } else if (out[i] == '?') {
      out[i] = ' ';
    }
  }
  return out;
}

}  // namespace

void LoadRenderSettings(const CSetupList& game, int fontKind, const char* chosenFace) {
  CFontRenderSettings& s = GetRenderSettings();
  s = CFontRenderSettings();
  s.fontKind = fontKind;
  game.GetSetupInt(&s.codeByte, "codeByte");
  if (s.codeByte != 1) s.codeByte = 2;
  int weight = s.fontWeight;
  if (game.GetSetupInt(&weight, "fontWeight") && weight >= 0 && weight <= 1000)
    s.fontWeight = weight;
  game.GetSetupInt(&s.fontItalic, "fontItalic");
  const char* face = kGothicFaceName;
  game.GetSetupString(&face, "defaultFont");
  s.faceName = BlankQuestionMarks(face ? face : kGothicFaceName);
  if (chosenFace && *chosenFace) s.faceName = chosenFace;
  if (s.faceName.size() > 255) s.faceName.resize(255);

  int fukuroMoji = 0;
  game.GetSetupInt(&fukuroMoji, "fukuroMoji");
  SetFukuroMoji(fukuroMoji);
  int custom = 0;
  game.GetSetupInt(&custom, "fukuroCustom");
  if (custom != 0) {
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        char key[32];
        std::snprintf(key, sizeof key, "fukuro%d_%d", row + 1, column + 1);
        int v = 0;
        game.GetSetupInt(&v, key);
        s.fukuro[row][column] = v;
      }
    }
  }

  game.GetSetupInt(&s.rubiFlag, "rubiFlag");
  if (s.rubiFlag != 0) {
    game.GetSetupInt(&s.rubiPercent, "rubiPercent");
    game.GetSetupInt(&s.rubiDeltaY, "rubiDeltaY");
    game.GetSetupInt(&s.rubiSukima, "rubiSukima");
    game.GetSetupInt(&s.rubiColorR, "rubiColorR");
    game.GetSetupInt(&s.rubiColorG, "rubiColorG");
    game.GetSetupInt(&s.rubiColorB, "rubiColorB");
    game.GetSetupInt(&s.rubiColorFix, "rubiColorFix");
  }
}
