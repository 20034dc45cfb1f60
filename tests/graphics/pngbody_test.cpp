// Picture files with PNG bodies (type '8'): every colour type and bit depth
// converted by the reader's rules, alpha and transparency chunks as the
// mask, header boxes, and streams that are damaged, cut short or of another
// size than their header says.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/pngreader.h"
#include "picture_fixture.h"

namespace graphics_test {
namespace {

using dwqtool::PngImage;

int Channels(int type) { return type == 0 || type == 3 ? 1 : type == 2 ? 3 : type == 4 ? 2 : 4; }

// A w x h image whose samples run through every value of the depth.
PngImage Image(int type, int depth, int w, int h) {
  PngImage im;
  im.width = w;
  im.height = h;
  im.colourType = type;
  im.bitDepth = depth;
  const uint32_t top = (1u << depth) - 1;
  const size_t count = static_cast<size_t>(w) * h * Channels(type);
  for (size_t i = 0; i < count; ++i)
    im.samples.push_back(static_cast<uint16_t>((i * 2654435761u >> 7) & top));
  if (type == 3) {
    for (uint32_t i = 0; i <= std::min(top, 40u); ++i)
      im.palette.push_back((0x00103070u * (i + 1)) & 0xFFFFFFu);
  }
  return im;
}

// What the reader's rules make of pixel i.
uint32_t ExpectedPixel(const PngImage& im, size_t i) {
  const int c = Channels(im.colourType), d = im.bitDepth;
  const uint16_t* s = &im.samples[i * c];
  auto high = [&](uint16_t v) { return d == 16 ? uint32_t{v} >> 8 : uint32_t{v}; };
  switch (im.colourType) {
    case 3:
      return s[0] < im.palette.size() ? im.palette[s[0]] : 0;
    case 0:
    case 4:
      if (d < 8) return s[0] * (0xFFFFFFu / ((1u << d) - 1));
      return high(s[0]) * 0x010101u;
    default:
      return high(s[0]) << 16 | high(s[1]) << 8 | high(s[2]);
  }
}

// The mask byte of pixel i, or -1 when the picture has no mask.
int ExpectedMask(const PngImage& im, size_t i) {
  const int c = Channels(im.colourType), d = im.bitDepth;
  const uint16_t* s = &im.samples[i * c];
  switch (im.colourType) {
    case 4:
    case 6:
      return d == 16 ? s[c - 1] >> 8 : s[c - 1];
    case 3:
      if (im.paletteAlpha.empty()) return -1;
      return s[0] < im.paletteAlpha.size() ? im.paletteAlpha[s[0]] : 255;
    case 0:
      if (!im.transColour) return -1;
      return s[0] == im.transGrey ? 0 : 255;
    default:
      if (!im.transColour) return -1;
      return s[0] == im.transRed && s[1] == im.transGreen && s[2] == im.transBlue ? 0 : 255;
  }
}

class PngBodyTest : public PictureTest {
 protected:
  std::vector<uint8_t> Png(const PngImage& im) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(dwqtool::EncodePng(im, &out, &error)) << error;
    return out;
  }
  // A type '8' picture file around a PNG stream, the header saying w x h.
  std::vector<uint8_t> File(const std::vector<uint8_t>& png, int w, int h, bool box = false,
                            dwqtool::Box edges = {}) {
    dwqtool::Options options;
    options.body = dwqtool::BodyType::kPng;
    options.headerBox = box;
    options.autoBox = false;
    options.box = edges;
    return dwqtool::AssembleFile(options, w, h, png, {});
  }
  void Check(const PngImage& im, const std::string& what) {
    WriteDwq("png", File(Png(im), im.width, im.height));
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("png"), 1) << what;
    ASSERT_EQ(picture.GetWidth(), im.width) << what;
    ASSERT_EQ(picture.GetHeight(), im.height) << what;
    const size_t count = static_cast<size_t>(im.width) * im.height;
    const bool masked = ExpectedMask(im, 0) >= 0;
    EXPECT_EQ(picture.GetMaskFlag(), masked ? 1 : 0) << what;
    for (size_t i = 0; i < count; ++i) {
      ASSERT_EQ(picture.GetPixelBuffer()[i], ExpectedPixel(im, i)) << what << " pixel " << i;
      if (masked) {
        ASSERT_EQ(picture.GetMask()[i], ExpectedMask(im, i)) << what << " mask " << i;
      }
    }
  }
};

