// CScript: loading, control flow, yields, the records handed to the game,
// the restore operations and what a broken file does.
#include <string>
#include <vector>

#include "platform/files.h"
#include "script_fixture.h"
#include "support/text.h"

namespace script_test {
namespace {

using namespace script;
using testsupport::Sjis;

const std::string kNoMoreScript = Sjis("これ以上のスクリプトはありません");

// ---------------------------------------------------------------------------
// Loading

TEST_F(ScriptTest, FileWordsAreStoredXoredWithTheKey) {
  const zasm::Assembly a = Write("var r 100\nr = 5\nendgame\n");
  const std::string bytes = a.FileBytes();
  ASSERT_EQ(bytes.size(), a.words.size() * 4);
  // Word 0 (the header length, 32) as it lies in the file.
  const uint32_t first = 32u ^ kFileKey;
  EXPECT_EQ(bytes.substr(0, 4), std::string({static_cast<char>(first & 0xFF),
                                             static_cast<char>((first >> 8) & 0xFF),
                                             static_cast<char>((first >> 16) & 0xFF),
                                             static_cast<char>(first >> 24)}));
  EXPECT_EQ(zasm::DecodeFile(bytes), a.words);

  CScript script(&game_);
  ASSERT_EQ(script.Load("spt\\test.spt"), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 5);

  // The same words without the XOR: the header makes no sense.
  std::string plain;
  for (uint32_t w : a.words) {
    for (int k = 0; k < 4; ++k) plain.push_back(static_cast<char>((w >> (8 * k)) & 0xFF));
  }
  dir_.Write("spt/plain.spt", plain);
  EXPECT_EQ(script.Load("spt\\plain.spt"), 0);
  EXPECT_STREQ(script.GetError(), "Script File broken:spt\\plain.spt");
}

TEST_F(ScriptTest, AFileThatFillsTheBufferIsReadAgainIntoALargerOne) {
  const zasm::Assembly a = Write("var r 100\nr = 7\nendgame\n");
  const int words = static_cast<int>(a.words.size());
  struct Case {
    int capacity;
    int expected;
  };
  const int grown = ((words * 4 + 3) / 4 + 2047) / 1024 * 1024;
  for (const Case& c : {Case{words, grown}, Case{words + 1, words + 1}, Case{1, grown},
                        Case{0, grown}}) {
    SCOPED_TRACE(c.capacity);
    CScript script(&game_, c.capacity);
    ASSERT_EQ(script.Load("spt\\test.spt"), 1);
    EXPECT_EQ(script.GetCapacity(), c.expected);
    EXPECT_EQ(script.GetWordCount(), words);
    EXPECT_EQ(script.Run(), kStopAfterB);
  }
  EXPECT_EQ(CScript(&game_).GetCapacity(), CScript::kDefaultCapacity);
}

TEST_F(ScriptTest, LoadingTheSameNameOnlyRewinds) {
  Write("var r 100\nr += 1\nendgame\n");
  CScript script(&game_);
  ASSERT_EQ(script.Load("spt\\test.spt"), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  // A different file under the same name is not read: any letter case counts.
  Write("var r 100\nr += 100\nendgame\n");
  ASSERT_EQ(script.Load("SPT\\Test.SPT"), 1);
  EXPECT_EQ(script.GetPC(), 0);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 2);
}

TEST_F(ScriptTest, NamesThatDifferInTheSecondByteOfACharacterAreDifferentScripts) {
  // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: folding the second byte as a letter
  // would take one for the other.
  Write("var r 100\nr = 1\nendgame\n", "ア");
  Write("var r 100\nr = 2\nendgame\n", "ヂ");
  CScript script(&game_);
  ASSERT_EQ(script.Load(Sjis("spt\\ア.spt").c_str()), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 1);
  ASSERT_EQ(script.Load(Sjis("spt\\ヂ.spt").c_str()), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 2);
}

TEST_F(ScriptTest, AFailedLoadLeavesTheScriptEmpty) {
  Write("var r 100\nr = 1\nendgame\n", "good");
  dir_.Write("spt/empty.spt", "");
  dir_.Write("spt/short.spt", zasm::EncodeWords({40, 0, 0}));   // header longer than the file
  dir_.Write("spt/zero.spt", zasm::EncodeWords({0, 0, 0, 0}));  // header length 0
  struct Case {
    const char* name;
    std::string error;
  };
  const Case cases[] = {
      {"spt\\missing.spt", "Script File not found:spt\\missing.spt"},
      {"spt\\empty.spt", "Script File empty:spt\\empty.spt"},
      {"spt\\short.spt", "Script File broken:spt\\short.spt"},
      {"spt\\zero.spt", "Script File broken:spt\\zero.spt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CScript script(&game_);
    ASSERT_EQ(script.Load("spt\\good.spt"), 1);
    EXPECT_EQ(script.Load(c.name), 0);
    EXPECT_EQ(script.GetError(), c.error);
    EXPECT_FALSE(script.IsLoaded());
    EXPECT_EQ(script.GetWordCount(), 0);
    EXPECT_EQ(script.Run(), kResultError);  // not the old script
    EXPECT_EQ(script.Run(0), kResultError);
    EXPECT_EQ(script.SearchCase(0, 1), -1);
    EXPECT_EQ(script.RestoreCallStack(), 0);
  }

  // The failed name is not remembered: once the file is there it is read.
  CScript script(&game_);
  EXPECT_EQ(script.Load("spt\\late.spt"), 0);
  Write("var r 100\nr = 9\nendgame\n", "late");
  ASSERT_EQ(script.Load("spt\\late.spt"), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 9);

  EXPECT_EQ(script.Load(nullptr), 0);
  EXPECT_FALSE(script.IsLoaded());
}

TEST_F(ScriptTest, ALongNameIsCutAndNeverMistakenForAnother) {
  // Three folder levels of 100 characters each: a path of over 300.
  const std::string a(100, 'a'), b(100, 'b'), c(100, 'c');
  const std::string host = "spt/" + a + "/" + b + "/" + c + ".spt";
  const std::string name = "spt\\" + a + "\\" + b + "\\" + c + ".spt";
  dir_.Write(host, zasm::Assemble("var r 100\nr = 1\nendgame\n").FileBytes());
  CScript script(&game_);
  ASSERT_EQ(script.Load(name.c_str()), 1);
  EXPECT_EQ(std::string(script.GetLoadedName()), name.substr(0, CScript::kNameLength - 1));
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 1);
  // A name longer than the field never counts as already loaded.
  dir_.Write(host, zasm::Assemble("var r 100\nr = 2\nendgame\n").FileBytes());
  ASSERT_EQ(script.Load(name.c_str()), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 2);
}

TEST_F(ScriptTest, FreeLeavesNothingToRunAndTheScriptCanLoadAgain) {
  CScript& script = Load("endgame\n");
  script.Free();
  EXPECT_EQ(script.GetCapacity(), 0);
  EXPECT_EQ(script.Run(), kResultError);
  ASSERT_EQ(script.Load("spt\\test.spt"), 1);
  EXPECT_EQ(script.Run(), kStopAfterB);
}

// ---------------------------------------------------------------------------
// Control flow

TEST_F(ScriptTest, IfElsifElseRunsAtMostOneBodyAndTestsInOrder) {
  // n counts the conditions tested; single-record and block bodies mixed.
  Load(R"(var x 100
var r 101
var n 102
  n = 0
  if (n += 1) == x { r = 1 }
  elsif (n += 1) == x r = 2
  elsif (n += 1) == x {
    r = 3
    { r += 10 }
  }
  else r = 4
  endgame
)");
  struct Case {
    int x, r, n;
  };
  for (const Case& c : {Case{1, 1, 1}, Case{2, 2, 2}, Case{3, 13, 3}, Case{0, 4, 3},
                        Case{-1, 4, 3}}) {
    SCOPED_TRACE(c.x);
    game_.vars.SetVar(100, c.x);
    game_.vars.SetVar(101, 0);
    EXPECT_EQ(script_->Run(0), kStopAfterB) << script_->GetError();
    EXPECT_EQ(game_.vars.GetVar(101), c.r);
    EXPECT_EQ(game_.vars.GetVar(102), c.n);
  }
  EXPECT_EQ(script_->GetErrorCount(), 0);
}

TEST_F(ScriptTest, OnlyPositiveConditionsAreTrue) {
  Load(R"(var x 100
var r 101
  r = 0
  if x { r += 1 }
  if x r += 10
  if x { r += 100 } else { r += 1000 }
  endgame
)");
  struct Case {
    int x, r;
  };
  for (const Case& c : {Case{1, 111}, Case{7, 111}, Case{0, 1000}, Case{-1, 1000},
                        Case{INT32_MIN, 1000}}) {
    SCOPED_TRACE(c.x);
    game_.vars.SetVar(100, c.x);
    EXPECT_EQ(script_->Run(0), kStopAfterB);
    EXPECT_EQ(game_.vars.GetVar(101), c.r);
  }
}

TEST_F(ScriptTest, ElseAndCaseMetInNormalFlowSkipTheirBodies) {
  // A chain-less if before a stray else, and a case reached by running into it.
  Load(R"(var r 100
  r = 0
  if 1 r += 1
  .record 0x66660002 0x55560004
  { r += 10 }
  case 3 { r += 100 }
  case 4 r += 1000
  r += 10000
  endgame
)");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 10001);
}

TEST_F(ScriptTest, CallsNestUpTo249Levels) {
  Load(R"(var d 100
  d = 0
  call down
  endgame
down:
  d += 1
  call down
  return
)");
  EXPECT_EQ(script_->Run(), kResultError);
  EXPECT_EQ(script_->GetError(), Sjis("サブルーチンコールが250段を超えました"));
  EXPECT_EQ(script_->GetCallDepth(), 249);
  EXPECT_EQ(game_.vars.GetVar(100), 249);
  // The outer call came from call site 0, the others from site 1.
  EXPECT_EQ(script_->GetCallSite(0), 0);
  EXPECT_EQ(script_->GetCallSite(248), 1);
  EXPECT_EQ(script_->GetReturnStack(0), Label("down") - 3);  // the endgame after the call
  EXPECT_EQ(script_->GetErrorCount(), 1);
}

TEST_F(ScriptTest, ReturnGoesBackAfterTheCallAndNeedsACall) {
  Load(R"(var r 100
  r = 1
  call sub
  r *= 10
  endgame
sub:
  r += 1
  return
)");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 20);
  EXPECT_EQ(script_->GetCallDepth(), 0);

  EXPECT_EQ(script_->Run(Label("sub")), kResultError);
  EXPECT_EQ(script_->GetError(), Sjis("return without subエラー"));
}

TEST_F(ScriptTest, GotoAndRunPositions) {
  Load(R"(var r 100
  r = 0
top:
  r += 1
  if r < 5 goto top
  endgame
)");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 5);
  // Running on from the stop, then off the end of the code.
  EXPECT_EQ(script_->Run(), kResultEnd);
  EXPECT_EQ(script_->GetError(), kNoMoreScript);
  EXPECT_EQ(script_->Run(script_->GetWordCount()), kResultEnd);
  script_->SetPC(Label("top"));
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(100), 6);
}

TEST_F(ScriptTest, RunningOffTheEndIsToldOnStderrOncePerStop) {
  Load("wait 5\n");
  host_.ClearErrorLines();
  EXPECT_EQ(script_->Run(), kTextWait);
  EXPECT_TRUE(host_.ErrorLines().empty());
  const int end = script_->GetPC();
  const std::string line = "spt\\test.spt: the script ran off its end at word " + std::to_string(end) +
                           " (no exitscript, endgame or jumpscript before it); it stops here";
  // Asked again and again, as the back-script runner does every frame: one line.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(script_->Run(), kResultEnd);
  EXPECT_EQ(host_.ErrorLines(), std::vector<std::string>{line});
  // Moved and run off again: told again.
  script_->SetPC(0);
  EXPECT_EQ(script_->Run(), kTextWait);
  EXPECT_EQ(script_->Run(), kResultEnd);
  EXPECT_EQ(host_.ErrorLines(), (std::vector<std::string>{line, line}));
}

TEST_F(ScriptTest, StopCodesYieldBeforeOrAfterTheirRecord) {
  struct Case {
    int code;
    bool staysOnRecord;
  };
  const Case cases[] = {{kStopHere5, true},    {kStopHere6, true},    {kStopAfterB, false},
                        {kStopAfterC, false},  {kStopAfterE, false},  {kStopAfter13, false},
                        {0x55560017, false}};  // an unknown code is stepped over
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Load("nop\nstop " + std::to_string(c.code) + "\nstop 0x5556000B\n");
    const int stop = 32 + 3;  // after the header and the nop
    const int result = script_->Run();
    if (c.code == 0x55560017) {
      EXPECT_EQ(result, kStopAfterB);
      continue;
    }
    EXPECT_EQ(result, c.code);
    EXPECT_EQ(script_->GetPC(), c.staysOnRecord ? stop : stop + 3);
    EXPECT_EQ(script_->Run(), c.staysOnRecord ? c.code : kStopAfterB);
  }
}

