// Plain .ico files for the window icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sdl/sdl_icon.h"

namespace platform::sdl {
namespace {

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// One icon image: header, colour rows bottom-up, then the mask rows.
// pixels are 0xAARRGGBB top-down; mask bits (set = transparent) top-down.
std::string Image(int w, int h, int bits, const std::vector<uint32_t>& pixels,
                  const std::vector<std::vector<int>>& mask, bool withMask = true) {
  std::string s;
  Put32(&s, 40);
  Put32(&s, static_cast<uint32_t>(w));
  Put32(&s, static_cast<uint32_t>(h * 2));
  Put16(&s, 1);
  Put16(&s, static_cast<uint32_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(&s, 0);
  size_t rowBytes = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      uint32_t p = pixels[static_cast<size_t>(y) * w + x];
      row.push_back(static_cast<char>(p & 0xFF));
      row.push_back(static_cast<char>((p >> 8) & 0xFF));
      row.push_back(static_cast<char>((p >> 16) & 0xFF));
      if (bits == 32) row.push_back(static_cast<char>(p >> 24));
    }
    row.resize(rowBytes, '\0');
    s += row;
  }
  if (withMask) {
    size_t maskRow = (static_cast<size_t>(w) + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
      std::string row(maskRow, '\0');
      for (int x = 0; x < w; ++x) {
        if (!mask.empty() && mask[y][x]) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      }
      s += row;
    }
  }
  return s;
}

std::string Ico(const std::vector<std::pair<int, std::string>>& images) {
  std::string s;
  Put16(&s, 0);
  Put16(&s, 1);
  Put16(&s, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const auto& [side, bytes] : images) {
    s.push_back(static_cast<char>(side));
    s.push_back(static_cast<char>(side));
    s.push_back(0);
    s.push_back(0);
    Put16(&s, 1);
    Put16(&s, 32);
    Put32(&s, static_cast<uint32_t>(bytes.size()));
    Put32(&s, offset);
    offset += static_cast<uint32_t>(bytes.size());
  }
  for (const auto& image : images) s += image.second;
  return s;
}

TEST(SdlIcon, ThirtyTwoBitKeepsItsAlpha) {
  std::vector<uint32_t> px = {0xFF112233, 0x80445566, 0x00000000, 0xFFABCDEF};
  IconImage icon;
  ASSERT_TRUE(DecodeIco(Ico({{2, Image(2, 2, 32, px, {})}}), &icon));
  EXPECT_EQ(icon.width, 2);
  EXPECT_EQ(icon.height, 2);
  EXPECT_EQ(icon.argb, px);
}

TEST(SdlIcon, MaskGivesTransparencyWhenThereIsNoAlpha) {
  // 24-bit, and 32-bit with every alpha byte zero (old icons): the mask decides.
  std::vector<uint32_t> px = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0x010203, 0x040506};
  std::vector<std::vector<int>> mask = {{0, 1, 0}, {1, 0, 0}};
  for (int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    IconImage icon;
    ASSERT_TRUE(DecodeIco(Ico({{3, Image(3, 2, bits, px, mask)}}), &icon));
    ASSERT_EQ(icon.argb.size(), 6u);
    EXPECT_EQ(icon.argb[0], 0xFF112233u);
    EXPECT_EQ(icon.argb[1], 0x00445566u);
    EXPECT_EQ(icon.argb[3], 0x00AABBCCu);
    EXPECT_EQ(icon.argb[5], 0xFF040506u);
  }
  // A 24-bit image whose mask is cut off is opaque.
  IconImage icon;
  ASSERT_TRUE(DecodeIco(Ico({{3, Image(3, 2, 24, px, mask, false)}}), &icon));
  EXPECT_EQ(icon.argb[1], 0xFF445566u);
}

TEST(SdlIcon, PicksThirtyTwoBitThenLargest) {
  std::vector<uint32_t> small(4, 0xFF000001), big24(16, 0x000002), big32(9, 0xFF000003);
  IconImage icon;
  ASSERT_TRUE(DecodeIco(Ico({{2, Image(2, 2, 32, small, {})},
                             {4, Image(4, 4, 24, big24, {})},
                             {3, Image(3, 3, 32, big32, {})}}),
                        &icon));
  EXPECT_EQ(icon.width, 3);
  EXPECT_EQ(icon.argb[0], 0xFF000003u);
}

TEST(SdlIcon, RefusesWhatIsNotAPlainIcon) {
  std::vector<uint32_t> px(4, 0xFF000000);
  std::string good = Ico({{2, Image(2, 2, 32, px, {})}});
  IconImage icon;
  ASSERT_TRUE(DecodeIco(good, &icon));

  std::vector<std::string> bad;
  bad.push_back("");
  bad.push_back("BM\x10\x00");
  bad.push_back(good.substr(0, 10));                 // directory cut short
  bad.push_back(good.substr(0, good.size() - 20));   // image past the end of the file
  std::string shortRows = good.substr(0, 22 + 40 + 8);
  shortRows[6 + 8] = 48;                             // colour rows cut short
  bad.push_back(shortRows);
  std::string wrongType = good;
  wrongType[2] = 2;                                  // a cursor file
  bad.push_back(wrongType);
  std::string farOffset = good;
  farOffset[6 + 12 + 3] = 0x7F;                      // image offset past the end
  bad.push_back(farOffset);
  std::string hugeSize = good;
  hugeSize[6 + 8 + 3] = static_cast<char>(0xFF);     // image size past the end
  bad.push_back(hugeSize);
  std::string eightBit = good;
  eightBit[22 + 14] = 8;                             // palette images are not handled
  bad.push_back(eightBit);
  std::string compressed = good;
  compressed[22 + 16] = 1;
  bad.push_back(compressed);
  std::string oddHeight = good;
  oddHeight[22 + 8] = 3;
  bad.push_back(oddHeight);
  std::string pngEntry = Ico({{2, std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0')}});
  bad.push_back(pngEntry);
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(DecodeIco(bad[i], &icon));
  }
}

}  // namespace
}  // namespace platform::sdl
