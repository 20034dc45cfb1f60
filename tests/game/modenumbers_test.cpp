// The mode-number enumeration against the mode-name table: every enumerator
// carries the number saves and scripts hold for its mode and reads back from
// its settings name, and every named number has an enumerator.
#include <gtest/gtest.h>

#include <iterator>

#include "modebase/modenames.h"
#include "modebase/modenumbers.h"

namespace {

TEST(ModeNumbers, EachEnumeratorIsTheNumberOfItsSettingsName) {
  const struct {
    int mode, number;
    const char* name;
  } cases[] = {
      {modenumber::kNothing, 1, "nothing"},
      {modenumber::kLogo, 2, "logo"},
      {modenumber::kOpening, 3, "opening"},
      {modenumber::kTitle, 4, "title"},
      {modenumber::kLoad, 5, "load"},
      {modenumber::kSave, 6, "save"},
      {modenumber::kBackLog, 7, "backlog"},
      {modenumber::kListenBGM, 8, "listenbgm"},
      {modenumber::kSelectMessage, 9, "selectmessage"},
      {modenumber::kPrintMessage, 10, "printmessage"},
      {modenumber::kDraw, 11, "draw"},
      {modenumber::kConfig, 12, "config"},
      {modenumber::kSystemMenu, 13, "systemmenu"},
      {modenumber::kPrintOverrap, 14, "printoverrap"},
      {modenumber::kOmake, 15, "omake"},
      {modenumber::kSelectCGChara, 16, "selectcgchara"},
      {modenumber::kSelectCG, 17, "selectcg"},
      {modenumber::kSelectScene, 18, "selectscene"},
      {modenumber::kSelectSceneChara, 20, "selectscenechara"},
      {modenumber::kSelectPlace, 22, "selectplace"},
      {modenumber::kPrintCG, 23, "printcg"},
      {modenumber::kSelectZukan, 24, "selectzukan"},
      {modenumber::kSelectMovieChara, 25, "selectmoviechara"},
      {modenumber::kSelectMovie, 26, "selectmovie"},
      {modenumber::kPrintMovie, 27, "printmovie"},
      {modenumber::kNameInput, 29, "nameinput"},
      {modenumber::kPrintCalendar, 30, "printcalendar"},
      {modenumber::kSelectHeroin, 31, "selectheroin"},
      {modenumber::kCodecError, 32, "codecerror"},
      {modenumber::kPrintResult, 33, "printresult"},
      {modenumber::kSelectChart, 34, "selectchart"},
      {modenumber::kSelectPlace2, 35, "selectplace2"},
      {modenumber::kMiniGame, 40, "minigame"},
      {modenumber::kCardSystem, 45, "cardsystem"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.mode, c.number);
    EXPECT_EQ(modenames::GetModeNumber(c.name), c.mode);
    EXPECT_STREQ(modenames::GetModeName(c.mode), c.name);
  }

  // No named number is left without an enumerator.
  int named = 0;
  for (int n = 1; n < modenumber::kModeCount; ++n)
    if (modenames::GetModeName(n)[0]) ++named;
  EXPECT_EQ(named, static_cast<int>(std::size(cases)));
}

}  // namespace
