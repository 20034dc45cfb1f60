// The choice mode on the fake of the services: the rows and the pick, keys and the
// pointer, pages, the time limit, hiding the window, leaving for other
// modes, the back-log lines, the timer, the special layouts and the saved
// words.
#include <gtest/gtest.h>

#include "message/rendersettings.h"

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "mode/selectmessage.h"
#include "widget/updownbutton.h"
#include "platform/types.h"
#include "support/dwq_picture.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"
#include "widget/numberprint.h"

namespace {

using testsupport::Pairs;
using testsupport::Sjis;
using selectmessage::Rect;

// The fake with the back log, the script's label call and the option
// buttons recorded in Calls().
class ChoiceGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;

  CCommonSelectMessage* Remake() { return MakeMode<CCommonSelectMessage>(); }
  void AddBackLog(const char* text, int r, int g, int b) override {
    Note("AddBackLog " + testsupport::Utf8(text) + " " + Color(r, g, b));
  }
  void SetBackLogColor(int back, int r, int g, int b) override {
    Note("SetBackLogColor " + std::to_string(back) + " " + Color(r, g, b));
  }
  int CallScriptLabel(int label) override {
    Note("CallScriptLabel " + std::to_string(label));
    return 0;
  }
  void SetSkipFilmFlag(int value) override { Note("SetSkipFilmFlag " + std::to_string(value)); }
  int CheckFloatingButtons() override { return floating_; }
  int CheckShortCut(int) override { return shortCut_; }
  void KeepGameState() override { Note("KeepGameState"); }

  // Only the recorded lines starting with `prefix`.
  std::vector<std::string> Lines(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : Calls())
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }

  int floating_ = -1;
  int shortCut_ = -1;

 private:
  static std::string Color(int r, int g, int b) {
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
  }
};

constexpr int kClickDelay = 3;

class SelectMessageTest : public testsupport::GameFolderTest {
 protected:
  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }

  ChoiceGame& Game() {
    if (!game_) game_ = std::make_unique<ChoiceGame>(*host_);
    return *game_;
  }
  CCommonSelectMessage* Make(const Pairs& keys) {
    WriteList("SelectMessage", keys);
    mode_ = Game().Remake();
    return mode_;
  }
  // The choice command's calls: the header, the counts, the selector, the
  // texts (question lines first) and the time limit.
  void Fill(const std::vector<std::string>& questions, const std::vector<std::string>& choices,
            int time = 0, int timeout = 0, int selector = 0) {
    mode_->AddBackLogHeader();
    mode_->SetSelectRange(static_cast<int>(choices.size()), static_cast<int>(questions.size()));
    mode_->SetSelectExtra(selector);
    int i = 0;
    for (const std::string& q : questions) mode_->SetSelectText(i++, Sjis(q).c_str());
    for (const std::string& c : choices) mode_->SetSelectText(i++, Sjis(c).c_str());
    mode_->SetTimeLimit(time, timeout == 0 ? static_cast<int>(choices.size()) + 1 : timeout);
  }
  // One frame of the mode; its result, and its exit hooks when it asked to
  // leave.
  int Frame() {
    int result = -2;
    Game().RunFrame([&] { return result = mode_->Calcu(); }, [&] { mode_->Print(); });
    mode_->ExitStep();
    return result;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  void Enter() {
    mode_->Enter();
    Game().ClearCalls();
  }
  void Click(int x, int y) {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
  }
  void Key(int vk) {
    host_->InjectKey(vk, true);
    host_->InjectKey(vk, false);
  }
  // The centre of row r's cursor rectangle.
  void RowCentre(int row, int* x, int* y) const {
    const Rect c = mode_->GetCursorRect(row);
    *x = c.x + c.w / 2;
    *y = c.y + c.h / 2;
  }

  std::unique_ptr<ChoiceGame> game_;
  CCommonSelectMessage* mode_ = nullptr;
};

