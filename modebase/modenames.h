// The mode-name table: the settings name of every mode number ("title" is
// 4, "config" 12, ...), and the names of the quick buttons, each of which is
// also the name of the mode it leads to. Process-wide and constant; the game
// object and every mode read the same table.
#pragma once

#include "modebase/modenumbers.h"

namespace modenames {

constexpr int kModeCount = modenumber::kModeCount;
constexpr int kNameSize = 32;
constexpr int kQuickButtonCount = 4;

// Entry n for 0 <= n < 100 (empty for a number without a name); the empty
// entry 0 for any other n.
const char* GetModeName(int n);

// The first mode 1..99 whose name is not empty and equals `name` without
// regard to case; otherwise the text read as a decimal number (0 for text
// that is not a number, for "" and for null).
int GetModeNumber(const char* name);

// Quick button i ("save", "load", "config", "backlog"); "" past the last.
const char* GetQuickButtonName(int i);

}  // namespace modenames
