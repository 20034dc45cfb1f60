// The command table as the assembler and the interpreter read it: every
// command written with its arguments reaches the game with the same
// arguments, and a command written with the wrong arguments is refused.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "script/commandtable.h"
#include "script_fixture.h"

namespace script_test {
namespace {

using namespace script;

// What a command is written with, and what the game must receive for it.
struct Written {
  std::string args;
  int param;
  std::vector<int> words;
  std::string text;
  int extra;
};

// `count` numbers, as written and as the game gets them.
Written Numbers(int count) {
  static const int kValues[] = {3, -2, 70000};
  Written w{"", count, {}, "", 0};
  for (int i = 0; i < count; ++i) {
    const int v = kValues[i % 3] + i / 3;
    if (i) w.args += ' ';
    w.args += std::to_string(v);
    w.words.push_back(v);
  }
  return w;
}

Written WrittenFor(const CommandInfo& c) {
  switch (c.shape) {
    case CommandShape::kNone: return {"", 0, {}, "", 0};
    case CommandShape::kWords1: return {"-7", 1, {-7}, "", 0};
    case CommandShape::kWordsN: return Numbers(std::clamp(3, int{c.minCount}, int{c.maxCount}));
    case CommandShape::kString: return {"5 \"bg01\"", 5, {}, "bg01", 0};
    case CommandShape::kValue: return {"-4", -4, {}, "", 0};
    case CommandShape::kString1: return {"\"taro\"", 1, {}, "taro", 0};
    case CommandShape::kMessage1: return {"\"line\"", 1, {}, "line", 0};
    case CommandShape::kPage: return {"\"page\" key=7 extra=9", 7, {}, "page", 9};
    // n 2, m 1, the three texts' string numbers, then P, Q and R.
    case CommandShape::kChoice:
      return {"\"a\" \"b\" key=4 time=5 timeout=6 param=8 / \"q\"", 7, {2, 1, 0, 1, 2, 5, 6, 8}, "", 0};
    case CommandShape::kScriptCall:
    case CommandShape::kScriptName: return {"\"sub\"", 0, {}, "sub", 0};
  }
  return {};
}

// Arguments each command refuses by its shape; for one of numbers, one
// number fewer or more than it takes too.
std::vector<std::string> RefusedFor(const CommandInfo& c) {
  switch (c.shape) {
    case CommandShape::kNone: return {"1", "\"x\""};
    case CommandShape::kWords1:
    case CommandShape::kValue: return {"", "1 2", "\"x\"", "\"x\" 1"};
    case CommandShape::kWordsN: {
      std::vector<std::string> refused = {"\"a\" \"b\" 1"};
      if (c.minCount > 0) refused.push_back(Numbers(c.minCount - 1).args);
      if (c.maxCount < kAnyCount) refused.push_back(Numbers(c.maxCount + 1).args);
      return refused;
    }
    case CommandShape::kString: return {"1", "\"x\"", "1 2 \"x\"", "1 \"x\" \"y\""};
    case CommandShape::kString1:
    case CommandShape::kMessage1: return {"", "1", "1 \"x\"", "\"x\" \"y\""};
    case CommandShape::kPage:
    case CommandShape::kScriptCall:
    case CommandShape::kScriptName: return {"", "5"};
    case CommandShape::kChoice: return {"5"};
  }
  return {};
}

std::string Hex(int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

// The ways a command can be written: its name, and its code after `cmd`
// (engine commands) or `stop` (sub-script calls).
std::vector<std::string> Spellings(const CommandInfo& c) {
  std::vector<std::string> out;
  if (c.mnemonic) out.push_back(c.mnemonic);
  if (c.cls == kClassCommand) out.push_back("cmd " + Hex(c.code));
  if (c.cls == kClassControl) out.push_back("stop " + Hex(c.code));
  return out;
}

TEST_F(ScriptTest, EveryCommandReachesTheGameWithTheArgumentsItWasWrittenWith) {
  for (const CommandInfo& c : kCommands) {
    const Written w = WrittenFor(c);
    // Engine commands let the run go on to "endgame"; a text page yields
    // kTextWindow, the other text and script commands their own code.
    const int result = c.cls == kClassCommand              ? kStopAfterB
                       : c.shape == CommandShape::kPage ? kTextWindow
                                                         : c.code;
    ASSERT_FALSE(Spellings(c).empty()) << Hex(c.code) << " cannot be written";
    for (const std::string& spelling : Spellings(c)) {
      const std::string source = spelling + " " + w.args;
      SCOPED_TRACE(source);
      game_.calls.clear();
      Load(source + "\nendgame\n");
      EXPECT_EQ(script_->Run(), result);
      ASSERT_EQ(game_.calls.size(), 1u);
      const Call& got = game_.calls[0];
      EXPECT_EQ(got.op, "command");
      EXPECT_EQ(got.code, c.code);
      EXPECT_EQ(got.param, w.param);
      EXPECT_EQ(got.words, w.words);
      EXPECT_EQ(got.text, w.text);
      EXPECT_EQ(got.extra, w.extra);
      EXPECT_EQ(script_->GetErrorCount(), 0) << script_->GetError();
    }
  }
}

TEST(CommandTableTest, ACommandWithTheWrongArgumentsIsRefused) {
  for (const CommandInfo& c : kCommands) {
    for (const std::string& spelling : Spellings(c)) {
      for (const std::string& args : RefusedFor(c)) {
        const std::string source = spelling + " " + args;
        EXPECT_FALSE(zasm::Assemble(source).ok()) << source;
      }
    }
  }
}

TEST(CommandTableTest, AWrongCountOfNumbersIsRefusedWithTheCountsItTakes) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"wipe 1", "line 1: command 0x22220005 (wipe) takes 2 numbers, not 1"},
      {"nop\nbgm", "line 2: command 0x33330007 (bgm) takes 1 to 5 numbers, not 0"},
      {"effect 0", "line 1: command 0x33330013 (effect) takes at least 2 numbers, not 1"},
      {"cmd 0x33330065 1 2", "line 1: command 0x33330065 (facenumber) takes 1 number, not 2"},
  };
  for (const Case& c : cases) {
    const zasm::Assembly a = zasm::Assemble(c.source);
    EXPECT_EQ(a.ErrorText(), std::string(c.error) + "\n") << c.source;
  }
  // The optional numbers may be left out.
  for (const char* source : {"bgm 1", "bgm -1 30", "cgflag 1 2", "windowstate 0", "bgmvolume -5"})
    EXPECT_TRUE(zasm::Assemble(source).ok()) << source;
}

TEST(CommandTableTest, LookupsFindEachCommandByCodeAndName) {
  for (const CommandInfo& c : kCommands) {
    EXPECT_EQ(FindCommand(c.code), &c) << Hex(c.code);
    EXPECT_EQ(FindCommand(c.cls, c.code), &c) << Hex(c.code);
    EXPECT_EQ(FindCommand(kClassExpression, c.code), nullptr) << Hex(c.code);
    if (c.mnemonic) {
      EXPECT_EQ(FindCommand(c.mnemonic), &c) << c.mnemonic;
    }
  }
  for (int32_t code : {0, 0x22220000, 0x22220007, 0x33330010, 0x3333006B, 0x55560017, -1})
    EXPECT_EQ(FindCommand(code), nullptr) << Hex(code);
  EXPECT_EQ(FindCommand("nosuchcommand"), nullptr);
  EXPECT_EQ(FindCommand(""), nullptr);
}

}  // namespace
}  // namespace script_test
