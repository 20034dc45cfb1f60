#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
      {10, -15, -5},                {INT_MAX - 2, 1, INT_MAX - 1},  {-1, INT_MIN, -2147483647},
      // Sums that fit are kept, the lowest word included.
      {0, INT_MIN, INT_MIN},        {INT_MIN, 0, INT_MIN},          {-2147483647, -1, INT_MIN},
  };
  for (const Case& c : cases) {
    CIntTableFile table("t", 1, 0, 1, nullptr);
    table.SetValue(0, c.start, 0);
    table.AddValue(0, c.delta, 0);
    EXPECT_EQ(table.GetValue(0, 0), c.result) << c.start << " + " << c.delta;
  }
}

TEST_F(IntTableFileTest, LoadsASoundFileAndSavesOnlyChanges) {
  Dir().Write("sav/t.sav", Words({1, -2, 3, 4, 5, 6}));
  {
    CIntTableFile table("t", 2, 0, 3, nullptr);
    EXPECT_EQ(table.GetValue(0, 0), 1);
    EXPECT_EQ(table.GetValue(0, 1), -2);
    EXPECT_EQ(table.GetValue(1, 2), 6);
    EXPECT_FALSE(table.IsSavePending());
    // Unchanged: releasing does not write.
    Dir().Write("sav/t.sav", "other");
  }
  EXPECT_EQ(Dir().Read("sav/t.sav"), "other");

  Dir().Write("sav/t.sav", Words({7, 8}));
  {
    CIntTableFile table("t", 1, 0, 2, nullptr);
    table.AddValue(0, 1, 1);
  }
  EXPECT_EQ(Dir().Read("sav/t.sav"), Words({7, 9}));
  EXPECT_TRUE(host_->ErrorLines().empty());
}

// A file of the player's that is not exactly the table is named on stderr
// and in a box, kept aside byte for byte, and a fresh table (or the shipped
// one) takes its place: the damaged bytes are never padded and written back.
TEST_F(IntTableFileTest, DamagedFilesAreKeptAsideAndNeverWrittenBack) {
  const std::string good = Words({5, 6, 7, 8});
  struct Case {
    const char* name;
    std::string bytes;
    bool folder;
  };
  const std::vector<Case> cases = {
      {"empty", "", false},
      {"cut inside a word", good.substr(0, 6), false},
      {"cut at a word", good.substr(0, 8), false},
      {"a stray byte more", good + "\x07", false},
      {"garbage of another length", std::string(1000, '\xA5'), false},
      {"a folder", "", true},
  };
  const std::string path = Dir() / "sav/t.sav";
  for (const bool withShipped : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (withShipped ? " with the shipped file" : ""));
      std::filesystem::remove_all(Dir() / "sav");
      std::filesystem::create_directory(Dir() / "sav");
      if (withShipped) Dir().Write("sav/t.org", Words({40, 41, 42, 43}));
      if (c.folder)
        std::filesystem::create_directory(path);
      else
        Dir().Write("sav/t.sav", c.bytes);
      host_->ClearBoxes();
      host_->ClearErrorLines();
      {
        CIntTableFile table("t", 2, 0, 2, nullptr);
        EXPECT_EQ(table.GetValue(1, 1), withShipped ? 43 : 0);
        // Like a first start: the shipped table is read, not copied.
        EXPECT_EQ(table.IsSavePending(), !withShipped);
        const auto lines = host_->ErrorLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("the table " + path + " is damaged: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find("kept as " + path + ".bad"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(withShipped ? "comes from " + Dir() / "sav/t.org" : "starts empty"),
                  std::string::npos)
            << lines[0];
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text.rfind("sav\\t.sav\nis damaged: ", 0), 0u) << Boxes()[0].text;
        EXPECT_NE(Boxes()[0].text.find("It is kept as\nsav\\t.sav.bad"), std::string::npos);
      }
      if (c.folder)
        EXPECT_TRUE(std::filesystem::is_directory(path + ".bad"));
      else
        EXPECT_EQ(Dir().Read("sav/t.sav.bad"), c.bytes);
      // A fresh table is written whole in the damaged file's place.
      if (withShipped)
        EXPECT_FALSE(Dir().Exists("sav/t.sav"));
      else
        EXPECT_EQ(Dir().Read("sav/t.sav"), std::string(16, '\0'));
    }
  }
  EXPECT_EQ(host_->ErrorLines().size(), 1u);
}

