// The platform's audio layer on the headless backend: buffers, gains, the
// 3-D model, cursors moved by the virtual clock, notifications and the mix.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

using platform::AudioFormat;
using platform::BufferDesc;

class AudioTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    device_ = platform::Audio();
  }
  std::unique_ptr<platform::SoundBuffer> Make(AudioFormat format, uint32_t size, bool threeD = false,
                                              const void* pcm = nullptr) {
    BufferDesc desc;
    desc.format = format;
    desc.size = size;
    desc.control3D = threeD;
    return device_->CreateBuffer(desc, pcm);
  }
  platform::HeadlessBackend* host_ = nullptr;
  std::shared_ptr<platform::AudioDevice> device_;
};

TEST_F(AudioTest, RefusesBadFormatsAndRoundsSizesDownToFour) {
  const AudioFormat bad[] = {{0, 44100, 16}, {3, 44100, 16}, {2, 44100, 12}, {1, 99, 16},
                             {1, 200001, 8}};
  for (const AudioFormat& f : bad)
    EXPECT_EQ(Make(f, 1000), nullptr) << f.channels << " " << f.samplesPerSec << " " << f.bitsPerSample;
  EXPECT_EQ(Make({1, 22050, 16}, 3), nullptr);
  EXPECT_EQ(Make({1, 22050, 16}, 0), nullptr);
  EXPECT_EQ(Make({1, 22050, 16}, platform::kMaxBufferBytes + 1), nullptr);
  auto b = Make({1, 22050, 16}, 1003);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Size(), 1000u);
  EXPECT_EQ(device_->BufferCount(), 1);
  b.reset();
  EXPECT_EQ(device_->BufferCount(), 0);
}

TEST_F(AudioTest, VolumeIsHundredthsOfADecibelAndPanAttenuatesOneSide) {
  auto b = Make({2, 44100, 16}, 400);
  ASSERT_NE(b, nullptr);
  struct Case {
    int volume, pan;
    double left, right;
  } cases[] = {
      {0, 0, 1.0, 1.0},
      {-2000, 0, 0.1, 0.1},
      {-600, 0, 0.501187, 0.501187},
      {-10000, 0, 0.0, 0.0},
      {0, -10000, 1.0, 0.0},
      {0, 10000, 0.0, 1.0},
      {0, 2000, 0.1, 1.0},
      {-2000, -2000, 0.1, 0.01},
      {-5000, 6000, 0.0, 0.003162},  // the sum reaches -10000 on the left: silence
  };
  for (const Case& c : cases) {
    b->SetVolume(c.volume);
    ASSERT_TRUE(b->SetPan(c.pan));
    const platform::ChannelGains g = b->Gains();
    EXPECT_NEAR(g.left, c.left, 1e-5) << c.volume << " " << c.pan;
    EXPECT_NEAR(g.right, c.right, 1e-5) << c.volume << " " << c.pan;
  }
  b->SetVolume(500);
  EXPECT_EQ(b->GetVolume(), 0);
  b->SetVolume(-20000);
  EXPECT_EQ(b->GetVolume(), -10000);
  b->SetPan(-30000);
  EXPECT_EQ(b->GetPan(), -10000);
  EXPECT_FALSE(b->Set3DPosition({1, 0, 0}));  // no 3-D control
}

