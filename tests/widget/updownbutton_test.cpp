// Page buttons: the up/down pair and the combined control with a back button.
#include "widget/updownbutton.h"

#include <gtest/gtest.h>

#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

int32_t Code(int32_t kind, int number = -1) { return MakeButtonCode(kind, 0, -1, number, -1); }

// Up at (0, 0), down at (20, 0), back at (40, 0); 10 x 10 rectangles hit
// without a picture; clicks play for two frames.
class UpDownTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    list_ = List({{"upSizeX", "10"}, {"upSizeY", "10"}, {"upPrintMode", "0"}, {"upClickTime", "2"},
                  {"downPrintX", "20"}, {"downPrintY", "0"},
                  {"backPrintX", "40"}, {"backSizeX", "10"}, {"backSizeY", "10"},
                  {"backPrintMode", "0"}, {"backClickTime", "2"}});
    pair_ = std::make_unique<CUpDownButton>(list_.get(), nullptr);
    back_ = std::make_unique<CCommonBackButton>(list_.get(), "back", nullptr);
    MoveTo(300, 300);
  }
  template <typename T>
  int32_t Step(T& control) {
    const int32_t code = control.Calcu(&input_);
    NextFrame();
    return code;
  }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    Click();
  }

  std::unique_ptr<CNameList> list_;
  std::unique_ptr<CUpDownButton> pair_;
  std::unique_ptr<CCommonBackButton> back_;
};

TEST_F(UpDownTest, FirstOfThreePagesOnlyDownReacts) {
  pair_->SetPageMax(3);
  pair_->Init();
  EXPECT_EQ(pair_->GetButton(1)->GetPrintX(), 20);
  ClickAt(5, 5);
  EXPECT_EQ(Step(*pair_), buttoncode::kNothing) << "no previous page";
  EXPECT_FALSE(pair_->IsUsable(0));
  ClickAt(25, 5);
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kPressed, 1));
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kBusy));
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kDecided, 1));
  EXPECT_EQ(pair_->GetPage(), 1);
  // Reported once: both buttons are ready for the next click.
  MoveTo(300, 300);
  EXPECT_EQ(Step(*pair_), buttoncode::kNothing);
  EXPECT_TRUE(pair_->IsUsable(0));
  EXPECT_EQ(pair_->GetButton(1)->GetState(), CCommonButton::kNormal);
  ClickAt(5, 5);
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kPressed, 0));
}

TEST_F(UpDownTest, PagesAreClamped) {
  struct Case {
    int max, page, wantMax, wantPage;
  } cases[] = {{3, 7, 3, 2}, {3, -4, 3, 0}, {0, 5, 0, 0}, {-3, 1, 0, 0}, {1000, 500, 127, 126}};
  for (const Case& c : cases) {
    pair_->SetPageMax(c.max);
    pair_->SetPage(c.page);
    EXPECT_EQ(pair_->GetPageMax(), c.wantMax) << c.max;
    EXPECT_EQ(pair_->GetPage(), c.wantPage) << c.max << " " << c.page;
  }
  // One page or none: neither button is usable, nothing is drawn.
  pair_->SetPageMax(1);
  pair_->Init();
  ClickAt(25, 5);
  EXPECT_EQ(Step(*pair_), buttoncode::kNothing);
  EXPECT_FALSE(pair_->IsUsable(0) || pair_->IsUsable(1));
}

TEST_F(UpDownTest, WheelOnTheLastPage) {
  pair_->SetPageMax(3);
  pair_->SetPage(2);
  pair_->Init();
  mouse_.SetWheel(-1);
  EXPECT_EQ(Step(*pair_), buttoncode::kNothing) << "no next page";
  mouse_.SetWheel(1);
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kPressed, 0));
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kBusy));
  EXPECT_EQ(Step(*pair_), Code(buttoncode::kDecided, 1));
  EXPECT_EQ(pair_->GetPage(), 1);
}

