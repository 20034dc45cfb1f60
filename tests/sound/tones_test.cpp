// Sounds written as text (the sound tool's .txt input).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tones.h"

namespace {

int16_t Sample(const platform::WavData& wav, size_t i) {
  return static_cast<int16_t>(wav.pcm[2 * i] | wav.pcm[2 * i + 1] << 8);
}

TEST(ToneTextTest, NotesAndRestsBecomeMonoSixteenBitSamples) {
  platform::WavData wav;
  std::string error;
  ASSERT_TRUE(soundtool::ReadToneText("# chime\nrate 8000\nnote 1000 20 100\n\nrest 5\n", &wav, &error))
      << error;
  EXPECT_EQ(wav.format.channels, 1);
  EXPECT_EQ(wav.format.bitsPerSample, 16);
  EXPECT_EQ(wav.format.samplesPerSec, 8000);
  ASSERT_EQ(wav.pcm.size(), 2u * (160 + 40));
  // 8 samples per period: the fade-in has ended by sample 40, whose phase
  // is a quarter period in (sin = 1, the full volume).
  EXPECT_EQ(Sample(wav, 0), 0);
  EXPECT_EQ(Sample(wav, 42), 32767);
  EXPECT_LT(Sample(wav, 2), 32767 / 2) << "the 5 ms fade-in";
  for (size_t i = 160; i < 200; ++i) EXPECT_EQ(Sample(wav, i), 0) << i;
}

TEST(ToneTextTest, BadTextIsRefusedWithItsLine) {
  const struct {
    const char* text;
    const char* why;
  } cases[] = {
      {"note 440\n", "line 1: note takes"}, {"\nrate 50\n", "line 2: rate takes"},
      {"note 440 10 101\n", "line 1: volume"}, {"beep 3\n", "line 1: unknown word"},
      {"note 440 10\nrate 8000\n", "line 2: the rate comes before"}, {"# nothing\n", "no sound"},
      {"rest 999999999\n", "too long"},
  };
  for (const auto& c : cases) {
    platform::WavData wav;
    std::string error;
    EXPECT_FALSE(soundtool::ReadToneText(c.text, &wav, &error)) << c.text;
    EXPECT_NE(error.find(c.why), std::string::npos) << c.text << ": " << error;
  }
}

}  // namespace