TEST_F(SelectMessageTest, TheSecondOfThreeRowsReturnsTwoAfterTheClickingTime) {
  Make({{"clickingTime", "5"}});
  Fill({"question"}, {"one", "two", "three"});
  mode_->Enter();
  // Entering starts the looped sounds a load left waiting.
  EXPECT_EQ(Game().Lines("PlayPendingSounds").size(), 1u);
  Enter();
  // Rows 0..2 below the question line, each under its own rectangle.
  EXPECT_EQ(mode_->GetRowCount(), 3);
  for (int r = 0; r < 3; ++r) {
    int x = 0, y = 0;
    RowCentre(r, &x, &y);
    EXPECT_EQ(mode_->HitTestItem(x, y), r);
    EXPECT_EQ(y, 383 + (r + 1) * 30 - 2 + 27 / 2);
  }
  int x = 0, y = 0;
  RowCentre(1, &x, &y);
  EXPECT_EQ(mode_->HitTestItem(x, y + 30 * 2), -1);

  // Clicks in the first three frames are ignored.
  for (int i = 0; i < kClickDelay; ++i) {
    Click(x, y);
    EXPECT_EQ(Frame(), -1);
    EXPECT_EQ(mode_->IsSelected(), 0) << i;
  }
  Click(x, y);
  EXPECT_EQ(Frame(), -1);
  EXPECT_EQ(mode_->IsSelected(), 1);
  EXPECT_EQ(mode_->GetResult(), 2);
  // The pick: its sound (selectSound 0 asks for -1), the choice's line two
  // back recoloured, three dot lines.
  const std::string dots = "AddBackLog 　　　　　　　　　　　　・ 128,128,128";
  EXPECT_EQ(Game().Calls(),
            (std::vector<std::string>{"PlaySystemSe -1 0", "SetBackLogColor 2 192,232,255", dots,
                                      dots, dots}));
  Game().ClearCalls();
  // Four more frames wait, the fifth leaves and delivers the result.
  Frames(4);
  EXPECT_TRUE(Game().Lines("CallScriptLabel").empty());
  Frame();
  EXPECT_EQ(Game().Lines("CallScriptLabel"), (std::vector<std::string>{"CallScriptLabel 2"}));
  EXPECT_EQ(Game().Lines("SetSkipFilmFlag"), (std::vector<std::string>{"SetSkipFilmFlag 1"}));
  // Nothing is delivered twice: not by later frames, nor by a second exit
  // hook of the same list.
  Frames(3);
  mode_->AtExit();
  EXPECT_EQ(Game().Lines("CallScriptLabel").size(), 1u);
  EXPECT_EQ(Game().Lines("SetSkipFilmFlag").size(), 1u);
}

TEST_F(SelectMessageTest, TheBackLogGetsTheHeaderTheQuestionAndTheChoices) {
  Make({});
  Game().ClearCalls();
  Fill({"Q"}, {"A", "B"});
  EXPECT_EQ(Game().Lines("AddBackLog"),
            (std::vector<std::string>{"AddBackLog 　 255,255,255", "AddBackLog #足選択肢 64,192,255",
                                      "AddBackLog Q 255,255,255", "AddBackLog A 255,255,255",
                                      "AddBackLog B 255,255,255"}));
}

// In a game of one-byte text the built-in back-log lines around a choice
// are one-byte text too: a CP932 pair read byte by byte shows " @".
TEST_F(SelectMessageTest, AGameOfOneByteTextGetsOneByteBackLogLines) {
  Make({});
  GetRenderSettings().codeByte = 1;
  Fill({}, {"a", "b"}, 1000, 0);
  EXPECT_EQ(Game().Lines("AddBackLog"),
            (std::vector<std::string>{"AddBackLog   255,255,255", "AddBackLog #Choice 64,192,255",
                                      "AddBackLog a 255,255,255", "AddBackLog b 255,255,255"}));
  Enter();
  Game().SetStep(100);
  Frames(10);
  const std::string dots = "AddBackLog " + std::string(24, ' ') + ". 128,128,128";
  EXPECT_EQ(Game().Lines("AddBackLog"),
            (std::vector<std::string>{"AddBackLog Time over 255,64,128", dots, dots, dots}));
  ResetRenderSettings();
}

TEST_F(SelectMessageTest, KeysMoveTheCursorAndThePointerAndReturnPicksTheRow) {
  Make({});
  Fill({}, {"one", "two", "three"});
  Enter();
  Frames(kClickDelay);
  Key(VK_DOWN);
  Frame();
  EXPECT_EQ(mode_->GetKeyCursor(), 0);
  Key(VK_DOWN);
  Frame();
  EXPECT_EQ(mode_->GetKeyCursor(), 1);
  // The pointer went to the row's centre; the next frame's hover follows.
  Frame();
  EXPECT_EQ(mode_->GetHover(), 1);
  Key(VK_RETURN);
  Frame();
  EXPECT_EQ(mode_->GetResult(), 2);
  // Up on the first row stays there; Down on the last row of a list
  // without scrolling stays too.
  Make({});
  Fill({}, {"one", "two"});
  Enter();
  for (int vk : {VK_UP, VK_DOWN, VK_DOWN, VK_DOWN}) {
    Key(vk);
    Frame();
  }
  EXPECT_EQ(mode_->GetKeyCursor(), 1);
  EXPECT_EQ(mode_->GetPage(), 0);
}

