// The picture object: blank pictures and their memory, clipping, the draw
// dispatch by picture kind, screen capture, hit tests, and the row-shifted
// and split draws.
#include "graphics/picture.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "picture_fixture.h"

namespace graphics_test {
namespace {

class CPictureTest : public PictureTest {
 protected:
  // A blank w x h picture filled with Colour(x, y), optionally with a mask.
  static void Fill(CPicture& p) {
    for (int y = 0; y < p.GetHeight(); ++y)
      for (int x = 0; x < p.GetWidth(); ++x)
        p.GetPixelBuffer()[y * p.GetWidth() + x] = Colour(x, y);
  }
  static uint32_t Colour(int x, int y) {
    return 0x00400000u + static_cast<uint32_t>(y * 256 + x + 1);
  }
};

TEST_F(CPictureTest, BlankAndEmptyPictures) {
  CPicture empty;
  EXPECT_EQ(empty.GetWidth(), 1);
  EXPECT_EQ(empty.GetHeight(), 1);
  EXPECT_EQ(empty.IsLoaded(), 0);
  EXPECT_STREQ(empty.GetName(), "");
  Clear(0);
  empty.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 0);

  CPicture blank(5, 4, 1);
  EXPECT_EQ(blank.IsLoaded(), 1);
  EXPECT_EQ(blank.GetMaskFlag(), 1);
  ASSERT_NE(blank.GetMask(), nullptr);
  Fill(blank);
  blank.Put(2, 3, 0);
  EXPECT_EQ(DrawnRect(0), (std::vector<int>{2, 3, 7, 7}));

  // Sizes that cannot be had leave a picture without pixels, drawing nothing.
  for (auto [w, h] : {std::pair{0, 5}, std::pair{-3, 4}, std::pair{INT_MAX, 2},
                      std::pair{70000, 70000}, std::pair{INT_MAX, INT_MAX}}) {
    CPicture bad(w, h, 1);
    EXPECT_EQ(bad.GetBuffer(), nullptr) << w << "x" << h;
    Clear(0);
    bad.Put(0, 0, 0);
    bad.Put(0, 0, 1);
    EXPECT_EQ(CountChanged(0), 0);
    EXPECT_EQ(bad.HitCheck(0, 0, 0, 0), 0);
  }
}

TEST_F(CPictureTest, ResizeGrowsOnlyAndKeepsTheMaskCovering) {
  CPicture p(10, 10, 1);
  unsigned char* block = p.GetBuffer();
  ASSERT_EQ(p.Resize(6, 6), 1);
  EXPECT_EQ(p.GetBuffer(), block);  // smaller: same block
  ASSERT_EQ(p.Resize(11, 10), 1);   // 440 bytes: the block of 464 still holds it
  EXPECT_EQ(p.GetBuffer(), block);
  // The mask plane (100 bytes) grew to 110 with it, so a masked draw reads
  // only mask memory (the sanitizers watch).
  EXPECT_EQ(p.GetMaskFlag(), 1);
  std::memset(p.GetMask(), 255, 110);
  Fill(p);
  Clear(0);
  p.Put(0, 0, 1);
  EXPECT_EQ(CountChanged(0), 110);
  ASSERT_EQ(p.Resize(30, 20), 1);
  EXPECT_NE(p.GetBuffer(), block);
  EXPECT_EQ(p.GetWidth(), 30);
  EXPECT_EQ(p.Resize(-1, 5), 0);
  EXPECT_EQ(p.GetWidth(), 30);

  // Released pictures draw nothing until they get memory again.
  p.Release();
  Clear(0);
  p.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 0);
  ASSERT_EQ(p.Resize(4, 4), 1);
  Fill(p);
  p.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 16);
}

