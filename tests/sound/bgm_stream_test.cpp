// The music stream on the virtual clock: what reaches the mix, loops and
// the end of the music, fades and volumes in hundredths of a decibel, the
// spectrum snapshot, and files that cannot play.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "music_fixtures.h"
#include "platform/headless/headless.h"
#include "sound/bgmstream.h"
#include "sound/directsound.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace {

using musictest::Tone;

constexpr int kStep = 10;  // ms: notifications fire once per clock step

class BgmStreamTest : public musictest::DeviceTest {
 protected:
  void TearDown() override {
    stream_.reset();
    DeviceTest::TearDown();
  }
  platform::AudioDevice* Device() { return ds_->GetDirectSound(); }
  CBgmStream& Make(int mode = 0) {
    stream_ = std::make_unique<CBgmStream>(Device(), mode);
    // With the spectrum on, every wave request runs the stream's 0.1-s step.
    stream_->StartSpectrum();
    return *stream_;
  }
  // The worker has served every notification so far and taken its steps.
  void Sync(CBgmStream& s) {
    float f;
    s.GetWaveFloat(&f, 1, 0);
    s.UpdatePlayCount();
  }
  void Run(CBgmStream& s, int ms) {
    for (int t = 0; t < ms; t += kStep) {
      host_->AdvanceClock(kStep);
      Sync(s);
    }
  }
  int Volume(CBgmStream& s) { return s.GetBuffer()->GetVolume(); }
  // The first `seconds` of a capture.
  static std::vector<int16_t> Head(const std::vector<int16_t>& v, double seconds) {
    const size_t n = static_cast<size_t>(seconds * musictest::kRate) * 2;
    return std::vector<int16_t>(v.begin(), v.begin() + static_cast<long>(std::min(n, v.size())));
  }
  static std::vector<int16_t> Slice(const std::vector<int16_t>& v, double from, double seconds) {
    const size_t a = std::min(v.size(), static_cast<size_t>(from * musictest::kRate) * 2);
    const size_t b = std::min(v.size(), a + static_cast<size_t>(seconds * musictest::kRate) * 2);
    return std::vector<int16_t>(v.begin() + static_cast<long>(a), v.begin() + static_cast<long>(b));
  }

  std::unique_ptr<CBgmStream> stream_;
};

TEST_F(BgmStreamTest, WithoutADeviceNothingRuns) {
  CBgmStream s(nullptr, 0);
  EXPECT_EQ(s.HasThread(), 0);
  EXPECT_EQ(s.GetBuffer(), nullptr);
  musictest::WriteMusic(dir_, "a", Tone({0.5}, 0.5));
  EXPECT_EQ(s.Play("a", 0, 0, 0), 0);
  EXPECT_EQ(s.Stop(1, 5), 0);
  EXPECT_EQ(s.IsPlaying(), 0);
  EXPECT_EQ(s.UpdatePlayCount(), 0);
  s.Pause();
  s.Restart();
  s.SetVolume(10);
  s.FadeVolume(10, 10);
  float wave[4] = {1, 1, 1, 1};
  s.StartSpectrum();
  EXPECT_EQ(s.GetWaveFloat(wave, 4, 0), 0);
  EXPECT_EQ(wave[3], 0.0f);
}

TEST_F(BgmStreamTest, TheNewPieceFillsBothHalvesWithoutAStaleSecond) {
  musictest::WriteMusic(dir_, "a", Tone({0.6, 0.6, 0.6}, 1.0));
  musictest::WriteMusic(dir_, "b", Tone({0.1, 0.3, 0.5}, 1.0, 660.0));
  const std::vector<int16_t> b = musictest::DecodeMusic("b");
  CBgmStream& s = Make();
  ASSERT_EQ(s.Play("a", 0, 0, 0), 1);
  Run(s, 1500);
  ASSERT_EQ(s.Play("b", 1, 0, 0), 1);
  Device()->StartCapture();
  Run(s, 2500);
  const std::vector<int16_t> mix = Device()->StopCapture();
  // At full volume the mix is the decoded music, sample for sample: the
  // second second is b's own, not what a left in the buffer.
  EXPECT_TRUE(Head(mix, 2.5) == Head(b, 2.5));
  EXPECT_NEAR(musictest::Rms(mix, 1.1, 0.8), 0.3 / std::sqrt(2.0), 0.02);
  const auto log = Device()->PlayLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.back().position, 0u);
  EXPECT_TRUE(log.back().loop);
  EXPECT_EQ(log.back().size, CBgmStream::kBufferSize);
}

