// The message cursor and the notices.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"
#include "widget/floatinglayertable.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

using Pairs = std::initializer_list<std::pair<const char*, const char*>>;

class LayerTest : public WidgetTest {
 protected:
  std::unique_ptr<CMessageCursor> Cursor(Pairs pairs) {
    list_ = List(pairs);
    return std::make_unique<CMessageCursor>(&table_, 2, list_.get());
  }
  std::unique_ptr<CNotice> Notice(Pairs pairs) {
    list_ = List(pairs);
    return std::make_unique<CNotice>(&table_, 20, list_.get());
  }

  CFloatingLayerTable table_;
  std::unique_ptr<CNameList> list_;
};

// --- Message cursor ---

TEST_F(LayerTest, CursorOpacityGoesUpAndBackDown) {
  auto cursor = Cursor({{"percentStart1", "0"}, {"percentEnd1", "100"}, {"percentLoop1", "10"}});
  std::vector<int> seen;
  for (int i = 0; i <= 20; ++i) {
    seen.push_back(cursor->GetOpacity(0));
    cursor->Calcu(1);
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0}));
  // The loop steps once per call, whatever the frame count.
  cursor->Calcu(5);
  EXPECT_EQ(cursor->GetOpacity(0), 20);
  // Other kinds take kind 1's values.
  EXPECT_EQ(cursor->GetOpacity(3), 20);
  EXPECT_EQ(cursor->GetOpacity(4), 0);
}

TEST_F(LayerTest, CursorNamesFromKindOneAndPerDesign) {
  auto one = Cursor({{"filenameCursor1", "only"}});
  for (int k = 0; k < 4; ++k) EXPECT_STREQ(one->GetFileName(k), "only") << k;
  auto designs = Cursor({{"cursorNumberConfig", "2"}, {"filenameCursor1", "a"}, {"filenameCursor3", "c"},
                         {"filenameCursor1_2", "a2"}, {"filenameCursor3_1", "c1"}});
  const std::vector<std::string> expected = {"a", "a", "c1", "a", "a2", "a", "c", "a"};
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(designs->GetFileName(i), expected[i].c_str()) << i;
  EXPECT_EQ(designs->GetFileName(8), nullptr);
}

TEST_F(LayerTest, CursorFixedRowFollowsTheTextEndAcross) {
  WriteCells("mes_cur", 1, 1, 2, 2, [](int, int) { return 0x00FF00u; });
  auto cursor = Cursor({{"fullFixY", "1"}, {"sizeX1", "2"}, {"sizeY1", "2"}, {"printX3", "5"}, {"printY3", "30"}});
  for (auto [tx, ty] : std::vector<std::pair<int, int>>{{10, 7}, {20, 9}}) {
    Clear(0);
    cursor->SetPrintXY(tx, ty);
    cursor->Print(2, 0);
    EXPECT_EQ(At(5 + tx, 30), 0x00FF00u) << tx;
    EXPECT_EQ(CountChanged(0), 4) << tx;
  }
  // Kind 4 starts from kind 3's place; kinds 1 and 2 ignore the text end.
  Clear(0);
  cursor->Print(3, 0);
  EXPECT_EQ(At(25, 30), 0x00FF00u);
  Clear(0);
  cursor->Print(0, 0);
  EXPECT_EQ(At(0, 0), 0x00FF00u);
}

TEST_F(LayerTest, CursorSavesTheLargestCellAndRecordsItsOwn) {
  auto cursor = Cursor({{"sizeX1", "6"}, {"sizeY1", "5"}, {"sizeX2", "2"}, {"sizeY2", "3"}, {"printX2", "10"},
                        {"printY2", "11"}});
  CScreenBuffer::ClearDirtyRects();
  cursor->Print(1, 1);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{10, 11, 2, 3}}));
  CScreenBuffer::ClearDirtyRects();
  table_.RestoreAll();
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{10, 11, 6, 5}}));
}

