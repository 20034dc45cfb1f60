#include "message/textprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textdebuglist.h"
#include "message/textstate.h"
#include "message_fixture.h"

namespace message_test {
namespace {

// CP932 spellings used below.
#define A_ "\x82\xA0"            // あ
#define I_ "\x82\xA2"            // い
#define U_ "\x82\xA4"            // う
#define E_ "\x82\xA6"            // え
#define O_ "\x82\xA8"            // お
#define KA_ "\x82\xA9"           // か
#define KI_ "\x82\xAB"           // き
#define DASH_ "\x81\x5C"         // ―
#define DOTS_ "\x81\x63"         // …
#define RED_ "\x90\xD4"          // 赤
#define BLACK_ "\x8D\x95"        // 黒
#define SEI_ "\x90\xA9"          // 姓
#define MEI_ "\x96\xBC"          // 名
#define KAI_ "\x89\xFC"          // 改
#define OPEN_ "\x81\x6D"         // ［
#define CLOSE_ "\x81\x6E"        // ］
#define TSUYO_ "\x8B\xAD"        // 強
#define KAN_ "\x8A\xBF"          // 漢
#define YAMA "\x8E\x52\x93\x63"  // 山田
#define TARO "\x91\xBE\x98\x59"  // 太郎

std::string Special(int glyph) { return std::string("\x80") + static_cast<char>(glyph); }

class TextPrintTest : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    ResetTextState();
  }
  void TearDown() override {
    ResetTextState();
    MessageTest::TearDown();
  }
  // The cells of the last line, as bytes.
  std::string LastCells(const CTextPrint& t) const {
    const int bytes = GetRenderSettings().codeByte == 1 ? 1 : 2;
    return std::string(GetTextState().line, static_cast<size_t>(t.GetLastLineCells() * bytes));
  }
};

TEST(TextColours, TheTwoOrders) {
  EXPECT_EQ(MakeCellColour(0x11, 0x22, 0x33), 0x332211u);
  EXPECT_EQ(MakeColourWord(0x11, 0x22, 0x33), 0x112233u);
  EXPECT_EQ(MakeColourWord(300, -1, 0), 0x2CFF00u);  // low 8 bits of each
  EXPECT_EQ(CFontPrint::FromColorRef(MakeCellColour(1, 2, 3)), MakeColourWord(1, 2, 3));
}

TEST_F(TextPrintTest, LayoutCases) {
  struct Case {
    const char* what;
    int codeByte, rubi;
    std::string text;
    std::string cells;
  };
  std::string fill;
  for (int i = 0; i < 255; ++i) fill += A_;
  const Case cases[] = {
      {"ABC in two-byte mode", 2, 0, "ABC", "\x82\x60\x82\x61\x82\x62"},
      {"ABC in one-byte mode", 1, 0, "ABC", "ABC"},
      {"half-width kana and 0x7F", 2, 0, "\xB1\x7F", "\x83\x41\x81\xA1"},
      {"names", 2, 0, "#" SEI_ "#" MEI_, YAMA TARO},
      {"one-byte names", 1, 0, "#L", "ab"},
      {"a name past 256 cells is left out whole", 2, 0, fill + "#" SEI_ A_, fill + A_},
      {"the 257th cell is dropped", 2, 0, fill + A_ I_, fill + A_},
      {"three dashes", 2, 0, DASH_ DASH_ DASH_, Special(2) + Special(3) + Special(4)},
      {"one dash", 2, 0, A_ DASH_ A_, A_ + Special(2) + A_},
      {"ellipsis", 2, 0, DOTS_, Special(1)},
      {"special-glyph code", 2, 0, "#\x90\x53", Special(5)},
      {"an unknown code is dropped with its character", 2, 0, A_ "#" KAN_ I_, A_ I_},
      {"reading consumed without rubiFlag", 2, 0, A_ I_ "#" OPEN_ "2" KA_ KI_ U_ CLOSE_, A_ I_},
      {"a reading without a count is ordinary text", 2, 1, A_ "#" OPEN_ KA_, A_ KA_},
      {"CR and TAB are skipped", 2, 0, A_ "\r\t" I_, A_ I_},
      {"line break code", 2, 0, A_ "#" KAI_ I_, I_},
      {"LF", 2, 0, A_ "\n" I_ U_, I_ U_},
      {"one-byte mode keeps lead bytes as cells", 1, 0, A_, A_},
  };
  CFontPrint font;
  for (const Case& c : cases) {
    GetRenderSettings().codeByte = c.codeByte;
    GetRenderSettings().rubiFlag = c.rubi;
    SetTextNames(c.codeByte == 1 ? "ab" : YAMA, c.codeByte == 1 ? "cd" : TARO);
    CTextPrint t(&font);
    t.Print(0, 0, c.text.c_str(), 24);
    EXPECT_EQ(LastCells(t), c.cells) << c.what;
  }
}