TEST_F(SelectMessageTest, ScrollingSixChoicesGivesThreePages) {
  Make({{"useScrollFlag", "1"}});
  Fill({}, {"1", "2", "3", "4", "5", "6"});
  Enter();
  EXPECT_EQ(mode_->GetPageCount(), 3);
  EXPECT_EQ(mode_->GetRowCount(), 4);
  const struct {
    int vk, cursor, page;
  } steps[] = {{VK_DOWN, 0, 0}, {VK_DOWN, 1, 0}, {VK_DOWN, 2, 0}, {VK_DOWN, 3, 0},
               {VK_DOWN, 3, 1}, {VK_DOWN, 3, 2}, {VK_DOWN, 3, 2}, {VK_UP, 2, 2},
               {VK_UP, 1, 2},   {VK_UP, 0, 2},   {VK_UP, 0, 1}};
  for (const auto& s : steps) {
    Key(s.vk);
    Frame();
    EXPECT_EQ(mode_->GetKeyCursor(), s.cursor);
    EXPECT_EQ(mode_->GetPage(), s.page);
  }
  // Row 3 on page 1 is the fifth choice.
  Frame();
  Key(VK_DOWN);
  Frame();
  Key(VK_DOWN);
  Frame();
  Key(VK_DOWN);
  Frame();
  Frame();
  ASSERT_EQ(mode_->GetHover(), 3);
  Key(VK_RETURN);
  Frame();
  EXPECT_EQ(mode_->GetResult(), 5);
  EXPECT_EQ(Game().Lines("SetBackLogColor"),
            (std::vector<std::string>{"SetBackLogColor 2 192,232,255"}));
}

// The base class's up/down pair pages the list too: it takes the page
// count on entry, and a click on its down button turns one page without
// picking a row.
TEST_F(SelectMessageTest, ThePagePairTurnsThePageOfALongList) {
  Make({{"useScrollFlag", "1"}, {"upSizeX", "10"}, {"upSizeY", "10"}, {"upPrintMode", "0"},
        {"upClickTime", "0"}, {"upPrintX", "700"}, {"upPrintY", "10"}, {"downPrintX", "720"},
        {"downPrintY", "10"}});
  Fill({}, {"1", "2", "3", "4", "5", "6"});
  Enter();
  CUpDownButton* pair = mode_->GetUpDownButtons();
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair->GetPageMax(), 3);
  EXPECT_EQ(pair->GetPage(), 0);
  Frames(4);
  Click(725, 15);
  Frames(2);
  EXPECT_EQ(mode_->GetPage(), 1);
  EXPECT_EQ(pair->GetPage(), 1);
  EXPECT_EQ(mode_->GetResult(), 0);
  Click(705, 15);
  Frames(2);
  EXPECT_EQ(mode_->GetPage(), 0);
}

TEST_F(SelectMessageTest, ATimeLimitFromAVariableRunsOutToTheTimeoutChoice) {
  Make({});
  Game().SetVar(5, 1000);
  Fill({}, {"a", "b", "c"}, -5, 0);
  EXPECT_EQ(mode_->GetTimeLimit(), 1000);
  EXPECT_EQ(mode_->GetTimeoutChoice(), 4);
  Enter();
  Game().SetStep(100);
  Frames(9);
  EXPECT_EQ(mode_->GetSelectState(), 100);
  EXPECT_TRUE(Game().Lines("CallScriptLabel").empty());
  Frame();
  EXPECT_EQ(mode_->GetSelectState(), 0);
  // Choice 4 of 3 recolours nothing.
  const std::string dots = "AddBackLog 　　　　　　　　　　　　・ 128,128,128";
  EXPECT_EQ(Game().Lines("SetBackLogColor").size(), 0u);
  EXPECT_EQ(Game().Lines("AddBackLog"),
            (std::vector<std::string>{"AddBackLog 制限時間オーバー 255,64,128", dots, dots, dots}));
  EXPECT_EQ(Game().Lines("CallScriptLabel"), (std::vector<std::string>{"CallScriptLabel 4"}));
  Frames(2);
  EXPECT_EQ(Game().Lines("CallScriptLabel").size(), 1u);

  // A timeout choice of the list recolours its line; a negative variable is
  // no time at all.
  Make({});
  Fill({}, {"a", "b", "c"}, 300, 2);
  Enter();
  Frames(3);
  EXPECT_EQ(Game().Lines("SetBackLogColor"),
            (std::vector<std::string>{"SetBackLogColor 2 192,232,255"}));
  Game().SetVar(7, -50);
  mode_->SetTimeLimit(-7, 1);
  EXPECT_EQ(mode_->GetTimeLimit(), 0);
  mode_->SetTimeLimit(INT_MIN, 1);
  EXPECT_EQ(mode_->GetTimeLimit(), 0);
}

