// The voice and sound-effect players: parameter records, 3-D positions and
// fades over virtual time.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "sound/directsound.h"
#include "sound/seplayer.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "sound_fixtures.h"

namespace {

class PlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    ds_ = std::make_unique<CDirectSound>(nullptr);
    ds_->Create(0);
    voice_ = std::make_unique<CVoicePlayer>(ds_.get());
    se_ = std::make_unique<CSePlayer>(ds_.get());
    pcm_ = soundtest::Sine(22050, 1, 16, 22050 * 4).pcm;  // four seconds
  }
  void TearDown() override {
    voice_.reset();
    se_.reset();
    ds_.reset();
  }
  // Lets the game's frame step run: the clock moves and the fades follow.
  void Frames(CSoundChannelPlayer* player, int frames, int ms) {
    for (int i = 0; i < frames; ++i) {
      host_->AdvanceClock(static_cast<uint32_t>(ms));
      player->Calcu(ms);
    }
  }
  int Level(CSoundChannelPlayer* player, int channel) {
    return (player->GetBuffer(channel)->GetBuffer()->GetVolume() + 10000) / 100;
  }
  void Load(CSoundChannelPlayer* player, int channel) {
    ASSERT_EQ(player->CreateBuffer(channel, pcm_.data(), static_cast<int>(pcm_.size()), 1, 22050, 16), 1);
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<CDirectSound> ds_;
  std::unique_ptr<CVoicePlayer> voice_;
  std::unique_ptr<CSePlayer> se_;
  std::vector<uint8_t> pcm_;
};

TEST_F(PlayerTest, ParameterListsFillTheRecord) {
  for (int w = 0; w < 16; ++w) voice_->SetParam(0, w, 7);
  const int three[] = {11, 12, 30};
  voice_->SetParams(0, 42, 5, 3, three);
  EXPECT_EQ(voice_->GetParam(0, 1), 42);
  EXPECT_EQ(voice_->GetParam(0, 2), 35);
  for (int w : {0, 3, 4, 5, 6, 7, 8, 9, 10}) EXPECT_EQ(voice_->GetParam(0, w), 0) << w;
  for (int w = 11; w < 16; ++w) EXPECT_EQ(voice_->GetParam(0, w), 7) << w;

  const int full[] = {0, 0, 50, 1, 200, 127, 128, 2, 255, 300, -5, 99};
  voice_->SetParams(1, 3, 80, 12, full);
  EXPECT_EQ(voice_->GetParam(1, 0), 1);
  EXPECT_EQ(voice_->GetParam(1, 2), 100);  // 80 + 50, clamped
  EXPECT_EQ(voice_->GetParam(1, 3), -56);  // signed bytes
  EXPECT_EQ(voice_->GetParam(1, 4), 127);
  EXPECT_EQ(voice_->GetParam(1, 5), -128);
  EXPECT_EQ(voice_->GetParam(1, 6), 2);
  EXPECT_EQ(voice_->GetParam(1, 7), -1);
  EXPECT_EQ(voice_->GetParam(1, 8), 44);
  EXPECT_EQ(voice_->GetParam(1, 9), -5);
  EXPECT_EQ(voice_->GetParam(1, 10), 99);
  const int low[] = {0, 0, -90};
  voice_->SetParams(2, 0, -101, 3, low);
  EXPECT_EQ(voice_->GetParam(2, 2), -100);
  voice_->SetParams(3, 0, 0x7FFFFFFF, 3, full);  // no overflow on the way to the clamp
  EXPECT_EQ(voice_->GetParam(3, 2), 100);

  // Sound effects take word 2 as given.
  const int loud[] = {0, 0, 150, 0};
  se_->SetParams(7, 9, 4, loud);
  EXPECT_EQ(se_->GetParam(7, 2), 150);
  EXPECT_EQ(se_->GetParam(7, 1), 9);
  se_->SetParams(6, 2, 0, nullptr);
  EXPECT_EQ(se_->GetParam(6, 1), 2);
  EXPECT_EQ(se_->GetParam(6, 2), 0);
}