TEST_F(TextPrintTest, ColourCodesColourTheCellsAfterThem) {
  CFontPrint font;
  CTextPrint t(&font);
  t.Print(0, 0, A_ I_ U_ "#" RED_ E_ O_ "#" BLACK_ KA_ KI_, 24, 10, 20, 30);
  ASSERT_EQ(t.GetLastLineCells(), 7);
  const uint32_t base = MakeCellColour(10, 20, 30), red = MakeCellColour(255, 0, 0),
                 black = MakeCellColour(0, 0, 0);
  const uint32_t expected[7] = {base, base, base, red, red, black, black};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GetTextState().cellColours[i], expected[i]) << i;
  // The colour carries over into the next line of the same call.
  t.Print(0, 0, "#" RED_ A_ "\n" I_ "#" BLACK_ U_, 24, 10, 20, 30);
  EXPECT_EQ(GetTextState().cellColours[0], red);
  EXPECT_EQ(GetTextState().cellColours[1], black);
}

TEST_F(TextPrintTest, OneByteColourLettersAndAdvancesOfZeroOrLess) {
  GetRenderSettings().codeByte = 1;
  CFontPrint font;
  CTextPrint t(&font);
  t.Print(0, 0, "a#Rb#Wc#Zd", 16, 0, 0, 0);
  EXPECT_EQ(LastCells(t), "abcd");
  EXPECT_EQ(GetTextState().cellColours[1], MakeCellColour(255, 0, 0));
  EXPECT_EQ(GetTextState().cellColours[3], MakeCellColour(255, 255, 255));
  // A spacing that leaves no advance draws nothing and divides by nothing.
  for (int codeByte : {1, 2}) {
    GetRenderSettings().codeByte = codeByte;
    EXPECT_EQ(t.PrintMessage(0, 2, 0, 0, "abc", 16, 255, 255, 255, -16), -2) << codeByte;
    EXPECT_EQ(t.PrintMessage(0, 2, 0, 0, "abc", 0, 255, 255, 255, -9), -2) << codeByte;
  }
  // Huge sizes, spacings and pitches stay within 32 bits.
  t.Print(2147483600, 2147483600, "a\nb\nc", 2147483647, 255, 255, 255, 2147483647, 2147483647);
  t.Print(0, 0, "a\nb\nc", 2147483647, 255, 255, 255, -2147483647 - 1, -1);
  t.PrintMessage(1, 2, 2147483640, -2147483647 - 1, "abc", 16, 255, 255, 255, 100, -2147483647);
}

TEST_F(TextPrintTest, AnnotationRecords) {
  GetRenderSettings().rubiFlag = 1;
  CFontPrint font;
  CTextPrint t(&font);
  struct Case {
    const char* what;
    std::string text;
    int count;
    AnnotationRecord record;
  } cases[] = {
      {"reading over two cells", A_ I_ "#" OPEN_ "2" KA_ KI_ U_ CLOSE_ E_, 1, {2, 3, 0}},
      {"full-width count", A_ I_ "#" OPEN_ "\x82\x50" KA_ CLOSE_, 1, {1, 1, 1}},
      {"emphasis marks", A_ I_ U_ "#" TSUYO_ KA_ KA_ CLOSE_, 1, {2, -1, 1}},
      {"a count above the cells starts at cell 0", A_ "#" OPEN_ "3" KA_ CLOSE_, 1, {3, 1, 0}},
      {"no characters: nothing stored", A_ "#" OPEN_ "1" CLOSE_, 0, {}},
      {"CR LF ends the scan unstored", A_ "#" OPEN_ "1" KA_ "\r\n" CLOSE_ I_, 0, {}},
  };
  for (const auto& c : cases) {
    t.Print(0, 0, c.text.c_str(), 24);
    ASSERT_EQ(t.GetLastAnnotationCount(), c.count) << c.what;
    if (c.count == 0) continue;
    const AnnotationRecord& r = t.GetAnnotationRecords()[0];
    EXPECT_EQ(r.baseCount, c.record.baseCount) << c.what;
    EXPECT_EQ(r.length, c.record.length) << c.what;
    EXPECT_EQ(r.firstCell, c.record.firstCell) << c.what;
  }
  // Emphasis runs are stored even without rubiFlag; readings are not.
  GetRenderSettings().rubiFlag = 0;
  t.Print(0, 0, A_ "#" OPEN_ "1" KA_ CLOSE_ "#" TSUYO_ KA_ CLOSE_, 24);
  ASSERT_EQ(t.GetLastAnnotationCount(), 1);
  EXPECT_EQ(t.GetAnnotationRecords()[0].length, -1);
  // A thousand annotations on one line keep 256.
  GetRenderSettings().rubiFlag = 1;
  std::string lots = A_;
  for (int i = 0; i < 1000; ++i) lots += "#" OPEN_ "1" KA_ CLOSE_;
  t.Print(0, 0, lots.c_str(), 24);
  EXPECT_EQ(t.GetLastAnnotationCount(), CTextPrint::kMaxAnnotations);
}

