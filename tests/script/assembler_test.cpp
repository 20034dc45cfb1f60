// The assembler: what it writes for each construct, and what it refuses.
#include <string>
#include <vector>

#include "script_fixture.h"

namespace script_test {
namespace {

using namespace script;
using Words = std::vector<uint32_t>;

// The words of the first record after the header.
Words FirstRecord(const zasm::Assembly& a) {
  const uint32_t at = a.words.at(0);
  const uint32_t len = a.words.at(at);
  return Words(a.words.begin() + at, a.words.begin() + at + len);
}

TEST(AssemblerTest, ExpressionsBecomeOperandWordsOrPostfixLists) {
  const uint32_t kList = kListMark;
  const uint32_t x = kVariable | 100, y = kVariable | 101;
  struct Case {
    const char* source;
    Words operands;  // the record's words from word 3 on
  };
  const Case cases[] = {
      {"5", {kLiteral | 5}},
      {"-1", {kLiteral | 0xFFFF}},
      {"-32768", {kLiteral | 0x8000}},
      {"40000", {kConstant | 0}},
      {"x", {x}},
      {"$7", {kVariable | 7}},
      {"@0xC0000001", {0xC0000001u}},
      {"x = 3", {kList, 3, x, kLiteral | 3, Operator(kGroupArith, '=')}},
      {"x += y * 2",
       {kList, 5, x, y, kLiteral | 2, Operator(kGroupArith, '*'), Operator(kGroupAssign, '+')}},
      {"x = y = 1",
       {kList, 5, x, y, kLiteral | 1, Operator(kGroupArith, '='), Operator(kGroupArith, '=')}},
      {"x - 1 - 2",
       {kList, 5, x, kLiteral | 1, Operator(kGroupArith, '-'), kLiteral | 2,
        Operator(kGroupArith, '-')}},
      {"!x && y <= 2",
       {kList, 6, x, Operator(kGroupArith, '!'), y, kLiteral | 2, Operator(kGroupCompare, '<'),
        Operator(kGroupLogic, '&')}},
      {"-x", {kList, 3, kLiteral | 0, x, Operator(kGroupArith, '-')}},
      {"[x 0x90000001 0xA000002B]", {kList, 3, x, kLiteral | 1, Operator(kGroupArith, '+')}},
      {"[x]", {kList, 1, x}},
      {"[]", {kList, 0}},
  };
  for (const Case& c : cases) {
    const zasm::Assembly a = zasm::Assemble(std::string("var x 100\nvar y 101\n") + c.source);
    ASSERT_TRUE(a.ok()) << c.source << "\n" << a.ErrorText();
    const Words record = FirstRecord(a);
    EXPECT_EQ(record[1], static_cast<uint32_t>(kClassExpression)) << c.source;
    EXPECT_EQ(Words(record.begin() + 3, record.end()), c.operands) << c.source;
  }
}

TEST(AssemblerTest, HeaderTablesAndTexts) {
  const zasm::Assembly a = zasm::Assemble(R"(var x 100
start:
  x = 100000
  x = 100000 + 7
  text "あいう" key=4
  text "あいう"
  jumpscript "あいう"
  call start
  syscall 2
  callscript "s"
  goto start
)");
  ASSERT_TRUE(a.ok()) << a.ErrorText();
  const Words& w = a.words;
  EXPECT_EQ(w[0], 32u);
  EXPECT_EQ(w[1], static_cast<uint32_t>(kClassSkipped));
  EXPECT_EQ(w[kHeaderLabelCount], 1u);
  EXPECT_EQ(w[w[kHeaderLabelTable]], 32u);
  EXPECT_EQ(a.LabelWord("start"), 32);
  EXPECT_EQ(a.LabelNumber("start"), 0);
  EXPECT_EQ(w[w[kHeaderConstantTable]], 100000u);
  // One entry: the second 100000 shares it and 7 is a literal.
  EXPECT_EQ(w[kHeaderConstantTable] + 1, w[kHeaderMessageTable]);
  // Texts are CP932, NUL-terminated, packed into whole words, shared between
  // the two tables.
  const uint32_t message = w[w[kHeaderMessageTable]];
  const uint32_t string = w[w[kHeaderStringTable]];
  EXPECT_EQ(message, string);
  const std::string bytes(reinterpret_cast<const char*>(&w[message]), 8);
  EXPECT_EQ(bytes, testsupport::Sjis("あいう") + std::string(2, '\0'));
  // Resume tables: the call record, the system call, the script call.
  const uint32_t call = w[w[kHeaderCallSiteTable]];
  EXPECT_EQ(w[call + 2], static_cast<uint32_t>(kCall));
  EXPECT_EQ(w[w[w[kHeaderSystemCallEntries]] + 1], static_cast<uint32_t>(kClassSystemCall));
  EXPECT_EQ(w[w[w[kHeaderStopEntries]] + 2], static_cast<uint32_t>(kCallScript));
  // The code ends with a zero word before the tables.
  EXPECT_EQ(w[w[kHeaderLabelTable] - 1], 0u);

  EXPECT_EQ(zasm::DecodeFile(a.FileBytes()), w);
  EXPECT_EQ(zasm::DecodeFile(a.FileBytes() + "xy"), w);
  const std::string listing = zasm::Disassemble(w);
  EXPECT_NE(listing.find("jumpscript"), std::string::npos) << listing;
}

TEST(AssemblerTest, BlockExtentsLandAfterTheClosingBrace) {
  const zasm::Assembly a = zasm::Assemble("if 1 {\n nop\n { nop }\n}\nnop\n");
  ASSERT_TRUE(a.ok()) << a.ErrorText();
  const Words& w = a.words;
  // if (4 words) at 32, then the outer block open at 36.
  ASSERT_EQ(w[36 + 2], static_cast<uint32_t>(kBlockOpen));
  const uint32_t extent = w[36 + 3];
  EXPECT_EQ(w[36 + extent - 3 + 2], static_cast<uint32_t>(kBlockClose));
  EXPECT_EQ(w[36 + extent + 2], static_cast<uint32_t>(kNop));
  EXPECT_EQ(w[32 + 2], static_cast<uint32_t>(kIfOnly));

  const zasm::Assembly chain = zasm::Assemble("if 1 nop\nelse if 2 nop\nelse nop\n");
  ASSERT_TRUE(chain.ok()) << chain.ErrorText();
  EXPECT_EQ(chain.words[32 + 2], static_cast<uint32_t>(kIf));
  EXPECT_EQ(chain.words[32 + 4 + 3 + 2], static_cast<uint32_t>(kElsif));
}

// What the dump checks before it lists a file: a damaged or foreign file
// is refused with its reason.
TEST(AssemblerTest, OnlyACompiledScriptIsListed) {
  const zasm::Assembly a = zasm::Assemble("start:\n text \"a\"\n goto start\n");
  ASSERT_TRUE(a.ok()) << a.ErrorText();
  const std::string good = a.FileBytes();
  EXPECT_EQ(zasm::CheckScriptFile(good), "");
  auto withWord = [&](size_t index, uint32_t value) {
    Words w = a.words;
    w[index] = value;
    return zasm::EncodeWords(w);
  };
  const size_t end = a.words[kHeaderLabelTable] - 1;  // the end word
  struct Case {
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"", "empty"},
      {good + "xy", "whole number"},
      {"\x89PNG\r\n\x1A\n", "header length"},
      {withWord(0, 5), "header length"},
      {withWord(0, 0x40000000), "header length"},
      {withWord(32, 0x7FFFFFFF), "runs past the end"},
      {withWord(end, 7), "runs past the end"},
      {good.substr(0, (end) * 4), "no end word"},
      {withWord(kHeaderLabelTable, static_cast<uint32_t>(a.words.size())), "label table"},
      {withWord(kHeaderStringTable, 3), "string table"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    EXPECT_NE(zasm::CheckScriptFile(c.bytes).find(c.reason), std::string::npos)
        << zasm::CheckScriptFile(c.bytes);
  }
}

TEST(AssemblerTest, MistakesAreReportedWithTheirLine) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"goto nowhere", "line 1: label nowhere is not defined"},
      {"a:\nnop\na:\n", "line 3: label a defined twice"},
      {"{\nnop\n", "a block is not closed"},
      {"nop\n}", "line 2: '}' without its '{'"},
      {"5 = 3", "line 1: the left side of '=' is not a variable"},
      {"var x 100\n(x + 1) += 3", "line 2: the left side of '+=' is not a variable"},
      {"y = 1", "line 1: unknown name (declare it with var or const) near 'y'"},
      {"nop\nelse nop", "line 2: elsif/else without its if"},
      {"if 1 if 2 nop", "line 1: a body without braces must be one simple statement"},
      {"if 1\n", "line 2: a body without braces must be one simple statement"},
      {"loaddwq \"x\"", "line 1: command 0x33330015 (loaddwq) takes a number and a string"},
      {"getscreen 1", "line 1: command 0x33330011 (getscreen) takes no arguments"},
      {"text \"\xF0\x9F\x98\x80\"", "has a character that CP932 cannot hold"},
      {"text \"open", "line 1: string without its closing quote"},
      {"nop\n.header 24", "line 2: .header must come before the first record"},
      {"var x 100\nx = 3000000000", "line 2: number too large"},
      {"var x 40000", "line 1: variable number out of range"},
      {"nop nop", "line 1: unexpected text near 'nop'"},
      {"wait", "line 1: a number expected at the end of the line"},
      {"choice key=1 time 5", "line 1: a choice text expected"},
      {"nop ~", "line 1: unexpected character '~'"},
  };
  for (const Case& c : cases) {
    const zasm::Assembly a = zasm::Assemble(c.source);
    ASSERT_FALSE(a.ok()) << c.source;
    EXPECT_NE(a.ErrorText().find(c.error), std::string::npos)
        << c.source << "\ngot: " << a.ErrorText();
  }
}

