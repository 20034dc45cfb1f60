// Voice files, voice packs and the loader's checks of what they claim.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <filesystem>
#include <random>

#include "platform/headless/headless.h"
#include "sound/wavebuffer.h"
#include "sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

using soundtest::Str;

// The reference: libvorbisfile's floats, converted as the engine converts.
std::vector<uint8_t> ReferenceDecode(const std::string& oggPath, int* channels) {
  OggVorbis_File vf;
  std::vector<uint8_t> out;
  if (ov_fopen(oggPath.c_str(), &vf) != 0) return out;
  *channels = ov_info(&vf, -1)->channels;
  for (;;) {
    float** pcm = nullptr;
    int section = 0;
    const long n = ov_read_float(&vf, &pcm, 1024, &section);
    if (n <= 0) break;
    for (long i = 0; i < n; ++i) {
      for (int c = 0; c < *channels; ++c) {
        const float f = pcm[c][i] * 32767.0f;
        const int v = f >= 32767.0f ? 32767 : f <= -32768.0f ? -32768 : static_cast<int>(f);
        const uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
        out.push_back(static_cast<uint8_t>(u & 0xFF));
        out.push_back(static_cast<uint8_t>(u >> 8));
      }
    }
  }
  ov_clear(&vf);
  return out;
}

class WaveBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    dir_ = std::make_unique<testsupport::TempDir>();
  }
  void TearDown() override { dir_.reset(); }

  std::vector<uint8_t> Ogg(const platform::WavData& wav) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(soundtool::MakeOggVoice(wav, 0.3f, &out, &error)) << error;
    return out;
  }
  void WritePack(const std::string& prefix, const std::vector<soundtool::PackEntry>& entries) {
    std::vector<uint8_t> pack, index;
    std::string error;
    ASSERT_TRUE(soundtool::MakeVoicePack(entries, &pack, &index, &error)) << error;
    dir_->Write("cdvaw/" + prefix + ".vpk", Str(pack));
    dir_->Write("cdvaw/" + prefix + ".vtb", Str(index));
  }
  // The loaded data as bytes.
  static std::vector<uint8_t> Data(const CWaveBuffer& w) {
    return std::vector<uint8_t>(w.GetData(), w.GetData() + w.GetDataSize());
  }

  // Exactly one line on stderr, starting and ending as given.
  void ExpectOneLine(const std::string& start, const std::string& end, const std::string& what) {
    const auto lines = host_->ErrorLines();
    ASSERT_EQ(lines.size(), 1u) << what;
    EXPECT_EQ(lines[0].rfind(start, 0), 0u) << what << ": " << lines[0];
    EXPECT_TRUE(lines[0].size() >= end.size() && lines[0].compare(lines[0].size() - end.size(), end.size(), end) == 0)
        << what << ": " << lines[0];
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<testsupport::TempDir> dir_;
};

TEST_F(WaveBufferTest, PcmVoiceFilesGiveTheirDataAndFormat) {
  const platform::WavData wav = soundtest::Sine(22050, 2, 16, 2205);
  dir_->Write("vaw/se/Beep.vaw", Str(soundtool::MakePcmVoice(wav)));
  dir_->Write("vaw/chime.vaw", Str(soundtool::MakePcmVoice(soundtest::Sine(11025, 1, 8, 500))));
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("se", "BEEP"), 1);  // the folders are matched without case
  EXPECT_EQ(Data(w), wav.pcm);
  EXPECT_EQ(w.GetChannels(), 2);
  EXPECT_EQ(w.GetSamplesPerSec(), 22050);
  EXPECT_EQ(w.GetBitsPerSample(), 16);
  EXPECT_EQ(w.GetLength(), 100);
  EXPECT_STREQ(w.GetName(), "BEEP");
  // The image is itself a WAVE file of the sound.
  platform::WavData image;
  std::string error;
  ASSERT_TRUE(platform::ParseWav(w.GetBuffer(), static_cast<size_t>(w.GetImageLength()), &image, &error))
      << error;
  EXPECT_EQ(image.pcm, wav.pcm);

  for (const char* none : {"", static_cast<const char*>(nullptr)}) {
    ASSERT_EQ(w.LoadFile(none, "chime"), 1);  // no folder: "vaw\<name>.vaw"
    EXPECT_EQ(w.GetDataSize(), 500);
    EXPECT_EQ(w.GetBitsPerSample(), 8);
  }
  EXPECT_EQ(w.LoadFile("se", nullptr), 0);
  EXPECT_EQ(w.LoadFile("se", "missing"), 0);
}