TEST_F(LayerTest, CursorZeroOpacityDrawsNothingButSaves) {
  WriteCells("mes_cur", 1, 1, 2, 2, [](int, int) { return 0x00FF00u; });
  auto cursor = Cursor({{"percentStart1", "0"}, {"percentEnd1", "0"}, {"sizeX1", "2"}, {"sizeY1", "2"}});
  Clear(0);
  cursor->Print(0, 1);
  EXPECT_EQ(CountChanged(0), 0);
  EXPECT_EQ(table_.IsSaved(2), 1);
}

// Counts and lengths below 1 count as 1; kinds outside 1..4 are ignored.
TEST_F(LayerTest, CursorDivisorsBelowOneAndUnknownKinds) {
  WriteCells("mes_cur", 3, 1, 2, 2, [](int c, int) { return 0x000010u * (c + 1); });
  auto cursor = Cursor({{"animePattern1", "0"}, {"animeSpeed1", "-3"}, {"percentLoop1", "0"},
                        {"percentStart1", "0"}, {"animeReverse1", "1"}, {"sizeX1", "2"}, {"sizeY1", "2"}});
  for (int i = 0; i < 5; ++i) cursor->Calcu(i);
  cursor->Calcu(-7);
  Clear(0);
  CScreenBuffer::ClearDirtyRects();
  cursor->Print(4, 1);
  cursor->Print(-1, 1);
  EXPECT_EQ(CountChanged(0), 0);
  EXPECT_TRUE(DirtyRects().empty());
  cursor->Print(0, 1);
  EXPECT_EQ(DirtyRects().size(), 1u);
}

TEST_F(LayerTest, CursorPatternsGoBackAndForth) {
  WriteCells("mes_cur", 3, 1, 1, 1, [](int c, int) { return 0x000010u * (c + 1); });
  auto cursor = Cursor({{"animePattern1", "3"}, {"animeSpeed1", "2"}, {"animeReverse1", "1"}, {"sizeX1", "1"},
                        {"sizeY1", "1"}});
  std::vector<uint32_t> seen;
  for (int i = 0; i < 10; ++i) {
    cursor->Print(0, 0);
    seen.push_back(At(0, 0));
    cursor->Calcu(1);
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{0x10, 0x10, 0x20, 0x20, 0x30, 0x30, 0x20, 0x20, 0x10, 0x10}));
}

// --- Notices ---

TEST_F(LayerTest, NoticeWithTheDefaultsRunsNinetyFramesAndStartsSilently) {
  auto notice = Notice({{"startSound1", "3"}, {"waitSound1", "4"}, {"EndSound1", "5"}});
  notice->SetNotice(0);
  std::vector<std::pair<int, int>> sounds;
  Clear(0);
  CScreenBuffer::ClearDirtyRects();
  for (int call = 1; call <= 95; ++call) {
    const int sound = notice->CalcuPrint(0);
    if (call == 1) {
      EXPECT_TRUE(DirtyRects().empty());
    }
    if (sound != -1) sounds.emplace_back(call, sound);
  }
  EXPECT_EQ(sounds, (std::vector<std::pair<int, int>>{{1, 3}, {30, 4}, {60, 5}}));
  EXPECT_EQ(notice->GetQueueLength(), 0);
  EXPECT_EQ(notice->GetHead(), -1);
}

TEST_F(LayerTest, NoticeSlidesOntoItsTargetsAndFades) {
  WriteCells("ta_notice", 1, 1, 2, 2, [](int, int) { return 0x0000C8u; });
  auto notice = Notice({{"sizeX", "2"}, {"sizeY", "2"}, {"startX1", "0"}, {"waitX1", "20"}, {"waitY1", "10"},
                        {"endX1", "40"}, {"startTime1", "10"}, {"waitTime1", "0"}, {"endTime1", "4"},
                        {"endPercent1", "0"}});
  notice->SetNotice(0);
  EXPECT_EQ(notice->CalcuPrint(0), 0);  // the start sound, nothing drawn
  for (int a = 2; a <= 10; ++a) {
    Clear(0);
    notice->CalcuPrint(0);
    EXPECT_EQ(At(20 * a / 10, 10 * a / 10), 0x0000C8u) << a;
  }
  EXPECT_EQ(notice->GetPhase(), 1);
  // A wait time of 0 lasts one frame.
  Clear(0);
  notice->CalcuPrint(0);
  EXPECT_EQ(At(20, 10), 0x0000C8u);
  EXPECT_EQ(notice->GetPhase(), 2);
  // The end phase fades: 75, 50, 25 percent, then the notice is gone.
  for (int a = 1; a <= 3; ++a) {
    Clear(0);
    notice->CalcuPrint(0);
    EXPECT_NEAR(static_cast<int>(At(20 + 20 * a / 4, 10) & 0xFF), 200 * (100 - 25 * a) / 100, 2) << a;
  }
  Clear(0);
  EXPECT_EQ(notice->CalcuPrint(0), -1);
  EXPECT_EQ(CountChanged(0), 0);
  EXPECT_EQ(notice->GetQueueLength(), 0);
}

