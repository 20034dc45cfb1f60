// The picture's blend, colour, stretch and tinted draws: each clips its
// request (the stretches in their blitter), passes the mask only when it is
// usable, and draws an 8-bit picture only where a palette is understood.
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "picture_fixture.h"

namespace graphics_test {
namespace {

uint32_t Grey(uint32_t v) { return v * 0x010101u; }

class PictureBlendTest : public PictureTest {
 protected:
  // A blank picture of one colour; with a mask, a checkerboard of 0 and 255
  // (so a silhouette has something to paint from any corner).
  static std::unique_ptr<CPicture> Solid(int w, int h, uint32_t colour, bool withMask) {
    auto p = std::make_unique<CPicture>(w, h, withMask ? 1 : 0);
    for (int i = 0; i < w * h; ++i) p->GetPixelBuffer()[i] = colour;
    if (withMask)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p->GetMask()[y * w + x] = (x + y) % 2 ? 255 : 0;
    return p;
  }

  struct Draw {
    const char* name;
    std::function<void(CPicture&, int, int)> draw;
  };
  // Every variant drawing the whole of an 8 x 8 picture at (x, y).
  static std::vector<Draw> Draws() {
    return {
        {"TransLucentBlt",
         [](CPicture& p, int x, int y) { p.TransLucentBlt(x, y, 0, 0, 8, 8, 50); }},
        {"TransLucentBlt0",
         [](CPicture& p, int x, int y) { p.TransLucentBlt0(x, y, 0, 0, 8, 8, 50); }},
        {"TransLucentBlt3",
         [](CPicture& p, int x, int y) { p.TransLucentBlt3(x, y, 0, 0, 8, 8, 50); }},
        {"AddBlt", [](CPicture& p, int x, int y) { p.AddBlt(x, y, 0, 0, 8, 8); }},
        {"AddSubBlt", [](CPicture& p, int x, int y) { p.AddSubBlt(x, y, 0, 0, 8, 8, 50); }},
        {"ColorAddBlt",
         [](CPicture& p, int x, int y) { p.ColorAddBlt(x, y, 0, 0, 8, 8, 1, 10, -10, 0, 100); }},
        {"YUVChangeBlt",
         [](CPicture& p, int x, int y) { p.YUVChangeBlt(x, y, 0, 0, 8, 8, 0, 255); }},
        {"ShapeBlt", [](CPicture& p, int x, int y) { p.ShapeBlt(x, y, 0, 0, 8, 8, 1, 2, 3); }},
        {"RedBlt", [](CPicture& p, int x, int y) { p.RedBlt(x, y, 0, 0, 8, 8, 1); }},
        {"GreyBlt", [](CPicture& p, int x, int y) { p.GreyBlt(x, y, 0, 0, 8, 8, 1); }},
        {"GreyLevelBlt",
         [](CPicture& p, int x, int y) { p.GreyLevelBlt(x, y, 0, 0, 8, 8, 256, 0); }},
        {"SepiaBlt",
         [](CPicture& p, int x, int y) { p.SepiaBlt(x, y, 0, 0, 8, 8, 256, 255, 200, 100, 0); }},
        {"StretchBlt",
         [](CPicture& p, int x, int y) { p.StretchBlt(x, y, 8, 8, 0, 0, 8, 8, 100, 1); }},
        {"StretchAddSubBlt",
         [](CPicture& p, int x, int y) {
           p.StretchAddSubBlt(x, y, 8, 8, 0, 0, 8, 8, 100, 0, 9, 9, 9);
         }},
        {"ChangeTransLucentBlt",
         [](CPicture& p, int x, int y) {
           p.ChangeTransLucentBlt(x, y, 0, 0, 8, 8, 50, 50, &p, 0, 0);
         }},
    };
  }
};

TEST_F(PictureBlendTest, EveryVariantDrawsOnlyWhatLiesOnTheScreen) {
  auto picture = Solid(8, 8, 0x00F0E0D0, true);
  const uint32_t back = Grey(64);
  struct Place {
    int x, y;
    std::vector<int> rect;
  } places[] = {{10, 5, {10, 5, 18, 13}},
                {60, 44, {60, 44, 64, 48}},
                {-4, -6, {0, 0, 4, 2}},
                {kW, 0, {0, 0, 0, 0}}};
  for (const Draw& d : Draws())
    for (const Place& at : places) {
      Clear(back);
      d.draw(*picture, at.x, at.y);
      EXPECT_EQ(DrawnRect(back), at.rect) << d.name << " at " << at.x << "," << at.y;
    }
}

TEST_F(PictureBlendTest, UnloadedOrReleasedPicturesDrawNothing) {
  CPicture empty;
  auto released = Solid(8, 8, 0x00F0E0D0, true);
  released->Release();
  for (const Draw& d : Draws()) {
    Clear(7);
    d.draw(empty, 0, 0);
    d.draw(*released, 0, 0);
    EXPECT_EQ(CountChanged(7), 0) << d.name;
  }
}

TEST_F(PictureBlendTest, EightBitPicturesDrawOnlyThroughTheirPalette) {
  // 8 x 8 indices 1 (index 0 in the corner, the key) with a mask.
  dwqtool::Indexed source{8, 8, std::vector<uint8_t>(64, 1), {0x00000000, 0x0000FF00}};
  source.indices[0] = 0;
  std::vector<uint8_t> alpha(64, 255);
  alpha[9] = 0;
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kBmp8;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeDwqIndexed(source, alpha, options, &bytes, &error)) << error;
  WriteDwq("indexed", bytes);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("indexed", 1), 1);
  ASSERT_EQ(picture.Get256Flag(), 1);
  ASSERT_EQ(picture.GetMaskFlag(), 1);

