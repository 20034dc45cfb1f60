#include "modebase/modenames.h"

#include "setup/text.h"

namespace modenames {
namespace {

// Indexed by mode number; numbers without a mode stay empty.
constexpr char kModeNames[kModeCount][kNameSize] = {
    "",                                                          // 0
    "nothing", "logo", "opening", "title", "load",               // 1-5
    "save", "backlog", "listenbgm", "selectmessage", "printmessage",  // 6-10
    "draw", "config", "systemmenu", "printoverrap", "omake",     // 11-15
    "selectcgchara", "selectcg", "selectscene", "",              // 16-19
    "selectscenechara", "", "selectplace", "printcg",            // 20-23
    "selectzukan", "selectmoviechara", "selectmovie", "printmovie",  // 24-27
    "", "nameinput", "printcalendar", "selectheroin",            // 28-31
    "codecerror", "printresult", "selectchart", "selectplace2",  // 32-35
    "", "", "", "", "minigame",                                  // 36-40
    "", "", "", "", "cardsystem",                                // 41-45
};

constexpr const char* kQuickButtonNames[kQuickButtonCount] = {"save", "load", "config",
                                                              "backlog"};

}  // namespace

const char* GetModeName(int n) { return n >= 0 && n < kModeCount ? kModeNames[n] : kModeNames[0]; }

int GetModeNumber(const char* name) {
  if (!name) return 0;
  // An empty name never matches the unnamed numbers: "" reads as 0.
  for (int n = 1; n < kModeCount; ++n)
    if (kModeNames[n][0] && setup::EqualNoCase(kModeNames[n], name)) return n;
  return setup::ParseDecimal(name);
}

const char* GetQuickButtonName(int i) {
  return i >= 0 && i < kQuickButtonCount ? kQuickButtonNames[i] : "";
}

}  // namespace modenames
