// The value bar: clicks, the hit range, drags, redraws and the two modes.
#include "widget/slider.h"

#include <gtest/gtest.h>

#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kScreen = 0x00101010u;
constexpr uint32_t kBar = 0x00C08040u;
constexpr uint32_t kKnob = 0x000000F0u;
constexpr uint32_t kBack = 0x00202020u;

class SliderTest : public WidgetTest {
 protected:
  int Step(CCommonSlider& slider) {
    const int v = slider.Calcu(&mouse_);
    NextFrame();
    return v;
  }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    Click();
  }
};

TEST_F(SliderTest, ClicksJumpToTheRoundedValue) {
  CCommonSlider slider(nullptr, 100, 10, 20, 200, 8, 0, 0, 1, nullptr, 0);
  struct Case {
    int x, y, value;
  } cases[] = {
      {11, 20, 1},    // (1 x 100 + 100) / 200
      {209, 24, 100},
      {210, 28, 100},  // one past the last column and the last row still hit
      {10, 20, 0},
      {211, 24, -1},
      {9, 24, -1},
      {50, 29, -1},
      {50, 19, -1},
  };
  for (const Case& c : cases) {
    slider.SetValue(0);
    ClickAt(c.x, c.y);
    EXPECT_EQ(Step(slider), c.value) << c.x << "," << c.y;
  }
  EXPECT_EQ(slider.Calcu(nullptr), -1);
  MoveTo(50, 24);
  EXPECT_EQ(Step(slider), -1) << "no click, no value";
}

TEST_F(SliderTest, KnobWidensTheHitRows) {
  CCommonSlider slider(nullptr, 10, 0, 20, 100, 4, 0, 0, 1, nullptr, 0);
  slider.SetKnob(nullptr, -3, -6, 6, 16, 0);
  EXPECT_FALSE(slider.CheckHit(50, 15)) << "without the knob flag";
  slider.SetKnob(nullptr, -3, -6, 6, 16, 1);
  EXPECT_TRUE(slider.CheckHit(50, 14));
  EXPECT_TRUE(slider.CheckHit(50, 30));
  EXPECT_FALSE(slider.CheckHit(50, 13));
  EXPECT_FALSE(slider.CheckHit(50, 31));
}

TEST_F(SliderTest, DragFollowsTheMouseAndClampsAtBothEnds) {
  CCommonSlider slider(nullptr, 100, 10, 20, 200, 8, 0, 0, 1, nullptr, 0);
  MoveTo(110, 24);
  mouse_.SetButton(0, 1);
  EXPECT_EQ(Step(slider), 50);
  EXPECT_EQ(slider.CheckDrag(), 1);
  MoveTo(-500, 300);  // anywhere while held
  mouse_.SetTrig(0, 1);
  EXPECT_EQ(Step(slider), 0);
  MoveTo(5000, -40);
  mouse_.SetTrig(0, 1);
  EXPECT_EQ(Step(slider), 100);
  MoveTo(60, 0);
  mouse_.SetButton(0, 0);
  EXPECT_EQ(Step(slider), 25) << "the release frame still counts";
  EXPECT_EQ(slider.CheckDrag(), 0);
  MoveTo(150, 0);
  EXPECT_EQ(Step(slider), -1);
  // SetValue ends a drag.
  ClickAt(110, 24);
  mouse_.SetButton(0, 1);
  Step(slider);
  slider.SetValue(7);
  EXPECT_EQ(slider.CheckDrag(), 0);
}

// Narrow bars and huge values: no division by zero, no overflow.
TEST_F(SliderTest, DegenerateSizes) {
  for (int width : {0, -7}) {
    CCommonSlider slider(nullptr, 0, 10, 20, width, 8, 0, 0, 1, nullptr, 0);
    EXPECT_EQ(slider.GetMax(), 1);
    ClickAt(10, 20);
    EXPECT_EQ(Step(slider), width == 0 ? 0 : -1);
    slider.Print(1, 0);
  }
  CCommonSlider wide(nullptr, 2147483647, 0, 0, 2147483647, 8, 0, 0, 1, nullptr, 0);
  EXPECT_EQ(wide.ValueAt(2147483647), 2147483647);
  EXPECT_EQ(wide.ValueAt(-2147483647 - 1), 0);
}

