// Running the scripts: the frame's run of the released script up to its
// next blocking command, the fast-forward replay, sub-script levels, the
// end of the game, scene replay and the back-script runner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/script_fixture.h"
#include "support/text.h"

namespace script_test {
namespace {

using testsupport::Sjis;

int DebugLinesWith(const platform::HeadlessBackend& host, const std::string& part) {
  int n = 0;
  for (const std::string& line : host.DebugLines()) n += line.find(part) != std::string::npos;
  return n;
}

TEST_F(ScriptTest, AReleasedScriptRunsToItsNextBlockingCommandOnly) {
  ScriptGame& g = Make("setvar 300 1\nwait 2\nsetvar 300 2\nsyscall 5\nsetvar 300 3\n");
  g.Scripts().CallControlScript(-1);  // not released: nothing runs
  EXPECT_EQ(g.GetVar(300), 0);
  g.Release();
  EXPECT_EQ(g.GetVar(300), 1);
  EXPECT_EQ(g.Released(), 0);
  g.Release();
  EXPECT_EQ(g.GetVar(300), 2);
  g.Release();
  EXPECT_EQ(g.GetVar(300), 3);
}

TEST_F(ScriptTest, AStoryThatRunsOffItsEndIsShownInABoxAndEndsOnTheTitle) {
  struct Case {
    const char* name;
    std::string control;
    std::string sub;  // spt/sub1.spt, when given
    const char* stopped;
  };
  const Case cases[] = {
      {"the control script", "setvar 300 1\n", "", "spt\\sys.spt"},
      {"a called script", "callscript \"sub1\"\nwait 1\n", "setvar 300 1\n", "spt\\sub1.spt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.sub.empty()) Script("sub1", c.sub);
    ScriptGame& g = Make(c.control);
    host_->ClearErrorLines();
    g.Release();
    const int end = g.Scripts().CurrentScript()->GetPC();
    const std::string where = std::string(c.stopped) + ": the script ran off its end at word " + std::to_string(end);
    EXPECT_EQ(g.GetVar(300), 1);
    ASSERT_EQ(BoxCaptions(), (std::vector<std::string>{"ERROR"}));
    EXPECT_EQ(host_->Boxes()[0].text,
              where + "\nNo exitscript, endgame or jumpscript comes before it; the game goes back to the title.");
    EXPECT_EQ(host_->ErrorLines(),
              std::vector<std::string>{where + " (no exitscript, endgame or jumpscript before it); it stops here"});
    EXPECT_EQ(g.Modes().GetNextMode(), 4);
    EXPECT_EQ(g.log, (Log{"SaveSystemFile"}));
    // It stays stopped: no second box while the title comes.
    g.Release();
    EXPECT_EQ(host_->Boxes().size(), 1u);
    EXPECT_EQ(DebugLinesWith(*host_, "no more code"), 1);
  }
}

TEST_F(ScriptTest, AScriptThatNeverWaitsIsNamedOnStderrOnceAStretch) {
  // Busy while $301 is 0; with it 1 the loop waits a frame each round.
  const std::string source = "loop:\n$300 += 1\nif $301 == 1 {\nwait 1\n}\ngoto loop\n";
  ScriptGame& g = Make(source);
  g.Scripts().SetScriptRecordLimit(8);
  host_->ClearErrorLines();
  const auto frame = [&] { g.Scripts().CallControlScript(-1); };
  const auto lineNow = [&] {
    return "spt\\sys.spt: the script has run " + std::to_string(CScriptPart::kBusyFramesReported) +
           " frames in a row without waiting (level 0, now at word " + std::to_string(g.Script(0)->GetPC()) +
           "); nothing on the screen changes until it reaches a text, wait or choice";
  };
  // The release runs the first busy frame.
  g.Release();
  for (int i = 2; i < CScriptPart::kBusyFramesReported; ++i) frame();
  EXPECT_TRUE(host_->ErrorLines().empty());
  frame();
  const std::string first = lineNow();
  EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{first});
  // The game keeps running the script, and the stretch is not told again.
  const int count = g.GetVar(300);
  for (int i = 0; i < 2 * CScriptPart::kBusyFramesReported; ++i) frame();
  EXPECT_GT(g.GetVar(300), count);
  EXPECT_EQ(host_->ErrorLines().size(), 1u);
  // A wait ends the stretch; a frame without anything to run counts as
  // quiet too. A new stretch is told again.
  g.SetVar(301, 1);
  frame();
  frame();
  g.SetVar(301, 0);
  g.Release();
  for (int i = 2; i < CScriptPart::kBusyFramesReported; ++i) frame();
  EXPECT_EQ(host_->ErrorLines().size(), 1u);
  frame();
  EXPECT_EQ(host_->ErrorLines(), (std::vector<std::string>{first, lineNow()}));
}

TEST_F(ScriptTest, AScriptThatNeverBlocksHandsTheFrameBackAndGoesOnNextFrame) {
  ScriptGame& g = Make("loop:\n$300 += 1\ngoto loop\n");
  g.Release();
  EXPECT_EQ(g.Released(), 1);
  const int first = g.GetVar(300);
  EXPECT_GT(first, 0);
  g.Scripts().CallControlScript(-1);
  EXPECT_GT(g.GetVar(300), first);
}

TEST_F(ScriptTest, SubScriptsGoDownThreeLevelsAndComeBack) {
  Script("sub1", "setvar 301 1\ncallscript \"sub2\"\nsetvar 304 1\nexitscript\n");
  Script("sub2", "callscript \"sub3\"\nexitscript\n");
  Script("sub3", "callscript \"sub4\"\nsetvar 303 1\nexitscript\n");
  Script("sub4", "setvar 302 1\nexitscript\n");
  ScriptGame& g = Make("callscript \"sub1\"\nsetvar 305 1\nwait 1\n");
  g.Release();
  // The fourth level replaced the third (with the box); the returns came
  // back to the control script.
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{Sjis("これ以上、下のスクリプトはよべません")}));
  EXPECT_EQ(host_->Boxes()[0].text, "spt\\sub4.spt");
  EXPECT_EQ(g.GetVar(301), 1);
  EXPECT_EQ(g.GetVar(302), 1);
  EXPECT_EQ(g.GetVar(303), 0);
  EXPECT_EQ(g.GetVar(304), 1);
  EXPECT_EQ(g.GetVar(305), 1);
  EXPECT_EQ(g.Level(), 0);
  EXPECT_EQ(g.ScriptNumber(3), 4);
}

