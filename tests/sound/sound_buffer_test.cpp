// The sound device object and whole-sound buffers on the headless host.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/system.h"
#include "sound/directsound.h"
#include "sound/soundbuffer.h"
#include "sound_fixtures.h"

namespace {

class SoundBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    ds_ = std::make_unique<CDirectSound>(nullptr);
    ds_->Create(0);
    pcm_ = soundtest::Sine(22050, 1, 16, 22050).pcm;
  }
  void TearDown() override { ds_.reset(); }
  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<CDirectSound> ds_;
  std::vector<uint8_t> pcm_;
};

TEST_F(SoundBufferTest, TheDeviceIsTakenOnceAndGivenBackOnRelease) {
  CDirectSound ds(nullptr);
  EXPECT_EQ(ds.GetDirectSound(), nullptr);
  ds.SetVolume(50);  // no device yet: ignored
  EXPECT_EQ(ds.GetVolume(), 0);
  EXPECT_EQ(ds.PlayPcm(pcm_.data(), 1000), 0);
  ds.SetPrimaryFormat(2, 44100, 16);
  ds.SetSound3DFlag(0);
  ds.Create(1);
  platform::AudioDevice* device = ds.GetDirectSound();
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device, platform::Audio().get());
  ds.Create(0);
  EXPECT_EQ(ds.GetDirectSound(), device);
  EXPECT_EQ(ds.GetPrimarySamplesPerSec(), 44100);
  EXPECT_EQ(ds.GetSound3DFlag(), 0);
  ds.Release();
  EXPECT_EQ(ds.GetDirectSound(), nullptr);
}

TEST_F(SoundBufferTest, LevelsMapToHundredthsOfADecibel) {
  CSoundBuffer b(ds_->GetDirectSound(), 0);
  ASSERT_EQ(b.CreateBuffer(pcm_.data(), 1000, 1, 22050, 16), 1);
  const int cases[][2] = {{0, -10000}, {50, -5000}, {100, 0}, {1, -9900}, {150, 0}, {-20, -10000}};
  for (const auto& c : cases) {
    b.SetVolume(c[0]);
    EXPECT_EQ(b.GetBuffer()->GetVolume(), c[1]) << c[0];
  }
}

TEST_F(SoundBufferTest, SizesAreRoundedDownAndFailuresLeaveItEmpty) {
  CSoundBuffer b(ds_->GetDirectSound(), 0);
  ASSERT_EQ(b.CreateBuffer(pcm_.data(), 1003, 1, 22050, 16), 1);
  EXPECT_EQ(b.GetSize(), 1000);
  EXPECT_EQ(b.GetBuffer()->Size(), 1000u);
  EXPECT_EQ(b.IsCreated(), 1);

  EXPECT_EQ(b.CreateBuffer(pcm_.data(), 1000, 3, 22050, 16), 0);  // three channels
  EXPECT_EQ(b.IsCreated(), 0);
  EXPECT_EQ(b.GetBuffer(), nullptr);
  b.Play(1);  // an empty buffer ignores everything
  b.Stop(1);
  b.SetVolume(100);
  EXPECT_EQ(b.CreateBuffer(pcm_.data(), 3, 1, 22050, 16), 0);
  EXPECT_EQ(b.CreateBuffer(nullptr, 1000, 1, 22050, 16), 0);

  CSoundBuffer noDevice(nullptr, 0);
  EXPECT_EQ(noDevice.CreateBuffer(pcm_.data(), 1000, 1, 22050, 16), 0);
  noDevice.Play(0);
}