TEST_F(AudioTest, ThreeDBuffersAttenuateByDistanceAndPanByAzimuth) {
  auto b = Make({1, 22050, 16}, 400, true);
  ASSERT_NE(b, nullptr);
  EXPECT_FALSE(b->SetPan(1000));  // the position pans a 3-D buffer
  const double r = std::sqrt(0.5);
  struct Case {
    platform::Vector3 at;
    double left, right;
  } cases[] = {
      {{0, 0, 0}, 1, 1},          {{0, 0, 0.5f}, 1, 1},      // inside the minimum distance
      {{0, 0, 2}, 0.5, 0.5},      {{0, 0, -4}, 0.25, 0.25},  // ahead and behind alike
      {{2, 0, 0}, 0, 0.5},        {{-1, 0, 0}, 1, 0},        // fully to one side
      {{0, 3, 0}, 1.0 / 3, 1.0 / 3},                          // straight up: no azimuth
      {{-1, 0, 1}, r, r * (1 - r)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(b->Set3DPosition(c.at));
    const platform::ChannelGains g = b->Gains();
    EXPECT_NEAR(g.left, c.left, 1e-5) << c.at.x << "," << c.at.y << "," << c.at.z;
    EXPECT_NEAR(g.right, c.right, 1e-5) << c.at.x << "," << c.at.y << "," << c.at.z;
  }
  ASSERT_TRUE(b->Set3DPosition({NAN, 0, 0}));  // unmeasurable: at the listener
  EXPECT_EQ(b->Gains().left, 1.0);
  EXPECT_EQ(b->Gains().right, 1.0);
  b->Set3DPosition({0, 0, 2});
  b->SetVolume(-2000);
  EXPECT_NEAR(b->Gains().left, 0.05, 1e-6);
  // Velocity is kept; there is no Doppler shift to hear.
  EXPECT_TRUE(b->Set3DVelocity({1, 2, 3}));
  EXPECT_EQ(b->Get3DVelocity().y, 2.0f);
  EXPECT_EQ(b->GetFrequency(), 22050);
}

TEST_F(AudioTest, ASecondOfVirtualTimePlaysASecondOfBytes) {
  const AudioFormat formats[] = {{1, 22050, 16}, {2, 44100, 16}, {1, 11025, 8}, {2, 48000, 16},
                                 {2, 8000, 8}};
  for (const AudioFormat& f : formats) {
    const uint32_t second = static_cast<uint32_t>(f.samplesPerSec * f.BlockAlign());
    auto b = Make(f, 3 * second);
    ASSERT_NE(b, nullptr);
    b->Play(false);
    host_->AdvanceClock(1000);
    EXPECT_EQ(b->GetPosition(), second) << f.samplesPerSec;
    // Small sleeps add up to the same without drift.
    for (int i = 0; i < 100; ++i) platform::Sleep(10);
    EXPECT_EQ(b->GetPosition(), 2 * second) << f.samplesPerSec;
    EXPECT_TRUE(b->IsPlaying());
  }
  // The frequency sets the pace.
  auto b = Make({2, 44100, 16}, 176400);
  b->SetFrequency(22050);
  b->Play(true);
  host_->AdvanceClock(1000);
  EXPECT_EQ(b->GetPosition(), 88200u);
  EXPECT_FALSE(b->SetFrequency(50));
  // Setting the tick is a jump, not time passing.
  host_->SetTicks(5000);
  EXPECT_EQ(b->GetPosition(), 88200u);
}

TEST_F(AudioTest, OneShotEndsAtTheStartAndLoopsWrap) {
  auto once = Make({1, 44100, 16}, 44100);  // half a second
  auto loop = Make({1, 44100, 16}, 44100);
  platform::Event stopped(false);
  platform::Notification note{platform::kNotifyOnStop, &stopped};
  once->SetNotifications(&note, 1);
  once->Play(false);
  loop->Play(true);
  host_->AdvanceClock(750);
  EXPECT_FALSE(once->IsPlaying());
  EXPECT_EQ(once->GetPosition(), 0u);
  EXPECT_TRUE(stopped.Wait(0));
  EXPECT_TRUE(loop->IsPlaying());
  EXPECT_TRUE(loop->IsLooping());
  EXPECT_EQ(loop->GetPosition(), 22050u);  // 0.25 s into the second pass

  // Stop keeps the position; play goes on from there.
  loop->Stop();
  EXPECT_FALSE(stopped.Wait(0));
  host_->AdvanceClock(100);
  EXPECT_EQ(loop->GetPosition(), 22050u);
  EXPECT_TRUE(loop->SetPosition(1001));  // down to a whole frame
  EXPECT_EQ(loop->GetPosition(), 1000u);
  EXPECT_FALSE(loop->SetPosition(44100));
  loop->Play(false);
  host_->AdvanceClock(100);
  EXPECT_EQ(loop->GetPosition(), 1000u + 8820u);
}

TEST_F(AudioTest, NotificationsFireWhenTheCursorPassesTheirOffsets) {
  // The music streamer's layout: two halves of a second, stereo 16-bit.
  auto b = Make({2, 44100, 16}, 352800);
  platform::Event half0(false), half1(false), stop(false);
  const platform::Notification notes[] = {
      {0, &half0}, {176400, &half1}, {platform::kNotifyOnStop, &stop}};
  ASSERT_TRUE(b->SetNotifications(notes, 3));
  b->Play(true);
  EXPECT_TRUE(half0.Wait(0)) << "starting at 0 passes offset 0";
  host_->AdvanceClock(500);
  EXPECT_FALSE(half1.Wait(0));
  host_->AdvanceClock(600);
  EXPECT_TRUE(half1.Wait(0));
  EXPECT_FALSE(half0.Wait(0));
  host_->AdvanceClock(1000);  // wraps past the end to 0.1 s
  EXPECT_TRUE(half0.Wait(0));
  EXPECT_FALSE(half1.Wait(0));
  EXPECT_FALSE(stop.Wait(0));
  b->Stop();
  EXPECT_TRUE(stop.Wait(0));
  b->Stop();  // already stopped: nothing more
  EXPECT_FALSE(stop.Wait(0));
  b->Play(true);  // from 0.1 s: offset 0 is not passed
  EXPECT_FALSE(half0.Wait(0));

  // Refill halves while it plays, as a ring.
  std::vector<uint8_t> fill(8, 0x5A), back(8);
  EXPECT_TRUE(b->Write(352796, fill.data(), 8));
  EXPECT_TRUE(b->Read(352796, back.data(), 8));
  EXPECT_EQ(back, fill);
  uint8_t first[4];
  b->Read(0, first, 4);
  EXPECT_EQ(first[3], 0x5A);
  EXPECT_FALSE(b->Write(352800, fill.data(), 8));
}

TEST_F(AudioTest, TheMixHoldsTheSoundAtItsVolumeAndPan) {
  testsupport::TempDir dir;
  const platform::WavData sine = soundtest::Sine(44100, 1, 16, 44100, 441.0, 0.6);
  auto b = Make({1, 44100, 16}, static_cast<uint32_t>(sine.pcm.size()), false, sine.pcm.data());
  ASSERT_NE(b, nullptr);
  b->SetVolume(-600);
  b->SetPan(1000);  // left 10 dB lower still
  device_->StartCapture();
  b->Play(false);
  host_->AdvanceClock(1000);
  std::vector<int16_t> mix = device_->StopCapture();
  ASSERT_EQ(mix.size(), 2u * 44100);
  ASSERT_TRUE(platform::WriteWavFile(dir / "mix.wav", {2, 44100, 16}, mix.data(), mix.size() * 2));

  platform::WavData back;
  std::string error;
  ASSERT_TRUE(platform::ReadWavFile(dir / "mix.wav", &back, &error)) << error;
  ASSERT_EQ(back.format.channels, 2);
  ASSERT_EQ(back.pcm.size(), mix.size() * 2);
  const double gl = std::pow(10.0, -1600 / 2000.0), gr = std::pow(10.0, -600 / 2000.0);
  int worst = 0;
  for (int i = 0; i < 44100; ++i) {
    const int s = soundtest::Sample16(&sine.pcm[2 * i]);
    const int l = soundtest::Sample16(&back.pcm[4 * i]);
    const int r = soundtest::Sample16(&back.pcm[4 * i + 2]);
    worst = std::max({worst, std::abs(l - static_cast<int>(std::lround(s * gl))),
                      std::abs(r - static_cast<int>(std::lround(s * gr)))});
  }
  EXPECT_LE(worst, 1);
  EXPECT_FALSE(b->IsPlaying());

  // Nothing plays: silence, and the capture is off again.
  device_->StartCapture();
  host_->AdvanceClock(10);
  mix = device_->StopCapture();
  ASSERT_EQ(mix.size(), 2u * 441);
  for (int16_t s : mix) EXPECT_EQ(s, 0);
}

TEST_F(AudioTest, EightBitAndSlowerSoundsAreConvertedAndSummed) {
  // Constant levels make the resampling invisible and the sum exact.
  std::vector<uint8_t> eight(1000, 0xC0);  // +64 in 8 bits: 16384 in 16
  std::vector<uint8_t> sixteen(4000);
  for (size_t i = 0; i < sixteen.size(); i += 4) {
    const int16_t l = 1000, r = -3000;
    std::memcpy(&sixteen[i], &l, 2);
    std::memcpy(&sixteen[i + 2], &r, 2);
  }
  auto a = Make({1, 11025, 8}, 1000, false, eight.data());
  auto b = Make({2, 22050, 16}, 4000, false, sixteen.data());
  a->Play(true);
  b->Play(true);
  device_->StartCapture();
  host_->AdvanceClock(20);
  std::vector<int16_t> mix = device_->StopCapture();
  ASSERT_EQ(mix.size(), 2u * 882);
  for (size_t i = 0; i < mix.size(); i += 2) {
    EXPECT_EQ(mix[i], 16384 + 1000);
    EXPECT_EQ(mix[i + 1], 16384 - 3000);
  }
}

TEST_F(AudioTest, PlaysAreLogged) {
  auto a = Make({1, 22050, 16}, 800);
  a->SetVolume(-300);
  a->Play(true);
  a->Play(false);  // playing already: not a new start
  const auto log = device_->PlayLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].buffer, a->Id());
  EXPECT_EQ(log[0].size, 800u);
  EXPECT_EQ(log[0].volume, -300);
  EXPECT_TRUE(log[0].loop);
  EXPECT_FALSE(a->IsLooping());
  device_->ClearPlayLog();
  EXPECT_TRUE(device_->PlayLog().empty());
}

