// The print-message mode: settings, text entry and the save state.
#include <cstring>
#include <string>
#include <vector>

#include "mode/printmessage_fixture.h"

namespace printmessage_test {
namespace {

constexpr int kWindow = CCommonPrintMessage::kCodeWindow;
constexpr int kFull = CCommonPrintMessage::kCodeFull;
constexpr int kContinue = CCommonPrintMessage::kCodeContinue;
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000;

std::string Numbers(int from, int to) {
  std::string s;
  for (int i = from; i < to; ++i) s += std::to_string(i) + (i + 1 < to ? "\r\n" : "");
  return s;
}

TEST_F(PrintMessageTest, DefaultsFollowTheLayoutAndTheScreen) {
  const CCommonPrintMessage::Settings& s = Mode().GetSettings();
  EXPECT_EQ(s.base.fontSize, 24);
  EXPECT_EQ(s.base.nextY, 30);
  EXPECT_EQ(s.nameX, 100);
  EXPECT_EQ(s.nameY, 70);
  EXPECT_EQ(s.lNextY, 30);
  // (600 - 100) / 30 - 1
  EXPECT_EQ(s.fullMessageNumber, 15);
  EXPECT_EQ(s.windowMessageNumber, 4);
  EXPECT_EQ(std::vector<int>(s.speeds, s.speeds + 5), (std::vector<int>{20, 40, 60, 120, 10000}));
  EXPECT_EQ(s.voiceLastWait[4], 500);
  EXPECT_EQ(s.noVoiceLastWait[0], 2000);
  EXPECT_EQ(s.autoMessageVoiceLastWait, 500);
  EXPECT_EQ(s.drawOverrapOptionFlag, 1);
  EXPECT_EQ(std::vector<int>(s.clips[3], s.clips[3] + 4), (std::vector<int>{0, 0, 800, 600}));
  EXPECT_EQ(s.layouts.size(), 1u);
  EXPECT_NE(Mode().GetNameColorList(), nullptr);
  EXPECT_EQ(Mode().GetMessageCode(), kWindow);
  EXPECT_EQ(Game().GetModeFlag(10), 1);
}

TEST_F(PrintMessageTest, SettingsAreHeldWhereTheyWouldBreakTheLayout) {
  WriteList("PrintMessage", {{"fontSize", "100"},
                             {"LNextY", "0"},
                             {"windowMessageNumber", "-3"},
                             {"voiceLastWait", "800"},
                             {"voiceLastWait2", "900"},
                             {"noVoiceIsDefaultWait", "1"},
                             {"lprintBGMultiR", "50"},
                             {"lprintBGClipX", "10"},
                             {"lprintBGGreyClipSizeY", "7"},
                             {"colorCustomFlag", "1"},
                             {"colorG", "10"},
                             {"shadeColorB", "7"},
                             {"nameShadeColorR", "1"}});
  const CCommonPrintMessage::Settings& s = Mode().GetSettings();
  EXPECT_EQ(s.base.fontSize, 72);
  // A line step of 0 divides as 1 and the limit stays within the store.
  EXPECT_EQ(s.fullMessageNumber, 64);
  EXPECT_EQ(s.windowMessageNumber, 0);
  EXPECT_EQ(std::vector<int>(s.voiceLastWait, s.voiceLastWait + 5),
            (std::vector<int>{800, 900, 800, 800, 800}));
  EXPECT_EQ(s.autoMessageVoiceLastWait, 800);
  EXPECT_EQ(s.multiB, 50);
  EXPECT_EQ(s.clips[2][0], 10);
  EXPECT_EQ(s.clips[2][3], 7);
  EXPECT_EQ(Game().noVoiceIsDefaultWait, 1);
  EXPECT_EQ(std::vector<int>({s.colorR, s.colorG, s.colorB, s.shadeColor}),
            (std::vector<int>{255, 10, 255, 7}));
  EXPECT_EQ(s.nameShadeColor, 0x010000);
}

// Positions at the ends of the 32-bit range: the defaults computed from them
// wrap around instead of overflowing (the sanitizer build stops on the
// latter).
TEST_F(PrintMessageTest, DefaultsFromExtremePositionsWrap) {
  WriteList("PrintMessage", {{"printX", "2147483647"},
                             {"nextX", "-8"},
                             {"printY", "-2147483648"},
                             {"nextY", "1"},
                             {"LPrintY", "-2147483648"}});
  const CCommonPrintMessage::Settings& s = Mode().GetSettings();
  EXPECT_EQ(s.nameX, -2147483641);
  EXPECT_EQ(s.nameY, 2147483647);
  EXPECT_EQ(s.fullMessageNumber, 0);
}

// What a sequence of text commands leaves in the line store and the back
// log.
struct EntryCase {
  const char* name;
  Pairs settings;
  std::function<void(PrintMessageTest*)> steps;
  std::vector<std::string> lines;  // UTF-8
  int code;
  std::vector<LogLine> logTail;  // the last entries of the back log
};

class EntryTest : public PrintMessageTest {
 public:
  void Apply(const EntryCase& c) {
    game_.reset();
    WriteList("PrintMessage", c.settings);
    c.steps(this);
    std::vector<std::string> want;
    for (const std::string& l : c.lines) want.push_back(testsupport::Sjis(l));
    EXPECT_EQ(Lines(), want) << c.name;
    EXPECT_EQ(Mode().GetMessageCode(), c.code) << c.name;
    const auto& log = Game().log;
    ASSERT_GE(log.size(), c.logTail.size()) << c.name;
    std::vector<LogLine> tail(log.end() - static_cast<long>(c.logTail.size()), log.end());
    for (LogLine& l : tail) l.text = testsupport::Utf8(l.text);
    EXPECT_EQ(tail, c.logTail) << c.name;
  }
  using PrintMessageTest::Set;
};

TEST_F(EntryTest, TextCommandsFillTheLineStore) {
  const std::string many = Numbers(0, 64);
  const std::vector<EntryCase> cases = {
      {"name and body", {}, [](auto* t) { t->Set(kWindow, "Alice\r\nHello"); },
       {"Alice", "Hello"}, kWindow, {{"Alice", kRed}, {"Hello", kWhite}}},
      {"a marked continuation joins the last line", {},
       [](auto* t) {
         t->Set(kWindow, "Alice\r\nAB");
         t->Set(kContinue, "#続CD");
       },
       {"Alice", "ABCD"}, kWindow, {{"ABCD", kWhite}}},
      {"the marker alone is a line of its own", {},
       [](auto* t) {
         t->Set(kWindow, "Alice\r\nAB");
         t->Set(kContinue, "#続");
       },
       {"Alice", "AB", "#続"}, kWindow, {{"#続", kWhite}}},
      {"an unmarked continuation starts a line", {},
       [](auto* t) {
         t->Set(kWindow, "Alice\r\nAB");
         t->Set(kContinue, "CD\r\nEF");
       },
       {"Alice", "AB", "CD", "EF"}, kWindow, {{"CD", kWhite}, {"EF", kWhite}}},
      {"a continued name goes only to the log", {},
       [](auto* t) {
         t->Set(kWindow, "Alice\r\nA");
         t->Set(kContinue, "Bob\r\nB");
       },
       {"Alice", "A", "B"}, kWindow, {{"Bob", 0x0000FF}, {"B", kWhite}}},
      {"six window lines keep four", {},
       [](auto* t) { t->Set(kWindow, "N\r\n1\r\n2\r\n3\r\n4\r\n5"); },
       {"N", "1", "2", "3"}, kWindow, {{"4", kWhite}, {"5", kWhite}}},
      {"forty full-screen lines keep the last fifteen", {},
       [](auto* t) { t->Set(kFull, Numbers(0, 40)); },
       {"25", "26", "27", "28", "29", "30", "31", "32", "33", "34", "35", "36", "37", "38", "39"},
       kFull, {{"39", kWhite}}},
      {"a continuation after a wait continues a window page", {},
       [](auto* t) {
         t->Set(kWindow, "Alice\r\nA");
         t->Mode().SetWaitTime(10);
         t->Set(kContinue, "B");
       },
       {"Alice", "A", "B"}, kWindow, {{"B", kWhite}}},
      {"CR alone breaks lines, empty lines stay", {},
       [](auto* t) { t->Set(kWindow, "N\rA\r\n\r\nB\r\n"); },
       {"N", "A", "", "B"}, kWindow, {{"B", kWhite}}},
      {"a long line is cut to 254 bytes", {}, [](auto* t) { t->Set(kFull, std::string(300, 'x')); },
       {std::string(254, 'x')}, kFull, {}},
      // With no line held a join has nothing to join.
      {"a continuation with no line held stores its line", {},
       [](auto* t) { t->Set(kContinue, "#続X\r\nY"); }, {"X", "Y"}, kWindow,
       {{"X", kWhite}, {"Y", kWhite}}},
      // A 65th slot is never written; the line is only logged.
      {"a full store drops a continuation's new line", {{"fullMessageNumber", "64"}},
       [many](auto* t) {
         t->Set(kFull, many);
         t->Set(kContinue, "new\r\nnext");
       },
       {}, kFull, {{"new", kWhite}, {"next", kWhite}}},
      {"a full store still takes a join", {{"fullMessageNumber", "64"}},
       [many](auto* t) {
         t->Set(kFull, many);
         t->Set(kContinue, "#続Z\r\nlost");
       },
       {}, kFull, {{"Z", kWhite}, {"lost", kWhite}}},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    EntryCase expected = c;
    if (std::string(c.name).find("full store") != std::string::npos) {
      expected.lines.clear();
      for (int i = 0; i < 64; ++i) expected.lines.push_back(std::to_string(i));
      if (std::string(c.name).find("join") != std::string::npos) expected.lines[63] = "63Z";
    }
    Apply(expected);
  }
}

TEST_F(PrintMessageTest, WhatOfAPageDoesNotFitIsSaidOnceAPage) {
  // 24-pixel cells one pixel apart from x 100: 28 cells end at the screen's
  // edge (800), 29 reach past it.
  const std::string fits(28, 'x'), wide(29, 'x');
  const std::string tooMany = "6 lines where the message window holds 4 (the last 2 are not shown)";
  const std::string tooWide = "line 2 reaches x 825, past the screen's right edge at 800";
  struct Step {
    int code;
    std::string text;
    std::string problem;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"a page that fits", {{kWindow, "Alice\r\n" + fits, ""}}},
      {"more lines than the window holds", {{kWindow, "N\r\n1\r\n2\r\n3\r\n4\r\n5", tooMany}}},
      {"a line past the screen's edge", {{kWindow, "Alice\r\n" + wide, tooWide}}},
      {"both", {{kWindow, "N\r\n" + wide + "\r\n2\r\n3\r\n4\r\n5", tooMany + "; " + tooWide}}},
      {"the name is drawn at its own place and not measured", {{kWindow, std::string(40, 'N') + "\r\nA", ""}}},
      {"once a page: a continuation that adds to a told page says nothing",
       {{kWindow, "Alice\r\n" + wide, tooWide}, {kContinue, wide, ""}, {kWindow, "Alice\r\n" + wide, tooWide}}},
      {"a continuation that makes the page too long",
       {{kWindow, "N\r\n1\r\n2", ""}, {kContinue, "3\r\n4", "5 lines where the message window holds 4 (the last line is not shown)"}}},
      {"a full-screen line is measured from its own place", {{kFull, wide, "line 1 reaches x 825, past the screen's right edge at 800"}}},
      {"a full-screen page scrolls its first lines away by design", {{kFull, Numbers(0, 40), ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    game_.reset();
    for (const Step& step : c.steps) {
      Set(step.code, step.text);
      EXPECT_EQ(Mode().TakePageFitProblem(), step.problem) << step.text;
      EXPECT_EQ(Mode().TakePageFitProblem(), "");
    }
  }
  // What is drawn is not changed: the window keeps its first four lines.
  Set(kWindow, "N\r\n1\r\n2\r\n3\r\n4\r\n5");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"N", "1", "2", "3"}));
}

TEST_F(PrintMessageTest, MessageIdsWithoutANumberAreNone) {
  Mode().SetMessage(kWindow, 0x0003FFFF, "A", 0);
  EXPECT_EQ(Mode().GetMessageId(), -1);
  Mode().SetMessage(kWindow, 0x00030005, "A", 0);
  EXPECT_EQ(Mode().GetMessageId(), 0x00030005);
  // Codes outside the text commands leave the page as it is.
  Mode().SetMessage(0x12345678, 7, "B", 0);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(Mode().GetMessageId(), 0x00030005);
}

TEST_F(PrintMessageTest, SecondFontSizeTypeTablesKeepTheBaseEntry) {
  WriteList("PrintMessage", {{"fontSizeTypeNumber", "2"},
                             {"nameSpace", "3"},
                             {"nameSpaceByFontSizeType1", "7"},
                             {"fontSizeByFontSizeType2", "16"}});
  const CCommonPrintMessage::Settings& s = Mode().GetSettings();
  EXPECT_EQ(s.nameSpaces, (std::vector<int>{3, 7, 3}));
  EXPECT_EQ(s.layouts[2].fontSize, 16);
  EXPECT_EQ(s.layouts[1].fontSize, 24);
  Set(kWindow, "Alice\r\nA");
  Game().windowMode = 0;
  Run();
  EXPECT_EQ(Mode().GetCurrentNameSpace(), 3);
  Game().windowMode = 9;
  Run();
  EXPECT_EQ(Mode().GetCurrentNameSpace(), 3);
  EXPECT_EQ(Mode().GetCurrentLayout().fontSize, 16);
  Game().windowMode = 1;
  Run();
  EXPECT_EQ(Mode().GetCurrentNameSpace(), 7);
}

TEST_F(PrintMessageTest, SavedStateIsCheckedWhereItEnters) {
  CCommonPrintMessage& mode = Mode();
  mode.SetLineCount(-5);
  EXPECT_EQ(mode.GetLineCount(), 0);
  mode.SetLineCount(100);
  EXPECT_EQ(mode.GetLineCount(), 64);
  mode.SetMessageCode(0x22220009);
  EXPECT_EQ(mode.GetMessageCode(), kWindow);
  mode.SetMessageCode(CCommonPrintMessage::kCodeScreenWait);
  EXPECT_EQ(mode.GetMessageCode(), CCommonPrintMessage::kCodeScreenWait);

  int in[128] = {};
  in[0] = 3, in[1] = 2;     // kept
  in[2] = 3, in[3] = 1;     // kept
  in[4] = -1, in[5] = 1;    // negative character
  in[6] = 2, in[7] = -4;    // negative count
  in[8] = 0, in[9] = 3;     // no character
  in[126] = 5, in[127] = 2;  // line 63 with two lines runs past the store
  mode.LoadData(in);
  int out[128];
  mode.SaveData(out);
  int want[128] = {};
  want[0] = 3, want[1] = 2, want[2] = 3, want[3] = 1;
  EXPECT_EQ(std::memcmp(out, want, sizeof(out)), 0);
  // Marks that run past the held lines go with a smaller count.
  mode.SetLineCount(2);
  EXPECT_EQ(mode.GetCutinMark(0, 1), 2);
  mode.SetLineCount(1);
  EXPECT_EQ(mode.GetCutinMark(0, 0), 0);
  EXPECT_EQ(mode.GetCutinMark(1, 0), 0);

  // A saved line of 256 bytes without a NUL ends with two NULs.
  const std::string line(256, 'q');
  mode.SetMessageLine(5, line.data(), line.size());
  EXPECT_EQ(std::string(mode.GetMessageLine(5)), std::string(254, 'q'));
  EXPECT_EQ(mode.GetMessageLine(5)[255], 0);
  mode.SetMessageLine(64, line.data(), line.size());
  EXPECT_EQ(mode.GetMessageLine(64), nullptr);
}

}  // namespace
}  // namespace printmessage_test
