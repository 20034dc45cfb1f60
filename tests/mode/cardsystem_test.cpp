// The card system mode on the fake of the services: its settings, the three controls
// and their script functions, the states read at entry, and the screen.
#include <gtest/gtest.h>

#include <climits>

#include "card_fixture.h"
#include "graphics/allgeo.h"
#include "graphics/systempicture.h"
#include "widget/commonbutton.h"

namespace card_test {
namespace {

constexpr int kAppear = 0, kEnable = 1, kPlaced = 2;
constexpr int kAppearVar = 20, kEnableVar = 21, kPlacedVar = 22, kPowerVar = 23;

class CardSystemTest : public CardTest {
 protected:
  // The mode over `keys`, its variables named.
  CCommonCardSystem* Make(const Pairs& keys) {
    WriteList("cardSystem", keys);
    CardGame& game = Game();
    game.SetVarNumber("appear", kAppearVar);
    game.SetVarNumber("enable", kEnableVar);
    game.SetVarNumber("placed", kPlacedVar);
    game.SetVarNumber("power", kPowerVar);
    return game.Remake();
  }
  static Pairs Controls(int cards) {
    return {{"cardNumber", std::to_string(cards)},
            {"appearControlFlag", "1"},
            {"appearVar", "appear"},
            {"enableControlFlag", "1"},
            {"enableVar", "enable"},
            {"onOkControlFlag", "1"},
            {"onOkVar", "placed"}};
  }
  uint32_t Var(int n) { return static_cast<uint32_t>(Game().GetVar(n)); }
};

TEST_F(CardSystemTest, ControlsRegisterTheirFunctionsAndVariables) {
  CCommonCardSystem* mode =
      Make({{"appearControlFlag", "1"}, {"appearVar", "appear"}, {"enableControlFlag", "1"},
            {"enableFunctionName", "ONOKCARD"}, {"enableVar", "enable"}, {"onOkVar", "placed"}});
  // Appear under its own name as type 0, the renamed enable control as
  // type 1; no placed control.
  const auto& rows = Game().Functions();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "appearcard");
  EXPECT_EQ(rows[0].mode, 45);
  EXPECT_EQ(rows[0].value, kAppear);
  EXPECT_EQ(rows[1].name, "ONOKCARD");
  EXPECT_EQ(rows[1].mode, 45);
  EXPECT_EQ(rows[1].value, kEnable);
  EXPECT_EQ(mode->GetControlVar(kAppear), kAppearVar);
  EXPECT_EQ(mode->GetControlVar(kEnable), kEnableVar);
  EXPECT_EQ(mode->GetControlVar(kPlaced), -1);

