#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/headless/headless.h"

namespace {

constexpr uint32_t kBack = 0xFF000000;
constexpr uint32_t kInk = 0x00204060;

std::string Cp(const char* utf8) { return platform::Utf8ToCp932(utf8); }

struct Ink {
  int count = 0;
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive bounds
  bool onlyInkOrBack = true;
  std::vector<uint32_t> pixels;
};

// Draws one cell at (8, 8) of a 128 x 128 surface.
Ink DrawCell(platform::GlyphFont& font, const std::string& cell) {
  Ink ink;
  ink.pixels.assign(128 * 128, kBack);
  font.DrawCell({ink.pixels.data(), 128, 128, 128}, 8, 8, cell.data(),
                static_cast<int>(cell.size()), kInk);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const uint32_t p = ink.pixels[static_cast<size_t>(y) * 128 + x];
      if (p == kBack) continue;
      if (p != kInk) ink.onlyInkOrBack = false;
      ++ink.count;
      ink.left = std::min(ink.left, x - 8);
      ink.right = std::max(ink.right, x - 8);
      ink.top = std::min(ink.top, y - 8);
      ink.bottom = std::max(ink.bottom, y - 8);
    }
  }
  return ink;
}

class FreeTypeGlyphs : public testing::Test {
 protected:
  void SetUp() override {
    platform::FontFile file;
    if (!platform::FindFontFile(Cp("ＭＳ ゴシック"), 400, &file) || file.family != "IPAGothic")
      GTEST_SKIP() << "IPAGothic is not installed (scripts/deps.sh)";
    glyphs_ = platform::CreateFreeTypeGlyphs();
  }
  std::unique_ptr<platform::GlyphFont> Open(const std::string& face, int size = 24,
                                            int weight = 400, bool italic = false,
                                            const std::string& fallback = std::string()) {
    return glyphs_->OpenFont({face, size, weight, italic, fallback});
  }
  std::shared_ptr<platform::GlyphService> glyphs_;
};

TEST_F(FreeTypeGlyphs, NamesOpenTheirFacesAndMissingOnesTheFallback) {
  struct Case {
    const char* utf8;
    const char* family;
  } cases[] = {
      {"ＭＳ ゴシック", "IPAGothic"}, {"MS ゴシック", "IPAGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"Consolas", "DejaVu Sans Mono"}, {"Courier New", "DejaVu Sans Mono"},
      {"", "IPAGothic"},                   // no name: the gothic face
      {"Zor No Such Face", "IPAGothic"},  // unknown: the Japanese fallback
      {"DejaVu Sans", "DejaVu Sans"},      // other names: asked of fontconfig
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Open(Cp(c.utf8))->Family(), c.family) << c.utf8;
  }
  // A face that cannot be found takes the renderer's fallback face of its
  // font kind and text mode; one that is found keeps its own.
  const struct {
    const char* utf8;
    const char* fallback;
    const char* family;
  } fallbacks[] = {
      {"Zor No Such Face", "ＭＳ 明朝", "IPAMincho"},
      {"Zor No Such Face", "Courier New", "DejaVu Sans Mono"},
      {"Zor No Such Face", "ＭＳ ゴシック", "IPAGothic"},
      {"ＭＳ ゴシック", "ＭＳ 明朝", "IPAGothic"},
  };
  for (const auto& c : fallbacks) {
    EXPECT_EQ(Open(Cp(c.utf8), 24, 400, false, Cp(c.fallback))->Family(), c.family)
        << c.utf8 << " / " << c.fallback;
  }
  EXPECT_EQ(platform::FaceKindOf(Cp("ｍｓ　明朝")), platform::FaceKind::kMincho);
  EXPECT_EQ(platform::FaceKindOf(Cp("游ゴシック")), platform::FaceKind::kOther);
  // An unknown name still draws Japanese text.
  auto unknown = Open(Cp("Zor No Such Face"));
  EXPECT_GT(DrawCell(*unknown, Cp("あ")).count, 50);
}

