// Containers and kinds: groups, multi-state, check and radio buttons, radio
// groups and the back button.
#include "widget/buttongroup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/systempicture.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

int32_t Code(int32_t kind, int sound = 0, int number = -1, int volumeType = 0) {
  return MakeButtonCode(kind, sound, -1, number, volumeType);
}

class GroupTest : public WidgetTest {
 protected:
  int32_t Step(CCommonButtonGroup& group) {
    const int32_t code = group.Calcu(&input_);
    NextFrame();
    return code;
  }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    Click();
  }
};

// Three 8 x 6 buttons on a diagonal: (0, 0), (8, 6), (16, 12).
std::unique_ptr<CNameList> DiagonalList(WidgetTest*, const char* prefix = "button") {
  auto list = std::make_unique<CNameList>(0);
  const std::string p = std::string(prefix) + "1";
  for (const std::string& token : {p + "SizeX", std::string("8"), p + "SizeY", std::string("6"),
                                   p + "PrintMode", std::string("0"), p + "ClickTime",
                                   std::string("3"), p + "ClickSound", std::string("2")})
    list->Add(token.c_str(), true);
  return list;
}

TEST_F(GroupTest, PressedMemberAloneTakesInputUntilInit) {
  auto list = DiagonalList(this);
  CCommonButtonGroup group(list.get(), 3);
  ASSERT_EQ(group.GetCount(), 3);
  EXPECT_EQ(group.GetPrintXY(2), (platform::Point{16, 12}));
  group.Init();
  MoveTo(60, 40);
  EXPECT_EQ(Step(group), buttoncode::kNothing);
  ClickAt(18, 14);
  EXPECT_EQ(Step(group), Code(buttoncode::kPressed, 2, 2));
  // Another member is clicked while the click plays out: it stays quiet.
  ClickAt(2, 2);
  EXPECT_EQ(Step(group), Code(buttoncode::kBusy, 0, -1, -1));
  EXPECT_EQ(group.GetButton(0)->GetState(), CCommonButton::kNormal);
  EXPECT_EQ(Step(group), Code(buttoncode::kBusy, 0, -1, -1));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Step(group), Code(buttoncode::kDecided, 0, 2, -1)) << i;
  group.Init();
  MoveTo(2, 2);
  EXPECT_EQ(Step(group), Code(buttoncode::kEntered, 0, -1, -1)) << "enter codes carry no number";
}

TEST_F(GroupTest, MemberNames) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* token : {"button2PrintX", "30", "opt2PrintX", "31", "yes", "x", "yesPrintX", "32"})
    list->Add(token, true);
  CCommonButtonGroup plain(list.get(), 2);
  EXPECT_EQ(plain.GetPrintXY(1).x, 30);
  CCommonButtonGroup named(list.get(), 2, nullptr, "opt");
  EXPECT_EQ(named.GetPrintXY(1).x, 31);
  const char* names[] = {"no", "yes"};
  CCommonButtonGroup table(list.get(), 2, nullptr, "opt", names);
  EXPECT_EQ(table.GetPrintXY(1).x, 32);
  const std::string longName(300, 'n');
  CCommonButtonGroup longGroup(list.get(), 2, nullptr, longName.c_str());
  EXPECT_EQ(std::strlen(longGroup.GetSetup(1)->GetName()), 254u);
}

TEST_F(GroupTest, DisabledGroupLeavesItsButtonsAlone) {
  auto list = DiagonalList(this);
  CCommonButtonGroup group(list.get(), 3);
  group.Init();
  MoveTo(2, 2);
  EXPECT_EQ(Step(group), Code(buttoncode::kEntered, 0, -1, -1));
  group.SetEnable(0);
  ClickAt(2, 2);
  EXPECT_EQ(Step(group), buttoncode::kNothing);
  EXPECT_EQ(group.GetButton(0)->GetState(), CCommonButton::kHover);
  EXPECT_EQ(group.GetButton(0)->GetCounter(), 0);
}

