// The result screen on the test double: the grid and its pages, the
// announcements and the table they write, hovering with its voice and its
// scrolling line, and bad settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "mode/printresult.h"
#include "savedata/inttablefile.h"
#include "selectscreens_fixture.h"
#include "support/text.h"
#include "widget/commonbutton.h"
#include "widget/updownbutton.h"

namespace selectscreens_test {
namespace {

using printresult::CellOf;
using printresult::PageCount;
using printresult::ScrollAt;
using printresult::ScrollLimit;
using printresult::SkipChars;

TEST(PrintResultRules, GridScrollAndCuts) {
  // 20 results on a 5 x 2 grid: two pages; result 12 on the second page,
  // third column, first row.
  EXPECT_EQ(PageCount(20, 5, 2), 2);
  const printresult::Cell c = CellOf(12, 5, 2);
  EXPECT_EQ(c.page, 1);
  EXPECT_EQ(c.column, 2);
  EXPECT_EQ(c.row, 0);
  // A grid dimension below 1 counts as 1.
  EXPECT_EQ(PageCount(3, 0, -2), 3);
  EXPECT_EQ(CellOf(2, 0, 0).page, 2);
  EXPECT_EQ(PageCount(0, 5, 2), 1);

  // 30 characters or fewer never scroll; 40 at size 22 and speed 3 run
  // 10 * 22 / 3 frames past the wait.
  EXPECT_EQ(ScrollLimit(30, 22, 3, 150), 150);
  EXPECT_EQ(ScrollLimit(40, 22, 3, 150), 223);
  EXPECT_EQ(ScrollLimit(40, 22, 0, 150), 370);  // speed below 1 counts as 1
  const struct {
    int counter, offset, dropped;
  } scrolls[] = {{150, 0, 0}, {160, 30, 0}, {164, 42, 0}, {165, 23, 1}, {183, 33, 3}};
  for (const auto& s : scrolls) {
    const printresult::Scroll got = ScrollAt(s.counter, 150, 3, 22);
    EXPECT_EQ(got.offset, s.offset) << s.counter;
    EXPECT_EQ(got.dropped, s.dropped) << s.counter;
  }
  // Two bytes a character, never half of a double-byte one.
  EXPECT_EQ(SkipChars("\x82\xA0\x82\xA2\x82\xA4", 2), 4u);
  EXPECT_EQ(SkipChars("a\x82\xA0" "b", 1), 3u);
  EXPECT_EQ(SkipChars("ab", 5), 2u);
  EXPECT_EQ(SkipChars(nullptr, 1), 0u);
}

class PrintResultTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    WritePicture("sys/plate1", 100, 40, 1);
    WritePicture("sys/plate2", 100, 40, 2);
    WritePicture("sys/okb", 80, 20, 3);
    WritePicture("sys/backb", 80, 20, 4);
    WritePicture("sys/upb", 80, 20, 5);
    WritePicture("sys/downb", 80, 20, 6);
    for (const char* n : {"dlg02", "dlg05", "dlg09"}) WritePicture(std::string("sys/") + n, 50, 50, 7);
  }
  // The description list: record r + 1 for result r, its voice "v<r>" (or
  // "!none" for result 3), one line of 28 characters for result 0 and 40
  // for the others, a skipped line and four one-byte lines "x".
  void WriteDescriptions(int results) {
    std::string text = "h0,h1,h2,h3,h4,h5,h6,h7\r\n";
    for (int r = 0; r < results; ++r) {
      const int chars = r == 0 ? 28 : 40;
      std::string line;
      for (int i = 0; i < chars; ++i) line += "\x82\xA0";
      text += testsupport::Numbered("R", r) + "," +
              (r == 3 ? std::string("!none") : testsupport::Numbered("v", r)) + "," + line +
              ",@skipped,x,x,x,x\r\n";
    }
    dir_->Write("mok/resultDesc.xtx", text);
  }
  static Pairs Keys() {
    return {{"resultsMax", "20"},         {"resultsNumberX", "5"},
            {"resultsNumberY", "2"},      {"resultsSizeX", "20"},
            {"resultsSizeY", "20"},       {"resultsPrintX", "100"},
            {"resultsPrintY", "100"},     {"filenameResultsTag", "plate"},
            {"filenameDialogTag", "dlg"}, {"okPrintX", "10"},
            {"okPrintY", "10"},           {"okSizeX", "80"},
            {"okSizeY", "20"},            {"okFilename", "okb"},
            {"backPrintX", "700"},        {"backPrintY", "550"},
            {"backSizeX", "80"},          {"backSizeY", "20"},
            {"BackFileName", "backb"},    {"upPrintX", "500"},
            {"upPrintY", "550"},          {"upSizeX", "80"},
            {"upSizeY", "20"},            {"UpFileName", "upb"},
            {"downPrintX", "600"},        {"downPrintY", "550"},
            {"downSizeX", "80"},          {"downSizeY", "20"},
            {"DownFileName", "downb"},    {"voiceFlag", "1"},
            {"voiceStartWait", "5"},      {"scrollStartWait", "10"}};
  }
  CCommonPrintResult* Make(const Pairs& keys, int descriptions = 20) {
    WriteDescriptions(descriptions);
    return MakeOver(keys);
  }
  // The mode over the description list already written.
  CCommonPrintResult* MakeOver(const Pairs& keys) {
    WriteList("printResult", keys);
    if (withTable_) Game().MakeResultTable();
    mode_ = Game().Remake<CCommonPrintResult>(33, [](const GameRoles& g) { return new CCommonPrintResult(g); });
    return mode_;
  }
  CIntTableFile* Table() { return Game().GetResultTable(); }
  void Earn(int r, int state) { Table()->SetValue(r + 1, state, 0); }
  void Enter() {
    mode_->Enter();
    Game().ClearCalls();
    Game().ClearSounds();
  }
  int Frame() { return ScreensTest::Frame(mode_); }
  // Clicks and runs frames until the click has been acted on.
  void ClickFrames(int x, int y) {
    Click(x, y);
    for (int i = 0; i < 20; ++i) Frame();
  }
  std::vector<std::string> Voices() const {
    std::vector<std::string> out;
    for (const std::string& s : game_->Sounds())
      if (s.find("PlayVoice") != std::string::npos) out.push_back(s);
    return out;
  }

