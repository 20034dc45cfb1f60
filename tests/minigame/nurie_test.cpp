// Nurie: the brush, painting picture 0 over the canvas and picture 1 back,
// the canvas captured on each start, what a frame draws, and a source
// picture smaller than the screen.
#include <gtest/gtest.h>

#include <memory>

#include "minigame/nurie.h"
#include "puzzle_fixture.h"

namespace {

using namespace puzzle_test;

std::unique_ptr<CPicture> Solid(uint32_t colour, int w = kW, int h = kH) {
  auto p = std::make_unique<CPicture>(w, h, 0);
  for (int i = 0; i < w * h; ++i) p->GetPixelBuffer()[i] = colour;
  return p;
}

TEST(NurieBrush, RoundSoftAndSeeded) {
  crt::srand(5);
  NurieBrush a;
  a.Make();
  crt::srand(5);
  NurieBrush b;
  b.Make();
  EXPECT_EQ(a.strength, b.strength);
  auto at = [&](int r, int c) { return int(a.strength[r * NurieBrush::kSize + c]); };
  EXPECT_GE(at(32, 32), 50);
  EXPECT_LE(at(32, 32), 54);
  EXPECT_GE(at(32, 0), 11);  // a = 39
  EXPECT_LE(at(32, 0), 15);
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(63, 63), 0);
  b.Make();  // the generator moved on: another grain
  EXPECT_NE(a.strength, b.strength);
}

class NurieTest : public PuzzleTest {
 protected:
  void SetUp() override {
    PuzzleTest::SetUp();
    holder_.SetPicture(black_.get(), 0);
    holder_.SetPicture(white_.get(), 1);
    holder_.SetScreenPicture(&canvas_);
  }
  void LetGo() {
    for (int b = 0; b < CMouseStatus::kButtons; ++b) game_.mouse.SetTrig(b, 0);
  }
  uint32_t Canvas(int x, int y) const { return canvas_.GetPixelBuffer()[y * canvas_.GetWidth() + x]; }
  std::unique_ptr<CPicture> white_ = Solid(0xFFFFFF), black_ = Solid(0);
  CPicture canvas_{1, 1, 0};
  Driven<CMiniGameNurie> game_{&holder_};
};

TEST_F(NurieTest, HeldStillTheCentreReachesPictureZeroWhileTheEdgeStaysMixed) {
  game_.Begin();
  game_.Calcu();  // the first frame captures picture 1
  ASSERT_EQ(canvas_.GetWidth(), kW);
  EXPECT_EQ(Canvas(32, 32), 0xFFFFFFu);
  for (int i = 0; i < 40; ++i) game_.Hold(32, 32);
  EXPECT_EQ(Canvas(32, 32), 0u);
  // Brush row 10, column 0: its weakest ring.
  const uint32_t edge = Canvas(0, 10);
  EXPECT_GT(edge & 0xFF, 55u);
  EXPECT_LT(edge & 0xFF, 255u);
  EXPECT_EQ(edge & 0xFF, (edge >> 16) & 0xFF) << "each channel alike";
  EXPECT_EQ(Canvas(0, 0), 0xFFFFFFu) << "outside the round brush";
  // The right button paints picture 1 back; the truncating blend stops
  // short of it by less than 256 / strength.
  for (int i = 0; i < 40; ++i) game_.Hold(32, 32, 1);
  EXPECT_GE(Canvas(32, 32) & 0xFF, 250u);
  // Without a button nothing is painted.
  LetGo();
  game_.Calcu();
  EXPECT_FALSE(game_.Painted());
}

TEST_F(NurieTest, AFrameDrawsOnlyThePaintedRectangle) {
  game_.Begin();
  game_.Calcu();
  CScreenBuffer::GetBuffer()[5 * kW + 60] = 0x123456;
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  game_.Hold(20, 20);
  ASSERT_TRUE(game_.Painted());
  const NurieBrush::Rect& r = game_.GetPainted();
  EXPECT_EQ((std::array<int, 4>{r.x, r.y, r.w, r.h}), (std::array<int, 4>{0, 0, 52, 48}));
  game_.Print();
  EXPECT_EQ(CScreenBuffer::GetBuffer()[20 * kW + 20], Canvas(20, 20));
  EXPECT_NE(Canvas(20, 20), 0xFFFFFFu);
  EXPECT_EQ(CScreenBuffer::GetBuffer()[5 * kW + 60], 0x123456u) << "right of the brush";
  int x, y, w, h;
  ASSERT_EQ(CScreenBuffer::GetDirtyRectCount(), 1);
  CScreenBuffer::GetDirtyRect(0, &x, &y, &w, &h);
  EXPECT_EQ((std::array<int, 4>{x, y, w, h}), (std::array<int, 4>{0, 0, 52, 48}));
  // A full redraw puts the whole canvas.
  CScreenBuffer::SetFullRedraw(0);
  game_.Print();
  EXPECT_EQ(CScreenBuffer::GetBuffer()[5 * kW + 60], Canvas(60, 5));
}

TEST_F(NurieTest, EachStartCapturesPictureOneAgain) {
  game_.Begin();
  game_.Calcu();
  for (int i = 0; i < 5; ++i) game_.Hold(32, 24);
  EXPECT_NE(Canvas(32, 24), 0xFFFFFFu);
  LetGo();
  game_.Begin();
  game_.Calcu();
  EXPECT_EQ(Canvas(32, 24), 0xFFFFFFu);
}

TEST_F(NurieTest, ASourceSmallerThanTheScreenPaintsOnlyWhereItHasPixels) {
  auto small = Solid(0, 40, 30);
  holder_.SetPicture(small.get(), 0);
  game_.Begin();
  game_.Calcu();
  game_.Hold(40, 30);
  const NurieBrush::Rect& r = game_.GetPainted();
  EXPECT_EQ((std::array<int, 4>{r.x, r.y, r.w, r.h}), (std::array<int, 4>{8, 0, 32, 30}));
  EXPECT_NE(Canvas(38, 28), 0xFFFFFFu);
  EXPECT_EQ(Canvas(41, 28), 0xFFFFFFu);
  EXPECT_EQ(Canvas(38, 31), 0xFFFFFFu);
  // Wholly beside the source: nothing painted.
  game_.Hold(80, 60);
  EXPECT_FALSE(game_.Painted());
}

TEST_F(NurieTest, MissingPicturesAndFarPositionsPaintNothing) {
  holder_.SetPicture(nullptr, 0);
  game_.Begin();
  game_.Calcu();
  game_.Hold(32, 24);
  EXPECT_FALSE(game_.Painted());
  holder_.SetPicture(white_.get(), 0);
  holder_.SetScreenPicture(nullptr);
  game_.Begin();
  for (auto [x, y] : {std::pair{-33, 10}, std::pair{10, kH + 32}, std::pair{-2147483647 - 1, 2147483647},
                      std::pair{32, 24}}) {
    game_.Hold(x, y);
    EXPECT_FALSE(game_.Painted());
    game_.Print();
  }
  holder_.SetScreenPicture(&canvas_);
  game_.Begin();
  game_.Hold(-2147483647 - 1, 2147483647);
  EXPECT_FALSE(game_.Painted());
  game_.Hold(-31, 5);
  EXPECT_TRUE(game_.Painted());
}

}  // namespace
