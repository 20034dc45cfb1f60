// The scripts' checks of zor-check on small game folders: each mistake a
// script can make with the exact line it prints, and a game without any.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "dwqwriter.h"
#include "support/temp_dir.h"
#include "support/text.h"
#include "tools/asm/assembler.h"
#include "tools/check/scriptcheck.h"
#include "tools/pack/packwriter.h"

namespace {

using testsupport::Sjis;

class ScriptCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::InstallHeadless().SetBoxEcho(false);
    // What every script below may name.
    game_.Write("spt/project.xtx", "sys\r\nscene\r\n");
    game_.Write("spt/bgmlist.xtx", Sjis("music,海辺の歌\r\n"));
    game_.Write("spt/selist.xtx", "door,Door\r\n");
    game_.Write("dwq/bg/bg01.dwq", "x");
    game_.Write("cdvaw/yu/yu0001.vaw", "x");
    game_.Write("vaw/se/door.vaw", "x");
    game_.Write("wgq/music.wgq", "x");
    game_.Write("init/PrintMessage.xtx", "");
    Script("sys", "  callscript \"scene\"\n  endgame\n");
    // A script in the game that the project list leaves out.
    Script("extra", "  exitscript\n");
  }

  // Assembles a UTF-8 text into the game as spt/NAME.spt and keeps the text
  // as the source spt/NAME.spt.txt.
  void Script(const std::string& name, const std::string& text) {
    const zasm::Assembly assembly = zasm::Assemble(text);
    ASSERT_TRUE(assembly.ok()) << assembly.ErrorText();
    game_.Write("spt/" + name + ".spt", assembly.FileBytes());
    source_.Write("spt/" + name + ".spt.txt", text);
  }

  std::vector<std::string> Check(bool withSource = true) {
    gamecheck::Findings findings;
    gamecheck::CheckScripts({game_.path(), withSource ? source_.path() : ""}, findings);
    std::vector<std::string> out;
    // Findings name files by their place on disk; the cases name them
    // relative to their folder.
    for (gamecheck::Finding f : findings) {
      for (const std::string& folder : {game_.path() + "/", source_.path() + "/"})
        if (f.file.starts_with(folder)) f.file.erase(0, folder.size());
      out.push_back(gamecheck::FormatFinding(f));
    }
    return out;
  }

  testsupport::TempDir source_;
  testsupport::TempDir game_;  // made last: the game folder points at it
};

TEST_F(ScriptCheckTest, AGameThatNamesOnlyWhatItHasIsClean) {
  Script("scene",
         ".labelbase -1\n"
         "  bgm 1 0\n"
         "  loaddwq 0 \"BG01\"\n"  // letter case does not count in file names
         "  se 0 0\n"
         "  voice \"yu0001\" 1 0\n"
         "  se -1 0\n"
         "  bgm -1\n"
         "  effect 1 59 20 3 2\n"
         "  effect 1 -1\n"
         "  wipe 0 20\n"
         "  text \"ユイ\\r\\n「はじめまして」\"\n"
         "  fulltext \"一行目\\r\\n二行目\"\n"
         "  choice \"xどこへ？\" \"丘\" / \"川\"\n"
         "hill:\n"
         "  exitscript\n"
         "river:\n"
         "  exitscript\n");
  EXPECT_EQ(Check(), std::vector<std::string>{});
}

