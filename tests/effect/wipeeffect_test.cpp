// The simple wipe (#59) and the mask wipe (#60) on the channels, and the
// manager's transition step through the real wipe table.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "effect/effectwipe.h"
#include "pngfile.h"
#include "wipe_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kGrey = 0x555555;
uint32_t SavedPx(int x, int y) { return 0x00FF00u | static_cast<uint32_t>(x + y) << 16; }

template <typename F>
uint32_t Bytes(uint32_t a, uint32_t b, uint32_t m, F f) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8)
    out |= static_cast<uint32_t>(f(a >> s & 0xFF, b >> s & 0xFF, m >> s & 0xFF)) << s;
  return out;
}

class WipeEffectTest : public WipeTest {
 protected:
  // An 8-bit screen-sized picture in channel 14.
  void LoadPalettePicture() {
    dwqtool::Picture palette{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x00FF00), {}};
    std::string error;
    ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(14), palette, dir_->path(),
                                                   &error, true));
    ASSERT_TRUE(manager_->GetPicture(14)->Get256Flag());
  }
  void SetUp() override {
    WipeTest::SetUp();
    ChannelPicture(5, kW, kH, OldPx);  // the running channel's own picture
    new_ = NewPicture();               // channel 13
    uint32_t* saved = manager_->GetScreenPicture();
    ASSERT_NE(saved, nullptr);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) saved[y * kW + x] = SavedPx(x, y);
  }
  EffectChannel& Record() { return *manager_->GetChannel(5); }
  std::vector<int> Stored(int n) { return std::vector<int>(Record().v + 29, Record().v + 29 + n); }
  // Channel 5 alone at `counter`, over a grey screen.
  void DrawAt(int counter) {
    Record().Counter() = counter;
    Clear(kGrey);
    manager_->PrintRange(5, 5, 0, 0);
  }
  // The screen of wipe n between the test pictures.
  std::vector<uint32_t> Reference(int n, CPicture* from, CPicture* to, int progress) {
    Clear(kGrey);
    Table()->Print(n, from, to, progress, 10000, nullptr, nullptr);
    return Screen();
  }
  static std::vector<uint32_t> Screen() {
    return std::vector<uint32_t>(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
  }
  CPicture* new_ = nullptr;
};

// --- #59 ---

TEST_F(WipeEffectTest, SimpleWipeNeedsTwoValuesAndTakesNine) {
  EXPECT_EQ(Start(5, 59, {}), 0);
  EXPECT_EQ(Start(5, 59, {30}), 0);
  EXPECT_EQ(Record().EffectNumber(), 0);
  ASSERT_EQ(Start(5, 59, {30, 6}), 1);
  EXPECT_EQ(Record().Duration(), 30);
  EXPECT_EQ(Stored(9), (std::vector<int>{30, 6, 13, 0, 0, 100, 0, 0, 0}));
  ASSERT_EQ(Start(5, 59, {30, -4}), 1);
  EXPECT_EQ(Record().Param(1), 0);
  Record().Param(9) = -77;
  ASSERT_EQ(Start(5, 59, {8, 3, 12, 0, 0, 90, 10, 0, 0, 55, 66}), 1);
  EXPECT_EQ(Stored(10), (std::vector<int>{8, 3, 12, 0, 0, 90, 10, 0, 0, -77}));
  EXPECT_EQ(manager_->GetEffect(59)->CheckPrintPicture(&Record(), 5), 0);
}

TEST_F(WipeEffectTest, SimpleWipeRunsItsNumberOverTheDuration) {
  CPicture* own = manager_->GetPicture(5);
  ASSERT_EQ(Start(5, 59, {10, 3}), 1);
  for (int counter : {0, 4, 10, 12}) {
    const auto want = Reference(3, own, new_, std::min(counter, 10) * 1000);
    DrawAt(counter);
    EXPECT_EQ(Screen(), want) << counter;
  }
  // p5 = 50 stops halfway; a negative wipe number is wipe 0.
  ASSERT_EQ(Start(5, 59, {10, 3, 13, 0, 0, 50}), 1);
  auto want = Reference(3, own, new_, 5000);
  DrawAt(10);
  EXPECT_EQ(Screen(), want);
  ASSERT_EQ(Start(5, 59, {10, -9}), 1);
  want = Reference(0, own, new_, 4000);
  DrawAt(4);
  EXPECT_EQ(Screen(), want);
}