TEST_F(SelectMessageTest, SpaceHidesOnlyWhereOptionsAreAllowedAndTimeStopsWhileHidden) {
  for (int optionOk : {0, 1}) {
    SCOPED_TRACE(optionOk);
    Make({{"timeLimitOptionOk", std::to_string(optionOk)}, {"windowOffSound", "3"}});
    Fill({}, {"a", "b"});
    Enter();
    Frames(kClickDelay);
    Key(VK_SPACE);
    Frame();
    EXPECT_EQ(mode_->IsWindowShown(), 0);
    Key(VK_SPACE);
    Frame();
    EXPECT_EQ(mode_->IsWindowShown(), 1);

    Fill({}, {"a", "b"}, 5000, 1);
    Enter();
    Frames(kClickDelay);
    Key(VK_SPACE);
    Frame();
    EXPECT_EQ(mode_->IsWindowShown(), 1 - optionOk);
    const int left = mode_->GetSelectState();
    Frames(5);
    EXPECT_EQ(mode_->GetSelectState(), optionOk ? left : left - 5 * Game().Step());
  }
  // windowOffSound 3 plays system sound 2 (the last hide since entering).
  EXPECT_EQ(Game().Lines("PlaySystemSe 2 0").size(), 1u);
}

TEST_F(SelectMessageTest, LeavingForOtherModesDeliversNothing) {
  // The wheel opens the back log.
  Make({});
  Fill({}, {"a", "b"});
  Enter();
  host_->InjectWheel(120);
  EXPECT_EQ(Frame(), 7);
  EXPECT_EQ(Game().Lines("KeepGameState").size(), 1u);
  EXPECT_EQ(Game().Lines("NotifyMode"), (std::vector<std::string>{"NotifyMode 7 9"}));
  // Under a time limit without timeLimitOptionOk the wheel does nothing.
  Fill({}, {"a", "b"}, 5000, 1);
  Enter();
  host_->InjectWheel(120);
  EXPECT_EQ(Frame(), -1);

  // The option buttons: 0 system menu, 1 configuration, 2 back log.
  const struct {
    int button, mode;
  } cases[] = {{0, 13}, {1, 12}, {2, 7}};
  for (const auto& c : cases) {
    Make({{"optionOk", "1"}});
    Fill({}, {"a", "b"});
    Enter();
    Game().floating_ = static_cast<int>(0xF0000080u) | c.button;
    EXPECT_EQ(Frame(), c.mode) << c.button;
    // The mode is told first where to come back to.
    const std::vector<std::string> notes = Game().Lines("NotifyMode");
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0], "NotifyMode " + std::to_string(c.mode) + " 9");
    Game().floating_ = -1;
    EXPECT_EQ(mode_->GetDeliver(), 0);
  }
  // A short cut.
  Make({{"optionOk", "1"}});
  Fill({}, {"a", "b"});
  Enter();
  Game().shortCut_ = 20;
  EXPECT_EQ(Frame(), 20);
  Game().shortCut_ = -1;
  EXPECT_TRUE(Game().Lines("CallScriptLabel").empty());
  EXPECT_TRUE(Game().Lines("SetSkipFilmFlag").empty());
}

