#include <climits>
#include <string>
#include <vector>

#include "game_folder.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/varnametable.h"

namespace setup_test {
namespace {

template <typename Reader>
class ReaderTest : public SetupTest {};

using Readers = ::testing::Types<CSetupList, CBasicSetup>;
TYPED_TEST_SUITE(ReaderTest, Readers);

TYPED_TEST(ReaderTest, ReadsKeysWithDefaults) {
  this->Write("init/sample.xtx",
              "frameTime 10\r\nmusicName,opening\r\nframeTime 99\r\n"
              "shifted,,7\r\nafter 3\r\nlast");
  TypeParam reader;
  int value = -5;
  const char* text = "default";
  // Nothing loaded yet: not found, defaults kept.
  EXPECT_EQ(reader.GetSetupInt(&value, "frameTime"), 0);
  EXPECT_EQ(reader.GetSetupString(&text, "frameTime"), 0);
  EXPECT_EQ(value, -5);

  ASSERT_EQ(reader.LoadSetupFile("sample", 8), 1);
  EXPECT_EQ(reader.GetSetupInt(&value, "FRAMETIME"), 1);  // first of the two
  EXPECT_EQ(value, 10);
  EXPECT_EQ(reader.GetSetupString(&text, "musicname"), 1);
  EXPECT_STREQ(text, "opening");

  struct Missing {
    const char* name;
    const char* key;
  };
  // "shifted,," leaves an empty token: every later key stands in an odd
  // slot, and "last" has no value at all.
  const Missing missing[] = {{"absent", "nothing"}, {"shifted", "after"}, {"no value", "last"}};
  for (const Missing& m : missing) {
    SCOPED_TRACE(m.name);
    value = -5;
    text = "default";
    EXPECT_EQ(reader.GetSetupInt(&value, m.key), 0);
    EXPECT_EQ(reader.GetSetupString(&text, m.key), 0);
    EXPECT_EQ(value, -5);
    EXPECT_STREQ(text, "default");
  }

  reader.Release();
  EXPECT_EQ(reader.GetSetupInt(&value, "frameTime"), 0);
  EXPECT_EQ(reader.LoadSetupFile("absent", 8), 0);
  ASSERT_EQ(this->Boxes().size(), 1u);
  EXPECT_EQ(this->Boxes()[0].text, "init\\absent.xtx");
}

TYPED_TEST(ReaderTest, KeyWithACommaAndNoValueReadsEmpty) {
  // "filenameCapturePic," must not take "frameTime" as its value.
  this->Write("init/sample.xtx",
              "filenameCapturePic,\r\nframeTime 50\r\nfirst 1, second,  \r\n"
              "trailing,word,\r\nlast,");
  TypeParam reader;
  ASSERT_EQ(reader.LoadSetupFile("sample", 8), 1);
  const char* text = "default";
  EXPECT_EQ(reader.GetSetupString(&text, "filenameCapturePic"), 1);
  EXPECT_STREQ(text, "");
  struct Pair {
    const char* key;
    const char* value;
  };
  const Pair pairs[] = {{"frameTime", "50"}, {"first", "1"}, {"second", ""},
                        {"trailing", "word"}, {"last", ""}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.key);
    text = "default";
    EXPECT_EQ(reader.GetSetupString(&text, p.key), 1);
    EXPECT_STREQ(text, p.value);
  }
  const auto lines = this->host_->ErrorLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "init\\sample.xtx: line 1: \"filenameCapturePic\" has nothing after its comma; "
                      "its value is empty");
  EXPECT_NE(lines[1].find("line 3: \"second\""), std::string::npos);
  EXPECT_NE(lines[2].find("line 5: \"last\""), std::string::npos);

  // A data list is no list of pairs: its commas at line ends stay harmless.
  CNameList data;
  ASSERT_EQ(data.Load("init\\sample.xtx", false, false), 1);
  EXPECT_EQ(Tokens(data), (std::vector<std::string>{"filenameCapturePic", "frameTime", "50", "first",
                                                    "1", "second", "trailing", "word", "last"}));
}

