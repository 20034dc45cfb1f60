// The setup record: defaults, inheritance and the accelerator texts.
#include "widget/commonbuttonsetup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "widget/commonbutton.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

using SetupTest = WidgetTest;

TEST_F(SetupTest, DefaultsWithoutAPreviousSetup) {
  auto list = List({{"okSizeX", "20"}, {"okAnimePattern2", "4"}, {"okAnimeSpeed1", "3"},
                    {"okAnimeType3", "6"}, {"okPicSrcY4", "9"}});
  CCommonButtonSetup s(list.get(), "ok");
  EXPECT_EQ(s.clickTime, 8);
  EXPECT_EQ(s.sizeX, 20);
  EXPECT_EQ(s.sizeY, 16);
  EXPECT_EQ(s.printMode, 2);
  EXPECT_EQ(s.checkSizeX, 20);
  EXPECT_EQ(s.checkSizeY, 16);
  EXPECT_EQ(s.fileName, nullptr);
  // A state takes the value of the state before it unless the list says.
  EXPECT_EQ((std::vector<int>{s.animePattern[0], s.animePattern[1], s.animePattern[2], s.animePattern[3]}),
            (std::vector<int>{1, 4, 4, 4}));
  EXPECT_EQ((std::vector<int>{s.animeSpeed[0], s.animeSpeed[1], s.animeSpeed[2], s.animeSpeed[3]}),
            (std::vector<int>{3, 3, 3, 3}));
  EXPECT_EQ((std::vector<int>{s.animeType[0], s.animeType[1], s.animeType[2], s.animeType[3]}),
            (std::vector<int>{1, 1, 6, 6}));
  // Looks side by side, one width apart.
  EXPECT_EQ(s.picSrc[0], (platform::Point{0, 0}));
  EXPECT_EQ(s.picSrc[1], (platform::Point{20, 0}));
  EXPECT_EQ(s.picSrc[3], (platform::Point{60, 9}));
}

TEST_F(SetupTest, InheritanceMovesDiagonallyAndLeavesTriggersOut) {
  auto list = List({{"aPrintX", "10"}, {"aPrintY", "20"}, {"aSizeX", "30"}, {"aSizeY", "40"},
                    {"aClickTime", "3"}, {"aClickSound", "5"}, {"aCheckSizeX", "7"},
                    {"aIsCancelButton", "1"}, {"aIsUpButton", "1"}, {"aUpDownReverse", "1"},
                    {"aAccelKey1", "13"}, {"aAnimePattern2", "6"}, {"aPicSrcX3", "99"},
                    {"aFilename", "pic_a"}, {"aTateYoko", "1"}, {"aVolumeType", "4"},
                    {"aEnterWait", "2"}, {"bSizeX", "50"}});
  CCommonButtonSetup a(list.get(), "a");
  CCommonButtonSetup b(list.get(), "b", &a);
  EXPECT_EQ(b.printX, 40);  // previous position + previous size
  EXPECT_EQ(b.printY, 60);
  EXPECT_EQ(b.sizeX, 50);
  EXPECT_EQ(b.sizeY, 40);
  EXPECT_EQ(b.clickTime, 3);
  EXPECT_EQ(b.clickSound, 5);
  EXPECT_EQ(b.animePattern[1], 6);
  EXPECT_EQ(b.picSrc[2].x, 99);
  EXPECT_STREQ(b.fileName, "pic_a");
  EXPECT_EQ(b.tateYoko, 1);
  EXPECT_EQ(b.volumeType, 4);
  EXPECT_EQ(b.enterWait, 2);
  // Not inherited: the hit size (its own size), triggers and keys.
  EXPECT_EQ(a.checkSizeX, 7);
  EXPECT_EQ(b.checkSizeX, 50);
  EXPECT_EQ(b.isCancelButton, 0);
  EXPECT_EQ(b.isUpButton, 0);
  EXPECT_EQ(b.upDownReverse, 0);
  EXPECT_EQ(b.accelKey[0], 0);

  const platform::Point delta{5, -5};
  CCommonButtonSetup c(list.get(), "c", &a, &delta);
  EXPECT_EQ(c.printX, 15);
  EXPECT_EQ(c.printY, 15);
  c.ReadPrintXY(1, 2);
  EXPECT_EQ(c.printX, 1);
  EXPECT_EQ(c.printY, 2);
  a.ReadPrintXY(1, 2);
  EXPECT_EQ(a.printX, 10);  // the list's values win
}

