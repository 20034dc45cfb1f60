// The music player: plays switch between the two streams and cross-fade,
// default fade times, no device, and the mix written to a WAV file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "music_fixtures.h"
#include "platform/headless/headless.h"
#include "sound/bgmplayer.h"
#include "sound/bgmstream.h"
#include "sound/directsound.h"
#include "support/temp_dir.h"

namespace {

using musictest::Tone;

constexpr int kStep = 10;

class BgmPlayerTest : public musictest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    player_ = std::make_unique<CBgmPlayer>(ds_.get());
    player_->StartSpectrum();
    musictest::WriteMusic(dir_, "a", Tone({0.5}, 4.0, 440.0));
    musictest::WriteMusic(dir_, "b", Tone({0.5}, 4.0, 1000.0));
    musictest::WriteMusic(dir_, "c", Tone({0.5}, 4.0, 700.0));
  }
  void TearDown() override {
    player_.reset();
    DeviceTest::TearDown();
  }
  CBgmStream& S(int i) { return *player_->GetStream(i); }
  // Both streams have served their notifications and taken their steps.
  void Run(int ms) {
    for (int t = 0; t < ms; t += kStep) {
      host_->AdvanceClock(kStep);
      for (int i : {0, 1}) {
        float f;
        S(i).GetWaveFloat(&f, 1, 0);
        S(i).UpdatePlayCount();
      }
    }
  }
  int Volume(int i) { return S(i).GetBuffer()->GetVolume(); }

  std::unique_ptr<CBgmPlayer> player_;
};

TEST_F(BgmPlayerTest, PlaysCrossFadeOnTheTwoStreamsAndAThirdReusesTheFirst) {
  ASSERT_NE(player_->GetStream(0), nullptr);
  EXPECT_EQ(S(0).GetMode(), 0);
  EXPECT_EQ(S(1).GetMode(), 1);
  EXPECT_EQ(player_->GetCurrentIndex(), 0);
  EXPECT_EQ(player_->GetDefaultFadeOutTime(), 5);

  ASSERT_EQ(player_->Play("a", 0, 100, -1, -1), 1);
  EXPECT_EQ(player_->GetCurrentIndex(), 1);
  EXPECT_EQ(S(1).IsPlaying(), 1);
  Run(1000);
  ASSERT_EQ(player_->Play("b", 0, 100, -1, -1), 1);
  EXPECT_EQ(player_->GetCurrentIndex(), 0);
  // "a" fades out over the default 0.5 s while "b" plays.
  EXPECT_EQ(S(0).IsPlaying(), 1);
  EXPECT_EQ(S(1).IsPlaying(), 1);
  Run(400);
  EXPECT_EQ(Volume(1), -8000);  // 100 * 100 * 1 / 5 - 10000
  EXPECT_EQ(S(1).IsPlaying(), 1);
  Run(100);
  EXPECT_EQ(S(1).IsPlaying(), 0);
  EXPECT_EQ(player_->IsPlaying(), 1);

  ASSERT_EQ(player_->Play("c", 0, 100, -1, -1), 1);
  EXPECT_EQ(player_->GetCurrentIndex(), 1);
  EXPECT_EQ(S(1).IsPlaying(), 1);
  EXPECT_EQ(S(0).IsPlaying(), 1);  // fading
  // A stop or volume request reaches only the new stream.
  player_->SetVolume(30);
  EXPECT_EQ(Volume(1), -7000);
  EXPECT_NE(Volume(0), -7000);
  EXPECT_EQ(player_->Play("missing", 0, 100, 0, 0), 0);
  EXPECT_EQ(player_->GetCurrentIndex(), 0);
}

TEST_F(BgmPlayerTest, FadeTimesZeroStopAtOnceAndStopFadesByDefault) {
  ASSERT_EQ(player_->Play("a", 0, 60, 0, 0), 1);
  EXPECT_EQ(Volume(1), -4000);
  ASSERT_EQ(player_->Play("b", 0, 100, 0, 0), 1);
  EXPECT_EQ(S(1).IsPlaying(), 0);
  EXPECT_EQ(S(0).IsPlaying(), 1);

  EXPECT_EQ(player_->Stop(-1), 1);  // 0.5 s
  Run(490);
  EXPECT_EQ(player_->IsPlaying(), 1);
  Run(10);
  EXPECT_EQ(player_->IsPlaying(), 0);

  player_->SetDefaultFadeTimes(10, 0);
  ASSERT_EQ(player_->Play("a", 0, 100, -1, -1), 1);  // fades in over 1 s
  EXPECT_EQ(Volume(1), -10000);
  Run(500);
  EXPECT_EQ(Volume(1), -5000);
  player_->FadeVolume(0, 5);
  Run(500);
  EXPECT_EQ(Volume(1), -10000);
  EXPECT_EQ(player_->Stop(-1), 1);  // default 0: at once
  EXPECT_EQ(player_->IsPlaying(), 0);

  ASSERT_EQ(player_->Play("a", 0, 100, 0, 0), 1);
  player_->Pause();
  EXPECT_EQ(player_->IsPlaying(), 0);
  player_->Restart();
  EXPECT_EQ(player_->IsPlaying(), 1);
}

