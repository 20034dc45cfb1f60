// The wipe bases (preparation, reversal, the three compositors) through a
// shape whose spans the test writes, and the wipe table with its numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/random.h"
#include "wipe_fixture.h"

namespace effect_test {
namespace {

// A shape kind whose span list is the test's: `line` repeated on every
// line, or the entries of a boundary per line.
class CScriptedShape : public CEffectSimpleWipeShape {
 public:
  using CEffectSimpleWipeShape::CEffectSimpleWipeShape;
  const char* KindName() const override { return "CScriptedShape"; }
  void CalcuSpan(int progress, int max) override {
    CEffectSimpleWipeShape::CalcuSpan(progress, max);
    seenProgress = progress;
    seenMax = max;
    int32_t* spans = Spans();
    const int entries = EntriesPerLine();
    for (int y = 0; y < CScreenBuffer::GetHeight(); ++y) {
      int32_t* out = spans + y * entries;
      if (boundary)
        BoundaryEntries(out, boundary(y));
      else
        std::copy_n(line.begin(), std::min<size_t>(line.size(), entries), out);
    }
  }
  std::vector<int32_t> line;
  std::function<int64_t(int)> boundary;
  int seenProgress = -1, seenMax = -1;
};

constexpr uint32_t kGrey = 0x555555;

class WipeBaseTest : public WipeTest {
 protected:
  void SetUp() override {
    WipeTest::SetUp();
    shape_ = std::make_unique<CScriptedShape>(Table());
    old_ = OldPicture();
    new_ = NewPicture();
    Clear(kGrey);
  }
  void Draw(int progress = 0, int max = 1, const int* oldOffset = nullptr,
            const int* newOffset = nullptr) {
    shape_->Print(old_, new_, progress, max, oldOffset, newOffset);
  }
  std::unique_ptr<CScriptedShape> shape_;
  CPicture* old_ = nullptr;
  CPicture* new_ = nullptr;
};

TEST_F(WipeBaseTest, ProgressIsClampedAndAMaximumBelowOneIsOne) {
  struct Case {
    int progress, max, wantProgress, wantMax;
  } cases[] = {{-5, 10, 0, 10}, {15, 10, 10, 10}, {3, 0, 1, 1}, {0, -7, 0, 1}, {4, 10, 4, 10}};
  shape_->line = {0};
  for (const Case& c : cases) {
    Draw(c.progress, c.max);
    EXPECT_EQ(shape_->seenProgress, c.wantProgress) << c.progress << "/" << c.max;
    EXPECT_EQ(shape_->seenMax, c.wantMax) << c.progress << "/" << c.max;
  }
}

TEST_F(WipeBaseTest, MissingEightBitOrSmallPicturesDrawNothing) {
  shape_->line = {kW};
  CPicture* narrow = Load(3, NewPx, kW - 1, kH);
  CPicture* low = Load(4, NewPx, kW, kH - 1);
  CPicture empty;
  for (CPicture* bad : {narrow, low, &empty, static_cast<CPicture*>(nullptr)}) {
    shape_->Print(old_, bad, 1, 1, nullptr, nullptr);
    shape_->Print(bad, new_, 1, 1, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(kGrey));
  }
  dwqtool::Picture palette{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x00FF00), {}};
  std::string error;
  ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(7), palette, dir_->path(),
                                                 &error, true));
  ASSERT_TRUE(manager_->GetPicture(7)->Get256Flag());
  shape_->Print(old_, manager_->GetPicture(7), 1, 1, nullptr, nullptr);
  EXPECT_TRUE(ScreenIs(kGrey));
  // The compositors alone, after a preparation that failed, draw nothing.
  shape_->BltSpan1();
  shape_->BltSpanMulti();
  shape_->BltSpanSoft();
  EXPECT_TRUE(ScreenIs(kGrey));
}

