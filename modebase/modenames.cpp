#include "modebase/modenames.h"

#include <array>
#include <string_view>

#include "setup/text.h"

namespace modenames {
namespace {

struct NamedMode {
  int number;
  const char* name;
};

constexpr NamedMode kNamedModes[] = {
    {modenumber::kNothing, "nothing"},
    {modenumber::kLogo, "logo"},
    {modenumber::kOpening, "opening"},
    {modenumber::kTitle, "title"},
    {modenumber::kLoad, "load"},
    {modenumber::kSave, "save"},
    {modenumber::kBackLog, "backlog"},
    {modenumber::kListenBGM, "listenbgm"},
    {modenumber::kSelectMessage, "selectmessage"},
    {modenumber::kPrintMessage, "printmessage"},
    {modenumber::kDraw, "draw"},
    {modenumber::kConfig, "config"},
    {modenumber::kSystemMenu, "systemmenu"},
    {modenumber::kPrintOverrap, "printoverrap"},
    {modenumber::kOmake, "omake"},
    {modenumber::kSelectCGChara, "selectcgchara"},
    {modenumber::kSelectCG, "selectcg"},
    {modenumber::kSelectScene, "selectscene"},
    {modenumber::kSelectSceneChara, "selectscenechara"},
    {modenumber::kSelectPlace, "selectplace"},
    {modenumber::kPrintCG, "printcg"},
    {modenumber::kSelectZukan, "selectzukan"},
    {modenumber::kSelectMovieChara, "selectmoviechara"},
    {modenumber::kSelectMovie, "selectmovie"},
    {modenumber::kPrintMovie, "printmovie"},
    {modenumber::kNameInput, "nameinput"},
    {modenumber::kPrintCalendar, "printcalendar"},
    {modenumber::kSelectHeroin, "selectheroin"},
    {modenumber::kCodecError, "codecerror"},
    {modenumber::kPrintResult, "printresult"},
    {modenumber::kSelectChart, "selectchart"},
    {modenumber::kSelectPlace2, "selectplace2"},
    {modenumber::kMiniGame, "minigame"},
    {modenumber::kCardSystem, "cardsystem"},
};

// Each entry has its own number 1..99 and a name that fits a table entry.
constexpr bool EntriesFit() {
  std::array<bool, kModeCount> named{};
  for (const NamedMode& m : kNamedModes) {
    if (m.number < 1 || m.number >= kModeCount || named[m.number] ||
        std::string_view(m.name).size() >= kNameSize)
      return false;
    named[m.number] = true;
  }
  return true;
}
static_assert(EntriesFit());

// Indexed by mode number; numbers without a mode stay empty.
constexpr std::array<const char*, kModeCount> MakeModeNames() {
  std::array<const char*, kModeCount> names{};
  names.fill("");
  for (const NamedMode& m : kNamedModes) names[m.number] = m.name;
  return names;
}

constexpr std::array<const char*, kModeCount> kModeNames = MakeModeNames();

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