TEST_F(UpDownTest, DecidedAtOnceWithoutClickTime) {
  auto list = List({{"upSizeX", "10"}, {"upSizeY", "10"}, {"upPrintMode", "0"}, {"upClickTime", "0"}});
  CUpDownButton pair(list.get(), nullptr);
  pair.SetPageMax(4);
  pair.SetPage(1);
  pair.Init();
  mouse_.SetWheel(-1);
  EXPECT_EQ(GetButtonCodeNumber(Step(pair)), 2);
  EXPECT_EQ(pair.GetPage(), 2);
  // A page turned at once ends the pass: the other button, under a resting
  // mouse, does not answer the same frame with an enter code that would
  // hide the turn from the screen.
  MoveTo(15, 15);
  EXPECT_EQ(GetButtonCodeKind(Step(pair)), buttoncode::kEntered);
  mouse_.SetWheel(1);
  EXPECT_EQ(Step(pair), Code(buttoncode::kDecided, 1));
  EXPECT_EQ(pair.GetPage(), 1);
  pair.SetEnable(0);
  mouse_.SetWheel(-1);
  EXPECT_EQ(Step(pair), buttoncode::kNothing);
  EXPECT_EQ(pair.GetPage(), 1);
}

TEST_F(UpDownTest, CombinedControlNumbersPagesFromOneAndBackZero) {
  CCommonUpdownBack control(back_.get(), pair_.get());
  control.SetPageMax(3);
  control.Init();
  ClickAt(25, 5);
  EXPECT_EQ(Step(control), Code(buttoncode::kPressed, 1));
  EXPECT_EQ(control.GetPressedPart(), 2);
  EXPECT_EQ(Step(control), Code(buttoncode::kBusy));
  EXPECT_EQ(Step(control), Code(buttoncode::kDecided, 2)) << "page 1 plus one";
  EXPECT_EQ(control.GetPage(), 1);
  EXPECT_EQ(control.GetPressedPart(), -1);

  MoveTo(300, 300);
  Step(control);
  ClickAt(45, 5);
  EXPECT_EQ(GetButtonCodeKind(Step(control)), buttoncode::kPressed);
  EXPECT_EQ(Step(control), Code(buttoncode::kBusy));
  EXPECT_EQ(Step(control), Code(buttoncode::kDecided, 0));
}

TEST_F(UpDownTest, BackPressBlocksThePair) {
  CCommonUpdownBack control(back_.get(), pair_.get());
  control.SetPageMax(3);
  control.SetPage(1);
  back_->SetClickTime(4);
  control.Init();
  ClickAt(45, 5);
  EXPECT_EQ(GetButtonCodeKind(Step(control)), buttoncode::kPressed);
  mouse_.SetWheel(1);
  EXPECT_EQ(Step(control), Code(buttoncode::kBusy));
  ClickAt(25, 5);
  EXPECT_EQ(Step(control), Code(buttoncode::kBusy));
  EXPECT_EQ(control.GetPage(), 1);
  EXPECT_EQ(pair_->GetButton(1)->GetState(), CCommonButton::kNormal) << "the pair idles";
}

TEST_F(UpDownTest, EnterAndLeaveOfThePairAreDropped) {
  CCommonUpdownBack control(back_.get(), pair_.get());
  control.SetPageMax(3);
  control.Init();
  MoveTo(25, 5);
  EXPECT_EQ(Step(control), buttoncode::kNothing);
  EXPECT_EQ(pair_->GetButton(1)->GetState(), CCommonButton::kHover);
  MoveTo(300, 300);
  EXPECT_EQ(Step(control), buttoncode::kNothing);
  // The back button's own enter code passes.
  MoveTo(45, 5);
  EXPECT_EQ(GetButtonCodeKind(Step(control)), buttoncode::kEntered);
}

// The page count is capped so that the combined control's page + 1 never
// wraps into the back number 0.
TEST_F(UpDownTest, LastPageNumberFitsTheCode) {
  CCommonUpdownBack control(back_.get(), pair_.get());
  control.SetPageMax(200);
  control.SetPage(125);
  control.Init();
  mouse_.SetWheel(-1);
  EXPECT_EQ(GetButtonCodeKind(Step(control)), buttoncode::kPressed);
  Step(control);
  EXPECT_EQ(Step(control), Code(buttoncode::kDecided, 127));
  EXPECT_EQ(control.GetPage(), 126);
}

TEST_F(UpDownTest, MissingPartsAreSkipped) {
  CCommonUpdownBack onlyPair(nullptr, pair_.get());
  onlyPair.SetPageMax(2);
  onlyPair.Init();
  mouse_.SetWheel(-1);
  EXPECT_EQ(Step(onlyPair), Code(buttoncode::kPressed, 1));
  CCommonUpdownBack onlyBack(back_.get(), nullptr);
  onlyBack.Init();
  EXPECT_EQ(onlyBack.GetPageMax(), 0);
  ClickAt(45, 5);
  EXPECT_EQ(GetButtonCodeKind(Step(onlyBack)), buttoncode::kPressed);
  onlyBack.Print();
}

}  // namespace
}  // namespace widget_test
