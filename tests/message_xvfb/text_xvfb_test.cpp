// Kana, kanji, full-width Latin, "―" and "～" through FreeType on the SDL
// backend, with a shadow and with a full outline, and a page laid out by
// CTextPrint (colour codes, a reading, the sample game's ellipsis and dash
// glyphs), checked in the window's screenshot.
#include <gtest/gtest.h>
#include <png.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "message/textstate.h"
#include "platform/backend.h"
#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/sdl/sdl.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

constexpr int kW = 400, kH = 120, kSize = 24;
constexpr uint32_t kBack = 0x404040, kText = 0xFFFFFF, kOutline = 0x0000FF;
const char* const kChars[] = {"あ", "ア", "国", "語", "Ａ", "Ｚ", "―", "～"};
constexpr int kCount = 8;
constexpr int kLineY[2] = {20, 70};

using Cell = std::vector<uint8_t>;  // kSize x kSize: 1 where inked

std::vector<uint32_t> ReadPng(const std::string& path, int* w, int* h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint32_t> pixels;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
  image.format = PNG_FORMAT_BGRA;
  pixels.resize(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
  *w = static_cast<int>(image.width);
  *h = static_cast<int>(image.height);
  for (uint32_t& p : pixels) p &= 0x00FFFFFF;
  return pixels;
}

// The face's missing-glyph image (glyph 0) at cell height 48, reduced to ink
// at screen resolution and placed on the baseline as the rasteriser places it.
Cell MissingGlyph() {
  Cell cell(kSize * kSize, 0);
  platform::FontFile file;
  if (!platform::FindFontFile(platform::Utf8ToCp932("ＭＳ ゴシック"), 400, &file)) return cell;
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) != 0) return cell;
  if (FT_New_Face(library, file.path.c_str(), file.index, &face) == 0) {
    const FT_Long upem = face->units_per_EM;
    const FT_Long height = face->ascender - face->descender;
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(2 * kSize * 64 * upem / height), 72, 72);
    const int baseline = static_cast<int>((int64_t{face->ascender} * 2 * kSize * 64 / height + 32) >> 6);
    if (FT_Load_Glyph(face, 0, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0 &&
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
      const FT_Bitmap& bm = face->glyph->bitmap;
      for (unsigned row = 0; row < bm.rows; ++row)
        for (unsigned col = 0; col < bm.width; ++col) {
          if (!(bm.buffer[row * bm.pitch + col / 8] >> (7 - col % 8) & 1)) continue;
          const int x = (face->glyph->bitmap_left + static_cast<int>(col)) / 2;
          const int y = (baseline - face->glyph->bitmap_top + static_cast<int>(row)) / 2;
          if (x >= 0 && y >= 0 && x < kSize && y < kSize) cell[static_cast<size_t>(y) * kSize + x] = 1;
        }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return cell;
}

// How much two ink images agree: shared ink over all ink.
double Overlap(const Cell& a, const Cell& b) {
  int both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    both += a[i] && b[i];
    either += a[i] || b[i];
  }
  return either ? static_cast<double>(both) / either : 1.0;
}

// Installs the SDL backend and opens a window of client size w x h.
void OpenSdlWindow(int w, int h, platform::Window** window) {
  std::string error;
  std::unique_ptr<platform::Backend> backend = platform::CreateSdlBackend(&error);
  ASSERT_TRUE(backend) << error;
  platform::Install(std::move(backend));
  platform::WindowDesc desc;
  desc.clientWidth = w;
  desc.clientHeight = h;
  desc.title = "zor";
  *window = platform::CreateWindow(desc);
  ASSERT_NE(*window, nullptr);
}

