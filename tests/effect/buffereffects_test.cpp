#include "effect/buffereffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "effect/effectmoviewarp.h"
#include "effect/packedpixel.h"
#include "effect/effectregistry.h"
#include "effect_fixture.h"
#include "graphics/blendrows.h"

namespace effect_test {
namespace {

uint32_t Red(int, int) { return 0xFF0000; }
uint8_t Opaque(int, int) { return 255; }
// Each pixel names its own coordinates.
uint32_t Coordinates(int x, int y) { return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }

// --- The common form of SetParam ---

TEST_F(EffectTest, CountZeroGivesEveryDefault) {
  for (const EffectEntry& entry : GetEffectEntries()) {
    if (entry.number == 1) continue;
    // The wipes need their first values (wipe_test.cpp), 101 three values,
    // 40 and 123 two.
    if (entry.number == 59 || entry.number == 60 || entry.number == 101) continue;
    if (entry.number == 40 || entry.number == 123) continue;
    manager_->ResetAll();
    ASSERT_EQ(manager_->StartEffect(6, entry.number, 0, nullptr), 1) << entry.className;
    const EffectChannel& record = *manager_->GetChannel(6);
    EXPECT_EQ(record.Active(), 1) << entry.className;
    EXPECT_EQ(record.EffectNumber(), entry.number);
    EXPECT_EQ(record.Counter(), 0);
    // Effects whose default duration is not 20 frames, one a line.
    static const std::map<int, int> kOther = {
        {0, 99999},
        {8, 1},
        {12, 99999},
        {15, 15},
        {22, 9999},
        {23, 60},
        {27, 999999},
        {24, 99999},
        {29, 0},
        {43, 10000},
        {54, 9999},
        {55, 9999},
        {62, 1},
        {82, 9999},
        {88, 9999},
        {95, 9999},
        {98, 9999},
        {108, 999999},
        {94, 9999},
        {97, 9999},
        {104, 999999},
        {113, 9999},
        {117, 9999},
        {119, 1},
        {26, 99999},
        {42, 99999},
        {109, 999999},
        {111, 999999},
    };
    const auto other = kOther.find(entry.number);
    const int duration = other != kOther.end() ? other->second : 20;
    EXPECT_EQ(record.Duration(), duration) << entry.className;
  }
  const EffectChannel& record = *manager_->GetChannel(6);
  ASSERT_EQ(Start(6, 105, {}), 1);
  const std::vector<int> warp(record.v + 29, record.v + 29 + 16);
  EXPECT_EQ(warp, (std::vector<int>{20, kW / 2, kH / 2, 180, 0, 0, 0, 100, 100, 0, 0, 100, 100, 0,
                                    0, 0}));
  ASSERT_EQ(Start(6, 105, {5, 1, 2, 3, 4, 5, 6, 40, -1, 9, 10, 250}), 1);
  EXPECT_EQ(record.Param(8), -1);
  EXPECT_EQ(record.Param(12), 250);  // defaults to p11
  ASSERT_EQ(Start(6, 2, {20, 7}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 34), (std::vector<int>{20, 7, 7, 7, 0}));
  ASSERT_EQ(Start(6, 75, {}), 1);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 32), (std::vector<int>{20, 0, 1}));
}

TEST_F(EffectTest, ValuesBeyondTheMaximumAreIgnored) {
  EffectChannel* record = manager_->GetChannel(6);
  std::vector<int> many(40);
  for (int i = 0; i < 40; ++i) many[i] = 1000 + i;
  record->Param(16) = -5;
  record->Param(4) = -6;
  ASSERT_EQ(Start(6, 2, many), 1);
  EXPECT_EQ(record->Param(15), 1015);
  EXPECT_EQ(record->Param(16), -5);
  ASSERT_EQ(Start(6, 113, many), 1);
  EXPECT_EQ(record->Param(3), 1003);
  EXPECT_EQ(record->Param(4), 1004);  // left from #2: #113 keeps four
  record->Param(0) = -9;
  ASSERT_EQ(Start(6, 66, {7, 9}), 1);
  EXPECT_EQ(record->Duration(), 7);
  EXPECT_EQ(record->Param(0), -9);  // #66 keeps none
  ASSERT_EQ(Start(6, 0, {5, 6}), 1);
  EXPECT_EQ(record->Duration(), 99999);
  EXPECT_EQ(record->Param(0), -9);
  // A negative duration ends at once instead of making a record no save holds.
  ASSERT_EQ(Start(6, 2, {-4}), 1);
  EXPECT_EQ(record->Duration(), 0);
  EXPECT_EQ(record->Param(0), -4);
}

