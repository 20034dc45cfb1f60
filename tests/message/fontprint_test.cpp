#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics/picture.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "platform/glyphs.h"
#include "message_fixture.h"
#include "setup/setuplist.h"

namespace message_test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
const char kA[] = "\x82\xA0";  // あ: holes at out (4,4), (8,4), (4,6), (8,8)

uint32_t ColorRef(uint32_t rgb) {
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

class FontPrintTest : public MessageTest {
 protected:
  // Renders cells (n of them) at size; the result word.
  int Render(CFontPrint& f, const std::string& cells, int n, int size, uint32_t rgb,
             int outline = -1, int spacing = 0, const uint32_t* colours = nullptr,
             const std::vector<AnnotationRecord>& records = {},
             const std::vector<const char*>& texts = {}) {
    f.BeginPrint(size);
    const LineKey key = MakeLineKey(cells.c_str(), cells.c_str(), static_cast<int>(cells.size()));
    const int result = f.RenderLine(key, cells.data(), static_cast<int>(rgb >> 16 & 0xFF),
                                    static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF),
                                    spacing, outline, colours, static_cast<int>(records.size()), n,
                                    records.empty() ? nullptr : records.data(),
                                    texts.empty() ? nullptr : texts.data());
    f.EndPrint();
    return result;
  }
  static uint8_t Mask(const CPicture* p, int x, int y) {
    return p->GetMask()[static_cast<size_t>(y) * p->GetWidth() + x];
  }
  static uint32_t Pixel(const CPicture* p, int x, int y) {
    return p->GetPixelBuffer()[static_cast<size_t>(y) * p->GetWidth() + x];
  }
  // A special glyph 1 that is one 2 x 2 dot at DIB (20, 20): out (10, 10).
  void WriteDotGlyph() {
    WriteSpecialFont(2, [](int g, int x, int y) {
      return g == 1 ? (x == 20 || x == 21) && (y == 20 || y == 21)
                    : x >= 10 && x <= 29 && y >= 6 && y <= 25;
    });
  }
};

// The host is asked for the configured face with the fallback face of the
// font kind and the text mode, which it takes when the face is missing.
TEST_F(FontPrintTest, FacesAreAskedForWithTheFallbackOfTheirKindAndTextMode) {
  struct Recorder : platform::GlyphService {
    std::unique_ptr<platform::GlyphFont> OpenFont(const platform::GlyphFontDesc& desc) override {
      asked.push_back(desc);
      return inner->OpenFont(desc);
    }
    std::shared_ptr<platform::GlyphService> inner = platform::CreateSyntheticGlyphs();
    std::vector<platform::GlyphFontDesc> asked;
  };
  const struct {
    int codeByte, fontKind;
    const char* fallback;
  } cases[] = {
      {2, 0, "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e"},  // ＭＳ ゴシック
      {2, 1, "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9"},                  // ＭＳ 明朝
      {1, 0, "Consolas"},
      {1, 1, "Courier New"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fallback);
    ResetRenderSettings();
    GetRenderSettings().codeByte = c.codeByte;
    GetRenderSettings().fontKind = c.fontKind;
    GetRenderSettings().faceName = "Zor Face";
    auto recorder = std::make_shared<Recorder>();
    host_->SetGlyphService(recorder);
    {
      CFontPrint f;
      f.BeginPrint(20);
      f.EndPrint();
    }
    host_->SetGlyphService(nullptr);
    ASSERT_FALSE(recorder->asked.empty());
    EXPECT_EQ(recorder->asked.back().face, "Zor Face");
    EXPECT_EQ(recorder->asked.back().fallback, c.fallback);
  }
}

