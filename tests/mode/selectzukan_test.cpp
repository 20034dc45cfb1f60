// Mode 24, the picture book: "zukanon", the items drawn from the seat,
// the rows that can be chosen, the chosen item handed to the back script
// and back, the exit, and settings that would divide by zero.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mode/selectzukan.h"
#include "startup_fixture.h"

namespace startup_test {
namespace {

constexpr uint32_t kBackground = 0x101010;
// Seat cell k (4 columns, 2 rows of 20 x 20) is one colour.
uint32_t Cell(int k) { return 0x300000u + static_cast<uint32_t>(k) * 0x10; }

class SelectZukanTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    dwqtool::Picture seat{80, 40, std::vector<uint32_t>(80 * 40), {}};
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 80; ++x) seat.pixels[static_cast<size_t>(y * 80 + x)] = Cell(y / 20 * 4 + x / 20);
    testsupport::WriteDwq(*dir_, "sys/zk_seat", seat);
    testsupport::WriteDwq(*dir_, "sys/ta_backButton", 60, 30, 0x00FF00);
  }
  // 40 items, 4 a row at (100, 100) with a pitch of 30; only the first row
  // reacts.
  void WriteSettings(const Pairs& extra = {}) const {
    Pairs pairs = extra;
    const Pairs base = {{"filenameSeat", "zk_seat"}, {"zukanPrintX", "100"}, {"zukanPrintY", "100"},
                        {"zukanSizeX", "20"},        {"zukanSizeY", "20"},   {"zukanNextX", "30"},
                        {"zukanNextY", "30"},        {"zukanNumberX", "4"},  {"zukanNumberY", "1"},
                        {"zukanNumber", "40"},       {"appearVarName", "book1"}, {"appearVarName2", "book2"},
                        {"returnVarName", "page"},   {"backPrintX", "700"},  {"backPrintY", "550"},
                        {"backSizeX", "60"},         {"backSizeY", "30"},    {"backClickTime", "0"}};
    pairs.insert(pairs.end(), base.begin(), base.end());
    WriteList("selectzukan", pairs);
  }
  CCommonSelectZukan* Make() {
    StartupGame& game = Game();
    game.SetVarNumber("book1", 400);
    game.SetVarNumber("book2", 401);
    game.SetVarNumber("page", 402);
    // The book draws over the screen picture (a back script usually draws it).
    CCommonGeneral::FillPictureColor(game.GetScreenPicture(), 0x10, 0x10, 0x10);
    return game.Remake<CCommonSelectZukan>();
  }
  CCommonSelectZukan* Enter() {
    CCommonSelectZukan* book = Make();
    Game().EnterMode(CCommonSelectZukan::kModeNumber);
    Game().RunFrame();
    return book;
  }
  static int ItemX(int i) { return 100 + i % 4 * 30 + 5; }
  static int ItemY(int i) { return 100 + i / 4 * 30 + 5; }
};

TEST_F(SelectZukanTest, ZukanonSetsTheItemsBitInItsOwnVariable) {
  WriteSettings();
  CCommonSelectZukan* book = Make();
  EXPECT_EQ(book->GetVarCount(), 2);
  const int cases[][3] = {{1, 400, 1}, {30, 400, 1 << 29}, {31, 401, 1}, {40, 401, 1 << 9}};
  for (const auto& c : cases) {
    Game().SetVar(400, 0);
    Game().SetVar(401, 0);
    book->Function(0, 1, &c[0]);
    EXPECT_EQ(Game().GetVar(c[1]), c[2]) << c[0];
    EXPECT_EQ(Game().GetVar(c[1] == 400 ? 401 : 400), 0) << c[0];
  }
  // Outside 1..zukanNumber nothing changes.
  Game().SetVar(400, 0);
  Game().SetVar(401, 0);
  for (int n : {0, -1, 41, 61, 1 << 30}) book->Function(0, 1, &n);
  book->Function(0, 0, nullptr);
  EXPECT_EQ(Game().GetVar(400), 0);
  EXPECT_EQ(Game().GetVar(401), 0);
}

