// The mixer's volumes on the host's system wave volume.
#include <gtest/gtest.h>

#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "sound/mixer.h"

namespace {

class MixerTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::InstallHeadless();
    device_ = platform::Audio();
  }
  std::shared_ptr<platform::AudioDevice> device_;
};

TEST_F(MixerTest, LevelsAreSetOnEveryChannelAndReadAsTheirMean) {
  CMixer mixer;
  mixer.SetWaveVolume(60, 0);
  EXPECT_EQ(device_->GetWaveVolume(0), 39321);
  EXPECT_EQ(device_->GetWaveVolume(1), 39321);
  EXPECT_EQ(mixer.GetWaveVolume(1), 39321);
  EXPECT_EQ(mixer.GetWaveVolume(0), 60);  // percent
  mixer.SetWaveVolume(1234, 1);
  EXPECT_EQ(device_->GetWaveVolume(1), 1234);
  mixer.SetWaveVolume(150, 0);  // the control's range ends at 65535
  EXPECT_EQ(device_->GetWaveVolume(0), 65535);

  device_->SetWaveVolume(0, 30000);
  device_->SetWaveVolume(1, 40000);
  EXPECT_EQ(mixer.GetWaveVolume(1), 35000);
  EXPECT_EQ(mixer.GetWaveVolume(0), 53);
}

TEST_F(MixerTest, ReleasePutsBackTheLevelsFoundAtTheStart) {
  device_->SetWaveVolume(0, 20000);
  device_->SetWaveVolume(1, 20000);
  {
    CMixer mixer;
    EXPECT_EQ(mixer.GetSavedLevel(CMixer::kWave), 20000);
    mixer.SetWaveVolume(90, 0);
    EXPECT_EQ(device_->GetWaveVolume(0), 58981);
  }
  EXPECT_EQ(device_->GetWaveVolume(0), 20000);
  EXPECT_EQ(device_->GetWaveVolume(1), 20000);

  // The host has no synthesizer or CD line: they are not found and left alone.
  CMixer mixer;
  EXPECT_EQ(mixer.IsFound(CMixer::kSynth), 0);
  EXPECT_EQ(mixer.IsFound(CMixer::kCd), 0);
  mixer.SetCdVolume(10, 0);
  mixer.SetSynthVolume(10, 0);
  EXPECT_EQ(mixer.GetCdVolume(1), 0);
  EXPECT_EQ(device_->GetWaveVolume(0), 20000);
  mixer.SetWaveVolume(10, 0);
  mixer.RestoreWaveVolume();
  EXPECT_EQ(device_->GetWaveVolume(1), 20000);
}

TEST_F(MixerTest, TheWaveVolumeScalesTheMix) {
  std::vector<int16_t> pcm(2000, 20000);
  platform::BufferDesc desc;
  desc.format = {1, 44100, 16};
  desc.size = 4000;
  auto b = device_->CreateBuffer(desc, pcm.data());
  CMixer mixer;
  mixer.SetWaveVolume(16384, 1);
  device_->SetWaveVolume(1, 0);
  b->Play(true);
  device_->StartCapture();
  device_->Render(nullptr, 100);
  const std::vector<int16_t> mix = device_->StopCapture();
  ASSERT_EQ(mix.size(), 200u);
  EXPECT_EQ(mix[0], 5000);  // 20000 * 16384 / 65535, rounded
  EXPECT_EQ(mix[1], 0);
}

}  // namespace
