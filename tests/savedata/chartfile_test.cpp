#include "savedata/chartfile.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "savedata_test.h"

namespace savedata_test {
namespace {

using platform::Point;

// 2026-01-01 00:00:00 UTC; the headless local time is UTC.
constexpr int64_t kYear2026 = 1767225600;
constexpr int64_t kDay = 86400;

class ChartFileTest : public SaveDataTest {
 protected:
  void SetUp() override {
    SaveDataTest::SetUp();
    CChartFile::SetChartDescMax(CChartFile::kDefaultDescMax);
  }
  void TearDown() override {
    CChartFile::SetChartDescMax(CChartFile::kDefaultDescMax);
    SaveDataTest::TearDown();
  }
  // Chart index 1 lives in chart2.xtx.
  void WriteChart(const std::string& text, int file = 2) const {
    Dir().Write("chart/chart" + std::to_string(file) + ".xtx", text);
  }
};

std::string Inverted(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(~static_cast<unsigned char>(c));
  return out;
}

// The node of the worked example, with a second node as a link target.
const char kExample[] =
    "1200\r\n"
    "@1005 0 10 20 1006 - $start plain !note\r\n"
    "@1006 2 30 40\r\n";

TEST_F(ChartFileTest, ReadsTheExampleNode) {
  WriteChart(kExample);
  CChartFile chart(1, 0, 1000);
  EXPECT_EQ(chart.GetChartHeight(), 1800);
  ASSERT_EQ(chart.GetCount(), 2);
  EXPECT_EQ(chart.GetNodeNumber(0), 1005);
  EXPECT_EQ(chart.GetNodeNumber(1), 1006);
  EXPECT_EQ(chart.GetNodeNumber(2), -1);
  EXPECT_EQ(chart.GetNodeSize(1005), 1);
  EXPECT_EQ(chart.GetNodePos(1005), (Point{10, 20}));
  ASSERT_EQ(chart.GetLinkCount(1005), 2);
  EXPECT_EQ(chart.GetLinkTarget(1005, 0), 1006);
  EXPECT_EQ(chart.GetLinkTarget(1005, 1), 0);
  EXPECT_EQ(chart.GetLinkTarget(1005, 2), 1001);
  EXPECT_STREQ(chart.GetNodeLabel(1005), "start");
  EXPECT_EQ(chart.GetNodeLabel(1006), nullptr);
  EXPECT_EQ(chart.GetTextCount(1005, 0), 1);
  EXPECT_EQ(chart.GetTextCount(1005, 1), 1);
  EXPECT_STREQ(chart.GetText(1005, 0, 0), "plain");
  EXPECT_STREQ(chart.GetText(1005, 0, 1), "note");
  EXPECT_EQ(chart.GetText(1005, 1, 0), nullptr);
  EXPECT_EQ(chart.GetText(1005, -1, 1), nullptr);
  EXPECT_EQ(chart.GetText(1005, 0, 2), nullptr);
  EXPECT_EQ(chart.GetNodeState(1005), -1);
  EXPECT_EQ(chart.GetNodeFlag(1005), 1);

  // Link 0 points into this chart, link 1 to node 0 outside 1000..1999.
  EXPECT_EQ(chart.GetLinkTargetPos(1005, 0), (Point{30, 40}));
  EXPECT_EQ(chart.GetLinkTargetPos(1005, 1), (Point{10, 1600}));
  EXPECT_EQ(chart.GetTotalNodeSize(), 3);
  EXPECT_EQ(chart.GetMaxNodeNumber(), 1006);

  EXPECT_EQ(chart.GetNodeIndex(1005), 0);
  EXPECT_EQ(chart.GetNodeIndex(1006), 1);
  EXPECT_EQ(chart.GetNodeIndex(2500), 1001);
  EXPECT_EQ(chart.GetNodeIndex(1999), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ChartFileTest, TheHeightIsAtLeast1800) {
  const std::pair<const char*, int> cases[] = {
      {"1200", 1800}, {"1800", 1800}, {"1801", 1801}, {"4000 @5 1 2 3", 4000}, {"-3", 1800}, {"", 1800},
  };
  for (const auto& [text, height] : cases) {
    WriteChart(text, 1);
    CChartFile chart(0, 0, 1000);
    EXPECT_EQ(chart.GetChartHeight(), height) << text;
  }
  CChartFile missing(7, 0, 1000);
  EXPECT_EQ(missing.GetChartHeight(), 1800);
  EXPECT_EQ(missing.GetCount(), 0);
  EXPECT_EQ(missing.GetMaxNodeNumber(), 7000);
  EXPECT_TRUE(Boxes().empty());
}

// A number no node has must not reach the node at index 0, which the lookup
// table's empty entries also point at.
TEST_F(ChartFileTest, NumbersWithoutANodeReachNoNode) {
  WriteChart(kExample);
  CChartFile chart(1, 0, 1000);
  for (int number : {1500, 999, 2001, -1}) {
    chart.SetNodePos(number, 77, 88);
    chart.SetNodeState(number, 5);
    chart.SetNodeFlag(number, 9);
    EXPECT_EQ(chart.GetNodePos(number), (Point{0, 0})) << number;
    EXPECT_EQ(chart.GetNodeSize(number), 0) << number;
    EXPECT_EQ(chart.GetLinkCount(number), 0) << number;
    EXPECT_EQ(chart.GetLinkTarget(number, 0), 1001) << number;
    EXPECT_EQ(chart.GetLinkTargetPos(number, 0), (Point{0, 0})) << number;
    EXPECT_EQ(chart.GetTextCount(number, 0), 0) << number;
    EXPECT_EQ(chart.GetText(number, 0, 0), nullptr) << number;
    EXPECT_EQ(chart.GetNodeLabel(number), nullptr) << number;
    EXPECT_EQ(chart.GetNodeState(number), -1) << number;
    EXPECT_EQ(chart.GetNodeFlag(number), 0) << number;
  }
  EXPECT_EQ(chart.GetNodeIndex(1500), 0);
  EXPECT_EQ(chart.GetNodeIndex(999), 1001);
  EXPECT_EQ(chart.GetNodePos(1005), (Point{10, 20}));
  EXPECT_EQ(chart.GetNodeState(1005), -1);
  EXPECT_EQ(chart.GetNodeFlag(1005), 1);

  // A link to a number of this chart that no node has lies nowhere, not at
  // the first node.
  WriteChart("1800 @1005 1 10 20 1300", 2);
  CChartFile dangling(1, 0, 1000);
  EXPECT_EQ(dangling.GetLinkTargetPos(1005, 0), (Point{0, 0}));

  chart.SetNodePos(1006, 5, 6);
  chart.SetNodeState(1006, 3);
  chart.SetNodeFlag(1006, 0);
  EXPECT_EQ(chart.GetNodePos(1006), (Point{5, 6}));
  EXPECT_EQ(chart.GetNodeState(1006), 3);
  EXPECT_EQ(chart.GetNodeFlag(1006), 0);
}

TEST_F(ChartFileTest, KeepsWhatLiesOutsideTheFormatWithinBounds) {
  CChartFile::SetChartDescMax(2);
  WriteChart(
      "2000 stray 12 @1002 3 1 1 a b c !x !y !z $one $two\r\n"
      "@3005 1 2 3\r\n"  // another chart's number
      "@1002 5 6 7\r\n"  // the same number again: this one is found
      "@1000 -4\r\n");   // no position
  const int extra[] = {3, 7, 8, 9};
  CChartFile chart(1, 0, 1000, extra);
  ASSERT_EQ(chart.GetCount(), 4);
  EXPECT_EQ(chart.GetNodeNumber(1), 3005);
  EXPECT_EQ(chart.GetNodeIndex(3005), 1001);
  EXPECT_EQ(chart.GetNodeIndex(1002), 2);
  EXPECT_EQ(chart.GetNodeSize(1002), 5);
  EXPECT_EQ(chart.GetNodeSize(1000), 1);
  EXPECT_EQ(chart.GetNodePos(1000), (Point{0, 0}));
  EXPECT_EQ(chart.GetMaxNodeNumber(), 1002);
  EXPECT_EQ(chart.GetTotalNodeSize(), 3 + 1 + 5 + 1);

  // Two texts per column are kept, and the last label.
  WriteChart("2000 @1002 3 1 1 a b c !x !y !z $one $two");
  CChartFile capped(1, 0, 1000);
  EXPECT_EQ(capped.GetTextCount(1002, 0), 2);
  EXPECT_EQ(capped.GetTextCount(1002, 1), 2);
  EXPECT_STREQ(capped.GetText(1002, 1, 0), "b");
  EXPECT_STREQ(capped.GetText(1002, 1, 1), "y");
  EXPECT_STREQ(capped.GetNodeLabel(1002), "two");

  ASSERT_EQ(chart.GetExtraCount(), 3);
  EXPECT_EQ(chart.GetExtraValue(0), 7);
  EXPECT_EQ(chart.GetExtraValue(2), 9);
  EXPECT_EQ(chart.GetExtraValue(3), 0);
}

TEST_F(ChartFileTest, SavesPlainTextInNodeOrder) {
  WriteChart(kExample);
  CChartFile chart(1, 0, 1000);
  chart.SetNodePos(1006, -5, 70);
  ASSERT_EQ(chart.Save(), 1);
  EXPECT_EQ(Dir().Read("chart/chart2.xtx"),
            "1800\r\n"
            "@1005 1 10 20 1006 0 $start plain !note\r\n"
            "@1006 2 -5 70\r\n");

  // What was saved reads back the same.
  CChartFile again(1, 0, 1000);
  EXPECT_EQ(again.GetNodePos(1006), (Point{-5, 70}));
  EXPECT_STREQ(again.GetText(1005, 0, 1), "note");
}

TEST_F(ChartFileTest, AnInvertedChartSavesAsPlainText) {
  const std::string fxf = Inverted("1800\r\n@5 1 100 200 $top\r\n");
  Dir().Write("chart/chart1.fxf", fxf);
  CChartFile chart(0, 1, 1000);
  ASSERT_EQ(chart.GetCount(), 1);
  EXPECT_EQ(chart.GetNodePos(5), (Point{100, 200}));
  EXPECT_STREQ(chart.GetNodeLabel(5), "top");
  ASSERT_EQ(chart.Save(), 1);
  EXPECT_EQ(Dir().Read("chart/chart1.xtx"), "1800\r\n@5 1 100 200 $top\r\n");
  EXPECT_EQ(Dir().Read("chart/chart1.fxf"), fxf);
}

TEST_F(ChartFileTest, AFailedSaveLeavesTheOldFile) {
  WriteChart(kExample);
  CChartFile chart(1, 0, 1000);
  chart.SetNodePos(1005, 1, 1);
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(chart.Save(), 0);
  EXPECT_EQ(Dir().Read("chart/chart2.xtx"), kExample);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ChartFileTest, BackupNamesAreZeroPadded) {
  WriteChart(kExample);
  CChartFile chart(1, 0, 1000);
  // No "chart\bak" folder: nothing is copied.
  EXPECT_EQ(chart.Backup(), 0);

  ASSERT_TRUE(platform::CreateDirectory("chart\\bak"));
  // 2026-01-11 and 2026-11-01 gave one name without padding.
  host_->SetEpochBase(kYear2026 + 10 * kDay + 3 * 3600 + 4 * 60 + 5);
  EXPECT_EQ(chart.Backup(), 1);
  host_->SetEpochBase(kYear2026 + 304 * kDay + 3 * 3600 + 4 * 60 + 5);
  EXPECT_EQ(chart.Backup(), 1);
  EXPECT_EQ(Dir().Read("chart/bak/chart2_20260111_030405.bak"), kExample);
  EXPECT_EQ(Dir().Read("chart/bak/chart2_20261101_030405.bak"), kExample);
  EXPECT_EQ(platform::ListFolder("chart\\bak").size(), 2u);
}

// Random token soup and every cut of a sound chart: reading and every query
// stay inside the tables, and saving is stable.
TEST_F(ChartFileTest, DamagedChartsLoadSafely) {
  const std::string sound =
      "2400\r\n@1001 2 10 20 1002 1003 2005 - $a t1 t2 !u1\r\n@1002 1 30 40 !x\r\n@1003 3 5 5 1001\r\n";
  std::vector<std::string> inputs;
  for (size_t n = 0; n <= sound.size(); ++n) inputs.push_back(sound.substr(0, n));
  std::mt19937 random(12);
  const char* kinds[] = {"@",  "@1001", "@1000", "@2000", "-",    "$", "!",
                         "12", "-7",    "x",     " ",     "\r\n", ",", "@999999999999"};
  for (int i = 0; i < 200; ++i) {
    std::string text;
    const int tokens = static_cast<int>(random() % 40);
    for (int t = 0; t < tokens; ++t) {
      text += kinds[random() % std::size(kinds)];
      text += random() % 3 ? " " : "";
    }
    inputs.push_back(text);
  }
  for (const std::string& input : inputs) {
    WriteChart(input);
    CChartFile chart(1, 0, 1000);
    EXPECT_GE(chart.GetChartHeight(), 1800);
    for (int index = 0; index < chart.GetCount(); ++index) {
      const int number = chart.GetNodeNumber(index);
      const int links = chart.GetLinkCount(number);
      for (int i = -1; i <= links; ++i) {
        chart.GetLinkTarget(number, i);
        chart.GetLinkTargetPos(number, i);
      }
      for (int column = 0; column < 2; ++column) {
        const int texts = chart.GetTextCount(number, column);
        EXPECT_LE(texts, CChartFile::kDefaultDescMax);
        for (int i = 0; i < texts; ++i) EXPECT_NE(chart.GetText(number, i, column), nullptr);
      }
    }
    // A saved chart reads back to the same chart. (The first save may drop
    // empty texts, which ",," in a file makes and a blank cannot write.)
    ASSERT_EQ(chart.Save(), 1);
    CChartFile saved(1, 0, 1000);
    ASSERT_EQ(saved.Save(), 1);
    const std::string once = Dir().Read("chart/chart2.xtx");
    CChartFile reread(1, 0, 1000);
    ASSERT_EQ(reread.Save(), 1);
    EXPECT_EQ(Dir().Read("chart/chart2.xtx"), once) << input;
  }
}

}  // namespace
}  // namespace savedata_test