  const uint32_t back = Grey(64);
  for (const Draw& d : Draws()) {
    Clear(back);
    d.draw(picture, 0, 0);
    const std::string name = d.name;
    if (name == "GreyBlt") {
      // Green grey of the palette colour, the key index skipped.
      EXPECT_EQ(At(0, 0), back);
      EXPECT_EQ(At(1, 1), Grey(255));
      EXPECT_EQ(CountChanged(back), 63);
    } else if (name == "RedBlt") {
      EXPECT_EQ(At(1, 1), 0u);  // red of green
      EXPECT_EQ(CountChanged(back), 63);
    } else if (name == "ShapeBlt") {
      EXPECT_EQ(At(1, 1), 0x00010203u);  // the mask alone
      EXPECT_EQ(CountChanged(back), 1);
    } else {
      EXPECT_EQ(CountChanged(back), 0) << name << " read 8-bit pixels as 32-bit ones";
    }
  }
}

TEST_F(PictureBlendTest, MaskDrawsNeedAUsableMask) {
  auto plain = Solid(8, 8, Grey(200), false);
  Clear(Grey(64));
  plain->TransLucentBlt3(0, 0, 0, 0, 8, 8, 100);
  plain->ShapeBlt(0, 0, 0, 0, 8, 8, 1, 2, 3);
  auto masked = Solid(8, 8, Grey(200), true);
  masked->ChangeTransLucentBlt(0, 0, 0, 0, 8, 8, 50, 50, plain.get(), 0, 0);
  plain->ChangeTransLucentBlt(0, 0, 0, 0, 8, 8, 50, 50, masked.get(), 0, 0);
  masked->ChangeTransLucentBlt(0, 0, 0, 0, 8, 8, 50, 50, nullptr, 0, 0);
  EXPECT_EQ(CountChanged(Grey(64)), 0);
  // A picture without a mask adds and subtracts as if it were opaque.
  plain->AddSubBlt(0, 0, 0, 0, 8, 8, -100);
  EXPECT_EQ(At(3, 3), Grey(0));
  // A mask flag without a plane of the picture's size is not used.
  masked->SetMaskFlag(0);
  Clear(Grey(64));
  masked->TransLucentBlt3(0, 0, 0, 0, 8, 8, 100);
  EXPECT_EQ(CountChanged(Grey(64)), 0);
}