TEST_F(WaveBufferTest, OggVoiceFilesDecodeLikeTheReferenceDecoder) {
  for (int channels : {1, 2}) {
    const platform::WavData wav = soundtest::Sine(22050, channels, 16, 30000, 330.0);
    const std::vector<uint8_t> file = Ogg(wav);
    dir_->Write("vaw/se/song.vaw", Str(file));
    dir_->Write("stream.ogg", Str(std::vector<uint8_t>(file.begin() + soundtest::kBodyAt, file.end())));
    int refChannels = 0;
    const std::vector<uint8_t> reference = ReferenceDecode(*dir_ / "stream.ogg", &refChannels);
    ASSERT_EQ(reference.size(), wav.pcm.size());

    CWaveBuffer w;
    ASSERT_EQ(w.LoadFile("se", "song"), 1);
    EXPECT_EQ(w.GetChannels(), channels);
    EXPECT_EQ(w.GetSamplesPerSec(), 22050);
    EXPECT_EQ(w.GetBitsPerSample(), 16);
    EXPECT_EQ(w.GetDataSize(), static_cast<int>(wav.pcm.size()));
    EXPECT_TRUE(Data(w) == reference) << channels << " channels";
  }

  // A fmt chunk that disagrees with the stream: the samples are what the
  // stream decodes to, so its format wins.
  const platform::WavData stereo = soundtest::Sine(22050, 2, 16, 2000);
  std::vector<uint8_t> file = Ogg(stereo);
  file[84 + 2] = 1;                                 // channels
  soundtest::Put32(&file, 84 + 4, 44100);           // samples per second
  soundtest::Put32(&file, 84 + 8, 44100 * 2);       // bytes per second
  dir_->Write("vaw/se/liar.vaw", Str(file));
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("se", "liar"), 1);
  EXPECT_EQ(w.GetChannels(), 2);
  EXPECT_EQ(w.GetSamplesPerSec(), 22050);
  EXPECT_EQ(w.GetLength(), 2000 * 1000 / 22050);
}

TEST_F(WaveBufferTest, ScalingTouchesSixteenBitSamplesOnly) {
  platform::WavData wav;
  wav.format = {1, 22050, 16};
  for (int16_t v : {1000, -1000, 30000, 7, 0, 0}) {
    wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) & 0xFF));
    wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
  }
  dir_->Write("vaw/s16.vaw", Str(soundtool::MakePcmVoice(wav)));
  dir_->Write("vaw/s8.vaw", Str(soundtool::MakePcmVoice(soundtest::Sine(22050, 1, 8, 64))));
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("", "s16"), 1);
  EXPECT_EQ(w.GetScaledVolume(), 100);
  w.ScaleVolume(50);
  EXPECT_EQ(w.IsScaled(), 1);
  EXPECT_EQ(w.GetScaledVolume(), 50);
  // (12 - 8) / 2 samples are covered; the rest keep their values.
  EXPECT_EQ(soundtest::Sample16(w.GetData()), 500);
  EXPECT_EQ(soundtest::Sample16(w.GetData() + 2), -500);
  EXPECT_EQ(soundtest::Sample16(w.GetData() + 4), 30000);
  w.ScaleVolume(10);  // once only
  EXPECT_EQ(soundtest::Sample16(w.GetData()), 500);

  ASSERT_EQ(w.LoadFile("", "s8"), 1);
  const std::vector<uint8_t> before = Data(w);
  w.ScaleVolume(50);
  EXPECT_EQ(Data(w), before);
}