class SliderPrintTest : public SliderTest {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    const auto opaque = [](int, int) { return uint8_t{255}; };
    bar_ = Load("bar", Pixels(40, 4, [](int, int) { return kBar; }, opaque), true);
    knob_ = Load("knob", Pixels(4, 8, [](int, int) { return kKnob; }, opaque), true);
    back_ = Load("back", Pixels(kW, kH, [](int, int) { return kBack; }), false);
    Clear(kScreen);
    CScreenBuffer::SetFullRedraw(0);
    CScreenBuffer::StartFrame();
    CScreenBuffer::StartFrame();  // a frame that is not presented whole
  }
  CPicture* bar_ = nullptr;
  CPicture* knob_ = nullptr;
  CPicture* back_ = nullptr;
};

TEST_F(SliderPrintTest, RedrawsOnlyWhenAskedOrChanged) {
  CCommonSlider slider(bar_, 40, 10, 10, 40, 4, 0, 0, 0, back_, 0);
  ASSERT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  slider.SetValue(20);
  slider.Print(0, 0);
  EXPECT_EQ(RowRun(11, kScreen), (std::pair<int, int>{10, 40})) << "SetValue redraws";
  EXPECT_EQ(At(29, 11), kBar);
  EXPECT_EQ(At(30, 11), kBack);
  Clear(kScreen);
  MoveTo(0, 0);
  Step(slider);
  slider.Print(0, 0);
  EXPECT_EQ(CountChanged(kScreen), 0) << "unchanged";
  slider.Print(1, 0);
  EXPECT_EQ(At(29, 11), kBar) << "forced";
}

TEST_F(SliderPrintTest, ValueZeroDrawsOnlyTheKnob) {
  CCommonSlider slider(bar_, 40, 10, 10, 40, 4, 0, 0, 0, nullptr, 0);
  slider.SetKnob(knob_, -2, -2, 4, 8, 1);
  slider.SetValue(0);
  slider.Print(0, 0);
  EXPECT_EQ(DrawnRect(kScreen), (std::vector<int>{8, 8, 12, 16}));
  slider.SetValue(40);
  slider.Print(0, 0);
  EXPECT_EQ(At(48, 9), kKnob) << "the knob at the right end";
  EXPECT_EQ(At(47, 11), kBar);
}

TEST_F(SliderPrintTest, KnobAreasAreRestoredAtTheOldAndNewValue) {
  CCommonSlider slider(bar_, 40, 10, 10, 40, 4, 0, 0, 0, back_, 0);
  slider.SetKnob(knob_, -2, -2, 4, 8, 1);
  slider.SetValue(30);
  slider.Print(0, 0);
  Clear(kScreen);
  CScreenBuffer::ClearDirtyRects();
  MoveTo(20, 11);
  Click();
  EXPECT_EQ(Step(slider), 10);
  Step(slider);  // released
  slider.SetValue(10);
  slider.Print(0, 0);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{10, 10, 40, 4}, {18, 8, 4, 8}}));
}

TEST_F(SliderPrintTest, ModeOneBlendsAtHalf) {
  for (int trans : {0, 1}) {
    Clear(kScreen);
    CCommonSlider slider(bar_, 40, 10, 10, 40, 4, 0, 0, trans, nullptr, 0);
    slider.SetValue(40);
    slider.Print(0, 1);
    const uint32_t want = ((0xC0 + 0x10) / 2) << 16 | ((0x80 + 0x10) / 2) << 8 | (0x40 + 0x10) / 2;
    EXPECT_NEAR(static_cast<int>(At(20, 11) >> 16), static_cast<int>(want >> 16), 1) << trans;
    EXPECT_NEAR(static_cast<int>(At(20, 11) & 0xFF), static_cast<int>(want & 0xFF), 1) << trans;
  }
}

}  // namespace
}  // namespace widget_test