TEST_F(BgmStreamTest, LoopCountTwoPlaysTwiceThenStopsAtTheNextNotification) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 1.25));
  const std::vector<int16_t> p = musictest::DecodeMusic("p");
  ASSERT_EQ(p.size(), 2u * 55125);
  CBgmStream& s = Make();
  Device()->StartCapture();
  ASSERT_EQ(s.Play("p", 2, 0, 0), 1);
  Run(s, 2990);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 10);
  // The half after the music was silence; its notification stops the buffer.
  EXPECT_EQ(s.IsPlaying(), 0);
  EXPECT_FALSE(s.GetBuffer()->IsPlaying());
  EXPECT_EQ(s.UpdatePlayCount(), 4);
  Run(s, 500);
  const std::vector<int16_t> mix = Device()->StopCapture();
  std::vector<int16_t> twice = p;
  twice.insert(twice.end(), p.begin(), p.end());
  EXPECT_TRUE(Head(mix, 2.5) == twice);
  EXPECT_EQ(musictest::Rms(mix, 2.5, 1.0), 0.0);
}

TEST_F(BgmStreamTest, APieceShorterThanAHalfLoopsByThisPlaysCount) {
  musictest::WriteMusic(dir_, "short", Tone({0.5}, 0.3));
  const std::vector<int16_t> p = musictest::DecodeMusic("short");
  CBgmStream& s = Make();
  Device()->StartCapture();
  // The first fill at the play already reaches the end of the piece.
  ASSERT_EQ(s.Play("short", 1, 0, 0), 1);
  Run(s, 2500);
  EXPECT_EQ(s.IsPlaying(), 0);
  const std::vector<int16_t> mix = Device()->StopCapture();
  EXPECT_TRUE(Head(mix, 0.3) == p);
  EXPECT_EQ(musictest::Rms(mix, 0.3, 2.2), 0.0);
}

TEST_F(BgmStreamTest, LoopCountZeroNeverStops) {
  musictest::WriteMusic(dir_, "p", Tone({0.4, 0.2}, 0.35));
  const std::vector<int16_t> p = musictest::DecodeMusic("p");
  CBgmStream& s = Make();
  Device()->StartCapture();
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  Run(s, 6000);
  EXPECT_EQ(s.IsPlaying(), 1);
  const std::vector<int16_t> mix = Device()->StopCapture();
  std::vector<int16_t> expected;
  while (expected.size() < mix.size()) expected.insert(expected.end(), p.begin(), p.end());
  expected.resize(mix.size());
  EXPECT_TRUE(mix == expected);
}

TEST_F(BgmStreamTest, NamesThatDoNotPlayAreSkippedAndAListOfNoneEndsAtOnce) {
  musictest::WriteMusic(dir_, "good", Tone({0.5}, 0.5));
  struct Case {
    const char* list;
    int loops;
    int playing;  // right after the play
  };
  const Case cases[] = {
      {"gone1 gone2", 0, 0},
      {"[0:gone]", 0, 0},
      {"gone [0:gone2]", 3, 0},
      {"[2000000000:gone]", 0, 0},
      {"gone good", 1, 1},
      {"[2000000000:gone] good", 1, 1},
      {"good [0:gone]", 0, 1},
  };
  CBgmStream& s = Make();
  host_->ClearErrorLines();
  for (const Case& c : cases) {
    dir_.Write("wgq/list.mml", c.list);
    ASSERT_EQ(s.Play("list", c.loops, 0, 0), 1) << c.list;
    // A worker that went round the list for ever would not answer here.
    EXPECT_EQ(s.IsPlaying(), c.playing) << c.list;
    Run(s, 2000);
    EXPECT_EQ(s.IsPlaying(), 0) << c.list;
  }
  EXPECT_TRUE(host_->Boxes().empty());
  // A name that is in a list but not on disk, and one that is nowhere.
  EXPECT_EQ(host_->ErrorLines().front(), "wgq\\gone1.wgq: the file cannot be opened; the music is not played");
  host_->ClearErrorLines();
  EXPECT_EQ(s.Play("nothing", 0, 0, 0), 0);
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{"wgq\\nothing.wgq: there is neither this file nor a list wgq\\nothing.mml; "
                                     "the music is not played"});
}