TEST_F(GroupTest, MembersOutsideTheGroupAndTheSevenBitNumber) {
  auto list = DiagonalList(this);
  CCommonButtonGroup none(list.get(), -1);
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_EQ(Step(none), buttoncode::kNothing);
  CCommonButtonGroup big(list.get(), 200);
  ASSERT_EQ(big.GetCount(), 128);
  for (int i : {-1, 128, 1000}) {
    EXPECT_EQ(big.GetButton(i), nullptr) << i;
    EXPECT_EQ(big.GetPicture(i), nullptr) << i;
    EXPECT_EQ(big.GetFilename(i), nullptr) << i;
    EXPECT_EQ(big.GetPrintXY(i), (platform::Point{0, 0})) << i;
    big.SetPrintXY(i, 1, 1);
    big.SetEnable(i, 0);
    big.SetExist(i, 0);
    big.SetCancelButton(i, 1);
    big.SetPicture(i, nullptr);
    big.SetFilename(i, "x");
  }
  big.Init();
  big.GetButton(127)->SetAccelKey('Q', 0);
  keys_.SetKey('Q', 1);
  EXPECT_EQ(GetButtonCodeNumber(Step(big)), 127);
}

class KindTest : public GroupTest {};

TEST_F(KindTest, MultiStateButtonAnswersForItsCurrentState) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* token : {"cb1PrintX", "20", "cb1SizeX", "8", "cb1SizeY", "6", "cb1PrintMode", "0",
                            "cb1ClickTime", "0", "cb2ClickSound", "3"})
    list->Add(token, true);
  CCommonCheckButton box(list.get(), nullptr, "cb");
  EXPECT_EQ(box.GetStateButton(1)->GetPrintXY(), (platform::Point{20, 0})) << "states share the place";
  box.Init();
  ClickAt(22, 2);
  EXPECT_EQ(box.Calcu(&input_), Code(buttoncode::kDecided, 0, 0));
  NextFrame();
  box.SetState(1);
  box.Init();
  ClickAt(22, 2);
  EXPECT_EQ(box.Calcu(&input_), Code(buttoncode::kDecided, 3, 1));
  NextFrame();

  // A state the button lacks changes nothing.
  box.SetState(2);
  box.SetState(-1);
  EXPECT_EQ(box.GetState(), 1);
  EXPECT_EQ(box.GetStateButton(2), nullptr);
  EXPECT_EQ(box.GetStateButton(-1), nullptr);
  EXPECT_EQ(box.GetSize(5), (platform::Point{0, 0}));
  EXPECT_EQ(box.GetFilename(5), nullptr);

  // Init touches only the state that exists.
  box.SetEnable(0);
  box.SetEnable(1);
  box.Init();
  EXPECT_EQ(box.GetStateButton(1)->GetState(), CCommonButton::kNormal);
  EXPECT_EQ(box.GetStateButton(0)->GetState(), CCommonButton::kDisabled);

  // Not existing: no code and no drawing.
  CPicture* picture = Load("sys\\cb", Pixels(16, 6, [](int x, int y) { return 0x300000u + x * 256 + y; }), false);
  box.SetPicture(picture, -1);
  EXPECT_EQ(box.GetPicture(0), picture);
  box.SetExist(0);
  Clear(0x10);
  box.Print();
  EXPECT_EQ(DrawnRect(0x10), (std::vector<int>{0, 0, 0, 0}));
  ClickAt(22, 2);
  EXPECT_EQ(box.Calcu(&input_), buttoncode::kNothing);
  box.SetExist(1);
  box.Print();
  EXPECT_EQ(DrawnRect(0x10), (std::vector<int>{20, 0, 28, 6}));
}

TEST_F(KindTest, MultiStatePositionAndInheritance) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* token : {"m1SizeX", "10", "m2PrintY", "7", "m3SizeY", "4"}) list->Add(token, true);
  const platform::Point at{30, 40};
  CCommonMultiStateButton m(list.get(), nullptr, "m", 3, &at);
  EXPECT_EQ(m.GetStateButton(0)->GetPrintXY(), (platform::Point{30, 40}));
  EXPECT_EQ(m.GetStateButton(1)->GetPrintXY(), (platform::Point{30, 7}));
  EXPECT_EQ(m.GetStateButton(2)->GetPrintXY(), (platform::Point{30, 40}));
  EXPECT_EQ(m.GetSize(2), (platform::Point{10, 4}));
  CCommonMultiStateButton defaults(list.get(), nullptr, nullptr, 2);
  EXPECT_EQ(defaults.GetStateSetup(1)->GetName(), std::string("button2"));
  CCommonMultiStateButton none(list.get(), nullptr, "m", -4);
  EXPECT_EQ(none.Calcu(&input_), buttoncode::kNothing);
  none.Print();
  none.Init();
}