  // Placed stays on for every card whatever its variable holds.
  Game().SetVar(kPlacedVar, -1);
  Game().SetVar(kAppearVar, 0);
  mode->Init();
  EXPECT_EQ(mode->GetCardState(0, kPlaced), 1);
  int one = 1;
  mode->Function(kPlaced, 1, &one);
  EXPECT_EQ(Var(kPlacedVar), 0xFFFFFFFFu);
}

TEST_F(CardSystemTest, FunctionsSwitchTheCardsBits) {
  CCommonCardSystem* mode = Make(Controls(32));
  const struct {
    int type;
    std::vector<int> args;
    uint32_t before, after;
  } cases[] = {
      {kAppear, {1}, 0, 0x1},                    // one argument: flag 0, bit set (off)
      {kAppear, {3, 0}, 0x1, 0x5},
      {kAppear, {3, 7}, 0x5, 0x1},               // a non-zero flag clears (on)
      {kEnable, {32}, 0, 0x80000000u},           // card 32: the top bit
      {kEnable, {32, 1}, 0xFFFFFFFFu, 0x7FFFFFFFu},
      {kPlaced, {2, 1}, 0x6, 0x4},
      {kAppear, {0}, 0x10, 0x10},                // card 0
      {kAppear, {33}, 0x10, 0x10},               // above the card count
      {kAppear, {-1, 1}, 0x10, 0x10},
      {kAppear, {INT_MIN, 1}, 0x10, 0x10},
      {kAppear, {}, 0x10, 0x10},                 // no card
  };
  const int vars[] = {kAppearVar, kEnableVar, kPlacedVar};
  for (const auto& c : cases) {
    Game().SetVar(vars[c.type], static_cast<int>(c.before));
    mode->Function(c.type, static_cast<int>(c.args.size()), c.args.data());
    EXPECT_EQ(Var(vars[c.type]), c.after) << c.type << " " << (c.args.empty() ? 0 : c.args[0]);
  }
  // Other types change no variable.
  for (int v : vars) Game().SetVar(v, 0);
  const int args[] = {1, 0};
  for (int type : {-1, 3, 45, INT_MAX}) mode->Function(type, 2, args);
  mode->Function(kAppear, 2, nullptr);
  for (int v : vars) EXPECT_EQ(Var(v), 0u);
}

TEST_F(CardSystemTest, ACardAboveTheCardCountChangesNothing) {
  CCommonCardSystem* mode = Make(Controls(3));
  Game().SetVar(kAppearVar, 0);
  int card = 4;
  mode->Function(kAppear, 1, &card);
  EXPECT_EQ(Var(kAppearVar), 0u);
  card = 3;
  mode->Function(kAppear, 1, &card);
  EXPECT_EQ(Var(kAppearVar), 4u);
}

TEST_F(CardSystemTest, InitReadsTheThreeStatesAndThePowerMaximum) {
  Pairs keys = Controls(32);
  keys.push_back({"powerMaxVar", "power"});
  keys.push_back({"powerMax", "7"});
  CCommonCardSystem* mode = Make(keys);
  EXPECT_EQ(mode->GetPowerMax(), 7);
  Game().SetVar(kAppearVar, static_cast<int>(0x80000001u));
  Game().SetVar(kEnableVar, 0x2);
  Game().SetVar(kPlacedVar, -1);
  Game().SetVar(kPowerVar, 42);
  mode->Init();
  EXPECT_EQ(mode->GetPowerMax(), 42);
  EXPECT_EQ(mode->GetCardIndex(), -1);
  const struct {
    int card, appeared, enabled, placed;
  } cases[] = {{0, 0, 1, 0}, {1, 1, 0, 0}, {2, 1, 1, 0}, {31, 0, 1, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(mode->GetCardState(c.card, kAppear), c.appeared) << c.card;
    EXPECT_EQ(mode->GetCardState(c.card, kEnable), c.enabled) << c.card;
    EXPECT_EQ(mode->GetCardState(c.card, kPlaced), c.placed) << c.card;
  }
  // Without "powerMaxVar" the maximum is the key's.
  EXPECT_EQ(Make({{"powerMax", "3"}})->GetPowerMax(), 3);
}

TEST_F(CardSystemTest, SettingsAreHeldToWhatTheTablesCanHold) {
  const struct {
    Pairs keys;
    int cards;
  } cases[] = {{{}, 1}, {{{"cardNumber", "40"}}, 32}, {{{"cardNumber", "-3"}}, 0},
               {{{"cardNumber", "32"}}, 32}};
  for (const auto& c : cases) {
    CCommonCardSystem* mode = Make(c.keys);
    EXPECT_EQ(mode->GetCardNumber(), c.cards);
    EXPECT_EQ(mode->GetCard(c.cards), nullptr);
    if (c.cards > 0) {
      EXPECT_NE(mode->GetCard(c.cards - 1), nullptr);
    }
  }
  // A level count below 1 counts as 1: the plain name at any level.
  WriteStrip("ta_cardseat1", 10, 10, 3);
  for (const char* levels : {"0", "-5"}) {
    CCommonCardSystem* plain = Make({{"cardLevelMax", levels}});
    plain->GetCard(0)->Load(4);
    EXPECT_STREQ(plain->GetCard(0)->GetPicture()->GetName(), "sys\\ta_cardseat1") << levels;
  }
  // Positions default to a row of cards.
  CCommonCardSystem* mode =
      Make({{"cardNumber", "3"}, {"cardSizeX", "70"}, {"cardPrintY2", "9"}, {"cardPrintX3", "1"}});
  EXPECT_EQ((std::array<int, 6>{mode->GetCardPrintX(0), mode->GetCardPrintY(0),
                                mode->GetCardPrintX(1), mode->GetCardPrintY(1),
                                mode->GetCardPrintX(2), mode->GetCardPrintY(2)}),
            (std::array<int, 6>{0, 0, 70, 9, 1, 0}));
}

TEST_F(CardSystemTest, TheListWritesTheStyleTable) {
  Make({{"cardPrintType3", "1"}, {"cardPrintType7", "4"}, {"cardSeatTable2", "3"},
        {"cardAddColorG", "5"}, {"cardTransPercent", "20"}});
  const int styles[] = {0, 1, 0, 3, 4, 0, 3, 0, 0, 0};
  for (int s = 0; s < 10; ++s) EXPECT_EQ(GetCardPrintType(s), styles[s]) << s;
  EXPECT_EQ(GetCardSeatTable(1), 2);
  EXPECT_EQ(GetCardSeatTable(0), 0);
  int r = 0, g = 0, b = 0;
  GetCardAddColor(&r, &g, &b);
  EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{64, 5, 32}));
  EXPECT_EQ(GetCardTransPercent(), 20);
}