// "key," read as a text the engine shows is meant to be empty: only the
// readers of numbers and names tell it, once a list.
TYPED_TEST(ReaderTest, AnEmptyTextIsReadQuietly) {
  this->Write("init/sample.xtx", "firstMessage1,\r\nfilenameBG,\r\n");
  TypeParam reader;
  ASSERT_EQ(reader.LoadSetupFile("sample", 8), 1);
  const char* text = "default";
  EXPECT_EQ(reader.GetSetupText(&text, "firstMessage1"), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(this->host_->ErrorLines(), std::vector<std::string>{});
  EXPECT_EQ(reader.GetSetupString(&text, "filenameBG"), 1);
  EXPECT_EQ(reader.GetSetupString(&text, "filenameBG"), 1);
  EXPECT_EQ(this->host_->ErrorLines(),
            std::vector<std::string>{
                "init\\sample.xtx: line 2: \"filenameBG\" has nothing after its comma; its value is empty"});
}

TEST_F(SetupTest, KeysNothingAskedForAreListed) {
  CNameList::ForgetSettingsKeys();
  Write("init/game.xtx", "frameTime 50\r\nstartupJumpScrptFlag 1\r\nnoticeFlag 1\r\n");
  Write("init/other.xtx", "used 1\r\n");
  {
    // Two readers of one file, and a second file: a key counts as asked
    // when any reader asked for it, in any letter case.
    CSetupList first, second, other;
    ASSERT_EQ(first.LoadSetupFile("game", 8), 1);
    ASSERT_EQ(second.LoadSetupFile("game", 8), 1);
    ASSERT_EQ(other.LoadSetupFile("other", 8), 1);
    int value = 0;
    first.GetSetupInt(&value, "FRAMETIME");
    second.GetSetupInt(&value, "noticeFlag");
    second.GetSetupInt(&value, "startupJumpScriptFlag");  // not in the file
    other.GetSetupInt(&value, "used");
  }
  host_->ClearDebugLines();
  CNameList::ReportUnaskedKeys();
  EXPECT_EQ(host_->DebugLines(),
            (std::vector<std::string>{"init\\game.xtx: line 2: nothing asked for the key "
                                      "\"startupJumpScrptFlag\" (is it misspelt?)\n"}));
  CNameList::ForgetSettingsKeys();
  host_->ClearDebugLines();
  CNameList::ReportUnaskedKeys();
  EXPECT_TRUE(host_->DebugLines().empty());
}

TEST_F(SetupTest, IntegerConversion) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"42", 42},          {"  42", 42},     {"\t-7", -7},    {"+8", 8},
      {"12abc", 12},       {"abc", 0},       {"", 0},         {"--3", 0},
      {"-0x10", 0},        {"007", 7},       {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"4294967297", 1},  // wraps in 32 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CNameList list(4);
    Fill(&list, {"key", c.text});
    CSetupList reader;
    reader.AttachList(&list);
    int value = -99;
    EXPECT_EQ(reader.GetSetupInt(&value, "key"), 1);
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(SetupTest, AttachedListIsBorrowed) {
  this->Write("init/own.xtx", "key owned\r\n");
  CNameList borrowed(4);
  Fill(&borrowed, {"key", "borrowed"});
  const char* text = nullptr;
  {
    CSetupList reader;
    ASSERT_EQ(reader.LoadSetupFile("own", 4), 1);
    reader.AttachList(&borrowed);
    ASSERT_EQ(reader.GetSetupString(&text, "key"), 1);
    EXPECT_STREQ(text, "borrowed");
    reader.Release();  // frees only the owned list
    ASSERT_EQ(reader.GetSetupString(&text, "key"), 1);
    EXPECT_STREQ(text, "borrowed");
  }
  EXPECT_EQ(borrowed.GetCount(), 2);
}

TEST_F(SetupTest, VariableNames) {
  CNameList list(10);
  Fill(&list, {"flagA", "", "count", "flagA"});
  CVarNameTable table(&list, "spt\\var.fxf");
  EXPECT_EQ(table.SearchVar("flagA"), 0);
  EXPECT_EQ(table.SearchVar("count"), 2);
  EXPECT_TRUE(Boxes().empty());

  EXPECT_EQ(table.SearchVar("Count"), -1);
  EXPECT_EQ(table.SearchVar(""), -1);
  // Names added after the table was made are not its variables.
  list.Add("late", true);
  EXPECT_EQ(table.SearchVar("late"), -1);
  // One box for the first missing name (a damaged list misses many); each
  // one is a line on stderr.
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "var not found");
  EXPECT_EQ(boxes[0].text, "spt\\var.fxf: Count");
  EXPECT_EQ(host_->ErrorLines(), (std::vector<std::string>{"var not found: spt\\var.fxf: Count",
                                                            "var not found: spt\\var.fxf: ",
                                                            "var not found: spt\\var.fxf: late"}));
}

}  // namespace
}  // namespace setup_test