// The reader looks at one byte past the table, never the whole file.
TEST_F(IntTableFileTest, AHugeFileIsRefusedWithoutReadingIt) {
  const std::string path = Dir() / "sav/result.sav";
  { std::ofstream(path, std::ios::binary) << "x"; }
  std::filesystem::resize_file(path, 3ull << 30);  // sparse: nothing is stored
  CIntTableFile table("result", 1024, 0, 1, nullptr);
  ASSERT_EQ(host_->ErrorLines().size(), 1u);
  EXPECT_NE(host_->ErrorLines()[0].find("it holds 3221225472 bytes, 4096 expected"),
            std::string::npos)
      << host_->ErrorLines()[0];
  EXPECT_EQ(std::filesystem::file_size(path + ".bad"), 3ull << 30);
}

// A shipped file that is damaged is named and not used; it stays.
TEST_F(IntTableFileTest, ADamagedShippedFileIsNotUsed) {
  Dir().Write("sav/t.org", Words({1, 2, 3}));
  CIntTableFile table("t", 2, 0, 2, nullptr);
  EXPECT_EQ(table.GetValue(0, 0), 0);
  ASSERT_EQ(host_->ErrorLines().size(), 1u);
  EXPECT_EQ(host_->ErrorLines()[0], "the shipped table " + Dir() / "sav/t.org" +
                                        " is damaged: it holds 12 bytes, 16 expected; it is not used");
  EXPECT_EQ(Dir().Read("sav/t.org"), Words({1, 2, 3}));
}

// When the damaged file cannot be moved aside (every copy's name is taken
// and the last is a folder that is not empty) it is left where it is and no
// save writes over it.
TEST_F(IntTableFileTest, ADamagedFileThatCannotBeMovedIsNotWrittenOver) {
  for (const char* copy : {"t.sav.bad", "t.sav.bad.2", "t.sav.bad.3", "t.sav.bad.4"})
    Dir().Write(std::string("sav/") + copy, copy);
  Dir().Write("sav/t.sav.bad.5/inside", "x");
  Dir().Write("sav/t.sav", "cut");
  {
    CIntTableFile table("t", 1, 0, 1, nullptr);
    ASSERT_EQ(host_->ErrorLines().size(), 1u);
    EXPECT_NE(host_->ErrorLines()[0].find("cannot be kept aside"), std::string::npos);
    table.SetValue(0, 3, 0);
    EXPECT_EQ(table.Save(), 0);
    ASSERT_EQ(host_->ErrorLines().size(), 2u);
    EXPECT_EQ(host_->ErrorLines()[1], "the table " + Dir() / "sav/t.sav" +
                                          " is not saved: the damaged file there could not be kept aside");
  }
  EXPECT_EQ(Dir().Read("sav/t.sav"), "cut");
  EXPECT_EQ(Dir().Read("sav/t.sav.bad"), "t.sav.bad");
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
  // The player sees it, and stderr gives the file and the reason.
  ASSERT_EQ(Boxes().size(), 1u);
  // The box names the file as the slots' boxes do, the line as this host does.
  EXPECT_EQ(Boxes()[0].text, std::string("sav\\t.sav\ncannot be saved: ") + std::strerror(ENOSPC));
  EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{"the table " + Dir() / "sav/t.sav" +
                                                          " cannot be saved: " + std::strerror(ENOSPC)});
  EXPECT_EQ(table.Save(), 1);
  EXPECT_EQ(Dir().Read("sav/t.sav"), Words({9, 2}));
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