TEST_F(WipeBaseTest, OffsetsArePulledBackIntoThePicture) {
  CPicture* big = Load(3, OldPx, kW + 10, kH + 6);
  shape_->line = {0};  // old only
  struct Case {
    int x, y, wantX, wantY;
  } cases[] = {{100, 100, 10, 6}, {-4, 3, 0, 3}, {7, -20, 7, 0}, {INT32_MAX, INT32_MIN, 10, 0}};
  for (const Case& c : cases) {
    const int offset[2] = {c.x, c.y};
    shape_->Print(big, new_, 0, 1, offset, nullptr);
    EXPECT_TRUE(ScreenMatches([&](int x, int y) { return OldPx(x + c.wantX, y + c.wantY); }))
        << c.x << "," << c.y;
  }
}

TEST_F(WipeBaseTest, OneRunPerLineSplitsNewThenOld) {
  shape_->line = {20};
  Draw();
  EXPECT_TRUE(ScreenMatches([](int x, int y) { return x < 20 ? NewPx(x, y) : OldPx(x, y); }));
}

TEST_F(WipeBaseTest, MultiRunsAlternateFromOld) {
  struct Case {
    int runs;
    std::vector<int32_t> line;
    std::vector<int> newFrom;  // pairs [from, to) of new pixels
  } cases[] = {
      {2, {10, 54}, {10, 64}},
      {4, {5, 10, 20, 29}, {5, 15, 35, 64}},
      {3, {5, 10, 20, 29}, {5, 15, 35, 64}},
      {6, {1, 2, 3, 4, 5, 49}, {1, 3, 6, 10, 15, 64}},
  };
  for (const Case& c : cases) {
    shape_->SetRunCount(c.runs);
    shape_->line = c.line;
    Draw();
    EXPECT_TRUE(ScreenMatches([&](int x, int y) {
      bool isNew = false;
      for (size_t i = 0; i + 1 < c.newFrom.size(); i += 2)
        isNew |= x >= c.newFrom[i] && x < c.newFrom[i + 1];
      return isNew ? NewPx(x, y) : OldPx(x, y);
    })) << c.runs;
  }
}

// The compositors copied the runs they were given without
// checking their sum. Runs are cut at the line's end and negative runs
// count as 0; a line whose runs fall short keeps the rest of the screen.
TEST_F(WipeBaseTest, RunsNeverPassTheLine) {
  struct Case {
    int runs, soft;
    std::vector<int32_t> line;
    std::function<uint32_t(int, int)> want;
  } cases[] = {
      {1, 0, {1000}, NewPx},
      {1, 0, {-9}, OldPx},
      {2, 0, {-5, 40}, [](int x, int y) { return x < 40 ? NewPx(x, y) : kGrey; }},
      {6,
       0,
       {30, 1 << 30, 5, 5, 5, 5},
       [](int x, int y) { return x < 30 ? OldPx(x, y) : NewPx(x, y); }},
      {4,
       0,
       {10, 10, 10, 10},
       [](int x, int y) { return x >= 40        ? kGrey
                                 : (x / 10) % 2 ? NewPx(x, y)
                                                : OldPx(x, y); }},
      {1, 1, {70, 900, 256, 900}, NewPx},
      {1, 1, {10, 0, 0, 900}, [](int x, int y) { return x < 10 ? NewPx(x, y) : OldPx(x, y); }},
      {1, 1, {-3, -3, 9999, 20}, [](int x, int y) { return x < 20 ? OldPx(x, y) : kGrey; }},
  };
  for (const Case& c : cases) {
    Clear(kGrey);
    shape_->SetRunCount(c.runs);
    shape_->SetSoftEdge(c.soft, 64);
    shape_->line = c.line;
    Draw();
    int bx = -1, by = -1;
    EXPECT_TRUE(ScreenMatches(c.want, &bx, &by))
        << c.runs << " " << c.line[0] << " at " << bx << "," << by;
  }
}

