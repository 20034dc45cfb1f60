// Expressions: operand words, the postfix list, every operator, result
// packing, the limits and the error texts.
#include <climits>
#include <cstdio>
#include <string>
#include <tuple>

#include "script_fixture.h"

namespace script_test {
namespace {

using namespace script;
using testsupport::Sjis;

std::string Hex(uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", word);
  return text;
}

std::string Lit(int v) { return Hex(kLiteral | (static_cast<uint32_t>(v) & 0xFFFF)); }

std::string Op(uint32_t group, char c) { return Hex(Operator(group, c)); }

class ExpressionTest : public ScriptTest {
 protected:
  // The value of `expr`, passed as the argument of a function call.
  int Value(const std::string& expr, const std::string& prelude = "") {
    game_.calls.clear();
    Load("var x 100\nvar y 101\nvar s 5\n" + prelude + "func 1 (" + expr + ")\nendgame\n");
    EXPECT_EQ(script_->Run(), kStopAfterB) << expr;
    if (game_.calls.empty() || game_.calls.back().words.empty()) return INT_MIN + 1;
    return game_.calls.back().words[0];
  }
};

TEST_F(ExpressionTest, ArithmeticIsTwosComplementWithoutTraps) {
  struct Case {
    const char* expr;
    int value;
  };
  const Case cases[] = {
      {"7 / 0", 7},
      {"7 % 0", 0},
      {"-7 / 2", -3},
      {"-7 % 2", -1},
      {"7 % -2", 1},
      {"-2147483648 / -1", INT_MIN},
      {"-2147483648 % -1", 0},
      {"2147483647 / -1", -INT_MAX},
      {"2147483647 + 1", INT_MIN},
      {"-2147483648 - 1", INT_MAX},
      {"65536 * 65536", 0},
      {"46341 * 46341", static_cast<int>(46341u * 46341u)},
      {"12 & 10", 8},
      {"12 | 10", 14},
      {"12 ^ 10", 6},
      {"2 + 3 * 4", 14},
      {"(2 + 3) * 4", 20},
      {"10 - 4 - 3", 3},
      {"100 / 10 / 5", 2},
      {"-(3 + 4)", -7},
      {"32767 + 1", 32768},
      {"0xFFFFFFFF", -1},
      {"3 < 4", 1},
      {"4 < 4", 0},
      {"4 <= 4", 1},
      {"5 > 4", 1},
      {"4 >= 5", 0},
      {"4 == 4", 1},
      {"4 != 4", 0},
      {"2 && 3", 1},
      {"2 && 0", 0},
      {"0 || -1", 1},
      {"0 || 0", 0},
      {"1 ^^ 1", 0},
      {"1 ^^ -3", 0},
      {"0 ^^ -3", 1},
      {"!0", 1},
      {"!5", 0},
      {"1 + 2 < 4 && 3 == 3", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Value(c.expr), c.value) << c.expr;
    EXPECT_EQ(script_->GetErrorCount(), 0) << c.expr << ": " << testsupport::Utf8(script_->GetError());
  }
}

TEST_F(ExpressionTest, OperandWordsAndSingleWords) {
  game_.vars.SetVar(5, 50);
  game_.vars.SetVar(100, 10);
  struct Case {
    std::string expr;
    int value;
  };
  const Case cases[] = {
      {"@0x9000FFFF", -1},
      {"@0x90008000", -32768},
      {"@0x90007FFF", 32767},
      {"@0xC0000005", static_cast<int>(0xC0000005u)},
      {"@0xDFFFFFFF", static_cast<int>(0xDFFFFFFFu)},
      {"@0x80008005", 5},            // variable word with bit 15: the game's literal
      {"[0x80008005]", 5},           // in a list: the literal itself
      {"@0x92000003", 0},            // a temporary nobody wrote yet
      {"x", 10},
      {"[x]", 10},
      {"s", 50},
      {"[" + Lit(-2) + " " + Lit(3) + " " + Op(kGroupArith, '*') + "]", -6},
  };
  for (const Case& c : cases) EXPECT_EQ(Value(c.expr), c.value) << c.expr;

  // Which operation a variable is read with.
  struct Read {
    const char* expr;
    int systemReads, plainReads;
  };
  for (const Read& r : {Read{"x", 1, 0}, Read{"x + 0", 0, 1}, Read{"s + 0", 1, 0},
                        Read{"[x]", 0, 1}}) {
    game_.systemVarReads = game_.varReads = 0;
    Value(r.expr);
    EXPECT_EQ(game_.systemVarReads, r.systemReads) << r.expr;
    EXPECT_EQ(game_.varReads, r.plainReads) << r.expr;
  }
}

TEST_F(ExpressionTest, ConstantsComeFromTheTable) {
  EXPECT_EQ(Value("@0x91000001", "x = 100000 + 7000000\n"), 7000000);
  EXPECT_EQ(script_->GetIntConstant(0), 100000);
  EXPECT_EQ(Value("@0x91000002", "x = 100000\n"), 0);
  EXPECT_STREQ(script_->GetError(), "constant 2 is out of range");
}

TEST_F(ExpressionTest, ResultsOutsideTheLiteralRangeUseTemporaries) {
  const std::string add = Op(kGroupArith, '+'), sub = Op(kGroupArith, '-');
  Load("func 1 ([" + Lit(30000) + " " + Lit(30000) + " " + add + "])\n" +      // 60000
       "func 1 ([" + Lit(0) + " " + Lit(32767) + " " + sub + "])\n" +          // -32767
       "func 1 ([" + Lit(7) + " " + Lit(0) + " " + Lit(32767) + " " + sub + " " + Lit(1) + " " +
       sub + " " + add + "])\n" +                                               // 7 + -32768
       "func 1 ([" + Lit(0) + " " + Lit(32767) + " " + sub + " " + Lit(1) + " " + sub + "])\n" +
       "endgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  ASSERT_EQ(game_.calls.size(), 4u);
  EXPECT_EQ(game_.calls[0].words[0], 60000);
  EXPECT_EQ(game_.calls[1].words[0], -32767);
  EXPECT_EQ(game_.calls[2].words[0], -32761);
  EXPECT_EQ(game_.calls[3].words[0], -32768);
  // The first result went into temporary 0; -32767 was a literal and left it;
  // -32768 in position 1 used temporary 1, then position 0 held it.
  EXPECT_EQ(script_->GetTemporary(1), -32768);
  EXPECT_EQ(script_->GetTemporary(0), -32768);

  Load("func 1 ([" + Lit(30000) + " " + Lit(30000) + " " + add + "])\nfunc 1 ([" + Lit(0) + " " +
       Lit(32767) + " " + sub + "])\nendgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(script_->GetTemporary(0), 60000);
}

TEST_F(ExpressionTest, AssignmentsWriteThroughTheGame) {
  struct Case {
    std::string expr;
    int before, value, after;
  };
  const Case cases[] = {
      {"x = 5", 1, 5, 5},
      {"x += 3", 10, 13, 13},
      {"x -= 3", 10, 7, 7},
      {"x *= 3", 10, 30, 30},
      {"x /= 3", 10, 3, 3},
      {"x /= 0", 10, 10, 10},
      {"x %= 3", 10, 1, 1},
      {"x %= 0", 10, 0, 0},
      {"x &= 6", 10, 2, 2},
      {"x |= 5", 10, 15, 15},
      {"x ^= 15", 10, 5, 5},
      {"[x " + Lit(0) + " " + Op(kGroupAssign, '!') + "]", 10, 1, 1},
      {"[x " + Lit(7) + " " + Op(kGroupAssign, '!') + "]", 10, 0, 0},
      // "!" on a variable inverts the variable itself.
      {"!x", 10, 0, 0},
      {"!x", 0, 1, 1},
      {"x = y = 7", 1, 7, 7},
  };
  for (const Case& c : cases) {
    game_.vars.SetVar(100, c.before);
    EXPECT_EQ(Value(c.expr), c.value) << c.expr;
    EXPECT_EQ(game_.vars.GetVar(100), c.after) << c.expr;
    EXPECT_EQ(script_->GetErrorCount(), 0) << c.expr;
  }
  EXPECT_EQ(game_.vars.GetVar(101), 7);

  // The equality operators of the other groups.
  for (const auto& [group, a, b, value] :
       {std::tuple{kGroupAssign, 3, 3, 1}, std::tuple{kGroupAssign, 3, 4, 0},
        std::tuple{kGroupLogic, 4, 4, 1}, std::tuple{kGroupLogic, 4, -4, 0}}) {
    EXPECT_EQ(Value("[" + Lit(a) + " " + Lit(b) + " " + Op(group, '=') + "]"), value);
  }
}

TEST_F(ExpressionTest, ErrorsGiveZeroAndTheirMessage) {
  const std::string one = Lit(1), two = Lit(2);
  struct Case {
    std::string list;
    const char* message;
  };
  const Case cases[] = {
      {Lit(5) + " " + Lit(3) + " " + Op(kGroupArith, '='), "代入演算エラー(変数以外に代入しています)"},
      {Lit(5) + " " + Lit(3) + " " + Op(kGroupAssign, '+'), "代入演算エラー(変数以外に代入しています)"},
      {"0x80008005 " + Lit(3) + " " + Op(kGroupArith, '='), "代入演算エラー(変数以外に代入しています)"},
      {Op(kGroupArith, '='), "代入演算エラー(パラメータ不足)"},
      {Op(kGroupArith, '!'), "単項演算エラー(パラメータ不足)"},
      {one + " " + Op(kGroupArith, '+'), "代入演算エラー(パラメータ不足)"},
      {one + " " + Op(kGroupAssign, '='), "代入演算エラー(パラメータ不足)"},
      {one + " " + Op(kGroupAssign, '*'), "代入演算エラー(パラメータ不足)"},
      {one + " " + Op(kGroupLogic, '&'), "演算エラー(パラメータ不足)4"},
      {one + " " + Op(kGroupLess, '<'), "演算エラー(パラメータ不足)5"},
      {one + " " + Op(kGroupCompare, '='), "演算エラー(パラメータ不足)6"},
      {one + " " + two + " " + Op(kGroupArith, '@'), "不当な演算子エラー1"},
      {one + " " + two + " " + Op(kGroupAssign, '@'), "不当な演算子エラー2"},
      {one + " " + two + " " + Op(kGroupLogic, '<'), "不当な演算子エラー3"},
      {one + " " + two + " " + Op(kGroupLess, '='), "不当な演算子エラー4"},
      {one + " " + two + " " + Op(kGroupCompare, '&'), "不当な演算子エラー5"},
      {one + " " + two + " " + Op(0xA1, '+'), "存在しにゃいかつかえない演算子です"},
      {one + " " + two + " " + Op(0xAF, '+'), "存在しにゃいかつかえない演算子です"},
      {"0x12345678", "計算式につかえないものがあります"},
      {one + " 0xB0000000", "計算式につかえないものがあります"},
      {one + " " + two, "ポーランド演算スタックがへんです"},
      {"0x93000001", "変数でも数値でもにゃいのに・・・"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Value("[" + c.list + "]"), 0) << c.list;
    EXPECT_EQ(testsupport::Utf8(script_->GetError()), c.message) << c.list;
  }
  // Single words that are no operand.
  for (const char* word : {"@0x12345678", "@0xA0000001", "@0xB0000000", "@0xF0000000"}) {
    EXPECT_EQ(Value(word), 0) << word;
    EXPECT_EQ(script_->GetError(), Sjis("変数でも数値でもにゃいのに・・・")) << word;
  }
}

TEST_F(ExpressionTest, TheStackHolds255Operands) {
  auto list = [](int pushes) {
    std::string text = "[";
    for (int i = 0; i < pushes; ++i) text += Lit(1) + " ";
    for (int i = 1; i < pushes; ++i) text += Op(kGroupArith, '+') + " ";
    return text + "]";
  };
  EXPECT_EQ(Value(list(255)), 255);
  EXPECT_EQ(script_->GetErrorCount(), 0);
  EXPECT_EQ(Value(list(256)), 0);
  EXPECT_EQ(script_->GetError(), Sjis("計算式が複雑すぎますにゃ"));
}

TEST_F(ExpressionTest, AnEmptyListGivesTheBottomEntryOfTheLastOne) {
  Load("func 1 ([" + Lit(7) + "])\nfunc 1 ([])\nendgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  ASSERT_EQ(game_.calls.size(), 2u);
  EXPECT_EQ(game_.calls[1].words[0], 7);
}

TEST_F(ExpressionTest, AListLongerThanItsRecordIsAnError) {
  // Function call with one argument: a list that claims 5 tokens but has 1.
  Load(".record 0x66660004 1 1 0xA0000000 5 " + Lit(9) + "\nendgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_STREQ(script_->GetError(), "expression at word 36 runs past its record");
  ASSERT_EQ(game_.calls.size(), 1u);
  EXPECT_EQ(game_.calls[0].words[0], 0);

  // CalcuExpression outside the loaded words.
  int used = 0;
  EXPECT_EQ(script_->CalcuExpression(script_->GetWordCount(), &used), 0);
  EXPECT_EQ(used, 1);
  EXPECT_EQ(script_->CalcuExpression(-3, nullptr), 0);
}

TEST_F(ExpressionTest, CalcuExpressionReportsTheWordsItUsed) {
  CScript& script = Load("var x 100\nx = 2 + 3\nx = 4\nendgame\n");
  int used = 0;
  // Header (32), then the first expression record's word 3.
  EXPECT_EQ(script.CalcuExpression(32 + 3, &used), 5);
  EXPECT_EQ(used, 2 + 5);
  EXPECT_EQ(script.CalcuExpression(32 + 10 + 3, &used), 4);
  EXPECT_EQ(used, 2 + 3);
  EXPECT_EQ(CScript::GetVarNumber(0x80000064u), 100);
  EXPECT_EQ(CScript::GetVarNumber(0x80008005u), 0x8005);
  EXPECT_EQ(CScript::GetVarNumber(0x90000064u), -1);
}

}  // namespace
}  // namespace script_test
