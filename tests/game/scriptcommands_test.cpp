// The script command dispatcher and its handlers, on control scripts
// written with the assembler: the code table, the text and choice handoff
// to the message modes, the small setters, pictures into effect channels,
// voices, sound effects and music, the unlocks and the window-state words.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/script_fixture.h"
#include "game/scriptcommands.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "script/commandtable.h"
#include "sound/bgmplayer.h"
#include "sound/bgmstream.h"
#include "sound/music_fixtures.h"
#include "sound/seplayer.h"
#include "sound/sound_fixtures.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "soundwriter.h"
#include "support/dwq_picture.h"
#include "support/text.h"

namespace script_test {
namespace {

using testsupport::Sjis;

// --- The code table ---

// Each row: one command of a control script, and what it must leave.
struct Row {
  const char* source;
  std::function<bool(ScriptGame&)> check;
};

TEST_F(ScriptTest, EveryStoringCodeReachesItsWordInItsShape) {
  const std::vector<Row> rows = {
      {"textshown", [](ScriptGame& g) { return g.MessageWindow().GetAutoModeFlag() == 1; }},
      {"option6 2",
       [](ScriptGame& g) {
         return g.MessageWindow().GetMessageSkipFlag() == 0 && g.Vars().GetSystemSetting(6) == 0;
       }},
      {"option6 5", [](ScriptGame& g) { return g.MessageWindow().GetMessageSkipFlag() == 5; }},
      {"frametime 30", [](ScriptGame& g) { return g.GetFrameTime() == 30; }},
      {"frametime 30; frametime -4", [](ScriptGame& g) { return g.GetFrameTime() == 30; }},
      {"frametime 30; frametime 0",
       [](ScriptGame& g) { return g.GetFrameTime() == g.Frames().GetDefaultFrameTime(); }},
      {"frametime 30; defaultframetime",
       [](ScriptGame& g) { return g.GetFrameTime() == g.Frames().GetDefaultFrameTime(); }},
      {"cmd 0x33330053 5", [](ScriptGame& g) { return g.Vars().GetConfigFlagB() == 5; }},
      {"cmd 0x33330053 5; cmd 0x33330053 0", [](ScriptGame& g) { return g.Vars().GetConfigFlagB() == 5; }},
      {"cmd 0x33330053 5; cmd 0x33330053 -3", [](ScriptGame& g) { return g.Vars().GetConfigFlagB() == 0; }},
      {"cmd 0x33330054 3", [](ScriptGame& g) { return g.MessageWindow().GetWindowNumberScript() == 3; }},
      {"cmd 0x33330055 2", [](ScriptGame& g) { return g.Floating().GetCursorNumberScript() == 2; }},
      {"cmd 0x33330056 4", [](ScriptGame& g) { return g.Floating().GetMouseNumberScript() == 4; }},
      {"cmd 0x3333005F 6", [](ScriptGame& g) { return g.MessageWindow().GetMessageSpeed() == 6; }},
      {"cmd 0x33330057 -1", [](ScriptGame& g) { return g.MessageWindow().GetCannotSkipFlag() == 0; }},
      {"cmd 0x33330057 3", [](ScriptGame& g) { return g.MessageWindow().GetCannotSkipFlag() == 3; }},
      {"cmd 0x33330058 2", [](ScriptGame& g) { return g.MessageWindow().GetMessageSwitch() == 2; }},
      {"cmd 0x33330059 -1", [](ScriptGame& g) { return g.MessageWindow().GetAutoMessageCheckFlag() == 0; }},
      {"cmd 0x3333005A 1", [](ScriptGame& g) { return g.Floating().GetFloatingButtonOffFlag() == 1; }},
      {"cutin 4", [](ScriptGame& g) {
         return g.MessageWindow().Words().cutinNumber == 4 && g.log == Log{"10 SetCutinNumber 4"};
       }},
      {"cmd 0x3333005C 1", [](ScriptGame& g) { return g.log == Log{"10 SetFrameFlag 1"}; }},
      {"cmd 0x3333005D 2", [](ScriptGame& g) { return g.MessageWindow().Words().choiceReturn == 0; }},
      {"cmd 0x3333005D 1", [](ScriptGame& g) { return g.MessageWindow().Words().choiceReturn == 1; }},
      {"cmd 0x3333005E 7", [](ScriptGame& g) { return g.log == Log{"OnScriptCommand 7"}; }},
      {"cmd 0x33330060 5", [](ScriptGame& g) { return g.CostumeMaskValue() == 5; }},
      {"setvar 300 9", [](ScriptGame& g) { return g.GetVar(300) == 9; }},
      {"cmd 0x33330063 2 400", [](ScriptGame& g) { return g.VariantVar(2) == 400; }},
      {"cmd 0x33330063 16 400", [](ScriptGame& g) { return g.VariantVar(15) == 0; }},
      {"sefade 12", [](ScriptGame& g) { return g.SeFade() == 12; }},
      {"voicefade 8", [](ScriptGame& g) { return g.VoiceFade() == 8; }},
      {"cmd 0x33330019 5; cmd 0x33330052 5", [](ScriptGame& g) { return g.log.empty(); }},
      {"effect 3 -1", [](ScriptGame& g) { return g.log == Log{"10 NoticeEffect 3"}; }},
      {"effectreset 4", [](ScriptGame& g) { return g.log == Log{"10 NoticeEffect 4"}; }},
      {"effectclear", [](ScriptGame& g) { return g.log == Log{"10 ClearFrameFlag 1"}; }},
  };
  for (const Row& row : rows) {
    if (!row.check) continue;
    ScriptGame& g = Make(std::string(row.source) + "\nexitscript\n");
    g.Release();
    EXPECT_TRUE(row.check(g)) << row.source;
  }
}

TEST_F(ScriptTest, NamesAreCutOnWholeCharactersAndUnknownCodesAreIgnored) {
  // 31 double-byte characters and one more byte: the cut keeps 62 bytes.
  std::string longName;
  for (int i = 0; i < 31; ++i) longName += "あ";
  ScriptGame& g = Make("name1 \"" + longName + "x\"\nname2 \"y" + longName + "\"\nexitscript\n");
  g.Release();
  EXPECT_EQ(std::string(g.Debug().GetFirstName()), Sjis(longName));
  EXPECT_EQ(std::string(g.Debug().GetSecondName()), Sjis("y" + longName.substr(0, 30 * 3)));
  // Codes the table does not name change nothing, whatever their data.
  const int32_t words[4] = {1, 2, 3, 4};
  g.log.clear();
  for (int code : {0x33330001, 0x3333006B, 0x22220007, 0x55560017, 0})
    g.SystemCommand(code, 4, words, 0);
  EXPECT_TRUE(g.log.empty());
  EXPECT_EQ(g.Modes().GetNextMode(), -1);
  // The notice keeps only the voice name of the voice command.
  g.CommandNotice(0x33330007, 0, "bgm");
  EXPECT_STREQ(g.Noticed(), "");
  g.CommandNotice(0x33330008, 0, "ab0001");
  EXPECT_STREQ(g.Noticed(), "ab0001");
  g.CommandNotice(0x33330009, 0, "se");
  EXPECT_STREQ(g.Noticed(), "ab0001");
}

// Every command of the script's table has one handler, unless the table
// marks it ignored, and every handler answers a command of the table.
TEST(ScriptCommandTableTest, EveryCommandHasAHandlerUnlessMarkedIgnored) {
  for (const script::CommandInfo& c : script::kCommands) {
    int handlers = 0;
    for (int i = 0; i < scriptcommand::kTableSize; ++i)
      handlers += scriptcommand::kTable[i].code == c.code;
    EXPECT_EQ(handlers, c.ignored ? 0 : 1) << Hex(c.code);
  }
  for (int i = 0; i < scriptcommand::kTableSize; ++i)
    EXPECT_NE(script::FindCommand(scriptcommand::kTable[i].code), nullptr)
        << Hex(scriptcommand::kTable[i].code);
}

// --- Text and choices ---

TEST_F(ScriptTest, MessagesReachThePrintMessageModeWithTheirIdAndTheTextShownWord) {
  ScriptGame& g = Make(
      "text \"one\" key=5 extra=2\nfulltext \"two\" key=6\nmoretext \"three\" key=7\n"
      "wait 0\nwait 3\n");
  g.Release();
  EXPECT_EQ(g.log, (Log{"10 SetMessage 22220001 5 one 2"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 10);
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 1);
  EXPECT_EQ(g.MessageWindow().Words().messageKey, 5);
  g.Release();
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 0);
  g.Release();
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 0);
  EXPECT_EQ(g.log.back(), "10 SetMessage 22220003 7 three 0");
  // A wait of 0 goes on without mode 10; a wait of 3 blocks in it.
  g.log.clear();
  g.Modes().SetNextMode(-1);
  g.Release();
  EXPECT_EQ(g.log, (Log{"10 SetWaitTime 0", "10 SetWaitTime 3"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 10);
}

TEST_F(ScriptTest, APageThatDoesNotFitIsNamedOnStderrWithItsScriptAndWord) {
  // Cells of 10 pixels from x 0 on a screen 64 wide: 6 fit.
  WriteList("PrintMessage", {{"printX", "0"}, {"fontSize", "10"}, {"space", "0"}});
  const std::string source =
      "a:\ntext \"Yui\\r\\n1\\r\\n2\\r\\n3\\r\\n4\" key=1\n"
      "b:\ntext \"Yui\\r\\nabcdefgh\" key=2\n"
      "text \"Yui\\r\\nabcdef\" key=3\n";
  const zasm::Assembly assembly = zasm::Assemble(source);
  ASSERT_TRUE(assembly.ok()) << assembly.ErrorText();
  ScriptGame& g = Make(source);
  g.passText = true;
  host_->ClearErrorLines();
  for (int page = 0; page < 3; ++page) g.Release();
  const auto at = [&](const char* label) {
    return "spt\\sys.spt at word " + std::to_string(assembly.LabelWord(label)) + ": ";
  };
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{
                at("a") + "the page with key 1: 5 lines where the message window holds 4 (the last line is not shown)",
                at("b") + "the page with key 2: line 2 reaches x 80, past the screen's right edge at 64"}));
}

TEST_F(ScriptTest, TheMessageIdCarriesTheProjectNumberOfTheLevel) {
  Script("sub2", "text \"deep\" key=0x12345\n");
  ScriptGame& g = Make("callscript \"sub2\"\n");
  g.Release();
  EXPECT_EQ(g.Level(), 1);
  EXPECT_EQ(g.ScriptNumber(1), 2);
  // Only the low 16 bits of the key stand beside the project number.
  EXPECT_EQ(g.log, (Log{"10 SetMessage 22220001 22345 deep 0"}));
}

TEST_F(ScriptTest, AMessageWhileSkippingToAPositionOnlyMarksItRead) {
  ScriptGame& g = Make("text \"seen\" key=3\nwait 4\nexitscript\n");
  g.Scripts().StartFastForward(1);
  g.SetFastForward(2, 0);
  g.Scripts().CallControlScript(-1);
  EXPECT_EQ(g.log, (Log{"10 SetWaitTime 4"}));
  EXPECT_EQ(g.Modes().GetNextMode(), -1);
  EXPECT_EQ(systemFile_.GetMesFlag(0, 3), 1);
}

TEST_F(ScriptTest, AChoiceHandsItsTextsAndLimitsToTheChoiceMode) {
  ScriptGame& g = Make(
      "textshown\nchoice key=7 time=30 timeout=0 param=4 \"xgo\" \"stay\" / \"why\"\n");
  g.Scripts().StartFastForward(0);
  g.SetFastForward(0, 0);
  g.SetFastForward(3, 1);
  g.Release();
  // m = 1: the first text loses its first byte; Q = 0 gives n + 1.
  EXPECT_EQ(g.log, (Log{"9 AddBackLogHeader", "9 SetSelectRange 2 1",
                        "9 SetSelectExtra 4", "9 SetSelectText 0 go", "9 SetSelectText 1 stay",
                        "9 SetSelectText 2 why", "9 SetTimeLimit 30 3"}));
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 0);
  // The record's own key, not the time limit, finds the choice again.
  EXPECT_EQ(g.MessageWindow().Words().choiceKey, 7);
  EXPECT_EQ(g.FastForward(3), 0);
  EXPECT_EQ(g.Modes().GetNextMode(), 9);
}