// Memory that cannot be had: a pixel block gives up the old one and tells
// the debugger the picture's name; a mask plane that cannot follow a new
// pixel block leaves the picture without a valid mask, so it is drawn
// keyed instead of through a plane that is not there.
TEST_F(CPictureTest, BlocksThatCannotBeHad) {
  WritePicture("pic", Pattern(4, 4));
  CPicture loaded;
  ASSERT_EQ(loaded.LoadDWQ("pic"), 1);
  host_->ClearDebugLines();
  CPicture::FailAllocations(1);
  EXPECT_EQ(loaded.Resize(40, 30), 0);
  EXPECT_EQ(loaded.GetBuffer(), nullptr);
  // "LOADDWQ メモリ確保できません File:" and the name.
  const std::string line =
      "LOADDWQ \x83\x81\x83\x82\x83\x8a\x8a\x6d\x95\xdb\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
      " File:pic\n";
  EXPECT_EQ(host_->DebugLines(), (std::vector<std::string>{line}));
  Clear(0);
  loaded.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 0);

  CPicture masked(2, 2, 1);
  ASSERT_EQ(masked.GetMaskFlag(), 1);
  CPicture::FailAllocations(1, 1);  // the pixels come, the mask does not
  ASSERT_EQ(masked.Resize(6, 5), 1);
  EXPECT_EQ(masked.GetMask(), nullptr);
  EXPECT_EQ(masked.GetMaskFlag(), 0);
  Fill(masked);
  Clear(0);
  masked.Put(0, 0, 1);
  EXPECT_EQ(CountChanged(0), 6 * 5 - 1);  // all but the key pixel

  // A load that cannot have its pixels says so and stays unloaded.
  host_->ClearErrorLines();
  CPicture fresh;
  CPicture::FailAllocations(1);
  EXPECT_EQ(fresh.LoadDWQ("pic"), 0);
  EXPECT_EQ(fresh.IsLoaded(), 0);
  const auto errors = host_->ErrorLines();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("LOAD DWQ ERROR pic: no memory", 0), 0u) << errors[0];
  CPicture::FailAllocations(0);
}

// New pixel and mask blocks are cleared, whether made with the picture or
// by a Resize that outgrows its block: no byte of earlier memory shows (the
// second round gets the memory the first one filled and freed).
TEST_F(CPictureTest, NewBlocksAreCleared) {
  auto nonZero = [](const unsigned char* bytes, size_t n) {
    return std::count_if(bytes, bytes + n, [](unsigned char b) { return b != 0; });
  };
  // Each picture is dirtied and dropped before the next: a large block given
  // up is kept and handed to the next picture it holds, cleared.
  const struct {
    int w, h;
  } sizes[] = {{8, 6}, {8, 6}, {200, 100}, {200, 100}, {300, 200}, {200, 150}, {120, 90}};
  for (const auto& size : sizes) {
    const size_t pixels = static_cast<size_t>(size.w) * size.h;
    CPicture p(size.w, size.h, 1);
    ASSERT_NE(p.GetBuffer(), nullptr);
    ASSERT_NE(p.GetMask(), nullptr);
    EXPECT_EQ(nonZero(p.GetBuffer(), pixels * 4), 0) << size.w << " x " << size.h;
    EXPECT_EQ(nonZero(p.GetMask(), pixels), 0) << size.w << " x " << size.h;
    std::memset(p.GetBuffer(), 0xFF, pixels * 4);
    std::memset(p.GetMask(), 0xFF, pixels);
  }
  CPicture grown(2, 2, 1);
  std::memset(grown.GetBuffer(), 0xFF, 2 * 2 * 4);
  ASSERT_EQ(grown.Resize(40, 30), 1);
  EXPECT_EQ(nonZero(grown.GetBuffer(), 40 * 30 * 4), 0);
  ASSERT_NE(grown.GetMask(), nullptr);
  EXPECT_EQ(nonZero(grown.GetMask(), 40 * 30), 0);
}

