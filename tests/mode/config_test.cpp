// Mode 12, the configuration screen: the bars' rules, pages, controls
// reaching their settings at once, the voice buttons and the samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config_fixture.h"
#include "modebase/commongeneral.h"
#include "startup_fixture.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "mode/config.h"
#include "support/dwq_picture.h"
#include "widget/backbutton.h"
#include "widget/commonbutton.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"
#include "widget/slider.h"

namespace {

using Pairs = testsupport::Pairs;

// The fake with the configuration's words: the lock word and the switch
// of the window-message log, and a message window of `designs` designs,
// 200 x 50 at its print position.
class ConfigGame : public config_test::ConfigGameOf<startup_test::StartupGame> {
 public:
  explicit ConfigGame(platform::HeadlessBackend& host) : ConfigGameOf(host) { UseSystemPictures(); }
  void SetLockWord(int word) { SetConfigFlags(GetConfigFlagA(), word); }
  void SetFlagA(int flag) { SetConfigFlags(flag, GetConfigFlagB()); }
  int GetConfigHelperValue() override { return designs; }
  int CheckMessageWindowHit(int x, int y) override { return x >= 0 && x < 200 && y >= 0 && y < 50 ? 1 : 0; }
  // The screen switches as the game's do: nothing when setting 4 already
  // holds the target; each switch made is kept in `switches`.
  void ToWindowMode(int) override { SwitchScreen(0); }
  void ToFullScreenMode(int) override { SwitchScreen(1); }
  void SwitchScreen(int full) {
    if ((GetSystemSetting(4) != 0) == (full != 0)) return;
    SetSystemSetting(4, full);
    switches.push_back(full);
  }
  int designs = 1;
  std::vector<int> switches;
};

class ConfigTest : public config_test::ConfigFixture<ConfigGame> {};

TEST(ConfigRules, BarsStoredValuesSamplesAndGrid) {
  // Volume bars over the default range 80..100, and one of no width.
  EXPECT_EQ(config::BarFromVolume(70, 80, 100), 0);
  EXPECT_EQ(config::BarFromVolume(90, 80, 100), 50);
  EXPECT_EQ(config::BarFromVolume(100, 80, 100), 100);
  EXPECT_EQ(config::VolumeFromBar(0, 80, 100), 80);
  EXPECT_EQ(config::VolumeFromBar(100, 80, 100), 100);
  EXPECT_EQ(config::BarFromVolume(40, 50, 50), 0);
  EXPECT_EQ(config::VolumeFromBar(70, 50, 50), 50);
  // Stored values: speeds as they are, the window's opacity as 100 - bar.
  EXPECT_EQ(config::BarStoredValue(0, 3, 80, 100), 3);
  EXPECT_EQ(config::BarStoredValue(6, 30, 80, 100), 70);
  EXPECT_EQ(config::BarShownValue(6, 70, 80, 100), 30);
  EXPECT_EQ(config::BarShownValue(7, 9, 80, 100), 4);
  EXPECT_EQ(config::BarSetting(1), 100);
  EXPECT_EQ(config::BarSetting(5), 104);

  struct Case {
    int d, c, e, value, entry;
  };
  const Case cases[] = {
      // Message speed: 3 divisions, full at 4: entries d .. d + 4.
      {10, 3, 4, 0, 10}, {10, 3, 4, 1, 11}, {10, 3, 4, 2, 12}, {10, 3, 4, 3, 13}, {10, 3, 4, 4, 14},
      // Voice: 9 divisions, full at 100, step 11.
      {0, 9, 100, 50, 5}, {0, 9, 100, 100, 10}, {0, 9, 100, 1, 1},
      // No divisions: the first entry at any value.
      {4, 0, 100, 70, 4},
      // No entry, and entries below 0 from the list, play nothing.
      {-1, 3, 4, 2, -1}, {-5, 3, 4, 4, -1}, {-5, 0, 4, 4, -1}};
  for (const Case& c : cases)
    EXPECT_EQ(config::SampleEntry(c.d, c.c, c.e, c.value), c.entry) << c.d << " " << c.value;

  int column = 0, row = 0;
  config::GridCell(7, 5, 0, &column, &row);
  EXPECT_EQ(std::make_pair(column, row), std::make_pair(2, 1));
  config::GridCell(7, 5, 3, &column, &row);  // buttons per column win
  EXPECT_EQ(std::make_pair(column, row), std::make_pair(2, 1));
  config::GridCell(4, 0, 3, &column, &row);
  EXPECT_EQ(std::make_pair(column, row), std::make_pair(1, 1));
  config::GridCell(4, 0, 0, &column, &row);
  EXPECT_EQ(column, -1);
}

TEST_F(ConfigTest, PagesAndBackControlFromTheList) {
  struct Case {
    Pairs pairs;
    int pages, pageMode;
  };
  const Case cases[] = {{{{"modePageMax", "1"}}, 1, 0},
                        {{{"modePageMax", "3"}}, 3, 1},
                        {{{"modePageMax", "3"}, {"pageMode", "2"}}, 3, 2},
                        {{{"modePageMax", "-4"}}, 1, 0}};
  for (const Case& c : cases) {
    CCommonConfig* mode = Make(c.pairs);
    EXPECT_EQ(mode->GetPageCount(), c.pages);
    EXPECT_EQ(mode->GetPageMode(), c.pageMode);
    game_.reset();
  }
}

TEST_F(ConfigTest, EntryShowsTheSettingsClampedToTheBars) {
  Make({{"volumeNumber", "8"}});
  game_->SetSystemSetting(100, 70);   // below the range
  game_->SetSystemSetting(101, 90);
  game_->SetSystemSetting(105, 3);
  game_->SetSystemSetting(106, 30);
  game_->SetSystemSetting(107, 1);
  game_->SetSystemSetting(201, 0);
  game_->Enter();
  CCommonConfig* mode = Mode();
  EXPECT_EQ(mode->GetBar(1)->GetValue(), 0);
  EXPECT_EQ(mode->GetBar(2)->GetValue(), 50);
  EXPECT_EQ(mode->GetBar(0)->GetValue(), 3);
  EXPECT_EQ(mode->GetBar(6)->GetValue(), 70);
  EXPECT_EQ(mode->GetBar(7)->GetValue(), 1);
  EXPECT_EQ(mode->GetSwitch(1)->GetState(), 1);
  EXPECT_EQ(mode->GetSwitch(2)->GetState(), 0);
  EXPECT_EQ(mode->GetSwitch(0), nullptr);
}

TEST_F(ConfigTest, BarsWriteTheirSettingsAtOnce) {
  Make({{"volumeNumber", "8"}});
  game_->Enter();
  game_->RunFrame();
  ClickAndRun(100, 150);  // music at its left end: the range's minimum
  EXPECT_EQ(Setting(100), 80);
  ClickAndRun(300, 150);
  EXPECT_EQ(Setting(100), 100);
  ClickAndRun(300, 100 + 40 * 0 + 10);  // message speed at its top
  EXPECT_EQ(Setting(105), 4);
  ClickAndRun(160, 100 + 40 * 6 + 10);  // window bar 30: opacity word 70
  EXPECT_EQ(Setting(106), 70);
}

TEST_F(ConfigTest, MusicSwitchedOffGreysItsBarAndStopsIt) {
  Make({});
  game_->SetSystemSetting(100, 90);
  game_->Enter();
  game_->RunFrame();
  ClickAndRun(50, 150);  // the music switch: off
  EXPECT_EQ(Setting(200), 0);
  EXPECT_EQ(Mode()->GetSwitch(1)->GetState(), 0);
  ClickAndRun(100, 150);
  EXPECT_EQ(Setting(100), 90);
  // Drawn at half strength over the background, unlike the sound bar.
  Mode()->GetBar(1)->SetValue(50);
  Mode()->GetBar(2)->SetValue(50);
  game_->RunFrame();
  const uint32_t grey = CScreenBuffer::GetBuffer()[150 * CScreenBuffer::GetWidth() + 110];
  const uint32_t full = CScreenBuffer::GetBuffer()[190 * CScreenBuffer::GetWidth() + 110];
  EXPECT_NE(grey, full);
  ClickAndRun(50, 150);  // on again: the bar reacts
  EXPECT_EQ(Setting(200), 1);
  ClickAndRun(100, 150);
  EXPECT_EQ(Setting(100), 80);
}

TEST_F(ConfigTest, ScreenRadioFollowsASwitchMadeElsewhere) {
  Make({});
  game_->Enter();
  EXPECT_EQ(Mode()->GetModeRadio(0)->GetSelect(), 0);
  game_->SetSystemSetting(4, 1);
  Mode()->UpdateWindowModeButtons();
  EXPECT_EQ(Mode()->GetModeRadio(0)->GetSelect(), 1);
}

TEST_F(ConfigTest, ExtraOptionsLockedByTheGameWordAndStored) {
  Make({{"expRadioNumber", "2"},
        {"exp1Radio1Button1SizeX", "20"},
        {"exp1Radio1Button1SizeY", "20"},
        {"exp1Radio1Button1ClickTime", "0"},
        {"exp1Radio1Button1PrintX", "500"},
        {"exp1Radio1Button1PrintY", "10"},
        {"exp2Radio1Button1PrintY", "40"},
        {"exp2Radio1Button1PrintX", "500"},
        {"expCheckNumber", "2"},
        {"exp1Check1SizeX", "20"},
        {"exp1Check1SizeY", "20"},
        {"exp1Check1ClickTime", "0"},
        {"exp1Check1Filename", "sw"},
        {"exp1Check1PrintX", "600"},
        {"exp1Check1PrintY", "10"},
        {"exp2Check1PrintX", "600"},
        {"exp2Check1PrintY", "40"},
        {"exp3Radio", "-5"}});
  game_->SetLockWord(0x0201);  // radio 0 and check 1 locked
  game_->SetSystemSetting(301, 1);
  game_->Enter();
  CCommonConfig* mode = Mode();
  EXPECT_EQ(mode->GetExtraRadio(1)->GetSelect(), 1);
  EXPECT_EQ(mode->GetExtraRadio(0)->GetItem(0)->GetEnable(), 0);
  EXPECT_EQ(mode->GetExtraRadio(1)->GetItem(0)->GetEnable(), 1);
  EXPECT_EQ(mode->GetExtraCheck(0)->GetEnable(), 1);
  EXPECT_EQ(mode->GetExtraCheck(1)->GetEnable(), 0);
  game_->RunFrame();
  ClickAndRun(610, 20, 3);  // check 0 on
  EXPECT_EQ(Setting(400), 1);
  EXPECT_EQ(mode->GetExtraCheck(0)->GetState(), 1);
}

TEST_F(ConfigTest, HomeClearsThePlayCountOnlyWithFlagA) {
  Make({});
  game_->AddPlayCount();
  game_->Enter();
  host_->InjectKey(36, true);
  game_->RunFrame();
  host_->InjectKey(36, false);
  EXPECT_EQ(game_->GetPlayCount(), 1);
  game_->SetFlagA(1);
  host_->InjectKey(36, true);
  game_->RunFrame();
  EXPECT_EQ(game_->GetPlayCount(), 0);
}

TEST_F(ConfigTest, BackLeavesForTheOpenerAndAnUndecidedPressFreesTheControls) {
  Make({{"backFilename", "sw"}, {"backSizeX", "60"}, {"backSizeY", "30"}, {"backClickTime", "20"}, {"backPrintX", "700"},
        {"backPrintY", "550"}});
  game_->Enter(4);
  game_->RunFrame();
  ClickAndRun(710, 560, 1);
  EXPECT_EQ(Mode()->GetPressState(), -2);
  // The press ends without a decision (the control went away): the other
  // controls take the mouse again in the next frame.
  Mode()->GetBackButton()->SetExist(0);
  game_->RunFrame();
  EXPECT_EQ(Mode()->GetPressState(), -1);
  EXPECT_TRUE(game_->ModeRequests().empty());
  Mode()->GetBackButton()->SetExist(1);
  Mode()->GetBackButton()->Init();
  ClickAndRun(710, 560, 25);
  EXPECT_EQ(game_->ModeRequests(), (std::vector<int>{4}));
}

TEST_F(ConfigTest, VoiceButtonsRangesAndMapping) {
  {
    CCommonConfig* mode = Make({{"voiceCutButtonFlag", "1"}, {"voiceCutButtonNumber", "0"}});
    EXPECT_EQ(mode->GetVoiceButtonCount(), 0);
    EXPECT_EQ(mode->GetVoiceOffButton(7), 7);
    game_.reset();
  }
  {
    CCommonConfig* mode = Make({{"voiceCutButtonNumber", "1"}, {"charaVoiceVolumeFlag", "1"},
                                {"charaVoiceVolumeMin", "-20"}, {"charaVoiceVolumeMax", "-30"}});
    EXPECT_EQ(mode->GetCharaVolumeMin(), -15);
    EXPECT_EQ(mode->GetCharaVolumeMax(), -15);
    EXPECT_EQ(mode->GetVoiceBar(0)->GetMax(), 1);  // 0..0, held to one step by the bar
    game_.reset();
  }
  // Groups: button 1 holds characters 1 and 4, button 2 the next one (5);
  // a character in no list is its own button.
  CCommonConfig* mode = Make({{"voiceCutButtonNumber", "2"},
                              {"voiceCutButtonCustomFlag", "1"},
                              {"voiceOffNumberByButton1", "2"},
                              {"voiceOffButton1chara2", "4"},
                              {"voiceOffNumberByButton2", "-3"}});
  EXPECT_EQ(mode->GetVoiceButtonCount(), 2);
  EXPECT_EQ(mode->GetVoiceOffButton(1), 1);
  EXPECT_EQ(mode->GetVoiceOffButton(4), 1);
  EXPECT_EQ(mode->GetVoiceOffButton(5), 5);
  EXPECT_EQ(mode->GetVoiceOffButton(9), 9);
}

TEST_F(ConfigTest, VoiceButtonsTakeTheGridTheirFlagsAndNamedPictures) {
  testsupport::WriteDwq(*dir_, "sys/von", 200, 20, 0x102030);
  testsupport::WriteDwq(*dir_, "sys/von_2", 200, 20, 0x405060);
  testsupport::WriteDwq(*dir_, "sys/voff", 200, 20, 0x708090);
  testsupport::WriteDwq(*dir_, "sys/voff_2", 200, 20, 0x506070);
  Make({{"voiceCutButtonNumber", "3"},
        {"voiceAutoLineSetFlag", "1"},
        {"voiceAutoLinePrintX", "10"},
        {"voiceAutoLinePrintY", "400"},
        {"voiceAutoLineNextX", "100"},
        {"voiceAutoLineNextY", "30"},
        {"voiceAutoLineNumberX", "2"},
        {"voice1Button1SizeX", "50"},
        {"voice1Button1SizeY", "20"},
        {"voice1Button1ClickTime", "0"},
        {"voice1Button1Filename", "voff"},
        {"voice1Button2Filename", "von"},
        {"voice2Button1Filename", "voff"},
        {"voice2Button2Filename", "von"},
        {"voiceNameChangeFlag", "1"},
        {"voiceNameChangeVar1", "v1"},
        {"voiceNameChangeVar2", "v2"}});
  game_->SetVarNumber("v1", 50);
  game_->SetVarNumber("v2", 51);
  CCommonConfig* mode = game_->Remake();
  EXPECT_EQ(mode->GetVoiceButton(2)->GetStateButton(0)->GetPrintX(), 10);
  EXPECT_EQ(mode->GetVoiceButton(2)->GetStateButton(0)->GetPrintY(), 430);
  EXPECT_EQ(mode->GetVoiceButton(1)->GetStateButton(0)->GetPrintX(), 110);
  game_->SetVar(50, 0);
  game_->SetVar(51, 2);
  game_->SetCharaVoiceFlag(1, 0);
  game_->Enter();
  auto pixel = [](int x, int y) { return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x]; };
  game_->RunFrame();
  EXPECT_EQ(pixel(15, 405), 0x102030u);  // button 0: on, plain name (variable 0)
  EXPECT_EQ(pixel(115, 405), 0x506070u);  // button 1: off, its variable 2
  ClickAndRun(115, 405, 3);               // button 1 on: "von_2"
  EXPECT_EQ(game_->GetCharaVoiceFlag(1), 1);
  EXPECT_EQ(pixel(115, 405), 0x405060u);
}