TEST_F(SelectMessageTest, StateFromTheCommandOrASaveStaysInsideTheSlots) {
  Make({});
  mode_->SetSelectRange(100, 10);
  EXPECT_EQ(mode_->GetSelectStart(), 10);
  EXPECT_EQ(mode_->GetSelectEnd(), 64);
  mode_->SetSelectRange(-3, 70);
  EXPECT_EQ(mode_->GetSelectStart(), 64);
  EXPECT_EQ(mode_->GetSelectEnd(), 64);
  mode_->SetSelectRange(INT_MAX, INT_MIN);
  EXPECT_EQ(mode_->GetSelectStart(), 0);
  EXPECT_EQ(mode_->GetSelectEnd(), 64);

  const std::string longText(300, 'x');
  mode_->SetSelectText(63, longText.c_str());
  EXPECT_EQ(std::strlen(mode_->GetSelectText(63)), 254u);
  EXPECT_EQ(mode_->GetSelectText(63)[255], 0);
  mode_->SetSelectText(64, "no");
  mode_->SetSelectText(-1, "no");
  mode_->SetSelectText(5, nullptr);
  EXPECT_EQ(mode_->GetSelectText(64), nullptr);
  EXPECT_EQ(mode_->GetSelectText(-1), nullptr);
  EXPECT_STREQ(mode_->GetSelectText(5), "");

  mode_->SetSelectState(-20);
  EXPECT_EQ(mode_->GetSelectState(), 0);

  // Restored slots are cut to 254 bytes and two NULs, whatever the chunk
  // holds; a short chunk fills only the slots it covers.
  std::vector<uint8_t> entries(64 * 256, 'y');
  mode_->SetSelectText(1, "keep");
  mode_->RestoreSelectTexts(entries.data(), 256);
  EXPECT_EQ(std::strlen(mode_->GetSelectText(0)), 254u);
  EXPECT_STREQ(mode_->GetSelectText(1), "keep");
  mode_->RestoreSelectTexts(entries.data(), entries.size());
  for (int i = 0; i < 64; ++i) EXPECT_EQ(std::strlen(mode_->GetSelectText(i)), 254u) << i;
}

// --- Drawing ---

constexpr uint32_t kBack = 0x0A141E;

uint32_t Pixel(int x, int y) {
  return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x] & 0xFFFFFF;
}

// The rows (relative to y0) of the band x0 .. x0 + w - 1 that hold anything
// but the back colour.
std::vector<int> InkedRows(int x0, int y0, int w, int h) {
  std::vector<int> rows;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Pixel(x0 + x, y0 + y) != kBack) {
        rows.push_back(y);
        break;
      }
  return rows;
}

TEST_F(SelectMessageTest, TheAppearTypesDrawTheirRowBands) {
  // Font size 24, half way through (2 of 4 frames): type 1 rows 5..18 (g 12,
  // h 6), type 2 rows 0..11, type 3 rows 12..23.
  const struct {
    int type, first, last;
  } cases[] = {{1, 5, 18}, {2, 0, 11}, {3, 12, 23}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    Make({{"firstAppearType", std::to_string(c.type)},
          {"firstAppearTime", "4"},
          {"windowPrintFlag", "0"},
          {"backColorR", "10"},
          {"backColorG", "20"},
          {"backColorB", "30"}});
    Fill({}, {"ABCD"});
    Enter();
    Frames(2);
    EXPECT_EQ(mode_->GetAppearCounter(), 2);
    int x = 0, y = 0;
    mode_->GetRowPos(0, &x, &y);
    const std::vector<int> rows = InkedRows(x, y - 10, 4 * 24, 60);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), c.first + 10);
    EXPECT_LE(rows.back(), c.last + 10);
    // Once it has appeared the whole line is there.
    Frames(3);
    const std::vector<int> whole = InkedRows(x, y - 10, 4 * 24, 60);
    EXPECT_LT(whole.front(), rows.front() + (c.type == 3 ? 0 : 1));
    EXPECT_GE(whole.back(), rows.back());
  }
}

TEST_F(SelectMessageTest, TheWindowAndTheCursorUnderThePointer) {
  testsupport::WriteDwq(*dir_, "sys/sel_win", 40, 20, 0x654321);
  testsupport::WriteDwq(*dir_, "sys/sel_cur", 6, 6, 0x123456);
  Make({{"windowFileName", "sel_win"},
        {"windowPrintX", "500"},
        {"windowPrintY", "20"},
        {"windowSizeX", "40"},
        {"windowSizeY", "20"},
        {"cursorFileName", "sel_cur"},
        {"animePatternNumber", "1"},
        {"backColorR", "10"},
        {"backColorG", "20"},
        {"backColorB", "30"}});
  Fill({}, {"one", "two"});
  Enter();
  int x = 0, y = 0;
  RowCentre(1, &x, &y);
  host_->InjectMouseMove(x, y);
  Frames(2);
  ASSERT_EQ(mode_->GetHover(), 1);
  EXPECT_EQ(Pixel(500, 20), 0x654321u);
  EXPECT_EQ(Pixel(539, 39), 0x654321u);
  const Rect on = mode_->GetCursorRect(1), off = mode_->GetCursorRect(0);
  EXPECT_EQ(Pixel(on.x, on.y), 0x123456u);
  EXPECT_EQ(Pixel(off.x, off.y), kBack);
  // The pointer moves to row 0: the cursor follows on a partial frame.
  RowCentre(0, &x, &y);
  host_->InjectMouseMove(x, y);
  Frames(1);
  EXPECT_EQ(Pixel(off.x, off.y), 0x123456u);
  EXPECT_EQ(Pixel(on.x, on.y), kBack);
}