TEST_F(CPictureTest, ClipToScreen) {
  CPicture p(20, 10, 0);
  struct Case {
    int in[6];  // dstX, dstY, srcX, srcY, w, h
    int result;
    int out[6];
  } cases[] = {
      {{5, 5, 0, 0, 20, 10}, 1, {5, 5, 0, 0, 20, 10}},
      {{-3, -2, 0, 0, 20, 10}, 1, {0, 0, 3, 2, 17, 8}},
      {{60, 40, 0, 0, 20, 10}, 1, {60, 40, 0, 0, 4, 8}},  // cut at 64 x 48
      {{0, 0, 15, 5, 20, 10}, 1, {0, 0, 15, 5, 5, 5}},    // cut at the picture
      {{0, 0, -4, 0, 10, 10}, 1, {0, 0, 0, 0, 6, 10}},    // negative source raised
      {{-20, 0, 0, 0, 20, 10}, 0, {-20, 0, 0, 0, 0, 0}},  // wholly left
      {{64, 0, 0, 0, 20, 10}, 0, {64, 0, 0, 0, 0, 0}},    // wholly right
      {{0, 48, 0, 0, 20, 10}, 0, {0, 48, 0, 0, 0, 0}},    // wholly below
      {{0, 0, 20, 0, 5, 5}, 0, {0, 0, 20, 0, 0, 0}},      // source past the picture
      {{INT_MAX, 0, 0, 0, INT_MAX, 5}, 0, {INT_MAX, 0, 0, 0, 0, 0}},
      {{INT_MIN, INT_MIN, 0, 0, INT_MAX, INT_MAX}, 0, {INT_MIN, INT_MIN, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    int v[6] = {c.in[0], c.in[1], c.in[2], c.in[3], c.in[4], c.in[5]};
    EXPECT_EQ(p.ClipToScreen(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]), c.result)
        << c.in[0] << "," << c.in[1];
    EXPECT_EQ(std::vector<int>(v, v + 6), std::vector<int>(c.out, c.out + 6))
        << c.in[0] << "," << c.in[1];
  }
}

TEST_F(CPictureTest, BltDispatchByPictureKind) {
  CPicture masked(4, 2, 1);
  Fill(masked);
  const unsigned char m[8] = {255, 0, 128, 255, 0, 255, 255, 255};
  std::memcpy(masked.GetMask(), m, 8);

  // Masked 32-bit with the flag: blended by the mask.
  Clear(0);
  masked.Put(0, 0, 1);
  EXPECT_EQ(At(0, 0), Colour(0, 0));
  EXPECT_EQ(At(1, 0), 0u);
  EXPECT_EQ(At(2, 0), (Colour(2, 0) & 0xFF) * 128 >> 8 | 0x00200000u);
  // Without the flag: opaque, the mask ignored.
  Clear(0);
  masked.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 8);
  // Flag set but no valid mask: keyed by the top-left pixel.
  masked.SetMaskFlag(0);
  Clear(0);
  masked.Put(0, 0, 1);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(CountChanged(0), 7);
  // A mask flag set by hand without a mask plane still keys.
  CPicture plain(3, 1, 0);
  Fill(plain);
  plain.SetMaskFlag(1);
  Clear(0);
  plain.Put(0, 0, 1);
  EXPECT_EQ(CountChanged(0), 2);
}

// An 8-bit picture with a mask (loaded with keep256 from a masked file) is
// keyed by its index: the 32-bit mask blitter never sees its bytes.
TEST_F(CPictureTest, EightBitPictureWithMaskIsKeyedByIndex) {
  dwqtool::Indexed source{3, 2, {4, 1, 4, 2, 4, 1}, {0, 0x00AA0000, 0x0000BB00, 0, 0x000000CC}};
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kPacked;
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(
      dwqtool::MakeDwqIndexed(source, std::vector<uint8_t>(6, 255), options, &bytes, &error));
  WriteDwq("idx", bytes);
  CPicture p;
  ASSERT_EQ(p.LoadDWQ("idx", 1), 1);
  ASSERT_EQ(p.Get256Flag(), 1);
  EXPECT_EQ(p.GetMaskFlag(), 1);
  Clear(7);
  p.Put(0, 0, 1);
  EXPECT_EQ(At(0, 0), 7u);
  EXPECT_EQ(At(1, 0), 0x00AA0000u);
  EXPECT_EQ(At(0, 1), 0x0000BB00u);
  EXPECT_EQ(CountChanged(7), 3);
  p.Put(0, 0, 0);
  EXPECT_EQ(At(0, 0), 0x000000CCu);
  // Hit tests compare indices.
  EXPECT_EQ(p.HitCheck(0, 1, 0, 0), 1);
  EXPECT_EQ(p.HitCheck(2, 0, 0, 0), 0);
}