// Radio buttons 8 x 6 from (0, 20), the on look 12 wide, click time 2.
std::unique_ptr<CNameList> RadioList(std::initializer_list<const char*> extra = {}) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* token : extra) list->Add(token, true);
  for (const char* token : {"r1Button1PrintY", "20", "r1Button1SizeX", "8", "r1Button1SizeY", "6",
                            "r1Button1PrintMode", "0", "r1Button1ClickTime", "2",
                            "r1Button2SizeX", "12"})
    list->Add(token, true);
  return list;
}

TEST_F(KindTest, RadioButtonsStandInARow) {
  auto list = RadioList({"r2Button2SizeX", "5"});
  CCommonRadioButtonGroup radio(list.get(), "r", nullptr, 3);
  ASSERT_EQ(radio.GetCount(), 3);
  EXPECT_EQ(radio.GetItem(0)->GetStateButton(0)->GetPrintXY(), (platform::Point{0, 20}));
  EXPECT_EQ(radio.GetItem(1)->GetStateButton(0)->GetPrintXY(), (platform::Point{12, 20}));
  EXPECT_EQ(radio.GetItem(1)->GetStateButton(1)->GetPrintXY(), (platform::Point{12, 20}));
  // Right of button 2's on look (5 wide), not of its off look (12 wide).
  EXPECT_EQ(radio.GetItem(2)->GetStateButton(0)->GetPrintXY(), (platform::Point{17, 20}));
  EXPECT_EQ(radio.GetItem(3), nullptr);
  EXPECT_EQ(radio.GetItem(-1), nullptr);
  EXPECT_EQ(radio.GetPicture(7, 0), nullptr);
  EXPECT_EQ(radio.GetFilename(7, -1), nullptr);
}

TEST_F(KindTest, RadioGroupIgnoresItsSelectionAndAllInputAfterADecision) {
  auto list = RadioList();
  CCommonRadioButtonGroup radio(list.get(), "r", nullptr, 3);
  radio.SetSelect(0);
  EXPECT_EQ(radio.GetItem(0)->GetState(), 1);
  auto step = [&] {
    const int32_t code = radio.Calcu(&input_);
    NextFrame();
    return code;
  };
  ClickAt(2, 22);
  EXPECT_EQ(step(), buttoncode::kNothing) << "clicking the current choice does nothing";
  ClickAt(14, 22);
  EXPECT_EQ(GetButtonCodeKind(step()), buttoncode::kPressed);
  ClickAt(26, 22);
  EXPECT_EQ(step(), Code(buttoncode::kBusy, 0, -1, -1)) << "only the pressed button takes input";
  EXPECT_EQ(radio.GetItem(2)->GetStateButton(0)->GetState(), CCommonButton::kNormal);
  EXPECT_EQ(step(), Code(buttoncode::kDecided, 0, 1, -1));
  EXPECT_EQ(radio.GetSelect(), 1);
  for (int x : {2, 14, 26}) {
    ClickAt(x, 22);
    EXPECT_EQ(step(), buttoncode::kNothing) << x;
  }
  radio.ChangeSelect(1);
  EXPECT_EQ(radio.GetItem(1)->GetState(), 1);
  EXPECT_EQ(radio.GetItem(0)->GetState(), 0);
  ClickAt(26, 22);
  EXPECT_EQ(GetButtonCodeKind(step()), buttoncode::kPressed);
}

TEST_F(KindTest, RadioDecisionAtOnceAlsoEndsInput) {
  auto list = RadioList({"r1Button1ClickTime", "0"});
  CCommonRadioButtonGroup radio(list.get(), "r", nullptr, 3);
  radio.SetSelect(0);
  ClickAt(14, 22);
  EXPECT_EQ(radio.Calcu(&input_), Code(buttoncode::kDecided, 0, 1, 0));
  NextFrame();
  ClickAt(26, 22);
  EXPECT_EQ(radio.Calcu(&input_), buttoncode::kNothing);
}