TEST_F(SelectMessageTest, ATypeOneTimerBarIsDrawnInItsColour) {
  Make({{"windowPrintFlag", "0"},
        {"timerPrintX", "10"},
        {"timerPrintY", "10"},
        {"timerPicSizeX", "100"},
        {"timerPicSizeY", "8"}});
  Fill({}, {"a", "b"}, 10000, 1);
  mode_->SetSelectState(2500 + Game().Step());
  Enter();
  Frame();
  ASSERT_EQ(mode_->GetSelectState(), 2500);
  EXPECT_EQ(Pixel(10, 10), 0xBF4000u);
  EXPECT_EQ(Pixel(34, 17), 0xBF4000u);
  EXPECT_EQ(Pixel(35, 10), 0u);
}

// A picture of cols x rows cells of w x h, cell k all colour(k).
void WriteCells(const testsupport::TempDir& dir, const std::string& name, int cols, int rows,
                int w, int h, uint32_t (*colour)(int)) {
  dwqtool::Picture p{cols * w, rows * h, {}, {}};
  for (int y = 0; y < rows * h; ++y)
    for (int x = 0; x < cols * w; ++x) p.pixels.push_back(colour(y / h * cols + x / w));
  testsupport::WriteDwq(dir, "sys/" + name, std::move(p));
}

uint32_t CellColour(int k) { return 0x102030u * static_cast<uint32_t>(k + 1); }

TEST_F(SelectMessageTest, SpecialWindowsShowTheirCellsAtTheirPlaces) {
  WriteCells(*dir_, "spw", 2, 2, 10, 5, CellColour);
  Game().SetVarNumber("winA", 40);
  Make({{"useSpecialNumber", "3"},
        {"filenameSpecialWindow", "spw"},
        {"specialWindowSizeX", "10"},
        {"specialWindowSizeY", "5"},
        {"specialWindow2printX1", "100"},
        {"specialWindow2printY1", "100"},
        {"specialWindow2printX2", "200"},
        {"specialWindow2printY2", "100"},
        {"specialmessagePrintX", "50"},
        {"specialWindowVarName1", "winA"},
        {"windowPrintFlag", "0"}});
  Game().SetVar(40, 3);
  Fill({}, {"a", "b"}, 0, 0, 1);
  Enter();
  Frames(1);
  // Choice 1 shows cell 2 (its variable holds 3), choice 2 its own cell 1.
  EXPECT_EQ(Pixel(100, 100), CellColour(2));
  EXPECT_EQ(Pixel(109, 104), CellColour(2));
  EXPECT_EQ(Pixel(200, 100), CellColour(1));
  EXPECT_EQ(Pixel(110, 100), 0u);
}

TEST_F(SelectMessageTest, TimerPatternsAreCellsOfTheTimerPicture) {
  WriteCells(*dir_, "tmr", 4, 1, 10, 4, CellColour);
  for (int type : {3, 4}) {
    SCOPED_TRACE(type);
    Make({{"windowPrintFlag", "0"},
          {"timerPrintType", std::to_string(type)},
          {"fileNameTimer", "tmr"},
          {"timerPicSizeX", "10"},
          {"timerPicNumber", "4"},
          {"timerPrintX", "30"},
          {"timerPrintY", "40"}});
    // 10000 ms with 5000 left: type 3 shows pattern 2 of 4; type 4 (a step
    // of 33) pattern 1 cross-faded with 2 at (33 - 17) x 100 / 33 = 48.
    Fill({}, {"a", "b"}, 10000, 1);
    mode_->SetSelectState(5000 + Game().Step());
    Enter();
    Frame();
    ASSERT_EQ(mode_->GetSelectState(), 5000);
    if (type == 3) {
      EXPECT_EQ(Pixel(30, 40), CellColour(2));
      EXPECT_EQ(Pixel(39, 43), CellColour(2));
    } else {
      EXPECT_NE(Pixel(30, 40), CellColour(1));
      EXPECT_NE(Pixel(30, 40), CellColour(2));
      const selectmessage::TimerFade f = selectmessage::TimerCrossFade(50, 100, 4);
      EXPECT_EQ(std::vector<int>({f.first, f.second, f.percent}), std::vector<int>({1, 2, 48}));
    }
  }
}