// The example of "Choices" in the assembler's README, as an author copies
// it: each answer runs its own branch once the choice mode hands it over.
TEST_F(ScriptTest, TheDocumentedChoiceRunsTheBranchOfEachAnswer) {
  std::ifstream readme(std::string(ZOR_SOURCE_DIR) + "/tools/asm/README.md");
  const std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
  const size_t section = text.find("\n## Choices\n");
  ASSERT_NE(section, std::string::npos);
  const size_t open = text.find("```\n", section) + 4;
  const std::string example = text.substr(open, text.find("```\n", open) - open);
  const zasm::Assembly a = zasm::Assemble(example);
  ASSERT_TRUE(a.ok()) << a.ErrorText();
  EXPECT_TRUE(a.warnings.empty()) << a.warnings[0];
  const std::string said[] = {Sjis("ユイ\r\n「丘の上は風が気持ちいいね。」"),
                              Sjis("ユイ\r\n「川の音が聞こえるね。」")};
  for (int answer = 1; answer <= 2; ++answer) {
    SCOPED_TRACE(answer);
    ScriptGame& g = Make(example);
    g.Release();
    ASSERT_EQ(g.Modes().GetNextMode(), 9);
    EXPECT_EQ(g.log[1], "9 SetSelectRange 2 1");
    // What the choice mode does when the player picks.
    g.log.clear();
    ASSERT_EQ(g.Modes().CallScriptLabel(answer), 0);
    g.Release();
    EXPECT_EQ(g.GetVar(211), answer);
    ASSERT_EQ(g.log.size(), 1u);
    EXPECT_NE(g.log[0].find(said[answer - 1]), std::string::npos) << g.log[0];
  }
}