// --- #0 and #1 ---

TEST_F(EffectTest, NopShowsThePictureUnchangedForLong) {
  ChannelPicture(0, 4, 4, Red);
  ASSERT_EQ(Start(0, 0, {1, 2, 3}), 1);
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(At(3, 3), 0xFF0000u);
  EXPECT_EQ(At(4, 4), 0u);
  EXPECT_EQ(manager_->GetChannel(0)->Counter(), 3);
  EXPECT_EQ(manager_->GetChannel(0)->Duration(), 99999);
  EXPECT_EQ(manager_->GetEffect(0)->CheckBusy(manager_->GetChannel(0), 0), 0);
}

// --- #2 ---

TEST_F(EffectTest, SavedScreenStartsBlack) {
  Clear(0x777777);
  ASSERT_EQ(Start(9, 2, {20, 0, 0, 0, 1}), 1);
  manager_->PrintRange(9, 9, 0, 1);
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(EffectTest, PutFillsOnceThenPastesTheSavedScreen) {
  Clear(0x336699);
  manager_->GetScreen();
  ASSERT_EQ(Start(5, 2, {20, 255}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0xFFFFFF));
  Frame();
  EXPECT_TRUE(ScreenIs(0x336699));
}

TEST_F(EffectTest, PutDrawsItsPictureOpaqueOnTheFirstFrame) {
  Clear(0x336699);
  manager_->GetScreen();
  ChannelPicture(5, 4, 4, Red, [](int, int) { return uint8_t{1}; });
  const int at[4] = {10, 12, 4, 4};
  manager_->SetRect(5, 2, at);
  manager_->SetRect(5, 3, at);
  ASSERT_EQ(Start(5, 2, {20, 0, 255, 0, 0}), 1);
  Frame();
  EXPECT_EQ(At(10, 12), 0xFF0000u);  // the mask is not used
  EXPECT_EQ(At(9, 12), 0u);          // pass 0 cleared, nothing filled
  Frame();
  EXPECT_TRUE(ScreenIs(0x336699));
  // A picture number no channel has counts as no picture: the colour fills.
  ASSERT_EQ(Start(5, 2, {20, 0, 255, 0, 0}), 1);
  manager_->GetChannel(5)->PictureNumber() = 40;
  manager_->PrintRange(5, 5, 0, 1);
  EXPECT_TRUE(ScreenIs(0x00FF00));
  // A picture that holds no pixels (a load that failed) draws nothing: the
  // colour is for a channel without picture.
  manager_->SetPicture(7, 7);
  ASSERT_EQ(Start(7, 2, {20, 0, 255, 0, 0}), 1);
  Clear(0x336699);
  manager_->PrintRange(7, 7, 0, 1);
  EXPECT_TRUE(ScreenIs(0x336699));
  // p4 pastes from the first frame on.
  ASSERT_EQ(Start(5, 2, {20, 0, 255, 0, 1}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0x336699));
}

// --- #66, #73 ---

TEST_F(EffectTest, BufferHoldsItsPictureWithoutDrawingIt) {
  ChannelPicture(6, 4, 4, Red, Opaque);
  ASSERT_EQ(Start(6, 66, {3}), 1);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_TRUE(ScreenIs(0));
  EXPECT_EQ(manager_->GetChannel(6)->Active(), 1);
  EXPECT_EQ(manager_->GetChannel(6)->Counter(), 3);
}

TEST_F(EffectTest, CaptureKeepsTheLastFrameUpToItsChannel) {
  ASSERT_EQ(Start(4, 113, {20, 1, 2, 3}), 1);
  ASSERT_EQ(Start(6, 73, {5}), 1);
  ASSERT_EQ(Start(8, 113, {20, 9, 9, 9}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0x090909));
  manager_->ResetAll();
  ASSERT_EQ(Start(9, 2, {20, 0, 0, 0, 1}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0x010203));
}

// --- #75 ---

TEST_F(EffectTest, OnceDrawsOnFrameZeroAndDuringItsWindow) {
  ChannelPicture(5, 4, 4, Red, Opaque);
  ASSERT_EQ(Start(5, 75, {30, 10, 5}), 1);
  std::set<int> drawn;
  for (int frame = 0; frame < 32; ++frame) {
    Frame();
    if (At(1, 1) == 0xFF0000u) drawn.insert(frame);
  }
  EXPECT_EQ(drawn, (std::set<int>{0, 10, 11, 12, 13, 14}));
  // Restoring starts it over, so the picture shows again at once.
  manager_->SaveChannels();
  manager_->LoadChannels();
  EXPECT_EQ(manager_->GetChannel(5)->Counter(), 0);
  Frame();
  EXPECT_EQ(At(1, 1), 0xFF0000u);
}

TEST_F(EffectTest, OnceWindowAtTheEndOfTheIntRange) {
  ChannelPicture(5, 4, 4, Red, Opaque);
  ASSERT_EQ(Start(5, 75, {30, INT_MAX, INT_MAX}), 1);
  Frame();
  Frame();
  EXPECT_EQ(At(1, 1), 0u);
}

// --- #105 ---

TEST_F(EffectTest, WarpAtItsEndShowsThePictureNearlyUndistorted) {
  ChannelPicture(5, kW, kH, Coordinates, Opaque);
  ASSERT_EQ(Start(5, 105, {10}), 1);
  manager_->GetChannel(5)->Counter() = 10;
  Clear(0);
  manager_->Calcu();
  manager_->Print(0, 1);
  const int cx = kW / 2, cy = kH / 2;
  EXPECT_EQ(At(cx, cy), Coordinates(cx + 1, cy));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t p = At(x, y);
      const int sx = static_cast<int>(p >> 8), sy = static_cast<int>(p & 0xFF);
      if (p == 0) continue;  // sampled outside the picture
      // Pulled toward the centre by truncated distances, two pixels at most.
      EXPECT_LE(std::abs(sx - x), 2) << x << "," << y;
      EXPECT_LE(std::abs(sy - y), 2) << x << "," << y;
      if (x != cx || y != cy) {
        EXPECT_LE(std::abs(sx - cx), std::abs(x - cx)) << x << "," << y;
      }
    }
  // On the axes right of and below the centre distances are whole.
  EXPECT_EQ(At(cx + 9, cy), Coordinates(cx + 9, cy));
  EXPECT_EQ(At(cx, cy + 9), Coordinates(cx, cy + 9));
}

