// Mode 40, the mini-game host: its settings and their bounds, the check
// areas and the start check, a visit's pictures, pages and exit, and what a
// cleared game records and unlocks.
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "modebase/minigamehost.h"
#include "minigame_fixture.h"
#include "support/fake_services.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"

namespace minigame_mode_test {
namespace {

using Lines = std::vector<std::string>;

// The fake with mode 40 made again over the stand-in game, after the lists
// are written, and the system pictures of its cache.
class MiniGameGame : public testsupport::FakeServices {
 public:
  explicit MiniGameGame(platform::HeadlessBackend& host) : FakeServices(host) { UseSystemPictures(); }
  CCommonMiniGame* Remake() { return MakeMode<CCommonMiniGame>(minigame_test::StandInTypes()); }
  void SetNumber(int n) { SetMiniGameResult(n); }
};

class MiniGameTest : public MiniGameFixture<MiniGameGame> {};

TEST_F(MiniGameTest, EntriesKeepTheirPlacesAndCountsAreBounded) {
  // Entry 1 absent, 2 the stand-in, 3 a type without a game yet, 4 type 11.
  auto* mode = Make({{"addMiniGame", "4"}, {"miniGame2", "1"}, {"miniGame3", "5"}, {"miniGame4", "11"},
                     {"miniGame5", "1"}});
  CAllMiniGame* holder = mode->GetHolder();
  ASSERT_EQ(holder->GetCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(holder->GetGame(i) != nullptr, i == 1) << i;
  EXPECT_EQ(mode->GetAreaCount(), 4) << "one area per game by default";

  for (const auto& [add, check, games, areas] :
       std::vector<std::array<const char*, 4>>{{"40", "", "32", "32"}, {"3", "99", "3", "32"}, {"-5", "-2", "0", "0"}}) {
    Pairs pairs = {{"addMiniGame", add}};
    if (*check) pairs.push_back({"miniGameCheckNumber", check});
    Make(pairs);
    EXPECT_EQ(mode_->GetHolder()->GetCount(), std::stoi(games)) << add;
    EXPECT_EQ(mode_->GetAreaCount(), std::stoi(areas)) << add << " " << check;
  }
}

TEST_F(MiniGameTest, AreasInheritFromTheOneBeforeAndUnlockListsAreBounded) {
  auto* mode = Make({{"addMiniGame", "3"}, {"miniGameCheckMode1", "title"}, {"miniGameCheckX1", "10"},
                     {"miniGameCheckY1", "20"}, {"miniGameCheckSizeX1", "30"}, {"miniGameCheckSizeY1", "40"},
                     {"miniGameCheckY3", "99"}, {"miniGameDescNumber1", "-4"}, {"setCGNumber2", "500"},
                     {"setCGPlayer1", "2"}, {"setCGParam1", "5"}, {"setCGNumber1", "2"},
                     {"setCGPlayer1_2", "3"}, {"setCGParam1_2", "4"}});
  const auto& a1 = mode->GetArea(0);
  const auto& a2 = mode->GetArea(1);
  const auto& a3 = mode->GetArea(2);
  EXPECT_EQ(a1.checkMode, 4);
  EXPECT_EQ((std::vector<int>{a2.x, a2.y, a2.w, a2.h, a2.checkMode}), (std::vector<int>{40, 20, 30, 40, 4}));
  EXPECT_EQ((std::vector<int>{a3.x, a3.y}), (std::vector<int>{70, 99}));
  EXPECT_EQ(a1.pages, 0);
  EXPECT_EQ(a2.cgs.size(), 127u);
  EXPECT_EQ(a1.cgs, (std::vector<std::pair<int, int>>{{2, 5}, {3, 4}}));
  // Defaults without a list entry: area 1 of mode 15 at (0, 0), 16 x 16.
  auto* plain = Make({{"addMiniGame", "1"}});
  EXPECT_EQ((std::vector<int>{plain->GetArea(0).x, plain->GetArea(0).w, plain->GetArea(0).checkMode}),
            (std::vector<int>{0, 16, 15}));
}

TEST_F(MiniGameTest, PictureSetsTakeTheirCellSizesAndTheNarrowSheetFlag) {
  Picture("sys/cards", 96 * 12, 144, 0x102030);
  Picture("sys/tiles", 64, 64, 0x203040);
  auto* mode = Make({{"trumpPicFileName", "cards"}, {"mahjongPicFileName", "tiles"}, {"mahjongPicSizeX", "0"},
                     {"mahjongPicSizeY", "24"}, {"panelPicSizeX", "40"}});
  CAllMiniGame* holder = mode->GetHolder();
  ASSERT_NE(holder->GetSetPicture(0), nullptr);
  EXPECT_EQ(holder->GetSetFlag(0), 1) << "12 cards a row";
  int w = 0, h = 0;
  holder->GetCellSize(1, &w, &h);
  EXPECT_EQ(w * 1000 + h, 16024) << "a size below 1 keeps the default";
  holder->GetCellSize(2, &w, &h);
  EXPECT_EQ(w, 16) << "sizes are read only for a named picture";
  Picture("sys/cards13", 96 * 13, 144, 0x102030);
  EXPECT_EQ(Make({{"trumpPicFileName", "cards13"}})->GetHolder()->GetSetFlag(0), 0);
}

TEST_F(MiniGameTest, AreasAreCheckedForTheirModeAndVariable) {
  Game().SetVarNumber("open", 120);
  Game().SetVar(120, 0);
  auto* mode = Make({{"addMiniGame", "3"}, {"miniGameCheckMode1", "4"}, {"miniGameCheckX1", "100"},
                     {"miniGameCheckY1", "100"}, {"checkVarName2", "open"}, {"miniGameCheckMode3", "15"},
                     {"miniGameCheckX3", "100"}});
  struct Case {
    int mode, x, y, open, area;
  };
  const Case cases[] = {
      {4, 105, 105, 0, 0},  {4, 115, 115, 0, 0}, {4, 116, 105, 0, -1}, {4, 99, 105, 0, -1},
      {4, 120, 105, 1, 1},  {15, 105, 105, 1, 2}, {15, 120, 105, 1, -1},
  };
  for (const Case& c : cases) {
    Game().SetVar(120, c.open);
    mode->SetCheckMode(c.mode);
    host_->InjectMouseMove(c.x, c.y);
    Game().Pump();
    EXPECT_EQ(mode->CheckArea(c.mode), c.area) << c.mode << " " << c.x;
  }
  mode->SetCheckMode(-1);
  EXPECT_EQ(mode->CheckArea(4), -1);
  EXPECT_EQ(mode->CalcuMiniGameButtons(), -1);
  // An unknown variable: the table's box, and the area stays active.
  Game().SetVarNumber("open", -1);
  mode = Make({{"addMiniGame", "1"}, {"miniGameCheckMode1", "4"}, {"checkVarName1", "nothere"}});
  mode->SetCheckMode(4);
  host_->InjectMouseMove(3, 3);
  Game().Pump();
  EXPECT_EQ(mode->CheckArea(4), 0);
}

TEST_F(MiniGameTest, AVisitPicksTwoSeenPicturesByTheFilters) {
  // 0 @ev_var, 1 !ev_all, 2 ta_face, 3 ev_one, 4 bg_two, 5 pic_three, 6 ev_unseen
  WriteCGs("@ev_var !ev_all ta_face ev_one bg_two pic_three ev_unseen");
  for (const char* name : {"ev/ev_var", "ev/ev_all", "ev/ev_one", "bg/bg_two", "sys/pic_three"})
    Picture(name, 8, 8, 0x123456);
  auto* mode = Make({{"addMiniGame", "1"}, {"miniGame1", "1"}});
  CCommonSystemFile* sys = Game().GetSystemFile();
  for (int j = 0; j < 6; ++j) sys->SetCGFlag(0, j);
  Visit(0);
  EXPECT_EQ(mode->GetEligibleCGs(), (std::vector<int>{1, 3, 4, 5}));
  struct Case {
    const char* sabun;
    const char* all;
    std::vector<int> eligible;
  };
  for (const Case& c : {Case{"1", "0", {0, 3, 4, 5}}, Case{"0", "0", {3, 4, 5}}}) {
    mode = Make({{"sabunOkFlag", c.sabun}, {"allOkFlag", c.all}});
    Visit(0);
    EXPECT_EQ(mode->GetEligibleCGs(), c.eligible) << c.sabun << c.all;
  }
  // The two picks differ and come from their folders.
  const std::string p0 = Game().GetEffectPicture(0)->GetName(), p1 = Game().GetEffectPicture(1)->GetName();
  EXPECT_NE(p0, p1);
  for (const std::string& p : {p0, p1})
    EXPECT_TRUE(p == "ev\\ev_one" || p == "bg\\bg_two" || p == "sys\\pic_three") << p;
}

TEST_F(MiniGameTest, FewerThanTwoSeenPicturesFallBackToTheSolidColour) {
  WriteCGs("ev_one ev_two");
  Picture("ev/ev_one", 8, 8, 0x123456);
  Picture("sys/nnnlogo", 8, 8, 0x654321);
  Make({{"addMiniGame", "1"}});
  Game().GetSystemFile()->SetCGFlag(0, 0);
  Visit(0);
  EXPECT_STREQ(Game().GetEffectPicture(0)->GetName(), "ev\\ev_one");
  CPicture* solid = Game().GetEffectPicture(1);
  EXPECT_EQ(solid->GetWidth(), CScreenBuffer::GetWidth());
  EXPECT_EQ(solid->GetPixelBuffer()[5] & 0xFFFFFF, 0x004080u);
  EXPECT_STREQ(solid->GetName(), "");
  // None seen: the no-picture name.
  Game().GetSystemFile()->ClearCGFlags();
  Visit(0);
  EXPECT_STREQ(Game().GetEffectPicture(0)->GetName(), "sys\\nnnlogo");
}

TEST_F(MiniGameTest, PagesTakeTheClicksThenTheGameRunsAndTheExitReturns) {
  Picture("sys/page_a", 800, 600, 0x0000AA);
  Picture("sys/page_b", 800, 600, 0x0000BB);
  Picture("sys/mgexit", 4 * 40, 20, 0xEE0000);
  Make({{"addMiniGame", "1"}, {"miniGame1", "1"}, {"miniGameDescNumber1", "2"},
        {"miniGameDescFileName1_1", "page_a"}, {"miniGameDescFileName1_2", "page_b"}, {"exitFilename", "mgexit"},
        {"exitSizeX", "40"}, {"exitSizeY", "20"}, {"exitClickTime", "0"}, {"exitPrintX", "700"},
        {"exitPrintX1", "600"}, {"exitPrintY1", "500"}});
  Visit(0, 15);
  EXPECT_EQ(Log(), (Lines{"Init 0"}));
  // The game was handed the effect channels' pictures and the mode's own.
  auto* game = static_cast<minigame_test::StandInGame*>(mode_->GetHolder()->GetGame(0));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(game->Picture(k), Game().GetEffectPicture(k)) << k;
  EXPECT_EQ(game->Screen(), Game().GetScreenPicture());
  EXPECT_EQ(game->Work(), Game().GetWorkPicture());
  EXPECT_EQ(mode_->GetExitButton()->GetPrintX(), 600);
  Frame();
  EXPECT_EQ(Pixel(5, 5), 0x0000AAu);
  Click(610, 505);
  EXPECT_EQ(Frame(), -1) << "the exit button is not live during the pages";
  EXPECT_EQ(Pixel(5, 5), 0x0000BBu);
  Click(5, 5);
  Frame();
  EXPECT_EQ(mode_->GetPage(), 2);
  EXPECT_EQ(Count("Calcu 0"), 0);
  Frame();
  EXPECT_EQ(Count("Calcu 0"), 1);
  EXPECT_EQ(Pixel(610, 505), 0xEE0000u) << "the exit button is drawn";
  host_->InjectMouseMove(610, 505);
  Frame();
  Click(610, 505);
  int result = -1;
  for (int i = 0; i < 3 && result == -1; ++i) result = Frame();
  EXPECT_EQ(result, 15);
}

TEST_F(MiniGameTest, AnEmptyEntryRunsNothingButTheExitWorks) {
  Picture("sys/mgexit", 4 * 40, 20, 0xEE0000);
  Make({{"addMiniGame", "2"}, {"miniGame2", "1"}, {"exitFilename", "mgexit"}, {"exitSizeX", "40"},
        {"exitSizeY", "20"}, {"exitClickTime", "0"}});
  Visit(0);
  host_->InjectMouseMove(5, 5);
  Frame();
  Click(5, 5);
  int result = -1;
  for (int i = 0; i < 3 && result == -1; ++i) result = Frame();
  EXPECT_EQ(result, 4);
  EXPECT_TRUE(Log().empty());
}

TEST_F(MiniGameTest, AClearIsRecordedOncePerVisitAndUnlocksEveryFrame) {
  WriteCGs("a b c d");
  struct Case {
    int game;
    const char* type;
    int before, once, twice;
  };
  const Case cases[] = {
      {0, "1", 5, 1, 1}, {0, "2", 5, 6, 7}, {0, "3", 0x10, 0x11, 0x11}, {5, "3", 0x10, 0x30, 0x30},
      // The count wraps at the end of an int; game 32 takes the top bit.
      {0, "2", INT_MAX, INT_MIN, INT_MIN + 1}, {31, "3", 1, INT_MIN + 1, INT_MIN + 1},
  };
  for (const Case& c : cases) {
    Game().SetVarNumber("cleared", 130);
    const std::string n = std::to_string(c.game + 1);
    Make({{"addMiniGame", "32"}, {"miniGame" + n, "1"}, {"setVarName" + n, "cleared"}, {"setVarType" + n, c.type},
          {"setCGNumber" + n, "3"}, {"setCGPlayer" + n, "1"}, {"setCGParam" + n, "2"},
          {"setCGPlayer" + n + "_2", "1"}, {"setCGParam" + n + "_2", "4"}, {"setCGPlayer" + n + "_3", "0"},
          {"setCGParam" + n + "_3", "1"}, {"miniGameclearSound", "5"}});
    Game().SetVar(130, c.before);
    Game().GetSystemFile()->ClearCGFlags();
    Visit(c.game);
    minigame_test::Control().clear = 1;
    minigame_test::Control().sounds = {CAllMiniGame::kClear};
    Game().ClearCalls();
    Frame();
    Frame();
    EXPECT_EQ(Game().GetVar(130), c.once) << c.type << " game " << c.game;
    EXPECT_EQ(Game().GetSystemFile()->GetCGFlag(0, 1), 1);
    EXPECT_EQ(Game().GetSystemFile()->GetCGFlag(0, 3), 1);
    EXPECT_EQ(Game().GetSystemFile()->GetCGFlag(0, 0), 0) << "character 0 is no entry";
    const auto& calls = Game().Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "PlaySystemSe 4 0"), 2);
    Game().GetSystemFile()->ClearCGFlags();
    Frame();
    EXPECT_EQ(Game().GetSystemFile()->GetCGFlag(0, 1), 1) << "every cleared frame unlocks";
    Visit(c.game);
    Frame();
    EXPECT_EQ(Game().GetVar(130), c.twice) << c.type << " game " << c.game;
    minigame_test::ResetControl();
  }
}

TEST_F(MiniGameTest, TheCongratulationBouncesOffTheEdges) {
  auto* mode = Make({});
  // The blank picture: 128 x 32 on 800 x 600.
  ASSERT_EQ(mode->GetCongratulation()->GetWidth(), 128);
  struct Case {
    int x, y, vx, vy;
  };
  const Case cases[] = {{2, 100, -5, 0}, {670, 100, 4, 0}, {100, 560, 0, 30}, {100, 567, 0, 3}, {100, 1, 0, -8}};
  for (const Case& c : cases) {
    crt::srand(11);
    mode->SetCongratulationMove(c.x, c.y, c.vx, c.vy);
    mode->MoveCongratulation();
    crt::srand(11);
    int x = c.x + c.vx, y, vx = c.vx, vy = c.vy + 2;
    if (x < 0) x = 0, vx = crt::rand() % 10 + 3;
    if (x > 672) x = 672, vx = -(crt::rand() % 10 + 3);
    y = c.y + vy;
    if (y < 0) y = 0, vy = 1;
    if (y > 568) {
      y = 568;
      vy = (crt::rand() % 30 + 70) * vy / 100;
      if (vy < 10) vy = crt::rand() % 50 + 20;
      vy = -vy;
    }
    int gx, gy, gvx, gvy;
    mode->GetCongratulationMove(&gx, &gy, &gvx, &gvy);
    EXPECT_EQ((std::vector<int>{gx, gy, gvx, gvy}), (std::vector<int>{x, y, vx, vy})) << c.x << " " << c.y;
  }
}

}  // namespace
}  // namespace minigame_mode_test