TEST_F(FontPrintTest, CoverageLevelsAndAveragedColour) {
  CFontPrint f;
  const uint32_t c1 = 0x0A141F, c2 = 0x152800;
  const uint32_t colours[2] = {ColorRef(c1), ColorRef(c2)};
  const int result = Render(f, std::string(kA) + kA, 2, 24, kWhite, -1, -1, colours);
  EXPECT_EQ(result >> 16, 24);
  EXPECT_EQ(result & 0xFFFF, 46);  // 2 cells of 23
  const CPicture* w = f.GetWorkPicture();
  struct Case {
    int x, y;
    uint8_t mask;
  } cases[] = {{0, 0, 64}, {1, 0, 128}, {0, 1, 128}, {1, 1, 255}, {4, 4, 0}, {8, 8, 0}, {5, 5, 255}};
  for (const auto& c : cases) EXPECT_EQ(Mask(w, c.x, c.y), c.mask) << c.x << "," << c.y;
  EXPECT_EQ(Pixel(w, 1, 1), c1);
  EXPECT_EQ(Pixel(w, 0, 0), CFontPrint::kFillColour);  // the first pixel, always
  EXPECT_EQ(Pixel(w, 4, 4), CFontPrint::kFillColour);
  // Column 23 holds the right edge of cell 0 and the left edge of cell 1:
  // both colours, averaged per channel and truncated.
  EXPECT_EQ(Mask(w, 23, 1), 255);
  EXPECT_EQ(Pixel(w, 23, 1), 0x0F1E0Fu);
}

TEST_F(FontPrintTest, InkOfTheOldClearedGreyStillCounts) {
  CFontPrint f;
  Render(f, kA, 1, 24, 0x505050, 0x505050);
  EXPECT_EQ(Mask(f.GetWorkPicture(), 1, 1), 255);
  EXPECT_EQ(Pixel(f.GetWorkPicture(), 1, 1), 0x505050u);
  EXPECT_EQ(Mask(f.GetWorkPicture(), 0, 1), 128);
}

TEST_F(FontPrintTest, OutlineTypes) {
  WriteDotGlyph();
  const uint32_t kText = 0x112233, kOutline = 0x445566;
  struct Case {
    int type;
    std::set<std::pair<int, int>> around;  // (dx, dy) that take the outline
  } cases[] = {
      {0, {{1, 1}}},
      {1, {{0, -1}, {-1, 0}, {1, 0}, {0, 1}}},
      {2, {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}},
      {3, {{1, 0}, {0, 1}, {1, 1}}},
      {4, {{-1, -1}}},
      {5, {{-1, -1}, {0, -1}, {-1, 0}}},
      {6, {{0, -1}, {0, 1}}},
      {7, {{-1, 0}, {1, 0}}},
      {9, {}},
  };
  for (const auto& c : cases) {
    SetFukuroMoji(c.type);
    CFontPrint f;
    Render(f, "\x80\x01", 1, 24, kText, static_cast<int>(kOutline));
    const CPicture* w = f.GetWorkPicture();
    EXPECT_EQ(Pixel(w, 10, 10), kText);
    EXPECT_EQ(Mask(w, 10, 10), 255);
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (dx == 0 && dy == 0) continue;
        const bool outline = c.around.count({dx, dy}) != 0;
        EXPECT_EQ(Mask(w, 10 + dx, 10 + dy), outline ? 255 : 0)
            << "type " << c.type << " at " << dx << "," << dy;
        if (outline) {
          EXPECT_EQ(Pixel(w, 10 + dx, 10 + dy), kOutline);
        }
      }
    }
  }
}

TEST_F(FontPrintTest, OneByteTextHasAShadowWhateverTheMask) {
  GetRenderSettings().codeByte = 1;
  std::vector<uint8_t> masks[2];
  for (int type : {0, 2}) {
    SetFukuroMoji(type);
    CFontPrint f;
    const int result = Render(f, "A ", 2, 24, kWhite, 0x000080);
    EXPECT_EQ(result & 0xFFFF, 24);  // half width: s / 2 a cell
    const CPicture* w = f.GetWorkPicture();
    // The half-width box ends in column 11; the shadow adds column 12.
    EXPECT_EQ(Mask(w, 12, 5), 128);
    EXPECT_EQ(Pixel(w, 12, 5), 0x000080u);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 13; ++x) masks[type / 2].push_back(Mask(w, x, y));
  }
  EXPECT_EQ(masks[0], masks[1]);
}

