// The process-wide text state that every CTextPrint shares: the line
// buffer and its cell colours, the names the escape codes insert, the
// replacement slots, the code list and the ellipsis and dash switches. The
// text mode and the annotation switch are the render settings'
// (message/rendersettings.h). One copy for the whole program, game thread
// only; tests reset it.
#pragma once

#include <cstdint>

#include "message/textcolour.h"

struct CTextState {
  static constexpr int kMaxCells = 256;
  static constexpr int kNameBytes = 15;
  static constexpr int kExtraNameBytes = 18;
  static constexpr int kReplaceBytes = 32;
  static constexpr int kReplaceSlots = 10;
  static constexpr int kCodeListBytes = 60;

  // 256 cells of up to two bytes and an empty terminating cell.
  char line[2 * kMaxCells + 2] = {};
  uint32_t cellColours[kMaxCells] = {};
  char familyName[kNameBytes + 1] = {};
  char givenName[kNameBytes + 1] = {};
  char extraName[kExtraNameBytes + 1] = {};
  // Each slot ends with two NULs.
  char replace[kReplaceSlots][kReplaceBytes + 2] = {};
  // Two-byte codes, ended by "終".
  char codeList[kCodeListBytes + 3] = {};
  int santenUseFlag = 1;
  int dashUseFlag = 1;
};

// The one text state, and its return to the start values (tests).
CTextState& GetTextState();
void ResetTextState();

// The names "#姓" and "#名" insert: at most 15 bytes each, cut before a
// double-byte character that would not fit. A null name is left as it is.
void SetTextNames(const char* family, const char* given);

// The name to keep for a name buffer's text: "" while the buffer still holds
// its placeholder ("《◆姓》" or "《◆名》"), since no name was set; else the text.
const char* KeptName(const char* name);