TEST_F(ScriptTest, ScriptCallsPassTheirNameAndKeepTheStopEntry) {
  Load(R"(callscript "first"
stop 0x55560016 "second"
jumpscript "third"
endgame
)");
  EXPECT_EQ(script_->Run(), kCallScript);
  EXPECT_EQ(script_->GetReturnStack(CScript::kStopEntrySlot), 0);
  EXPECT_EQ(script_->Run(), kCallScript2);
  EXPECT_EQ(script_->GetReturnStack(CScript::kStopEntrySlot), 1);
  script_->SetReturnStack(CScript::kStopEntrySlot, 77);
  EXPECT_EQ(script_->Run(), kReplaceScript);
  EXPECT_EQ(script_->GetReturnStack(CScript::kStopEntrySlot), 77);
  EXPECT_EQ(script_->Run(), kStopAfterB);
  ASSERT_EQ(game_.calls.size(), 3u);
  const std::pair<int, const char*> expected[] = {
      {kCallScript, "first"}, {kCallScript2, "second"}, {kReplaceScript, "third"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(game_.calls[i].code, expected[i].first);
    EXPECT_EQ(game_.calls[i].param, 0);
    EXPECT_EQ(game_.calls[i].text, expected[i].second);
  }
}

TEST_F(ScriptTest, TheGameMayReplaceTheScriptFromInsideACommand) {
  // What the game does for a script jump: load another file into this object.
  struct Jumper : RecordingGame {
    CScript* script = nullptr;
    void SystemCommand(int code, int param, const void* data, int extra) override {
      RecordingGame::SystemCommand(code, param, data, extra);
      if (code == kReplaceScript) script->Load("spt\\other.spt");
    }
  } game;
  Write("jumpscript \"other\"\n");
  Write("var r 100\nr = 42\nendgame\n", "other");
  CScript script(&game);
  game.script = &script;
  ASSERT_EQ(script.Load("spt\\test.spt"), 1);
  EXPECT_EQ(script.Run(), kReplaceScript);
  EXPECT_EQ(script.GetPC(), 0);
  EXPECT_EQ(script.Run(), kStopAfterB);
  EXPECT_EQ(game.vars.GetVar(100), 42);
}

TEST_F(ScriptTest, StepLimitStopsARunWithoutLosingItsPlace) {
  CScript& script = Load("var r 100\nloop:\nr += 1\ngoto loop\n");
  script.SetStepLimit(10);
  EXPECT_EQ(script.Run(), kResultStepLimit);
  EXPECT_EQ(game_.vars.GetVar(100), 5);
  EXPECT_EQ(script.Run(), kResultStepLimit);
  EXPECT_EQ(game_.vars.GetVar(100), 10);
}

// ---------------------------------------------------------------------------
// Records handed to the game

TEST_F(ScriptTest, EveryRecordKindReachesTheGameInItsShape) {
  struct Case {
    const char* source;
    int result;  // what Run returns after the record
    Call call;
  };
  const int kGoOn = kStopAfterB;  // the record lets the script go on to "endgame"
  const Case cases[] = {
      {"text \"こんにちは\" key=7", kTextWindow, {"command", kTextWindow, 7, 0, {}, Sjis("こんにちは")}},
      {"fulltext \"全画面\" key=3 extra=9", kTextWindow, {"command", kTextFull, 3, 9, {}, Sjis("全画面")}},
      {"text \"ミナ\\r\\n行\"", kTextWindow, {"command", kTextWindow, 0, 0, {}, Sjis("ミナ\r\n行")}},
      {"moretext \"続き\"", kTextWindow, {"command", kTextAppend, 0, 0, {}, Sjis("続き")}},
      {"wait 30", kTextWait, {"command", kTextWait, 1, 0, {30}, ""}},
      {"wait 0", kGoOn, {"command", kTextWait, 1, 0, {0}, ""}},
      {"wipe 3 20", kTextWipe, {"command", kTextWipe, 2, 0, {3, 20}, ""}},
      {"syscall 3 (5, -2 * 4)", kResultSystemCall, {"syscall", 3, 2, 0, {5, -8}, ""}},
      {"syscall 4", kResultSystemCall, {"syscall", 4, 0, 0, {}, ""}},
      {"func 9 (1, 2, 70000)", kGoOn, {"function", 9, 3, 0, {1, 2, 70000}, ""}},
      {"bgm 1 0 -9999", kGoOn, {"command", 0x33330007, 3, 0, {1, 0, -9999}, ""}},
      {"getscreen", kGoOn, {"command", 0x33330011, 0, 0, {}, ""}},
      {"effectreset 4", kGoOn, {"command", 0x33330014, 1, 0, {4}, ""}},
      {"loaddwq 2 \"bg01\"", kGoOn, {"command", 0x33330015, 2, 0, {}, "bg01"}},
      {"option6 5", kGoOn, {"command", 0x3333001E, 5, 0, {}, ""}},
      {"name1 \"太郎\"", kGoOn, {"command", 0x33330050, 1, 0, {}, Sjis("太郎")}},
      {"debugline \"デバッグ\"", kGoOn, {"command", 0x33330042, 1, 0, {}, Sjis("デバッグ")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    game_.calls.clear();
    Load(std::string(c.source) + "\nendgame\n");
    EXPECT_EQ(script_->Run(), c.result);
    ASSERT_EQ(game_.calls.size(), 1u);
    const Call& got = game_.calls[0];
    EXPECT_EQ(got.op, c.call.op);
    EXPECT_EQ(got.code, c.call.code);
    EXPECT_EQ(got.param, c.call.param);
    EXPECT_EQ(got.extra, c.call.extra);
    EXPECT_EQ(got.words, c.call.words);
    EXPECT_EQ(testsupport::Utf8(got.text), testsupport::Utf8(c.call.text));
    EXPECT_EQ(script_->GetErrorCount(), 0) << script_->GetError();
  }
}

TEST_F(ScriptTest, CodesOutsideTheirClassAreSteppedOver) {
  // A text or script code in an engine-command record would reach the game
  // without the data its handler reads.
  Load(R"(.record 0x66660007 0x22220001 0 0
.record 0x66660007 0x5556000A 0 0
cmd 0x33339999 1 2
.record 0x66660006 0x33330007 1 1
.record 0x66660002 0x33330007
.record 0x12345678 0x22220001 0 0
.words 1 1
endgame
)");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_TRUE(game_.calls.empty());
  EXPECT_EQ(script_->GetErrorCount(), 0);
}

TEST_F(ScriptTest, AVoiceNameReachesTheGameAsANoticeBeforeItsCommand) {
  Load("voice \"mina11\" 1 0\n.record 0x66660008 0x33330008 5\nendgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  ASSERT_EQ(game_.calls.size(), 3u);
  EXPECT_EQ(game_.calls[0].op, "notice");
  EXPECT_EQ(game_.calls[0].code, 0x33330008);
  EXPECT_EQ(game_.calls[0].text, "mina11");
  EXPECT_EQ(game_.calls[1].op, "command");
  EXPECT_EQ(game_.calls[1].words, (std::vector<int>{1, 0}));
  // A notice record without its string gives an empty name.
  EXPECT_EQ(game_.calls[2].op, "notice");
  EXPECT_EQ(game_.calls[2].param, 5);
  EXPECT_EQ(game_.calls[2].text, "");
  EXPECT_EQ(script_->GetErrorCount(), 0) << script_->GetError();
  // Two strings on a command of numbers are refused.
  EXPECT_FALSE(zasm::Assemble("voice \"a\" \"b\" 1 0\n").errors.empty());
}

TEST_F(ScriptTest, SystemCallsKeepTheirEntryNumber) {
  Load("syscall 1\nsyscall 2 (3)\nendgame\n");
  EXPECT_EQ(script_->Run(), kResultSystemCall);
  EXPECT_EQ(script_->GetReturnStack(CScript::kSystemCallEntrySlot), 0);
  EXPECT_EQ(script_->Run(), kResultSystemCall);
  EXPECT_EQ(script_->GetReturnStack(CScript::kSystemCallEntrySlot), 1);
}

TEST_F(ScriptTest, ChoiceListsCarryTheirTextsAndFurtherWords) {
  Load(R"(choice "はい" "いいえ"
choice key=9 time=300 timeout=2 param=5 "A" "B" "C" / "x"
endgame
)");
  EXPECT_EQ(script_->Run(), kTextChoice);
  EXPECT_EQ(script_->Run(), kTextChoice);
  ASSERT_EQ(game_.calls.size(), 2u);

  // Short form: n, m = 0, the texts, P, Q, R all 0.
  const Call& a = game_.calls[0];
  EXPECT_EQ(a.param, 2 + 0 + 4);
  ASSERT_EQ(a.words.size(), 7u);
  EXPECT_EQ(a.words[0], 2);
  EXPECT_EQ(a.words[1], 0);
  EXPECT_EQ(script_->GetString(a.words[2]), Sjis("はい"));
  EXPECT_EQ(script_->GetString(a.words[3]), Sjis("いいえ"));
  EXPECT_EQ(std::vector<int>(a.words.begin() + 4, a.words.end()), (std::vector<int>{0, 0, 0}));

  // Full form: m = 1 further word, then P (time), Q (timeout), R (param).
  const Call& b = game_.calls[1];
  EXPECT_EQ(b.param, 3 + 1 + 4);
  ASSERT_EQ(b.words.size(), 9u);
  EXPECT_EQ(b.words[0], 3);
  EXPECT_EQ(b.words[1], 1);
  EXPECT_STREQ(script_->GetString(b.words[4]), "C");
  EXPECT_STREQ(script_->GetString(b.words[5]), "x");
  EXPECT_EQ(std::vector<int>(b.words.begin() + 6, b.words.end()), (std::vector<int>{300, 2, 5}));
  // The key of the last choice handed over, apart from P.
  EXPECT_EQ(script_->GetChoiceKey(), 9);

  // Both are found again by their keys (auto-numbered from 0, or given).
  EXPECT_EQ(script_->SearchChoice(0), 1);
  EXPECT_EQ(script_->GetPC(), 32 + 7);  // the record after the first choice
  EXPECT_EQ(script_->SearchChoice(9), 1);
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(script_->SearchChoice(1), 0);
}

// ---------------------------------------------------------------------------
// Case search

TEST_F(ScriptTest, SearchCaseFindsTheBodyOfTheMatchingCase) {
  Load(R"(var r 100
switch:
{
  case 1 { r = 1 }
  case 0x10002 r = 2
  case 3 {
    r = 3
  }
}
  endgame
)");
  const int start = Label("switch");
  struct Case {
    int value;
    int r;  // what running from the result sets, -1 when not found
  };
  for (const Case& c : {Case{1, 1}, Case{2, 2}, Case{3, 3}}) {
    SCOPED_TRACE(c.value);
    const int body = script_->SearchCase(start, c.value);
    ASSERT_GT(body, start);
    script_->SetPC(body);
    EXPECT_EQ(script_->Run(), kStopAfterB);
    EXPECT_EQ(game_.vars.GetVar(100), c.r);
  }
  // No such case: the search stops at the closing brace of the switch.
  const int at = script_->SearchCase(start, 7);
  EXPECT_EQ(script_->GetError(), Sjis("case以外発見"));
  EXPECT_EQ(script_->Run(at), kStopAfterB);
  // -1 starts at the program counter.
  script_->SetPC(start);
  EXPECT_GT(script_->SearchCase(-1, 3), start);
}

TEST_F(ScriptTest, SearchCaseReportsARunOffTheCode) {
  zasm::Assembly a = zasm::Assemble("case 1 nop\n.record 0x66660002 0x55560008 2\n");
  ASSERT_TRUE(a.ok());
  // A file cut right after the last case (no end marker, no tables) is
  // refused when it loads; the search's own guard stops at the end word.
  std::vector<uint32_t> cut(a.words.begin(), a.words.begin() + 32 + 4 + 3 + 4);
  dir_.Write("spt/cut.spt", zasm::EncodeWords(cut));
  CScript cutScript(&game_);
  EXPECT_EQ(cutScript.Load("spt\\cut.spt"), 0);

  zasm::Assembly b = zasm::Assemble("case 1 nop\n.record 0x66660002 0x55560008 2\n");
  dir_.Write("spt/end.spt", b.FileBytes());
  CScript endScript(&game_);
  ASSERT_EQ(endScript.Load("spt\\end.spt"), 1);
  EXPECT_EQ(endScript.SearchCase(32, 5), 0);
  EXPECT_EQ(endScript.GetError(), Sjis("case発見できずA"));
}

// ---------------------------------------------------------------------------
// Repositioning after a restored game

const char* const kStory = R"(var r 100
  text "one"
  call sub
  text "two"
  callscript "down"
  syscall 5 (1)
  choice "a" "b"
  endgame
sub:
  r += 1
  syscall 6
  return
)";

// The same story recompiled with records inserted everywhere.
const char* const kStoryLater = R"(var r 100
  nop
  r = 0
  text "zero"
  text "one"
  nop
  call sub
  text "two"
  nop
  callscript "down"
  nop
  syscall 5 (1)
  choice "a" "b"
  endgame
  nop
sub:
  nop
  r += 1
  syscall 6
  return
)";

TEST_F(ScriptTest, ASavedPositionSurvivesARecompiledScript) {
  CScript& script = Load(kStory);
  EXPECT_EQ(script.Run(), kTextWindow);          // "one"
  EXPECT_EQ(script.Run(), kResultSystemCall);    // syscall 6 inside sub
  // What the game keeps: depth, call-site numbers in place of return words,
  // and the entry numbers.
  const int depth = script.GetCallDepth();
  ASSERT_EQ(depth, 1);
  const int site = script.GetCallSite(0);
  const int systemCall = script.GetReturnStack(CScript::kSystemCallEntrySlot);

  Write(kStoryLater, "later");
  CScript later(&game_);
  ASSERT_EQ(later.Load("spt\\later.spt"), 1);
  ASSERT_TRUE(later.HasResumeTables());
  later.SetCallDepth(depth);
  later.SetReturnStack(0, site);
  later.SetReturnStack(CScript::kSystemCallEntrySlot, systemCall);
  ASSERT_EQ(later.RestoreCallStack(), 1);
  ASSERT_EQ(later.JumpToEntryA(), 1);
  game_.calls.clear();
  // On after the syscall: return, then the text after the call.
  EXPECT_EQ(later.Run(), kTextWindow);
  ASSERT_EQ(game_.calls.size(), 1u);
  EXPECT_EQ(game_.calls[0].text, "two");
  EXPECT_EQ(later.GetCallDepth(), 0);

  // The script call resumes after its record.
  EXPECT_EQ(later.Run(), kCallScript);
  const int stop = later.GetReturnStack(CScript::kStopEntrySlot);
  CScript again(&game_);
  ASSERT_EQ(again.Load("spt\\test.spt"), 1);
  again.SetReturnStack(CScript::kStopEntrySlot, stop);
  ASSERT_EQ(again.JumpToEntryB(), 1);
  EXPECT_EQ(again.Run(), kResultSystemCall);
  EXPECT_EQ(game_.calls.back().code, 5);

  // Messages by key: "two" is the second text.
  ASSERT_EQ(again.SearchMessage(1), 1);
  game_.calls.clear();
  EXPECT_EQ(again.Run(), kCallScript);
  EXPECT_EQ(again.SearchMessage(99), 0);
}

TEST_F(ScriptTest, BrokenResumeEntriesAreRefused) {
  CScript& script = Load(kStory);
  // Tables have no length in the file: entries are checked against its size.
  script.SetReturnStack(CScript::kSystemCallEntrySlot, 100000);
  EXPECT_EQ(script.JumpToEntryA(), 0);
  EXPECT_STREQ(script.GetError(), "system call entry 100000 is out of range");
  script.SetReturnStack(CScript::kStopEntrySlot, -1);
  EXPECT_EQ(script.JumpToEntryB(), 0);
  script.SetCallDepth(2);
  script.SetReturnStack(0, 0);
  script.SetReturnStack(1, 50000);  // no such call site
  EXPECT_EQ(script.RestoreCallStack(), 0);
  EXPECT_EQ(script.GetCallDepth(), 1);
  EXPECT_STREQ(script.GetError(), "call site 50000 is out of range");

  // A header shorter than 32 words has no resume tables.
  Write(std::string(".header 24\n") + kStory, "short");
  CScript shortHeader(&game_);
  ASSERT_EQ(shortHeader.Load("spt\\short.spt"), 1);
  EXPECT_FALSE(shortHeader.HasResumeTables());
  EXPECT_EQ(shortHeader.Run(), kTextWindow);
  EXPECT_EQ(shortHeader.JumpToEntryA(), 0);
}

TEST_F(ScriptTest, GotoLabelAddsTheLabelBase) {
  Load(R"(.labelbase 1
var r 100
zero:
  r = 0
  endgame
one:
  r = 1
  endgame
)");
  ASSERT_EQ(script_->GotoLabel(0), 1);
  EXPECT_EQ(script_->GetPC(), Label("one"));
  EXPECT_EQ(script_->GotoLabel(1), 0);   // 1 + 1 is past the two labels
  EXPECT_EQ(script_->GotoLabel(-1), 1);  // back to label 0
  EXPECT_EQ(script_->GetPC(), Label("zero"));
  EXPECT_EQ(script_->GotoLabel(-2), 0);
}

// ---------------------------------------------------------------------------
// Broken files end the code instead of reading outside the buffer

TEST_F(ScriptTest, BrokenRecordsEndTheCodeWithAnError) {
  struct Case {
    const char* source;
    int result;
    const char* error;
  };
  const Case cases[] = {
      {".record 0x66660002 0x55560020 999999", kResultEnd,
       "jump target 999999 at word 32 is out of range"},
      {".record 0x66660002 0x55560020 -4", kResultEnd, "jump target -4 at word 32 is out of range"},
      {".record 0x66660002 0x55560009 7 0", kResultEnd, "label 7 at word 32 is out of range"},
      {".record 0x66660002 0x55560011 0x90000000\n.record 0x66660002 0xA000007B 9999\nnop",
       kResultEnd, "block extent 9999 at word 36 is out of range"},
      {".record 0x66660002 0x55560011 0x90000000\n.record 0x66660002 0xA000007B 2\nnop",
       kResultEnd, "block extent 2 at word 36 is out of range"},
      {".record 0x66660006 0x22220006 1000 0", kResultEnd, "choice at word 32 is broken"},
      {".record 0x66660006 0x22220006 1 0 5 -3", kResultEnd, "choice at word 32 is broken"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    Load(std::string(c.source) + "\nendgame\n");
    EXPECT_EQ(script_->Run(), c.result);
    EXPECT_STREQ(script_->GetError(), c.error);
  }
}

TEST_F(ScriptTest, BadTableIndexesGiveEmptyValuesAndAnError) {
  struct Case {
    const char* source;
    int result;
    Call call;
    const char* error;
  };
  const Case cases[] = {
      {".record 0x66660002 0x5556000A 40 0", kCallScript, {"command", kCallScript, 0, 0, {}, ""},
       "string 40 is out of range"},
      {".record 0x66660006 0x22220001 -1 0", kTextWindow, {"command", kTextWindow, 0, 0, {}, ""},
       "message text -1 is out of range"},
      {".record 0x66660006 0x22220005 50 1 2", kTextWipe, {"command", kTextWipe, 2, 0, {1, 2}, ""},
       "word count 50 at word 32 is out of range"},
      {".record 0x66660007 0x33330013 9 1", kStopAfterB, {"command", 0x33330013, 1, 0, {1}, ""},
       "word count 9 at word 32 is out of range"},
      {".record 0x66660007 0x33330014", kStopAfterB, {"command", 0x33330014, 1, 0, {0}, ""},
       "record at word 32 is too short"},
      {".record 0x66660003 7 3 0x90000001", kResultSystemCall, {"syscall", 7, 3, 0, {1, 0, 0}, ""},
       "arguments at word 32 run past the record"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    game_.calls.clear();
    Load(std::string(c.source) + "\nendgame\n");
    EXPECT_EQ(script_->Run(), c.result);
    EXPECT_STREQ(script_->GetError(), c.error);
    ASSERT_EQ(game_.calls.size(), 1u);
    EXPECT_EQ(game_.calls[0].op, c.call.op);
    EXPECT_EQ(game_.calls[0].param, c.call.param);
    EXPECT_EQ(game_.calls[0].words, c.call.words);
    EXPECT_EQ(game_.calls[0].text, c.call.text);
  }
  EXPECT_STREQ(script_->GetString(1000), "");
  EXPECT_EQ(script_->GetIntConstant(3), 0);
  EXPECT_STREQ(script_->GetError(), "constant 3 is out of range");
}

TEST_F(ScriptTest, TheErrorRingKeepsTheLast16Messages) {
  CScript& script = Load("endgame\n");
  for (int i = 0; i < 20; ++i) script.AddError(testsupport::Numbered("e", i).c_str());
  EXPECT_EQ(script.GetErrorCount(), 15);
  EXPECT_EQ(script.GetErrorFlag(), 1);
  EXPECT_STREQ(script.GetError(0), "e19");
  EXPECT_STREQ(script.GetError(15), "e4");
  EXPECT_STREQ(script.GetError(16), "");
  // A long message is cut inside the slot, never in the middle of a character.
  const std::string longText = std::string(254, 'x') + Sjis("あ");
  script.AddError(longText.c_str());
  EXPECT_EQ(std::string(script.GetError()), std::string(254, 'x'));
  script.ClearErrorFlag();
  EXPECT_EQ(script.GetErrorFlag(), 0);
}

}  // namespace
}  // namespace script_test