// The soft edge: new run, blended run (the new weight falling by the alpha
// step per pixel, the old one rising), old run.
TEST_F(WipeBaseTest, SoftEdgeBlendsWithTheAlphaStep) {
  struct Case {
    int width, step;
    std::vector<int32_t> line;
  } cases[] = {
      {64, 4, {8, 40, 256, 16}}, {0, 64, {8, 4, 256, 52}},  {256, 1, {0, 64, 200, 0}},
      {100, 2, {3, 30, 77, 31}}, {64, 4, {20, 0, 256, 44}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WipeAlphaStep(c.width), c.step);
    shape_->SetSoftEdge(1, c.width);
    shape_->line = c.line;
    Draw();
    const int n = c.line[0], b = c.line[1], a = c.line[2];
    EXPECT_TRUE(ScreenMatches([&](int x, int y) {
      if (x < n) return NewPx(x, y);
      if (x >= n + b) return OldPx(x, y);
      const int i = x - n;
      const uint32_t wn = std::max(a - i * c.step, 0), wo = 256 - a + i * c.step;
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t v =
            ((NewPx(x, y) >> shift & 0xFF) * wn >> 8) + ((OldPx(x, y) >> shift & 0xFF) * wo >> 8);
        out |= std::min(v, 255u) << shift;
      }
      return out;
    })) << c.width;
  }
}

TEST_F(WipeBaseTest, BoundaryEntriesOfHardAndSoftEdges) {
  struct Case {
    int soft, width;
    int64_t l;
    std::vector<int32_t> want;
  } cases[] = {
      {0, 64, 30, {30}},
      {0, 64, -5, {0}},
      {0, 64, 900, {64}},
      {1, 32, 10, {10, 32, 256, 22}},
      {1, 32, -8, {0, 24, 192, 40}},
      {1, 32, 50, {50, 14, 256, 0}},
      {1, 32, -40, {0, 0, 0, 64}},
      {1, 0, 12, {12, 0, 256, 52}},
      {1, 256, -100, {0, 64, 156, 0}},
  };
  for (const Case& c : cases) {
    shape_->SetSoftEdge(c.soft, c.width);
    shape_->boundary = [&](int) { return c.l; };
    Draw();
    const int32_t* spans = Table()->GetSpanBuffer();
    EXPECT_EQ(std::vector<int32_t>(spans, spans + c.want.size()), c.want) << c.soft << " " << c.l;
  }
}

// Reversed, a shape computes the remaining progress with the pictures
// exchanged.
TEST_F(WipeBaseTest, ReverseExchangesPicturesAndProgress) {
  shape_->line = {24};
  shape_->SetReverseFlag(1);
  Draw(3, 10);
  EXPECT_EQ(shape_->seenProgress, 7);
  EXPECT_TRUE(ScreenMatches([](int x, int y) { return x < 24 ? OldPx(x, y) : NewPx(x, y); }));
  Draw(-4, 10);
  EXPECT_EQ(shape_->seenProgress, 10);
}

// --- The table ---