TEST_F(SoundBufferTest, PositionsBecomePanOrThreeDPositionWhenPlayed) {
  CSoundBuffer flat(ds_->GetDirectSound(), 0);
  ASSERT_EQ(flat.CreateBuffer(pcm_.data(), 4000, 1, 22050, 16), 1);
  const struct {
    float x;
    int pan;
  } cases[] = {{-0.5f, -49}, {0.3f, 30}, {12.7f, 1270}, {-12.8f, -1279}, {1000.0f, 10000}};
  for (const auto& c : cases) {
    flat.ApplyPosition(c.x, 0, 0);
    EXPECT_EQ(flat.GetBuffer()->GetPan(), c.pan) << c.x;
  }
  flat.ApplyPosition(0, 0, 0);
  flat.SetPosition(5.0f, 0, 0);  // stored only ...
  EXPECT_EQ(flat.GetBuffer()->GetPan(), 0);
  flat.Play(0);  // ... and applied when played
  EXPECT_EQ(flat.GetBuffer()->GetPan(), 500);

  CSoundBuffer spatial(ds_->GetDirectSound(), 1);
  ASSERT_EQ(spatial.CreateBuffer(pcm_.data(), 4000, 1, 22050, 16), 1);
  spatial.SetPosition(2.0f, 0, 0);
  spatial.SetVelocity(1.0f, 0, 0);
  spatial.Play(1);
  EXPECT_EQ(spatial.GetBuffer()->Get3DPosition().x, 2.0f);
  EXPECT_NEAR(spatial.GetBuffer()->Gains().right, 0.5, 1e-6);
  spatial.ApplyVelocity(1.0f, 0, 0);
  EXPECT_EQ(spatial.GetBuffer()->Get3DVelocity().x, 1.0f);

  // A new sound starts at the centre again.
  spatial.SetMoveFlag(1);
  ASSERT_EQ(spatial.CreateBuffer(pcm_.data(), 4000, 1, 22050, 16), 1);
  EXPECT_EQ(spatial.GetPosition().x, 0.0f);
  EXPECT_EQ(spatial.GetMoveFlag(), 0);
  EXPECT_EQ(spatial.GetBuffer()->Get3DPosition().x, 0.0f);
}

// A buffer whose host keeps saying it plays after a stop.
class StubbornBuffer : public CSoundBuffer {
 public:
  using CSoundBuffer::CSoundBuffer;
  mutable int polls = 0;

 protected:
  bool ReadPlaying() const override {
    ++polls;
    return true;
  }
};

TEST_F(SoundBufferTest, AWaitingStopGivesUpAfterAHundredPolls) {
  StubbornBuffer stubborn(ds_->GetDirectSound(), 0);
  ASSERT_EQ(stubborn.CreateBuffer(pcm_.data(), 4000, 1, 22050, 16), 1);
  stubborn.Play(1);
  const uint32_t before = platform::GetTicks();
  stubborn.Stop(1);
  EXPECT_EQ(stubborn.polls, 100);
  EXPECT_EQ(platform::GetTicks() - before, 100u);  // 1 ms between polls
  EXPECT_FALSE(stubborn.GetBuffer()->IsPlaying());

  CSoundBuffer normal(ds_->GetDirectSound(), 0);
  ASSERT_EQ(normal.CreateBuffer(pcm_.data(), 4000, 1, 22050, 16), 1);
  normal.Play(1);
  const uint32_t start = platform::GetTicks();
  normal.Stop(1);
  EXPECT_EQ(platform::GetTicks(), start);
}

TEST_F(SoundBufferTest, OneShotBlocksPlayThroughARingOfFive) {
  ds_->SetVolume(50);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ds_->PlayPcm(pcm_.data(), 2000), 1);
  platform::AudioDevice* device = ds_->GetDirectSound();
  EXPECT_EQ(device->BufferCount(), 5);  // the sixth took the first one's slot
  const auto log = device->PlayLog();
  ASSERT_EQ(log.size(), 6u);
  for (const auto& r : log) {
    EXPECT_EQ(r.volume, -5000);
    EXPECT_EQ(r.format.samplesPerSec, 22050);
    EXPECT_EQ(r.format.channels, 1);
    EXPECT_FALSE(r.loop);
  }
  ds_->SetVolume(100);  // blocks played from now on
  EXPECT_EQ(ds_->PlayPcm(pcm_.data(), 2000), 1);
  EXPECT_EQ(device->PlayLog().back().volume, 0);
  ds_->StopPcm();
  EXPECT_EQ(ds_->PlayPcm(pcm_.data(), 2), 0);
}

}  // namespace