TEST_F(BgmStreamTest, AFadeInRisesInTenthsOfASecond) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 3.0));
  CBgmStream& s = Make();
  s.SetNextVolume(80);
  ASSERT_EQ(s.Play("p", 0, 1, 10), 1);
  EXPECT_EQ(Volume(s), -10000);
  Run(s, 90);
  EXPECT_EQ(Volume(s), -10000);
  Run(s, 10);
  EXPECT_EQ(Volume(s), -9200);  // 80 * 100 * 1 / 10 - 10000
  Run(s, 400);
  EXPECT_EQ(Volume(s), -6000);
  Run(s, 500);
  EXPECT_EQ(Volume(s), -2000);
  Run(s, 500);
  EXPECT_EQ(Volume(s), -2000);
  // A fade-in time below 0 is no fade: full level at the first step.
  ASSERT_EQ(s.Play("p", 0, 1, -5), 1);
  Run(s, 100);
  EXPECT_EQ(Volume(s), -2000);
  // The volume is kept for the next play; a play without fade starts there.
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  EXPECT_EQ(Volume(s), -2000);
}

TEST_F(BgmStreamTest, AFadeOutDuringAFadeInStartsAtTheLevelReached) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 3.0));
  struct Case {
    int fadeOut;       // tenths; 0 keeps the time before (30)
    int volume;        // one step after the stop
    int stopsAfterMs;  // from the stop
  };
  // Fade-in 20 at counter 5 (level 25): the fade-out counter starts at
  // 15 * T / 20 for the fade-out time T that runs.
  const Case cases[] = {
      {0, -7667, 800},    // 22 of 30, then 23: 100 * 100 * 7 / 30
      {15, -8000, 400},   // 11 of 15, then 12: 100 * 100 * 3 / 15
      {40, -7750, 1000},  // 30 of 40, then 31
  };
  for (const Case& c : cases) {
    CBgmStream& s = Make();
    ASSERT_EQ(s.Play("p", 0, 1, 20), 1);
    Run(s, 500);
    EXPECT_EQ(Volume(s), -7500);
    ASSERT_EQ(s.Stop(1, c.fadeOut), 1);
    Run(s, 100);
    EXPECT_EQ(Volume(s), c.volume) << c.fadeOut;
    Run(s, c.stopsAfterMs - 110);
    EXPECT_EQ(s.IsPlaying(), 1) << c.fadeOut;
    Run(s, 10);
    EXPECT_EQ(s.IsPlaying(), 0) << c.fadeOut;
  }
}

TEST_F(BgmStreamTest, AFadeOutStopsTheMusicAtItsEnd) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 3.0));
  CBgmStream& s = Make();
  // The first fade-out of a stream takes 3 s.
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  EXPECT_EQ(Volume(s), 0);
  s.Stop(1, 0);
  Run(s, 2990);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 10);
  EXPECT_EQ(s.IsPlaying(), 0);
  EXPECT_FALSE(s.GetBuffer()->IsPlaying());

  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  s.Stop(1, 15);
  Run(s, 1000);
  EXPECT_EQ(Volume(s), -6667);  // 100 * 100 * 5 / 15 - 10000
  Run(s, 490);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 10);
  EXPECT_EQ(s.IsPlaying(), 0);
  // (1, 0) keeps the last time.
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  s.Stop(1, 0);
  Run(s, 1490);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 10);
  EXPECT_EQ(s.IsPlaying(), 0);
}

TEST_F(BgmStreamTest, ARunningFadeOutGivenANewTimeGoesOnFromItsLevel) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 3.0));
  CBgmStream& s = Make();
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  s.Stop(1, 20);
  Run(s, 1000);
  EXPECT_EQ(Volume(s), -5000);
  s.Stop(1, 10);  // counter 10 of 20 becomes 5 of 10
  Run(s, 100);
  EXPECT_EQ(Volume(s), -6000);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 400);
  EXPECT_EQ(s.IsPlaying(), 0);
}

TEST_F(BgmStreamTest, VolumesAndVolumeFades) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 3.0));
  CBgmStream& s = Make();
  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  s.SetVolume(50);
  EXPECT_EQ(Volume(s), -5000);
  s.FadeVolume(100, 10);
  EXPECT_EQ(Volume(s), -5000);  // from the next step on
  Run(s, 500);
  EXPECT_EQ(Volume(s), -2500);
  Run(s, 500);
  EXPECT_EQ(Volume(s), 0);
  s.FadeVolume(20, 0);
  Run(s, 100);
  EXPECT_EQ(Volume(s), -8000);
  // A volume change during a fade-in scales the fade.
  ASSERT_EQ(s.Play("p", 0, 1, 10), 1);
  Run(s, 500);
  EXPECT_EQ(Volume(s), -9000);  // 20 * 100 * 5 / 10
  s.SetVolume(60);
  EXPECT_EQ(Volume(s), -7000);
  // A fade during a fade-in starts at the level the fade-in reached (30).
  s.FadeVolume(90, 6);
  Run(s, 300);
  EXPECT_EQ(Volume(s), -4000);  // 30 + 60 * 3 / 6 = 60
  s.SetBufferVolume(50);
  EXPECT_EQ(Volume(s), -1000);
  s.SetBufferVolume(0);
  EXPECT_EQ(Volume(s), -10000);
}