// A new-picture channel outside 0..15 other than -1 reached
// the manager, which clamps it to channel 15; it is no picture.
TEST_F(WipeEffectTest, SimpleWipeDrawsNothingWithoutBothPictures) {
  Load(15, OldPx);  // what a clamped channel number would reach
  LoadPalettePicture();
  struct Case {
    int pictureNumber;
    std::vector<int> values;
  } cases[] = {
      {5, {10, 0, -1}},  {5, {10, 0, 16}},  {5, {10, 0, -2}}, {5, {10, 0, 1 << 30}},
      {-1, {10, 0, 13}}, {16, {10, 0, 13}}, {5, {10, 0, 3}},  // channel 3 has no picture
      {5, {10, 0, 14}},  // the cross-fade takes no 8-bit picture
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 59, c.values), 1);
    Record().PictureNumber() = c.pictureNumber;
    DrawAt(5);
    EXPECT_TRUE(ScreenIs(kGrey)) << c.pictureNumber << " " << c.values[2];
  }
}

// #59 takes p7 for the new picture and p8 for the old one; #60 p6 for the
// old one and p7 for the new one.
TEST_F(WipeEffectTest, SavedScreenFlagsPickTheirPicture) {
  const uint32_t old = OldPx(3, 4), fresh = NewPx(3, 4), saved = SavedPx(3, 4);
  auto end = [](uint32_t o, uint32_t n) {
    return Bytes(o, n, 0, [](int a, int b, int) { return (a + 255 * b) >> 8; });
  };
  // Channel 6 has no picture: with both flags only the mask is needed.
  struct Case {
    int channel, number;
    std::vector<int> values;
    uint32_t atStart, atEnd;
  } cases[] = {
      {5, 59, {10, 0, 13, 0, 0, 100, 0, 1, 0}, old, saved},
      {5, 59, {10, 0, 13, 0, 0, 100, 0, 0, 1}, saved, fresh},
      {6, 59, {10, 0, -1, 0, 0, 100, 0, 1, 1}, saved, saved},
      {5, 60, {10, 13, 13, 1, 0, 0, 1, 0}, saved, end(saved, fresh)},
      {5, 60, {10, 13, 13, 1, 0, 0, 0, 1}, old, end(old, saved)},
      {6, 60, {10, -1, 13, 1, 0, 0, 1, 1}, saved, end(saved, saved)},
  };
  for (const Case& c : cases) {
    manager_->ResetAll();
    if (c.channel == 5) manager_->SetPicture(5, 5);
    ASSERT_EQ(Start(c.channel, c.number, c.values), 1);
    for (int counter : {0, 10}) {
      manager_->GetChannel(c.channel)->Counter() = counter;
      Clear(kGrey);
      manager_->PrintRange(c.channel, c.channel, 0, 0);
      EXPECT_EQ(At(3, 4), counter ? c.atEnd : c.atStart) << c.number << " " << c.values[6];
    }
  }
}

// --- #60 ---

TEST_F(WipeEffectTest, MaskWipeNeedsThreeValuesTakesTenAndClampsTheSharpness) {
  EXPECT_EQ(Start(5, 60, {20, 12}), 0);
  ASSERT_EQ(Start(5, 60, {20, 12, 13}), 1);
  EXPECT_EQ(Stored(10), (std::vector<int>{20, 12, 13, 1, 0, 0, 0, 0, 100, 0}));
  Record().Param(10) = -8;
  ASSERT_EQ(Start(5, 60, {5, 1, 2, 200, 4, 5, 6, 7, 8, 9, 10, 11}), 1);
  EXPECT_EQ(Stored(11), (std::vector<int>{5, 1, 2, 127, 4, 5, 6, 7, 8, 9, -8}));
  ASSERT_EQ(Start(5, 60, {5, 1, 2, -3}), 1);
  EXPECT_EQ(Record().Param(3), 0);
  Record().Counter() = 2;
  EXPECT_EQ(manager_->GetEffect(60)->Finish(&Record(), 5), 1);
  EXPECT_EQ(Record().Counter(), 5);
}

TEST_F(WipeEffectTest, MaskWipeChangesBrightAreasFirst) {
  Load(12, [](int x, int) { return x < kW / 2 ? 0xFFFFFFu : 0u; });
  auto blend = [](int x, int y, int a) {
    return Bytes(OldPx(x, y), NewPx(x, y), 0,
                 [&](int o, int n, int) { return (o * (256 - a) + n * a) >> 8; });
  };
  ASSERT_EQ(Start(5, 60, {2, 13, 12, 1}), 1);
  DrawAt(0);
  EXPECT_TRUE(ScreenMatches(OldPx));
  DrawAt(2);
  EXPECT_TRUE(ScreenMatches([&](int x, int y) { return blend(x, y, 255); }));
  // At 50 % with sharpness 1 the white half is through, the black half not
  // begun.
  DrawAt(1);
  EXPECT_TRUE(ScreenMatches([&](int x, int y) { return blend(x, y, x < kW / 2 ? 255 : 0); }));
  // Sharpness 0: an even cross-fade whatever the mask.
  ASSERT_EQ(Start(5, 60, {2, 13, 12, 0}), 1);
  DrawAt(1);
  EXPECT_TRUE(ScreenMatches([&](int x, int y) { return blend(x, y, 128); }));
}