TEST(RealFontsXvfb, KanaKanjiLatinDashAndWaveWithShadowAndOutline) {
  if (!std::getenv("ZOR_XVFB")) GTEST_SKIP() << "needs the display of xvfb-run";
  testsupport::TempDir dir;
  platform::Window* window = nullptr;
  ASSERT_NO_FATAL_FAILURE(OpenSdlWindow(kW, kH, &window));
  {
    CScreenBuffer screen(kW, kH, 0);
    std::fill_n(CScreenBuffer::GetBuffer(), kW * kH, kBack);
    ResetRenderSettings();
    CFontPrint font;
    std::string cells;
    for (const char* c : kChars) cells += platform::Utf8ToCp932(c);
    ASSERT_EQ(cells.size(), 2u * kCount);
    for (int line = 0; line < 2; ++line) {
      SetFukuroMoji(line == 0 ? 0 : 2);
      font.ClearTextLayer();
      font.BeginPrint(kSize);
      const int size = font.RenderLine(MakeLineKey(cells.c_str(), cells.c_str(), 2 * kCount),
                                       cells.data(), 255, 255, 255, 0, static_cast<int>(kOutline),
                                       nullptr, 0, kCount, nullptr, nullptr);
      font.DrawLine(10, kLineY[line], 0, 0, size & 0xFFFF, size >> 16);
      font.EndPrint();
    }
    const platform::FrameView frame{CScreenBuffer::GetBuffer(), kW, kH, kW * 4};
    const platform::Rect all{0, 0, kW, kH};
    window->Present(frame, &all, 1, false);
    ASSERT_TRUE(window->SaveScreenshot(dir / "shot.png"));
  }
  int w = 0, h = 0;
  const std::vector<uint32_t> shot = ReadPng(dir / "shot.png", &w, &h);
  if (const char* keep = std::getenv("ZOR_KEEP_SHOT")) {
    std::filesystem::copy_file(dir / "shot.png", keep,
                               std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_EQ(w, kW);
  ASSERT_EQ(h, kH);
  auto at = [&](int x, int y) {
    return x < 0 || y < 0 || x >= kW || y >= kH ? kBack : shot[static_cast<size_t>(y) * kW + x];
  };
  const Cell missing = MissingGlyph();
  for (int line = 0; line < 2; ++line) {
    std::vector<Cell> inks;
    for (int i = 0; i < kCount; ++i) {
      const int x0 = 10 + i * kSize, y0 = kLineY[line];
      Cell ink(kSize * kSize, 0);
      int full = 0, partial = 0, outline = 0;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
          const uint32_t p = at(x0 + x, y0 + y);
          if (p == kText) ++full;
          if (p != kText && p != kBack && p != kOutline) ++partial;
          if (p == kOutline) ++outline;
          ink[static_cast<size_t>(y) * kSize + x] = p != kBack && p != kOutline;
          if (p != kOutline) continue;
          // The outline lies one pixel round the glyph: the shadow down-right
          // of a fully inked pixel, the outline beside glyph ink.
          bool beside = false;
          if (line == 0) {
            beside = at(x0 + x - 1, y0 + y - 1) == kText;
          } else {
            for (int dy = -1; dy <= 1; ++dy)
              for (int dx = -1; dx <= 1; ++dx) {
                const uint32_t n = at(x0 + x + dx, y0 + y + dy);
                beside |= n != kBack && n != kOutline;
              }
          }
          EXPECT_TRUE(beside) << kChars[i] << " line " << line << " at " << x << "," << y;
        }
      EXPECT_GT(full, 0) << kChars[i] << " line " << line;
      EXPECT_GT(partial, 0) << kChars[i] << " line " << line;
      EXPECT_GT(outline, 0) << kChars[i] << " line " << line;
      EXPECT_LT(Overlap(ink, missing), 0.7) << kChars[i] << " looks like the missing glyph";
      inks.push_back(ink);
    }
    for (int a = 0; a < kCount; ++a)
      for (int b = a + 1; b < kCount; ++b)
        EXPECT_LT(Overlap(inks[static_cast<size_t>(a)], inks[static_cast<size_t>(b)]), 0.9)
            << kChars[a] << " and " << kChars[b] << " look alike";
  }
  ResetPictureLoader();
  ResetRenderSettings();
  platform::Uninstall();
}

// A page through the layout on the SDL backend: colour codes, a reading
// over two kanji and the special glyphs of "sys\\spfont24" as the sample
// game ships them.
TEST(RealFontsXvfb, PageThroughTheLayout) {
  if (!std::getenv("ZOR_XVFB")) GTEST_SKIP() << "needs the display of xvfb-run";
  constexpr int kPageH = 130, kLeft = 10, kPitch = 34;
  constexpr int kTop[3] = {20, 20 + kPitch, 20 + 2 * kPitch};
  testsupport::TempDir dir;
  std::filesystem::create_directories(dir / "dwq/sys");
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-spfont " + ZOR_SOURCE_DIR +
                              "/tools/spfont/spfont24.txt " + (dir / "dwq/sys/spfont24.dwq");
  ASSERT_EQ(std::system(command.c_str()), 0);
  platform::Window* window = nullptr;
  ASSERT_NO_FATAL_FAILURE(OpenSdlWindow(kW, kPageH, &window));
  ResetPictureLoader();
  // The special glyphs are a picture: the loader needs its decode buffer.
  ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
  ResetRenderSettings();
  ResetTextState();
  GetRenderSettings().rubiFlag = 1;
  {
    CScreenBuffer screen(kW, kPageH, 0);
    std::fill_n(CScreenBuffer::GetBuffer(), kW * kPageH, kBack);
    CFontPrint font;
    CTextPrint text(&font);
    const std::string page =
        platform::Utf8ToCp932("あ#赤い#青国\n漢字#［2かんじ］です\n…―――");
    text.Print(kLeft, kTop[0], page.c_str(), kSize, 255, 255, 255, 0, kPitch, -1);
    const platform::FrameView frame{CScreenBuffer::GetBuffer(), kW, kPageH, kW * 4};
    const platform::Rect all{0, 0, kW, kPageH};
    window->Present(frame, &all, 1, false);
    ASSERT_TRUE(window->SaveScreenshot(dir / "page.png"));
  }
  int w = 0, h = 0;
  const std::vector<uint32_t> shot = ReadPng(dir / "page.png", &w, &h);
  ASSERT_EQ(w, kW);
  ASSERT_EQ(h, kPageH);
  auto at = [&](int x, int y) { return shot[static_cast<size_t>(y) * kW + x]; };
  // Pixels of exactly `colour` in cell i of a line, and pixels that are not
  // the background in a box.
  auto count = [&](int line, int cell, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) n += at(kLeft + cell * kSize + x, kTop[line] + y) == colour;
    return n;
  };
  auto inked = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) != kBack;
    return n;
  };
  // Line 0: white, then red after "#赤", blue after "#青".
  EXPECT_GT(count(0, 0, 0xFFFFFF), 0);
  EXPECT_GT(count(0, 1, 0xFF0000), 0);
  EXPECT_EQ(count(0, 1, 0xFFFFFF), 0);
  EXPECT_GT(count(0, 2, 0x0000FF), 0);
  // Line 1: the reading stands above the two kanji only.
  const int r = kSize * 40 / 100;
  EXPECT_GT(inked(kLeft, kTop[1] - r, kLeft + 2 * kSize, kTop[1]), 0);
  EXPECT_EQ(inked(kLeft + 2 * kSize, kTop[1] - r, kLeft + 4 * kSize, kTop[1]), 0);
  EXPECT_GT(inked(kLeft + 2 * kSize, kTop[1], kLeft + 4 * kSize, kTop[1] + kSize), 0);
  // Line 2: the ellipsis glyph's three dots, then the dashes as one bar.
  for (int x : {4, 12, 20}) EXPECT_EQ(at(kLeft + x, kTop[2] + 14), 0xFFFFFFu) << x;
  for (int x : {8, 16}) EXPECT_EQ(at(kLeft + x, kTop[2] + 14), kBack) << x;
  for (int x = 3; x < 69; ++x) EXPECT_EQ(at(kLeft + kSize + x, kTop[2] + 12), 0xFFFFFFu) << x;
  ResetPictureLoader();
  ResetRenderSettings();
  ResetTextState();
  platform::Uninstall();
}

}  // namespace