TEST_F(ScriptTest, AChoiceOfMoreThanSixtyFourTextsIsCutWithAnError) {
  std::string many = "choice time=1 timeout=2 \"\"";
  for (int i = 1; i < 70; ++i) many += " \"c" + std::to_string(i) + "\"";
  ScriptGame& g = Make(many + " / \"q\"\n");
  g.Release();
  int texts = 0;
  for (const std::string& line : g.log) texts += line.rfind("9 SetSelectText", 0) == 0;
  EXPECT_EQ(texts, 64);
  // The empty question line stays empty; the range follows the cut.
  EXPECT_EQ(g.log[1], "9 SetSelectRange 63 1");
  EXPECT_EQ(g.log[3], "9 SetSelectText 0 ");
  EXPECT_NE(std::string(g.Script(0)->GetError(0)).find("64"), std::string::npos);
}

TEST_F(ScriptTest, ATransitionDrawsTheSceneAndWaitsInThePrintMessageMode) {
  ScriptGame& g = Make("cmd 0x3333001C -1 1\ntextshown\nwipe 3 20\n");
  g.Release();
  EXPECT_EQ(g.WipeType(), 3);
  EXPECT_EQ(g.WipeLength(), 20);
  EXPECT_EQ(g.log, (Log{"10 CheckPrintLprintBG", "10 SetScreenWait 3 20"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 10);
}

// --- Message-window state ---

TEST_F(ScriptTest, TheWindowStateWordsFollowTheirCountsAndKinds) {
  ScriptGame& g = Make(
      "cmd 0x3333001B 8\n"         // one word: read skip -1
      "cmd 0x3333001B 9 1\n"       // kind 1: 0
      "cmd 0x3333001B -1 2\n"      // kind 2: 1, the key stays
      "cmd 0x3333001C -1 0 -1\n"   // display 0, auto not 1: text shown
      "wait 1\n"
      "cmd 0x3333001C -1\n"        // defaults: 3, -1
      "wait 1\n");
  g.Vars().SetSystemSetting(6, 0);
  g.Release();
  EXPECT_EQ(g.MessageWindow().Words().messageKey, 9);
  EXPECT_EQ(g.ReadSkip(), 1);
  EXPECT_EQ(g.MessageWindow().Words().displayKind, 0);
  EXPECT_EQ(g.MessageWindow().Words().autoKind, -1);
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 1);
  g.MessageWindow().SetMessageWindowOn(0);
  g.Release();
  EXPECT_EQ(g.MessageWindow().Words().displayKind, 3);
  EXPECT_EQ(g.MessageWindow().Words().autoKind, -1);
  EXPECT_EQ(g.MessageWindow().GetAutoModeFlag(), 0);
}

TEST_F(ScriptTest, AnUnreadMessageKeyEndsTheReplay) {
  // A script that never blocks keeps the replay for the next frame.
  ScriptGame& g = Make("cmd 0x3333001B 4\nloop:\ngoto loop\n");
  systemFile_.SetMesFlag(0, 4);
  g.Scripts().StartFastForward(1);
  g.Scripts().CallControlScript(-1);
  EXPECT_EQ(g.FastForward(0), 1);
  ScriptGame& h = Make("cmd 0x3333001B 5\nloop:\ngoto loop\n");
  h.Scripts().StartFastForward(1);
  h.Scripts().CallControlScript(-1);
  EXPECT_EQ(h.FastForward(0), 0);
}

// --- Gallery flags ---

TEST_F(ScriptTest, UnlocksFollowTheirConditions) {
  ScriptGame& g = Make(
      "cgflag 1 3\n"                    // (0, 2)
      "cmd 0x33330018 2 5 2\n"        // group 2 masked below: refused
      "cmd 0x33330061 2 6 -1 300 1\n" // variable 300 = 7: refused
      "cmd 0x33330061 2 7 -1 301 1\n" // variable 301 = 0: allowed
      "cmd 0x33330061 2 8 -1 302 4\n" // variable 302 = 4: allowed
      "filmflag 3\n",
      {{"offLayerDontSetCG", "1"}});
  g.Screen().SetLayerDisableMask(1 << 2);
  g.SetVar(300, 7);
  g.SetVar(302, 4);
  g.Release();
  EXPECT_EQ(systemFile_.GetCGFlag(0, 2), 1);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 4), 0);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 5), 0);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 6), 1);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 7), 1);
  EXPECT_EQ(systemFile_.GetFilmFlag(0, 2), 1);

  // A back script unlocks nothing; a replay only with its flags.
  ScriptGame& h = Make("cgflag 2 2\nfilmflag 2\n", {{"mustSetCGFlag", "0"}});
  h.SetBackScriptRunning(1);
  h.Release();
  h.SetBackScriptRunning(0);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 1), 0);
  EXPECT_EQ(systemFile_.GetFilmFlag(0, 1), 0);
  h.Script(0)->SetPC(0);
  h.Scripts().StartFastForward(0);
  h.Scripts().CallControlScript(-1);
  EXPECT_EQ(systemFile_.GetCGFlag(1, 1), 0);
  EXPECT_EQ(systemFile_.GetFilmFlag(0, 1), 1);
}

