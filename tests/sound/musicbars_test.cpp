// The spectrum: falling peaks, bars and marks in the screen buffer, the
// settings keys, and the transform with its three sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "sound/musicbars.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t Pixel(int x, int y) {
  return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
}

TEST(SpectrumPrint, APeakHoldsThenFallsFasterAndSitsOnTheLevel) {
  CSpectrumPrint print(2, nullptr);
  int levels[2] = {90, 0};
  print.Print(levels);
  EXPECT_EQ(print.GetPeak(0), 90);
  levels[0] = 80;
  // Held for 15 frames in all (the first included).
  for (int frame = 2; frame <= 15; ++frame) {
    print.Print(levels);
    EXPECT_EQ(print.GetPeak(0), 90) << frame;
  }
  EXPECT_EQ(print.GetHoldCounter(0), 0);
  // Then down by 0, 1, 2, 3, ... until it would pass the level.
  for (int expected : {90, 89, 87, 84, 80, 80}) {
    print.Print(levels);
    EXPECT_EQ(print.GetPeak(0), expected);
  }
  EXPECT_EQ(print.GetHoldCounter(0), 15);
  EXPECT_EQ(print.GetFallSpeed(0), 0);
  EXPECT_EQ(print.GetLevel(0), 80);
  EXPECT_EQ(print.GetPeak(1), 0);
  // A higher level lifts the mark at once.
  levels[0] = 95;
  print.Print(levels);
  EXPECT_EQ(print.GetPeak(0), 95);
  EXPECT_EQ(print.GetHoldCounter(0), 14);
  print.Reset();
  EXPECT_EQ(print.GetPeak(0), 0);
  EXPECT_EQ(print.GetLevel(0), 0);
  EXPECT_EQ(print.GetPeak(5), 0);  // outside the bars
}

TEST(SpectrumPrint, BarsAndMarksAreDrawnWithTheDefaults) {
  platform::InstallHeadless();
  CScreenBuffer screen(640, 600, 0);
  std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 640 * 600, 0u);
  CSpectrumPrint print(3, nullptr);
  EXPECT_EQ(print.GetType(), 2);
  EXPECT_EQ(print.GetBarStep(), 5);
  const int levels[3] = {100, 150, 50};
  print.Print(levels);
  const uint32_t bar = 0x80FFC0, mark = 0xFF0000;
  // Bar i at x = 5 i, 4 wide, from y = 600 - h; levels above 100 draw as 100.
  for (int i : {0, 1}) {
    EXPECT_EQ(Pixel(5 * i, 599), bar);
    EXPECT_EQ(Pixel(5 * i + 3, 540), bar);
    EXPECT_EQ(Pixel(5 * i + 4, 599), 0u);
    EXPECT_EQ(Pixel(5 * i, 539), mark);  // 2 rows above the bar's top
    EXPECT_EQ(Pixel(5 * i, 538), mark);
    EXPECT_EQ(Pixel(5 * i, 537), 0u);
  }
  EXPECT_EQ(Pixel(10, 570), bar);  // 50: 30 rows
  EXPECT_EQ(Pixel(10, 569), mark);
  EXPECT_EQ(Pixel(10, 567), 0u);
}

TEST(SpectrumPrint, SettingsComeFromTheList) {
  platform::InstallHeadless();
  CScreenBuffer screen(64, 64, 0);
  std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 64 * 64, 0u);
  CNameList list;
  for (const char* token : {"SPECTRUMSIZEX", "6", "spectrumPrintY", "50", "spectrumSizeY", "20",
                            "spectrumColorR", "10", "spectrumColorG", "20", "spectrumColorB", "30",
                            "spectrumPrintType", "1", "spectrumPrintX", "2"})
    list.Add(token, true);
  CSpectrumPrint print(2, &list);
  EXPECT_EQ(print.GetBarStep(), 7);  // the width's default step
  const int levels[2] = {50, 100};
  print.Print(levels);
  EXPECT_EQ(Pixel(2, 49), 0x0A141Eu);
  EXPECT_EQ(Pixel(7, 40), 0x0A141Eu);
  EXPECT_EQ(Pixel(8, 49), 0u);
  EXPECT_EQ(Pixel(9, 30), 0x0A141Eu);
  EXPECT_EQ(Pixel(9, 29), 0u);  // type 1: no marks
  list.Add("spectrumNextX", true);
  list.Add("12", true);
  CSpectrumPrint spaced(2, &list);
  EXPECT_EQ(spaced.GetBarStep(), 12);
  list.Add("spectrumPrintType", true);  // the first pair wins
  list.Add("0", true);
  EXPECT_EQ(CSpectrumPrint(1, &list).GetType(), 1);
  CSpectrumPrint none(0, &list);
  none.Print(levels);
  EXPECT_EQ(none.GetBarCount(), 0u);
}

