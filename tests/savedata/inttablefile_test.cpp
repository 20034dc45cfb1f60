#include <climits>
#include <string>

#include "savedata/inttablefile.h"
#include "savedata_test.h"

namespace savedata_test {
namespace {

class IntTableFileTest : public SaveDataTest {
 protected:
  void SetUp() override {
    SaveDataTest::SetUp();
    SetSaveFolder(nullptr, nullptr, 0);
    ASSERT_EQ(CreateSaveFolder(), 1);
  }
};

std::string Words(std::initializer_list<int32_t> values) {
  std::string out(values.size() * 4, '\0');
  size_t i = 0;
  for (int32_t v : values) PutWord(&out, 4 * i++, v);
  return out;
}

TEST_F(IntTableFileTest, ANewTableIsWrittenWhenReleased) {
  {
    CIntTableFile table("result", 1024, 0, 1, nullptr);
    EXPECT_EQ(table.GetValue(5, 0), 0);
    EXPECT_FALSE(Dir().Exists("sav/result.sav"));
  }
  EXPECT_EQ(Dir().Read("sav/result.sav"), std::string(4096, '\0'));
}

TEST_F(IntTableFileTest, CellsOutsideTheTableAreLeftAlone) {
  CIntTableFile table("t", 4, 0, 2, nullptr);
  struct Case {
    int row, column;
  };
  const Case outside[] = {{-1, 0}, {4, 0}, {0, -1}, {0, 2}, {INT_MIN, 0}, {0, INT_MAX}};
  for (const Case& c : outside) {
    table.SetValue(c.row, 7, c.column);
    table.AddValue(c.row, 7, c.column);
    EXPECT_EQ(table.GetValue(c.row, c.column), 0);
  }
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 2; ++c) EXPECT_EQ(table.GetValue(r, c), 0);

  table.SetValue(3, 9, 1);  // row, value, column
  EXPECT_EQ(table.GetValue(3, 1), 9);
  CIntTableFile single("u", 2, 0, 1, nullptr);
  single.SetValue(0, 5, 0);
  EXPECT_EQ(single.GetValue(0, 1), 0);
}

TEST_F(IntTableFileTest, AddingSaturates) {
  struct Case {
    int32_t start, delta, result;
  };
  const Case cases[] = {
      {INT_MAX, 1, INT_MAX},        {-2147483646, -5, -2147483647}, {INT_MIN, -1, -2147483647},
      {10, -15, -5},                {INT_MAX - 2, 1, INT_MAX - 1},  {0, INT_MIN, -2147483647},
  };
  for (const Case& c : cases) {
    CIntTableFile table("t", 1, 0, 1, nullptr);
    table.SetValue(0, c.start, 0);
    table.AddValue(0, c.delta, 0);
    EXPECT_EQ(table.GetValue(0, 0), c.result) << c.start << " + " << c.delta;
  }
}

TEST_F(IntTableFileTest, LoadsWhatThereIsAndSavesOnlyChanges) {
  Dir().Write("sav/t.sav", Words({1, -2, 3}) + "\x07");  // three cells and a stray byte
  {
    CIntTableFile table("t", 2, 0, 3, nullptr);
    EXPECT_EQ(table.GetValue(0, 0), 1);
    EXPECT_EQ(table.GetValue(0, 1), -2);
    EXPECT_EQ(table.GetValue(0, 2), 3);
    EXPECT_EQ(table.GetValue(1, 0), 0);
    EXPECT_FALSE(table.IsSavePending());
    // Unchanged: releasing does not write.
    Dir().Write("sav/t.sav", "other");
  }
  EXPECT_EQ(Dir().Read("sav/t.sav"), "other");

  {
    CIntTableFile table("t", 1, 0, 2, nullptr);
    table.AddValue(0, 1, 1);
  }
  EXPECT_EQ(Dir().Read("sav/t.sav"), Words({0x6568746F, 1}));  // "othe", then the change
}

TEST_F(IntTableFileTest, TheShippedFileAndSubFolders) {
  Dir().Write("sav/t.org", Words({42}));
  {
    CIntTableFile table("t", 1, 0, 1, nullptr);
    EXPECT_EQ(table.GetValue(0, 0), 42);
    EXPECT_EQ(table.Load(), 1);
    EXPECT_FALSE(table.IsSavePending());
  }
  EXPECT_FALSE(Dir().Exists("sav/t.sav"));

  {
    CIntTableFile table("r", 2, 0, 1, "extra");
    EXPECT_TRUE(Dir().Exists("sav/extra"));
    EXPECT_EQ(table.Load(), 0);
    table.SetValue(1, 5, 0);
    EXPECT_EQ(table.Save(), 1);
  }
  EXPECT_EQ(Dir().Read("sav/extra/r.sav"), Words({0, 5}));
}

TEST_F(IntTableFileTest, AFailedSaveKeepsTheOldFile) {
  Dir().Write("sav/t.sav", Words({1, 2}));
  CIntTableFile table("t", 2, 0, 1, nullptr);
  table.SetValue(0, 9, 0);
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(table.Save(), 0);
  EXPECT_TRUE(table.IsSavePending());
  EXPECT_EQ(Dir().Read("sav/t.sav"), Words({1, 2}));
  EXPECT_EQ(table.Save(), 1);
  EXPECT_EQ(Dir().Read("sav/t.sav"), Words({9, 2}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(IntTableFileTest, ImpossibleSizesGiveAnEmptyTable) {
  const std::pair<int, int> sizes[] = {{0, 1}, {-1, 5}, {5, -1}, {INT_MAX, INT_MAX}, {1 << 20, 1 << 12}};
  for (auto [rows, columns] : sizes) {
    CIntTableFile table("bad", rows, 0, columns, nullptr);
    table.SetValue(0, 1, 0);
    EXPECT_EQ(table.GetValue(0, 0), 0);
    EXPECT_EQ(table.GetRows(), 0);
  }
  EXPECT_EQ(Dir().Read("sav/bad.sav"), "");
}

}  // namespace
}  // namespace savedata_test