TEST_F(CPictureTest, HitCheck) {
  CPicture keyed(3, 2, 0);
  Fill(keyed);
  keyed.GetPixelBuffer()[4] = Colour(0, 0);
  EXPECT_EQ(keyed.HitCheck(1, 0, 0, 0), 1);
  EXPECT_EQ(keyed.HitCheck(1, 1, 0, 0), 0);  // the key colour
  EXPECT_EQ(keyed.HitCheck(-1, 0, 0, 0), 0);
  EXPECT_EQ(keyed.HitCheck(3, 0, 0, 0), 0);
  EXPECT_EQ(keyed.HitCheck(1, 0, 5, 5), 0);  // a key outside the picture

  // With a mask from the file, the mask decides.
  dwqtool::Options options;
  options.mask = true;
  WritePicture("hit", Pattern(3, 1, [](int x, int) { return uint8_t(x == 1 ? 0 : 9); }), options);
  CPicture masked;
  ASSERT_EQ(masked.LoadDWQ("hit"), 1);
  EXPECT_EQ(masked.HitCheck(0, 0, 0, 0), 1);
  EXPECT_EQ(masked.HitCheck(1, 0, 0, 0), 0);
  EXPECT_EQ(masked.HitCheck(2, 0, 0, 0), 1);
}

TEST_F(CPictureTest, ScreenCapture) {
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) At(x, y) = Colour(x, y);
  CPicture small(4, 4, 0);
  ASSERT_EQ(small.GetScreen(), 1);
  EXPECT_EQ(small.GetWidth(), kW);
  EXPECT_EQ(small.GetHeight(), kH);
  EXPECT_EQ(small.GetPixelBuffer()[5 * kW + 7], Colour(7, 5));
  // A picture as wide as the screen (copied as one run) and a wider one
  // (row by row at its own pitch) both hold every screen pixel.
  CPicture wide(kW + 3, kH + 2, 0);
  ASSERT_EQ(wide.GetScreen(), 1);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      ASSERT_EQ(small.GetPixelBuffer()[y * kW + x], Colour(x, y)) << x << "," << y;
      ASSERT_EQ(wide.GetPixelBuffer()[y * (kW + 3) + x], Colour(x, y)) << x << "," << y;
    }

  // (-1, -1) with the picture's own size: row 0 and column 0 stay, the rest
  // holds the screen from (0, 0).
  CPicture rect(6, 5, 1);
  for (int i = 0; i < 30; ++i) rect.GetPixelBuffer()[i] = 0x00ABCDEF;
  ASSERT_EQ(rect.GetScreenRect(-1, -1, -1, -1), 1);
  EXPECT_EQ(rect.GetMaskFlag(), 0);
  EXPECT_EQ(rect.GetPixelBuffer()[0], 0x00ABCDEFu);
  EXPECT_EQ(rect.GetPixelBuffer()[3], 0x00ABCDEFu);
  EXPECT_EQ(rect.GetPixelBuffer()[6], 0x00ABCDEFu);
  EXPECT_EQ(rect.GetPixelBuffer()[7], Colour(0, 0));
  EXPECT_EQ(rect.GetPixelBuffer()[4 * 6 + 5], Colour(4, 3));
  // Larger than the picture, or an 8-bit picture: nothing.
  EXPECT_EQ(rect.GetScreenRect(0, 0, 7, 5), 0);
  EXPECT_EQ(rect.GetScreenRect(kW, 0, 6, 5), 0);
}