// The ok button is loaded into pool picture 0 at entry.
TEST_F(CardSystemTest, InitLoadsTheOkButtonPicture) {
  WriteStrip("okpic", 32, 16, 11);
  CCommonCardSystem* mode = Make({{"okFilename", "okpic"}});
  mode->Init();
  ASSERT_NE(mode->GetOkButton(), nullptr);
  EXPECT_EQ(mode->GetOkButton()->GetPicture(), CPicturePool::GetPicture(0));
  EXPECT_STREQ(CPicturePool::GetPicture(0)->GetName(), "sys\\okpic");
}

// The screen: 20 bands, then seats 0..3 of a 2 x 2 grid for the cards
// there are, card s in status s with s + 1 marks.
TEST_F(CardSystemTest, PrintDrawsBandsAndTheSeatsThereAreCardsFor) {
  constexpr int kW = 30, kH = 40;
  for (int n = 1; n <= 4; ++n) WriteStrip("card" + std::to_string(n), kW, kH, 20 + n);
  WriteStrip("ta_cardPower", 16, 16, 30);
  for (int cards : {2, 4}) {
    CCommonCardSystem* mode =
        Make({{"cardNumber", std::to_string(cards)}, {"cardSizeX", std::to_string(kW)},
              {"cardSizeY", std::to_string(kH)}, {"tagNameCard", "card"}});
    mode->Init();
    const Screen got = Drawn([&] { mode->Print(); });
    auto mark = Fresh("ta_cardPower");
    const Screen expected = Drawn([&] {
      for (int i = 0; i < 20; ++i)
        CAllGeo::BoxFill(0, 30 * i, 800, 30, 10 * i + 10, 240 - 5 * i, (73 * i) & 255);
      for (int s = 0; s < cards; ++s) {
        auto card = Fresh("card" + std::to_string(s + 1));
        const int x = 400 * (s % 2) + 200, y = 300 * (s / 2) + 50;
        CPicture* p = card.get();
        switch (s) {
          case 0: p->Blt(x, y, 0, 0, kW, kH, 1); break;
          case 1: p->ColorAddBlt(x, y, 0, 0, kW, kH, 1, 64, 96, 32, 100); break;
          case 2: p->TransLucentBlt3(x, y, 0, 0, kW, kH, 50); break;
          default: p->GreyBlt(x, y, 0, 0, kW, kH, 1); break;
        }
        for (int i = 0; i <= s; ++i) {
          const int mx = x + 10 + 16 * i, my = y + 10;
          switch (s) {
            case 0: mark->Blt(mx, my, 0, 0, 16, 16, 1); break;
            case 1: mark->ColorAddBlt(mx, my, 0, 0, 16, 16, 1, 64, 96, 32, 100); break;
            case 2: mark->TransLucentBlt3(mx, my, 0, 0, 16, 16, 50); break;
            default: mark->GreyBlt(mx, my, 0, 0, 16, 16, 1); break;
          }
        }
      }
    });
    EXPECT_EQ(got, expected) << cards << " cards";
    EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  }
}

// "filenameBG" names a picture drawn whole in place of the bands; a name
// that does not load leaves the bands.
TEST_F(CardSystemTest, ABackgroundPictureReplacesTheBands) {
  WriteStrip("cardbg", 800, 600, 5);
  const auto bands = [] {
    for (int i = 0; i < 20; ++i)
      CAllGeo::BoxFill(0, 30 * i, 800, 30, 10 * i + 10, 240 - 5 * i, (73 * i) & 255);
  };
  const auto picture = [] { Fresh("cardbg")->Put(0, 0, 0); };
  const struct {
    const char* name;
    const char* file;
    bool shown;
  } cases[] = {
      {"no background named", nullptr, false},
      {"a background", "cardbg", true},
      {"a background that is missing", "nosuch", false},
  };
  for (const auto& c : cases) {
    Pairs keys = {{"cardNumber", "0"}};
    if (c.file) keys.push_back({"filenameBG", c.file});
    CCommonCardSystem* mode = Make(keys);
    mode->Init();
    const Screen got = Drawn([&] { mode->Print(); });
    ASSERT_NE(Drawn(bands), Drawn(picture));
    EXPECT_EQ(got, Drawn(c.shown ? std::function<void()>(picture) : bands)) << c.name;
  }
}