TEST_F(FreeTypeGlyphs, CellsAreSizedLikeTheWindowsFont) {
  auto font = Open(Cp("ＭＳ ゴシック"), 24);
  for (const char* utf8 : {"国", "あ", "Ａ", "―", "～"}) {
    Ink ink = DrawCell(*font, Cp(utf8));
    EXPECT_TRUE(ink.onlyInkOrBack) << utf8;
    EXPECT_GE(ink.left, 0) << utf8;
    EXPECT_LT(ink.right, 48) << utf8;
    EXPECT_GE(ink.top, 0) << utf8;
    EXPECT_LT(ink.bottom, 48) << utf8;
  }
  Ink full = DrawCell(*font, Cp("国"));
  EXPECT_GT(full.right - full.left, 30);
  EXPECT_GT(full.bottom - full.top, 30);
  for (const char* half : {"M", "W", "0"}) {
    Ink ink = DrawCell(*font, half);
    EXPECT_TRUE(ink.onlyInkOrBack);
    EXPECT_GE(ink.left, 0) << half;
    EXPECT_LT(ink.right, 24) << half;
    EXPECT_LT(ink.bottom, 48) << half;
    EXPECT_GT(ink.right - ink.left, 10) << half;
  }
  // The monospace face keeps its half-width cells s wide too, and takes
  // the characters it lacks from the gothic face.
  auto mono = Open("Consolas", 24);
  Ink m = DrawCell(*mono, "M");
  EXPECT_GE(m.left, 0);
  EXPECT_LT(m.right, 25);
  EXPECT_EQ(DrawCell(*mono, Cp("国")).pixels, full.pixels);
}

TEST_F(FreeTypeGlyphs, DashAndWaveComeFromTheirWindowsCodes) {
  auto font = Open(Cp("ＭＳ ゴシック"));
  Ink dash = DrawCell(*font, "\x81\x5C");  // U+2015
  Ink wave = DrawCell(*font, "\x81\x60");  // U+FF5E
  EXPECT_GT(dash.count, 0);
  EXPECT_GT(wave.count, 0);
  // A horizontal bar: wide and flat.
  EXPECT_GT(dash.right - dash.left, 30);
  EXPECT_LT(dash.bottom - dash.top, 8);
  EXPECT_NE(dash.pixels, wave.pixels);
}

TEST_F(FreeTypeGlyphs, UnconvertibleOrBlankCellsDrawNothing) {
  auto font = Open(Cp("ＭＳ ゴシック"));
  for (const std::string& cell : {std::string("\x82\x20", 2), std::string("\xA0", 1),
                                  std::string(" ", 1), std::string("\x81\x40", 2),
                                  std::string("\xF0\x40", 2)}) {
    EXPECT_EQ(DrawCell(*font, cell).count, 0);
  }
}

TEST_F(FreeTypeGlyphs, BoldInksMoreAndItalicLeans) {
  auto regular = Open(Cp("ＭＳ ゴシック"), 24, 400);
  auto bold = Open(Cp("ＭＳ ゴシック"), 24, 700);
  auto italic = Open(Cp("ＭＳ ゴシック"), 24, 400, true);
  Ink r = DrawCell(*regular, Cp("国"));
  Ink b = DrawCell(*bold, Cp("国"));
  Ink i = DrawCell(*italic, Cp("国"));
  EXPECT_GT(b.count, r.count + r.count / 10);
  EXPECT_NE(i.pixels, r.pixels);
  // Drawing again comes from the glyph cache and gives the same pixels.
  EXPECT_EQ(DrawCell(*regular, Cp("国")).pixels, r.pixels);
}

TEST_F(FreeTypeGlyphs, ClipsToTheSurface) {
  auto font = Open(Cp("ＭＳ ゴシック"), 72);
  std::vector<uint32_t> small(16 * 16, kBack);
  const std::string cell = Cp("国");
  for (int x : {-100, -40, 0, 8, 15}) {
    font->DrawCell({small.data(), 16, 16, 16}, x, x, cell.data(), 2, kInk);
  }
  SUCCEED();  // AddressSanitizer reports any write outside
}

}  // namespace

// Run by CTest with a fontconfig configuration that lists no font
// (ZOR_NO_FONTS set): every font draws blank, and the log says why once.
TEST(FreeTypeWithoutFonts, FontsDrawBlankAndTheReasonIsLoggedOnce) {
  if (!std::getenv("ZOR_NO_FONTS")) GTEST_SKIP() << "run with a configuration of no fonts";
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetErrorEcho(false);
  auto glyphs = platform::CreateFreeTypeGlyphs();
  for (int size : {24, 16}) {
    auto font = glyphs->OpenFont({Cp("ＭＳ ゴシック"), size, 400, false, ""});
    EXPECT_EQ(DrawCell(*font, Cp("国")).count, 0);
  }
  const std::vector<std::string> lines = host.ErrorLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("fontconfig finds no font"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(Cp("ＭＳ ゴシック")), std::string::npos) << lines[0];
}
