// zor-sound music: WAV in, a music file out that the stream's decoder reads
// as 44,100 Hz stereo.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "music_fixtures.h"
#include "platform/headless/headless.h"
#include "support/temp_dir.h"

namespace {

int Tool(const std::string& args) {
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-sound " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MusicTool, WritesMusicFilesTheStreamReads) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  dir.Write("wgq/.keep", "");
  const platform::WavData stereo = musictest::Tone({0.5, 0.25}, 0.5);
  const platform::WavData mono = musictest::Tone({0.5}, 0.5, 440.0, 1);
  const platform::WavData slow = musictest::Tone({0.5}, 0.5, 440.0, 2, 22050);
  ASSERT_TRUE(platform::WriteWavFile(dir / "stereo.wav", stereo.format, stereo.pcm.data(), stereo.pcm.size()));
  ASSERT_TRUE(platform::WriteWavFile(dir / "mono.wav", mono.format, mono.pcm.data(), mono.pcm.size()));
  ASSERT_TRUE(platform::WriteWavFile(dir / "slow.wav", slow.format, slow.pcm.data(), slow.pcm.size()));

  ASSERT_EQ(Tool("music " + dir / "stereo.wav" + " " + dir / "wgq/stereo.wgq"), 0);
  ASSERT_EQ(Tool("music --quality 0.1 " + dir / "mono.wav" + " " + dir / "wgq/mono.wgq"), 0);
  const std::string bytes = dir.Read("wgq/stereo.wgq");
  ASSERT_GT(bytes.size(), 102u);
  EXPECT_EQ(bytes[57], '2');
  EXPECT_EQ(bytes.substr(64, 4), "RIFF");
  EXPECT_EQ(bytes.substr(102, 4), "OggS");

  const std::vector<int16_t> a = musictest::DecodeMusic("stereo");
  ASSERT_EQ(a.size(), stereo.pcm.size() / 2);
  EXPECT_NEAR(musictest::Rms(a, 0.1, 0.3, 1), 0.5 / std::sqrt(2.0), 0.02);
  EXPECT_NEAR(musictest::Rms(a, 0.6, 0.3, 0), 0.25 / std::sqrt(2.0), 0.02);
  // Mono comes out on both sides.
  const std::vector<int16_t> b = musictest::DecodeMusic("mono");
  ASSERT_EQ(b.size(), mono.pcm.size());
  EXPECT_NEAR(musictest::Rms(b, 0.1, 0.3, 1), 0.5 / std::sqrt(2.0), 0.03);

  EXPECT_EQ(Tool("music " + dir / "slow.wav" + " " + dir / "wgq/slow.wgq"), 1);
  EXPECT_FALSE(dir.Exists("wgq/slow.wgq"));
  EXPECT_EQ(Tool("music --ogg " + dir / "stereo.wav" + " " + dir / "x.wgq"), 2);
  EXPECT_EQ(Tool("music " + dir / "stereo.wav"), 2);
}

TEST(MusicTool, WritesATuneFromItsNoteList) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  dir.Write("tune.txt", "# a rest, then A4 and A5\nR 200\nA4 400  # la\nA5 400\n");
  dir.Write("bad.txt", "A4 400\nH4 100\n");
  dir.Write("wgq/.keep", "");
  ASSERT_EQ(Tool("tune " + dir / "tune.txt" + " " + dir / "wgq/tune.wgq"), 0);
  const std::vector<int16_t> mix = musictest::DecodeMusic("tune");
  ASSERT_NEAR(static_cast<double>(mix.size()) / 2, 1.0 * musictest::kRate, 0.01 * musictest::kRate);
  EXPECT_LT(musictest::Rms(mix, 0.0, 0.15), 0.01);
  EXPECT_GT(musictest::Amplitude(mix, 0.3, 0.2, 440.0), 0.2);
  EXPECT_GT(musictest::Amplitude(mix, 0.7, 0.2, 880.0), 0.2);
  EXPECT_LT(musictest::Amplitude(mix, 0.7, 0.2, 440.0), 0.05);
  // A line that is not a note is refused with nothing written.
  EXPECT_EQ(Tool("tune " + dir / "bad.txt" + " " + dir / "wgq/bad.wgq"), 1);
  EXPECT_FALSE(dir.Exists("wgq/bad.wgq"));
}

}  // namespace