// --- Pictures ---

TEST_F(ScriptTest, LoadDwqLooksInTheFolderOfTheNamesFirstTwoLettersWithItsVariants) {
  testsupport::WriteDwq(*dir_, "bg/bg01", 4, 4, 0x112233);
  testsupport::WriteDwq(*dir_, "bg/bg01__2", 4, 4, 0x445566);
  testsupport::WriteDwq(*dir_, "ch/ch01_red", 2, 2, 0x778899);
  ScriptGame& g = Make(
      "loaddwq 0 \"bg01\"\n"
      "cmd 0x33330063 1 310\nloaddwq 1 \"bg01\"\n"
      "loaddwq 2 \"ch01\"\n"
      "loaddwq 3 \"ch01\"\n"
      "loaddwq 4 \"b\"\n"
      "loaddwq 16 \"bg01\"\nexitscript\n");
  g.SetVar(310, 2);
  g.SetCostume(320, {"_red", ""});
  g.SetVar(320, 1);
  g.SetCostumeMask(1 << 2 | 1 << 3);
  g.Release();
  EXPECT_STREQ(g.ChannelName(0), "bg\\bg01");
  EXPECT_EQ(g.Screen().GetEffectPicture(0)->GetWidth(), 4);
  EXPECT_STREQ(g.ChannelName(1), "bg\\bg01__2");
  EXPECT_STREQ(g.ChannelName(2), "ch\\ch01_red");
  EXPECT_EQ(g.Screen().GetEffectPicture(2)->GetWidth(), 2);
  // A name too short for its folder is a missing picture; channel 16 is
  // no channel: a debug line, no box.
  EXPECT_STREQ(g.ChannelName(4), "");
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{"SystemCommand LOADDWQ ERROR"}));
  EXPECT_EQ(host_->Boxes()[0].text, "__\\b");
  bool noted = false;
  for (const std::string& line : host_->DebugLines()) noted |= line.find("channel 16") != std::string::npos;
  EXPECT_TRUE(noted);
}

