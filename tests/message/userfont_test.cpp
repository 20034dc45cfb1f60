#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/userfont.h"
#include "message_fixture.h"

namespace message_test {
namespace {

std::string Header(const char* size, char depth) {
  std::string h(64, '\0');
  h.replace(41, 3, size);
  h[57] = depth;
  return h;
}

class UserFontTest : public MessageTest {};

TEST_F(UserFontTest, HeaderGivesSizeDepthAndStride) {
  struct Case {
    const char* size;
    char depth;
    int stride;
  } cases[] = {{"024", '4', 24}, {"020", '8', 24}, {"001", '2', 8}, {"100", '2', 104}};
  for (const auto& c : cases) {
    CUserFont font(nullptr);
    ASSERT_TRUE(font.LoadImage(Header(c.size, c.depth))) << c.size;
    EXPECT_EQ(font.GetSize(), std::stoi(c.size));
    EXPECT_EQ(font.GetDepth(), c.depth - '0');
    EXPECT_EQ(font.GetStride(), c.stride);
  }
}

TEST_F(UserFontTest, MalformedHeadersAreRefused) {
  for (const std::string& image :
       {std::string(63, '\0'), Header("0a4", '4'), Header("000", '4'), Header("024", '3'),
        Header("024", '1'), Header("024", '\0')}) {
    CUserFont font(nullptr);
    EXPECT_FALSE(font.LoadImage(image));
    EXPECT_FALSE(font.IsValid());
  }
}

TEST_F(UserFontTest, GlyphNumbers) {
  struct Case {
    unsigned char lead, trail;
    int number;
  } cases[] = {{0x82, 0xA0, 289}, {0xE0, 0x40, 5953}, {0x81, 0x3F, 0},  {0x80, 0x40, -1},
               {0xA0, 0x40, -1},  {0xDF, 0x40, -1},   {0xF0, 0x40, -1}, {0x82, 0x3E, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(CUserFont::GlyphNumber(c.lead, c.trail), c.number) << std::hex << +c.lead;
}

TEST_F(UserFontTest, ThreeDepthsDecodeWhatTheWriterWrote) {
  // A 20-pixel glyph (stride 24) with every coverage step.
  mfttool::Font font;
  font.size = 20;
  std::vector<uint8_t> grid(400);
  for (int i = 0; i < 400; ++i) grid[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 37);
  font.glyphs[CUserFont::GlyphNumber(0x82, 0xA0)] = grid;
  for (int depth : {8, 4, 2}) {
    font.depth = depth;
    const std::vector<uint8_t> bytes = mfttool::MakeMft(font);
    EXPECT_EQ(bytes.size(), 64u + 290u * 24 * 24 * depth / 8);
    CUserFont reader(nullptr);
    ASSERT_TRUE(reader.LoadImage(std::string(bytes.begin(), bytes.end())));
    const uint8_t* g = reader.GetGlyph("\x82\xA0");
    for (int i = 0; i < 400; ++i) {
      const int v = grid[static_cast<size_t>(i)];
      const int want = depth == 8 ? v : depth == 4 ? (v >> 4) * 17 : (v >> 6) * 85;
      ASSERT_EQ(g[i], want) << "depth " << depth << " pixel " << i;
    }
    // Other cells: blank outside the ranges and past the end of the file.
    for (const char* blank : {"\x82\x9F", "\xA1\x40", "\x40\x40", "\x82\x30", "\xEF\xFC"}) {
      const uint8_t* b = reader.GetGlyph(blank);
      for (int i = 0; i < 400; ++i) ASSERT_EQ(b[i], 0) << i;
    }
  }
}

TEST_F(UserFontTest, LoadsFromTheGameFolderOrSaysWhy) {
  WriteUserFont("good", "size 8\ndepth 2\nglyph 82A0\n########\n" + std::string("........\n") +
                            "........\n........\n........\n........\n........\n########\n");
  CUserFont good("good");
  EXPECT_TRUE(good.IsValid());
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(good.GetGlyph("\x82\xA0")[0], 255);
  EXPECT_EQ(good.GetGlyph("\x82\xA0")[8], 0);
  CUserFont missing("missing");
  EXPECT_FALSE(missing.IsValid());
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].text, "missing");
}

TEST_F(UserFontTest, WriterRefusesMalformedText) {
  mfttool::Font font;
  std::string error;
  for (const char* text : {"size 0\n", "size 2\ndepth 3\n", "glyph 82A0\n", "size 2\nglyph 82A0\n##\n",
                           "size 2\nglyph 82A0\n##\n#x\n", "size 2\nglyph ZZ\n##\n##\n", "what\n"}) {
    EXPECT_FALSE(mfttool::ParseFontText(text, &font, &error)) << text;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace message_test