// Texts whose bytes go on after their NUL: the walk must stop there.
TEST_F(TextPrintTest, CodesAndCutCharactersStopAtTheNul) {
  CFontPrint font;
  CTextPrint t(&font);
  struct Case {
    const char* what;
    std::vector<char> bytes;  // the text, its NUL, then more text
    std::string cells;
    int length;
  };
  auto bytes = [](std::string a, const std::string& after) {
    std::vector<char> v(a.begin(), a.end());
    v.push_back(0);
    v.insert(v.end(), after.begin(), after.end());
    v.push_back(0);
    return v;
  };
  const Case cases[] = {
      {"'#' last", bytes(A_ "#", I_ U_), A_, 1},
      {"'#' and a lead byte last", bytes(A_ "#\x82", I_ U_), A_, 1},
      {"reading count at the NUL", bytes(A_ "#" OPEN_, I_ U_), A_, 1},
      {"reading text cut by the NUL", bytes(A_ "#" OPEN_ "1" KA_ "\x82", I_ U_), A_, 1},
      {"emphasis text cut by the NUL", bytes(A_ "#" TSUYO_ KA_, I_ U_ CLOSE_), A_, 1},
      {"a lead byte before the NUL", bytes(A_ "\x82", I_ U_), A_, 1},
  };
  for (const Case& c : cases) {
    t.Print(0, 0, c.bytes.data(), 24);
    EXPECT_EQ(LastCells(t), c.cells) << c.what;
    EXPECT_EQ(CTextPrint::GetTextLength(c.bytes.data()), c.length) << c.what;
  }
}

TEST_F(TextPrintTest, DashesFarIntoALongText) {
  std::string text;
  for (int i = 0; i < 130; ++i) text += A_;
  text += DASH_ DASH_ DASH_;
  CFontPrint font;
  CTextPrint t(&font);
  t.Print(0, 0, text.c_str(), 10);
  ASSERT_EQ(t.GetLastLineCells(), 133);
  EXPECT_EQ(LastCells(t).substr(260), Special(2) + Special(3) + Special(4));
}

