// The card display data: the style table, card pictures and their levels,
// the five draw styles, power marks and bar types, drawn on the test double
// and compared with the blitters' own results.
#include <gtest/gtest.h>

#include <climits>

#include "card_fixture.h"
#include "graphics/pictureloader.h"
#include "setup/namelist.h"

namespace card_test {
namespace {

constexpr int kCellW = 12, kCellH = 10;

TEST_F(CardTest, StyleTableStartsAsDocumentedAndIgnoresStatusesOutside) {
  const int styles[] = {0, 1, 2, 3, 4, 0, 0, 0, 0, 0};
  for (int s = 0; s < 10; ++s) {
    EXPECT_EQ(GetCardPrintType(s), styles[s]) << s;
    EXPECT_EQ(GetCardSeatTable(s), 0) << s;
  }
  int r = 0, g = 0, b = 0;
  GetCardAddColor(&r, &g, &b);
  EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{64, 96, 32}));
  EXPECT_EQ(GetCardTransPercent(), 50);

  for (int s : {-1, 10, INT_MIN, INT_MAX}) {
    SetCardPrintType(s, 7);
    SetCardSeatTable(s, 7);
    // A status outside the table answers style 0 and column 0.
    EXPECT_EQ(GetCardPrintType(s), 0) << s;
    EXPECT_EQ(GetCardSeatTable(s), 0) << s;
  }
  for (int s = 0; s < 10; ++s) EXPECT_EQ(GetCardPrintType(s), styles[s]) << s;
  SetCardPrintType(9, 5);
  SetCardSeatTable(9, 2);
  EXPECT_EQ(GetCardPrintType(9), 5);
  EXPECT_EQ(GetCardSeatTable(9), 2);
}

TEST_F(CardTest, CardLoadsItsLevelFileOrThePlainNameWithOneLevel) {
  WriteStrip("one", kCellW * 2, kCellH, 1);
  WriteStrip("lv_1", kCellW, kCellH, 2);
  WriteStrip("lv_3", kCellW, kCellH, 3);
  Game();
  CCardPicture single("one", kCellW, kCellH, 0);
  for (int level : {5, 0, 2}) {
    single.Load(level);
    EXPECT_STREQ(single.GetPicture()->GetName(), "sys\\one") << level;
  }
  CCardPicture levels("lv", kCellW, kCellH, 3);
  levels.Load(2);
  EXPECT_STREQ(levels.GetPicture()->GetName(), "sys\\lv_3");
  levels.Load(-1);  // keeps what is loaded
  EXPECT_EQ(levels.GetLoadedLevel(), 2);
  levels.Load(0);
  EXPECT_STREQ(levels.GetPicture()->GetName(), "sys\\lv_1");
  EXPECT_EQ(levels.GetLoadedLevel(), 0);
}

// The card is read once per level, not at every draw: a missing file is
// reported once, and what is drawn equals a fresh load's cell.
TEST_F(CardTest, CardFileIsReadOncePerLevel) {
  WriteStrip("seat", kCellW * 3, kCellH, 4);
  Game();
  SetLoadDwqErrorFlag(1);
  const size_t boxes = Game().Boxes().size();
  CCardPicture missing("absent", kCellW, kCellH, 1);
  for (int i = 0; i < 3; ++i) missing.Print(5, 5, 0, 0);
  EXPECT_EQ(Game().Boxes().size(), boxes + 1);
  missing.Print(5, 5, 0, 1);  // another level is tried
  EXPECT_EQ(Game().Boxes().size(), boxes + 2);
  SetLoadDwqErrorFlag(0);

  SetCardSeatTable(0, 2);
  CCardPicture card("seat", kCellW, kCellH, 0);
  card.Print(40, 30, 0, 0);
  ASSERT_EQ(card.GetPicture()->IsLoaded(), 1);
  // Once loaded, the file may go: the picture in memory is drawn.
  dir_->Write("dwq/sys/seat.dwq", "");
  const Screen got = Drawn([&] {
    for (int i = 0; i < 3; ++i) card.Print(40, 30, 0, 0);
  });
  WriteStrip("seat", kCellW * 3, kCellH, 4);
  auto fresh = Fresh("seat");
  EXPECT_EQ(got, Drawn([&] {
              for (int i = 0; i < 3; ++i) fresh->Blt(40, 30, 2 * kCellW, 0, kCellW, kCellH, 1);
            }));
}

