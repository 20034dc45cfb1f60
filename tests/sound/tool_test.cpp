// zor-sound as the sample game and scripts use it: WAV in, voice files and
// packs out, read back by the engine's loader.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/headless/headless.h"
#include "sound/wavebuffer.h"
#include "sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

int Tool(const std::string& args) {
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-sound " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SoundTool, WritesVoiceFilesAndPacksTheEngineReads) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  const platform::WavData wav = soundtest::Sine(22050, 2, 16, 4410);
  ASSERT_TRUE(platform::WriteWavFile(dir / "in.wav", wav.format, wav.pcm.data(), wav.pcm.size()));
  dir.Write("vaw/se/.keep", "");
  dir.Write("cdvaw/.keep", "");
  ASSERT_EQ(Tool("voice " + dir / "in.wav" + " " + dir / "vaw/se/pcm.vaw"), 0);
  ASSERT_EQ(Tool("voice --ogg --quality 0.2 " + dir / "in.wav" + " " + dir / "vaw/se/ogg.vaw"), 0);
  ASSERT_EQ(Tool("pack " + dir / "cdvaw/ab.vpk" + " " + dir / "vaw/se/pcm.vaw" + " " +
                dir / "vaw/se/ogg.vaw"),
            0);
  EXPECT_TRUE(dir.Exists("cdvaw/ab.vtb"));
  {
    CWaveBuffer w;
    ASSERT_EQ(w.LoadFile("se", "pcm"), 1);
    EXPECT_EQ(std::vector<uint8_t>(w.GetData(), w.GetData() + w.GetDataSize()), wav.pcm);
    ASSERT_EQ(w.LoadFile("se", "ogg"), 1);
    EXPECT_EQ(w.GetDataSize(), static_cast<int>(wav.pcm.size()));
    EXPECT_EQ(w.GetChannels(), 2);
    ASSERT_EQ(w.LoadVoicePack("OGG"), 0);  // the pack is named after its prefix, "ab"
  }
  // Entries are named after their files: rename them to the pack's prefix.
  std::filesystem::rename(dir / "vaw/se/pcm.vaw", dir / "ab0001.vaw");
  std::filesystem::rename(dir / "vaw/se/ogg.vaw", dir / "ab0002.vaw");
  ASSERT_EQ(Tool("pack " + dir / "cdvaw/ab.vpk" + " " + dir / "ab0001.vaw" + " " + dir / "ab0002.vaw"), 0);
  {
    CWaveBuffer w;
    ASSERT_EQ(w.LoadVoicePack("ab0002"), 1);
    EXPECT_EQ(w.GetLength(), 200);
    ASSERT_EQ(w.LoadVoicePack("ab0001"), 1);
    EXPECT_EQ(w.GetDataSize(), static_cast<int>(wav.pcm.size()));
  }

  // Mistakes are refused with a non-zero status.
  dir.Write("bad.wav", "RIFF....WAVEjunk");
  dir.Write("toolongname.vaw", "x");
  EXPECT_EQ(Tool(""), 2);
  EXPECT_EQ(Tool("voice " + dir / "in.wav"), 2);
  EXPECT_EQ(Tool("voice --quality 3 " + dir / "in.wav" + " " + dir / "x.vaw"), 2);
  EXPECT_EQ(Tool("voice " + dir / "bad.wav" + " " + dir / "x.vaw"), 1);
  EXPECT_EQ(Tool("voice " + dir / "missing.wav" + " " + dir / "x.vaw"), 1);
  EXPECT_EQ(Tool("pack " + dir / "x.vpk" + " " + dir / "toolongname.vaw"), 1);
  EXPECT_EQ(Tool("pack " + dir / "x.pak" + " " + dir / "ab0001.vaw"), 2);
  EXPECT_FALSE(dir.Exists("x.vaw"));
}

}  // namespace
