// Music files: the header forms, batch decoding, and files that are not
// (or no longer) Ogg Vorbis.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "music_fixtures.h"
#include "platform/headless/headless.h"
#include "sound/musicfile.h"
#include "sound/oggdecoder.h"
#include "support/temp_dir.h"

namespace {

using musictest::Tone;

class MusicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
  }
  bool HasLine(const std::string& line) {
    for (const std::string& l : host_->DebugLines())
      if (l == line) return true;
    return false;
  }

  platform::HeadlessBackend* host_ = nullptr;
  testsupport::TempDir dir_;
};

TEST_F(MusicFileTest, BatchesAddUpToTheWholeDecode) {
  const platform::WavData wav = Tone({0.5, 0.2, 0.7}, 0.4);
  std::vector<uint8_t> ogg;
  std::string error;
  ASSERT_TRUE(soundtool::EncodeVorbis(wav, 0.3f, &ogg, &error));
  const std::vector<uint8_t> file = soundtool::MakeMusicImage('2', ogg);
  dir_.Write("wgq/m.wgq", std::string(file.begin(), file.end()));

  // The whole-buffer decoder of the voice files gives the reference.
  std::vector<uint8_t> whole(wav.pcm.size() + 65536);
  COggDecoder reference;
  const int size = reference.Decode(ogg.data(), static_cast<int>(ogg.size()), whole.data(),
                                    static_cast<int>(whole.size()));
  ASSERT_EQ(size, static_cast<int>(wav.pcm.size()));

  FILE* f = OpenMusicFile("M");
  ASSERT_NE(f, nullptr);
  std::vector<uint8_t> out(COggStreamDecoder::kOutputSize);
  COggStreamDecoder decoder(out.data());
  ASSERT_EQ(decoder.Open(f), 1);
  EXPECT_EQ(decoder.GetChannels(), 2);
  EXPECT_EQ(decoder.GetSamplesPerSec(), 44100);
  std::vector<uint8_t> streamed;
  for (int n; (n = decoder.Decode()) > 0;) {
    ASSERT_LE(n, 8192);
    ASSERT_EQ(n % 4, 0);
    streamed.insert(streamed.end(), out.begin(), out.begin() + n);
  }
  EXPECT_EQ(decoder.Decode(), 0);  // and it stays at the end
  EXPECT_EQ(streamed, std::vector<uint8_t>(whole.begin(), whole.begin() + size));
  decoder.Close();
  EXPECT_EQ(decoder.Decode(), 0);
  std::fclose(f);
}

TEST_F(MusicFileTest, TheStreamStartsWhereTheHeaderSaysSo) {
  const platform::WavData wav = Tone({0.5}, 0.2);
  std::vector<uint8_t> ogg;
  std::string error;
  ASSERT_TRUE(soundtool::EncodeVorbis(wav, 0.3f, &ogg, &error));
  const size_t samples = wav.pcm.size() / 2;

  // Type '2' with a 16-byte fmt chunk: the stream at byte 100.
  std::vector<uint8_t> typed = soundtool::MakeMusicImage('2', ogg);
  typed.erase(typed.begin() + 100, typed.begin() + 102);
  typed[80] = 16;
  dir_.Write("wgq/f16.wgq", std::string(typed.begin(), typed.end()));
  EXPECT_EQ(musictest::DecodeMusic("f16").size(), samples);
  // Any other type: the stream right after the 64-byte header.
  for (char type : {'0', '1', 'x', '\0'}) {
    const std::vector<uint8_t> bare = soundtool::MakeMusicImage(type, ogg);
    ASSERT_EQ(bare.size(), 64 + ogg.size());
    dir_.Write("wgq/bare.wgq", std::string(bare.begin(), bare.end()));
    EXPECT_EQ(musictest::DecodeMusic("bare").size(), samples) << type;
  }
  EXPECT_EQ(OpenMusicFile("missing"), nullptr);
  EXPECT_EQ(OpenMusicFile(""), nullptr);
}

TEST_F(MusicFileTest, BrokenStreamsFailCleanlyAndDecodeNothing) {
  const platform::WavData wav = Tone({0.5}, 0.3);
  std::vector<uint8_t> ogg;
  std::string error;
  ASSERT_TRUE(soundtool::EncodeVorbis(wav, 0.3f, &ogg, &error));
  const std::vector<uint8_t> good = soundtool::MakeMusicImage('2', ogg);
  // The first page holds the identification header only.
  const size_t firstPage = 27 + ogg[26] + ogg[27];

  struct Case {
    std::string name;
    std::string bytes;
    const char* report;  // a debug line the opener writes
  };
  std::string header(good.begin(), good.begin() + 102);
  std::string noise(5000, '\x5a');
  std::string badFmt = header;
  badFmt[83] = '\x80';  // a negative fmt length
  const Case cases[] = {
      {"noise", header + noise, "Must not be Vorbis data"},
      {"short", header + "OggS", "[error1inOggDecoder]"},
      {"empty", "", "[error1inOggDecoder]"},
      {"cut", header + std::string(ogg.begin(), ogg.begin() + static_cast<long>(firstPage)),
       "End of file before finding all Vorbis headers!\n"},
      {"fmt", badFmt + std::string(ogg.begin(), ogg.end()), "[error1inOggDecoder]"},
  };
  for (const Case& c : cases) {
    host_->ClearDebugLines();
    dir_.Write("wgq/" + c.name + ".wgq", c.bytes);
    FILE* f = OpenMusicFile(c.name.c_str());
    ASSERT_NE(f, nullptr) << c.name;
    std::vector<uint8_t> out(COggStreamDecoder::kOutputSize);
    COggStreamDecoder decoder(out.data());
    EXPECT_EQ(decoder.Open(f), 0) << c.name;
    EXPECT_EQ(decoder.IsOpen(), 0);
    // Nothing of the failed open is used.
    EXPECT_EQ(decoder.Decode(), 0) << c.name;
    EXPECT_TRUE(HasLine(c.report)) << c.name;
    std::fclose(f);
  }

  // A stream cut inside its last page decodes the pages before and ends.
  const platform::WavData longer = Tone({0.5}, 3.0);
  std::vector<uint8_t> longOgg;
  ASSERT_TRUE(soundtool::EncodeVorbis(longer, 0.3f, &longOgg, &error));
  const std::vector<uint8_t> whole = soundtool::MakeMusicImage('2', longOgg);
  dir_.Write("wgq/half.wgq", std::string(whole.begin(), whole.end() - 1000));
  const size_t got = musictest::DecodeMusic("half").size();
  EXPECT_GT(got, 0u);
  EXPECT_LT(got, longer.pcm.size() / 2);
}

}  // namespace