TEST_F(ScriptTest, AMissingVariantFallsBackUnlessStrictAndHeldChannelsKeepWhatTheyHold) {
  testsupport::WriteDwq(*dir_, "bg/bg01", 4, 4, 0x112233);
  const std::string source =
      "cmd 0x33330063 0 310\nloaddwq 0 \"bg01\"\n"
      "effectrect 1 1 2 3 4 5 6 7 8\nloaddwq 1 \"bg01\"\n"
      "preloaddwq 2 \"zz09\"\nexitscript\n";
  ScriptGame& g = Make(source);
  g.SetVar(310, 3);
  g.SetHold(1, 3);
  g.Release();
  EXPECT_STREQ(g.ChannelName(0), "bg\\bg01");
  EXPECT_STREQ(g.ChannelName(1), "");
  int rect[4];
  g.Effect()->GetRect(1, 3, rect);
  // Held rectangles: the command left them and the reset kept them.
  EXPECT_NE(rect[0], 5);
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{"SystemCommand PRELOADDWQ ERROR"}));
  EXPECT_EQ(host_->Boxes()[0].text, "zz\\zz09");

  ScriptGame& s = Make(source, {{"varControlLoadDWQErrorPrint", "1"}});
  s.SetVar(310, 3);
  s.Release();
  EXPECT_STREQ(s.ChannelName(0), "");
  EXPECT_EQ(host_->Boxes()[0].text, "bg\\bg01__3");
}

