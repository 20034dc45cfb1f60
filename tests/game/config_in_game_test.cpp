// The configuration screen (mode 12) inside the game: the story's effect
// channel picture it borrows comes back with the kept game state, and the
// option its voice sample reads follows the game's volume-channel word.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "startup_game.h"
#include "mode/config_fixture.h"

namespace {

// The game with its own system pictures, a way to put a picture on an
// effect channel as the script's picture command leaves it, and the
// volume-channel word.
class ConfigGame : public config_test::ConfigGameOf<startup_test::StartupGame> {
 public:
  using ConfigGameOf::ConfigGameOf;
  CPicture* LoadSystemPicture(const char* name, int flag) override {
    return CGameCallBack::LoadSystemPicture(name, flag);
  }
  void LoadChannel(int ch, const std::string& name) {
    std::snprintf(effectPictureNames_[ch], kEffectNameSize, "%s", name.c_str());
    GetEffectPicture(ch)->LoadDWQ(name.c_str());
  }
  void SetVolumeChannelWord(int word) { settings_.movieVolumeNotUse = word; }
};

class ConfigInGameTest : public config_test::ConfigFixture<ConfigGame> {};

TEST_F(ConfigInGameTest, TheStorysChannelPictureComesBackAfterAVisit) {
  testsupport::WriteDwq(*dir_, "bg/story", 8, 8, 0x336699);
  Make({{"backFilename", "sw"}, {"backSizeX", "60"}, {"backSizeY", "30"}, {"backClickTime", "0"},
        {"backPrintX", "700"}, {"backPrintY", "550"}});
  CPicture* channel = game_->GetEffectPicture(0);
  ASSERT_NE(channel, nullptr);
  game_->LoadChannel(0, "bg\\story");
  game_->KeepGameState();
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
  game_->SetSystemSetting(101, 90);
  game_->SetSystemSetting(102, 70);
  game_->SetSystemSetting(103, 85);
  game_->ClearCalls();
  mode->PlaySampleSound(3, 0);
  game_->SetVolumeChannelWord(3);  // 103 reads the voice volume
  mode->PlaySampleSound(3, 0);
  std::vector<std::string> sounds;
  for (const auto& call : game_->Calls())
    if (call.rfind("PlaySeFile", 0) == 0) sounds.push_back(call);
  EXPECT_EQ(sounds, (std::vector<std::string>{"PlaySeFile level -5", "PlaySeFile level -20"}));
}


}  // namespace