TEST_F(ScriptCheckTest, EachMistakeIsNamedWithItsSourceLine) {
  struct Case {
    const char* name;
    std::string script;  // line 2 holds the mistake
    std::string finding;
  };
  const std::string at = "spt/scene.spt.txt:2: error: ";
  const Case cases[] = {
      {"a missing picture", "  nop\n  loaddwq 0 \"bg03\"\n",
       at + "picture \"bg03\" is not in the game (looked for dwq/bg/bg03.dwq); the game shows an error box and "
            "the channel shows nothing"},
      {"a picture name without a folder", "  nop\n  preloaddwq 1 \"b\"\n",
       at + "picture \"b\" cannot be found: a picture's name starts with the two letters of its folder "
            "(dwq/XY/NAME.dwq)"},
      {"a missing voice", "  nop\n  voice \"yu0009\" 1 0\n",
       at + "voice \"yu0009\" is not in the game (looked in cdvaw/yu.vpk and for cdvaw/yu/yu0009.vaw); nothing "
            "plays"},
      {"a sound effect past the list", "  nop\n  se 1 0\n",
       at + "sound effect 1 is not in spt/selist (it lists 1 sound, numbered from 0); nothing plays"},
      {"music past the list", "  nop\n  bgm 2 0\n",
       at + "bgm 2 is not in spt/bgmlist (it lists 1 track, bgm 1); no music plays"},
      {"a missing script", "  nop\n  jumpscript \"ending\"\n",
       at + "script \"ending\" is not in the game (looked for spt/ending.spt); the game shows an error box and "
            "the script stops"},
      {"a script the project list does not name", "  nop\n  callscript \"extra\"\n",
       at + "script \"extra\" is not named in spt/project (letter case counts there); the game then counts it as "
            "the project's first script, so its saves and read-text marks go to the wrong script"},
      {"an effect number that does not exist", "  nop\n  effect 2 3 10\n",
       at + "effect 3 does not exist; channel 2 starts nothing"},
      {"a wipe number that does not exist", "  nop\n  wipe 250 20\n",
       at + "wipe 250 does not exist; the transition shows no wipe"},
      {"the simple wipe's wipe number", "  nop\n  effect 1 59 20 250\n",
       at + "wipe 250 of effect 59 does not exist; channel 1 draws nothing"},
      {"an answer without a label", ".labelbase -1\n  choice \"丘\" \"川\"\nhill:\n  exitscript\n",
       at + "answer 2 of this choice has no label, so the run goes on after the choice (answer k goes on at "
            "label k + -1, the label base, of the script's 1 label counted from 0; write `.labelbase -1` and "
            "the answers' labels first)"},
      {"a timed choice's timeout answer", ".labelbase -1\n  choice \"丘\" time=3000\nhill:\n  exitscript\n",
       at + "answer 2 (the answer when the time runs out) of this choice has no label, so the run goes on "
            "after the choice (answer k goes on at label k + -1, the label base, of the script's 1 label "
            "counted from 0; write `.labelbase -1` and the answers' labels first)"},
      {"a page longer than the window", "  nop\n  text \"ユイ\\r\\n1\\r\\n2\\r\\n3\\r\\n4\\r\\n5\"\n",
       at + "this page does not fit the message window of init/PrintMessage: 6 lines where the message window "
            "holds 4 (the last 2 are not shown)"},
      {"a line wider than the screen", "  nop\n  text \"ユイ\\r\\n" + std::string(29, 'x') + "\"\n",
       at + "this page does not fit the message window of init/PrintMessage: line 2 reaches x 825, past the "
            "screen's right edge at 800"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Script("scene", c.script);
    EXPECT_EQ(Check(), std::vector<std::string>{c.finding});
  }
}

// A line inside the screen but past the message window picture's own
// right edge (its place and width, at most its size) is a warning.
TEST_F(ScriptCheckTest, ALinePastTheWindowPicture) {
  dwqtool::Picture picture{485, 20, std::vector<uint32_t>(485 * 20, 0x123456), {}};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeDwq(picture, dwqtool::Options{}, &bytes, &error)) << error;
  game_.Write("dwq/sys/ta_meswin.dwq", std::string(bytes.begin(), bytes.end()));
  game_.Write("init/messageWindow.xtx", "printX,40\r\nsizeX,600\r\n");
  Script("scene", "  nop\n  text \"ユイ\\r\\n" + std::string(16, 'x') + "\\r\\n" + std::string(18, 'x') + "\"\n");
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "spt/scene.spt.txt:2: warning: line 3 of this page reaches x 550, past the message window "
                         "picture \"ta_meswin\", which ends at x 525 (485 wide from x 40 of init/messageWindow); "
                         "the text runs over the window's frame"}));
  // A line that ends at the picture's edge is inside.
  Script("scene", "  nop\n  text \"ユイ\\r\\n" + std::string(17, 'x') + "\"\n");
  EXPECT_EQ(Check(), std::vector<std::string>{});
}