TEST_F(ScriptTest, JumpScriptReplacesTheLevelsScriptAndStopHereRewindsTheControlScript) {
  Script("sub1", "jumpscript \"sub2\"\nsetvar 300 9\n");
  Script("sub2", "setvar 301 1\nstop 0x55560005\n");
  ScriptGame& g = Make("$302 += 1\nif $302 == 1 {\ncallscript \"sub1\"\n}\nwait 1\n");
  g.Release();
  EXPECT_EQ(g.GetVar(300), 0);
  EXPECT_EQ(g.GetVar(301), 1);
  // Back at level 0 from its start: the counter ran twice.
  EXPECT_EQ(g.GetVar(302), 2);
  EXPECT_EQ(g.Level(), 0);
}

TEST_F(ScriptTest, TheFastForwardTableActsOnEachResult) {
  ScriptGame& g = Make("syscall 1\ntext \"a\" key=1\nsetvar 300 1\nwait 3\nsetvar 300 2\n");
  g.Scripts().StartFastForward(1);
  g.SetFastForward(2, 0);
  g.Scripts().CallControlScript(-1);
  // Past the system call (the restore hook) and the text; the end of the
  // code ends the replay instead of repeating it for ever, and the story
  // with it (the box, the title).
  EXPECT_EQ(g.log, (Log{"OnRestoreStateHook", "10 SetWaitTime 3", "SaveSystemFile"}));
  EXPECT_EQ(g.GetVar(300), 2);
  EXPECT_EQ(g.Scripts().IsFastForwarding(), 0);
  EXPECT_EQ(g.Scripts().IsSkippingToPosition(), 0);
  EXPECT_EQ(DebugLinesWith(*host_, "no more code"), 1);
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{"ERROR"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 4);

  // A return from the control script itself ends the replay too.
  ScriptGame& r = Make("text \"a\" key=1\nexitscript\n");
  r.Scripts().StartFastForward(1);
  r.Scripts().CallControlScript(-1);
  EXPECT_EQ(r.Scripts().IsFastForwarding(), 0);

  // Without the skip to a position, the first blocking command ends it.
  ScriptGame& h = Make("setvar 300 1\nwait 3\nsetvar 300 2\n");
  h.Scripts().StartFastForward(0);
  h.Scripts().CallControlScript(-1);
  EXPECT_EQ(h.GetVar(300), 1);
  EXPECT_EQ(h.Scripts().IsFastForwarding(), 0);
}

TEST_F(ScriptTest, TheEndOfTheGameSavesAndRequestsTheTitle) {
  ScriptGame& g = Make("setvar 200 5\nendgame\nsetvar 300 1\n");
  g.SetSkipping(1);
  g.Release();
  EXPECT_EQ(g.log, (Log{"SaveSystemFile"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 4);
  EXPECT_EQ(g.GetVar(300), 0);
  EXPECT_EQ(g.Released(), 0);
}

TEST_F(ScriptTest, ASceneReplayGoesThroughItsItemsAndThenBackToTheGallery) {
  ScriptGame& g = Make("stop 0x5556000C\nsetvar 300 1\nstop 0x5556000C\nwait 1\n");
  g.Scripts().SetSceneReplay(1);
  // Without scene items the first end of an item ends the replay.
  g.Release();
  EXPECT_EQ(g.log, (Log{"10 ResetGame"}));
  EXPECT_EQ(g.Modes().GetNextMode(), 18);
  EXPECT_EQ(g.Scripts().GetSceneReplay(), 0);
  EXPECT_EQ(g.GetVar(300), 0);
  // Outside a replay the code goes on.
  g.Modes().SetNextMode(-1);
  g.log.clear();
  g.Release();
  EXPECT_EQ(g.GetVar(300), 1);
}

TEST_F(ScriptTest, ASceneThatCannotStartShowsItsBox) {
  ScriptGame& g = Make("wait 1\n");
  // No "spt\\scene.dat": scene 0 names project entry 0, whose script has
  // no label 0.
  EXPECT_EQ(g.Modes().StartSceneScript(), 0);
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{"ERROR"}));
  EXPECT_EQ(host_->Boxes()[0].text,
            Sjis("シーン番号が変か、もしくは、コンパイルしたplotwickが古いみたいですにゃ"));
  EXPECT_EQ(g.Level(), 0);
  EXPECT_EQ(g.Scripts().GetSceneReplay(), 0);
}

