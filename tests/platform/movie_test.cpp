// The platform's movie service over the clips the build makes: which
// streams decode, pictures at the screen's size by the sound clock, exact
// start positions, repeatable runs and refused files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/movie.h"
#include "support/movie_clips.h"
#include "support/temp_dir.h"

namespace {

constexpr int kW = 80, kH = 60;

uint64_t Hash(const std::vector<uint32_t>& px) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : px) h = (h ^ p) * 1099511628211ull;
  return h;
}

class MovieTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    ASSERT_TRUE(testsupport::CopyMovieClip(dir_.path(), "clip.wmv", "movie/clip.wmv"));
    ASSERT_TRUE(testsupport::CopyMovieClip(dir_.path(), "silent.wmv", "movie/silent.wmv"));
  }
  void TearDown() override { platform::SetMissingMovieCodecs({}); }

  // Plays a movie by 50-ms frames until it ends (at most `limit` frames);
  // the hash of each picture written.
  std::vector<uint64_t> Run(platform::Movie& m, int limit = 100) {
    std::vector<uint64_t> hashes;
    std::vector<uint32_t> screen(kW * kH, 0xABCDEF);
    for (int i = 0; i < limit && !m.Ended(); ++i) {
      if (m.Update(screen.data(), kW, kH, kW)) hashes.push_back(Hash(screen));
      host_->AdvanceClock(50);
    }
    return hashes;
  }

  testsupport::TempDir dir_;
  platform::HeadlessBackend* host_ = nullptr;
};

TEST_F(MovieTest, ReportsWhichStreamsDecode) {
  struct Case {
    std::vector<std::string> missing;
    bool opens, video, audio;
  } cases[] = {
      {{}, true, true, true},
      {{"msmpeg4v3"}, true, false, true},
      {{"wmav2"}, true, true, false},
      {{"msmpeg4v3", "wmav2"}, false, false, false},
  };
  for (const Case& c : cases) {
    platform::SetMissingMovieCodecs(c.missing);
    auto m = platform::Movie::Open("MOVIE\\Clip.WMV");
    ASSERT_EQ(m != nullptr, c.opens) << c.missing.size();
    if (!m) continue;
    EXPECT_TRUE(m->Info().hasVideo);
    EXPECT_TRUE(m->Info().hasAudio);
    EXPECT_EQ(m->Info().videoDecodes, c.video);
    EXPECT_EQ(m->Info().audioDecodes, c.audio);
    EXPECT_EQ(m->Info().width, 160);
    EXPECT_EQ(m->Info().height, 120);
  }
}

TEST_F(MovieTest, BadFilesDoNotOpen) {
  std::string clip = dir_.Read("movie/clip.wmv");
  std::string noise(20000, '\0');
  uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  dir_.Write("movie/noise.wmv", noise);
  dir_.Write("movie/cut.wmv", clip.substr(0, 100));
  dir_.Write("movie/text.wmv", "this is not a movie\r\n");
  dir_.Write("movie/empty.wmv", "");
  for (const char* name : {"movie\\noise.wmv", "movie\\cut.wmv", "movie\\text.wmv", "movie\\empty.wmv",
                           "movie\\missing.wmv"})
    EXPECT_EQ(platform::Movie::Open(name), nullptr) << name;
}

// The header alone gives the answer Open gives for the usual codecs, and
// gives none where it cannot be sure.
TEST_F(MovieTest, TheHeaderTellsWhatOpenFinds) {
  struct Case {
    const char* file;
    std::vector<std::string> missing;
  } cases[] = {
      {"movie\\clip.wmv", {}},
      {"movie\\clip.wmv", {"msmpeg4v3"}},
      {"movie\\clip.wmv", {"wmav2"}},
      {"movie\\clip.wmv", {"msmpeg4v3", "wmav2"}},
      {"movie\\silent.wmv", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " missing " + std::to_string(c.missing.size()));
    platform::SetMissingMovieCodecs(c.missing);
    platform::MovieInfo probed;
    ASSERT_TRUE(platform::Movie::ProbeHeader(c.file, &probed));
    auto m = platform::Movie::Open(c.file);
    const platform::MovieInfo opened = m ? m->Info() : platform::MovieInfo{};
    EXPECT_EQ(probed.hasVideo, true);
    EXPECT_EQ(probed.videoDecodes, opened.videoDecodes);
    EXPECT_EQ(probed.audioDecodes, opened.audioDecodes);
    EXPECT_EQ(probed.width, 160);
    EXPECT_EQ(probed.height, 120);
    if (m) {
      EXPECT_EQ(probed.hasAudio, opened.hasAudio);
    }
  }

  const std::string clip = dir_.Read("movie/clip.wmv");
  std::string unknown = clip;
  const size_t fourcc = unknown.find("MP43");
  ASSERT_NE(fourcc, std::string::npos);
  unknown.replace(fourcc, 4, "ZZZZ");
  dir_.Write("movie/unknown.wmv", unknown);
  dir_.Write("movie/cut.wmv", clip.substr(0, 100));
  dir_.Write("movie/text.wmv", "this is not a movie\r\n");
  dir_.Write("movie/empty.wmv", "");
  std::string zeroed = clip;
  std::fill(zeroed.begin(), zeroed.begin() + 4096, '\0');
  dir_.Write("movie/zeroed.wmv", zeroed);
  for (const char* name : {"movie\\unknown.wmv", "movie\\cut.wmv", "movie\\text.wmv", "movie\\empty.wmv",
                           "movie\\zeroed.wmv", "movie\\missing.wmv"}) {
    platform::MovieInfo probed;
    EXPECT_FALSE(platform::Movie::ProbeHeader(name, &probed)) << name;
  }
}

