// CGameVariables: the variable range, the layer map, the computed system
// variables and a new game's reset.
#include <string>
#include <vector>

#include "script_fixture.h"
#include "setup/namelist.h"
#include "setup/random.h"

namespace script_test {
namespace {

using namespace script;

TEST(GameVariablesTest, OnlyZeroTo999AreStored) {
  CGameVariables vars;
  vars.SetVar(0, 11);
  vars.SetVar(999, 12);
  vars.SetVar(1000, 13);
  vars.SetVar(-1, 14);
  struct Case {
    int n, value;
  };
  for (const Case& c : {Case{0, 11}, Case{999, 12}, Case{1000, 0}, Case{-2, 0x7FFE} /* bit 15 set */, Case{-0x10000, 0},
                        Case{0x8000 | 5, 5}, Case{0x8000 | 1000, 1000}, Case{40000, 40000 & 0x7FFF},
                        Case{0x7FFF, 0}}) {
    EXPECT_EQ(vars.GetVar(c.n), c.value) << c.n;
  }
}

TEST(GameVariablesTest, MappedVariablesSwitchTheirLayerOff) {
  RecordingGame host;
  CGameVariables& vars = host.vars;
  vars.SetLayerVar(150, 3);
  vars.SetLayerVar(151, 15);
  vars.SetLayerVar(152, 16);  // no such layer: not mapped
  EXPECT_EQ(vars.GetLayerOfVar(152), -1);

  vars.SetVar(150, 1);
  EXPECT_EQ(vars.GetLayerOffMask(), 1 << 3);
  vars.SetVar(151, -5);
  EXPECT_EQ(vars.GetLayerOffMask(), (1 << 3) | (1 << 15));
  vars.SetVar(150, 0);
  EXPECT_EQ(vars.GetLayerOffMask(), 1 << 15);
  vars.SetVar(152, 1);
  vars.SetVar(10, 1);
  EXPECT_EQ(host.layers, (std::vector<std::pair<int, bool>>{{3, true}, {15, true}, {3, false}}));
  EXPECT_EQ(vars.GetVar(150), 0);
  EXPECT_EQ(vars.GetVar(151), -5);

  vars.SetLayerVar(150, -1);
  vars.SetVar(150, 1);
  EXPECT_EQ(host.layers.size(), 3u);
}

class SystemVarTest : public ScriptTest {
 protected:
  // A variable-name list with the names at the given numbers.
  void Names(const std::vector<std::pair<int, const char*>>& names) {
    CNameList list(64);
    for (int i = 0; i < 40; ++i) list.SetName(i, "");
    for (const auto& [n, name] : names) list.SetName(n, name);
    game_.vars.LookUpSystemVars(list);
  }
};

TEST_F(SystemVarTest, ComputedVariablesAnswerByNumber) {
  host_.SetEpochBase(1700000000);  // 2023-11-14 22:13:20, a Tuesday
  host_.AdvanceClock(1234);
  Names({{1, "systemyear"},  {2, "systemmonth"},  {3, "systemday"},  {4, "systemhour"},
         {5, "systemminute"}, {6, "systemsecond"}, {7, "systemweek"}, {8, "systemmillisecond"},
         {9, "direct3d"},    {10, "pixelshader"}, {11, "vertexshader"}, {12, "mousex"},
         {13, "expmode2"},   {14, "Direct3D"}});
  game_.vars.SetVar(11, 77);
  game_.vars.SetVar(14, 88);
  game_.vars.SetVar(20, 99);
  struct Case {
    int n, value;
  };
  for (const Case& c : {Case{1, 2023}, Case{2, 11}, Case{3, 14}, Case{4, 22}, Case{5, 13},
                        Case{6, 21}, Case{7, 2}, Case{8, 234}, Case{9, 2}, Case{10, 0},
                        Case{11, 0}, Case{12, 123}, Case{13, 0}, Case{14, 88}, Case{20, 99}}) {
    EXPECT_EQ(game_.vars.GetSystemVar(c.n), c.value) << c.n;
  }
  EXPECT_EQ(game_.vars.GetSystemVarNumber(SystemVar::kMouseX), 12);
  EXPECT_EQ(game_.vars.GetSystemVarNumber(SystemVar::kRnd), -1);
  EXPECT_TRUE(host_.Boxes().empty());  // names a game does not use are no error

  // Scripts see them through lists for numbers below 100.
  Load("var sx 12\nvar plain 150\nplain = sx + 1\nendgame\n");
  EXPECT_EQ(script_->Run(), kStopAfterB);
  EXPECT_EQ(game_.vars.GetVar(150), 124);
}

TEST_F(SystemVarTest, RndDrawsBelow30000FromTheSharedGenerator) {
  Names({{30, "rnd"}});
  crt::ResetRandom();
  crt::srand(12345);
  std::vector<int> expected;
  for (int i = 0; i < 200; ++i) {
    int r;
    do r = crt::rand(); while (r >= 30000);
    expected.push_back(r % 10000);
  }
  crt::srand(12345);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(game_.vars.GetSystemVar(30), expected[i]) << i;
}

TEST(GameVariablesTest, ANewGameClearsTheStoryRanges) {
  CGameVariables vars;
  CNameList init(1024);
  for (int i = 0; i < 400; ++i) init.Add(std::to_string(i * 2).c_str(), true);
  for (int n : {50, 150, 250, 350, 999}) vars.SetVar(n, 7);
  vars.StartNewGame(&init);
  struct Case {
    int n, value;
  };
  // Tokens exist up to 399; 999 has none and becomes 0.
  for (const Case& c : {Case{50, 7}, Case{150, 300}, Case{250, 7}, Case{350, 700}, Case{999, 0}}) {
    EXPECT_EQ(vars.GetVar(c.n), c.value) << c.n;
  }
  vars.SetVar(150, 5);
  vars.StartNewGame(nullptr);
  EXPECT_EQ(vars.GetVar(150), 0);
  EXPECT_EQ(vars.GetVar(250), 7);
}

}  // namespace
}  // namespace script_test
