// Mode 17, the picture gallery: entries and pages, the seen percentage, the
// per-cell counts, the blink before the viewer and the notes of the hover.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gallery_fixture.h"
#include "mode/gallerygrid.h"
#include "mode/selectcg.h"

namespace startup_test {
namespace {

constexpr uint32_t kBackground = 0x101010, kCover = 0x404040;
// Thumbnail colour of picture name n.
uint32_t Thumb(int n) { return 0x200000u + static_cast<uint32_t>(n) * 0x10; }
// Glyph g of the count font is one colour.
uint32_t Glyph(int g) { return 0x00A000u + static_cast<uint32_t>(g); }

class SelectCGTest : public GalleryTest {
 protected:
  // A 2 x 2 grid of 100 x 80 cells at (100, 100), pitch 200 x 150; counts
  // with 10 x 10 glyphs at the cell's top left.
  void SetUp() override {
    GalleryTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/cg_bg", 800, 600, kBackground);
    testsupport::WriteDwq(*dir_, "sys/ta_futa1", 100, 80, kCover);
    dwqtool::Picture font{13 * 10, 10, std::vector<uint32_t>(13 * 10 * 10), {}};
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 130; ++x) font.pixels[static_cast<size_t>(y * 130 + x)] = Glyph(x / 10);
    testsupport::WriteDwq(*dir_, "sys/ta_sl_font3", font);
    for (int n = 0; n < 20; ++n) testsupport::WriteDwq(*dir_, "sys/sm/smp" + std::to_string(n), 100, 80, Thumb(n));
  }
  void WriteSelectCG(const Pairs& extra = {}) const {
    // The first of two equal keys counts: the test's own come first.
    Pairs pairs = extra;
    const Pairs grid = {{"blockNumberX", "2"}, {"blockNumberY", "2"}, {"printX", "100"}, {"printY", "100"},
                   {"nextX", "200"},      {"nextY", "150"},      {"sizeX", "100"},  {"sizeY", "80"},
                   {"differenceFontSizeX", "10"}, {"differenceFontSizeY", "10"}, {"totalPercentPrintFlag", "0"},
                   {"differencePrintY", "70"}};
    pairs.insert(pairs.end(), grid.begin(), grid.end());
    WriteList("SelectCG", pairs);
  }
  CCommonSelectCG* Enter(const std::vector<std::pair<int, int>>& seen, int cg = 0) {
    CCommonSelectCG* mode = EnterWithLists<CCommonSelectCG>(1, seen, 0, cg);
    Game().RunFrame();
    return mode;
  }
  static void CellCentre(int k, int* x, int* y) {
    *x = 100 + k % 2 * 200 + 50;
    *y = 100 + k / 2 * 150 + 30;
  }
};

TEST(GalleryPercentTest, HeldAwayFromTheEndsUntilTheyAreReached) {
  const int cases[][3] = {{0, 300, 0}, {1, 300, 1}, {299, 300, 99}, {300, 300, 100}, {0, 0, 0}, {3, 3, 100}};
  for (const auto& c : cases) EXPECT_EQ(GalleryPercent(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST_F(SelectCGTest, NothingSeenShowsCoversOnlyAndNoCellReacts) {
  WriteSelectCG();
  WriteCGList(0, {"p0", "p1", "@p2"});
  CCommonSelectCG* gallery = Enter({});
  EXPECT_EQ(gallery->GetSeenPercent(), 0);
  EXPECT_EQ(gallery->GetEntryCount(0), 2);
  EXPECT_EQ(Pixel(150, 130), kCover);
  EXPECT_EQ(Pixel(350, 130), kCover);
  EXPECT_EQ(Pixel(150, 280), kBackground) << "no third entry";
  Click(150, 130);
  Game().RunFrames(12);
  EXPECT_TRUE(Game().ModeRequests().empty());
  EXPECT_EQ(gallery->GetSelected(), -1);
}

TEST_F(SelectCGTest, ClickBlinksThenOpensTheViewerOnTheFirstSeenPictureOfTheEntry) {
  WriteSelectCG();
  WriteCGList(0, {"p0", "@p1", "@p2", "p3"});
  CCommonSelectCG* gallery = Enter({{0, 2}});
  EXPECT_EQ(gallery->GetSeenPercent(), 25);
  EXPECT_EQ(Pixel(150, 130), Thumb(2)) << "the thumbnail of the first seen picture";
  EXPECT_EQ(Pixel(350, 130), kCover);
  int x = 0, y = 0;
  CellCentre(0, &x, &y);
  MoveTo(x, y);
  Game().RunFrame();
  EXPECT_NE(Pixel(x, y), Thumb(2)) << "the cursor over the hovered cell";
  Click(x, y);
  Game().RunFrame();
  EXPECT_TRUE(Called("PlaySystemSe 0 0"));
  std::vector<bool> cursor;
  for (int i = 0; i < 7; ++i) {
    Game().RunFrame();
    cursor.push_back(Pixel(x, y) != Thumb(2));
    EXPECT_TRUE(Game().ModeRequests().empty()) << i;
  }
  EXPECT_NE(std::count(cursor.begin(), cursor.end(), true), 0);
  EXPECT_NE(std::count(cursor.begin(), cursor.end(), false), 0) << "the chosen cell blinks";
  Game().RunFrames(3);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{modenumber::kPrintCG}));
  EXPECT_EQ(Game().GetCGList()->GetCurrentCG(), 2);
}

TEST_F(SelectCGTest, CountsTheSeenOfEachCellAndASingleDigitTotalFollowsTheSlash) {
  // Cell 0: 2 of 3 seen; cell 1: one picture, seen.
  WriteSelectCG();
  WriteCGList(0, {"p0", "@p1", "@p2", "p3"});
  Enter({{0, 0}, {0, 1}, {0, 3}});
  const int b = 100, y = 175;
  EXPECT_EQ(Pixel(b + 15, y), Glyph(2)) << "seen, right-aligned in two places";
  EXPECT_EQ(Pixel(b + 25, y), Glyph(11)) << "slash";
  EXPECT_EQ(Pixel(b + 35, y), Glyph(3)) << "a single-digit total right after the slash";
  EXPECT_EQ(Pixel(300 + 25, y), Thumb(3)) << "one-picture cells show no count";

  // Bit 1: one-picture cells count too; a two-digit total starts one place on.
  game_.reset();
  WriteSelectCG({{"differencePrintFlag", "3"}});
  std::vector<std::string> names = {"p0"};
  for (int i = 1; i < 12; ++i) names.push_back("@p" + std::to_string(i));
  names.push_back("p12");
  WriteCGList(0, names);
  Enter({{0, 0}, {0, 12}});
  EXPECT_EQ(Pixel(b + 35, y), Glyph(1));
  EXPECT_EQ(Pixel(b + 45, y), Glyph(2)) << "total 12 at three places on";
  EXPECT_EQ(Pixel(300 + 35, y), Glyph(1)) << "1 / 1";
}

TEST_F(SelectCGTest, LastPageAndThePageOfTheCurrentPicture) {
  WriteSelectCG();
  WriteCGList(0, {"p0", "p1", "p2", "p3", "p4", "@p5"});
  // The current picture (a variation of entry 4) picks the page.
  CCommonSelectCG* gallery = Enter({{0, 5}}, 5);
  EXPECT_EQ(gallery->GetPageCount(), 2);
  EXPECT_EQ(gallery->GetPage(), 1);
  EXPECT_EQ(Pixel(150, 130), Thumb(5));
  EXPECT_EQ(Pixel(350, 130), kBackground) << "cells past the last entry are empty";
  gallery->ChangePage(0);
  Game().RunFrame();
  EXPECT_EQ(Pixel(350, 280), kCover);
  // Picture or character out of the list: the first page of character 0.
  Game().GetCGList()->SetCurrentChara(7);
  Game().GetCGList()->SetCurrentCG(99);
  Game().EnterMode(CCommonSelectCG::kModeNumber);
  EXPECT_EQ(gallery->GetPage(), 0);
}

TEST_F(SelectCGTest, NotesOnlyAfterTheSoundGuard) {
  WriteSelectCG({{"cgPianoSoundFlag", "1"}});
  WriteCGList(0, {"p0", "p1", "p2", "p3"});
  Enter({{0, 0}, {0, 1}, {0, 2}, {0, 3}});
  // The first frame ran; two more frames of the guard.
  MoveTo(150, 130);
  Game().RunFrame();
  MoveTo(350, 130);
  Game().RunFrame();
  EXPECT_EQ(CountCalls("PlayNote"), 0);
  MoveTo(150, 280);
  Game().RunFrame();
  MoveTo(150, 282);
  Game().RunFrame();
  EXPECT_EQ(CountCalls("PlayNote"), 1);
  EXPECT_TRUE(Called("PlayNote 2"));
}

TEST_F(SelectCGTest, BackButtonReturnsToTheModeThatOpenedTheGallery) {
  WriteSelectCG({{"backSizeX", "100"}, {"backSizeY", "30"}, {"backClickTime", "0"}, {"backPrintX", "600"},
                 {"backPrintY", "500"}});
  testsupport::WriteDwq(*dir_, "sys/ta_backButton", 400, 30, 0x00FF00);
  WriteCGList(0, {"p0"});
  Enter({{0, 0}});
  Game().Mode<CCommonSelectCG>()->SetParameter(15);  // opened by mode 15
  EXPECT_EQ(Pixel(650, 515), 0x00FF00u);
  MoveTo(650, 515);
  Game().RunFrame();
  Click(650, 515);
  Game().RunFrames(3);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{15}));
}

TEST_F(SelectCGTest, BadListsReadSafely) {
  // Zero pitches and counts count as 1; a list starting with a variation.
  WriteSelectCG({{"blockNumberX", "0"}, {"nextX", "0"}, {"nextY", "-3"}});
  WriteCGList(0, {"@p0", "@p1", "p2"});
  CCommonSelectCG* gallery = Enter({{0, 1}});
  EXPECT_EQ(gallery->GetEntryCount(0), 2);
  EXPECT_EQ(gallery->GetGrid()->GetColumns(), 1);
  EXPECT_EQ(gallery->GetPageCount(), 1);
  Game().RunFrames(3);
  // Without any list.
  game_.reset();
  WriteSelectCG();
  CCommonSelectCG* empty = EnterWithLists<CCommonSelectCG>(0, {});
  EXPECT_EQ(empty->GetEntryCount(0), 0);
  EXPECT_EQ(empty->GetPageCount(), 1);
  Game().RunFrames(3);
  EXPECT_TRUE(Game().ModeRequests().empty());
}

}  // namespace
}  // namespace startup_test