TEST_F(ScriptTest, WithoutASceneListNoSceneStarts) {
  ScriptGame& g = Make("wait 1\n", {{"noSceneListFlag", "1"}});
  EXPECT_EQ(g.Modes().StartSceneScript(), 0);  // no scene list: nothing starts
  EXPECT_TRUE(host_->Boxes().empty());
}

// --- The back-script runner ---

TEST_F(ScriptTest, TheBackScriptCountsDownItsWaitsAndLoops) {
  Script("sub1", "$300 += 1\nwait 3\n$301 += 1\nexitscript\n");
  ScriptGame& g = Make("wait 1\n");
  ASSERT_EQ(g.Scripts().LoadBackScript("sub1"), 1);
  CBackScriptRunner* runner = g.Scripts().GetBackScriptRunner();
  // Loaded, run once (to the wait) and advanced once.
  EXPECT_EQ(g.GetVar(300), 1);
  EXPECT_EQ(runner->GetCountDown(), 2);
  EXPECT_TRUE(g.log.empty());  // its waits are its own
  EXPECT_EQ(g.Scripts().CalcuBackScript(0), 0);
  EXPECT_EQ(runner->GetCountDown(), 1);
  g.Scripts().CalcuBackScript(0);
  EXPECT_EQ(runner->GetCountDown(), 0);
  // The count-down is out: the script goes on to its end.
  EXPECT_EQ(g.Scripts().CalcuBackScript(0), 1);
  EXPECT_EQ(g.GetVar(301), 1);
  // With loop it starts again from its beginning.
  EXPECT_EQ(g.Scripts().CalcuBackScript(1), 0);
  EXPECT_EQ(g.GetVar(300), 2);
}

TEST_F(ScriptTest, ResetBackScriptStartsTheLoadedScriptAgainFromItsBeginning) {
  Script("sub1", "$300 += 1\nwait 30\n$301 += 1\n");
  ScriptGame& g = Make("wait 1\n");
  g.Scripts().ResetBackScript();  // nothing loaded: nothing happens
  ASSERT_EQ(g.Scripts().LoadBackScript("sub1"), 1);
  EXPECT_EQ(g.GetVar(300), 1);
  g.Scripts().CalcuBackScript(0);
  // Mid-wait the screen asks for a restart: the next frame runs the script
  // from its first line, without waiting out the count-down.
  g.Scripts().ResetBackScript();
  g.Scripts().CalcuBackScript(0);
  EXPECT_EQ(g.GetVar(300), 2);
  EXPECT_EQ(g.GetVar(301), 0);
  EXPECT_EQ(g.Scripts().GetBackScriptRunner()->GetCountDown(), 29);
}

TEST_F(ScriptTest, TheBackScriptRunsItsTransitionsOverTheirLength) {
  Script("sub1", "wipe 7 3\nsetvar 300 1\nwait 0\nwipe 2 1\n");
  ScriptGame& g = Make("wait 1\n");
  ASSERT_EQ(g.Scripts().LoadBackScript("sub1"), 1);
  CBackScriptRunner* runner = g.Scripts().GetBackScriptRunner();
  EXPECT_EQ(runner->GetMode(), CBackScriptRunner::kTransition);
  EXPECT_EQ(runner->GetKind(), 7);
  EXPECT_EQ(runner->GetStep(), 1);
  EXPECT_EQ(g.Screen().GetWipeType(), 7);
  EXPECT_EQ(g.Screen().GetWipeLength(), 3);
  EXPECT_TRUE(g.log.empty());
  g.Scripts().CalcuBackScript(0);
  g.Scripts().CalcuBackScript(0);
  EXPECT_EQ(runner->GetStep(), 3);  // never past the length
  EXPECT_EQ(g.GetVar(300), 0);
  g.Scripts().CalcuBackScript(0);
  EXPECT_EQ(g.GetVar(300), 1);
  EXPECT_EQ(runner->GetKind(), 2);
}

TEST_F(ScriptTest, AMissingBackScriptShowsItsBox) {
  ScriptGame& g = Make("wait 1\n");
  EXPECT_EQ(g.Scripts().LoadBackScript("nosuch"), 0);
  EXPECT_EQ(BoxCaptions(), (std::vector<std::string>{"LOAD BACK SCRIPT ERROR"}));
  EXPECT_EQ(host_->Boxes()[0].text, "nosuch");
  EXPECT_EQ(g.Scripts().CalcuBackScript(0), 0);
}

}  // namespace
}  // namespace script_test