// With autoNameWindowFlag a first line the name colour list does not hold
// is narration: a short one over more lines that begins several pages is
// named as a speaker the list forgot.
TEST_F(ScriptCheckTest, ASpeakerMissingFromTheNameColours) {
  game_.Write("init/PrintMessage.xtx", "autoNameWindowFlag,1\r\nnameLengthMax,6\r\n");
  game_.Write("spt/namecol.xtx", "Alice,255,160,160\r\n");
  Script("scene",
         "  text \"Alice\\r\\nHello.\" key=1\n"
         "  text \"Carol\\r\\nHi.\" key=2\n"
         "  text \"Carol\\r\\nBye.\" key=3\n"
         "  text \"Dave\\r\\nOnce.\" key=4\n"           // one page: no pattern yet
         "  text \"The wind rose.\\r\\nIt rained.\" key=5\n"  // longer than a name
         "  text \"The wind rose.\\r\\nIt rained.\" key=6\n"
         "  text \"Carol\" key=7\n");                       // one line: narration
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "spt/scene.spt.txt:2: warning: \"Carol\" begins 2 pages like a speaker's name, but "
                         "spt/namecol.xtx does not list it, so the game draws it as a white first line of "
                         "narration; add \"Carol,R,G,B\" to spt/namecol.xtx if it is a speaker"}));
  game_.Write("spt/namecol.xtx", "Alice,255,160,160\r\nCarol,160,160,255\r\n");
  EXPECT_EQ(Check(), std::vector<std::string>{});
}

// A condition reading a variable nothing sets always sees 0. Scripts set
// variables by expressions and may by calls; screens set the variables
// their settings name; the system file keeps 200-299.
TEST_F(ScriptCheckTest, AVariableAConditionReadsThatNothingSets) {
  std::string names;
  for (int i = 0; i < 10; ++i) {
    names += 'v';
    names += std::to_string(i);
    names += "\r\n";
  }
  for (char& b : names) b = static_cast<char>(~static_cast<unsigned char>(b));
  game_.Write("spt/var.fxf", names);
  game_.Write("init/SelectPlace.xtx", "selectedPlaceVarName,v7\r\n");
  Script("scene",
         "var seen 5\nvar pick 6\nvar place 7\nvar kept 210\nvar done 8\nvar flag 9\n"
         "  done = 1\n  flag += 2\n  syscall 3(pick)\n"
         "  if seen == 1 && done == 1 {\n    exitscript\n  }\n"
         "  if pick == 1 || place == 2 || kept == 3 || flag == 4 {\n    exitscript\n  }\n"
         "  if seen == 2 {\n    exitscript\n  }\n");
  const std::string unset = " is read in a condition, but no script sets it and no screen's settings name it; "
                            "the condition always sees 0";
  EXPECT_EQ(Check(), std::vector<std::string>{"spt/scene.spt.txt:10: warning: variable 5 (\"v5\")" + unset});
  // Without the screen's key, the place is read and never set.
  game_.Write("init/SelectPlace.xtx", "");
  EXPECT_EQ(Check(), (std::vector<std::string>{"spt/scene.spt.txt:10: warning: variable 5 (\"v5\")" + unset,
                                               "spt/scene.spt.txt:13: warning: variable 7 (\"v7\")" + unset}));
}

// The game's file holds label numbers alone; the source says which answer
// line names no label, and where its number takes it.
TEST_F(ScriptCheckTest, AnAnswerLineWithoutItsLabelIsNamedFromTheSource) {
  Script("scene",
         "  choice \"Q\"\n    answer \"A\" -> hill\n    answer \"B\"\n  exitscript\nhill:\n  exitscript\n"
         "river:\n  exitscript\n");
  EXPECT_EQ(Check(), std::vector<std::string>{
                         "spt/scene.spt.txt:3: warning: answer 2 of this choice has no \"-> label\", so it goes on "
                         "at label river (label number 2 + the label base -1, whatever label stands there); write "
                         "\"-> river\" on its line if that is meant"});
  EXPECT_EQ(Check(false), std::vector<std::string>{});
}

