// The commands a script hands to the game through
// CScriptCallBack::SystemCommand: text pages, waits, transitions, choices,
// engine commands and sub-script calls. Each has one record here, and
// every user reads it: the interpreter for how a record's words reach the
// game, the game for which codes have a handler, the assembler for the
// command's name and the arguments it writes.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "script/codes.h"

namespace script {

// How a command's record holds its arguments (word 3 on), and what the
// interpreter passes to SystemCommand as parameter, data and extra (0
// unless said).
enum class CommandShape : uint8_t {
  kNone,        // nothing; parameter 0, no data
  kWords1,      // 1, one number; parameter 1, the words from word 4
  kWordsN,      // a count, that many numbers; parameter the count, the words from word 4
  kString,      // a number, a string; parameter the number, the string
  kValue,       // 1, one number; parameter the number, no data
  kString1,     // 1, a string; parameter 1, the string
  kMessage1,    // a message text; parameter 1, the text
  kPage,        // a message text, its key, an optional extra word; parameter the key,
                // the text, extra the extra word
  kChoice,      // a choice record; parameter n + m + 4, the list n, m, the n + m
                // string numbers, P, Q, R
  kScriptCall,  // a script name, a stop entry; parameter 0, the name
  kScriptName,  // a script name; parameter 0, the name
};

// A kWordsN command with no upper bound of numbers.
constexpr uint8_t kAnyCount = 255;

struct CommandInfo {
  int32_t code;
  int32_t cls;            // the record class it is written in
  CommandShape shape;
  const char* mnemonic;   // the assembler's name (nullptr: only `cmd CODE`)
  // How many numbers a kWordsN command takes: its handler's words, the
  // optional ones (which take a default) counted in the maximum.
  uint8_t minCount = 0;
  uint8_t maxCount = kAnyCount;
  bool ignored = false;   // the game has no handler: the command does nothing
};

constexpr bool kIgnored = true;

// In ascending order of code.
inline constexpr CommandInfo kCommands[] = {
    // Text and choices: the run stops after them (a wait of 0 frames excepted).
    {0x22220001, kClassText, CommandShape::kPage, "text"},
    {0x22220002, kClassText, CommandShape::kPage, "fulltext"},
    {0x22220003, kClassText, CommandShape::kPage, "moretext"},
    {0x22220004, kClassText, CommandShape::kWords1, "wait"},
    {0x22220005, kClassText, CommandShape::kWordsN, "wipe", 2, 2},
    {0x22220006, kClassText, CommandShape::kChoice, "choice"},
    // Engine commands: the run goes on.
    {0x33330007, kClassCommand, CommandShape::kWordsN, "bgm", 1, 5},
    {0x33330008, kClassCommand, CommandShape::kWordsN, "voice", 2, 12},
    {0x33330009, kClassCommand, CommandShape::kWordsN, "se", 2, 12},
    {0x33330011, kClassCommand, CommandShape::kNone, "getscreen"},
    {0x33330012, kClassCommand, CommandShape::kNone, "effectclear"},
    {0x33330013, kClassCommand, CommandShape::kWordsN, "effect", 2, kAnyCount},
    {0x33330014, kClassCommand, CommandShape::kWords1, "effectreset"},
    {0x33330015, kClassCommand, CommandShape::kString, "loaddwq"},
    {0x33330016, kClassCommand, CommandShape::kWordsN, "effectrect", 9, 9},
    {0x33330017, kClassCommand, CommandShape::kNone, "textshown"},
    {0x33330018, kClassCommand, CommandShape::kWordsN, "cgflag", 2, 3},
    {0x33330019, kClassCommand, CommandShape::kWords1, nullptr, 0, kAnyCount, kIgnored},
    {0x3333001A, kClassCommand, CommandShape::kWords1, "filmflag"},
    {0x3333001B, kClassCommand, CommandShape::kWordsN, "windowstate", 0, 2},
    {0x3333001C, kClassCommand, CommandShape::kWordsN, "windowdisplay", 0, 3},
    {0x3333001E, kClassCommand, CommandShape::kValue, "option6"},
    {0x3333001F, kClassCommand, CommandShape::kString, "preloaddwq"},
    {0x33330028, kClassCommand, CommandShape::kWords1, "frametime"},
    {0x33330029, kClassCommand, CommandShape::kNone, "defaultframetime"},
    {0x33330042, kClassCommand, CommandShape::kMessage1, "debugline"},
    {0x33330050, kClassCommand, CommandShape::kString1, "name1"},
    {0x33330051, kClassCommand, CommandShape::kString1, "name2"},
    {0x33330052, kClassCommand, CommandShape::kValue, nullptr, 0, kAnyCount, kIgnored},
    {0x33330053, kClassCommand, CommandShape::kValue, "scriptword"},
    {0x33330054, kClassCommand, CommandShape::kValue, "windowdesign"},
    {0x33330055, kClassCommand, CommandShape::kValue, "cursordesign"},
    {0x33330056, kClassCommand, CommandShape::kValue, "mousedesign"},
    {0x33330057, kClassCommand, CommandShape::kValue, "skipprohibit"},
    {0x33330058, kClassCommand, CommandShape::kValue, "messageswitch"},
    {0x33330059, kClassCommand, CommandShape::kValue, "autoprohibit"},
    {0x3333005A, kClassCommand, CommandShape::kValue, "floatingbuttonoff"},
    {0x3333005B, kClassCommand, CommandShape::kValue, "cutin"},
    {0x3333005C, kClassCommand, CommandShape::kValue, "frameflag"},
    {0x3333005D, kClassCommand, CommandShape::kValue, "choicereturn"},
    {0x3333005E, kClassCommand, CommandShape::kValue, "scripthook"},
    {0x3333005F, kClassCommand, CommandShape::kValue, "windowmode"},
    {0x33330060, kClassCommand, CommandShape::kValue, "costumemask"},
    {0x33330061, kClassCommand, CommandShape::kWordsN, "cgflagif", 5, 5},
    {0x33330062, kClassCommand, CommandShape::kWordsN, "setvar", 2, 2},
    {0x33330063, kClassCommand, CommandShape::kWordsN, "variantvar", 2, 2},
    {0x33330064, kClassCommand, CommandShape::kWordsN, "face", 2, 2},
    {0x33330065, kClassCommand, CommandShape::kWordsN, "facenumber", 1, 1},
    {0x33330066, kClassCommand, CommandShape::kWordsN, "sefade", 1, 1},
    {0x33330067, kClassCommand, CommandShape::kWordsN, "voicefade", 1, 1},
    {0x33330068, kClassCommand, CommandShape::kWordsN, "sevolume", 2, 2},
    {0x33330069, kClassCommand, CommandShape::kWordsN, "voicevolume", 2, 2},
    {0x3333006A, kClassCommand, CommandShape::kWordsN, "bgmvolume", 1, 2},
    // Sub-scripts: control records, the run stops after them.
    {0x5556000A, kClassControl, CommandShape::kScriptCall, "callscript"},
    {0x55560015, kClassControl, CommandShape::kScriptName, "jumpscript"},
    {0x55560016, kClassControl, CommandShape::kScriptCall, "callscript2"},
};

// The command of `code`, or nullptr.
constexpr const CommandInfo* FindCommand(int32_t code) {
  const CommandInfo* first = kCommands;
  const CommandInfo* last = kCommands + std::size(kCommands);
  while (first < last) {
    const CommandInfo* mid = first + (last - first) / 2;
    if (mid->code < code) first = mid + 1;
    else last = mid;
  }
  return first != kCommands + std::size(kCommands) && first->code == code ? first : nullptr;
}

// The command of `code` written in record class `cls`, or nullptr.
constexpr const CommandInfo* FindCommand(int32_t cls, int32_t code) {
  const CommandInfo* c = FindCommand(code);
  return c && c->cls == cls ? c : nullptr;
}

// The index in kCommands of the command named `mnemonic`, or -1.
constexpr int CommandIndex(std::string_view mnemonic) {
  for (size_t i = 0; i < std::size(kCommands); ++i)
    if (kCommands[i].mnemonic && mnemonic == kCommands[i].mnemonic) return static_cast<int>(i);
  return -1;
}

// The command named `mnemonic`, or nullptr.
constexpr const CommandInfo* FindCommand(std::string_view mnemonic) {
  const int i = CommandIndex(mnemonic);
  return i < 0 ? nullptr : &kCommands[i];
}

// The code of a command by name; a name not in the table does not compile.
consteval int32_t CommandCode(std::string_view mnemonic) {
  const int i = CommandIndex(mnemonic);
  if (i < 0) throw "no command of that name";
  return kCommands[i].code;
}

namespace command_table_checks {
constexpr bool CodesAscend() {
  for (size_t i = 1; i < std::size(kCommands); ++i)
    if (kCommands[i - 1].code >= kCommands[i].code) return false;
  return true;
}
constexpr bool NamesUnique() {
  for (size_t i = 0; i < std::size(kCommands); ++i)
    if (kCommands[i].mnemonic && CommandIndex(kCommands[i].mnemonic) != static_cast<int>(i))
      return false;
  return true;
}
static_assert(CodesAscend(), "kCommands must list each code once, in ascending order");
constexpr bool CountsOrdered() {
  for (const CommandInfo& c : kCommands)
    if (c.minCount > c.maxCount) return false;
  return true;
}
static_assert(NamesUnique(), "two commands share a name");
static_assert(CountsOrdered(), "a command takes at least as many numbers as it may");
}  // namespace command_table_checks

// The codes the interpreter also answers from Run: a text page yields
// kTextWindow whatever its kind, the others their own code.
inline constexpr int32_t kTextWindow = CommandCode("text");
inline constexpr int32_t kTextFull = CommandCode("fulltext");
inline constexpr int32_t kTextAppend = CommandCode("moretext");
inline constexpr int32_t kTextWait = CommandCode("wait");
inline constexpr int32_t kTextWipe = CommandCode("wipe");
inline constexpr int32_t kTextChoice = CommandCode("choice");
inline constexpr int32_t kCallScript = CommandCode("callscript");
inline constexpr int32_t kReplaceScript = CommandCode("jumpscript");
inline constexpr int32_t kCallScript2 = CommandCode("callscript2");

}  // namespace script