TEST_F(CPictureTest, RasterBltShiftsEachRow) {
  CPicture p(4, 3, 1);
  Fill(p);
  std::memset(p.GetMask(), 255, 12);
  p.GetMask()[1] = 0;
  p.GetMask()[2] = 128;
  const int offsets[5] = {0, 2, -1, 100, 100};
  Clear(0);
  // Five rows asked of a three-row picture; rows 3 and 4 are not drawn.
  p.RasterBlt(nullptr, 10, 20, 0, 0, 4, 5, 0, offsets);
  EXPECT_EQ(At(10, 20), Colour(0, 0));
  EXPECT_EQ(At(12, 21), Colour(0, 1));
  EXPECT_EQ(At(9, 22), Colour(0, 2));
  EXPECT_EQ(CountChanged(0), 12);

  // Through the mask, with 255 - m as the screen's weight; rows above the
  // screen pass their table entries over with them.
  Clear(0x00FFFFFF);
  p.RasterBlt(&p, 0, -1, 0, 0, 4, 3, 1, offsets);
  EXPECT_EQ(At(2, 0), Colour(0, 1));  // row 1 at offset 2
  EXPECT_EQ(At(0, 1), Colour(1, 2));  // row 2 at -1: column 0 cut
  EXPECT_EQ(CountChanged(0x00FFFFFF), 4 + 3);

  Clear(0x00FFFFFF);
  const int flat[1] = {0};
  p.RasterBlt(nullptr, 0, 0, 0, 0, 4, 1, 1, flat);
  EXPECT_EQ(At(1, 0), 0x00FFFFFFu);
  const uint32_t s = Colour(2, 0);
  auto blend = [&](int shift) {
    return ((((s >> shift) & 0xFF) * 128) >> 8) + ((0xFF * 127) >> 8);
  };
  EXPECT_EQ(At(2, 0), blend(16) << 16 | blend(8) << 8 | blend(0));
  // Without a valid mask the masked form draws nothing.
  p.SetMaskFlag(0);
  Clear(0);
  p.RasterBlt(nullptr, 0, 0, 0, 0, 4, 3, 1, offsets);
  EXPECT_EQ(CountChanged(0), 0);
}

TEST_F(CPictureTest, SplitBltDrawsEitherSideOfTheSplit) {
  CPicture p(6, 4, 1);
  Fill(p);
  std::memset(p.GetMask(), 255, 24);
  const int splits[4] = {2, 3, 0, 6};
  Clear(0);
  p.SplitBltLeft(0, 0, 0, 0, 6, 4, 1, splits, 100);
  EXPECT_EQ(RowRun(0, 0), (std::pair<int, int>{0, 2}));
  EXPECT_EQ(RowRun(1, 0), (std::pair<int, int>{0, 3}));
  EXPECT_EQ(RowRun(2, 0), (std::pair<int, int>{-1, 0}));
  EXPECT_EQ(RowRun(3, 0), (std::pair<int, int>{0, 6}));
  Clear(0);
  p.SplitBltRight(0, 0, 0, 0, 6, 4, 1, splits, 100);
  EXPECT_EQ(RowRun(0, 0), (std::pair<int, int>{2, 4}));
  EXPECT_EQ(RowRun(2, 0), (std::pair<int, int>{0, 6}));
  EXPECT_EQ(RowRun(3, 0), (std::pair<int, int>{-1, 0}));
  EXPECT_EQ(At(2, 0), Colour(2, 0));

  // Cut at the top of the screen: the table moves on with the rows.
  Clear(0);
  p.SplitBltLeft(0, -1, 0, 0, 6, 4, 1, splits, 100);
  EXPECT_EQ(RowRun(0, 0), (std::pair<int, int>{0, 3}));
  // Percent 50 halves the source over black; nothing without the mask.
  Clear(0);
  p.SplitBltRight(0, 0, 0, 0, 6, 1, 1, splits, 50);
  EXPECT_EQ(At(2, 0), ((Colour(2, 0) >> 16 & 0xFF) * 127 >> 8) << 16 |
                          ((Colour(2, 0) >> 8 & 0xFF) * 127 >> 8) << 8 |
                          ((Colour(2, 0) & 0xFF) * 127 >> 8));
  Clear(0);
  p.SplitBltRight(0, 0, 0, 0, 6, 4, 0, splits, 100);
  EXPECT_EQ(CountChanged(0), 0);
}

}  // namespace
}  // namespace graphics_test
