// Modes 1, 2, 3 and 32, the start-up chain's modes, each on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mode/codecerror.h"
#include "mode/logo.h"
#include "mode/nothing.h"
#include "mode/opening.h"
#include "platform/types.h"
#include "startup_fixture.h"
#include "widget/buttongroup.h"

namespace startup_test {
namespace {

class ChainTest : public ChainFixture<StartupGame> {};

TEST_F(ChainTest, LastLogoLeavesThroughTheExitFade) {
  WriteLogos();
  WriteList("logo", {{"logoNumber", "1"}, {"defaultFadeInTime", "2"}, {"defaultKeepTime", "2"},
                     {"defaultFadeOutTime", "2"}, {"exitFadeOutType", "-1"}, {"exitFadeOutTime", "4"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonLogo::kModeNumber);
  // 6 frames of the logo, then 4 of the exit fade.
  EXPECT_EQ(RunUntilRequests(1, 20), 10);
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{4}));
}

TEST_F(ChainTest, ClickSkipsALogoAsItsLevelAllowsForThePlayCount) {
  struct Case {
    int skip;
    bool titleSeen;  // the play count is 1
    bool skips;
  };
  const Case cases[] = {{1, false, true}, {2, false, false}, {2, true, true}, {0, true, false}};
  WriteLogos();
  for (const Case& c : cases) {
    WriteList("logo", {{"useCustomSkipFlag", "1"}, {"skipOK1", std::to_string(c.skip)}});
    game_.reset();
    StartupGame& game = Game();
    if (c.titleSeen) game.AddPlayCount();
    game.EnterMode(CCommonLogo::kModeNumber);
    game.RunFrames(3);
    Click(10, 10);
    game.RunFrame();
    auto* logo = game.Mode<CCommonLogo>();
    EXPECT_EQ(logo->GetCurrentLogo(), c.skips ? 1 : 0) << "skip level " << c.skip;
    if (c.skips) {
      EXPECT_EQ(Pixel(0, 0), kWhite) << "the next logo starts from its fill";
    }
  }
}

TEST_F(ChainTest, SoundsPlayOnceAtTheirLogosFrame) {
  WriteLogos();
  WriteList("logo", {{"soundNumber", "3"},
                     {"soundLogo1", "1"}, {"soundTime1", "5"}, {"soundFilename1", "chime"},
                     {"soundLogo2", "2"}, {"soundType2", "1"}, {"soundFilename2", "hello"},
                     {"soundLogo3", "1"}, {"soundTime3", "2"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonLogo::kModeNumber);
  game.RunFrames(4);
  EXPECT_TRUE(game.Sounds().empty());
  game.RunFrame();
  EXPECT_EQ(game.Sounds(), (std::vector<std::string>{"PlaySeFile chime 0"}));
  game.RunFrames(35);
  EXPECT_EQ(game.Sounds().size(), 1u);
  game.RunFrame();  // logo 2, frame 1
  EXPECT_EQ(game.Sounds(), (std::vector<std::string>{"PlaySeFile chime 0", "PlayVoice hello"}));
}

TEST_F(ChainTest, ColoursFromTheListOrFromThePicturesFirstPixel) {
  dwqtool::Picture p{800, 600, std::vector<uint32_t>(800 * 600, kRed), {}};
  p.pixels[0] = 0x102030;
  testsupport::WriteDwq(*dir_, "sys/logo1", std::move(p));
  WriteList("logo", {{"logoNumber", "1"}, {"useCustomColorFlag", "1"}, {"fadeInColorR1", "0"},
                     {"fadeInColorG1", "255"}, {"fadeInColorB1", "0"}, {"useCustomBGColorFlag", "1"},
                     {"fadeOutBGColorFlag1", "1"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonLogo::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(Pixel(5, 5), Blended(0x00FF00, "sys\\logo1", 10, 5, 5));
  game.RunFrames(30);  // fade-out frame 1
  EXPECT_EQ(Pixel(5, 5), Blended(0x102030, "sys\\logo1", 90, 5, 5));
}

TEST_F(ChainTest, LogoFileNamesWithAndWithoutTheirOwnFolder) {
  // A name of two characters must not be looked at past its end.
  testsupport::WriteDwq(*dir_, "sys/ab", 800, 600, kRed);
  testsupport::WriteDwq(*dir_, "ev/x1", 800, 600, kBlue);
  testsupport::WriteDwq(*dir_, "sys/a", 800, 600, 0x00FF00);
  WriteList("logo", {{"logoNumber", "3"}, {"useCustomFileFlag", "1"}, {"filename1", "ab"},
                     {"filename2", "ev\\x1"}, {"filename3", "a"}, {"defaultFadeInTime", "0"},
                     {"defaultKeepTime", "1"}, {"defaultFadeOutTime", "0"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonLogo::kModeNumber);
  const uint32_t expected[] = {kRed, kBlue, 0x00FF00};
  for (uint32_t colour : expected) {
    game.RunFrame();  // shown whole
    EXPECT_EQ(Pixel(400, 300), colour);
    game.RunFrames(2);
  }
  for (const auto& box : game.Boxes()) EXPECT_EQ(box.text.find("dwq"), std::string::npos) << box.text;
}

TEST_F(ChainTest, CountsBelowZeroAreNoneAndHugeOnesAreBounded) {
  struct Case {
    const char* logos;
    const char* sounds;
    int logoCount, soundCount;
  };
  const Case cases[] = {{"0", "0", 0, 0}, {"-3", "-1", 0, 0}, {"100000", "99999999", 256, 256}};
  for (const Case& c : cases) {
    WriteList("logo", {{"logoNumber", c.logos}, {"soundNumber", c.sounds}});
    game_.reset();
    auto* logo = Game().Mode<CCommonLogo>();
    EXPECT_EQ(logo->GetLogoCount(), c.logoCount) << c.logos;
    EXPECT_EQ(logo->GetSoundCount(), c.soundCount) << c.sounds;
  }
}

TEST_F(ChainTest, WithoutALogoOnlyTheFillIsDrawnAndTheModeLeavesAtOnce) {
  WriteList("logo", {{"logoNumber", "0"}, {"nextMode", "title"}});
  StartupGame& game = Game();
  CAllGraphics::FillScreen(0, 0, 0);
  game.EnterMode(CCommonLogo::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(Pixel(400, 300), kWhite);
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{4}));
}

// --- Mode 1 ---

TEST_F(ChainTest, FirstModeFillsWithItsColourAndNamesItsNextMode) {
  WriteList("nothing", {{"fillColorR", "10"}, {"fillColorG", "20"}, {"fillColorB", "300"},
                        {"nextMode", "opening"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(Pixel(0, 0), 0x0A14FFu);
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{3}));
}

TEST_F(ChainTest, CodecCheckOncePerRunAndShiftCtrl) {
  struct Case {
    const char* name;
    const char* limit;
    int state;  // the game's cached level; -1 not asked yet (answers 0)
    bool shiftCtrl;
    int request;
  };
  const Case cases[] = {
      {"level 3 under the default limit", "4", 3, false, 32},
      {"level 4", "4", 4, false, 2},
      {"no movie mode", "1", -1, false, 32},
      {"Shift and Ctrl give 3", "3", -1, true, 2},
      {"Shift and Ctrl under the default limit", "4", -1, true, 32},
  };
  for (const Case& c : cases) {
    WriteList("nothing", {{"codecCheckFlag", "1"}, {"codecLimit", c.limit}});
    game_.reset();
    StartupGame& game = Game();
    game.SetCodecCheckState(c.state);
    if (c.shiftCtrl) {
      host_->InjectKey(VK_SHIFT, true);
      host_->InjectKey(VK_CONTROL, true);
    }
    game.EnterMode(CCommonNothing::kModeNumber);
    game.RunFrame();
    if (c.shiftCtrl) {
      host_->InjectKey(VK_SHIFT, false);
      host_->InjectKey(VK_CONTROL, false);
    }
    EXPECT_EQ(game.ModeRequests(), (std::vector<int>{c.request})) << c.name;
  }
}

TEST_F(ChainTest, SecondEntryOfTheFirstModeChecksNoMore) {
  WriteList("nothing", {{"codecCheckFlag", "1"}});
  StartupGame& game = Game();
  game.SetCodecCheckState(3);
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrame();
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{32, 2}));
  EXPECT_EQ(game.Mode<CCommonNothing>()->GetCodecLevel(), 3);
}

TEST_F(ChainTest, JumpIntoTheGameStartsItOncePerEntry) {
  WriteList("nothing", {{"startupJumpScriptFlag", "1"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrames(5);
  EXPECT_EQ(game.newGames, (std::vector<std::pair<int, int>>{{-1, 0}}));
  EXPECT_TRUE(game.ModeRequests().empty());
  EXPECT_EQ(game.GetCurrentMode(), CCommonNothing::kModeNumber);
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(game.newGames.size(), 2u);
}

// --- Mode 3 ---

TEST_F(ChainTest, OpeningRunsItsScriptOnceAndEndsOnAClickOrTheScriptsEnd) {
  WriteList("opening", {{"backScriptFlag", "1"}, {"backScriptName", "op"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonOpening::kModeNumber);
  game.RunFrames(3);
  EXPECT_TRUE(game.ModeRequests().empty());
  const auto& calls = game.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "LoadBackScript op"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "CalcuBackScript 0"), calls.end());
  game.SetBackScriptResult(1);
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{4}));

  game.SetBackScriptResult(0);
  game.EnterMode(CCommonOpening::kModeNumber);
  game.RunFrame();
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{4, 4}));
}

// --- Mode 32 ---

class CodecDialogTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/CodecError", 800, 600, 0x101010);
    testsupport::WriteDwq(*dir_, "sys/ta_dialog5", 200, 100, 0x808080);
    for (const char* name : {"bnot", "bcan", "bexit"})
      testsupport::WriteDwq(*dir_, std::string("sys/") + name, 4 * 80, 20, 0x30A030);
  }
  void WriteDialogList(const Pairs& extra) const {
    Pairs pairs = {{"notButtonFilename", "bnot"},  {"notButtonSizeX", "80"},  {"notButtonSizeY", "20"},
                   {"notButtonPrintX", "100"},     {"notButtonPrintY", "500"}, {"notButtonClickTime", "0"},
                   {"canButtonFilename", "bcan"},  {"canButtonPrintX", "300"}, {"canButtonPrintY", "500"},
                   {"exitButtonFilename", "bexit"}, {"exitButtonPrintX", "500"},
                   {"exitButtonPrintY", "500"}};
    // The first of a key wins: the extra keys go first.
    pairs.insert(pairs.begin(), extra.begin(), extra.end());
    WriteList("CodecError", pairs);
  }
  // Clicks the button at x and runs frames until something happens.
  void Press(int x) {
    MoveTo(x + 10, 510);
    Game().RunFrame();
    Click(x + 10, 510);
    for (int i = 0; i < 4 && Game().ModeRequests().empty(); ++i) Game().RunFrame();
  }
};

TEST_F(CodecDialogTest, CentredDialogOverTheBackground) {
  WriteDialogList({{"dialogPrintY", "7"}});
  StartupGame& game = Game();
  game.EnterMode(CCommonCodecError::kModeNumber);
  auto* mode = game.Mode<CCommonCodecError>();
  EXPECT_EQ(mode->GetDialogX(), 300);
  EXPECT_EQ(mode->GetDialogY(), 250);
  game.RunFrame();
  EXPECT_EQ(Pixel(299, 300), 0x101010u);
  EXPECT_EQ(Pixel(300, 250), 0x808080u);
  EXPECT_EQ(Pixel(499, 349), 0x808080u);
  EXPECT_EQ(Pixel(500, 349), 0x101010u);
}

TEST_F(CodecDialogTest, NoMoviesTurnsMoviesOffAndGoesOn) {
  WriteDialogList({});
  StartupGame& game = Game();
  game.SetCodecCheckState(2);
  game.EnterMode(CCommonCodecError::kModeNumber);
  Press(100);
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2}));
  EXPECT_EQ(game.IsMovieOff(), 1);
  EXPECT_EQ(game.GetCodecChoice(), 0);
}

TEST_F(CodecDialogTest, GoOnAnywayKeepsMoviesButNotAtLevelZero) {
  for (int level : {2, 0}) {
    WriteDialogList({{"canButtonClickTime", "0"}});
    game_.reset();
    StartupGame& game = Game();
    game.SetCodecCheckState(level);
    game.EnterMode(CCommonCodecError::kModeNumber);
    EXPECT_EQ(game.Mode<CCommonCodecError>()->GetCodecLevel(), level);
    Press(300);
    if (level == 0) {
      EXPECT_TRUE(game.ModeRequests().empty()) << "the button cannot be pressed at level 0";
    } else {
      EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2}));
      EXPECT_EQ(game.GetCodecChoice(), 1);
      EXPECT_EQ(game.IsMovieOff(), 0);
    }
  }
}