TEST_F(ConfigTest, SamplesPlayTheirEntries) {
  dir_->Write("mok/configSe.xtx", "s0,0\r\ns1,0\r\ns2,0\r\ns3,0\r\ns4,0\r\nlevel,0\r\n");
  CCommonConfig* mode = Make({{"extSeFlag", "1"},
                              {"messageSeNumber", "1"},
                              {"voiceSeNumber", "6"},
                              {"soundSeNumber", "-3"},
                              {"voiceSameBufferFlag", "1"}});
  EXPECT_EQ(mode->GetSampleListCount(), 6);
  game_->ClearCalls();
  mode->PlaySampleSound(0, 3);
  mode->PlaySampleSound(2, 100);  // an entry below 0: nothing
  game_->SetSystemSetting(101, 90);
  game_->SetSystemSetting(103, 85);
  mode->PlaySampleSound(3, 0);
  std::vector<std::string> sounds;
  for (const auto& call : game_->Calls())
    if (call.rfind("Play", 0) == 0) sounds.push_back(call);
  EXPECT_EQ(sounds, (std::vector<std::string>{"PlaySystemVoiceFile s3 0 1", "PlaySeFile level -5"}));
}

TEST_F(ConfigTest, MissingSampleListGivesTheReadersBoxAndNoSamples) {
  CCommonConfig* mode = Make({{"extSeFlag", "1"}, {"messageSeNumber", "1"}});
  EXPECT_EQ(mode->GetSampleListCount(), 0);
  EXPECT_FALSE(game_->Boxes().empty());
  game_->ClearCalls();
  mode->PlaySampleSound(0, 2);
  for (const auto& call : game_->Calls()) EXPECT_NE(call.rfind("Play", 0), 0u) << call;
}

}  // namespace