TEST(AssemblerTest, WarnsWhereTheRunCanFallOffTheEnd) {
  struct Case {
    const char* name;
    const char* source;
    std::vector<int> lines;  // the lines after which the end can be reached
  };
  const Case cases[] = {
      {"last text", "wait 1\ntext \"a\"\n", {2}},
      {"ends with exitscript", "text \"a\"\nexitscript\n", {}},
      {"ends with endgame", "text \"a\"\nendgame", {}},
      {"ends with jumpscript", "jumpscript \"next\"", {}},
      {"a sub-script call comes back", "callscript \"sub\"", {1}},
      {"a loop", "top:\nwait 1\ngoto top\n", {}},
      {"if without else", "if $1 == 0 {\n  exitscript\n}\n", {1}},
      {"if and else both end", "if $1 == 0 {\n  exitscript\n} else {\n  endgame\n}\n", {}},
      {"elsif without else",
       "if $1 == 0 {\n  exitscript\n} elsif $1 == 1 {\n  endgame\n}\nwait 1\n", {6}},
      {"a body that falls out", "if $1 == 0 {\n  wait 1\n} else {\n  exitscript\n}\n", {3}},
      {"subroutine without return", "call sub\nexitscript\nsub:\n  wait 2\n", {4}},
      {"subroutine with return", "call sub\nexitscript\nsub:\n  wait 2\n  return\n", {}},
      {"a label the game may jump to", "exitscript\nlater:\n  text \"x\"\n", {3}},
      {"a case body", "case 1 {\n  wait 1\n}\nexitscript\n", {}},
      {"raw words are not followed", ".words 3 0x66660002 0x55560001\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const zasm::Assembly a = zasm::Assemble(c.source);
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    std::vector<std::string> expected;
    for (int line : c.lines)
      expected.push_back("line " + std::to_string(line) +
                         ": the script can run off its end after this line (end it with exitscript, "
                         "endgame or jumpscript)");
    EXPECT_EQ(a.warnings, expected);
  }
}

// The game goes on at label (answer + label base) after a choice; an answer
// with no such label silently goes on after the choice.
TEST(AssemblerTest, WarnsWhenAChoiceAnswerHasNoLabel) {
  struct Case {
    const char* name;
    std::string source;
    std::string warning;  // a part of the one warning expected; empty: none
  };
  const std::string tail = "\na:\n  endgame\nb:\n  endgame\n";
  const Case cases[] = {
      {"label base 0: answer 1 at the second label", "choice \"x\" \"y\"" + tail,
       "line 1: answer 2 of this choice has no label, so the run goes on after the choice (answer k goes on at "
       "label k + 0, the label base, of the 2 labels counted from 0; answers with a label: 1 at b)"},
      {"label base -1", ".labelbase -1\nchoice \"x\" \"y\"" + tail, ""},
      {"question lines are not answers", ".labelbase -1\nchoice \"xq\" \"y\" / \"z\"" + tail, ""},
      {"a time limit goes on at the answer after the last",
       ".labelbase -1\nchoice time=500 \"x\" \"y\"" + tail, "answer 3 of this choice"},
      {"or at its timeout answer", ".labelbase -1\nchoice time=500 timeout=1 \"x\" \"y\"" + tail, ""},
      {"no labels at all", "choice \"x\"\nendgame\n", "answers with a label: none"},
      {"a text past 254 bytes", ".labelbase -1\nchoice \"" + std::string(255, 'a') + "\" \"y\"" + tail,
       "a choice text of 255 bytes is cut to its first 254 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const zasm::Assembly a = zasm::Assemble(c.source);
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    if (c.warning.empty()) {
      EXPECT_TRUE(a.warnings.empty()) << a.warnings[0];
    } else {
      ASSERT_EQ(a.warnings.size(), 1u);
      EXPECT_NE(a.warnings[0].find(c.warning), std::string::npos) << a.warnings[0];
    }
  }
  std::string many = ".labelbase -1\nchoice";
  for (int i = 0; i < 65; ++i) many += " \"c\"";
  many += "\n";
  for (int i = 0; i < 65; ++i) {
    many += 'l';
    many += std::to_string(i);
    many += ":\n";
  }
  many += "endgame\n";
  const zasm::Assembly a = zasm::Assemble(many);
  ASSERT_EQ(a.warnings.size(), 1u);
  EXPECT_EQ(a.warnings[0], "line 2: the choice has 65 texts; the game shows the first 64");
}

// An answer line without `-> label` goes on at whatever label its number
// reaches, or after the choice: each such line is named with where it goes.
TEST(AssemblerTest, WarnsOnEveryAnswerLineWithoutItsLabel) {
  const std::string labels = "exitscript\nsea:\n  exitscript\ntown:\n  exitscript\n";
  struct Case {
    const char* name;
    std::string source;
    std::vector<std::string> warnings;
    size_t reaching;  // how many of them reach a label (zor-check repeats those)
  };
  const Case cases[] = {
      {"the second answer reaches the label after the first's",
       "choice \"Q\"\n  answer \"A\" -> sea\n  answer \"B\"\n" + labels,
       {"line 3: answer 2 of this choice has no \"-> label\", so it goes on at label town (label number 2 + "
        "the label base -1, whatever label stands there); write \"-> town\" on its line if that is meant"},
       1},
      {"no label at all: base 0, answer 2 is past the labels",
       "choice \"Q\"\n  answer \"A\"\n  answer \"B\"\n" + labels,
       {"line 2: answer 1 of this choice has no \"-> label\", so it goes on at label town (label number 1 + "
        "the label base 0, whatever label stands there); write \"-> town\" on its line if that is meant",
        "line 3: answer 2 of this choice has no \"-> label\", and no label stands at label number 2 + the label "
        "base 0 (the script has 2 labels counted from 0), so the run goes on after the choice; name its label: "
        "answer \"...\" -> label"},
       1},
      {"a time limit without its timeout line",
       "choice time=500 \"Q\"\n  answer \"A\" -> sea\n" + labels,
       {"line 1: the time limit's answer 2 of this choice has no \"timeout -> label\" line, so it goes on at "
        "label town (label number 2 + the label base -1, whatever label stands there); write \"timeout -> "
        "town\" after the answers if that is meant"},
       1},
      {"a timeout answer that is an answer line's", "choice time=500 timeout=1 \"Q\"\n  answer \"A\" -> sea\n" + labels,
       {}, 0},
      {"every answer named", "choice \"Q\"\n  answer \"A\" -> sea\n  answer \"B\" -> town\n" + labels, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const zasm::Assembly a = zasm::Assemble(c.source);
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    EXPECT_EQ(a.warnings, c.warnings);
    ASSERT_EQ(a.unlabelledAnswers.size(), c.reaching);
    if (c.reaching > 0) {
      EXPECT_EQ(a.unlabelledAnswers[0].line, std::stoi(c.warnings[0].substr(5)));
      EXPECT_EQ("line " + std::to_string(a.unlabelledAnswers[0].line) + ": " + a.unlabelledAnswers[0].text,
                c.warnings[0]);
    }
  }
}

// Answer lines name each answer's label; the assembler works out the label
// base from them and writes what the one-line form with `.labelbase`
// writes.
TEST(AssemblerTest, AnswerLinesNameTheirLabels) {
  const std::string labels = "exitscript\nsea:\n  exitscript\ntown:\n  exitscript\nlate:\n  exitscript\n";
  struct Case {
    const char* name;
    std::string source, same;  // `same`: a text that assembles to the same words
    int base;
  };
  const Case cases[] = {
      {"labels first: base -1", "choice \"Where?\"\n  answer \"Sea\" -> sea\n  answer \"Town\" -> town\n" + labels,
       ".labelbase -1\nchoice \"xWhere?\" \"Sea\" / \"Town\"\n" + labels, -1},
      {"after another label: base 0",
       "start:\nchoice\n  answer \"Sea\" -> sea ; answer \"Town\" -> town\n" + labels,
       "start:\nchoice \"Sea\" \"Town\"\n" + labels, 0},
      {"a timeout label", "choice time=500 \"Q\"\n  answer \"Sea\" -> sea\n\n  answer \"Town\" -> town\n  timeout -> late\n" + labels,
       ".labelbase -1\nchoice time=500 \"xQ\" \"Sea\" / \"Town\"\n" + labels, -1},
      {"two choices share the labels; .labelbase agrees",
       ".labelbase -1\nif 1\n  choice \"A\"\n    answer \"1\" -> sea\nchoice \"B\"\n  answer \"2\" -> sea\n  answer \"3\" -> town\n" + labels,
       ".labelbase -1\nif 1\n  choice \"xA\" / \"1\"\nchoice \"xB\" \"2\" / \"3\"\n" + labels, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const zasm::Assembly a = zasm::Assemble(c.source);
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    EXPECT_TRUE(a.warnings.empty()) << a.warnings[0];
    EXPECT_EQ(static_cast<int32_t>(a.words[kHeaderLabelBase]), c.base);
    const zasm::Assembly same = zasm::Assemble(c.same);
    ASSERT_TRUE(same.ok()) << same.ErrorText();
    EXPECT_EQ(a.words, same.words);
  }
  // The listing shows each answer with the label it goes on at.
  const zasm::Assembly a = zasm::Assemble(cases[2].source);
  const std::string listing = zasm::Disassemble(a.words);
  EXPECT_NE(listing.find("question \"Q\"\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("answer 2 \"Town\" -> label 1 (word " + std::to_string(a.LabelWord("town")) + ")"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("timeout: answer 3 -> label 2"), std::string::npos) << listing;
  // A damaged choice whose question count runs past its record lists the
  // record's words and nothing of its texts.
  std::vector<uint32_t> damaged(32, 0);
  damaged[0] = 16;
  const uint32_t record[] = {10, static_cast<uint32_t>(kClassText), static_cast<uint32_t>(kTextChoice), 3,
                             0,  0,  0,  0,  0, 100};
  std::copy(std::begin(record), std::end(record), damaged.begin() + 16);
  const std::string damagedListing = zasm::Disassemble(damaged);
  EXPECT_EQ(damagedListing.find("question"), std::string::npos) << damagedListing;
  EXPECT_EQ(damagedListing.find("answer"), std::string::npos) << damagedListing;

  const struct {
    std::string source, error;
  } wrong[] = {
      {"choice\n  answer \"A\" -> town\n  answer \"B\" -> sea\n" + labels,
       "line 3: answer 2 -> sea is not where the game goes: answer k goes on at label number k + the label base, "
       "which answer 1 -> town on line 2 makes 0, so answer 2 goes to label late"},
      {".labelbase 0\nchoice\n  answer \"A\" -> sea\n" + labels,
       "line 3: answer 1 -> sea is not where the game goes: answer k goes on at label number k + the label base, "
       "which `.labelbase 0` on line 1 makes 0, so answer 1 goes to label town"},
      {"choice\n  answer \"A\" -> sea\nchoice\n  answer \"B\" -> town\n" + labels, "line 4: answer 1 -> town"},
      {"choice\n  answer \"A\" -> sea\n  timeout -> town\n" + labels, "line 3: timeout -> town needs a time limit"},
      {"choice time=5 timeout=1\n  answer \"A\" -> sea\n  timeout -> town\n" + labels,
       "line 3: timeout -> town but the timeout is answer 1, which goes to sea"},
      {"choice \"Q\" \"A\" / \"B\"\n  answer \"C\" -> sea\n" + labels, "line 1: this choice has answers both"},
      {"choice\n  answer \"A\" -> nowhere\n" + labels, "line 2: label nowhere is not defined"},
      {"choice \"A\" -> sea\n" + labels, "line 1: a choice's labels go on its answer lines"},
  };
  for (const auto& c : wrong) {
    const zasm::Assembly bad = zasm::Assemble(c.source);
    EXPECT_NE(bad.ErrorText().find(c.error), std::string::npos) << c.source << "\ngot: " << bad.ErrorText();
    EXPECT_TRUE(bad.warnings.empty()) << bad.warnings[0];
  }
}

// The game drops the first byte of a question line: the assembler writes
// that mark, and keeps one a text already starts with.
TEST(AssemblerTest, QuestionLinesGetTheMarkTheGameDrops) {
  const struct {
    std::string source, first, warning;
  } cases[] = {
      {"choice \"Where?\" \"A\" / \"B\"", "xWhere?", ""},
      {"choice \"xWhere?\" \"A\" / \"B\"", "xWhere?", ""},
      {"choice \"\" \"A\" / \"B\"", "x", ""},
      {"choice \"A\" \"B\"", "A", ""},
      {"choice \"xylophone?\"\n answer \"A\" -> a", "xylophone?",
       "line 2: question line 1 starts with x, which is taken for the mark the game drops, so it shows "
       "\"ylophone?\"; write \"xxylophone?\" to show the x"},
      {"choice \"xxylophone?\"\n answer \"A\" -> a", "xxylophone?", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const zasm::Assembly a = zasm::Assemble(".labelbase -1\n" + c.source + "\nexitscript\na:\nexitscript\nb:\nexitscript\n");
    ASSERT_TRUE(a.ok()) << a.ErrorText();
    const Words record = FirstRecord(a);
    const uint32_t string = a.words[a.words[kHeaderStringTable] + record.at(4)];
    EXPECT_STREQ(reinterpret_cast<const char*>(&a.words[string]), c.first.c_str());
    if (c.warning.empty()) {
      EXPECT_TRUE(a.warnings.empty()) << a.warnings[0];
    } else {
      ASSERT_EQ(a.warnings.size(), 1u);
      EXPECT_EQ(a.warnings[0], c.warning);
    }
  }
  // A question line of 255 bytes with its mark is shown whole.
  const zasm::Assembly a =
      zasm::Assemble(".labelbase -1\nchoice \"" + std::string(254, 'q') + "\" \"A\" / \"B\"\nexitscript\na:\nexitscript\nb:\nexitscript\n");
  EXPECT_TRUE(a.warnings.empty()) << a.warnings[0];
}

TEST(AssemblerTest, EscapesCommentsAndSeparators) {
  const zasm::Assembly a = zasm::Assemble(
      "\xEF\xBB\xBF# comment\nvar x 100 // another\nx = 1; x = 2\ntext \"a\\\"b\\\\c\\x82\\xA0\"\n");
  ASSERT_TRUE(a.ok()) << a.ErrorText();
  const uint32_t text = a.words[a.words[kHeaderMessageTable]];
  EXPECT_STREQ(reinterpret_cast<const char*>(&a.words[text]), "a\"b\\c\x82\xA0");
  EXPECT_EQ(a.words[32 + 8 + 8 + 1], static_cast<uint32_t>(kClassText));
}

}  // namespace
}  // namespace script_test