TEST_F(PictureBlendTest, StretchTakesItsWordsInTheirOwnOrder) {
  // Words: dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH, percent, flag.
  CPicture picture(4, 2, 0);
  for (int i = 0; i < 8; ++i) picture.GetPixelBuffer()[i] = 0x00100000u + static_cast<uint32_t>(i);
  Clear(7);
  picture.StretchBlt(10, 5, 6, 1, 1, 1, 3, 1, 50, 0);  // flag clear: opaque at any percent
  const uint32_t row[6] = {5, 5, 6, 6, 7, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(At(10 + i, 5), 0x00100000u + row[i]) << i;
  EXPECT_EQ(CountChanged(7), 6);
  picture.StretchAddSubBlt(0, 0, 2, 1, 3, 0, -2, 1, 100, 0, 0, 0, 16);  // mirrored, blue + 16
  EXPECT_EQ(At(0, 0), 0x00100013u);
  EXPECT_EQ(At(1, 0), 0x00100012u);
}

TEST_F(PictureBlendTest, CrossFadeDrawsTheUnionOfBothBoxesAligned) {
  // Boxes from the headers: this picture's box is columns 0..3 and rows
  // 0..1, the other's columns 2..5 and rows 1..3 (8 x 4 pictures).
  auto write = [&](const std::string& name, uint32_t colour, dwqtool::Box box) {
    dwqtool::Picture p{8, 4, std::vector<uint32_t>(32, colour), std::vector<uint8_t>(32, 255)};
    dwqtool::Options options;
    options.mask = true;
    options.headerBox = true;
    options.autoBox = false;
    options.box = box;
    WritePicture(name, p, options);
  };
  write("a", Grey(200), {0, 0, 4, 2});
  write("b", Grey(100), {2, 1, 6, 4});
  CPicture a, b;
  ASSERT_EQ(a.LoadDWQ("a"), 1);
  ASSERT_EQ(b.LoadDWQ("b"), 1);
  Clear(Grey(50));
  a.ChangeTransLucentBlt(10, 10, 0, 0, 8, 4, 30, 70, &b, 0, 0);
  EXPECT_EQ(DrawnRect(Grey(50)), (std::vector<int>{10, 10, 16, 14}));
  EXPECT_EQ(At(10, 10), Grey(60 + 69));  // both masks 255 over the whole union

  // A source position left of the other picture: the two stay aligned and
  // only the columns where both have pixels are drawn.
  CPicture c(4, 1, 1), d(4, 1, 1);
  for (int i = 0; i < 4; ++i) {
    c.GetPixelBuffer()[i] = Grey(10);
    d.GetPixelBuffer()[i] = Grey(100 + static_cast<uint32_t>(i));
    c.GetMask()[i] = d.GetMask()[i] = 255;
  }
  Clear(Grey(50));
  c.ChangeTransLucentBlt(0, 0, 0, 0, 4, 1, 0, 100, &d, -2, 0);
  EXPECT_EQ(At(0, 0), Grey(50));
  EXPECT_EQ(At(1, 0), Grey(50));
  EXPECT_EQ(At(2, 0), Grey(100));  // the other's column 0
  EXPECT_EQ(At(3, 0), Grey(101));
}

TEST_F(PictureBlendTest, OverrapBlendsTheScreenSizeArea) {
  auto a = Solid(kW + 4, kH + 2, Grey(200), false);
  auto b = Solid(kW, kH, Grey(100), false);
  a->GetPixelBuffer()[2 * (kW + 4) + 3] = Grey(0);  // picture (3, 2)
  const int pos[2] = {3, 2};
  Clear(Grey(50));
  a->OverrapBlt(150, pos);  // held to 100: the picture's area copied
  EXPECT_EQ(At(0, 0), Grey(0));
  EXPECT_EQ(At(1, 1), Grey(200));
  a->OverrapBlt2(b.get(), 30, nullptr, nullptr);  // this x 70 % + other x 30 %
  EXPECT_EQ(At(5, 5), Grey((200 * 179 + 100 * 76) >> 8));
  // Areas outside the picture, negative positions, small pictures: nothing.
  const int outside[2] = {5, 0}, negative[2] = {-1, 0};
  Clear(7);
  a->OverrapBlt(50, outside);
  a->OverrapBlt(50, negative);
  b->OverrapBlt2(a.get(), 50, pos, nullptr);
  a->OverrapBlt2(b.get(), 50, nullptr, pos);
  auto small = Solid(kW - 1, kH, Grey(1), false);
  small->OverrapBlt(50, nullptr);
  EXPECT_EQ(CountChanged(7), 0);
}

// The blend over one colour gives the frame that filling the screen and then
// the translucent blit give, for weights from none to whole and beyond both
// ends, with 128-bit and 256-bit rows, for a picture as large as the
// screen and a larger one; a rectangle the clip would cut draws nothing and
// says so.
TEST_F(PictureBlendTest, TranslucentBlendOnColourMatchesFillThenBlend) {
  const uint32_t colours[] = {0x00000000, 0x00FFFFFF, 0x00203040};
  const int percents[] = {-20, 0, 1, 37, 50, 99, 100, 130};
  std::vector<uint32_t> expected(static_cast<size_t>(kW) * kH);
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide);
    for (int extra : {0, 5}) {
      auto picture = std::make_unique<CPicture>(kW + extra, kH + extra, 0);
      for (int i = 0; i < (kW + extra) * (kH + extra); ++i)
        picture->GetPixelBuffer()[i] = static_cast<uint32_t>(i) * 2654435761u & 0x00FFFFFF;
      for (uint32_t colour : colours)
        for (int percent : percents) {
          Clear(colour);
          picture->TransLucentBlt(0, 0, 0, 0, kW, kH, std::clamp(percent, 0, 100));
          std::memcpy(expected.data(), CScreenBuffer::GetBuffer(), expected.size() * 4);
          Clear(Grey(7));
          ASSERT_EQ(picture->TransLucentBltOnColour(0, 0, kW, kH, percent, colour), 1);
          ASSERT_EQ(0, std::memcmp(expected.data(), CScreenBuffer::GetBuffer(), expected.size() * 4))
              << "colour " << std::hex << colour << std::dec << ", percent " << percent
              << ", wide " << wide << ", picture " << kW + extra << " x " << kH + extra;
        }
    }
  }
  blendrows::AllowWideRows(true);
  auto picture = Solid(8, 8, Grey(200), false);
  for (const std::vector<int>& at : {std::vector<int>{-2, 0, 8, 8}, {kW - 4, 3, 8, 8}, {0, 0, 9, 8}}) {
    Clear(Grey(64));
    EXPECT_EQ(picture->TransLucentBltOnColour(at[0], at[1], at[2], at[3], 50, 0), 0);
    EXPECT_EQ(DrawnRect(Grey(64)), (std::vector<int>{0, 0, 0, 0}));
  }
}