// Statuses 0..4 with the initial table: plain, colour-added, translucent,
// grey, red; a non-zero style draws by the status, so 6 and above are red,
// and a status outside the table is plain from column 0.
TEST_F(CardTest, EachStatusDrawsInItsStyle) {
  WriteStrip("seat", kCellW * 4, kCellH, 5);
  Game();
  for (int s = 0; s < 10; ++s) SetCardSeatTable(s, s % 4);
  SetCardPrintType(6, 3);  // style 3 for status 6: red all the same
  SetCardPrintType(7, 0);  // style 0: plain
  auto fresh = Fresh("seat");
  CPicture* p = fresh.get();
  const int x = 100, y = 60, w = kCellW, h = kCellH;
  const struct {
    int status;
    std::function<void()> expected;
  } cases[] = {
      {0, [&] { p->Blt(x, y, 0, 0, w, h, 1); }},
      {1, [&] { p->ColorAddBlt(x, y, w, 0, w, h, 1, 64, 96, 32, 100); }},
      {2, [&] { p->TransLucentBlt3(x, y, 2 * w, 0, w, h, 50); }},
      {3, [&] { p->GreyBlt(x, y, 3 * w, 0, w, h, 1); }},
      {4, [&] { p->RedBlt(x, y, 0, 0, w, h, 1); }},
      {6, [&] { p->RedBlt(x, y, 2 * w, 0, w, h, 1); }},
      {7, [&] { p->Blt(x, y, 3 * w, 0, w, h, 1); }},
      {-3, [&] { p->Blt(x, y, 0, 0, w, h, 1); }},
      {12, [&] { p->Blt(x, y, 0, 0, w, h, 1); }},
  };
  CCardPicture card("seat", kCellW, kCellH, 0);
  for (const auto& c : cases) {
    const Screen got = Drawn([&] { card.Print(x, y, c.status, 0); });
    EXPECT_EQ(got, Drawn(c.expected)) << "status " << c.status;
  }
  // The colour and percentage the table holds.
  SetCardAddColor(-20, 10, 200);
  SetCardTransPercent(80);
  EXPECT_EQ(Drawn([&] { card.Print(x, y, 1, 0); }),
            Drawn([&] { p->ColorAddBlt(x, y, w, 0, w, h, 1, -20, 10, 200, 100); }));
  EXPECT_EQ(Drawn([&] { card.Print(x, y, 2, 0); }),
            Drawn([&] { p->TransLucentBlt3(x, y, 2 * w, 0, w, h, 80); }));
}

TEST_F(CardTest, EmptyCellsDrawNothing) {
  WriteStrip("seat", kCellW, kCellH, 6);
  WriteStrip("ta_cardPower", 16, 16, 7);
  WriteList("cardSystem", {{"cardPowerSizeX", "0"}});
  Game();
  const Screen before = Drawn([] {});
  CCardPicture zero("seat", 0, kCellH, 0);
  CCardPicture negative("seat", kCellW, -4, 0);
  SetCardSeatTable(0, INT_MAX);  // the cell lies beyond any position
  CCardPicture far("seat", kCellW, kCellH, 0);
  CNameList list(64);
  ASSERT_EQ(list.LoadInit("cardSystem"), 1);
  CCardPowerPrint power(&list);
  EXPECT_EQ(Drawn([&] {
              zero.Print(0, 0, 0, 0);
              negative.Print(0, 0, 0, 0);
              power.Print(0, 0, 4, 0, 0, 0);
            }),
            before);
  // Far away in the picture: clipped to nothing, never read outside it.
  EXPECT_EQ(Drawn([&] { far.Print(0, 0, 0, 0); }), before);
}