TEST(FastFourierTransform, MatchesTheTransformItDefines) {
  CFastFourierTransform fft;
  for (int n : {64, 128, 256, 512, 1024}) {
    std::vector<float> re(n), im(n);
    std::vector<std::complex<double>> in(n);
    for (int i = 0; i < n; ++i) {
      re[i] = std::sin(i * 0.37f) + 0.25f * std::cos(i * 1.3f);
      im[i] = 0.5f * std::sin(i * 0.11f);
      in[i] = {re[i], im[i]};
    }
    ASSERT_EQ(fft.Transform(n, re.data(), im.data()), 1);
    // The sum over t of x[t] e^(+2 pi i f t / n), divided by n.
    for (int f = 0; f < n; f += 7) {
      std::complex<double> sum = 0;
      for (int t = 0; t < n; ++t) sum += in[t] * std::polar(1.0, 2 * kPi * f * t / n);
      sum /= n;
      EXPECT_NEAR(re[f], sum.real(), 2e-4) << n << " " << f;
      EXPECT_NEAR(im[f], sum.imag(), 2e-4) << n << " " << f;
    }
  }
}

TEST(FastFourierTransform, ACosineGivesItsTwoBins) {
  CFastFourierTransform fft;
  const int n = 512, bin = 20;
  std::vector<float> re(n), im(n, 0.0f);
  for (int i = 0; i < n; ++i) re[i] = static_cast<float>(std::cos(2 * kPi * bin * i / n));
  ASSERT_EQ(fft.Transform(n, re.data(), im.data()), 1);
  for (int f = 0; f < n; ++f) {
    const double magnitude = std::hypot(re[f], im[f]);
    EXPECT_NEAR(magnitude, f == bin || f == n - bin ? 0.5 : 0.0, 1e-3) << f;
  }
}

TEST(FastFourierTransform, OnlyTheMusicRoomsFiveSizesHaveTables) {
  EXPECT_EQ(CFastFourierTransform::GetTableIndex(64), 6);
  EXPECT_EQ(CFastFourierTransform::GetTableIndex(128), 7);
  EXPECT_EQ(CFastFourierTransform::GetTableIndex(256), 8);
  EXPECT_EQ(CFastFourierTransform::GetTableIndex(512), 9);
  EXPECT_EQ(CFastFourierTransform::GetTableIndex(1024), 10);
  CFastFourierTransform fft;
  for (int n : {0, 1, 32, 96, 300, 2048, -256}) {
    EXPECT_EQ(CFastFourierTransform::GetTableIndex(n), -1) << n;
    EXPECT_EQ(fft.MakeTable(n), 0) << n;
    std::vector<float> re(4096, 1.0f), im(4096, 2.0f);
    EXPECT_EQ(fft.Transform(n, re.data(), im.data()), 0) << n;
    EXPECT_EQ(re[0], 1.0f);
    EXPECT_EQ(im[5], 2.0f);
  }
  EXPECT_EQ(fft.MakeTable(1024), 1);
  EXPECT_EQ(fft.MakeTable(1024), 1);
  fft.Release();
  std::vector<float> re(256, 1.0f), im(256, 0.0f);
  EXPECT_EQ(fft.Transform(256, re.data(), im.data()), 1);
  EXPECT_NEAR(re[0], 1.0f, 1e-6);
  EXPECT_EQ(fft.Transform(256, nullptr, im.data()), 0);
}

}  // namespace