TEST_F(FontPrintTest, SpecialGlyphsAtSize24AndScaledAt12) {
  WriteDotGlyph();
  CFontPrint f;
  Render(f, "\x80\x02", 1, 24, kWhite);
  const CPicture* w = f.GetWorkPicture();
  // Glyph 2: DIB columns 10..29, rows 6..25, copied as they are.
  EXPECT_EQ(Mask(w, 5, 3), 255);
  EXPECT_EQ(Mask(w, 14, 12), 255);
  EXPECT_EQ(Mask(w, 4, 5), 0);
  EXPECT_EQ(Mask(w, 15, 5), 0);
  EXPECT_EQ(Mask(w, 5, 13), 0);
  // At 12 the 50 x 48 cell becomes 26 x 24: columns 6..15, rows 3..12.
  Render(f, "\x80\x02", 1, 12, kWhite);
  struct Case {
    int x, y;
    uint8_t mask;
  } cases[] = {{3, 1, 128}, {3, 2, 255}, {7, 5, 255}, {7, 6, 128}, {8, 3, 0}, {2, 3, 0}};
  for (const auto& c : cases) EXPECT_EQ(Mask(w, c.x, c.y), c.mask) << c.x << "," << c.y;
}

TEST_F(FontPrintTest, WithoutTheSpecialGlyphPictureSpecialCellsDrawNothing) {
  CFontPrint f;
  Render(f, "\x80\x01\x80\x05", 2, 24, kWhite, 0);
  const CPicture* w = f.GetWorkPicture();
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_EQ(Mask(w, x, y), 0) << x << "," << y;
}

TEST_F(FontPrintTest, UserFontServesOnlyItsOwnSize) {
  std::string grid = "size 24\ndepth 8\nglyph あ\n";
  for (int y = 0; y < 24; ++y) {
    std::string row(24, '.');
    if (y < 4) row.replace(0, 4, "####");
    if (y == 10) row[10] = '8';
    grid += row + "\n";
  }
  WriteUserFont("uf", grid);
  CFontPrint f;
  f.LoadUserFont("uf");
  Render(f, kA, 1, 24, 0x102030, 0x405060);
  const CPicture* w = f.GetWorkPicture();
  EXPECT_EQ(Mask(w, 0, 0), 255);
  EXPECT_EQ(Pixel(w, 0, 0), 0x102030u);
  EXPECT_EQ(Mask(w, 10, 10), 136);
  EXPECT_EQ(Mask(w, 6, 6), 0);
  // The outline: the glyph one pixel right and down, one pixel smaller.
  EXPECT_EQ(Mask(w, 4, 4), 255);
  EXPECT_EQ(Pixel(w, 4, 4), 0x405060u);
  EXPECT_EQ(Mask(w, 5, 5), 0);
  EXPECT_EQ(Mask(w, 11, 11), 136);
  // Another size: the platform font (the synthetic box).
  Render(f, kA, 1, 20, 0x102030);
  EXPECT_EQ(Mask(w, 0, 0), 64);
  EXPECT_EQ(Mask(w, 1, 1), 255);
  // One-byte text never reads the two-byte user font.
  GetRenderSettings().codeByte = 1;
  CFontPrint one;
  one.LoadUserFont("uf");
  Render(one, "AB", 2, 24, kWhite);
  EXPECT_EQ(Mask(one.GetWorkPicture(), 0, 0), 64);
}

TEST_F(FontPrintTest, UserFontsNamedByTheSettingsLoadInTurn) {
  WriteUserFont("small", "size 2\nglyph 82A0\n##\n##\n");
  dir_.Write("init/game.xtx", "userFontNumber 3\nuserFont1FileName small\nuserFont3FileName gone\n");
  CSetupList list;
  ASSERT_TRUE(list.LoadSetupFile("game", 64));
  CFontPrint f;
  LoadUserFonts(list, &f);
  // The last one named is missing: a box, and no user font at all.
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].text, "gone");
  Render(f, kA, 1, 2, kWhite);
  EXPECT_EQ(Mask(f.GetWorkPicture(), 0, 0), 64);  // the synthetic box, not the user glyph
}

TEST_F(FontPrintTest, MissingOrBrokenUserFontIsReportedAndTheGameGoesOn) {
  dir_.Write("mok/bad.mft", std::string(40, 'x'));
  CFontPrint f;
  for (const char* name : {"none", "bad"}) {
    host_->ClearBoxes();
    f.LoadUserFont(name);
    const auto boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, name);
    EXPECT_EQ(boxes[0].caption,
              "\x83\x86\x81\x5b\x83\x55\x81\x5b\x83\x74\x83\x48\x83\x93\x83\x67LOAD\x83\x47\x83\x89"
              "\x81\x5b");
  }
  Render(f, kA, 1, 24, kWhite);
  EXPECT_EQ(Mask(f.GetWorkPicture(), 1, 1), 255);  // the platform font
}