TEST_F(BgmPlayerTest, WithoutADeviceEverythingIsSilent) {
  CDirectSound none(nullptr);  // never created
  CBgmPlayer player(&none);
  EXPECT_EQ(player.GetStream(0), nullptr);
  EXPECT_EQ(player.Play("a", 0, 100, -1, -1), 0);
  EXPECT_EQ(player.Stop(-1), 0);
  EXPECT_EQ(player.IsPlaying(), 0);
  player.Pause();
  player.Restart();
  player.SetVolume(50);
  player.FadeVolume(50, 5);
  player.StartSpectrum();
  float wave[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(player.GetWaveFloat(wave, 8, 0), 0);
  EXPECT_EQ(wave[7], 0.0f);
  int samples[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(player.GetWaveSamples2(samples, 8, 0), 0);
  EXPECT_EQ(samples[7], 0);
  player.StopSpectrum();
  CBgmPlayer nothing(nullptr);
  EXPECT_EQ(nothing.IsPlaying(), 0);
}

TEST_F(BgmPlayerTest, TheMixWrittenToAWavFileHoldsTheFadeInAndTheCrossFade) {
  platform::AudioDevice* device = ds_->GetDirectSound();
  device->StartCapture();
  ASSERT_EQ(player_->Play("a", 0, 100, 10, 0), 1);  // fade-in over 1 s
  Run(2000);
  ASSERT_EQ(player_->Play("b", 0, 100, 10, 10), 1);  // cross-fade over 1 s
  Run(2000);
  const std::vector<int16_t> mix = device->StopCapture();
  const std::string path = dir_ / "mix.wav";
  const platform::AudioFormat format{2, 44100, 16};
  ASSERT_TRUE(platform::WriteWavFile(path, format, mix.data(), mix.size() * 2));

  platform::WavData wav;
  std::string error;
  ASSERT_TRUE(platform::ReadWavFile(path, &wav, &error)) << error;
  ASSERT_EQ(wav.format.samplesPerSec, 44100);
  ASSERT_EQ(wav.pcm.size(), 4u * 44100 * 4);
  std::vector<int16_t> read(wav.pcm.size() / 2);
  for (size_t i = 0; i < read.size(); ++i)
    read[i] = static_cast<int16_t>(static_cast<uint16_t>(wav.pcm[2 * i] | (wav.pcm[2 * i + 1] << 8)));

  // Level L of 0..100 is L - 100 decibels: the amplitude of a 0.5 tone at
  // the level of each 0.1-s step.
  auto expected = [](int level) { return 0.5 * std::pow(10.0, (level - 100) / 20.0); };
  // Each 0.1-s step is measured away from its edges, where a step may take
  // effect a clock step early or late.
  auto a = [&](double t) { return musictest::Amplitude(read, t + 0.01, 0.08, 440.0); };
  auto b = [&](double t) { return musictest::Amplitude(read, t + 0.01, 0.08, 1000.0); };
  // The fade-in: step k of 10 plays at level 10 k.
  for (int k = 5; k < 10; ++k) EXPECT_NEAR(a(k / 10.0), expected(10 * k), 0.01 + 0.05 * expected(10 * k)) << k;
  EXPECT_NEAR(a(1.5), 0.5, 0.03);
  EXPECT_LT(b(1.5), 0.005);
  // The cross-fade: a falls while b rises; afterwards only b.
  for (int k = 5; k < 10; ++k) {
    EXPECT_NEAR(a(2.0 + k / 10.0), expected(100 - 10 * k), 0.01 + 0.05 * expected(100 - 10 * k)) << k;
    EXPECT_NEAR(b(2.0 + k / 10.0), expected(10 * k), 0.01 + 0.05 * expected(10 * k)) << k;
  }
  EXPECT_LT(a(3.5), 0.005);
  EXPECT_NEAR(b(3.5), 0.5, 0.03);
}

}  // namespace
