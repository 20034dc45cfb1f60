#include "input/inputstatus.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"

namespace {

class InputStatusTest : public ::testing::Test {
 protected:
  void SetUp() override { host_ = &platform::InstallHeadless(); }
  platform::HeadlessBackend* host_ = nullptr;
};

TEST_F(InputStatusTest, MouseButtonsHeldAndClicked) {
  CMouseStatus m;
  EXPECT_EQ(m.GetSwapButtons(), 0);
  m.SetButton(0, 1);
  EXPECT_EQ(m.GetTrig(0), 1);
  EXPECT_EQ(m.GetClick(0), 1);
  m.SetButton(0, 0);  // released: no longer held, the click stays
  EXPECT_EQ(m.GetTrig(0), 0);
  EXPECT_EQ(m.GetClick(0), 1);
  m.SetTrig(1, 1);  // held without a click
  EXPECT_EQ(m.GetTrig(1), 1);
  EXPECT_EQ(m.GetClick(1), 0);

  // Buttons outside 0..2 change nothing and answer 0.
  for (int b : {-1, 3, 100}) {
    m.SetButton(b, 1);
    m.SetTrig(b, 1);
    EXPECT_EQ(m.GetTrig(b), 0);
    EXPECT_EQ(m.GetPrevTrig(b), 0);
    EXPECT_EQ(m.GetClick(b), 0);
  }
}

TEST_F(InputStatusTest, AnyClickLeavesOutTheMiddleButton) {
  struct Case {
    int button;
    int any;
  };
  for (const Case& c : std::vector<Case>{{0, 1}, {1, 1}, {2, 0}}) {
    CMouseStatus m;
    m.SetButton(c.button, 1);
    EXPECT_EQ(m.GetClick(c.button), 1);
    EXPECT_EQ(m.GetAnyClick(), c.any) << "button " << c.button;
  }
}

TEST_F(InputStatusTest, ClearForgetsClicksAndMarksButtonsHeldBefore) {
  CMouseStatus m;
  m.SetPos(30, 40);
  m.SetButton(0, 1);
  m.SetWheel(-1);
  m.Clear(0);
  platform::Point p;
  m.GetPos(&p);
  EXPECT_EQ(p, (platform::Point{30, 40}));
  EXPECT_EQ(m.GetTrig(0), 1);
  EXPECT_EQ(m.GetClick(0), 0);
  for (int b = 0; b < 3; ++b) EXPECT_EQ(m.GetPrevTrig(b), 1);
  EXPECT_EQ(m.GetWheel(), -1);

  m.Clear(1);
  m.GetPos(&p);
  EXPECT_EQ(p, (platform::Point{0, 0}));
  EXPECT_EQ(m.GetTrig(0), 0);
  EXPECT_EQ(m.GetWheel(), 0);
  m.GetPos(nullptr);
}

TEST_F(InputStatusTest, CalcuLetsGoOfButtonsReleasedOutsideTheWindow) {
  CMouseStatus m;
  host_->InjectButton(0, true);  // physically down
  m.SetButton(0, 1);
  m.SetButton(1, 1);  // its release went unseen: physically up
  m.Calcu();
  EXPECT_EQ(m.GetPrevTrig(0), 1);
  EXPECT_EQ(m.GetPrevTrig(1), 1);
  EXPECT_EQ(m.GetClick(0), 0);
  EXPECT_EQ(m.GetTrig(0), 1);
  EXPECT_EQ(m.GetTrig(1), 0);

  host_->ReleaseButtonSilently(0);
  m.Calcu();
  EXPECT_EQ(m.GetTrig(0), 0);
  EXPECT_EQ(m.GetPrevTrig(0), 1);
  m.Calcu();
  EXPECT_EQ(m.GetPrevTrig(0), 0);
}

TEST_F(InputStatusTest, KeysByVirtualKeyCode) {
  CMyKeyStatus k;
  k.SetKey(65, 1);
  EXPECT_EQ(k.CheckKey(65, 0), 1);
  EXPECT_EQ(k.CheckKey(65, 1), 1);
  k.SetKey(65, 0);  // up: no longer down, still pressed this frame
  EXPECT_EQ(k.CheckKey(65, 0), 0);
  EXPECT_EQ(k.CheckKey(65, 1), 1);
  k.SetKey(0, 1);
  k.SetKey(255, 1);
  EXPECT_EQ(k.CheckKey(0, 1), 1);
  EXPECT_EQ(k.CheckKey(255, 1), 1);
  k.Clear();
  for (int vk : {0, 65, 255}) EXPECT_EQ(k.CheckKey(vk, 1), 0);

  // Codes outside 0..255 change nothing and answer 0.
  k.SetKey(300, 1);
  k.SetKey(-1, 1);
  k.SetKey(256, 1);
  EXPECT_EQ(k.CheckKey(256, 0), 0);
  EXPECT_EQ(k.CheckKey(-1, 1), 0);
  EXPECT_EQ(k.CheckKey(300, 1), 0);
  for (int vk = 0; vk < 256; ++vk) ASSERT_EQ(k.CheckKey(vk, 0) + k.CheckKey(vk, 1), 0) << vk;
}

TEST_F(InputStatusTest, InputContextLendsTheTwoObjects) {
  CMouseStatus m;
  CMyKeyStatus k;
  CInputStatus in;
  EXPECT_EQ(in.GetMouseStatus(), nullptr);
  EXPECT_EQ(in.GetKeyStatus(), nullptr);
  in.SetMouseStatus(&m);
  in.SetKeyStatus(&k);
  EXPECT_EQ(in.GetMouseStatus(), &m);
  EXPECT_EQ(in.GetKeyStatus(), &k);
}

}  // namespace