namespace {

TEST_F(ConfigTest, SampleLinesBeginningWithAnAtSignAreSkipped) {
  Make({{"windowPrintFlag", "1"},
        {"windowPrintX", "100"},
        {"windowPrintY", "400"},
        {"windowMessageNumber", "3"},
        {"windowMessage1", "@hidden"},
        {"windowMessage2", "AAAA"},
        {"windowMessage3", "AAAA"},
        {"messagePrintY", "10"},
        {"messageNextY", "40"},
        {"messageColorR", "255"},
        {"messageColorG", "255"},
        {"messageColorB", "255"}});
  game_->Enter();
  CScreenBuffer::SetFullRedraw(0);
  game_->RunFrame();
  // Lit pixels per 40-row band of the three lines.
  auto lit = [](int top) {
    int n = 0;
    for (int y = top; y < top + 40; ++y)
      for (int x = 100; x < 300; ++x) n += CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x] != 0;
    return n;
  };
  EXPECT_EQ(lit(410), 0);
  EXPECT_GT(lit(450), 0);
  EXPECT_EQ(lit(450), lit(490));  // the next line keeps its own place
}

}  // namespace

namespace {

TEST_F(ConfigTest, ModeRadiosReachTheirSettings) {
  Pairs pairs;
  for (const char* name : {"screen", "skip"}) {
    const std::string first = std::string(name) + "1Button1";
    const int y = name[1] == 'c' ? 400 : 450;
    pairs.insert(pairs.end(), {{first + "SizeX", "40"},
                               {first + "SizeY", "20"},
                               {first + "ClickTime", "0"},
                               {first + "Filename", "sw"},
                               {first + "PrintX", "500"},
                               {first + "PrintY", std::to_string(y)},
                               {std::string(name) + "2Button1PrintX", "600"},
                               {std::string(name) + "2Button1PrintY", std::to_string(y)}});
  }
  Make(pairs);
  game_->Enter();
  game_->RunFrame();
  ClickAndRun(610, 460);  // skip: the second button
  EXPECT_EQ(Setting(2), 1);
  EXPECT_EQ(Mode()->GetModeRadio(1)->GetSelect(), 1);
  // The screen radio switches the screen, not only the setting.
  ClickAndRun(610, 410);  // full screen
  EXPECT_EQ(Setting(4), 1);
  EXPECT_EQ(Mode()->GetModeRadio(0)->GetSelect(), 1);
  EXPECT_EQ(game_->switches, (std::vector<int>{1}));
  ClickAndRun(510, 410);  // a window again
  EXPECT_EQ(Setting(4), 0);
  EXPECT_EQ(Mode()->GetModeRadio(0)->GetSelect(), 0);
  EXPECT_EQ(game_->switches, (std::vector<int>{1, 0}));
}

}  // namespace