TEST_F(BgmStreamTest, PauseKeepsThePlaceAndRestartGoesOn) {
  musictest::WriteMusic(dir_, "p", Tone({0.2, 0.4, 0.6}, 1.0));
  const std::vector<int16_t> p = musictest::DecodeMusic("p");
  CBgmStream& s = Make();
  Device()->StartCapture();
  ASSERT_EQ(s.Play("p", 1, 0, 0), 1);
  Run(s, 500);
  s.Pause();
  EXPECT_EQ(s.IsPlaying(), 0);
  const uint32_t at = s.GetBuffer()->GetPosition();
  Run(s, 1000);
  EXPECT_EQ(s.GetBuffer()->GetPosition(), at);
  s.Restart();
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 1200);
  const std::vector<int16_t> mix = Device()->StopCapture();
  EXPECT_TRUE(Head(mix, 0.5) == Head(p, 0.5));
  EXPECT_EQ(musictest::Rms(mix, 0.5, 1.0), 0.0);
  EXPECT_TRUE(Slice(mix, 1.5, 1.2) == Slice(p, 0.5, 1.2));
}

TEST_F(BgmStreamTest, ARestartAtByteZeroDoesNotSkipASecond) {
  musictest::WriteMusic(dir_, "p", Tone({0.1, 0.2, 0.3, 0.4, 0.5}, 1.0));
  const std::vector<int16_t> p = musictest::DecodeMusic("p");
  CBgmStream& s = Make();
  Device()->StartCapture();
  ASSERT_EQ(s.Play("p", 1, 0, 0), 1);
  Run(s, 2000);
  s.Pause();
  ASSERT_EQ(s.GetBuffer()->GetPosition(), 0u);
  // Playing again from byte 0 signals that position once more.
  s.Restart();
  Run(s, 2000);
  const std::vector<int16_t> mix = Device()->StopCapture();
  EXPECT_TRUE(Head(mix, 4.0) == Head(p, 4.0));
}