TEST_F(SetupTest, AcceleratorTexts) {
  struct Case {
    const char* text;
    int key;
  };
  const Case cases[] = {{"A", 65}, {"a", 97}, {"13", 13}, {"0", 0}, {"-1", -1}, {"07", 7}, {"00", 0}};
  for (const Case& c : cases) {
    auto list = List({{"xAccelKey2", c.text}});
    CCommonButtonSetup s(list.get(), "x");
    EXPECT_EQ(s.accelKey[1], c.key) << c.text;
    EXPECT_EQ(s.accelKey[0], 0) << "an absent key stays 0";
  }
}

TEST_F(SetupTest, BadNumbersReadAsTheRuntimeReadsThem) {
  auto list = List({{"xClickTime", "abc"}, {"xSizeX", "-5"}, {"xSizeY", "99999999999"}});
  CCommonButtonSetup s(list.get(), "x");
  EXPECT_EQ(s.clickTime, 0);
  EXPECT_EQ(s.sizeX, -5);
  // Sizes wrap as the decimal reader wraps; the picture source stays defined.
  EXPECT_EQ(s.sizeY, static_cast<int>(static_cast<uint32_t>(99999999999ull)));
  EXPECT_EQ(s.picSrc[3].x, -15);
}

TEST_F(SetupTest, LongNameIsCutAndKeysStayBounded) {
  const std::string name(300, 'k');
  auto list = List({{"kkk", "1"}});
  CCommonButtonSetup s(list.get(), name.c_str());
  EXPECT_EQ(std::strlen(s.GetName()), 254u);
  CCommonButtonSetup t(list.get(), name.c_str(), &s);
  EXPECT_EQ(t.clickTime, 8);
}

TEST_F(SetupTest, SetToButtonCopiesEverySetting) {
  auto list = List({{"bPrintX", "3"}, {"bPrintY", "4"}, {"bSizeX", "8"}, {"bSizeY", "6"},
                    {"bClickTime", "2"}, {"bPrintMode", "1"}, {"bIsDownButton", "1"},
                    {"bAccelKey3", "B"}, {"bPicSrcX2", "40"}, {"bcheckPicX", "1"},
                    {"bcheckDeltaY", "2"}, {"bExitSound", "9"}, {"bExitWait", "4"},
                    {"bFilename", "ta_b"}});
  CCommonButtonSetup s(list.get(), "b");
  CCommonButton button;
  button.SetButtonNumber(7);
  s.SetToButton(&button);
  EXPECT_EQ(button.GetPrintXY(), (platform::Point{3, 4}));
  EXPECT_EQ(button.GetSize(), (platform::Point{8, 6}));
  EXPECT_EQ(button.GetClickTime(), 2);
  EXPECT_EQ(button.GetPrintMode(), 1);
  EXPECT_EQ(button.IsDownButton(), 1);
  EXPECT_EQ(button.GetAccelKey(2), 'B');
  EXPECT_EQ(button.GetExitSound(), 9);
  EXPECT_EQ(button.GetExitWait(), 4);
  EXPECT_STREQ(button.GetFileName(), "ta_b");
  EXPECT_EQ(button.GetButtonNumber(), 7);
  EXPECT_EQ(button.GetPicSrc(1), (platform::Point{40, 0}));
}

}  // namespace
}  // namespace widget_test