// --- Timer ---

TEST(SelectMessageTimer, BarsShrinkTowardsTheirKeptEdgeAndChangeColour) {
  // A limit of 10000 ms with 2500 left: s 100, t 25.
  const struct {
    int side;
    Rect bar;
  } cases[] = {{0, {10, 20 + 32 - 8, 100, 8}},
               {1, {10, 20, 25, 32}},
               {2, {10, 20, 100, 8}},
               {3, {10 + 75, 20, 25, 32}}};
  for (const auto& c : cases) {
    const Rect r = selectmessage::TimerBar(c.side, 10, 20, 100, 32, 25, 100);
    EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}),
              std::vector<int>({c.bar.x, c.bar.y, c.bar.w, c.bar.h}))
        << c.side;
  }
  // Three quarters of the way from green to red.
  EXPECT_EQ(selectmessage::TimerColor(0, 255, 25, 100), 191);
  EXPECT_EQ(selectmessage::TimerColor(255, 0, 25, 100), 64);
  // More left than the limit (a restored word) keeps the whole bar.
  const Rect whole = selectmessage::TimerBar(1, 0, 0, 100, 32, 500, 100);
  EXPECT_EQ(whole.w, 100);
  EXPECT_EQ(selectmessage::TimerColor(0, 255, 500, 100), 0);
}

TEST(SelectMessageTimer, PatternsOfTypesThreeAndFour) {
  // Type 3: four patterns over s 100.
  const int type3[][2] = {{100, 3}, {99, 3}, {75, 3}, {74, 2}, {25, 1}, {24, 0}, {0, 0}, {-5, 0}};
  for (const auto& c : type3) EXPECT_EQ(selectmessage::TimerPattern(c[0], 100, 4), c[1]) << c[0];
  // Type 4: five patterns, a step of 25.
  const struct {
    int t, first, second, percent;
  } type4[] = {{100, 4, 4, 100}, {75, 3, 3, 100}, {70, 2, 3, 20}, {55, 2, 3, 80}, {0, 0, 0, 100}};
  for (const auto& c : type4) {
    const selectmessage::TimerFade f = selectmessage::TimerCrossFade(c.t, 100, 5);
    EXPECT_EQ(std::vector<int>({f.first, f.second, f.percent}),
              std::vector<int>({c.first, c.second, c.percent}))
        << c.t;
  }
  // One pattern, or a step below 1, never divides by zero.
  EXPECT_EQ(selectmessage::TimerCrossFade(7, 100, 1).first, 0);
  EXPECT_EQ(selectmessage::TimerCrossFade(7, 2, 50).first, 7);
  EXPECT_EQ(selectmessage::TimerPattern(7, 0, 0), 0);
}

TEST(SelectMessageTimer, GridCellsWrapAndSizesBelowOneCountAsOne) {
  int x = 0, y = 0;
  selectmessage::GridCell(2, 200, 120, 100, 60, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({0, 60}));
  selectmessage::GridCell(5, 200, 120, 100, 60, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({100, 0}));
  selectmessage::GridCell(3, 10, 10, 0, -4, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({3, 0}));
  selectmessage::GridCell(1, 10, 10, 100, 100, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({0, 0}));
}

TEST(SelectMessageAnime, CursorPatternsRunForwardAndBack) {
  // Three patterns, two steps each, played back and forth from counter 0:
  // the first step is counter 1.
  std::vector<int> seen;
  selectmessage::AnimeStep s;
  for (int i = 0; i < 9; ++i) {
    s = selectmessage::StepAnime(s.counter, 3, 2, 1);
    seen.push_back(s.current);
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 2, 1, 1, 0, 0}));
  s = selectmessage::StepAnime(4, 3, 2, 1);  // counter 5: pattern 2 half way to 1
  EXPECT_EQ(std::vector<int>({s.current, s.next, s.blend}), std::vector<int>({2, 1, 50}));
}