TEST_F(LayerTest, NoticeQueueReplacesAndSkipsTheSame) {
  auto notice = Notice({{"noticeNumber", "3"}, {"startSound2", "7"}, {"startSound3", "8"}});
  notice->SetNotice(0);
  for (int i = 0; i < 5; ++i) notice->CalcuPrint(0);
  // Already queued: no effect.
  notice->SetNotice(0);
  EXPECT_EQ(notice->GetCount(), 5);
  // bufferMax 1: the new notice replaces the one on screen from its start.
  notice->SetNotice(1);
  EXPECT_EQ(notice->GetHead(), 1);
  EXPECT_EQ(notice->GetCount(), 0);
  EXPECT_EQ(notice->CalcuPrint(0), 7);
  // Numbers outside the list are ignored.
  for (int n : {-1, 3, 1 << 30}) notice->SetNotice(n);
  EXPECT_EQ(notice->GetHead(), 1);
  EXPECT_EQ(notice->GetQueueLength(), 1);

  auto queued = Notice({{"noticeNumber", "3"}, {"bufferMax", "3"}, {"sameDontSetFlag", "0"}, {"startSound2", "7"}});
  queued->SetNotice(0);
  queued->SetNotice(0);
  queued->SetNotice(1);
  EXPECT_EQ(queued->GetQueueLength(), 3);
  for (int i = 0; i < 90; ++i) queued->CalcuPrint(0);
  EXPECT_EQ(queued->GetHead(), 0);
  for (int i = 0; i < 90; ++i) queued->CalcuPrint(0);
  EXPECT_EQ(queued->GetHead(), 1);
  EXPECT_EQ(queued->CalcuPrint(0), 7);
  queued->Clear();
  EXPECT_EQ(queued->CalcuPrint(0), -1);
}

TEST_F(LayerTest, NoticeGridCellsAndSecondPicture) {
  WriteCells("ta_notice", 2, 2, 2, 2, [](int, int) { return 0x111111u; });
  WriteCells("ta_notice2", 2, 2, 2, 2, [](int c, int r) { return 0x000040u * (1 + c + 2 * r); });
  auto notice = Notice({{"noticeNumber", "6"}, {"blockX", "2"}, {"blockY", "2"}, {"sizeX", "2"}, {"sizeY", "2"},
                        {"startTime1", "1"}});
  int q = 0, c = 0, r = 0;
  notice->GetCell(5, &q, &c, &r);
  EXPECT_EQ((std::array<int, 3>{q, c, r}), (std::array<int, 3>{1, 1, 0}));
  notice->SetNotice(5);
  notice->CalcuPrint(0);
  Clear(0);
  notice->CalcuPrint(0);
  EXPECT_EQ(At(0, 0), 0x000080u);  // column 1, row 0 of the second picture
}

// Grids, queues and counts of any value stay inside their tables.
TEST_F(LayerTest, NoticeBadSettingsAreHeld) {
  auto notice = Notice({{"noticeNumber", "2000000000"}, {"blockX", "0"}, {"blockY", "-5"}, {"bufferMax", "-1"},
                        {"startTime1", "-9"}, {"sizeX", "-3"}, {"startX1", "2147483647"}, {"waitX1", "-2147483647"}});
  EXPECT_EQ(notice->GetNoticeCount(), 1);
  notice->SetNotice(0);
  for (int i = 0; i < 200; ++i) notice->CalcuPrint(1);
  EXPECT_EQ(notice->GetQueueLength(), 0);
}

}  // namespace
}  // namespace widget_test