TEST_F(MovieTest, PlaysPicturesBySoundClockAndRepeatsExactly) {
  std::vector<uint64_t> first;
  for (int run = 0; run < 2; ++run) {
    auto m = platform::Movie::Open("movie\\clip.wmv");
    ASSERT_NE(m, nullptr);
    platform::Audio()->ClearPlayLog();
    ASSERT_TRUE(m->Start(0, -1000));
    std::vector<uint64_t> hashes = Run(*m);
    EXPECT_TRUE(m->Ended());
    // Ten pictures a second for a second, every one different.
    ASSERT_GE(hashes.size(), 9u);
    for (size_t i = 1; i < hashes.size(); ++i) EXPECT_NE(hashes[i], hashes[i - 1]) << i;
    if (run == 0)
      first = hashes;
    else
      EXPECT_EQ(hashes, first);
    auto log = platform::Audio()->PlayLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].volume, -1000);
    EXPECT_EQ(log[0].format.samplesPerSec, platform::kMixRate);
    EXPECT_EQ(log[0].format.channels, 2);
  }
}

TEST_F(MovieTest, PicturesFillTheTargetWithBlackHighByte) {
  auto m = platform::Movie::Open("movie\\clip.wmv");
  ASSERT_NE(m, nullptr);
  ASSERT_TRUE(m->Start(0, 0));
  std::vector<uint32_t> screen(kW * kH, 0xFF000000u);
  EXPECT_FALSE(m->Update(screen.data(), kW, kH, kW));  // the first picture is due at 46 ms
  host_->AdvanceClock(50);
  ASSERT_TRUE(m->Update(screen.data(), kW, kH, kW));
  for (uint32_t p : screen) ASSERT_EQ(p >> 24, 0u);
}

TEST_F(MovieTest, SoundIsTheToneAtTheVolume) {
  auto m = platform::Movie::Open("movie\\clip.wmv");
  ASSERT_NE(m, nullptr);
  platform::Audio()->StartCapture();
  ASSERT_TRUE(m->Start(0, -1000));
  Run(*m);
  std::vector<int16_t> mix = platform::Audio()->StopCapture();
  // The tone's peak over the middle of the movie, against ffmpeg's sine
  // amplitude (1/8 of full scale) at -10 dB.
  int peak = 0;
  int crossings = 0;
  for (size_t i = 2 * 11025; i + 2 < 2 * 33075; i += 2) {
    peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
    if ((mix[i] < 0) != (mix[i + 2] < 0)) ++crossings;
  }
  const double expected = 32767 / 8.0 * platform::VolumeToGain(-1000);
  EXPECT_NEAR(peak, expected, expected * 0.1);
  // 440 Hz over half a second: 440 crossings.
  EXPECT_NEAR(crossings, 440, 10);
}

TEST_F(MovieTest, StartPositionLandsOnTheExactFrame) {
  std::vector<uint64_t> whole;
  {
    auto m = platform::Movie::Open("movie\\clip.wmv");
    ASSERT_TRUE(m && m->Start(0, 0));
    whole = Run(*m);
  }
  auto m = platform::Movie::Open("movie\\clip.wmv");
  ASSERT_TRUE(m && m->Start(5000000, 0));  // half a second in
  EXPECT_EQ(m->Position(), 5000000);
  std::vector<uint64_t> rest = Run(*m);
  ASSERT_FALSE(rest.empty());
  ASSERT_GE(whole.size(), 6u);
  // The picture showing at 0.5 s (the container starts its video 46 ms in).
  EXPECT_EQ(rest[0], whole[4]);
  EXPECT_EQ(rest.back(), whole.back());
}

TEST_F(MovieTest, WithoutSoundTheTickIsTheClock) {
  auto m = platform::Movie::Open("movie\\silent.wmv");
  ASSERT_NE(m, nullptr);
  EXPECT_FALSE(m->Info().hasAudio);
  ASSERT_TRUE(m->Start(0, 0));
  host_->AdvanceClock(300);
  EXPECT_EQ(m->Position(), 3000000);
  EXPECT_GE(Run(*m).size(), 6u);
  EXPECT_TRUE(m->Ended());
}

TEST_F(MovieTest, AStreamBrokenMidwayEndsLikeTheEnd) {
  const std::string clip = dir_.Read("movie/clip.wmv");
  dir_.Write("movie/half.wmv", clip.substr(0, clip.size() / 2));
  auto m = platform::Movie::Open("movie\\half.wmv");
  ASSERT_NE(m, nullptr);
  ASSERT_TRUE(m->Start(0, 0));
  Run(*m, 60);
  EXPECT_TRUE(m->Ended());
}

}  // namespace

// A file cut short keeps the length its header declares, so playing it
// shows how far short of it the movie broke off; the whole clip reaches
// its length.
TEST_F(MovieTest, ACutFileKeepsItsDeclaredLengthAndBreaksOffShortOfIt) {
  dir_.Write("movie/cut4k.wmv", dir_.Read("movie/clip.wmv").substr(0, 4096));
  auto whole = platform::Movie::Open("movie\\clip.wmv");
  auto cut = platform::Movie::Open("movie\\cut4k.wmv");
  ASSERT_NE(whole, nullptr);
  ASSERT_NE(cut, nullptr);
  const int64_t length = whole->Info().duration;
  ASSERT_GT(length, 5000000);
  EXPECT_EQ(cut->Info().duration, length);
  for (auto* m : {whole.get(), cut.get()}) {
    ASSERT_TRUE(m->Start(0, platform::kVolumeSilent));
    Run(*m);
    EXPECT_TRUE(m->Ended());
  }
  EXPECT_GE(whole->Reached(), length - 1000000);
  EXPECT_LT(cut->Reached(), length / 2);
}