TEST_F(SelectZukanTest, AppearedItemsAreDrawnButOnlyTheReactingRowsCanBeChosen) {
  WriteSettings();
  Game().SetVar(400, 1 << 1 | 1 << 5);  // items 1 and 5
  CCommonSelectZukan* book = Enter();
  EXPECT_EQ(book->GetSeatColumns(), 4);
  EXPECT_EQ(Pixel(ItemX(1), ItemY(1)), Cell(1));
  EXPECT_EQ(Pixel(ItemX(5), ItemY(5)), Cell(5)) << "the second row is drawn";
  EXPECT_EQ(Pixel(ItemX(0), ItemY(0)), kBackground) << "an item that has not appeared";
  EXPECT_EQ(book->HitTest(ItemX(1), ItemY(1)), 1);
  EXPECT_EQ(book->HitTest(ItemX(5), ItemY(5)), -1) << "rows past zukanNumberY";
  EXPECT_EQ(book->HitTest(ItemX(0), ItemY(0)), -1);
  EXPECT_EQ(book->HitTest(100 + 25, ItemY(1)), -1) << "between two items";
  Click(ItemX(5), ItemY(5));
  Game().RunFrame();
  EXPECT_EQ(book->GetChosen(), -1);
}

TEST_F(SelectZukanTest, AChosenItemGoesToTheBackScriptAndAClickReturns) {
  WriteSettings();
  Game().SetVar(400, 1 << 2);
  CCommonSelectZukan* book = Enter();
  Game().ClearCalls();
  MoveTo(ItemX(2), ItemY(2));
  Game().RunFrame();
  EXPECT_EQ(book->GetHovered(), 2);
  Click(ItemX(2), ItemY(2));
  Game().RunFrame();
  EXPECT_EQ(book->GetChosen(), 2);
  EXPECT_EQ(Game().GetVar(402), 3);
  EXPECT_TRUE(Called("CalcuBackScript 1"));
  Game().ClearCalls();
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  Game().RunFrame();
  EXPECT_EQ(book->GetChosen(), -1);
  EXPECT_EQ(Game().GetVar(402), 0) << "the return variable is cleared";
  EXPECT_TRUE(Called("CalcuBackScript 1"));
  // Entering clears it too.
  Game().SetVar(402, 7);
  Game().EnterMode(CCommonSelectZukan::kModeNumber);
  EXPECT_EQ(Game().GetVar(402), 0);
}

TEST_F(SelectZukanTest, BackSetsTheReturnFlagAndLeavesForTheExtrasByTheSpecialExit) {
  WriteSettings();
  CCommonSelectZukan* book = Enter();
  EXPECT_EQ(book->GetParameter(), CCommonSelectZukan::kOmakeMode);
  Click(710, 560);
  int flag = 0;
  // The book's own step stands for the frame's, so the flag is seen before
  // the frame's end restores the story's state.
  for (int i = 0; i < 10 && Game().ModeRequests().empty(); ++i)
    Game().RunFrame([&] {
      const int r = book->GeneralCalcu();
      flag |= Game().GetReturnFlag();
      return r;
    });
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{CCommonSelectZukan::kOmakeMode}));
  EXPECT_EQ(book->IsSpecialExit(), 1);
  EXPECT_EQ(flag, 1);
}

TEST_F(SelectZukanTest, AMissingSeatOrSizesBelowOneDrawNothingAndDivideByNothing) {
  WriteSettings({{"filenameSeat", "none"}});
  Game().SetVar(400, -1);
  CCommonSelectZukan* book = Enter();
  EXPECT_EQ(book->GetSeatColumns(), 0);
  EXPECT_EQ(Pixel(ItemX(1), ItemY(1)), kBackground);

  WriteSettings({{"zukanSizeX", "0"}, {"zukanSizeY", "-4"}, {"zukanNextX", "0"}, {"zukanNextY", "-1"},
                 {"zukanNumberX", "0"}, {"zukanNumberY", "100"}});
  book = Enter();
  // 1 x 1 items one pixel apart, one a row.
  EXPECT_EQ(book->GetSeatColumns(), 80);
  EXPECT_EQ(book->HitTest(100, 100), 0);
  EXPECT_EQ(book->HitTest(100, 101), 1);
  EXPECT_EQ(book->HitTest(101, 100), -1);
  EXPECT_EQ(Pixel(100, 100), Cell(0));
}

}  // namespace
}  // namespace startup_test
