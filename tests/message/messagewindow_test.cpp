#include "message/messagewindow.h"

#include <gtest/gtest.h>

#include <string>

#include "message_fixture.h"
#include "setup/namelist.h"

namespace message_test {
namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGrey = 0x404040;

class MessageWindowTest : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    CNameList::ResetInit2Check();
  }
  void Settings(const std::string& text) { dir_.Write("init/messageWindow.xtx", text); }
  // A window at (10, 60) 100 x 40, a name window at (10, 20) 50 x 30.
  void Placed(const std::string& more = "") {
    Settings(
        "printX 10\nprintY 60\nsizeX 100\nsizeY 40\nnameWindowFlag 1\nnamePrintX 10\n"
        "namePrintY 20\nnameSizeX 50\nnameSizeY 30\nfilenameWindow1 win\n"
        "filenameNameWindow1 name\n" +
        more);
    WritePicture("win", 100, 40, kRed);
    WritePicture("name", 50, 30, kBlue);
  }
};

TEST_F(MessageWindowTest, NameTableKeys) {
  Settings(
      "windowNumberConfig 2\nwindowNumberScript 1\nwindowNumberFontSizeType 2\n"
      "filenameWindow1 w1\nfilenameWindow2_Font1 w2f1\n");
  CCommonMessageWindow w;
  EXPECT_EQ(w.GetWindowName(0, 0, 0), "w1");
  EXPECT_EQ(w.GetWindowName(1, 0, 0), "ta_meswin");
  EXPECT_EQ(w.GetWindowName(0, 0, 1), "ta_meswin");
  EXPECT_EQ(w.GetWindowName(1, 0, 1), "w2f1");

  Settings(
      "windowNumberConfig 2\nwindowNumberScript 2\nfilenameWindow2_1 s2c1\n"
      "filenameWindow oneForAll\n");
  CCommonMessageWindow both;
  EXPECT_EQ(both.GetWindowName(0, 1, 0), "s2c1");
  EXPECT_EQ(both.GetWindowName(1, 1, 0), "oneForAll");

  Settings("windowNumberScript 3\nfilenameWindow3 s3\n");
  CCommonMessageWindow script;
  EXPECT_EQ(script.GetWindowName(0, 2, 0), "s3");
}

// The window's picture is needed: damaged, it is shown in a box naming the
// file, once; the name window's is not, and a missing one stays a line.
TEST_F(MessageWindowTest, ADamagedWindowPictureIsBoxedOnce) {
  Placed();
  dir_.Write("dwq/sys/win.dwq", "not a picture");
  dir_.Write("dwq/sys/name.dwq", "not a picture");
  CCommonMessageWindow first;
  CCommonMessageWindow second;
  auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text.rfind("sys\\win: ", 0), 0u) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("\nthe message window is not shown without this picture"),
            std::string::npos);

  host_->ClearBoxes();
  Settings("filenameWindow gone\n");
  CCommonMessageWindow missing;
  EXPECT_TRUE(host_->Boxes().empty());
}

TEST_F(MessageWindowTest, TheOneCountKeyAndItsFallbacks) {
  Settings("filenameWindow1 first\nfilenameWindow2 second\n");
  EXPECT_EQ(CCommonMessageWindow().GetWindowName(0, 0, 0), "first");
  Settings("filenameWindow plain\nfilenameWindow2 second\n");
  EXPECT_EQ(CCommonMessageWindow().GetWindowName(0, 0, 0), "plain");
  Settings("filenameWindow2 second\n");
  EXPECT_EQ(CCommonMessageWindow().GetWindowName(0, 0, 0), "ta_meswin");
}

TEST_F(MessageWindowTest, NumbersStayWithinTheirCounts) {
  Settings("windowNumberConfig 3\nwindowNumberScript -4\nwindowNumberFontSizeType 2\n");
  CCommonMessageWindow w;
  EXPECT_EQ(w.GetCount(1), 1);  // a count below 1 counts as 1
  w.SetFontSizeType(5);
  EXPECT_EQ(w.GetFontSizeType(), 1);
  w.SetFontSizeType(-2);
  EXPECT_EQ(w.GetFontSizeType(), 0);
  w.SetWindowNumberConfig(7);
  EXPECT_EQ(w.GetWindowNumberConfig(), 2);
  w.SetWindowNumberScript(1);
  EXPECT_EQ(w.GetWindowNumberScript(), 0);

  // Counts whose table would not fit count as 1 each.
  Settings("windowNumberConfig 100000\nwindowNumberScript 100000\nwindowNumberFontSizeType 9\n");
  CCommonMessageWindow huge;
  EXPECT_EQ(huge.GetCount(0) * huge.GetCount(1) * huge.GetCount(2), 1);
}

TEST_F(MessageWindowTest, PercentAndShow) {
  Placed();
  CCommonMessageWindow w;
  struct Case {
    int show, showName, percent;
    bool window, name, full;
  } cases[] = {
      {1, 1, 0, false, false, false}, {1, 1, 50, true, true, false},
      {1, 1, 120, true, true, true},  {0, 1, 100, false, false, false},
      {1, 0, 100, true, false, true},
  };
  for (const auto& c : cases) {
    FillScreen(kGrey);
    w.SetPercent(c.percent);
    w.Print(c.show, c.showName, nullptr);
    const uint32_t win = Screen(20, 70), name = Screen(20, 30);
    EXPECT_EQ(win != kGrey, c.window) << c.percent;
    EXPECT_EQ(name != kGrey, c.name) << c.percent;
    EXPECT_EQ(win == kRed, c.window && c.full) << c.percent;
    EXPECT_EQ(name == kBlue, c.name && c.full) << c.percent;
    EXPECT_EQ(Screen(5, 70), kGrey);  // outside both
  }
}

TEST_F(MessageWindowTest, PrintAtTheWindowPositionDrawsWherePrintDraws) {
  Placed();
  CCommonMessageWindow w;
  FillScreen(kGrey);
  w.Print(1, 1, nullptr);
  const std::vector<uint32_t> printed(CScreenBuffer::GetBuffer(),
                                      CScreenBuffer::GetBuffer() + kW * kH);
  FillScreen(kGrey);
  w.PrintAt(1, 1, {10, 60});
  EXPECT_TRUE(std::equal(printed.begin(), printed.end(), CScreenBuffer::GetBuffer()));
  // Another position moves both windows together.
  FillScreen(kGrey);
  w.PrintAt(1, 1, {110, 70});
  EXPECT_EQ(Screen(120, 80), kRed);
  EXPECT_EQ(Screen(120, 40), kBlue);
}

TEST_F(MessageWindowTest, HitTest) {
  Placed();
  CCommonMessageWindow w;
  EXPECT_EQ(w.CheckHit(10, 60, 0), 1);
  EXPECT_EQ(w.CheckHit(109, 99, 0), 1);
  EXPECT_EQ(w.CheckHit(110, 60, 0), 0);
  EXPECT_EQ(w.CheckHit(20, 30, 0), 0);  // the name window needs withName
  EXPECT_EQ(w.CheckHit(20, 30, 1), 1);
  EXPECT_EQ(w.CheckHitLocal(0, 0, 0), 1);
  EXPECT_EQ(w.CheckHitLocal(-1, 0, 0), 0);
  EXPECT_EQ(w.CheckHitLocal(2147483647, 2147483647, 1), 0);

  Settings("printX 10\nprintY 60\nnamePrintX 10\nnamePrintY 20\n");
  CCommonMessageWindow noName;
  EXPECT_EQ(noName.CheckHit(20, 30, 1), 0);  // the name window is off
}

}  // namespace
}  // namespace message_test