TEST_F(WaveBufferTest, LengthsInMillisecondsHoldForLongVoices) {
  struct Case {
    int rate, channels, bits, frames, ms;
  } cases[] = {
      {22050, 1, 16, 44100, 2000},      // 88,200 bytes at 44,100 a second
      {22050, 2, 16, 22050 * 30, 30000},  // past the 32-bit product at ~24 s
      {44100, 2, 16, 44100 * 13, 13000},
      {8000, 1, 8, 4000, 500},
  };
  for (const Case& c : cases) {
    platform::WavData wav;
    wav.format = {c.channels, c.rate, c.bits};
    wav.pcm.assign(static_cast<size_t>(c.frames) * wav.format.BlockAlign(), c.bits == 8 ? 0x80 : 0);
    dir_->Write("vaw/long.vaw", Str(soundtool::MakePcmVoice(wav)));
    CWaveBuffer w;
    ASSERT_EQ(w.LoadFile("", "long"), 1);
    EXPECT_EQ(w.GetLength(), c.ms) << c.rate << " " << c.frames;
  }
}

TEST_F(WaveBufferTest, PacksAreFoundThroughTheirIndexWithoutRegardToCase) {
  const platform::WavData a = soundtest::Sine(22050, 1, 16, 1000, 300.0);
  const platform::WavData b = soundtest::Sine(22050, 1, 16, 1500, 500.0);
  const platform::WavData c = soundtest::Sine(11025, 2, 8, 800);
  WritePack("ab", {{"ab0001", soundtool::MakePcmVoice(a)},
                   {"AB0002", Ogg(b)},
                   {"ab000003", soundtool::MakePcmVoice(c)}});
  CWaveBuffer w;
  ASSERT_EQ(w.LoadVoicePack("Ab0001"), 1);
  EXPECT_EQ(Data(w), a.pcm);
  ASSERT_EQ(w.LoadVoicePack("ab0002"), 1);
  EXPECT_EQ(w.GetDataSize(), static_cast<int>(b.pcm.size()));
  ASSERT_EQ(w.LoadVoicePack("AB000003"), 1);  // eight characters: no NUL in the record
  EXPECT_EQ(Data(w), c.pcm);
  EXPECT_EQ(w.LoadVoicePack("ab0000031"), 0);  // longer than any record name
  EXPECT_EQ(w.LoadVoicePack("ab9999"), 0);
  EXPECT_EQ(w.LoadVoicePack("cd0001"), 0);     // no index for that prefix

  // The same voice again is answered without reading.
  ASSERT_EQ(w.LoadVoicePack("ab0001"), 1);
  std::filesystem::remove_all(*dir_ / "cdvaw");
  EXPECT_EQ(w.LoadVoicePack("AB0001"), 1);
  EXPECT_EQ(Data(w), a.pcm);
  // The index stays cached; the pack itself is gone.
  EXPECT_EQ(w.LoadVoicePack("ab0002"), 0);
  EXPECT_EQ(w.GetDataSize(), 0);
}

TEST_F(WaveBufferTest, PackNamesThatDifferInTheSecondByteOfACharacterAreDifferentVoices) {
  // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61.
  const platform::WavData a = soundtest::Sine(22050, 1, 16, 1000, 300.0);
  const platform::WavData b = soundtest::Sine(22050, 1, 16, 1500, 500.0);
  const std::string first = "ab\x83\x41", second = "ab\x83\x61";
  WritePack("ab", {{first, soundtool::MakePcmVoice(a)}, {second, soundtool::MakePcmVoice(b)}});
  CWaveBuffer w;
  ASSERT_EQ(w.LoadVoicePack(first.c_str()), 1);
  EXPECT_EQ(Data(w), a.pcm);
  ASSERT_EQ(w.LoadVoicePack(second.c_str()), 1);
  EXPECT_EQ(Data(w), b.pcm);
  ASSERT_EQ(w.LoadVoicePack(first.c_str()), 1);
  EXPECT_EQ(Data(w), a.pcm);
}

TEST_F(WaveBufferTest, AnIndexOfThirteenRecordsDescribesTwelveEntries) {
  std::vector<soundtool::PackEntry> entries;
  for (int i = 0; i < 12; ++i) {
    char name[9];
    std::snprintf(name, sizeof name, "xy%04d", i);
    entries.push_back({name, soundtool::MakePcmVoice(soundtest::Sine(22050, 1, 16, 100 + 10 * i))});
  }
  WritePack("xy", entries);
  EXPECT_EQ(std::filesystem::file_size(*dir_ / "cdvaw/xy.vtb"), 13u * 12);
  CWaveBuffer w;
  const int slot = CWaveBuffer::FindPackIndex("XY");
  ASSERT_GE(slot, 0);
  EXPECT_EQ(CWaveBuffer::FindPackIndex("xy"), slot);
  int length = 0;
  const int offset = CWaveBuffer::FindPackEntry(slot, "xy0011", &length);
  EXPECT_EQ(length, static_cast<int>(entries[11].image.size()));
  EXPECT_EQ(offset + length, static_cast<int>(std::filesystem::file_size(*dir_ / "cdvaw/xy.vpk")));
  EXPECT_EQ(CWaveBuffer::FindPackEntry(slot, "", &length), -1);  // the end record is no entry
  EXPECT_EQ(length, 0);
  ASSERT_EQ(w.LoadVoicePack("xy0011"), 1);
  EXPECT_EQ(w.GetDataSize(), 2 * 210);
}