TEST_F(ScriptTest, EffectRectanglesAreSetUnlessHeld) {
  ScriptGame& g = Make("effectrect 5 1 2 3 4 5 6 7 8\neffectrect 6 1 2 3 4 5 6 7 8\n");
  g.SetHold(6, 2);
  g.Release();
  int a[4], b[4], c[4], held[4];
  g.Effect()->GetRect(5, 2, a);
  g.Effect()->GetRect(5, 5, b);
  g.Effect()->GetRect(5, 3, c);
  g.Effect()->GetRect(6, 3, held);
  EXPECT_EQ(std::vector<int>(a, a + 4), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_NE(held[0], 5);
}

TEST_F(ScriptTest, EffectAndWipeNumbersThatDoNotExistAreNamedOnStderr) {
  const std::string source =
      "effect 3 11 20\neffect 2 59 20 6\na:\neffect 0 137\nb:\neffect 1 59 20 96\nc:\neffect 4 -7\n"
      "d:\nwipe 137 20\n";
  const zasm::Assembly assembly = zasm::Assemble(source);
  ScriptGame& g = Make(source);
  host_->ClearErrorLines();
  g.Release();
  const auto at = [&](const char* label) {
    return "spt\\sys.spt at word " + std::to_string(assembly.LabelWord(label)) + ": ";
  };
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{at("a") + "effect 137 does not exist; channel 0 starts nothing",
                                      at("b") + "wipe 96 of effect 59 does not exist; channel 1 draws nothing",
                                      at("c") + "effect -7 does not exist; channel 4 starts nothing",
                                      at("d") + "wipe 137 does not exist; the transition shows no wipe"}));
  // What exists starts as before, and the transition still takes its frames.
  EXPECT_EQ(g.Effect()->GetChannel(3)->EffectNumber(), 11);
  EXPECT_EQ(g.Effect()->GetChannel(2)->EffectNumber(), 59);
  EXPECT_EQ(g.WipeLength(), 20);
}

// --- Sounds ---

class ScriptSoundTest : public ScriptTest {
 protected:
  void Voice(const std::string& name) {
    dir_->Write("cdvaw/" + name.substr(0, 2) + "/" + name + ".vaw",
                soundtest::Str(soundtool::MakePcmVoice(soundtest::Sine(11025, 1, 8, 1100))));
  }
  void Se(const std::string& name) {
    dir_->Write("vaw/se/" + name + ".vaw",
                soundtest::Str(soundtool::MakePcmVoice(soundtest::Sine(11025, 1, 8, 600))));
  }
  static int Level(CSoundChannelPlayer* p, int ch) {
    return p->GetBuffer(ch)->GetBuffer()->GetVolume() / 100 + 100;
  }
  static bool Playing(CSoundChannelPlayer* p, int ch) {
    CSoundBuffer* b = p->GetBuffer(ch);
    return b && b->GetBuffer() && b->GetBuffer()->IsPlaying();
  }
};

TEST_F(ScriptSoundTest, VoicesPlayOnTheirChannelWithOneShotFadesAndTheQuietestOffset) {
  dir_->Write("spt/charaname.xtx", "none x ab Aki");
  Voice("ab0001");
  ScriptGame& g = Make("voicefade 5\nvoice 1 0 -101\nwait 1\nvoice 1 1 -20\nwait 1\nvoice 1 6\nwait 1\n");
  g.Vars().SetSystemSetting(102, 80);
  g.CommandNotice(0x33330008, 0, "ab0001");
  g.Release();
  ASSERT_TRUE(Playing(g.Voices(), 0));
  EXPECT_EQ(g.Voices()->GetFadeTime(0), 500);
  EXPECT_EQ(Level(g.Voices(), 0), 0);  // fading in from 0 towards 1
  EXPECT_EQ(g.Voices()->GetFadeTarget(0), 1);
  EXPECT_EQ(g.log, (Log{"7 SetVoice ab0001", "10 SetWaitTime 1"}));
  EXPECT_EQ(systemFile_.GetVoiceFlag(1), 1);
  EXPECT_EQ(g.Sound().GetVoiceWaitTime(), 99);  // 1100 frames at 11025 Hz
  EXPECT_STREQ(g.VoiceName(0), "ab0001");
  g.Release();
  ASSERT_TRUE(Playing(g.Voices(), 1));
  EXPECT_EQ(g.Voices()->GetFadeTime(1), 0);  // the fade was for one command
  EXPECT_EQ(Level(g.Voices(), 1), 60);
  // Channel 6 is no voice channel: ignored with a debug line.
  host_->ClearDebugLines();
  g.Release();
  ASSERT_FALSE(host_->DebugLines().empty());
  EXPECT_NE(host_->DebugLines().back().find("voice channel 6"), std::string::npos);
}

