// Numbers and pages in picture fonts.
#include "widget/numberprint.h"

#include <gtest/gtest.h>

#include <string>

#include "widget/pageprint.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kBack = 0x00FFFFFF;

// Glyph cells of w x h in 16 columns and 2 rows; every pixel of glyph g in
// row r has the colour (r + 1) << 16 | (g + 1) << 8, all opaque.
struct Fonts : WidgetTest {
  static dwqtool::Picture Font(int w, int h) {
  return Pixels(
      16 * w, 2 * h,
      [=](int x, int y) { return static_cast<uint32_t>((y / h + 1) << 16 | (x / w + 1) << 8); },
      [](int, int) { return uint8_t{255}; });
}
};

// The glyphs seen at places (x + i * step, y): '.' for the background,
// digits, then 'a' for glyph 10, 'b' for the slash; an upper-case letter
// marks a glyph of row 1.
std::string Seen(int x, int y, int places, int step) {
  std::string out;
  for (int i = 0; i < places; ++i) {
    const uint32_t c = graphics_test::ScreenTest::At(x + i * step, y);
    if (c == kBack) {
      out += '.';
      continue;
    }
    const int g = static_cast<int>((c >> 8) & 0xFF) - 1, row = static_cast<int>(c >> 16) - 1;
    char ch = static_cast<char>(g < 10 ? '0' + g : 'a' + g - 10);
    if (row == 1) ch = static_cast<char>(g < 10 ? 'A' + g : 'a' + g);
    out += ch;
  }
  return out;
}

class NumberPrintTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    font_ = Load("font", Fonts::Font(4, 4), true);
    Clear(kBack);
  }
  CPicture* font_ = nullptr;
};

TEST_F(NumberPrintTest, AlignmentsLeadingZerosAndDroppedDigits) {
  struct Case {
    int value, keta, upZero, left, row;
    const char* seen;  // places 0..9 from x = 0
  } cases[] = {
      {7, 3, 0, 0, 0, "..7......."},
      {40, 3, 0, 0, 0, ".40......."},
      {0, 3, 0, 0, 0, "..0......."},
      {7, 3, 1, 0, 0, "007......."},
      {7, 3, 0, 1, 0, "7........."},
      {40, 3, 0, 1, 0, "40........"},
      {0, 3, 0, 1, 0, "0........."},
      {1234, 2, 0, 0, 0, "34........"},
      // Left-aligned drops the same high digits as right-aligned.
      {1234, 2, 0, 1, 0, "34........"},
      {5, 2, 1, 1, 0, "05........"},
      {-1, 3, 1, 0, 0, ".........."},
      {-1, 3, 1, 1, 0, ".........."},
      {9, 2, 0, 0, 1, ".J........"},
      // Places are held to 1..10.
      {7, 12, 0, 0, 0, ".........7"},
      {7, 0, 1, 0, 0, "7........."},
      {2147483647, 12, 0, 1, 0, "2147483647"},
  };
  for (const Case& c : cases) {
    Clear(kBack);
    CNumberPrint printer(font_, 4, 4, c.keta, CNumberPrint::kFontWidthDefault, c.upZero, 0, c.left);
    printer.Print(0, 0, c.value, -1, c.row);
    EXPECT_EQ(Seen(0, 0, 10, 4), c.seen) << c.value << " keta " << c.keta << " left " << c.left;
  }
}

TEST_F(NumberPrintTest, StepAndPlacesOfACall) {
  CNumberPrint printer(font_, 4, 4, 2, 8, 1, 1, 0);
  printer.Print(0, 0, 123, 3);  // the call's places, a step of 8
  EXPECT_EQ(Seen(0, 0, 3, 8), "123");
  Clear(kBack);
  printer.SetNextY(4);
  printer.Print(0, 0, 42);
  EXPECT_EQ(Seen(0, 0, 1, 0) + Seen(8, 4, 1, 0), "42");
}

TEST_F(NumberPrintTest, ListConstructorReadsKeysAndNeedsTheFontName) {
  Load("sys\\digits", Fonts::Font(4, 4), true);
  auto list = List({{"nFontSizeX", "4"}, {"nFontSizeY", "4"}, {"nKeta", "3"}, {"nUpZeroFlag", "1"},
                    {"filenamen", "digits"}});
  CNumberPrint loaded(list.get(), "n", 1);
  loaded.Print(0, 0, 5);
  EXPECT_EQ(Seen(0, 0, 4, 4), "005.");

  // Without "filename<prefix>" there is no font: nothing is drawn.
  Clear(kBack);
  auto nameless = List({{"nFontSizeX", "4"}, {"nFontSizeY", "4"}});
  for (int loadPicture : {0, 1}) {
    CNumberPrint printer(nameless.get(), "n", loadPicture);
    EXPECT_EQ(printer.GetFont(), nullptr);
    printer.Print(0, 0, 5);
    printer.PrintChar(0, 0, 3);
  }
  EXPECT_EQ(CountChanged(kBack), 0);
}

TEST_F(NumberPrintTest, PageDisplayDefaults) {
  Load("sys\\ta_font_sl3", Fonts::Font(21, 27), true);
  auto list = List({{"pagePrintFlag", "1"}});
  CPagePrint page(list.get(), nullptr);
  page.Print(5, 9);
  EXPECT_EQ(Seen(0, 0, 2, 21), ".5");
  EXPECT_EQ(Seen(20, 26, 2, 21), ".5");  // 21 x 27 cells
  EXPECT_EQ(CountChanged(kBack), 21 * 27);

  Clear(kBack);
  auto off = List({{"pageMaxPrintFlag", "1"}});
  CPagePrint none(off.get(), nullptr);
  none.Print(5, 9);
  EXPECT_EQ(CountChanged(kBack), 0);
}

TEST_F(NumberPrintTest, PageCountSlashAndRestore) {
  Load("sys\\small", Fonts::Font(4, 4), true);
  auto list = List({{"pagePrintFlag", "1"}, {"fileNamePageFont", "small"}, {"pageFontSizeX", "4"},
                    {"pageFontSizeY", "4"}, {"pageMaxPrintFlag", "1"}, {"slashPrintFlag", "1"}});
  {
    CPagePrint page(list.get(), nullptr);
    page.Print(12, 34);
    page.Print(3, 7);  // without a back picture the old digits stay
    EXPECT_EQ(Seen(0, 0, 5, 4), "13b37");
  }
  Clear(kBack);
  CPicture* back = Load("back", Pixels(64, 48, [](int, int) { return kBack; }), false);
  CPagePrint page(list.get(), back);
  page.Print(12, 34);
  page.Print(3, 7);
  EXPECT_EQ(Seen(0, 0, 5, 4), ".3b.7");
  // The page count may be left-aligned.
  auto left = List({{"pagePrintFlag", "1"}, {"fileNamePageFont", "small"}, {"pageFontSizeX", "4"},
                    {"pageFontSizeY", "4"}, {"pageMaxPrintFlag", "1"}, {"pageMaxLeftAlign", "1"},
                    {"pageUpZeroPrintFlag", "1"}, {"maxPageUpZeroPrintFlag", "0"}});
  Clear(kBack);
  CPagePrint leftPage(left.get(), nullptr);
  leftPage.Print(3, 7);
  EXPECT_EQ(Seen(0, 0, 5, 4), "03.7.");
}

}  // namespace
}  // namespace widget_test