TEST_F(PngBodyTest, EveryColourTypeAndDepthConverts) {
  struct Case {
    int type, depth;
  } cases[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  for (const Case& c : cases) {
    for (bool interlaced : {false, true}) {
      // Odd widths leave a partly used last byte in low-depth rows.
      PngImage im = Image(c.type, c.depth, 13, 7);
      im.interlaced = interlaced;
      Check(im, "type " + std::to_string(c.type) + " depth " + std::to_string(c.depth) +
                    (interlaced ? " interlaced" : ""));
    }
  }
}

TEST_F(PngBodyTest, TransparencyChunksBecomeTheMask) {
  // Palette: alpha for the first indices, 255 beyond them.
  for (int depth : {2, 8}) {
    PngImage im = Image(3, depth, 9, 5);
    im.paletteAlpha = {0, 128, 7};
    Check(im, "palette depth " + std::to_string(depth));
  }
  // Grey: the transparent value at the picture's depth (both bytes at 16).
  for (int depth : {1, 4, 8, 16}) {
    PngImage im = Image(0, depth, 11, 4);
    im.transColour = true;
    im.transGrey = im.samples[3];
    if (depth == 16)
      im.samples[5] = static_cast<uint16_t>(im.transGrey ^ 0x0001);  // low byte differs
    Check(im, "grey depth " + std::to_string(depth));
  }
  // RGB: all three must match.
  for (int depth : {8, 16}) {
    PngImage im = Image(2, depth, 6, 6);
    im.transColour = true;
    im.transRed = im.samples[0];
    im.transGreen = im.samples[1];
    im.transBlue = im.samples[2];
    im.samples[3] = im.samples[0];
    im.samples[4] = im.samples[1];
    im.samples[5] = static_cast<uint16_t>(im.samples[2] ^ 1);  // one channel differs
    Check(im, "RGB depth " + std::to_string(depth));
  }
}

TEST_F(PngBodyTest, RgbaGivesItsAlphaAsMaskAndOpaquePixels) {
  PngImage im;
  im.width = 4;
  im.height = 1;
  im.colourType = 6;
  im.samples = {255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255, 9, 8, 7, 1};
  WriteDwq("rgba", File(Png(im), 4, 1));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("rgba"), 1);
  const uint32_t* px = picture.GetPixelBuffer();
  EXPECT_EQ(std::vector<uint32_t>(px, px + 4),
            (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x090807}));
  ASSERT_EQ(picture.GetMaskFlag(), 1);
  EXPECT_EQ(std::vector<uint8_t>(picture.GetMask(), picture.GetMask() + 4),
            (std::vector<uint8_t>{0, 128, 255, 1}));
}

TEST_F(PngBodyTest, SixteenColourPaletteWithoutChunkHasNoMaskAndBlackBeyond) {
  PngImage im;
  im.width = 20;
  im.height = 1;
  im.colourType = 3;
  for (uint32_t i = 0; i < 16; ++i) im.palette.push_back(0x00111111u * (i % 15 + 1));
  for (uint16_t i = 0; i < 20; ++i) im.samples.push_back(i);  // 16..19 lie past the palette
  WriteDwq("pal", File(Png(im), 20, 1, /*box=*/true, {2, 0, 5, 1}));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("pal"), 1);
  EXPECT_EQ(picture.GetMaskFlag(), 0);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(picture.GetPixelBuffer()[i], i < 16 ? im.palette[i] : 0u) << i;
  // Without a mask the header box is not used: the whole picture draws.
  Clear(0x00ABCDEF);
  picture.Put(0, 0, 0);
  EXPECT_EQ(DrawnRect(0x00ABCDEF), (std::vector<int>{0, 0, 20, 1}));
}