TEST_F(SelectMessageTest, TheSecondsAndTheFractionPrinters) {
  for (int flag : {3, 4, 5}) {
    Make({{"timerTimePrintFlag", std::to_string(flag)}, {"timerTimeFontSizeX", "10"}});
    ASSERT_NE(mode_->GetSecondsPrinter(), nullptr);
    ASSERT_NE(mode_->GetFractionPrinter(), nullptr);
    EXPECT_EQ(mode_->GetFractionPrinter()->GetKeta(), flag - 2);
    mode_->SetTimeLimit(10000, 1);
    mode_->SetSelectState(7654);
    EXPECT_EQ(mode_->GetFractionValue(), flag == 3 ? 654 : flag == 4 ? 65 : 6);
  }
  Make({{"timerTimePrintFlag", "2"}});
  EXPECT_NE(mode_->GetSecondsPrinter(), nullptr);
  EXPECT_EQ(mode_->GetFractionPrinter(), nullptr);
  Make({});
  EXPECT_EQ(mode_->GetSecondsPrinter(), nullptr);
}

// --- Special layouts ---

TEST_F(SelectMessageTest, ATwoChoiceSpecialLayoutTakesItsOwnPositions) {
  Make({{"useSpecialNumber", "3"},
        {"specialWindow2printX1", "100"},
        {"specialWindow2printY1", "150"},
        {"specialWindow2printX2", "400"},
        {"specialWindow2printY2", "250"},
        {"specialmessagePrintX", "5"},
        {"specialmessagePrintY", "6"},
        {"specialCursorDeltaX", "1"},
        {"specialCursorSizeX", "90"},
        {"specialCursorSizeY", "20"}});
  Fill({}, {"a", "b"}, 0, 0, 1);
  ASSERT_EQ(mode_->IsSpecial(), 1);
  int x = 0, y = 0;
  mode_->GetRowPos(0, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({105, 156}));
  mode_->GetRowPos(1, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({405, 256}));
  const Rect c = mode_->GetCursorRect(1);
  EXPECT_EQ(std::vector<int>({c.x, c.y, c.w, c.h}), std::vector<int>({406, 254, 90, 20}));
  EXPECT_EQ(mode_->HitTestItem(410, 260), 1);
  // The three-choice layout keeps its default y: (3 - 1) x 60.
  Fill({}, {"a", "b", "c"}, 0, 0, 1);
  mode_->GetRowPos(2, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({5, 126}));
  // Selector 0 is the normal layout.
  Fill({}, {"a", "b"}, 0, 0, 0);
  EXPECT_EQ(mode_->IsSpecial(), 0);
}

TEST_F(SelectMessageTest, AListLongerThanTheSpecialTablesUsesTheNormalLayout) {
  Make({{"useSpecialNumber", "2"}, {"specialWindowSizeX", "0"}, {"specialWindowSizeY", "-3"}});
  Fill({}, {"a", "b", "c"}, 0, 0, 1);
  EXPECT_EQ(mode_->IsSpecial(), 0);
  int x = 0, y = 0;
  mode_->GetRowPos(2, &x, &y);
  EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({66, 383 + 2 * 30}));
  Enter();
  Frames(5);  // drawn without touching the tables
  // Within the tables the zero cell sizes still draw.
  Fill({}, {"a", "b"}, 0, 0, 1);
  EXPECT_EQ(mode_->IsSpecial(), 1);
  Enter();
  Frames(2);
}

TEST_F(SelectMessageTest, AChoicesVariableSelectsItsWindowCell) {
  Game().SetVarNumber("winA", 40);
  Make({{"useSpecialNumber", "3"}, {"specialWindowVarName1", "winA"}});
  Game().SetVar(40, 3);
  Fill({}, {"a", "b"}, 0, 0, 1);
  EXPECT_EQ(mode_->GetSpecialCell(0), 2);
  EXPECT_EQ(mode_->GetSpecialCell(1), 1);
  Game().SetVar(40, 0);
  EXPECT_EQ(mode_->GetSpecialCell(0), 0);
}

TEST_F(SelectMessageTest, SelectorTwoKeepsTheQuestionOutOfTheBackLog) {
  Make({{"useSpecialNumber", "2"}});
  Game().ClearCalls();
  Fill({"Q"}, {"A", "B"}, 0, 0, 2);
  EXPECT_EQ(Game().Lines("AddBackLog Q").size(), 0u);
  EXPECT_EQ(Game().Lines("AddBackLog A").size(), 1u);
}

}  // namespace