namespace {

TEST_F(ConfigTest, VoiceBarsStoreTheCharactersVolume) {
  Make({{"voiceCutButtonNumber", "2"},
        {"charaVoiceVolumeFlag", "1"},
        {"filenameCharaVoiceVolume", "ta_opt_bar"},
        {"charaVolumePrintX", "100"},
        {"charaVolumePrintY", "0"},
        {"charaVolumeSizeX", "300"},
        {"voice1Button1PrintX", "10"},
        {"voice1Button1PrintY", "400"},
        {"voice1Button1ClickSound", "7"},  // the off look, opposite the voice on
        {"voice2Button1PrintX", "10"},
        {"voice2Button1PrintY", "450"}});
  game_->SetSystemSetting(501, 5);
  game_->Enter();
  EXPECT_EQ(Mode()->GetVoiceBar(1)->GetValue(), 20);
  game_->RunFrame();
  game_->ClearCalls();
  ClickAndRun(110, 405);  // character 0's bar at its left end
  EXPECT_EQ(Setting(500), -15);
  EXPECT_TRUE(Called("PlaySystemSe 6 0"));  // the click of the other state
  ClickAndRun(410, 455);
  EXPECT_EQ(Setting(501), 15);
  ClickAndRun(110, 405);  // the same value again: nothing stored, the sound again
  EXPECT_EQ(Setting(500), -15);
}

}  // namespace