TEST_F(WaveBufferTest, LooseVoiceFilesLiveInTheirPrefixFolder) {
  const platform::WavData a = soundtest::Sine(22050, 1, 16, 700);
  dir_->Write("cdvaw/zz/zz0100.vaw", Str(soundtool::MakePcmVoice(a)));
  CWaveBuffer w;
  EXPECT_EQ(w.LoadVoicePack("zz0100"), 0);
  ASSERT_EQ(w.LoadVoiceFile("ZZ0100"), 1);
  EXPECT_EQ(Data(w), a.pcm);
  // A voice file always reads, also for the name just loaded.
  dir_->Write("cdvaw/zz/zz0100.vaw", Str(soundtool::MakePcmVoice(soundtest::Sine(22050, 1, 16, 50))));
  ASSERT_EQ(w.LoadVoiceFile("zz0100"), 1);
  EXPECT_EQ(w.GetDataSize(), 100);
}

TEST_F(WaveBufferTest, TheSameNameAsASoundEffectIsNotTheVoice) {
  const platform::WavData effect = soundtest::Sine(22050, 1, 16, 300);
  const platform::WavData voice = soundtest::Sine(22050, 1, 16, 900);
  dir_->Write("vaw/se/ab0001.vaw", Str(soundtool::MakePcmVoice(effect)));
  WritePack("ab", {{"ab0001", soundtool::MakePcmVoice(voice)}});
  CWaveBuffer loader;  // the game's one loader serves both
  ASSERT_EQ(loader.LoadFile("se", "ab0001"), 1);
  ASSERT_EQ(loader.LoadVoicePack("ab0001"), 1);
  EXPECT_EQ(Data(loader), voice.pcm);
}

// A good file with one change.
struct Damage {
  const char* what;
  std::function<void(std::vector<uint8_t>*)> apply;
};

