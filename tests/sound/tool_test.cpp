// zor-sound as the sample game and scripts use it: WAV or Ogg Vorbis in, voice files and
// packs out, read back by the engine's loader.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <ogg/ogg.h>

#include "music_fixtures.h"
#include "platform/bytes.h"
#include "platform/headless/headless.h"
#include "sound/wavebuffer.h"
#include "sound_fixtures.h"
#include "soundwriter.h"
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

// A WAV file of any coding; with `extensible` the fmt chunk is the 40-byte
// extensible header whose sub-format carries the tag (what sox and ffmpeg
// write for 24-bit, above 48 kHz or more than 2 channels).
std::vector<uint8_t> AnyWav(uint16_t tag, int channels, int rate, int bits, bool extensible,
                            const std::vector<uint8_t>& data) {
  std::vector<uint8_t> fmt;
  platform::PutLE16(&fmt, extensible ? 0xFFFE : tag);
  platform::PutLE16(&fmt, static_cast<uint16_t>(channels));
  platform::PutLE32(&fmt, static_cast<uint32_t>(rate));
  platform::PutLE32(&fmt, static_cast<uint32_t>(rate * channels * bits / 8));
  platform::PutLE16(&fmt, static_cast<uint16_t>(channels * bits / 8));
  platform::PutLE16(&fmt, static_cast<uint16_t>(bits));
  if (extensible) {
    platform::PutLE16(&fmt, 22);
    platform::PutLE16(&fmt, static_cast<uint16_t>(bits));  // valid bits
    platform::PutLE32(&fmt, channels == 1 ? 4u : 3u);       // channel mask
    // The sub-format GUID: the tag, then the fixed tail of the base GUID.
    const uint8_t guid[16] = {0, 0, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                              0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    platform::PutLE16(&fmt, tag);
    fmt.insert(fmt.end(), guid + 2, guid + 16);
  }
  std::vector<uint8_t> out;
  platform::PutTag(&out, "RIFF");
  platform::PutLE32(&out, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
  platform::PutTag(&out, "WAVE");
  platform::PutTag(&out, "fmt ");
  platform::PutLE32(&out, static_cast<uint32_t>(fmt.size()));
  out.insert(out.end(), fmt.begin(), fmt.end());
  platform::PutTag(&out, "data");
  platform::PutLE32(&out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

template <typename T>
std::vector<uint8_t> Bytes(const std::vector<T>& values, int bytesEach = sizeof(T)) {
  std::vector<uint8_t> out;
  for (const T& v : values) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    out.insert(out.end(), raw, raw + bytesEach);  // little-endian host
  }
  return out;
}

std::vector<int16_t> Samples(const platform::WavData& wav) {
  std::vector<int16_t> out(wav.pcm.size() / 2);
  std::memcpy(out.data(), wav.pcm.data(), out.size() * 2);
  return out;
}

// Each coding against the 16-bit values worked out by hand: rounded to the
// nearest, halves away from zero, the ends clamped.
TEST(SoundToolInput, WideAndFloatSamplesAreRoundedTo16Bits) {
  // 24-bit samples (kept in int32, written as their low three bytes).
  const std::vector<int32_t> in24 = {0x7FFFFF, -0x800000, 0x80, -0x80, 0x7F, 0x17F, -0x180, 0x12345};
  const std::vector<int16_t> want24 = {32767, -32768, 1, -1, 0, 1, -2, 0x123};
  const std::vector<int32_t> in32 = {0x7FFFFFFF, INT32_MIN, 0x8000, -0x8000, 0x7FFF, 0x12348000};
  const std::vector<int16_t> want32 = {32767, -32768, 1, -1, 0, 0x1235};
  const std::vector<float> inFloat = {1.0f, -1.0f, 0.5f, -0.25f, 1.5f, 0.000015259f, 0.0f, -2.0f};
  const std::vector<int16_t> wantFloat = {32767, -32768, 16384, -8192, 32767, 1, 0, -32768};
  const std::vector<double> inDouble = {0.999969482421875, -1.0, 1.0 / 65536, -3.0 / 65536};
  const std::vector<int16_t> wantDouble = {32767, -32768, 1, -2};
  struct Case {
    const char* name;
    uint16_t tag;
    int bits;
    std::vector<uint8_t> data;
    std::vector<int16_t> want;
  };
  const Case cases[] = {
      {"24-bit", 1, 24, Bytes(in24, 3), want24},
      {"32-bit", 1, 32, Bytes(in32), want32},
      {"32-bit float", 3, 32, Bytes(inFloat), wantFloat},
      {"64-bit float", 3, 64, Bytes(inDouble), wantDouble},
  };
  for (const Case& c : cases) {
    for (bool extensible : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (extensible ? " extensible" : ""));
      const auto file = AnyWav(c.tag, 2, 96000, c.bits, extensible, c.data);
      platform::WavSource source;
      std::string error, note;
      ASSERT_TRUE(platform::ParseWavSource(file.data(), file.size(), &source, &error)) << error;
      platform::WavData wav;
      ASSERT_TRUE(soundtool::ToSoundFilePcm(source, &wav, &note, &error)) << error;
      EXPECT_EQ(wav.format.bitsPerSample, 16);
      EXPECT_EQ(wav.format.channels, 2);
      EXPECT_EQ(wav.format.samplesPerSec, 96000);
      EXPECT_EQ(Samples(wav), c.want);
      EXPECT_NE(note.find("rounded to 16 bits"), std::string::npos) << note;
    }
  }
  // 16-bit PCM behind the extensible header is taken as it is, quietly; the
  // engine's own reader takes it too.
  const std::vector<int16_t> plain = {1, -2, 300, -32768};
  const auto file = AnyWav(1, 2, 48000, 16, true, Bytes(plain));
  platform::WavSource source;
  platform::WavData wav;
  std::string error, note;
  ASSERT_TRUE(platform::ParseWavSource(file.data(), file.size(), &source, &error));
  ASSERT_TRUE(soundtool::ToSoundFilePcm(source, &wav, &note, &error)) << error;
  EXPECT_EQ(Samples(wav), plain);
  EXPECT_TRUE(note.empty());
  ASSERT_TRUE(platform::ParseWav(file.data(), file.size(), &wav, &error)) << error;
  EXPECT_EQ(Samples(wav), plain);
}

TEST(SoundToolInput, WhatCannotBeHeldIsRefusedWithTheReason) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    const char* reason;
  };
  const std::vector<uint8_t> six(6 * 3 * 4, 0);
  const Case cases[] = {
      {"six channels", AnyWav(1, 6, 48000, 24, true, six), "6 channels"},
      {"three channels", AnyWav(1, 3, 48000, 16, false, six), "3 channels"},
      {"ADPCM", AnyWav(2, 2, 22050, 8, false, six), "not PCM"},
      {"16-bit float", AnyWav(3, 2, 22050, 16, true, six), "not PCM"},
      {"rate", AnyWav(1, 1, 50, 24, false, six), "50 Hz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::WavSource source;
    platform::WavData wav;
    std::string error, note;
    ASSERT_TRUE(platform::ParseWavSource(c.file.data(), c.file.size(), &source, &error)) << error;
    EXPECT_FALSE(soundtool::ToSoundFilePcm(source, &wav, &note, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // A cut extensible header is damage.
  auto cut = AnyWav(1, 2, 48000, 24, true, six);
  cut[16] = 18;  // the fmt chunk says 18 bytes
  platform::WavSource source;
  std::string error;
  EXPECT_FALSE(platform::ParseWavSource(cut.data(), cut.size(), &source, &error));
}

// The tool itself: the note on stderr, the status, and a file the engine
// plays with the rounded samples.
TEST(SoundToolInput, TheToolWritesA16BitVoiceFromA24BitFile) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  const std::vector<int32_t> in24 = {0x7FFFFF, -0x180, 0x80, 0};
  auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
  };
  write("in.wav", AnyWav(1, 1, 22050, 24, true, Bytes(in24, 3)));
  write("six.wav", AnyWav(1, 6, 22050, 16, true, std::vector<uint8_t>(24, 0)));
  dir.Write("vaw/se/.keep", "");
  const std::string tool = std::string(ZOR_BINARY_DIR) + "/bin/zor-sound voice ";
  const std::string log = dir / "log.txt";
  int status = std::system((tool + dir / "in.wav" + " " + dir / "vaw/se/deep.vaw 2>" + log).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(dir.Read("log.txt").find("note: "), std::string::npos) << dir.Read("log.txt");
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("se", "deep"), 1);
  ASSERT_EQ(w.GetDataSize(), 8);
  std::vector<int16_t> got(4);
  std::memcpy(got.data(), w.GetData(), 8);
  EXPECT_EQ(got, (std::vector<int16_t>{32767, -2, 1, 0}));

  status = std::system((tool + dir / "six.wav" + " " + dir / "six.vaw 2>" + log).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(dir.Read("log.txt").find("6 channels"), std::string::npos) << dir.Read("log.txt");
  EXPECT_FALSE(dir.Exists("six.vaw"));
}

}  // namespace

// --- Ogg Vorbis inputs, wrapped as they are ---

std::string OggOf(const platform::WavData& wav) {
  std::vector<uint8_t> ogg;
  std::string error;
  EXPECT_TRUE(soundtool::EncodeVorbis(wav, 0.1f, &ogg, &error)) << error;
  return std::string(ogg.begin(), ogg.end());
}

// One Ogg page holding an Opus identification packet.
std::string OpusPage() {
  ogg_stream_state os;
  ogg_stream_init(&os, 5);
  unsigned char head[19] = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2};
  ogg_packet packet{};
  packet.packet = head;
  packet.bytes = sizeof head;
  packet.b_o_s = 1;
  ogg_stream_packetin(&os, &packet);
  ogg_page page;
  std::string out;
  while (ogg_stream_flush(&os, &page) != 0) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
  }
  ogg_stream_clear(&os);
  return out;
}