TEST_F(ScriptCheckTest, ListedNamesWhoseFilesAreMissing) {
  game_.Write("spt/bgmlist.xtx", "music,Sea\r\nstorm,Storm\r\n");
  game_.Write("spt/selist.xtx", "door,Door\r\nbell,Bell\r\n");
  game_.Write("spt/project.xtx", "sys\r\nscene\r\nlost\r\n");
  Script("scene", "  bgm 2 0\n  se 1 0\n");
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "spt/project.xtx: error: script \"lost\" is named by spt/project but is not in the game "
                         "(looked for spt/lost.spt)",
                         "spt/scene.spt.txt:1: error: bgm 2 plays \"storm\", which is not in the game (looked for "
                         "wgq/storm.wgq and wgq/storm.mml); no music plays",
                         "spt/scene.spt.txt:2: error: sound effect 1 plays \"bell\", which is not in the game "
                         "(looked for vaw/se/bell.vaw); nothing plays"}));
}

TEST_F(ScriptCheckTest, PicturesAndVoicesInPacksAreFound) {
  // A picture in volume 0 of the "bg" prefix, read with dwqPackLevel 1.
  std::vector<uint8_t> index, data;
  std::string error;
  ASSERT_TRUE(packtool::MakeVolume({{"bg\\bg02", {'x'}}}, &index, &data, &error)) << error;
  ASSERT_TRUE(packtool::WriteBytes(game_ / "dwq/bg0.gtb", index));
  ASSERT_TRUE(packtool::WriteBytes(game_ / "dwq/bg0.gpk", data));
  // A voice pack: 12-byte records of an 8-byte name and an offset, the last
  // record ending the one before.
  std::string vtb(24, '\0');
  vtb.replace(0, 6, "yu0002");
  vtb[20] = 1;
  game_.Write("cdvaw/yu.vtb", vtb);
  game_.Write("cdvaw/yu.vpk", "x");
  Script("scene", "  loaddwq 0 \"bg02\"\n  voice \"yu0002\" 1 0\n  loaddwq 0 \"bg04\"\n");
  const std::string missing =
      "spt/scene.spt.txt:3: error: picture \"bg04\" is not in the game (looked for dwq/bg/bg04.dwq%s); the game "
      "shows an error box and the channel shows nothing";
  auto with = [&](const char* packs) {
    char text[512];
    std::snprintf(text, sizeof text, missing.c_str(), packs);
    return std::string(text);
  };
  // Without the pack level the volume is not read, which the finding says.
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "spt/scene.spt.txt:1: error: picture \"bg02\" is not in the game (looked for "
                         "dwq/bg/bg02.dwq); the pack bg0 lists it, but dwqPackLevel is 0 (dwqPackLevel,1 in the "
                         "list game reads it); the game shows an error box and the channel shows nothing",
                         with("")}));
  game_.Write("init/game.xtx", "dwqPackLevel,1\r\n");
  EXPECT_EQ(Check(), std::vector<std::string>{with(" and in its pack volumes")});
}

TEST_F(ScriptCheckTest, WithoutItsSourceAFindingNamesTheGameFile) {
  Script("scene", "  nop\n  loaddwq 0 \"bg03\"\n");
  const std::string picture =
      "picture \"bg03\" is not in the game (looked for dwq/bg/bg03.dwq); the game shows an error box and the "
      "channel shows nothing";
  EXPECT_EQ(Check(false), std::vector<std::string>{"spt/scene.spt: error: " + picture});
  // A source that is not what the game holds names no line either.
  source_.Write("spt/scene.spt.txt", "  loaddwq 0 \"bg03\"\n");
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "spt/scene.spt.txt: warning: does not assemble to spt/scene.spt (the game holds another "
                         "build of it); the findings below name spt/scene.spt",
                         "spt/scene.spt: error: " + picture}));
}

TEST_F(ScriptCheckTest, AFileThatIsNoScriptIsNamed) {
  Script("scene", "  exitscript\n");
  game_.Write("spt/broken.spt", "abc");
  EXPECT_EQ(Check(), std::vector<std::string>{"spt/broken.spt: error: not a compiled script: the file is not a "
                                              "whole number of 4-byte words; the game refuses to run it"});
}

}  // namespace