TEST_F(WaveBufferTest, DamagedFilesFailAndExposeNoEarlierSound) {
  const platform::WavData wav = soundtest::Sine(22050, 1, 16, 2000);
  const std::vector<uint8_t> pcm = soundtool::MakePcmVoice(wav);
  const std::vector<uint8_t> ogg = Ogg(wav);
  std::mt19937 random(7);
  auto noise = [&](size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(random());
    return v;
  };
  const Damage pcmDamage[] = {
      {"header cut short", [](auto* f) { f->resize(50); }},
      {"fmt length 15", [](auto* f) { soundtest::Put32(f, soundtest::kFmtLengthAt, 15); }},
      {"fmt length 105", [](auto* f) { soundtest::Put32(f, soundtest::kFmtLengthAt, 105); }},
      {"fmt length negative", [](auto* f) { soundtest::Put32(f, soundtest::kFmtLengthAt, 0xFFFFFFF0u); }},
      {"RIFF length past the file",
       [](auto* f) { soundtest::Put32(f, soundtest::kRiffLengthAt, static_cast<uint32_t>(f->size())); }},
      {"RIFF length huge", [](auto* f) { soundtest::Put32(f, soundtest::kRiffLengthAt, 0x7FFFFFF0u); }},
      {"data length past the file", [](auto* f) { f->resize(f->size() - 2); }},
      {"data length past the RIFF length",
       [](auto* f) { soundtest::Put32(f, soundtest::kDataLengthAt, 0x00100000u); }},
      {"data length negative", [](auto* f) { soundtest::Put32(f, soundtest::kDataLengthAt, 0x80000000u); }},
      {"raw body type '1'", [](auto* f) { (*f)[57] = '1'; }},
  };
  CWaveBuffer w;
  for (const Damage& d : pcmDamage) {
    dir_->Write("vaw/good.vaw", Str(pcm));
    ASSERT_EQ(w.LoadFile("", "good"), 1);
    std::vector<uint8_t> bad = pcm;
    d.apply(&bad);
    dir_->Write("vaw/bad.vaw", Str(bad));
    host_->ClearErrorLines();
    EXPECT_EQ(w.LoadFile("", "bad"), 0) << d.what;
    EXPECT_EQ(w.GetDataSize(), 0) << d.what;
    EXPECT_EQ(w.GetData(), nullptr) << d.what;
    EXPECT_STREQ(w.GetName(), "") << d.what;
    ExpectOneLine("vaw\\bad.vaw: ", "; the sound is not played", d.what);
  }

  // Ogg bodies that are not Vorbis, or stop before their first samples.
  host_->ClearDebugLines();
  const Damage oggDamage[] = {
      {"random body of 4096 bytes or more",
       [&](auto* f) {
         f->resize(soundtest::kBodyAt);
         auto n = noise(5000);
         f->insert(f->end(), n.begin(), n.end());
       }},
      {"headers cut short", [](auto* f) { f->resize(soundtest::kBodyAt + 200); }},
      {"no body at all", [](auto* f) { f->resize(soundtest::kBodyAt); }},
  };
  for (const Damage& d : oggDamage) {
    dir_->Write("vaw/good.vaw", Str(pcm));
    ASSERT_EQ(w.LoadFile("", "good"), 1);
    std::vector<uint8_t> bad = ogg;
    d.apply(&bad);
    dir_->Write("vaw/bad.vaw", Str(bad));
    host_->ClearErrorLines();
    EXPECT_EQ(w.LoadFile("", "bad"), 0) << d.what;
    EXPECT_EQ(w.GetDataSize(), 0) << d.what;
    ExpectOneLine("vaw\\bad.vaw: ", "; the sound is not played", d.what);
  }
  const auto lines = host_->DebugLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Must not be Vorbis data");

  // Less than 4096 bytes of noise: no page, and no debug line about it;
  // stderr still says the file is bad.
  host_->ClearDebugLines();
  host_->ClearErrorLines();
  std::vector<uint8_t> small = ogg;
  small.resize(soundtest::kBodyAt);
  auto n = noise(1000);
  small.insert(small.end(), n.begin(), n.end());
  dir_->Write("vaw/bad.vaw", Str(small));
  EXPECT_EQ(w.LoadFile("", "bad"), 0);
  EXPECT_TRUE(host_->DebugLines().empty());
  ExpectOneLine("vaw\\bad.vaw: ", "; the sound is not played", "small noise");
}

// Another kind of sound file under a voice's name is named as such, with
// the tool that makes a voice file.
TEST_F(WaveBufferTest, AFileThatIsNoVoiceFileSaysSo) {
  const std::vector<uint8_t> voice = Ogg(soundtest::Sine(22050, 1, 16, 500));
  const std::vector<uint8_t> ogg(voice.begin() + soundtest::kBodyAt, voice.end());
  std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 0, 2, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0};
  wav.resize(600, 0);
  std::vector<uint8_t> mp3 = {'I', 'D', '3', 4, 0, 0};
  mp3.resize(600, 0x55);
  std::vector<uint8_t> text(600, 'a');
  const struct {
    const char* what;
    const std::vector<uint8_t>& bytes;
    std::string kind;
  } cases[] = {
      {"Ogg", ogg, " (it is an Ogg file)"},
      {"WAV", wav, " (it is a plain WAV file)"},
      {"MP3", mp3, " (it is an MP3 file)"},
      {"anything else", text, ""},
  };
  CWaveBuffer w;
  for (const auto& c : cases) {
    dir_->Write("cdvaw/mi/mina01.vaw", Str(c.bytes));
    host_->ClearErrorLines();
    EXPECT_EQ(w.LoadVoiceFile("mina01"), 0) << c.what;
    EXPECT_EQ(host_->ErrorLines(), (std::vector<std::string>{"cdvaw\\mi\\mina01.vaw: it is not a voice file made by "
                                                             "the sound tool" + c.kind +
                                                             ": make it with `zor-sound voice`; the sound is not played"}))
        << c.what;
  }
}