// Runs the tool; its status, and what it said on stderr in *said.
int ToolSaying(testsupport::TempDir& dir, const std::string& args, std::string* said) {
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-sound " + args + " 2>" + dir / "said.txt";
  const int status = std::system(command.c_str());
  *said = dir.Read("said.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SoundToolOgg, AnOggVorbisFileBecomesAVoiceOrMusicUnchanged) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  dir.Write("vaw/se/.keep", "");
  dir.Write("wgq/.keep", "");
  const std::string voice = OggOf(soundtest::Sine(22050, 1, 16, 4410));
  const std::string music = OggOf(soundtest::Sine(44100, 2, 16, 22050));
  dir.Write("voice.ogg", voice);
  dir.Write("music.OGG", music);
  dir.Write("music.data", music);  // found by its first bytes, whatever its name
  std::string said;
  ASSERT_EQ(ToolSaying(dir, "voice --ogg " + dir / "voice.ogg" + " " + dir / "vaw/se/v.vaw", &said), 0) << said;
  ASSERT_EQ(ToolSaying(dir, "music " + dir / "music.OGG" + " " + dir / "wgq/m.wgq", &said), 0) << said;
  ASSERT_EQ(ToolSaying(dir, "music " + dir / "music.data" + " " + dir / "wgq/n.wgq", &said), 0) << said;

  // The streams are the input's bytes, behind the header the game reads.
  const std::string v = dir.Read("vaw/se/v.vaw");
  ASSERT_GT(v.size(), 110u);
  EXPECT_EQ(v[57], '2');
  EXPECT_EQ(v.substr(110), voice);
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("se", "v"), 1);
  EXPECT_EQ(w.GetChannels(), 1);
  EXPECT_EQ(w.GetSamplesPerSec(), 22050);
  EXPECT_EQ(w.GetDataSize(), 4410 * 2);
  EXPECT_EQ(w.GetLength(), 200);

  const std::string m = dir.Read("wgq/m.wgq");
  EXPECT_EQ(m.substr(102), music);
  EXPECT_EQ(dir.Read("wgq/n.wgq"), m);
  EXPECT_EQ(musictest::DecodeMusic("m").size(), 22050u * 2);
}