// --- Power marks ---

struct PowerCase {
  const char* name;
  Pairs keys;
  int status, level, card;
  int srcX, srcY;          // the cell, in marks
  int x0, y0, stepX, stepY;  // first mark and step relative to the card
};

TEST_F(CardTest, PowerMarksArePlacedAndCutByTheKeys) {
  WriteStrip("ta_cardPower", 16 * 20, 16 * 3, 8);
  WriteStrip("marks", 8 * 20, 6 * 3, 9);
  Game();
  SetCardSeatTable(2, 3);
  SetCardPrintType(2, 0);  // every case draws plain
  const PowerCase cases[] = {
      // Defaults: row per level, group 0, marks of 16 stepping 16 across.
      {"defaults", {}, 0, 1, 2, 0, 1, 10, 10, 16, 0},
      {"by card", {{"cardPowerPicByCard", "1"}, {"cardNumber", "4"}}, 0, 0, 2, 2, 0, 10, 10, 16, 0},
      {"by status without card",
       {{"cardPowerPicByStatus", "1"}, {"cardPowerPicByLevel", "0"}}, 2, 2, 1, 3, 0, 10, 10, 16, 0},
      {"by status and card",
       {{"cardPowerPicByStatus", "1"}, {"cardPowerPicByCard", "1"}, {"cardNumber", "3"},
        {"cardPowerSeatTable3", "2"}},
       2, 0, 1, 4, 0, 10, 10, 16, 0},
      {"status column ignored without the key", {{"cardPowerSeatTable3", "5"}}, 2, 0, 0, 0, 0, 10,
       10, 16, 0},
      {"own picture, size and steps",
       {{"filenamecardPowerPic", "marks"}, {"cardPowerSizeX", "8"}, {"cardPowerSizeY", "6"},
        {"cardPowerPrintX", "-3"}, {"cardPowerPrintY", "7"}, {"cardPowerNextY", "9"}},
       0, 2, 0, 0, 2, -3, 7, 8, 9},
  };
  for (const PowerCase& c : cases) {
    WriteList("cardSystem", c.keys);
    CNameList list(64);
    ASSERT_EQ(list.LoadInit("cardSystem"), 1);
    CCardPowerPrint power(&list);
    const bool own = std::string(c.name).rfind("own", 0) == 0;
    const int w = own ? 8 : 16, h = own ? 6 : 16;
    auto fresh = Fresh(own ? "marks" : "ta_cardPower");
    const Screen got = Drawn([&] { power.Print(200, 100, 3, c.status, c.level, c.card); });
    const Screen expected = Drawn([&] {
      for (int i = 0; i < 3; ++i)
        fresh->Blt(200 + c.x0 + i * c.stepX, 100 + c.y0 + i * c.stepY, c.srcX * w, c.srcY * h, w,
                   h, 1);
    });
    EXPECT_EQ(got, expected) << c.name;
  }
}