// A dialog whose pictures are missing cannot be read or answered: one box
// names the missing pictures and asks; Yes goes on without movies, No quits.
TEST_F(CodecDialogTest, MissingPicturesAskByBox) {
  for (const int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer == IDYES ? "yes" : "no");
    WriteDialogList({{"filenameDialog", "nodialog"}, {"canButtonFilename", "nocan"}});
    game_.reset();
    host_->SetBoxAnswer(answer);
    StartupGame& game = Game();
    game.SetCodecCheckState(2);
    host_->ClearBoxes();
    host_->ClearErrorLines();
    game.EnterMode(CCommonCodecError::kModeNumber);
    const std::vector<platform::BoxRecord> boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "CodecError");
    for (const char* name : {"sys\\nodialog", "sys\\nocan", "Go on without movies?"})
      EXPECT_NE(boxes[0].text.find(name), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].text.find("sys\\bnot"), std::string::npos) << "it loaded";
    // The loader names each missing file once; the screen's own line sums up.
    ASSERT_FALSE(host_->ErrorLines().empty());
    EXPECT_NE(host_->ErrorLines().back().find("sys\\nocan"), std::string::npos);
    for (int i = 0; i < 4 && game.ModeRequests().empty() && !game.closes; ++i) game.RunFrame();
    if (answer == IDYES) {
      EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2}));
      EXPECT_EQ(game.IsMovieOff(), 1);
    } else {
      EXPECT_EQ(game.closes, 1);
      EXPECT_TRUE(game.ModeRequests().empty());
    }
  }
  host_->SetBoxAnswer(IDNO);
}

TEST_F(CodecDialogTest, QuitPostsTheCloseRequest) {
  WriteDialogList({{"exitButtonClickTime", "0"}});
  StartupGame& game = Game();
  game.SetCodecCheckState(3);
  game.EnterMode(CCommonCodecError::kModeNumber);
  Press(500);
  EXPECT_EQ(game.closes, 1);
  EXPECT_TRUE(game.ModeRequests().empty());
}

}  // namespace
}  // namespace startup_test