// Any list, variables and calls: nothing read or written outside the mode.
TEST_F(CardSystemTest, HostileSettingsAndCallsStayInside) {
  CCommonCardSystem* mode = Make({{"cardNumber", "2147483647"}, {"cardLevelMax", "-9"},
                                  {"cardSizeX", "2147483647"}, {"cardSizeY", "-1"},
                                  {"cardSeatTable1", "-2147483648"}, {"cardPowerSizeX", "-4"},
                                  {"cardPowerPicByCard", "1"}, {"appearControlFlag", "1"},
                                  {"appearVar", "appear"}, {"tagNameCard", ""}});
  EXPECT_EQ(mode->GetCardNumber(), 32);
  EXPECT_EQ(mode->GetCardPrintX(31), INT_MAX);
  Game().SetVar(kAppearVar, INT_MIN);
  mode->Init();
  EXPECT_EQ(mode->GetCardState(31, kAppear), 0);
  mode->Print();
  const int big[] = {INT_MAX, INT_MIN, 5};
  mode->Function(kAppear, 3, big);
  mode->SetCallArgs(3, big);
  EXPECT_EQ(Var(kAppearVar), 0x80000000u);
}

}  // namespace
}  // namespace card_test

namespace card_test {
namespace {

// Entering the mode reads the states again.
TEST_F(CardSystemTest, EveryEntryReadsTheVariables) {
  CCommonCardSystem* mode = Make(Controls(2));
  Game().SetVar(kAppearVar, 0x2);
  Game().RunFrame([] { return CCommonCardSystem::kModeNumber; });
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{45}));
  EXPECT_EQ(Game().GetCurrentMode(), 45);
  EXPECT_EQ(mode->GetCardState(0, kAppear), 1);
  EXPECT_EQ(mode->GetCardState(1, kAppear), 0);
  // A script switches card 2 on; the next entry sees it.
  const int args[] = {2, 1};
  mode->Function(kAppear, 2, args);  // "appearcard"
  Game().RunFrame([] { return 1; });
  Game().RunFrame([] { return CCommonCardSystem::kModeNumber; });
  EXPECT_EQ(mode->GetCardState(1, kAppear), 1);
}

// The way out: the ok button (once its picture loads) and a right click
// return to the parameter, the extras menu unless a caller named another;
// without an ok picture nothing is drawn for it and a left click stays.
TEST_F(CardSystemTest, TheOkButtonAndARightClickLeaveForTheParameter) {
  WriteStrip("okpic", 64, 16, 11);
  const Pairs ok = {{"okFilename", "okpic"}, {"okPrintX", "300"}, {"okPrintY", "500"},
                    {"okSizeX", "64"},       {"okSizeY", "16"},     {"okClickTime", "0"}};
  struct Case {
    const char* name;
    Pairs keys;
    int parameter;  // -1: none given
    int x, y, button;
    int expected;  // the mode asked for, -1 none
  };
  // (312, 505) is the strip's pixel (12, 5), opaque: the button hits by
  // its mask.
  const Case cases[] = {
      {"ok button", ok, -1, 312, 505, 0, modenumber::kOmake},
      {"ok button, the title named", ok, modenumber::kTitle, 312, 505, 0, modenumber::kTitle},
      {"right click", {}, -1, 10, 10, 1, modenumber::kOmake},
      {"left click beside the button", ok, -1, 10, 10, 0, -1},
      {"left click without an ok picture",
       {{"okPrintX", "300"}, {"okPrintY", "500"}}, -1, 312, 505, 0, -1},
  };
  for (const Case& c : cases) {
    CCommonCardSystem* mode = Make(c.keys);
    if (c.parameter >= 0) mode->SetParameter(c.parameter);
    Game().RunFrame([] { return CCommonCardSystem::kModeNumber; });
    host_->InjectMouseMove(c.x, c.y);
    Game().RunFrame();
    host_->InjectButton(c.button, true);
    host_->InjectButton(c.button, false);
    for (int i = 0; i < 10 && Game().ModeRequests().size() < 2; ++i) Game().RunFrame();
    std::vector<int> expected{CCommonCardSystem::kModeNumber};
    if (c.expected >= 0) expected.push_back(c.expected);
    EXPECT_EQ(Game().ModeRequests(), expected) << c.name;
    game_.reset();
  }
}

}  // namespace
}  // namespace card_test