  CCommonPrintResult* mode_ = nullptr;
  // The game keeps the result table ("resultFlag").
  bool withTable_ = true;
};

TEST_F(PrintResultTest, NewResultsAreAnnouncedInOrderAndWritten) {
  Make(Keys());
  Earn(8, 1);
  Earn(1, 1);
  Earn(4, 1);
  Earn(0, 2);
  Enter();
  EXPECT_EQ(mode_->GetAnnounced(), 1);
  EXPECT_NE(std::string(Game().GetWorkPicture()->GetName()).find("dlg02"), std::string::npos);
  const std::vector<int> order = {4, 8, -1};
  for (int next : order) {
    ClickFrames(190, 145);  // OK: its own place plus the dialog's
    EXPECT_EQ(mode_->GetAnnounced(), next);
  }
  for (int r : {0, 1, 4, 8}) {
    EXPECT_EQ(mode_->GetState(r), 2) << r;
    EXPECT_EQ(Table()->GetValue(r + 1, 0), 2) << r;
  }
  // Afterwards all are drawn: result 1's plate cell at (120, 100).
  FillScreen();
  mode_->Print();
  CPicture plate;
  ASSERT_EQ(plate.LoadDWQ("sys\\plate1"), 1);
  EXPECT_EQ(Pixel(125, 103), plate.GetPixelBuffer()[3 * 100 + 20 + 5] & 0xFFFFFFu);
}

TEST_F(PrintResultTest, AnAnnouncementTurnsToItsPage) {
  Make(Keys());
  Earn(12, 1);
  Enter();
  EXPECT_EQ(mode_->GetPageCount(), 2);
  EXPECT_EQ(mode_->GetPage(), 1);
  // Without the dialog nothing is announced and new results are drawn.
  game_.reset();
  Pairs keys = Keys();
  keys.push_back({"dialogFlag", "0"});
  Make(keys);
  Earn(12, 1);
  Enter();
  EXPECT_EQ(mode_->GetAnnounced(), -1);
  EXPECT_EQ(mode_->AnnounceNext(), -1);
  EXPECT_EQ(Table()->GetValue(13, 0), 1);
}