TEST_F(PlayerTest, RecordsOutsideTheTableAndChannelsOutsideThePlayerAreIgnored) {
  EXPECT_EQ(voice_->GetChannelCount(), 4);
  EXPECT_EQ(se_->GetChannelCount(), 8);
  // Records 4..7 of the voice player exist (saved with the game) ...
  voice_->SetParam(6, 15, 1);
  EXPECT_EQ(voice_->GetParam(6, 15), 1);
  // ... but they have no channel to play on.
  EXPECT_EQ(voice_->CreateBuffer(4, pcm_.data(), 1000, 1, 22050, 16), 0);
  voice_->SetParam(5, 0, 1);
  voice_->Play(5, 1, 0);
  voice_->SetVolume(5, 80, 10);
  voice_->Stop(5, 1, 10);
  voice_->Apply3D(7);
  voice_->Calcu(100);
  EXPECT_EQ(voice_->IsPlaying(5), 0);
  EXPECT_EQ(voice_->GetFadeTime(5), 0);
  voice_->StopLoop(5);
  EXPECT_EQ(voice_->GetLoopFlag(5), 0);
  for (int bad : {-1, 8, 1000}) {
    voice_->SetParam(bad, 0, 5);
    EXPECT_EQ(voice_->GetParam(bad, 0), 0);
    voice_->Play(bad, 0, 0);
    se_->Stop(bad, 0, 0);
  }
  EXPECT_EQ(voice_->GetParam(0, 16), 0);
  EXPECT_EQ(voice_->GetParam(0, -1), 0);
}

TEST_F(PlayerTest, FadeInReachesItsLevelsOverTime) {
  Load(voice_.get(), 0);
  voice_->SetVolume(0, 80, 10);  // 1.0 s
  voice_->Play(0, 0, 10);
  EXPECT_EQ(voice_->IsPlaying(0), 1);
  EXPECT_EQ(Level(voice_.get(), 0), 0);
  Frames(voice_.get(), 5, 50);
  EXPECT_EQ(Level(voice_.get(), 0), 20);
  Frames(voice_.get(), 5, 50);
  EXPECT_EQ(Level(voice_.get(), 0), 40);
  Frames(voice_.get(), 25, 50);  // past its end: held at the target
  EXPECT_EQ(Level(voice_.get(), 0), 80);
  EXPECT_EQ(voice_->GetFadeTime(0), 0);
  EXPECT_TRUE(voice_->GetBuffer(0)->GetBuffer()->IsPlaying());
  // The sound has played all along: 1.75 s of 22,050 frames a second.
  EXPECT_EQ(voice_->GetBuffer(0)->GetBuffer()->GetPosition(), 38587u * 2);

  // Without a fade the level is set at once.
  voice_->SetVolume(0, 30, 0);
  EXPECT_EQ(Level(voice_.get(), 0), 30);
  // A fade to a level above 0 never stops the sound.
  voice_->SetVolume(0, 10, 5);
  EXPECT_EQ(voice_->GetFadeStart(0), 30);
  Frames(voice_.get(), 10, 100);
  EXPECT_EQ(Level(voice_.get(), 0), 10);
  EXPECT_EQ(voice_->IsPlaying(0), 1);
  EXPECT_TRUE(voice_->GetBuffer(0)->GetBuffer()->IsPlaying());
}

TEST_F(PlayerTest, StopWithAFadeStartsFromTheLevelReachedAndEndsTheLoop) {
  Load(se_.get(), 2);
  se_->SetParam(2, 0, 1);  // loop flag
  se_->SetVolume(2, 80, 10);
  se_->Play(2, 1, 10);
  Frames(se_.get(), 5, 50);
  EXPECT_EQ(Level(se_.get(), 2), 20);
  se_->Stop(2, 0, 5);  // 0.5 s from where the fade-in got to
  EXPECT_EQ(se_->GetFadeStart(2), 20);
  EXPECT_EQ(se_->GetFadeTarget(2), 0);
  EXPECT_EQ(se_->GetFadeTime(2), 500);
  EXPECT_EQ(se_->IsPlaying(2), 0);  // marked stopped at once ...
  EXPECT_TRUE(se_->GetBuffer(2)->GetBuffer()->IsPlaying());  // ... still heard while it fades
  Frames(se_.get(), 5, 50);
  EXPECT_EQ(Level(se_.get(), 2), 10);
  EXPECT_EQ(se_->GetLoopFlag(2), 1);
  Frames(se_.get(), 5, 50);
  EXPECT_EQ(Level(se_.get(), 2), 0);
  EXPECT_FALSE(se_->GetBuffer(2)->GetBuffer()->IsPlaying());
  EXPECT_EQ(se_->GetLoopFlag(2), 0);
  EXPECT_EQ(se_->GetFadeTime(2), 0);

  // Without a fade the stop is immediate and keeps the loop flag.
  Load(se_.get(), 3);
  se_->SetParam(3, 0, 1);
  se_->Play(3, 1, 0);
  se_->Stop(3, 1, 0);
  EXPECT_FALSE(se_->GetBuffer(3)->GetBuffer()->IsPlaying());
  EXPECT_EQ(se_->GetLoopFlag(3), 1);
  se_->StopLoop(3);
  EXPECT_EQ(se_->GetLoopFlag(3), 0);
}

