// The configuration screen (mode 12) inside the game: the story's effect
// channel picture it borrows comes back with the kept game state, and the
// option its voice sample reads follows the game's volume-channel word.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "startup_game.h"
// After the start-up game of its kind.
#include "mode/config_fixture.h"

namespace {

// The game with its own system pictures, a way to put a picture on an
// effect channel as the script's picture command leaves it, and the
// volume-channel word.
class ConfigGame : public config_test::ConfigGameOf<startup_test::StartupGame> {
 public:
  explicit ConfigGame(platform::HeadlessBackend& host)
      : ConfigGameOf(host, [this](GameParts& p) {
          p.screen = std::make_unique<testsupport::GamePicturesScreen>(p, *this);
        }) {}
  void LoadChannel(int ch, const std::string& name) {
    std::snprintf(Screen().GetEffectPictureName(ch), CScreenPart::kEffectNameSize, "%s", name.c_str());
    Screen().GetEffectPicture(ch)->LoadDWQ(name.c_str());
  }
  void SetVolumeChannelWord(int word) { Vars().GetSettings().movieVolumeNotUse = word; }
};

class ConfigInGameTest : public config_test::ConfigFixture<ConfigGame> {};

TEST_F(ConfigInGameTest, TheStorysChannelPictureComesBackAfterAVisit) {
  testsupport::WriteDwq(*dir_, "bg/story", 8, 8, 0x336699);
  Make({{"backFilename", "sw"}, {"backSizeX", "60"}, {"backSizeY", "30"}, {"backClickTime", "0"},
        {"backPrintX", "700"}, {"backPrintY", "550"}});
  CPicture* channel = game_->Screen().GetEffectPicture(0);
  ASSERT_NE(channel, nullptr);
  game_->LoadChannel(0, "bg\\story");
  game_->Saves().KeepGameState();
  game_->Enter();
  game_->RunFrame();
  EXPECT_NE(channel->GetPixelBuffer()[0], 0x336699u);  // borrowed by a switch
  ClickAndRun(710, 560, 2);
  EXPECT_EQ(game_->ModeRequests(), (std::vector<int>{4}));
  EXPECT_EQ(channel->GetPixelBuffer()[0], 0x336699u);
}


// The voice sample's offset is setting 103 minus setting 101; what 103
// reads follows the game's volume-channel word.
TEST_F(ConfigInGameTest, TheVoiceSampleOffsetFollowsTheVolumeChannelWord) {
  dir_->Write("mok/configSe.xtx", "level,0\r\n");
  CCommonConfig* mode = Make({{"extSeFlag", "1"}, {"voiceSeNumber", "1"}});
  game_->Vars().SetSystemSetting(101, 90);
  game_->Vars().SetSystemSetting(102, 70);
  game_->Vars().SetSystemSetting(103, 85);
  game_->ClearCalls();
  mode->PlaySampleSound(3, 0);
  game_->SetVolumeChannelWord(3);  // 103 reads the voice volume
  mode->PlaySampleSound(3, 0);
  std::vector<std::string> sounds;
  for (const auto& call : game_->Calls())
    if (call.rfind("PlaySeFile", 0) == 0) sounds.push_back(call);
  EXPECT_EQ(sounds, (std::vector<std::string>{"PlaySeFile level -5", "PlaySeFile level -20"}));
}

// A voice button and the voices it governs agree: button i keeps the switch
// and the volume that a voice of its characters reads, one by one or in
// groups.
TEST_F(ConfigInGameTest, AVoiceButtonGovernsTheVoicesOfItsCharacters) {
  dir_->Write("spt/charaname.xtx", "none x ab Aki cd Ban ef Cho");
  testsupport::WriteDwq(*dir_, "sys/vsw", 50, 20, 0x30A030);
  const testsupport::Pairs buttons = {
      {"voice1Button1SizeX", "50"},    {"voice1Button1SizeY", "20"},   {"voice1Button1ClickTime", "0"},
      {"voice1Button1Filename", "vsw"}, {"voice1Button2Filename", "vsw"}, {"voice1Button1PrintX", "10"},
      {"voice1Button1PrintY", "400"},  {"voice2Button1PrintX", "110"}, {"voice2Button1PrintY", "400"}};
  struct Case {
    const char* name;
    testsupport::Pairs keys;
    std::vector<std::string> offByButton2;  // the voices muted by button 2
    const char* volumeOfButton2;
  };
  const Case cases[] = {
      {"one character a button", {}, {"cd0001"}, "cd0001"},
      // Button 1 holds Aki and Cho, button 2 Ban.
      {"groups",
       {{"voiceCutButtonCustomFlag", "1"}, {"voiceOffNumberByButton1", "2"}, {"voiceOffButton1chara2", "3"},
        {"voiceOffButton2chara1", "2"}},
       {"cd0001"},
       "cd0001"},
      // Button 1 holds Ban, button 2 Aki and Cho.
      {"groups the other way",
       {{"voiceCutButtonCustomFlag", "1"}, {"voiceOffButton1chara1", "2"}, {"voiceOffNumberByButton2", "2"},
        {"voiceOffButton2chara1", "1"}, {"voiceOffButton2chara2", "3"}},
       {"ab0001", "ef0001"},
       "ab0001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::Pairs keys = {{"voiceCutButtonNumber", "2"}};
    keys.insert(keys.end(), buttons.begin(), buttons.end());
    keys.insert(keys.end(), c.keys.begin(), c.keys.end());
    Make(keys);
    game_->Enter();
    game_->RunFrame();
    ClickAndRun(115, 405);  // button 2: its voices off
    EXPECT_EQ(game_->Sound().GetCharaVoiceFlag(1), 0);
    std::vector<std::string> off;
    for (const char* voice : {"ab0001", "cd0001", "ef0001"})
      if (game_->Sound().CheckVoiceOff(voice)) off.push_back(voice);
    EXPECT_EQ(off, c.offByButton2);
    game_->Vars().SetSystemSetting(501, -4);  // button 2's volume step
    EXPECT_EQ(game_->Sound().GetCharaVoiceVolume(c.volumeOfButton2), -8);  // default delta 2
    game_.reset();
  }
}

}  // namespace
