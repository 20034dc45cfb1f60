// The back log's store: lines, cuts, colours, voices, the first message and
// the bar, the ring of 256 with 226 readable lines.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "backlog_fixture.h"
#include "support/text.h"

namespace backlog_test {
namespace {

using testsupport::Sjis;

constexpr unsigned kWhite = 0xFFFFFF;

TEST_F(BackLogTest, ClearLogLeavesTheFirstMessageAndTheBarAndNothingScrolls) {
  CCommonBackLog* log = Log();
  ASSERT_NE(log, nullptr);
  AddLines(40);
  log->SetVoice("v001");
  log->ClearLog();
  EXPECT_EQ(log->GetReadableCount(), 2);
  EXPECT_EQ(log->GetWriteIndex(), 2);
  EXPECT_EQ(log->GetPrintLines(), 15);
  EXPECT_STREQ(log->GetText(0),
               Sjis("#赤#猫#白　過去、それは単なる通過点の集まり・・・　#赤#猫").c_str());
  std::string bar;
  for (int i = 0; i < 23; ++i) bar += Sjis("―");
  EXPECT_STREQ(log->GetText(1), bar.c_str());
  EXPECT_EQ(log->GetColor(0), kWhite);
  EXPECT_EQ(log->GetColor(1), kWhite);
  for (int slot = 0; slot < CCommonBackLog::kSlots; ++slot) EXPECT_EQ(log->GetVoice(slot)[0], 0);

  log->Init();
  EXPECT_EQ(log->GetTop(), 0);
  EXPECT_EQ(log->CanGoOlder(), 0);
  EXPECT_EQ(log->CanGoNewer(), 0);
  EXPECT_EQ(log->GoOlder(1), 0);
  EXPECT_EQ(log->GoNewer(1), 0);
}

TEST_F(BackLogTest, ThreeHundredLinesLeaveTheNewest226Readable) {
  CCommonBackLog* log = Log();
  AddLines(298);
  EXPECT_EQ(log->GetReadableCount(), 226);
  EXPECT_EQ(log->GetWriteIndex(), 300 % 256);
  log->Init();
  EXPECT_EQ(log->GetTop(), CCommonBackLog::Wrap(300 - 15));
  EXPECT_EQ(log->CanGoNewer(), 0);
  int steps = 0;
  while (log->GoOlder(1)) ++steps;
  EXPECT_EQ(steps, 226 - 15);
  EXPECT_EQ(log->GetTop(), CCommonBackLog::Wrap(300 - 226));
  // The oldest readable line is line 300 - 226 - 2 of AddLines.
  EXPECT_STREQ(log->GetText(log->GetTop()), "line 72");
  EXPECT_EQ(log->GoOlder(5), 0);
  // And back to the newest page, no further.
  EXPECT_EQ(log->GoNewer(1000), 1);
  EXPECT_EQ(log->GetTop(), CCommonBackLog::Wrap(300 - 15));
}

TEST_F(BackLogTest, TextsAreCutAt254BytesOfWholeCharacters) {
  const std::string kanji = Sjis("漢");
  const struct {
    std::string text;
    size_t kept;
  } cases[] = {
      {std::string(254, 'a'), 254},
      {std::string(255, 'b'), 254},
      {std::string(1000, 'c'), 254},
      {std::string(253, 'd') + kanji, 253},  // the character would be split
      {std::string(252, 'e') + kanji + "x", 254},
      {"", 0},
  };
  CCommonBackLog* log = Log();
  for (const auto& c : cases) {
    const int slot = log->GetWriteIndex();
    log->AddLine(c.text.c_str(), 1, 2, 3);
    EXPECT_EQ(std::strlen(log->GetText(slot)), c.kept) << c.text.size();
    EXPECT_EQ(std::string(log->GetText(slot)), c.text.substr(0, c.kept));
    EXPECT_EQ(log->GetText(slot)[c.kept + 1], 0);  // the second NUL
    EXPECT_EQ(log->GetColor(slot), 0x010203u);
  }
  const int before = log->GetWriteIndex();
  log->AddLine(nullptr, 0, 0, 0);
  EXPECT_EQ(log->GetWriteIndex(), before);
}

TEST_F(BackLogTest, SetLineColorCountsBackFromTheNextLineAndStaysInTheRing) {
  CCommonBackLog* log = Log();
  AddLines(3);  // slots 2, 3, 4; the next line goes to 5
  const struct {
    int linesBack;
    int slot;
  } cases[] = {{1, 4}, {3, 2}, {0, 5}, {-1, 6}, {257, 4}, {-255, 4}, {INT_MIN, 5}, {INT_MAX, 6}};
  for (const auto& c : cases) {
    log->SetLineColor(c.linesBack, 9, 8, 7);
    EXPECT_EQ(log->GetColor(c.slot), 0x090807u) << c.linesBack;
    log->SetLineColor(c.linesBack, 0, 0, 0);
  }
}

TEST_F(BackLogTest, AVoiceMarksTheNextLineOnly) {
  CCommonBackLog* log = Log();
  AddLines(3);
  log->SetVoice("ka001");
  const int voiced = log->GetWriteIndex();
  AddLines(1, 3);
  AddLines(20, 4);
  EXPECT_STREQ(log->GetVoice(voiced), "ka001");
  for (int i = 0; i < 24; ++i) {
    const int slot = log->GetWriteIndex() - 1 - i;
    if (slot != voiced) {
      EXPECT_EQ(log->GetVoice(slot)[0], 0) << i;
    }
  }

  // Longer names are cut at 14 bytes; a null name leaves the line unvoiced.
  log->SetVoice("abcdefghijklmnopqrst");
  const int cut = log->GetWriteIndex();
  AddLines(1);
  EXPECT_STREQ(log->GetVoice(cut), "abcdefghijklmn");
  log->SetVoice(nullptr);
  EXPECT_EQ(log->GetVoice(log->GetWriteIndex())[0], 0);
}

TEST_F(BackLogTest, AddedLinesForgetTheVoicesOfTheSlotsAhead) {
  CCommonBackLog* log = Log();
  // A voice left in a slot that the ring comes back to.
  AddLines(250);
  log->SetVoice("old01");
  const int slot = log->GetWriteIndex();
  AddLines(1);
  // Each line clears the names 4 .. printLines + 3 slots ahead of it, so
  // the name goes when the line 18 slots before its slot is added.
  AddLines(237);
  EXPECT_STREQ(log->GetVoice(slot), "old01");
  AddLines(1);
  EXPECT_EQ(log->GetVoice(slot)[0], 0);
}

TEST_F(BackLogTest, TheFirstMessageJoinsItsPartsWithinItsBuffer) {
  const std::string first = Sjis("#赤#猫#白　過去、それは単なる通過点の集まり・・・　#赤#猫");
  const struct {
    Pairs keys;
    std::string expected;
  } cases[] = {
      {{}, first},
      {{{"firstMessageNumber", "0"}, {"firstMessage1", "ignored"}}, first},
      {{{"firstMessageNumber", "2"}, {"firstMessage1", "ab"}, {"firstMessage2", "cd"}}, "abcd"},
      // A missing part repeats the one before; the first: the default.
      {{{"firstMessageNumber", "3"}, {"firstMessage2", "xy"}}, first + "xyxy"},
      {{{"firstMessageNumber", "3"}, {"firstMessage1", "p"}}, "ppp"},
  };
  for (const auto& c : cases) {
    game_.reset();
    CCommonBackLog* log = Game(c.keys).Mode<CCommonBackLog>();
    EXPECT_EQ(std::string(log->GetFirstMessage()), c.expected);
    EXPECT_EQ(std::string(log->GetText(0)), c.expected.substr(0, 254));
  }
}

// The guide empties the log's own texts with "key," (a game in another
// language): that is meant, so nothing is said on stderr.
TEST_F(BackLogTest, TextsEmptiedWithACommaAreReadQuietly) {
  CCommonBackLog* log = Game({{"firstMessageNumber", "1"},
                              {"firstMessage1", ""},
                              {"titleMessage", ""},
                              {"upArrowMessage", ""},
                              {"downArrowMessage", ""},
                              {"voiceMessage", ""},
                              {"barMessage", ""}})
                            .Mode<CCommonBackLog>();
  EXPECT_STREQ(log->GetFirstMessage(), "");
  EXPECT_STREQ(log->GetText(1), "");
  EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{});
}

// Nine default parts (57 bytes each) would need 513 bytes: the join stops
// at 511 bytes of whole characters, and the line keeps its first 254.
TEST_F(BackLogTest, NineDefaultPartsStayWithinTheBuffer) {
  const std::string first = Sjis("#赤#猫#白　過去、それは単なる通過点の集まり・・・　#赤#猫");
  ASSERT_EQ(first.size(), 57u);
  CCommonBackLog* log = Game({{"firstMessageNumber", "9"}}).Mode<CCommonBackLog>();
  std::string all;
  for (int i = 0; i < 9; ++i) all += first;
  const std::string joined = log->GetFirstMessage();
  EXPECT_LE(joined.size(), 511u);
  EXPECT_GE(joined.size(), 510u);
  EXPECT_EQ(joined, all.substr(0, joined.size()));
  EXPECT_EQ(std::string(log->GetText(0)), all.substr(0, std::strlen(log->GetText(0))));
  EXPECT_GE(std::strlen(log->GetText(0)), 253u);
}

TEST_F(BackLogTest, PrintLinesOfZeroOrLessCountAsOne) {
  for (const char* value : {"0", "-3"}) {
    game_.reset();
    CCommonBackLog* log = Game({{"printLines", value}}).Mode<CCommonBackLog>();
    EXPECT_EQ(log->GetPrintLines(), 1) << value;
    log->Init();
    EXPECT_EQ(log->GetTop(), 1);  // the bar line alone
    EXPECT_EQ(log->CanGoOlder(), 1);
    EXPECT_EQ(log->GoOlder(3), 1);
    EXPECT_EQ(log->GetTop(), 0);
  }
}

// More rows than can be read show them all; the count is held there, so
// adding a line stays a short step whatever the list says.
TEST_F(BackLogTest, PrintLinesAboveTheReadableCountAreHeldThere) {
  CCommonBackLog* log = Game({{"printLines", "2000000000"}}).Mode<CCommonBackLog>();
  EXPECT_EQ(log->GetPrintLines(), 226);
  AddLines(400);
  log->Init();
  EXPECT_EQ(log->GetShownRows(), 226);
  EXPECT_EQ(log->CanGoOlder(), 0);
  EXPECT_EQ(log->CanGoNewer(), 0);
}

}  // namespace
}  // namespace backlog_test