TEST_F(EffectTest, WarpSamplesAtTheDrawPositionPlusTheCentre) {
  ChannelPicture(5, kW, kH, Coordinates, Opaque);
  const int at[4] = {5, 3, kW, kH};
  manager_->SetRect(5, 3, at);
  ASSERT_EQ(Start(5, 105, {10, 20, 10}), 1);
  manager_->GetChannel(5)->Counter() = 10;
  manager_->Calcu();
  manager_->Print(0, 1);
  EXPECT_EQ(At(20, 10), Coordinates(5 + 20 + 1, 3 + 10));
  EXPECT_EQ(At(30, 10), Coordinates(5 + 30, 3 + 10));
}

TEST_F(EffectTest, WarpBlendsAtItsOpacityAndSkipsUnmaskedPictures) {
  ChannelPicture(5, kW, kH, [](int, int) { return 0xFF8000u; }, Opaque);
  ASSERT_EQ(Start(5, 105, {10, kW / 2, kH / 2, 180, 0, 0, 0, 50}), 1);
  Clear(0x000080);
  manager_->PrintRange(5, 5, 0, 1);
  // m = 255 * 50 / 100 = 127: (0xFF * 127 + 0 * 129) >> 8 = 126, ...
  EXPECT_EQ(At(kW / 2, kH / 2), 0x7E3F40u);
  manager_->GetPicture(5)->SetMaskFlag(0);
  Clear(0x000080);
  manager_->PrintRange(5, 5, 0, 1);
  EXPECT_TRUE(ScreenIs(0x000080));
  // No picture at all, or a number no channel has.
  for (int n : {-1, 16, -9}) {
    manager_->GetChannel(5)->PictureNumber() = n;
    manager_->PrintRange(5, 5, 0, 1);
    EXPECT_TRUE(ScreenIs(0x000080)) << n;
  }
}

TEST_F(EffectTest, WarpTwistAndZoomExtremesStayDefined) {
  ChannelPicture(5, kW, kH, Coordinates, Opaque);
  const std::vector<std::vector<int>> starts = {
      {10, 0, 0, INT_MAX, 0, 0, 0, 100, 100, 0, 0, 1, 1},
      {10, INT_MIN, INT_MAX, INT_MIN, 0, 0, 0, 100, 100, 0, 0, INT_MAX, INT_MIN},
      {10, 5, 5, -INT_MAX, 0, 0, 0, INT_MIN, INT_MAX, 0, 0, -1, 0},
  };
  for (const auto& values : starts) {
    ASSERT_EQ(Start(5, 105, values), 1);
    manager_->GetChannel(5)->Counter() = 3;
    manager_->PrintRange(5, 5, 0, 1);
  }
  const auto f = CEffectMovieWarp::FrameValues(*manager_->GetChannel(5));
  EXPECT_GE(f.zoom, 1);
  EXPECT_GE(f.opacity, 0);
  EXPECT_LE(f.opacity, 100);
}