TEST_F(PlayerTest, ANegativeFadeTimeActsAtOnce) {
  Load(voice_.get(), 2);
  voice_->SetVolume(2, 70, -3);
  EXPECT_EQ(Level(voice_.get(), 2), 70);
  EXPECT_EQ(voice_->GetFadeTime(2), 0);
  voice_->Play(2, 0, -1);
  voice_->Stop(2, 0, -5);
  EXPECT_FALSE(voice_->GetBuffer(2)->GetBuffer()->IsPlaying());
  // Huge times clamp instead of wrapping.
  voice_->SetVolume(2, 50, 0x7FFFFFFF);
  EXPECT_EQ(voice_->GetFadeTime(2), 0x7FFFFFFF);
}

TEST_F(PlayerTest, PositionsReachTheBufferWhenPlayed) {
  // Voice channel 0 pans; channel 1 is 3-D.
  Load(voice_.get(), 0);
  Load(voice_.get(), 1);
  const int params[] = {0, 0, 0, 0, 50, 0, 0, 1, 10, 0, 0, 4};
  voice_->SetParams(0, 1, 0, 12, params);
  voice_->SetParams(1, 1, 0, 12, params);
  voice_->Apply3D(0);
  voice_->Apply3D(1);
  EXPECT_EQ(voice_->GetBuffer(0)->GetBuffer()->GetPan(), 0);
  voice_->Play(0, 0, 0);
  voice_->Play(1, 0, 0);
  EXPECT_EQ(voice_->GetBuffer(0)->GetBuffer()->GetPan(), 500);  // 5.0 * 100
  EXPECT_TRUE(voice_->GetBuffer(1)->Is3D());
  EXPECT_FLOAT_EQ(voice_->GetBuffer(1)->GetBuffer()->Get3DPosition().x, 5.0f);
  EXPECT_FLOAT_EQ(voice_->GetBuffer(1)->GetVelocity().x, 1.0f);
  EXPECT_EQ(voice_->GetBuffer(1)->GetMoveValue(), 4);

  // Sound effects: 0..3 pan, 4..7 are 3-D.
  for (int c = 0; c < 8; ++c) EXPECT_EQ(se_->GetBuffer(c)->Is3D(), c >= 4 ? 1 : 0) << c;
  EXPECT_FALSE(voice_->GetBuffer(2)->Is3D());
  EXPECT_TRUE(voice_->GetBuffer(3)->Is3D());
}

TEST_F(PlayerTest, StopAllAndTheStoppedMark) {
  for (int c = 0; c < 8; ++c) {
    Load(se_.get(), c);
    se_->SetVolume(c, 50, 20);
    se_->Play(c, 1, 20);
  }
  se_->StopAll();
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(se_->IsPlaying(c), 0);
    EXPECT_EQ(se_->GetFadeTime(c), 0);
    EXPECT_FALSE(se_->GetBuffer(c)->GetBuffer()->IsPlaying());
  }
  se_->SetStopped(1, 0);
  EXPECT_EQ(se_->IsPlaying(1), 1);
  se_->SetStopped(1, 1);
  EXPECT_EQ(se_->IsPlaying(1), 0);

  // A one-shot that ended by itself stays marked as playing in its record.
  std::vector<uint8_t> shortPcm(pcm_.begin(), pcm_.begin() + 4410);
  ASSERT_EQ(se_->CreateBuffer(0, shortPcm.data(), 4410, 1, 22050, 16), 1);
  se_->Play(0, 0, 0);
  Frames(se_.get(), 3, 100);
  EXPECT_FALSE(se_->GetBuffer(0)->GetBuffer()->IsPlaying());
  EXPECT_EQ(se_->IsPlaying(0), 1);
}

TEST_F(PlayerTest, WithoutADeviceEverythingIsSilent) {
  CDirectSound none(nullptr);  // never created
  CVoicePlayer voice(&none);
  CSePlayer se(nullptr);
  EXPECT_EQ(voice.CreateBuffer(0, pcm_.data(), 1000, 1, 22050, 16), 0);
  voice.SetVolume(0, 50, 10);
  voice.Play(0, 1, 10);
  voice.Calcu(500);
  voice.Apply3D(1);
  voice.Stop(0, 1, 0);
  se.Play(3, 0, 0);
  se.StopAll();
  EXPECT_EQ(voice.GetBuffer(0), nullptr);
}

}  // namespace