TEST_F(FontPrintTest, ALineIsRenderedOnceUntilTheCacheIsCleared) {
  CFontPrint f;
  const int first = Render(f, kA, 1, 24, kWhite, 0);
  EXPECT_EQ(Render(f, kA, 1, 24, kWhite, 0), first);
  EXPECT_EQ(f.GetRenderCount(), 1);
  Render(f, kA, 1, 24, kWhite, 0x010101);  // another outline colour
  EXPECT_EQ(f.GetRenderCount(), 2);
  f.ClearTextLayer();
  EXPECT_EQ(f.GetCurrentLine(), -1);
  EXPECT_EQ(Render(f, kA, 1, 24, kWhite, 0), first);
  EXPECT_EQ(f.GetRenderCount(), 3);
  // Without a begun print a line not in the cache gives 0.
  const std::string other = "\x82\xA2";
  const LineKey key = MakeLineKey(other.c_str(), other.c_str(), 2);
  EXPECT_EQ(f.RenderLine(key, other.data(), 255, 255, 255, 0, -1, nullptr, 0, 1, nullptr, nullptr),
            0);
}

TEST_F(FontPrintTest, DrawLineCopiesTheCurrentLineWithItsMask) {
  CFontPrint f;
  FillScreen(0);
  f.DrawLine(0, 0, 0, 0, 48, 24);  // no line yet: nothing
  EXPECT_EQ(Screen(1, 1), 0u);
  Render(f, kA, 1, 24, kWhite);
  CScreenBuffer::ClearDirtyRects();
  f.DrawLine(10, 20, 0, 0, 48, 24);
  EXPECT_EQ(Screen(11, 21), kWhite);
  EXPECT_EQ(Screen(14, 24), 0u);  // the hole at (4, 4)
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 1);
  // A rectangle beyond the line is cut at the line's edge.
  FillScreen(0);
  f.DrawLine(100, 50, 20, 0, 200, 200);
  EXPECT_EQ(Screen(121, 51), kWhite);
  EXPECT_EQ(Screen(150, 51), 0u);
  EXPECT_EQ(Screen(121, 50 + 24), 0u);
}

class AnnotationTest : public FontPrintTest {
 protected:
  void SetUp() override {
    FontPrintTest::SetUp();
    GetRenderSettings().rubiFlag = 1;
  }
};

TEST_F(AnnotationTest, SizeIsAPercentOfTheFontSizeDrawn) {
  CFontPrint f;
  f.BeginPrint(20);
  EXPECT_EQ(f.GetAnnotationSize(), 8);
  f.EndPrint();
  // Text asked for above 72 is drawn at 72: its readings keep their share
  // of the text drawn (40 % of 72, not of 100).
  f.BeginPrint(100);
  EXPECT_EQ(f.GetAnnotationSize(), 28);
  f.EndPrint();
}

TEST_F(AnnotationTest, OverlappingRunsArePushedApartAndKeptInsideTheLine) {
  CFontPrint f;
  const std::string cells = std::string(kA) + kA + kA + kA;
  const char* reading = "\x82\xA0\x82\xA2\x82\xA4";
  // Size 20, annotation size 8, advance 9; the line is 80 wide, limit 71.
  Render(f, cells, 4, 20, kWhite, -1, 0, nullptr, {{1, 3, 0}, {1, 3, 1}, {1, 3, 3}},
         {reading, reading, reading});
  const CPicture* a = f.GetAnnotationWorkPicture();
  auto inked = [&](int x) { return Mask(a, x, 1) != 0; };
  // First run: 0, 9, 18; the second starts where the first ends (27).
  EXPECT_TRUE(inked(0));
  EXPECT_FALSE(inked(8));
  EXPECT_TRUE(inked(9));
  EXPECT_FALSE(inked(26));
  EXPECT_TRUE(inked(27));
  // The last run (natural start 57) would end at 75, past the limit: it is
  // moved left, kept behind the second (54) and spread over 54 .. 71.
  EXPECT_TRUE(inked(54));
  EXPECT_TRUE(inked(77));
  EXPECT_FALSE(inked(78));
  EXPECT_EQ(Pixel(a, 27 + 1, 2), kWhite);  // the annotation colour
  // The annotation row is drawn above the line.
  FillScreen(0);
  f.BeginPrint(20);
  f.DrawAnnotations(0, 40, 0, 0, 80, 20);
  f.EndPrint();
  EXPECT_EQ(Screen(1, 40 - 8 + 1), kWhite);
  EXPECT_EQ(Screen(1, 40 + 1), 0u);
}