TEST(AudioWav, BadWavFilesAreRefusedWithAReason) {
  const platform::WavData sine = soundtest::Sine(22050, 2, 16, 100);
  std::vector<uint8_t> good = platform::MakeWav(sine.format, sine.pcm.data(), sine.pcm.size());
  platform::WavData out;
  std::string error;
  ASSERT_TRUE(platform::ParseWav(good.data(), good.size(), &out, &error));
  EXPECT_EQ(out.pcm, sine.pcm);

  auto tagged = good;
  tagged[20] = 3;  // float samples
  std::vector<uint8_t> shortFmt = good;
  shortFmt[16] = 8;
  const std::vector<uint8_t> cases[] = {
      std::vector<uint8_t>(good.begin(), good.begin() + 10), tagged, shortFmt,
      std::vector<uint8_t>(good.begin(), good.begin() + 36)};
  for (const auto& bytes : cases) {
    error.clear();
    EXPECT_FALSE(platform::ParseWav(bytes.data(), bytes.size(), &out, &error));
    EXPECT_FALSE(error.empty());
  }
  // A data chunk cut short keeps its whole frames.
  auto cut = good;
  cut.resize(good.size() - 3);
  ASSERT_TRUE(platform::ParseWav(cut.data(), cut.size(), &out, &error));
  EXPECT_EQ(out.pcm.size(), sine.pcm.size() - 4);
}

}  // namespace