TEST_F(PrintResultTest, HoverScrollsAndPlaysTheVoiceAfterItsWait) {
  Make(Keys());
  for (int r : {0, 1, 3}) Earn(r, 2);
  Enter();
  // Result 1: 41 characters scroll to 10 + 11 * 22 / 3.
  host_->InjectMouseMove(125, 105);
  Frame();
  ASSERT_EQ(mode_->GetHovered(), 1);
  EXPECT_EQ(mode_->GetScrollLimit(), 90);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_TRUE(Voices().empty());
  Frame();
  ASSERT_EQ(Voices().size(), 1u);
  EXPECT_NE(Voices()[0].find("v1"), std::string::npos);
  for (int i = 0; i < 200; ++i) Frame();
  EXPECT_EQ(mode_->GetScrollCounter(), 90);
  EXPECT_EQ(Voices().size(), 1u);
  // Result 0 (30 characters) does not scroll; result 3's '!' voice stays
  // silent.
  host_->InjectMouseMove(105, 105);
  Frame();
  EXPECT_EQ(mode_->GetHovered(), 0);
  EXPECT_EQ(mode_->GetScrollLimit(), 10);
  host_->InjectMouseMove(165, 105);
  Game().ClearSounds();
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(mode_->GetHovered(), 3);
  EXPECT_TRUE(Voices().empty());
  // Nothing hovered over an unearned result.
  host_->InjectMouseMove(145, 105);
  Frame();
  EXPECT_EQ(mode_->GetHovered(), -1);
}

TEST_F(PrintResultTest, TheScrollingLineIsClippedAtBothEdges) {
  Pairs keys = Keys();
  keys.push_back({"messageLength", "5"});
  keys.push_back({"scrollSpeed", "4"});
  keys.push_back({"messageSukima", "10"});
  Make(keys);
  Earn(1, 2);
  Enter();
  host_->InjectMouseMove(125, 105);
  // 37 frames past the wait: 148 pixels, the line 38 pixels left of its
  // place (6 characters dropped), starting left of the left edge; 5
  // characters 32 pixels apart run past the right edge.
  for (int i = 0; i < 48; ++i) Frame();
  ASSERT_EQ(mode_->GetScrollCounter(), 47);
  FillScreen();
  mode_->Print();
  const Screen with = Snapshot();
  host_->InjectMouseMove(700, 20);
  Frame();
  ASSERT_EQ(mode_->GetHovered(), -1);
  FillScreen();
  mode_->Print();
  const Screen without = Snapshot();
  // Size 22, spacing 10: visible from 56 - 32 to 56 + 12 * 6.
  const int left = 56 - 22 - 10, right = 56 + 12 * 6;
  int changed = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const size_t i = static_cast<size_t>(y) * 800 + x;
      if (with[i] == without[i]) continue;
      ++changed;
      EXPECT_TRUE(x >= left && x < right && y >= 484 && y < 484 + 2 * 22) << x << "," << y;
    }
  EXPECT_GT(changed, 50);
}