// The enter fade's blend from a colour gives the frame the blend from a
// picture filled with that colour gives, byte for byte: colours with the
// top byte set and channels that carry past 255 in the 16-bit sums, weights
// from none to whole and beyond both ends, 128-bit and 256-bit rows, a
// picture at an offset inside a larger one. A picture that does not cover
// the screen draws nothing.
TEST_F(PictureBlendTest, OverrapFromColourMatchesOverrapFromAFilledPicture) {
  const uint32_t colours[] = {0x00000000, 0x00FFFFFF, 0x00203040, 0xFF12C0FF, 0x12C0000};
  const int percents[] = {-20, 0, 1, 37, 50, 99, 100, 130};
  const int pos[2] = {3, 2};
  auto picture = std::make_unique<CPicture>(kW + 5, kH + 4, 0);
  for (int i = 0; i < (kW + 5) * (kH + 4); ++i)
    picture->GetPixelBuffer()[i] = static_cast<uint32_t>(i) * 2654435761u;
  auto filled = std::make_unique<CPicture>(kW, kH, 0);
  std::vector<uint32_t> expected(static_cast<size_t>(kW) * kH);
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide);
    for (uint32_t colour : colours)
      for (int percent : percents) {
        std::fill_n(filled->GetPixelBuffer(), kW * kH, colour);
        Clear(Grey(7));
        filled->OverrapBlt2(picture.get(), percent, nullptr, pos);
        std::memcpy(expected.data(), CScreenBuffer::GetBuffer(), expected.size() * 4);
        Clear(Grey(9));
        picture->OverrapBlt2FromColour(colour, percent, pos);
        ASSERT_EQ(0, std::memcmp(expected.data(), CScreenBuffer::GetBuffer(), expected.size() * 4))
            << "colour " << std::hex << colour << std::dec << ", percent " << percent << ", wide "
            << wide;
      }
  }
  blendrows::AllowWideRows(true);
  const int outside[2] = {6, 0};
  Clear(7);
  picture->OverrapBlt2FromColour(0, 50, outside);
  Solid(kW - 1, kH, Grey(1), false)->OverrapBlt2FromColour(0, 50, nullptr);
  EXPECT_EQ(CountChanged(7), 0);
}

}  // namespace
}  // namespace graphics_test