// Print (vector lanes, tables of the turn, the library's cosine and sine
// only where a truncation is close) against the per-pixel reference, on
// every frame of each run: frames with a turn index and 32-bit picture
// indices, and frames without (zoomed far out, a centre or a draw position
// far away, twists at the ends of the int range); centres left of, at and
// right of the middle column and next to the last (columns mirrored about
// the centre share their distances; a centre millions of pixels away,
// just inside and just outside the distances the turn in floats takes);
// with the 256-bit lanes and without them; on the fixture's screen, a
// wider one and one whose width is no multiple of the lanes (the centre
// in its last columns).
TEST_F(EffectTest, WarpGivesThePlainLoopsBytesOnEveryFrame) {
  struct Case {
    std::vector<int> values;
    int drawX, drawY;
  };
  const std::vector<Case> cases = {
      {{20, kW / 2, kH / 2, 180, 0, 0, 0, 100, 100, 0, 0, 100, 100}, -4, 6},
      {{20, 3, 40, 720, 0, 75, 3, 40, 90, 30, 0, 250, 30}, -4, 6},
      {{20, -30, 10, -400, 0, 4, 5, 100, 100, 0, 0, 60, 140}, 7, -3},
      {{20, 3, 40, 90, 0, 0, 0, 100, 50, 0, 0, 100, 100}, 0, 0},
      {{20, kW / 2, kH / 2, 360, 0, 0, 0, 100, 100, 0, 0, 1, 1}, 0, 0},
      {{20, 100000, -70000, INT_MAX, 0, 0, 0, 100, 100, 0, 0, 100, 100}, -99990, 70010},
      {{20, INT_MIN, INT_MAX, INT_MIN, 0, 0, 0, 100, 100, 0, 0, INT_MAX, INT_MIN}, 0, 0},
      {{20, 20, 20, 200, 0, 0, 0, 100, 100, 0, 0, 100, 100}, INT_MIN / 2, 0},
      {{20, 4000000, 20, 720, 0, 0, 0, 100, 100, 0, 0, 20000000, 20000000}, -3999964, 1},
      {{20, 4200000, 20, 720, 0, 0, 0, 100, 100, 0, 0, 20000000, 20000000}, -4199964, 1},
  };
  auto* warp = static_cast<CEffectMovieWarp*>(manager_->GetEffect(105));
  auto compare = [&](int w, int h, const std::vector<Case>& run) {
    for (const Case& c : run)
      for (int counter = 0; counter <= c.values[0]; ++counter) {
        const int at[4] = {c.drawX, c.drawY, w, h};
        manager_->SetRect(5, 5, at);
        ASSERT_EQ(Start(5, 105, c.values), 1);
        manager_->GetChannel(5)->Counter() = counter;
        const size_t n = static_cast<size_t>(w) * h;
        std::vector<uint32_t> plain(n), fast(n);
        for (uint32_t* out : {plain.data(), fast.data()}) {
          for (size_t i = 0; i < n; ++i) CScreenBuffer::GetBuffer()[i] = static_cast<uint32_t>(0xA50A0B0C + i * 77);
          if (out == plain.data())
            warp->PrintPlain(manager_->GetChannel(5), 5);
          else
            warp->Print(manager_->GetChannel(5), 5);
          std::copy_n(CScreenBuffer::GetBuffer(), n, out);
        }
        ASSERT_EQ(plain, fast) << c.values[1] << "," << c.values[2] << " twist " << c.values[3]
                               << " at frame " << counter << ", " << w << " x " << h;
      }
  };
  auto mask = [](int x, int y) { return static_cast<uint8_t>((x * 31 + y * 7) % 256); };
  ChannelPicture(5, kW + 9, kH - 5, Coordinates, mask);
  compare(kW, kH, cases);
  blendrows::AllowWideRows(false);
  compare(kW, kH, cases);
  blendrows::AllowWideRows(true);

  constexpr int kWideW = 320, kWideH = 200;
  screen_.reset();
  screen_ = std::make_unique<CScreenBuffer>(kWideW, kWideH, 0);
  ChannelPicture(5, kWideW + 9, kWideH - 5, Coordinates, mask);
  compare(kWideW, kWideH,
          {{{20, 160, 100, 360, 0, 0, 0, 70, 100, 0, 0, 150, 50}, 0, 0},
           {{20, 17, 180, -1000, 0, 0, 0, 100, 100, 0, 0, 30, 300}, 3, 1},
           {{20, 250, 60, 270, 0, 0, 0, 100, 100, 0, 0, 100, 100}, 0, 0},
           {{20, kWideW - 2, 150, -540, 0, 0, 0, 80, 100, 0, 0, 120, 90}, 0, 0}});

  constexpr int kOddW = 61, kOddH = 37;
  screen_.reset();
  screen_ = std::make_unique<CScreenBuffer>(kOddW, kOddH, 0);
  ChannelPicture(5, kOddW + 9, kOddH - 5, Coordinates, mask);
  compare(kOddW, kOddH,
          {{{20, kOddW - 3, 18, 360, 0, 0, 0, 70, 100, 0, 0, 150, 50}, 0, 0},
           {{20, kOddW - 1, 5, -720, 0, 0, 0, 100, 100, 0, 0, 80, 120}, 2, 1}});
}

