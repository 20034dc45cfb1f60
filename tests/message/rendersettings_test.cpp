#include <gtest/gtest.h>

#include <string>

#include "message/rendersettings.h"
#include "message_fixture.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"

namespace message_test {
namespace {

class RenderSettingsTest : public MessageTest {
 protected:
  void Load(const std::string& text, int kind = 0, const char* chosen = nullptr) {
    dir_.Write("init/game.xtx", text);
    CSetupList list;
    ASSERT_TRUE(list.LoadSetupFile("game", 256));
    LoadRenderSettings(list, kind, chosen);
  }
};

TEST_F(RenderSettingsTest, DefaultsWhenTheListIsSilent) {
  Load("other 1\n");
  const CFontRenderSettings& s = GetRenderSettings();
  EXPECT_EQ(s.codeByte, 2);
  EXPECT_EQ(s.fontWeight, 700);
  EXPECT_EQ(s.faceName, kGothicFaceName);
  EXPECT_EQ(s.rubiFlag, 0);
  EXPECT_EQ(s.fukuro[2][2], 1);
  EXPECT_EQ(s.fukuro[1][2], 0);
}

TEST_F(RenderSettingsTest, KeysAreReadAndTheChosenFaceWins) {
  Load("codeByte 1\nfontWeight 2000\nfontItalic 1\ndefaultFont Zor?Sans\nfukuroMoji 9\n"
       "fukuroCustom 1\nfukuro1_1 1\nfukuro3_2 1\nrubiFlag 1\nrubiPercent 50\nrubiColorG 7\n");
  CFontRenderSettings s = GetRenderSettings();
  EXPECT_EQ(s.codeByte, 1);
  EXPECT_EQ(s.fontWeight, 700);  // out of range: kept
  EXPECT_EQ(s.fontItalic, 1);
  EXPECT_EQ(s.faceName, "Zor Sans");
  EXPECT_EQ(s.fukuro[0][0], 1);
  EXPECT_EQ(s.fukuro[2][1], 1);
  EXPECT_EQ(s.fukuro[2][2], 0);
  EXPECT_EQ(s.rubiPercent, 50);
  EXPECT_EQ(s.rubiColorG, 7);
  Load("defaultFont Zor\nrubiPercent 50\n", 1, "Chosen");
  s = GetRenderSettings();
  EXPECT_EQ(s.faceName, "Chosen");
  EXPECT_EQ(s.fontKind, 1);
  EXPECT_EQ(s.rubiPercent, 40);  // read only with rubiFlag on
}

}  // namespace
}  // namespace message_test
