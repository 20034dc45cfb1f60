// The screen buffer: its block, clipping, the dirty-rectangle rules and the
// full-redraw frame counts.
#include <climits>
#include <vector>

#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/daikei.h"
#include "graphics/gradationbox.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

struct R {
  int x, y, w, h;
  friend bool operator==(const R&, const R&) = default;
};

std::vector<R> DirtyList() {
  std::vector<R> out;
  for (int i = 0; i < CScreenBuffer::GetDirtyRectCount(); ++i) {
    R r{};
    EXPECT_EQ(CScreenBuffer::GetDirtyRect(i, &r.x, &r.y, &r.w, &r.h), 1);
    out.push_back(r);
  }
  return out;
}

void PrintTo(const R& r, std::ostream* os) {
  *os << "(" << r.x << "," << r.y << "," << r.w << "," << r.h << ")";
}

using ScreenBufferTest = ScreenTest;

TEST_F(ScreenBufferTest, BlockIsClearedWithSpareRowsAndFixedClip) {
  EXPECT_EQ(CScreenBuffer::GetWidth(), kW);
  EXPECT_EQ(CScreenBuffer::GetHeight(), kH);
  uint32_t* p = CScreenBuffer::GetBuffer();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
  // Both spare rows belong to the block and start black like the rest.
  for (int i = 0; i < kW * (kH + 2); ++i) ASSERT_EQ(p[i], 0u) << i;
  EXPECT_NE(CScreenBuffer::GetSpanTable(), nullptr);
  EXPECT_EQ(CScreenBuffer::GetClipLeft(), 0);
  EXPECT_EQ(CScreenBuffer::GetClipTop(), 0);
  EXPECT_EQ(CScreenBuffer::GetClipRight(), kW);
  EXPECT_EQ(CScreenBuffer::GetClipBottom(), kH);
  EXPECT_EQ(CheckAllPointers(p, p, p, p), 1);
  EXPECT_EQ(CheckAllPointers(p, nullptr, p, p), 0);
  EXPECT_NE(GetMoktLibDate()[0], '\0');
}

TEST_F(ScreenBufferTest, ClipRect) {
  struct Case {
    R in;
    int visible;
    R out;
  } cases[] = {
      {{-10, -10, 20, 20}, 1, {0, 0, 10, 10}},
      {{60, 40, 10, 10}, 1, {60, 40, 4, 8}},
      {{0, 0, kW, kH}, 1, {0, 0, kW, kH}},
      {{-5, 3, kW + 10, 2}, 1, {0, 3, kW, 2}},
      {{kW, 0, 5, 5}, 0, {}},
      {{0, kH, 5, 5}, 0, {}},
      {{-5, 0, 5, 5}, 0, {}},
      {{0, -5, 5, 5}, 0, {}},
      {{3, 3, 0, 4}, 0, {}},
      {{3, 3, 4, -1}, 0, {}},
      {{INT_MIN, 0, INT_MAX, 5}, 0, {}},         // right edge -1
      {{10, 10, INT_MAX, INT_MAX}, 1, {10, 10, kW - 10, kH - 10}},
  };
  for (const Case& c : cases) {
    R r = c.in;
    int got = CScreenBuffer::ClipRect(&r.x, &r.y, &r.w, &r.h);
    EXPECT_EQ(got, c.visible) << testing::PrintToString(c.in);
    if (got) {
      EXPECT_EQ(r, c.out) << testing::PrintToString(c.in);
    }
  }
}

TEST_F(ScreenBufferTest, DirtyRectangleRules) {
  struct Case {
    const char* name;
    std::vector<R> added;
    std::vector<R> listed;
    int fullRedraw;
  } cases[] = {
      {"clipped at the origin", {{-10, -10, 20, 20}}, {{0, 0, 10, 10}}, 0},
      {"clipped at the far edges", {{60, 40, 10, 10}}, {{60, 40, 4, 8}}, 0},
      {"right of the screen", {{kW, 0, 5, 5}}, {}, 0},
      {"no width", {{5, 5, 0, 5}}, {}, 0},
      {"no height after clipping", {{5, -5, 5, 5}}, {}, 0},
      {"right edge overflowing int", {{INT_MIN, 0, INT_MAX, 5}}, {}, 0},
      {"same twice", {{1, 2, 3, 4}, {1, 2, 3, 4}}, {{1, 2, 3, 4}}, 0},
      {"inside an earlier one", {{0, 0, 30, 30}, {10, 10, 5, 5}}, {{0, 0, 30, 30}}, 0},
      {"around an earlier one", {{10, 10, 5, 5}, {0, 0, 30, 30}}, {{10, 10, 5, 5}, {0, 0, 30, 30}}, 0},
      {"overlaps are kept", {{0, 0, 10, 10}, {5, 5, 10, 10}}, {{0, 0, 10, 10}, {5, 5, 10, 10}}, 0},
      {"overlapping area counts twice",
       {{0, 0, kW, kH / 2 + 1}, {0, kH / 2 - 1, kW, kH / 2 + 1}},
       {{0, 0, kW, kH / 2 + 1}, {0, kH / 2 - 1, kW, kH / 2 + 1}},
       1},
  };
  for (const Case& c : cases) {
    CScreenBuffer::StartFrame();
    CScreenBuffer::StartFrame();  // past the start-up full redraw
    ASSERT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
    for (const R& r : c.added) CScreenBuffer::AddDirtyRect(r.x, r.y, r.w, r.h);
    EXPECT_EQ(DirtyList(), c.listed) << c.name;
    EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), c.fullRedraw) << c.name;
  }
}