TEST_F(AnnotationTest, OversizedLinesAndRecordsOutsideTheLineStayInBounds) {
  CFontPrint f;
  std::string cells;
  std::vector<uint32_t> colours(256, ColorRef(kWhite));
  for (int i = 0; i < 256; ++i) cells += kA;
  colours[255] = ColorRef(0xFF0000);
  const char* reading = "\x82\xA0";
  // Size 1000 renders at 72 with an annotation size of 400.
  const int result = Render(f, cells, 256, 1000, kWhite, 0, 0, colours.data(), {{1, 1, 300}},
                            {reading});
  EXPECT_EQ(result >> 16, 72);
  EXPECT_EQ(result & 0xFFFF, kW);
  const CPicture* a = f.GetAnnotationWorkPicture();
  bool red = false;
  for (int x = 1; x < kW; ++x) red |= Mask(a, x, 10) != 0 && Pixel(a, x, 10) == 0xFF0000u;
  EXPECT_TRUE(red);  // the colour of the line's last cell
}

}  // namespace
}  // namespace message_test

namespace message_test {
namespace {

// The shipped special glyphs, written by zor-spfont from their grids.
TEST_F(FontPrintTest, ShippedSpecialGlyphsDrawFromTheirColumns) {
  const std::string out = dir_ / "dwq/sys/spfont24.dwq";
  std::filesystem::create_directories(dir_ / "dwq/sys");
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-spfont " + ZOR_SOURCE_DIR +
                              "/tools/spfont/spfont24.txt " + out;
  ASSERT_EQ(std::system(command.c_str()), 0);
  CFontPrint f;
  // Glyph 1, the ellipsis: three dots on row 15 of the line.
  Render(f, "\x80\x01", 1, 24, kWhite);
  const CPicture* w = f.GetWorkPicture();
  for (int x : {4, 12, 20}) EXPECT_EQ(Mask(w, x, 14), 255) << x;
  for (int x : {8, 16}) EXPECT_EQ(Mask(w, x, 14), 0) << x;
  // Glyphs 2, 3, 4 join into one bar across three cells.
  Render(f, "\x80\x02\x80\x03\x80\x04", 3, 24, kWhite);
  for (int x = 3; x < 69; ++x) ASSERT_EQ(Mask(w, x, 12), 255) << x;
  EXPECT_EQ(Mask(w, 71, 12), 0);
}

}  // namespace
}  // namespace message_test

namespace message_test {
namespace {

// Sizes out of range, advances of 0 or less, over-wide lines and bytes that
// are no CP932: everything stays inside the DIB, the pictures and the layer
// (AddressSanitizer watches), and a line is never wider than the screen.
TEST_F(AnnotationTest, BadSizesAdvancesAndTextStayInBounds) {
  CFontPrint f;
  std::string cells;
  for (int i = 0; i < 256; ++i) cells += i % 3 ? "\xFF\x01" : "\x82\xA0";
  const char* reading = "\x82\xA0\x82\xA0";
  for (int size : {-5, 0, 1, 73, 1000}) {
    for (int spacing : {-100, -24, -1, 0, 50}) {
      for (int outline : {-1, 0x123456}) {
        f.ClearTextLayer();
        const int result = Render(f, cells, 256, size, kWhite, outline, spacing, nullptr,
                                  {{2, 2, 254}, {3, -1, -7}, {0, 5, 1}, {9, 100, 250}},
                                  {reading, reading, reading, reading});
        EXPECT_LE(result & 0xFFFF, kW);
        EXPECT_GE(result & 0xFFFF, 0);
        EXPECT_EQ(result >> 16, std::clamp(size, 1, 72));
        f.BeginPrint(size);
        f.DrawLine(-30, -30, -10, -10, 2000, 2000);
        f.DrawLineSoft(-50, 1000, 300, 100, 0, 0, 2000, 2000);
        f.DrawAnnotations(0, 0, 0, -100, 2000, 2000);
        f.DrawAnnotationsSoft(10, 5, 0, 0, 0, 0, 2000, 2000);
        f.EndPrint();
      }
    }
  }
}

}  // namespace
}  // namespace message_test