TEST_F(TextPrintTest, TextLength) {
  SetTextNames(YAMA, TARO);
  struct Case {
    std::string text;
    int length;
  } cases[] = {
      {A_ I_ U_ "\n" E_ O_, 3},
      {A_ "#" KAI_ I_ U_, 1},
      {"#" SEI_ "#" MEI_ A_, 5},
      {A_ "#" OPEN_ "2" KA_ KI_ CLOSE_ I_ "#" CLOSE_ U_, 2},
      {A_ "#" TSUYO_ "#" SEI_ "#\x90\x53"
          "#" CLOSE_,
       4},
      {"#" RED_ "AB\t", 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CTextPrint::GetTextLength(c.text.c_str()), c.length) << c.text;
}

TEST_F(TextPrintTest, PrintMessageResultsAndLinePitch) {
  CFontPrint font;
  CTextPrint t(&font);
  const char* five = A_ I_ U_ E_ O_;
  EXPECT_EQ(t.PrintMessage(0, 3, 0, 0, five, 24, 255, 255, 255), 2);
  EXPECT_EQ(t.PrintMessage(0, 5, 0, 0, five, 24, 255, 255, 255), 0);
  EXPECT_EQ(t.PrintMessage(0, 9, 0, 0, five, 24, 255, 255, 255), -4);
  // Text asked for above 72 is drawn at 72, and its cells are counted at the
  // size drawn: three cells, two shown, one left.
  EXPECT_EQ(t.PrintMessage(0, 2, 0, 0, A_ I_ U_, 100, 255, 255, 255), 1);

  // Only cells 0..2 reach the screen.
  FillScreen(0);
  t.PrintMessage(0, 3, 0, 0, five, 24, 255, 255, 255);
  EXPECT_EQ(Screen(2 * 24 + 5, 5), 0xFFFFFFu);
  EXPECT_EQ(Screen(3 * 24 + 5, 5), 0u);

  // Pitch -1: the second line at y + size + 4.
  FillScreen(0);
  t.Print(10, 10, A_ I_ "\n" A_ I_, 24, 255, 255, 255);
  EXPECT_EQ(Screen(15, 15), 0xFFFFFFu);
  EXPECT_EQ(Screen(15, 10 + 28 + 5), 0xFFFFFFu);
  EXPECT_EQ(Screen(15, 10 + 24 + 2), 0u);  // the gap between the lines
}

TEST_F(TextPrintTest, ClipAndSoftClipKeepToTheirWindows) {
  CFontPrint font;
  CTextPrint t(&font);
  FillScreen(0);
  t.PrintClip(10, 4, 0, 0, A_ I_ U_, 24, 255, 255, 255);
  for (int y = 0; y < 24; ++y) {
    const bool inked = Screen(5, y) != 0u || Screen(6, y) != 0u || Screen(7, y) != 0u;
    if (y < 10 || y >= 14) {
      EXPECT_FALSE(inked) << y;
    }
  }
  EXPECT_EQ(Screen(5, 11), 0xFFFFFFu);

  FillScreen(0);
  t.PrintSoftClip(30, 60, 0, 40, A_ I_ U_ E_, 24, 255, 255, 255);
  for (int x = 0; x < kW; ++x) {
    if (x < 30 || x >= 60) {
      EXPECT_EQ(Screen(x, 45), 0u) << x;
    }
  }
  EXPECT_NE(Screen(48, 45), 0u);
}

TEST_F(TextPrintTest, SlotsAreBounded) {
  const std::string longText(100, 'x');
  CTextPrint::SetReplaceText(3, longText.c_str());
  EXPECT_EQ(std::strlen(GetTextState().replace[3]), 32u);
  EXPECT_EQ(GetTextState().replace[3][33], 0);  // the second NUL, inside the slot
  CTextPrint::SetReplaceText(10, "x");          // no such slot
  CTextPrint::SetExtraName(longText.c_str());
  EXPECT_EQ(std::strlen(GetTextState().extraName), 18u);
  SetTextNames(A_ A_ A_ A_ A_ A_ A_ A_, "0123456789ABCDEFGH");
  EXPECT_EQ(std::strlen(GetTextState().familyName), 14u);  // a character is never split
  EXPECT_EQ(std::strlen(GetTextState().givenName), 15u);
  // The code list: two-byte codes, then special glyphs 25 + k.
  CTextPrint::SetCodeList(KAN_ KA_);
  EXPECT_EQ(CTextPrint::GetCodeNumber(KA_), 71);
  CFontPrint font;
  CTextPrint t(&font);
  t.Print(0, 0,
          "#" KAN_
          "#"
          "\x82\x51",
          24);
  EXPECT_EQ(LastCells(t), Special(25) + "\x92\x75\x82\xAB\x8A\xB7\x82\xA6\x82\x51");
}

TEST_F(TextPrintTest, ADebugListIsDrawnIntoTheDrawingSurfaceAndTracedWhenAPrintEnds) {
  CFontPrint font;
  CTextDebugList list;
  CTextPrint t(&font, &list);
  // Added before the print: "AB" and あ in red at (10, 4), and a text whose
  // trace shows its first 16 bytes of whole characters.
  ASSERT_EQ(list.Add(0xFF0000, 10, 4, "AB" A_ "tail", 4), 1);
  ASSERT_EQ(list.Add(0x0000FF, 0, 100, "abcdefghijklmno" A_, 100), 1);
  host_->ClearDebugLines();
  t.Print(0, 0, KA_, 16);
  EXPECT_EQ(list.GetCount(), 0);
  const std::vector<std::string> traces = host_->DebugLines();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0], "[AB" A_ " x=10 y=4 ln=4]");
  EXPECT_EQ(traces[1], "[abcdefghijklmno x=0 y=100 ln=17]");

  // In the surface: size 16, so "A" and "B" 16 apart and あ 32 wide, the
  // cut-off "tail" not drawn.
  const platform::GlyphSurface surface = font.GetDrawSurface();
  auto red = [&](int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += surface.pixels[size_t(y) * surface.pitch + x] == 0xFF0000u;
    return n;
  };
  EXPECT_GT(red(10, 26, 4, 36), 0);
  EXPECT_GT(red(26, 42, 4, 36), 0);
  EXPECT_GT(red(42, 74, 4, 36), 0);
  EXPECT_EQ(red(74, 200, 0, 40), 0);
  EXPECT_EQ(red(0, 10, 0, 40), 0);
  EXPECT_EQ(red(10, 74, 0, 4), 0);

  // Drawn once: the next print traces nothing.
  host_->ClearDebugLines();
  t.Print(0, 0, KA_, 16);
  EXPECT_TRUE(host_->DebugLines().empty());

  // Full at 100 entries; a null text or a negative length is refused.
  for (int i = 0; i < CTextDebugList::kMaxEntries; ++i) ASSERT_EQ(list.Add(0, 0, 0, "x", 1), 1);
  EXPECT_EQ(list.Add(0, 0, 0, "x", 1), 0);
  list.Clear();
  EXPECT_EQ(list.Add(0, 0, 0, nullptr, 1), 0);
  EXPECT_EQ(list.Add(0, 0, 0, "x", -1), 0);
}

}  // namespace
}  // namespace message_test