TEST_F(WaveBufferTest, AStreamThatEndsEarlyIsAsLongAsWhatItGave) {
  const platform::WavData wav = soundtest::Sine(22050, 1, 16, 22050 * 4);
  const std::vector<uint8_t> full = Ogg(wav);
  CWaveBuffer w;
  dir_->Write("vaw/full.vaw", Str(full));
  ASSERT_EQ(w.LoadFile("", "full"), 1);
  const std::vector<uint8_t> whole = Data(w);

  // A big sound first, so stale samples would show if the short one took them.
  dir_->Write("vaw/noise.vaw", Str(soundtool::MakePcmVoice(soundtest::Sine(22050, 1, 16, 44100, 1000.0, 0.9))));
  ASSERT_EQ(w.LoadFile("", "noise"), 1);
  // Without its last page (the first pages hold the headers, then audio).
  const size_t last = Str(full).rfind("OggS");
  ASSERT_GT(last, Str(full).find("OggS", Str(full).find("OggS", soundtest::kBodyAt + 1) + 1));
  std::vector<uint8_t> cut = full;
  cut.resize(last);
  dir_->Write("vaw/cut.vaw", Str(cut));
  ASSERT_EQ(w.LoadFile("", "cut"), 1);
  ASSERT_GT(w.GetDataSize(), 0);
  ASSERT_LT(w.GetDataSize(), static_cast<int>(whole.size()));
  EXPECT_TRUE(std::equal(w.GetData(), w.GetData() + w.GetDataSize(), whole.begin()));
  EXPECT_EQ(w.GetLength(), w.GetDataSize() * 1000 / 44100);
}

TEST_F(WaveBufferTest, LooseOggFilesAreReadWholeHoweverLarge) {
  // Filler between the header pages and the audio puts the samples past the
  // first 1,638,400 bytes; the sync layer skips it.
  const platform::WavData wav = soundtest::Sine(22050, 1, 16, 11025);
  std::vector<uint8_t> file = Ogg(wav);
  const std::string bytes = Str(file);
  const size_t audio = bytes.find("OggS", bytes.find("OggS", soundtest::kBodyAt + 1) + 1);
  ASSERT_NE(audio, std::string::npos);
  file.insert(file.begin() + static_cast<long>(audio), 1700000, 0);
  dir_->Write("vaw/se/big.vaw", Str(file));
  CWaveBuffer w;
  ASSERT_EQ(w.LoadFile("se", "big"), 1);
  EXPECT_EQ(w.GetDataSize(), static_cast<int>(wav.pcm.size()));
  EXPECT_EQ(w.GetLength(), 500);
}

TEST_F(WaveBufferTest, DamagedPacksFail) {
  const std::vector<uint8_t> image = soundtool::MakePcmVoice(soundtest::Sine(22050, 1, 16, 500));
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>* pack, std::vector<uint8_t>* index)> apply;
  } cases[] = {
      {"entry past the pack", [](auto*, auto* index) { soundtest::Put32(index, 20, 5000000); }},
      {"entry ends before it starts", [](auto*, auto* index) { soundtest::Put32(index, 8, 2000); }},
      {"entry starts before the pack", [](auto*, auto* index) { soundtest::Put32(index, 8, 0xFFFFFF00u); }},
      {"pack cut short", [](auto* pack, auto*) { pack->resize(pack->size() / 2); }},
      {"index without an end record", [](auto*, auto* index) { index->resize(12); }},
      {"index of five bytes", [](auto*, auto* index) { index->resize(5); }},
      {"entry too short for a header", [](auto*, auto* index) { soundtest::Put32(index, 20, 40); }},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> pack, index;
    std::string error;
    ASSERT_TRUE(soundtool::MakeVoicePack({{"pq0001", image}}, &pack, &index, &error));
    c.apply(&pack, &index);
    dir_->Write("cdvaw/pq.vpk", Str(pack));
    dir_->Write("cdvaw/pq.vtb", Str(index));
    host_->ClearErrorLines();
    CWaveBuffer w;  // alone, so the index is read afresh
    EXPECT_EQ(w.LoadVoicePack("pq0001"), 0) << c.what;
    EXPECT_EQ(w.GetDataSize(), 0) << c.what;
    // One line on stderr names the index or the pack, and what is wrong.
    ExpectOneLine("cdvaw\\pq.v", "", c.what);
  }
}

}  // namespace