namespace {

TEST_F(ConfigTest, AMovedBarPlaysItsSampleOnceWhenLetGo) {
  dir_->Write("mok/configSe.xtx", "s0,0\r\ns1,0\r\ns2,0\r\ns3,0\r\ns4,0\r\n");
  Make({{"extSeFlag", "1"}, {"messageSeNumber", "1"}});
  game_->Enter();
  game_->RunFrame();
  game_->ClearCalls();
  ClickAndRun(300, 110, 3);  // message speed at its top
  EXPECT_EQ(Setting(105), 4);
  EXPECT_EQ(std::count(game_->Calls().begin(), game_->Calls().end(), "PlaySystemVoiceFile s4 0 0"), 1);
}

}  // namespace

namespace {

TEST_F(ConfigTest, AClickOnTheSampleWindowCyclesItsDesigns) {
  Make({{"windowPrintFlag", "1"}, {"windowPrintX", "100"}, {"windowPrintY", "400"}});
  game_->designs = 2;
  game_->Enter();
  game_->RunFrame();
  host_->ClearDebugLines();
  ClickAndRun(150, 420);
  EXPECT_EQ(game_->GetWindowNumberConfig(), 1);
  ClickAndRun(50, 420);  // beside the window
  EXPECT_EQ(game_->GetWindowNumberConfig(), 1);
  ClickAndRun(299, 449);
  EXPECT_EQ(game_->GetWindowNumberConfig(), 0);
  const auto lines = host_->DebugLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "windowchanged[config]\n"), 2);
}

}  // namespace

namespace {

TEST_F(ConfigTest, CountsBelowZeroCountAsNoneAndLargeOnesAreBounded) {
  CCommonConfig* mode = Make({{"voiceCutButtonNumber", "-2"},
                              {"expRadioNumber", "-3"},
                              {"expCheckNumber", "100000"},
                              {"exp1Radio", "-7"},
                              {"windowMessageNumber", "-1"}});
  EXPECT_EQ(mode->GetVoiceButtonCount(), 0);
  EXPECT_EQ(mode->GetExtraRadio(0), nullptr);
  EXPECT_NE(mode->GetExtraCheck(CCommonConfig::kMaxExtras - 1), nullptr);
  EXPECT_EQ(mode->GetExtraCheck(CCommonConfig::kMaxExtras), nullptr);
  game_.reset();
  mode = Make({{"expRadioNumber", "1"}, {"exp1Radio", "-7"}});
  EXPECT_EQ(mode->GetExtraRadio(0)->GetCount(), 0);
  game_->Enter();
  game_->RunFrame();
}

}  // namespace