TEST_F(KindTest, RadioPriorities) {
  // One button enters while another is pressed by its key: the press wins
  // whichever comes first.
  for (int keyed : {1, 2}) {
    auto list = RadioList();
    CCommonRadioButtonGroup radio(list.get(), "r", nullptr, 3);
    radio.SetSelect(0);
    radio.GetItem(keyed)->GetStateButton(0)->SetAccelKey('K', 0);
    MoveTo(keyed == 1 ? 26 : 14, 22);
    keys_.SetKey('K', 1);
    EXPECT_EQ(GetButtonCodeKind(radio.Calcu(&input_)), buttoncode::kPressed) << keyed;
    NextFrame();
  }
  // Two plain codes: the first one found stays.
  auto list = RadioList({"r1Button1ExitSound", "4", "r1Button1EnterSound", "5"});
  CCommonRadioButtonGroup radio(list.get(), "r", nullptr, 3);
  radio.SetSelect(0);
  MoveTo(14, 22);
  EXPECT_EQ(radio.Calcu(&input_), Code(buttoncode::kEntered, 5));
  NextFrame();
  MoveTo(26, 22);
  EXPECT_EQ(radio.Calcu(&input_), Code(buttoncode::kLeft, 4));
}

TEST_F(KindTest, BackButtonTakesTheRightButton) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* token : {"backPrintX", "40", "backSizeX", "8", "backSizeY", "6", "backClickTime", "0"})
    list->Add(token, true);
  CCommonBackButton back(list.get(), "back", nullptr);
  EXPECT_EQ(back.IsCancelButton(), 1);
  MoveTo(0, 0);
  Click(1);
  EXPECT_EQ(back.Calcu(&input_), Code(buttoncode::kDecided, 0, 0));
}

// What a screen's own back button ("backButtonType" 0) is made of: the
// keys of "back" in the screen's list or, with "useCommonBackSetup", in the
// game's list; work picture 0; the picture reloaded from "sys\\".
TEST_F(KindTest, ScreenBackButtonOverEitherList) {
  CPicturePool pool;
  Load("sys\\ta_backButton", Pixels(16, 6, [](int, int) { return 0x00AA0000u; }), false);
  Load("sys\\game_back", Pixels(16, 6, [](int, int) { return 0x0000BB00u; }), false);
  auto modeList = std::make_unique<CNameList>(0);
  for (const char* token : {"backPrintX", "4", "backSizeX", "8", "backSizeY", "6", "backPrintMode", "0"})
    modeList->Add(token, true);
  auto gameList = std::make_unique<CNameList>(0);
  for (const char* token : {"backPrintX", "30", "backSizeX", "8", "backSizeY", "6", "backPrintMode", "0",
                            "BackFileName", "game_back"})
    gameList->Add(token, true);
  CPicture* screenPicture = Load("sys\\screen", Pixels(64, 48, [](int, int) { return 0x00000022u; }), false);

  struct Case {
    const char* what;
    CNameList* list;
    CPicture* background;
    int x;
    uint32_t colour;
  };
  const Case cases[] = {
      {"own list, default file", modeList.get(), screenPicture, 4, 0x00AA0000u},
      {"game's list", gameList.get(), nullptr, 30, 0x0000BB00u},
  };
  for (const Case& c : cases) {
    CCommonBackButton back(c.list, "back", c.background);
    back.SetPicture(CPicturePool::GetPicture(0));
    CPicturePool::GetPicture(0)->ClearName();
    EXPECT_EQ(ReloadButtonPicture(&back, "ta_backButton"), 1) << c.what;
    back.Init();
    Clear(0x10);
    back.Print();
    EXPECT_EQ(At(c.x + 1, 1), c.colour) << c.what;
    EXPECT_EQ(back.GetBackPicture(), c.background) << c.what;
    back.Release();
  }
  CCommonBackButton bare(modeList.get(), "back", nullptr);
  EXPECT_EQ(ReloadButtonPicture(&bare, "ta_backButton"), 0) << "no picture set";
  EXPECT_EQ(ReloadButtonPicture(nullptr, "ta_backButton"), 0);
}

}  // namespace
}  // namespace widget_test