// The whirl's gathered lanes read only the mask's own bytes: a mask that
// ends where an unreadable page begins, or starts right after one, with a
// size that is not a multiple of 4, every index from the first to the
// last drawn (forwards, backwards, mixed with pixels outside), and each
// pixel Print's rule. The sanitizers do not see gathered loads: the
// unreadable pages stop a read past either end that reaches them.
TEST(WhirlLanes, ReadOnlyTheMasksBytes) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* block = mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(block, MAP_FAILED);
  auto* bytes = static_cast<uint8_t*>(block);
  ASSERT_EQ(mprotect(bytes, page, PROT_NONE), 0);
  ASSERT_EQ(mprotect(bytes + 2 * page, page, PROT_NONE), 0);
  struct Case {
    size_t size;
    bool atEnd;
  };
  for (const Case c : {Case{page - 1, true}, Case{4093, true}, Case{4093, false}, Case{7, true},
                       Case{5, false}, Case{4, true}, Case{3, true}}) {
    uint8_t* mask = c.atEnd ? bytes + 2 * page - c.size : bytes + page;
    for (size_t i = 0; i < c.size; ++i) mask[i] = static_cast<uint8_t>(i * 37 + 11);
    if (c.size > 1) mask[c.size - 1] = 255;
    std::vector<uint32_t> source(c.size);
    for (size_t i = 0; i < c.size; ++i) source[i] = static_cast<uint32_t>(0x9E3779B9u * (i + 1));
    std::vector<int32_t> at;
    for (size_t i = 0; i < c.size; ++i) at.push_back(static_cast<int32_t>(i));
    for (size_t i = c.size; i-- > 0;) {
      at.push_back(static_cast<int32_t>(i));
      if (i % 3 == 0) at.push_back(-1);
    }
    for (uint32_t opacity : {100u, 61u}) {
      const int n = static_cast<int>(at.size());
      std::vector<uint32_t> out(at.size()), want(at.size());
      for (size_t x = 0; x < out.size(); ++x) out[x] = want[x] = static_cast<uint32_t>(x * 0x010203);
      const int done = whirllanes::DrawWide(at.data(), n, source.data(), mask, c.size, opacity,
                                            out.data());
      // Whole groups of eight where the lanes run, none otherwise.
      const bool lanes = blendrows::WideRowsAvailable() && c.size >= 4;
      EXPECT_EQ(done, lanes ? n - n % 8 : 0) << c.size;
      for (int x = 0; x < done; ++x) {
        if (at[x] < 0) continue;
        if (mask[at[x]] == 0) continue;
        const uint32_t m = mask[at[x]] * opacity / 100;
        const uint32_t s = source[static_cast<size_t>(at[x])];
        want[x] = m == 255 ? s : packedpixel::Blend256(want[x], s, m) & 0xFFFFFF;
      }
      EXPECT_EQ(out, want) << c.size << (c.atEnd ? " at the end" : " at the start");
    }
  }
  munmap(block, 3 * page);
}

// --- #113 ---

TEST_F(EffectTest, LupinFloodsTheScreenEveryFrame) {
  ChannelPicture(0, 4, 4, Red);
  ASSERT_EQ(Start(7, 113, {20, 0, 0, 255}), 1);
  for (int i = 0; i < 3; ++i) {
    Frame();
    EXPECT_TRUE(ScreenIs(0x0000FF)) << i;
  }
  EXPECT_EQ(manager_->GetChannel(7)->Duration(), 9999);
  ASSERT_EQ(Start(7, 113, {20, 0x1FF, -1, 256 + 7}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0xFFFF07));
}

}  // namespace
}  // namespace effect_test