TEST(SoundToolOgg, WhatTheGameCannotPlayIsRefusedWithTheReason) {
  platform::InstallHeadless().SetBoxEcho(false);
  testsupport::TempDir dir;
  const std::string stereo = OggOf(soundtest::Sine(44100, 2, 16, 4410));
  dir.Write("stereo.ogg", stereo);
  dir.Write("mono.ogg", OggOf(soundtest::Sine(44100, 1, 16, 4410)));
  dir.Write("fast.ogg", OggOf(soundtest::Sine(48000, 2, 16, 4800)));
  dir.Write("opus.ogg", OpusPage());
  dir.Write("chained.ogg", stereo + stereo);
  dir.Write("cut.ogg", stereo.substr(0, stereo.size() - 10));
  const platform::WavData wav = soundtest::Sine(44100, 2, 16, 441);
  ASSERT_TRUE(platform::WriteWavFile(dir / "wav.ogg", wav.format, wav.pcm.data(), wav.pcm.size()));
  struct Case {
    const char* args;
    int status;
    const char* reason;
  };
  const Case cases[] = {
      {"music mono.ogg", 1, "44100 Hz stereo only (this stream is 44100 Hz, 1 channel)"},
      {"music fast.ogg", 1, "48000 Hz, 2 channels"},
      {"voice --ogg opus.ogg", 1, "Opus, not Vorbis"},
      {"music chained.ogg", 1, "more than one Ogg stream"},
      {"voice --ogg cut.ogg", 1, "cut short"},
      {"music wav.ogg", 1, "not an Ogg file"},
      {"voice stereo.ogg", 2, "add --ogg"},
      {"music --quality 0.5 stereo.ogg", 2, "not re-encoded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::string args = c.args;
    const size_t in = args.rfind(' ') + 1;
    args.insert(in, dir / "");
    std::string said;
    EXPECT_EQ(ToolSaying(dir, args + " " + dir / "out", &said), c.status);
    EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    EXPECT_NE(said.find(args.substr(in)), std::string::npos) << said;  // the file is named
    EXPECT_FALSE(dir.Exists("out"));
  }
}
