// CCommonSelectMessage: the special layouts. For every number of choices p
// up to "useSpecialNumber" each choice q has its own place
// ("specialWindow<p>printX<q>", "specialWindow<p>printY<q>") and its own
// window, a cell of "filenameSpecialWindow" (its index, or the value - 1 of
// the choice's variable "specialWindowVarName<q>" when that is above 0).
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "mode/selectmessage.h"

void CCommonSelectMessage::LoadSpecialSettings() {
  SpecialKeys& k = special_;
  GetSetupIntDefault(&k.number, "useSpecialNumber", 0);
  k.number = std::clamp(k.number, 0, kMaxSpecialNumber);
  if (k.number == 0) return;
  GetSetupString(&k.windowFile, "filenameSpecialWindow");
  GetSetupIntDefault(&k.cellX, "specialWindowSizeX", 800);
  GetSetupIntDefault(&k.cellY, "specialWindowSizeY", 60);
  GetSetupIntDefault(&k.centering, "centeringFlag", 0);
  GetSetupIntDefault(&k.centerAreaX, "centerAreaSizeX", k.cellX);

  const int n = k.number;
  k.x.assign(static_cast<size_t>(n) * n, 0);
  k.y.assign(static_cast<size_t>(n) * n, 0);
  k.vars.assign(n, -1);
  for (int p = 1; p <= n; ++p) {
    // Every choice of layout p shares one y unless the list sets it.
    const int y = static_cast<int>(
        std::clamp<int64_t>(int64_t{p - 1} * k.cellY, INT_MIN, INT_MAX));
    for (int q = 1; q <= p; ++q) {
      const size_t at = static_cast<size_t>(p - 1) * n + (q - 1);
      const std::string pq = std::to_string(p);
      const std::string qq = std::to_string(q);
      GetSetupInt(&k.x[at], ("specialWindow" + pq + "printX" + qq).c_str());
      k.y[at] = y;
      GetSetupInt(&k.y[at], ("specialWindow" + pq + "printY" + qq).c_str());
    }
  }
  for (int q = 1; q <= n; ++q) {
    const char* name = nullptr;
    if (GetSetupString(&name, ("specialWindowVarName" + std::to_string(q)).c_str()) && name &&
        game_)
      k.vars[q - 1] = game_.variables->GetVarNumber(name);
  }

  k.anime = anime_;
  GetSetupInt(&k.anime.patterns, "specialAnimePatternNumber");
  k.anime.patterns = std::max(k.anime.patterns, 1);
  GetSetupInt(&k.anime.frames, "specialAnimeFrame");
  k.anime.frames = std::max(k.anime.frames, 1);
  GetSetupInt(&k.anime.reverse, "specialAnimeReverse");
  k.cursorFile = cursorFileName_;
  GetSetupString(&k.cursorFile, "filenameSpecialCursor");
  GetSetupIntDefault(&k.textX, "specialmessagePrintX", 0);
  GetSetupIntDefault(&k.textY, "specialmessagePrintY", 0);
  GetSetupIntDefault(&k.fontSize, "specialFontSize", fontSize_);
  k.deltaX = cursorDeltaX_;
  k.deltaY = cursorDeltaY_;
  k.sizeX = cursorSizeX_;
  k.sizeY = cursorSizeY_;
  GetSetupInt(&k.deltaX, "specialCursorDeltaX");
  GetSetupInt(&k.deltaY, "specialCursorDeltaY");
  GetSetupInt(&k.sizeX, "specialCursorSizeX");
  GetSetupInt(&k.sizeY, "specialCursorSizeY");

  specialWindowPicture_ = k.windowFile ? ::LoadSystemPicture(k.windowFile, 0) : nullptr;
  specialCursorPicture_ = k.cursorFile ? ::LoadSystemPicture(k.cursorFile, 0) : nullptr;
}

// Table entry (count, choice + 1); only asked while IsSpecial holds, so
// 1 <= count <= number and choice < count.
int CCommonSelectMessage::SpecialIndex(int choice) const {
  return (count_ - 1) * special_.number + std::clamp(choice, 0, count_ - 1);
}

int CCommonSelectMessage::GetSpecialCell(int row) const {
  if (row < 0 || row >= special_.number) return row;
  const int var = special_.vars[row];
  const int value = var >= 0 && game_ ? game_.variables->GetVar(var) : 0;
  return value > 0 ? value - 1 : row;
}

void CCommonSelectMessage::PrintSpecialWindows() {
  CPicture* p = specialWindowPicture_;
  if (!p || !p->IsLoaded()) return;
  const int w = std::max(special_.cellX, 1), h = std::max(special_.cellY, 1);
  for (int r = 0; r < count_; ++r) {
    const int at = SpecialIndex(r);
    int cx = 0, cy = 0;
    selectmessage::GridCell(GetSpecialCell(r), p->GetWidth(), p->GetHeight(), w, h, &cx, &cy);
    p->Blt(special_.x[at], special_.y[at], cx, cy, w, h, 1);
  }
}