TEST_F(PngBodyTest, HeaderBoxIsUsedWithAlpha) {
  PngImage im = Image(6, 8, 10, 6);
  for (size_t i = 3; i < im.samples.size(); i += 4) im.samples[i] = 255;
  WriteDwq("boxed", File(Png(im), 10, 6, /*box=*/true, {2, 1, 7, 5}));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("boxed"), 1);
  ASSERT_EQ(picture.GetMaskFlag(), 1);
  Clear(0);
  picture.Put(0, 0, 0);
  EXPECT_EQ(DrawnRect(0), (std::vector<int>{2, 1, 7, 5}));
}

TEST_F(PngBodyTest, RefusesAPngOfAnotherSizeThanItsHeader) {
  const std::vector<uint8_t> png = Png(Image(2, 8, 8, 4));
  SetLoadDwqErrorFlag(1);
  for (auto [w, h] : {std::pair{8, 5}, std::pair{7, 4}, std::pair{4, 8}, std::pair{80, 40}}) {
    WriteDwq("sized", File(png, w, h));
    CPicture picture;
    host_->ClearBoxes();
    EXPECT_EQ(picture.LoadDWQ("sized"), 0) << w << "x" << h;
    EXPECT_EQ(picture.IsLoaded(), 0);
    EXPECT_STREQ(picture.GetName(), "");
    ASSERT_EQ(host_->Boxes().size(), 1u);
    EXPECT_EQ(host_->Boxes()[0].text, "LOAD DWQ ERROR(Bad File)\nsized\nmode=0");
  }
  WriteDwq("sized", File(png, 8, 4));
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("sized"), 1);
}

TEST_F(PngBodyTest, DamagedStreamsFailCleanly) {
  PngImage im = Image(6, 8, 12, 9);
  im.interlaced = true;
  const std::vector<uint8_t> good = Png(im);
  SetLoadDwqErrorFlag(0);
  std::mt19937 random(11);
  std::vector<std::vector<uint8_t>> streams;
  for (size_t n = 0; n < good.size(); n += 5) streams.emplace_back(good.begin(), good.begin() + n);
  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> s = good;
    for (int k = 0; k < 1 + round % 4; ++k)
      s[8 + random() % (s.size() - 8)] ^= 1u << (random() % 8);
    streams.push_back(s);
  }
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> s(good.begin(), good.begin() + 8);  // the signature, then noise
    for (int k = 0; k < 200; ++k) s.push_back(static_cast<uint8_t>(random()));
    streams.push_back(s);
  }
  CPicture keeper;
  int failed = 0;
  for (const auto& s : streams) {
    WriteDwq("bad", File(s, 12, 9));
    CPicture picture;
    if (!picture.LoadDWQ("bad")) {
      ++failed;
      EXPECT_EQ(picture.IsLoaded(), 0);
      EXPECT_STREQ(picture.GetName(), "");
    }
    Clear(0);
    picture.Put(0, 0, 1);
  }
  // Every cut stream fails; most damaged ones do (a flipped bit in a
  // chunk's CRC-less spot may still read).
  EXPECT_GE(failed, static_cast<int>(good.size() / 5) + 20);
  // The reader stays usable afterwards.
  WriteDwq("good", File(good, 12, 9));
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("good"), 1);
  EXPECT_EQ(picture.GetMaskFlag(), 1);
}

TEST_F(PngBodyTest, ReaderBuffersGrowForLargerPictures) {
  // The reader starts with 4 MB of rows; a 16-bit RGBA picture of 1000 x
  // 700 needs 5.6 MB, and a small one afterwards reuses the block.
  PngImage big = Image(6, 16, 1000, 700);
  PngImage small = Image(0, 8, 3, 3);
  for (const PngImage* im : {&small, &big, &small}) {
    WriteDwq("grow", File(Png(*im), im->width, im->height));
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("grow"), 1);
    const size_t last = static_cast<size_t>(im->width) * im->height - 1;
    EXPECT_EQ(picture.GetPixelBuffer()[last], ExpectedPixel(*im, last));
  }
}

}  // namespace
}  // namespace graphics_test