TEST_F(ScreenBufferTest, HalfScreenAloneIsNotAFullRedraw) {
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  CScreenBuffer::AddDirtyRect(0, 0, kW / 2, kH);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  CScreenBuffer::AddDirtyRect(kW / 2, 0, kW / 2, kH);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 2) << "the entry stays listed";
}

TEST_F(ScreenBufferTest, The256thRectangleTurnsTheFrameIntoAFullRedraw) {
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  for (int i = 0; i < 255; ++i) CScreenBuffer::AddDirtyRect(i % kW, i / kW, 1, 1);
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 255);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  CScreenBuffer::AddDirtyRect(20, 20, 1, 1);
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 255);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  // The next frame starts with an empty list and no full redraw.
  CScreenBuffer::StartFrame();
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 0);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
}

TEST_F(ScreenBufferTest, GetDirtyRectOutsideTheList) {
  CScreenBuffer::StartFrame();
  CScreenBuffer::AddDirtyRect(1, 1, 2, 2);
  for (int i : {-1, 1, 300}) {
    R r{9, 9, 9, 9};
    EXPECT_EQ(CScreenBuffer::GetDirtyRect(i, &r.x, &r.y, &r.w, &r.h), 0) << i;
    EXPECT_EQ(r, (R{0, 0, 8, 8})) << i;
  }
}

// Which of the frames k .. k+6 are full redraws when the request is made in
// frame k (after that frame's StartFrame).
std::vector<int> FullFrames(void (*request)()) {
  std::vector<int> out;
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  request();
  out.push_back(CScreenBuffer::CheckFullRedraw());
  for (int i = 0; i < 6; ++i) {
    CScreenBuffer::StartFrame();
    out.push_back(CScreenBuffer::CheckFullRedraw());
  }
  return out;
}

TEST_F(ScreenBufferTest, FullRedrawFrameCounts) {
  // The first frame after construction is full, and so is anything drawn
  // before it.
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  CScreenBuffer::StartFrame();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  CScreenBuffer::StartFrame();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);

  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetFullRedraw(3); }),
            (std::vector<int>{1, 1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetFullRedraw(0); }),
            (std::vector<int>{1, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetFullRedraw(1); }),
            (std::vector<int>{1, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetFullRedraw(-4); }),
            (std::vector<int>{1, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetFullRedrawFlag(1); }),
            (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FullFrames([] { CScreenBuffer::SetAlwaysFullRedraw(); }),
            (std::vector<int>{1, 1, 1, 1, 1, 1, 1}));
}

TEST(ScreenBufferLifetime, ARefusedBlockLeavesAnEmptyScreenThatDrawsNothing) {
  for (auto size : {std::pair{100000, 100000}, std::pair{-5, 10}, std::pair{10, 0}}) {
    CScreenBuffer screen(size.first, size.second, 1);
    EXPECT_EQ(screen.UseDIB(), 1);
    EXPECT_EQ(CScreenBuffer::GetBuffer(), nullptr);
    EXPECT_EQ(CScreenBuffer::GetWidth(), 0);
    EXPECT_EQ(CScreenBuffer::GetHeight(), 0);
    // Every drawing path is a no-op rather than a crash.
    CAllGeo::BoxFill(0, 0, 10, 10, 1, 2, 3);
    CAllGeo::TransCircleFill(5, 5, 4, 4, 1, 2, 3, 50);
    CAllGeo::AddTorusFill(5, 5, 4, 4, 5, 5, 2, 2, 1, 2, 3, 50);
    CAllGeo::Line(0, 0, 10, 10, 1, 2, 3, 100);
    CAllGeo::LineF(0, 0, 10, 10, 1, 2, 3, 50);
    CAllGeo::GetDaikei()->Fill(0, 0, 5, 0, 5, 5, 1, 2, 3);
    CAllGeo::GetTransGradationBoxV()->Fill(0, 0, 5, 5, 1, 2, 3, 4, 5, 6);
    CAllGraphics::Fade(50, 0, 0, 0, -1);
    CAllGraphics::FillScreen(1, 2, 3);
    CAllGraphics::NegaRect(0, 0, 5, 5);
    CAllGraphics::LayerSepia(128, 1, 2, 3);
    CScreenBuffer::AddDirtyRect(0, 0, 5, 5);
    EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 0);
  }
}

TEST(ScreenBufferLifetime, ANewBufferReplacesTheOldAndReleaseEndsTheEntries) {
  auto first = std::make_unique<CScreenBuffer>(16, 16, 0);
  auto second = std::make_unique<CScreenBuffer>(32, 8, 0);
  first.reset();  // must not take the second one's block with it
  EXPECT_EQ(CScreenBuffer::GetWidth(), 32);
  ASSERT_NE(CScreenBuffer::GetBuffer(), nullptr);
  EXPECT_EQ(CAllGeo::BoxFill(0, 0, 32, 8, 1, 2, 3), 1);
  EXPECT_EQ(CScreenBuffer::GetBuffer()[32 * 8 - 1], 0x010203u);
  second->Release();
  EXPECT_EQ(CScreenBuffer::GetBuffer(), nullptr);
  EXPECT_EQ(CAllGeo::BoxFill(0, 0, 32, 8, 1, 2, 3), 0);
  EXPECT_EQ(CAllGeo::Line(0, 0, 3, 3, 1, 2, 3, 100), 0);
}

}  // namespace
}  // namespace graphics_test