TEST_F(BgmStreamTest, TheSnapshotIsTheMusicAtThePlayCursor) {
  musictest::WriteMusic(dir_, "p", Tone({0.3, 0.6, 0.9}, 1.0, 1000.0));
  const std::vector<int16_t> p = musictest::DecodeMusic("p");
  CBgmStream& s = Make();
  std::vector<float> wave(1100, 7.0f);
  // Idle: zeros, no command.
  EXPECT_EQ(s.GetWaveFloat(wave.data(), 1024, 0), 0);
  EXPECT_EQ(wave[1023], 0.0f);
  EXPECT_EQ(wave[1024], 7.0f);

  ASSERT_EQ(s.Play("p", 0, 0, 0), 1);
  struct Case {
    int runMs;
    size_t frame;  // music frame at the start of the snapshot
  };
  // 0.5 s: half 0 at 88,200; 1.5 s: half 1 at 88,200; 1.99 s: half 1 at
  // 174,636, capped at 171,912.
  const Case cases[] = {{500, 22050}, {1000, 66150}, {490, 44100 + 42978}};
  for (const Case& c : cases) {
    Run(s, c.runMs);
    for (int channel : {0, 1}) {
      std::fill(wave.begin(), wave.end(), 7.0f);
      ASSERT_EQ(s.GetWaveFloat(wave.data(), 5000, channel), 1);
      for (size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(wave[i], p[2 * (c.frame + i) + static_cast<size_t>(channel)] / 32768.0f) << i;
      EXPECT_EQ(wave[1024], 7.0f);  // at most 1024 samples
    }
    std::vector<int> samples(2048, 7);
    ASSERT_EQ(s.GetWaveSamples(samples.data(), 256), 1);
    for (size_t i = 0; i < 256; ++i) ASSERT_EQ(samples[i], p[2 * (c.frame + 4 * i)]) << i;
    EXPECT_EQ(samples[256], 7);
    ASSERT_EQ(s.GetWaveSamples2(samples.data(), 99, 2048), 1);
    for (size_t i = 0; i < 1024; ++i) ASSERT_EQ(samples[i], p[2 * (c.frame + i)]) << i;
    EXPECT_EQ(samples[1024], 7);
  }
  s.StopSpectrum();
  EXPECT_EQ(s.GetWaveFloat(wave.data(), 16, 0), 0);
  EXPECT_EQ(wave[15], 0.0f);

  // A stream without spectrum copies always answers as idle.
  CBgmStream other(Device(), 2);
  other.StartSpectrum();
  ASSERT_EQ(other.Play("p", 0, 0, 0), 1);
  host_->AdvanceClock(500);
  EXPECT_EQ(other.GetWaveFloat(wave.data(), 16, 0), 0);
  EXPECT_EQ(wave[15], 0.0f);
  EXPECT_EQ(other.IsPlaying(), 1);
}

TEST_F(BgmStreamTest, ReleaseWaitsForTheWorker) {
  musictest::WriteMusic(dir_, "p", Tone({0.5}, 2.0));
  const int before = Device()->BufferCount();
  CBgmStream& s = Make();
  EXPECT_EQ(Device()->BufferCount(), before + 1);
  ASSERT_EQ(s.Play("p", 0, 1, 10), 1);
  // Notifications and steps are under way while it goes.
  host_->AdvanceClock(1000);
  s.Release();
  EXPECT_EQ(s.HasThread(), 0);
  EXPECT_EQ(s.GetBuffer(), nullptr);
  EXPECT_EQ(Device()->BufferCount(), before);
  host_->AdvanceClock(1000);
  EXPECT_EQ(s.Play("p", 0, 0, 0), 0);
  EXPECT_EQ(s.IsPlaying(), 0);
  s.Release();
}

TEST_F(BgmStreamTest, MusicNotAt44100HzStereoIsRefusedWithABox) {
  musictest::WriteRawMusic(dir_, "slow", Tone({0.5}, 1.0, 440.0, 2, 22050));
  musictest::WriteRawMusic(dir_, "mono", Tone({0.5}, 1.0, 440.0, 1));
  musictest::WriteMusic(dir_, "good", Tone({0.5}, 0.4));
  const std::string message = testsupport::Sjis("\n44100Hzステレオではない音楽は再生できません");
  CBgmStream& s = Make();
  ASSERT_EQ(s.Play("slow", 0, 0, 0), 1);
  auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].text, "wgq\\slow.wgq" + message);
  EXPECT_EQ(s.IsPlaying(), 0);
  ASSERT_FALSE(host_->ErrorLines().empty());
  EXPECT_EQ(host_->ErrorLines().back(),
            "wgq\\slow.wgq: it is 22050 Hz with 2 channels, not 44100 Hz stereo; the music is not played");

  // In a list the other pieces play, and the box comes once.
  host_->ClearBoxes();
  dir_.Write("wgq/list.mml", "mono good");
  ASSERT_EQ(s.Play("list", 0, 0, 0), 1);
  Run(s, 3000);
  EXPECT_EQ(s.IsPlaying(), 1);
  boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "wgq\\mono.wgq" + message);
}

TEST_F(BgmStreamTest, FilesThatAreNotMusicEndAtOnce) {
  musictest::WriteMusic(dir_, "good", Tone({0.5}, 0.4));
  dir_.Write("wgq/junk.wgq", std::string(9000, '\x33'));
  dir_.Write("wgq/tiny.wgq", "x");
  const std::string good = dir_.Read("wgq/good.wgq");
  dir_.Write("wgq/cut.wgq", good.substr(0, 200));
  CBgmStream& s = Make();
  struct Case {
    const char* name;
    const char* problem;
  };
  const Case cases[] = {{"junk", "it holds no Ogg stream"},
                        {"tiny", "it is too short for an Ogg stream"},
                        {"cut", "it ends before its Vorbis headers do"}};
  for (const Case& c : cases) {
    host_->ClearErrorLines();
    ASSERT_EQ(s.Play(c.name, 0, 0, 0), 1) << c.name;
    EXPECT_EQ(s.IsPlaying(), 0) << c.name;
    EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{std::string("wgq\\") + c.name + ".wgq: " +
                                                            c.problem + "; the music is not played"});
  }
  dir_.Write("wgq/list.mml", "junk tiny cut good");
  ASSERT_EQ(s.Play("list", 1, 0, 0), 1);
  EXPECT_EQ(s.IsPlaying(), 1);
  Run(s, 2000);
  EXPECT_EQ(s.IsPlaying(), 0);
  EXPECT_TRUE(host_->Boxes().empty());
}

}  // namespace