TEST_F(ScriptSoundTest, AMissingVoiceIsToldOnStderrWhateverTheReportMode) {
  // The voice command and the line voice of a mode (PlayVoice) alike.
  ScriptGame& g = Make("voice 1 0\nwait 1\n");
  g.CommandNotice(0x33330008, 0, "zz0404");
  host_->ClearErrorLines();
  g.Release();
  g.Sound().PlayVoice("zz0405");
  EXPECT_FALSE(Playing(g.Voices(), 0));
  const std::string tail = "; nothing plays";
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{
                "voice \"zz0404\" could not be loaded (looked in cdvaw\\zz.vpk and cdvaw\\zz\\zz0404.vaw)" + tail,
                "voice \"zz0405\" could not be loaded (looked in cdvaw\\zz.vpk and cdvaw\\zz\\zz0405.vaw)" + tail}));
}

TEST_F(ScriptSoundTest, AMissingSoundEffectIsToldOnStderr) {
  dir_->Write("spt/selist.xtx", "door x bell x");
  Se("bell");
  ScriptGame& g = Make("se 0 2\nse 1 3\nwait 1\n");
  host_->ClearErrorLines();
  g.Release();
  EXPECT_FALSE(Playing(g.Se(), 2));
  EXPECT_TRUE(Playing(g.Se(), 3));
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{
                "sound effect 0 \"door\" could not be loaded (looked in vaw\\se\\door.vaw); nothing plays"}));
}

TEST_F(ScriptSoundTest, WhileSkippingAReadVoiceIsNotPlayedAndAnUnreadOneIs) {
  Voice("ab0001");
  ScriptGame& g = Make("text \"a\" key=1\nvoice 1 0\nwait 1\n");
  g.Vars().SetSystemSetting(2, 0);
  g.SetSkipping(1);
  g.CommandNotice(0x33330008, 0, "ab0001");
  systemFile_.SetMesFlag(0, 1);
  g.Release();
  g.Release();
  EXPECT_FALSE(Playing(g.Voices(), 0));
  ScriptGame& h = Make("text \"a\" key=2\nvoice 1 0\nwait 1\n");
  h.SetSkipping(1);
  h.CommandNotice(0x33330008, 0, "ab0001");
  h.Release();
  h.Release();
  EXPECT_TRUE(Playing(h.Voices(), 0));
  // A voice still sounding stops when skipping reaches the next one.
  h.Script(0)->SetPC(0);
  systemFile_.SetMesFlag(0, 2);
  h.Release();
  h.Release();
  EXPECT_FALSE(Playing(h.Voices(), 0));
}

TEST_F(ScriptSoundTest, SoundEffectsPlayFromTheListAndNumbersPastItStayQuiet) {
  dir_->Write("spt/selist.xtx", "door x bell x");
  Se("bell");
  ScriptGame& g = Make("sefade 3\nse 1 2 -101\nse 7 3\nse 1 9\nse -1 2\nexitscript\n");
  g.Vars().SetSystemSetting(101, 50);
  g.Release();
  EXPECT_EQ(host_->Boxes().size(), 0u);
  // Stopped at once by the last command (the fade was used by the first).
  EXPECT_FALSE(Playing(g.Se(), 2));
  EXPECT_EQ(g.Se()->GetLoopFlag(2), 0);
  EXPECT_FALSE(Playing(g.Se(), 3));
  ScriptGame& h = Make("se 1 2 -101 1\nsevolume 2 -10\nse 1 4 10\nwait 1\n");
  h.Vars().SetSystemSetting(101, 50);
  h.Release();
  ASSERT_TRUE(Playing(h.Se(), 2));
  EXPECT_EQ(Level(h.Se(), 2), 40);
  EXPECT_EQ(Level(h.Se(), 4), 60);
  EXPECT_EQ(h.Se()->GetLoopFlag(2), 1);
}