// A sharpness from a save beyond 127 overflowed the blend's
// sums; it is drawn as 127.
TEST_F(WipeEffectTest, MaskWipeClampsASavedSharpness) {
  Load(12, [](int x, int y) { return static_cast<uint32_t>(x * 4 + y) * 0x010101u; });
  ASSERT_EQ(Start(5, 60, {4, 13, 12, 127}), 1);
  DrawAt(3);
  const auto want = Screen();
  Record().Param(3) = 5000;
  DrawAt(3);
  EXPECT_EQ(Screen(), want);
}

// Channel numbers outside 0..15 other than -1 reached the
// manager (which clamps them to channel 15); they are no picture.
TEST_F(WipeEffectTest, MaskWipeDrawsNothingWithoutItsThreePictures) {
  Load(15, OldPx);
  Load(12, [](int, int) { return 0xFFFFFFu; });
  LoadPalettePicture();
  for (const std::vector<int>& values : std::vector<std::vector<int>>{{4, -1, 12},
                                                                      {4, 16, 12},
                                                                      {4, 13, -1},
                                                                      {4, 13, 99},
                                                                      {4, 3, 12},
                                                                      {4, 13, 3},
                                                                      {4, 14, 12},
                                                                      {4, 13, 14}}) {
    ASSERT_EQ(Start(5, 60, values), 1);
    DrawAt(2);
    EXPECT_TRUE(ScreenIs(kGrey)) << values[1] << " " << values[2];
  }
}

// --- The manager's transition step ---

TEST_F(WipeEffectTest, PrintWipeDrawsThroughTheTable) {
  CPicture* from = Load(12, OldPx);
  CPicture* small = Load(3, OldPx, kW, kH - 2);
  struct Case {
    int kind, progress, max;
    int draws;  // 0 nothing, 1 old, 2 new
  } cases[] = {
      {0, 7, 5, 2}, {0, 3, 0, 2},  {0, -2, 5, 1}, {3, 0, 4, 1},   {40, 4, 4, 2},
      {6, 4, 4, 2}, {96, 2, 4, 0}, {-1, 2, 4, 0}, {300, 2, 4, 0},
  };
  for (const Case& c : cases) {
    Clear(kGrey);
    manager_->PrintWipe(c.kind, from, new_, c.progress, c.max);
    const auto want = c.draws == 0 ? [](int, int) { return kGrey; } : c.draws == 1 ? OldPx : NewPx;
    EXPECT_TRUE(ScreenMatches(want)) << c.kind;
  }
  Clear(kGrey);
  manager_->PrintWipe(0, small, new_, 2, 4);
  manager_->PrintWipe(0, from, nullptr, 2, 4);
  EXPECT_TRUE(ScreenIs(kGrey));
  manager_->PrintWipe(3, from, new_, 1, 2);
  const auto got = Screen();
  Clear(kGrey);
  Table()->Print(3, from, new_, 1, 2, nullptr, nullptr);
  EXPECT_EQ(Screen(), got);
}

// --- The wipe viewer ---

TEST_F(WipeTest, ViewerDrawsOneStepAndASheetOfEveryNumber) {
  std::ostringstream out, err;
  ASSERT_EQ(effecttool::RunEffectTool(
                {"--size", "64x48", "--old", "solid:ff0000", "--new", "solid:0000ff", "--wipe",
                 "3,1,2", "--probe", "0,0", "--probe", "0,1", "--probe", "0,47"},
                out, err),
            0)
      << err.str();
  EXPECT_EQ(out.str(), "probe 0,0 ff0000\nprobe 0,1 0000ff\nprobe 0,47 ff0000\n");
  const std::string sheet = dir_->path() + "/sheet.png";
  ASSERT_EQ(effecttool::RunEffectTool({"--size", "32x6", "--old", "solid:ff0000", "--new",
                                       "solid:0000ff", "--wipe-sheet", "1,1", sheet},
                                      out, err),
            0)
      << err.str();
  dwqtool::Picture picture;
  std::string error;
  ASSERT_TRUE(dwqtool::ReadPngFile(sheet, &picture, &error)) << error;
  ASSERT_EQ(picture.width, 32 * 12);
  ASSERT_EQ(picture.height, 6 * 8);
  for (int n = 0; n < 96; ++n) {
    // The reversed soft beach edges end on a blend as wide as this screen.
    if (n >= 57 && n <= 59) continue;
    const uint32_t corner = picture.pixels[(n / 12) * 6 * 384 + (n % 12) * 32] & 0xFFFFFF;
    EXPECT_EQ(corner, Table()->HasWipe(n) ? 0x0000FFu : 0u) << n;
  }
  EXPECT_EQ(effecttool::RunEffectTool({"--wipe", "3,1"}, out, err), 2);
  EXPECT_EQ(effecttool::RunEffectTool({"--wipe-sheet", "1,1"}, out, err), 2);  // 9600 x 4800
}

}  // namespace
}  // namespace effect_test