TEST_F(CardTest, PowerMarksTakeTheirStyleFromTheTableCountedFromOne) {
  WriteStrip("ta_cardPower", 16, 16, 10);
  Game();
  SetCardPrintType(5, 2);
  SetCardSeatTable(4, 6);
  SetCardAddColor(1, 2, 3);
  SetCardTransPercent(30);
  {
    WriteList("cardSystem", {{"cardPowerPicByStatus", "1"}});
    CNameList list(64);
    ASSERT_EQ(list.LoadInit("cardSystem"), 1);
    CCardPowerPrint power(&list);
    EXPECT_EQ(power.GetPrintType(5), 2);
    EXPECT_EQ(power.GetPrintType(3), 3);
    EXPECT_EQ(power.GetSeatGroup(4), 6);
    EXPECT_EQ(power.GetPrintType(10), 0);
    EXPECT_EQ(power.GetSeatGroup(-1), 0);
    auto fresh = Fresh("ta_cardPower");
    EXPECT_EQ(Drawn([&] { power.Print(0, 0, 1, 1, 0, 0); }),
              Drawn([&] { fresh->ColorAddBlt(10, 10, 0, 0, 16, 16, 1, 1, 2, 3, 100); }));
    EXPECT_EQ(Drawn([&] { power.Print(0, 0, 1, 2, 0, 0); }),
              Drawn([&] { fresh->TransLucentBlt3(10, 10, 0, 0, 16, 16, 30); }));
  }
  // The marks' own keys win over the table: plain for status 1 (value 1),
  // any non-zero style draws by the status (status 3 grey, status 2
  // translucent at the marks' own percentage).
  WriteList("cardSystem", {{"cardPowerPrintType2", "1"}, {"cardPowerPrintType4", "5"},
                           {"cardPowerPrintType3", "2"}, {"cardPowerTransPercent", "70"},
                           {"cardPowerAddColorR", "9"}});
  CNameList list(64);
  ASSERT_EQ(list.LoadInit("cardSystem"), 1);
  CCardPowerPrint power(&list);
  auto fresh = Fresh("ta_cardPower");
  EXPECT_EQ(Drawn([&] { power.Print(0, 0, 1, 1, 0, 0); }),
            Drawn([&] { fresh->Blt(10, 10, 0, 0, 16, 16, 1); }));
  EXPECT_EQ(Drawn([&] { power.Print(0, 0, 1, 3, 0, 0); }),
            Drawn([&] { fresh->GreyBlt(10, 10, 0, 0, 16, 16, 1); }));
  EXPECT_EQ(Drawn([&] { power.Print(0, 0, 1, 2, 0, 0); }),
            Drawn([&] { fresh->TransLucentBlt3(10, 10, 0, 0, 16, 16, 70); }));
  // No marks for a count below 1.
  const Screen before = Drawn([] {});
  EXPECT_EQ(Drawn([&] { power.Print(0, 0, 0, 0, 0, 0); }), before);
  EXPECT_EQ(Drawn([&] { power.Print(0, 0, -5, 0, 0, 0); }), before);
}

// --- Bars ---

TEST_F(CardTest, BarTypesInheritFromTheTypeBefore) {
  Game();
  struct {
    Pairs keys;
    int types;
    std::vector<std::array<int, 4>> sizes;  // per type: sizeX, sizeY, printX, printY
  } cases[] = {
      {{}, 1, {{100, 30, 0, 0}}},
      {{{"cardBarTypeNumber", "3"}, {"cardBarSizeX", "40"}, {"cardBarSizeY2", "12"},
        {"cardBarPrintX1", "5"}, {"cardBarPrintY3", "8"}, {"cardBarSizeX3", "7"}},
       3,
       {{40, 30, 5, 0}, {40, 12, 5, 0}, {7, 12, 5, 8}}},
      {{{"cardBarTypeNumber", "0"}}, 1, {{100, 30, 0, 0}}},
      {{{"cardBarTypeNumber", "-7"}}, 1, {{100, 30, 0, 0}}},
      {{{"cardBarTypeNumber", "100000"}}, 64, {}},
  };
  for (const auto& c : cases) {
    WriteList("cardSystem", c.keys);
    CNameList list(64);
    list.LoadInit("cardSystem");
    CCardBarPrint bar(&list);
    EXPECT_EQ(bar.GetTypeNumber(), c.types);
    for (size_t t = 0; t < c.sizes.size(); ++t) {
      const int type = static_cast<int>(t) + 1;
      EXPECT_EQ((std::array<int, 4>{bar.GetSizeX(type), bar.GetSizeY(type), bar.GetPrintX(type),
                                    bar.GetPrintY(type)}),
                c.sizes[t])
          << type;
    }
    EXPECT_EQ(bar.GetSizeX(c.types + 1), 0);
    EXPECT_EQ(bar.GetSizeX(0), 0);
  }
}

}  // namespace
}  // namespace card_test