TEST_F(ScriptSoundTest, ARestoredGameStartsItsLoopedSoundsAgain) {
  dir_->Write("spt/selist.xtx", "door x bell x");
  Se("bell");
  ScriptGame& g = Make("se 1 2 0 1\nse 1 3 0 0\nwait 1\n");
  g.Release();
  ASSERT_TRUE(Playing(g.Se(), 2));
  // A load brings the records back with silent buffers.
  g.Se()->GetBuffer(2)->Stop(0);
  g.Se()->GetBuffer(3)->Stop(0);
  g.Modes().RestartFromLoad();
  // The looped sound's record still asks for it; the one-shot is over.
  EXPECT_TRUE(Playing(g.Se(), 2));
  EXPECT_FALSE(Playing(g.Se(), 3));
}

// Entering the text or choice screen starts what the records ask for; a
// looped sound still sounding goes on where it is, unless the record now
// names another sound (a load over a playing game).
TEST_F(ScriptSoundTest, PendingSoundsLeaveALoopThatStillSoundsAlone) {
  dir_->Write("spt/selist.xtx", "door x bell x");
  Se("door");
  Se("bell");
  Voice("ab0001");
  ScriptGame& g = Make("se 1 2 0 1\nse 0 3 0 1\nvoice 1 2 0 1\nwait 1\n");
  g.CommandNotice(0x33330008, 0, "ab0001");
  g.Release();
  ASSERT_TRUE(Playing(g.Se(), 2) && Playing(g.Se(), 3) && Playing(g.Voices(), 2));
  auto position = [](CSoundChannelPlayer* p, int ch) { return p->GetBuffer(ch)->GetBuffer()->GetPosition(); };
  for (CSoundChannelPlayer* p : {static_cast<CSoundChannelPlayer*>(g.Se()), static_cast<CSoundChannelPlayer*>(g.Voices())})
    for (int ch : {2, 3})
      if (p->GetBuffer(ch) && p->GetBuffer(ch)->GetBuffer()) p->GetBuffer(ch)->GetBuffer()->SetPosition(400);
  g.Se()->SetParam(3, SoundChannelRecord::kNumber, 1);  // the record now asks for the bell
  g.Sound().PlayPendingSounds();
  EXPECT_EQ(position(g.Se(), 2), 400u);      // the same bell goes on
  EXPECT_EQ(position(g.Voices(), 2), 400u);  // the same voice goes on
  EXPECT_EQ(position(g.Se(), 3), 0u);        // the door gave way to the bell
  EXPECT_TRUE(Playing(g.Se(), 3));
}

TEST_F(ScriptSoundTest, MusicPlaysStopsAndChangesVolume) {
  ScriptGame& g = Make("bgm 3 2 -10 4 5\nbgm -1 7\nbgm -1\nbgm 0\nbgmvolume -20 6\nexitscript\n");
  g.Release();
  EXPECT_EQ(g.log, (Log{"PlayBgmNumber 2 2 -10 4 5", "StopBgm 7", "StopBgm -1"}));
  // -2 sets the volume from the option, held to 1..100.
  musictest::WriteMusic(*dir_, "m0", musictest::Tone({0.5}, 2.0, 440.0));
  dir_->Write("spt/bgmlist.xtx", "m0 One");
  ScriptGame& v = Make("bgm 1\nbgm -2 -30\nwait 1\nbgm -2 -90\nwait 1\n");
  v.Vars().SetSystemSetting(100, 80);
  auto volume = [&] {
    CBgmPlayer* p = v.Sound().GetBgmPlayer();
    return p->GetStream(p->GetCurrentIndex())->GetBuffer()->GetVolume() / 100 + 100;
  };
  v.Release();
  EXPECT_EQ(volume(), 50);
  v.Release();
  EXPECT_EQ(volume(), 1);
  // A replay only remembers the track.
  ScriptGame& h = Make("bgm 3\nwait 1\n");
  h.Scripts().StartFastForward(0);
  h.Scripts().CallControlScript(-1);
  EXPECT_EQ(h.log, (Log{"10 SetWaitTime 1"}));
  EXPECT_EQ(h.Sound().GetBgmNumber(), 2);
}

}  // namespace
}  // namespace script_test