// Result r's voice, scrolling line and the lines of description mode 0 all
// come from record r + 1; the last result, whose record lies past the end
// of the list, has none and draws nothing.
TEST_F(PrintResultTest, DescriptionsComeFromTheNextRecord) {
  dir_->Write("mok/resultDesc.xtx",
              "h0,h1,h2,h3,h4,h5,h6,h7\r\n"
              "R0,v0,a0,@skipped,b0,c0,d0,e0\r\n"
              "R1,!none,a1,b1,c1,d1,e1,f1\r\n");
  Pairs keys = Keys();
  keys[0] = {"resultsMax", "3"};
  keys.push_back({"descprintType", "0"});
  MakeOver(keys);
  using Lines = std::vector<std::string>;
  const struct {
    int r;
    Lines lines;
    std::string text;
  } cases[] = {
      {0, {"a0", "b0", "c0"}, "a0b0c0"},  // four lines from the record, the '@' one left out
      {1, {"a1", "b1", "c1", "d1"}, "a1b1c1d1"},
      {2, {}, ""},  // past the list
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mode_->GetLines(c.r), c.lines) << c.r;
    EXPECT_EQ(mode_->GetText(c.r), c.text) << c.r;
  }
  // More lines than a record holds are held to its six.
  game_.reset();
  keys.push_back({"messageBlockMax", "9"});
  MakeOver(keys);
  EXPECT_EQ(mode_->GetLines(1), (Lines{"a1", "b1", "c1", "d1", "e1", "f1"}));

  // The last result hovered: no voice and no description drawn.
  for (int r = 0; r < 3; ++r) Earn(r, 2);
  Enter();
  host_->InjectMouseMove(400, 20);
  for (int i = 0; i < 60; ++i) Frame();  // past the entry's fade
  ASSERT_EQ(mode_->GetHovered(), -1);
  FillScreen();
  mode_->Print();
  const Screen idle = Snapshot();
  host_->InjectMouseMove(145, 105);
  for (int i = 0; i < 10; ++i) Frame();
  ASSERT_EQ(mode_->GetHovered(), 2);
  EXPECT_TRUE(Voices().empty());
  FillScreen();
  mode_->Print();
  EXPECT_TRUE(Snapshot() == idle);
  // Result 0 hovered draws its lines.
  host_->InjectMouseMove(105, 105);
  Frame();
  ASSERT_EQ(mode_->GetHovered(), 0);
  FillScreen();
  mode_->Print();
  EXPECT_FALSE(Snapshot() == idle);
}

TEST_F(PrintResultTest, PagesAndBack) {
  Make(Keys());
  Earn(12, 2);
  Enter();
  EXPECT_EQ(mode_->GetPage(), 0);
  ClickFrames(640, 560);  // down
  EXPECT_EQ(mode_->GetPage(), 1);
  ClickFrames(540, 560);  // up
  EXPECT_EQ(mode_->GetPage(), 0);
  Click(740, 560);
  EXPECT_EQ(FramesUntilExit(mode_, 10), 15);
  mode_->AtExit();
}

TEST_F(PrintResultTest, RowsPastTheTableAndNoTable) {
  // One result a page: pages past the picture pool draw nothing.
  Pairs keys = Keys();
  keys[0] = {"resultsMax", "1100"};
  keys[1] = {"resultsNumberX", "1"};
  keys[2] = {"resultsNumberY", "1"};
  Make(keys, 0);
  Table()->SetValue(1023, 1, 0);
  Enter();
  EXPECT_EQ(mode_->GetState(1022), 1);
  EXPECT_EQ(mode_->GetState(1023), 0);
  EXPECT_EQ(mode_->GetState(1099), 0);
  EXPECT_EQ(mode_->GetAnnounced(), 1022);
  EXPECT_EQ(mode_->GetPage(), 1022);
  for (int i = 0; i < 3; ++i) Frame();

  game_.reset();
  withTable_ = false;
  Make(Keys());
  ASSERT_EQ(Game().GetResultTable(), nullptr);
  Enter();
  EXPECT_EQ(mode_->GetAnnounced(), -1);
  for (int r = 0; r < 20; ++r) EXPECT_EQ(mode_->GetState(r), 0);
  for (int i = 0; i < 3; ++i) Frame();
}

TEST_F(PrintResultTest, BadGridSettings) {
  Pairs keys = Keys();
  keys[1] = {"resultsNumberX", "0"};
  keys[2] = {"resultsNumberY", "-5"};
  Make(keys);
  EXPECT_EQ(mode_->GetPageCount(), 20);
  Earn(5, 1);
  Enter();
  EXPECT_EQ(mode_->GetPage(), 5);
  for (int i = 0; i < 3; ++i) Frame();
}

}  // namespace
}  // namespace selectscreens_test