TEST_F(WipeTest, EveryWipeNumberHasItsKindAndArguments) {
  // The index formulas of the list.
  std::map<int, std::pair<std::string, WipeArgs>> want;
  auto put = [&](int n, const char* kind, WipeArgs a = {}) {
    want[n] = {std::string("CEffectSimpleWipe") + kind, a};
  };
  const char* plain[] = {"Overrap", "Curtain", "Curtain2", "Zebra", "Slide1", "Slide2"};
  for (int n = 0; n < 6; ++n) put(n, plain[n]);
  put(8, "Warp1");
  put(9, "Clock");
  put(22, "Nurikae");
  put(38, "Mozaic");
  put(39, "RandomStrip");
  put(40, "Add");
  put(41, "Mekuri");
  put(60, "Multi");
  put(23, "Grav", {0, 0, 64, 0, 0});
  put(73, "Grav", {0, 0, 64, 1, 0});
  for (int r = 0; r < 2; ++r) {
    put(6 + r, "Circle", {r});
    put(24 + r, "Gaza", {r});
    put(28 + r, "Star", {r});
    put(30 + r, "Heart", {r});
    put(32 + r, "TurnStar", {r, 0, 64, 0});
    put(78 + r, "TurnStar", {r, 0, 64, 1});
    put(34 + r, "Hahen", {r});
    put(36 + r, "Beach", {r});
    put(88 + r, "Togari", {r});
    put(94 + r, "WTogari", {r});
    put(26 + r, "Raster", {0, 0, 64, r});
    for (int d = 0; d < 4; ++d) put(10 + 4 * r + d, "Move", {r, 0, 64, d});
    for (int m = 0; m < 2; ++m) put(18 + 2 * r + m, "Door", {r, 0, 64, m});
    for (int m = 0; m < 3; ++m) put(42 + 2 * m + r, "Sudare", {r, 0, 64, m});
    for (int k = 0; k < 3; ++k) {
      put(48 + 3 * r + k, "Gaza", {r, 1, 64 << k});
      put(54 + 3 * r + k, "Beach", {r, 1, 64 << k});
    }
    for (int k = 0; k < 2; ++k) put(90 + 2 * r + k, "Togari", {r, 1, k ? 256 : 64});
    for (int m = 0; m < 2; ++m) put(84 + 2 * m + r, "Center", {r, 0, 64, m});
  }
  for (int d = 0; d < 4; ++d) {
    put(61 + d, "Tokoroten", {0, 0, 64, d});
    put(65 + d, "Naname", {d / 2, 1, 64, d});
    put(69 + d, "Slot", {0, 0, 64, d + 2, 0});
    put(74 + d, "Slot", {0, 0, 64, d + 2, 1});
    put(80 + d, "Zoom", {0, 0, 64, 4 << d});
  }
  ASSERT_EQ(want.size(), 96u);
  const auto numbers = GetWipeNumbers();
  ASSERT_EQ(numbers.size(), 96u);
  std::set<std::string> kinds;
  for (const WipeNumber& entry : numbers) {
    ASSERT_TRUE(want.count(entry.number)) << entry.number;
    const auto& [kind, args] = want[entry.number];
    EXPECT_EQ(entry.kind, kind) << entry.number;
    EXPECT_EQ(
        std::vector<int>({entry.args.reverse, entry.args.softEdge, entry.args.blendWidth,
                          entry.args.arg1, entry.args.arg2}),
        std::vector<int>({args.reverse, args.softEdge, args.blendWidth, args.arg1, args.arg2}))
        << entry.number;
    kinds.insert(entry.kind);
    // A number draws exactly when its kind is built.
    const bool built = std::any_of(GetWipeKinds().begin(), GetWipeKinds().end(),
                                   [&](const WipeKind& k) { return kind == k.name; });
    CEffectSimpleWipeCommon* wipe = Table()->GetWipe(entry.number);
    ASSERT_EQ(wipe != nullptr, built) << entry.number;
    if (wipe) {
      EXPECT_EQ(wipe->KindName(), kind);
      EXPECT_EQ(wipe->GetReverseFlag(), args.reverse) << entry.number;
    }
  }
  EXPECT_EQ(kinds.size(), 33u);
  for (const WipeKind& k : GetWipeKinds()) EXPECT_TRUE(kinds.count(k.name)) << k.name;
}

TEST_F(WipeTest, NumbersOutsideTheListDrawNothing) {
  CPicture* from = OldPicture();
  CPicture* to = NewPicture();
  Clear(kGrey);
  for (int n : {-1, -300, 96, 128, 255, 256, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(Table()->GetWipe(n), nullptr);
    EXPECT_EQ(Table()->HasWipe(n), 0);
    Table()->Print(n, from, to, 5, 10, nullptr, nullptr);
  }
  EXPECT_TRUE(ScreenIs(kGrey));
}

TEST_F(WipeTest, RandomTableIsMadeOnceFromTheGenerator) {
  crt::srand(77);
  std::vector<int32_t> want;
  for (int i = 0; i < 2 * kH; ++i) want.push_back(crt::rand() & 0x7FFF);
  crt::srand(77);
  const int32_t* first = Table()->GetRandomTable();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::vector<int32_t>(first, first + 2 * kH), want);
  crt::srand(5);
  const int32_t* second = Table()->GetRandomTable();
  EXPECT_EQ(std::vector<int32_t>(second, second + 2 * kH), want);
  EXPECT_EQ(Table()->GetSpanBufferInts(), std::max(kW, kH) * 8);
}

}  // namespace
}  // namespace effect_test
