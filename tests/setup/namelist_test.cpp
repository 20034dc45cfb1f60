#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game_folder.h"
#include "setup/namelist.h"
#include "support/text.h"

namespace setup_test {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

class NameListTest : public SetupTest {};

TEST_F(NameListTest, TokenizerFollowsTheCommaRule) {
  struct Case {
    const char* name;
    std::string bytes;
    Strings tokens;
  };
  const Case cases[] = {
      {"blank and comma lines", "key 10\r\nname,word\r\n", {"key", "10", "name", "word"}},
      {"comma then blank", "a, b", {"a", "b"}},
      {"comma at line end", "a,\r\nb,\r\n", {"a", "b"}},
      {"two commas", "a,,b", {"a", "", "b"}},
      {"three commas", "a,,,b", {"a", "", "", "b"}},
      {"blank before comma", "a ,b", {"a", "", "b"}},
      {"blanks around comma", "a , b", {"a", "", "b"}},
      {"trailing double comma", "a,,", {"a", ""}},
      {"one leading comma is swallowed", ",a", {"a"}},
      {"two leading commas", ",,a", {"", "a"}},
      {"comma alone", ",", {}},
      {"tabs and blank lines", "a\tb\r\n\r\n\tc\n", {"a", "b", "c"}},
      {"only separators", "  \r\n\t ", {}},
      {"NUL separates", "a\0b"s, {"a", "b"}},
      {"NULs around", "\0\0a\0\0"s, {"a"}},
      {"NUL counts as a blank before a comma", "a\0,b"s, {"a", "", "b"}},
      // 0x5C and 0x41 as second bytes stay inside their characters.
      {"double-byte text", "\x83\x41,\x83\x5C \x95\x5C", {"\x83\x41", "\x83\x5C", "\x95\x5C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write("list.xtx", c.bytes);
    Write("list.fxf", Invert(c.bytes));
    CNameList plain;
    EXPECT_EQ(plain.Load("list.xtx", false, false), 1);
    EXPECT_EQ(Tokens(plain), c.tokens);
    CNameList inverted;
    EXPECT_EQ(inverted.Load("list.fxf", true, false), 1);
    EXPECT_EQ(Tokens(inverted), c.tokens);
    // One spare, empty slot follows the last token.
    EXPECT_LT(plain.GetCount(), plain.GetCapacity());
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NameListTest, EmptyFileLoadsAndLoadsAppend) {
  Write("a.xtx", "key first\r\n");
  Write("b.xtx", "KEY second\r\nother x\r\n");
  Write("empty.xtx", "");
  CNameList list;
  list.SetChangedFlag(1);
  EXPECT_EQ(list.Load("empty.xtx", false, false), 1);
  EXPECT_EQ(list.GetCount(), 0);
  ASSERT_EQ(list.Load("a.xtx", false, false), 1);
  EXPECT_EQ(list.GetChangedFlag(), 0);
  ASSERT_EQ(list.Load("b.xtx", false, false), 1);
  EXPECT_EQ(Tokens(list), (Strings{"key", "first", "KEY", "second", "other", "x"}));
  EXPECT_EQ(list.SearchKey("Key"), 0);
  EXPECT_EQ(list.Load("empty.xtx", false, false), 1);
  EXPECT_EQ(list.GetCount(), 6);
}

TEST_F(NameListTest, MissingFileShowsItsPathUnlessQuiet) {
  std::filesystem::create_directories(std::filesystem::path(dir_) / "folder");
  CNameList list;
  EXPECT_EQ(list.Load("spt\\none.xtx", false, true), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(list.Load("spt\\none.xtx", false, false), 0);
  EXPECT_EQ(list.Load("folder", false, false), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "file not found");
  EXPECT_EQ(boxes[0].text, "spt\\none.xtx");
  EXPECT_EQ(boxes[1].text, "folder");
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(NameListTest, TokenLengthLimit) {
  const std::string ok(127, 'x');
  const std::string tooLong(128, 'y');
  Write("ok.xtx", "a " + ok + " b");
  Write("long.xtx", "a b," + tooLong + " c d");
  CNameList list;
  EXPECT_EQ(list.Load("ok.xtx", false, false), 1);
  EXPECT_EQ(Tokens(list), (Strings{"a", ok, "b"}));
  EXPECT_TRUE(Boxes().empty());

  CNameList cut;
  EXPECT_EQ(cut.Load("long.xtx", false, false), 1);
  EXPECT_EQ(Tokens(cut), (Strings{"a", "b"}));
  EXPECT_EQ(cut.SearchKey("a"), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].text, kTokenTooLong + "\nlong.xtx");

  // stderr names the list also for a quiet inverted list (its byte offsets are those of the file).
  std::string inverted = "k " + tooLong;
  for (char& c : inverted) c = static_cast<char>(~static_cast<unsigned char>(c));
  Write("init2/long.fxf", inverted);
  CNameList quiet;
  EXPECT_EQ(quiet.Load("init2\\long.fxf", true, true), 1);
  EXPECT_EQ(Tokens(quiet), Strings{"k"});
  EXPECT_EQ(host_->ErrorLines(),
            (Strings{"long.xtx: the token at byte 4 is longer than 127 bytes; the list ends before it",
                     "init2\\long.fxf: the token at byte 2 is longer than 127 bytes; the list ends "
                     "before it"}));
}

// zor-list refuses, by its line, a token the game would end the list at;
// the length is counted in the CP932 bytes the game reads.
TEST_F(NameListTest, TheListToolRefusesATokenTheGameCannotRead) {
  std::string kana43, kana64;
  for (int i = 0; i < 43; ++i) kana43 += "あ";  // 129 UTF-8 bytes, 86 in CP932
  for (int i = 0; i < 64; ++i) kana64 += "あ";  // 128 in CP932
  struct Case {
    std::string text;
    const char* said;  // empty: written
  };
  const Case cases[] = {
      {"a b\nkey," + std::string(127, 'x') + "\n", ""},
      {"a\nname " + kana43 + ",b\n", ""},
      {"a b\nkey," + std::string(128, 'y') + "\n", "in.txt:2: a token of 128 bytes; the game reads at most 127"},
      {"a\n\n" + kana64, "in.txt:3: a token of 128 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    Write("in.txt", c.text);
    const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-list " + dir_ + "/in.txt " + dir_ +
                                "/out.xtx 2>" + dir_ + "/said.txt";
    const int status = std::system(command.c_str());
    std::ifstream in(dir_ + "/said.txt");
    const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::error_code ignored;
    const bool written = std::filesystem::remove(dir_ + "/out.xtx", ignored);
    if (*c.said == 0) {
      EXPECT_EQ(status, 0) << said;
      EXPECT_TRUE(written);
    } else {
      EXPECT_NE(status, 0);
      EXPECT_FALSE(written);
      EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
  }
}

TEST_F(NameListTest, GrowsByHundredsWhileLoading) {
  std::string text;
  for (int i = 0; i < 250; ++i) text += testsupport::Numbered("t", i) + ",\r\n";
  Write("many.xtx", text);
  CNameList list(1);
  ASSERT_EQ(list.Load("many.xtx", false, false), 1);
  EXPECT_EQ(list.GetCount(), 250);
  EXPECT_EQ(list.GetCapacity(), 301);
  EXPECT_STREQ(list.GetName(249), "t249");
  list.SetCountFull();
  EXPECT_STREQ(list.GetName(250), "");
  EXPECT_STREQ(list.GetName(300), "");

  CNameList none(0);
  ASSERT_EQ(none.Load("many.xtx", false, false), 1);
  EXPECT_EQ(none.GetCount(), 250);
}

TEST_F(NameListTest, LargeAndBinaryFilesLoadWithoutHarm) {
  std::string binary(1 << 20, '\0');
  uint32_t state = 7;
  for (char& c : binary) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  Write("binary.xtx", binary);
  std::string big;
  for (int i = 0; i < 20000; ++i) big += "ab,";
  Write("big.xtx", big);

  CNameList list;
  EXPECT_EQ(list.Load("binary.xtx", false, false), 1);
  EXPECT_EQ(list.Load("binary.xtx", true, false), 1);
  for (int i = 0; i < list.GetCount(); ++i) ASSERT_LE(std::string(list.GetName(i)).size(), 127u);
  CNameList many;
  EXPECT_EQ(many.Load("big.xtx", false, false), 1);
  EXPECT_EQ(many.GetCount(), 20000);
  EXPECT_STREQ(many.GetName(19999), "ab");
}

TEST_F(NameListTest, OutOfMemoryIsReported) {
  Write("list.xtx", "a b c d e");
  CNameList list;
  CNameList::FailAllocations(1);
  EXPECT_EQ(list.Load("list.xtx", false, false), 0);
  EXPECT_EQ(list.GetCount(), 0);

  // The text fits but the slots cannot grow: what was read stays.
  CNameList small(2);
  CNameList::FailAllocations(1, 1);
  EXPECT_EQ(small.Load("list.xtx", false, false), 0);
  EXPECT_EQ(Tokens(small), (Strings{"a", "b"}));

  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.text, kNoMemory + "\nlist.xtx");
  }
}

// A file past the reader's limit is refused as too large, not as memory
// running out (a sparse file: nothing is read).
TEST_F(NameListTest, AListPastTheLimitIsTooLarge) {
  Write("huge.xtx", "a b");
  std::filesystem::resize_file(std::filesystem::path(dir_) / "huge.xtx", std::uintmax_t{INT_MAX});
  CNameList list;
  EXPECT_EQ(list.Load("huge.xtx", false, false), 0);
  EXPECT_EQ(list.GetCount(), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "the list is too large\nhuge.xtx");
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{"huge.xtx: the list is too large: 2147483647 bytes, over the "
                                     "2147483645 a list may have; nothing is read"});
}

TEST_F(NameListTest, LoadInitChoosesTheFolder) {
  Write("init/game.xtx", "frameTime 50\r\n");
  Write("init/other.xtx", "name plain\r\n");
  Write("init2/game.fxf", Invert("frameTime 33\r\n"));

  // No "init2" yet: the plain lists.
  std::filesystem::rename(std::filesystem::path(dir_) / "init2", std::filesystem::path(dir_) / "hidden");
  CNameList plain;
  ASSERT_EQ(plain.LoadInit("game"), 1);
  EXPECT_STREQ(plain.GetName(1), "50");

  // The answer holds for the run until it is reset.
  std::filesystem::rename(std::filesystem::path(dir_) / "hidden", std::filesystem::path(dir_) / "init2");
  CNameList still;
  ASSERT_EQ(still.LoadInit("game"), 1);
  EXPECT_STREQ(still.GetName(1), "50");

  CNameList::ResetInit2Check();
  CNameList inverted;
  ASSERT_EQ(inverted.LoadInit("game"), 1);
  EXPECT_STREQ(inverted.GetName(1), "33");
  // No .fxf for this one: its .xtx, without a box.
  CNameList fallback;
  ASSERT_EQ(fallback.LoadInit("other"), 1);
  EXPECT_STREQ(fallback.GetName(1), "plain");
  EXPECT_TRUE(Boxes().empty());

  CNameList missing;
  EXPECT_EQ(missing.LoadInit("missing"), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "file not found");
  EXPECT_EQ(boxes[0].text, "init\\missing.xtx");
}

TEST_F(NameListTest, SearchKeyTestsKeySlotsOnly) {
  struct Case {
    const char* name;
    Strings tokens;
    const char* key;
    bool caseInsensitive;
    int start;
    int expected;
  };
  const Case cases[] = {
      {"empty list", {}, "a", true, -1, -1},
      {"any case", {"FrameTime", "50"}, "frameTIME", true, -1, 0},
      {"exact case", {"FrameTime", "50"}, "frameTIME", false, -1, -1},
      {"first match wins", {"k", "1", "K", "2"}, "k", true, -1, 0},
      {"a value is no key", {"a", "key", "key", "v"}, "key", true, -1, 2},
      {"odd start moves to the next key", {"k0", "target", "k1", "v1"}, "target", true, 1, -1},
      {"odd start finds the next key", {"k0", "v0", "k1", "v1"}, "k1", true, 1, 2},
      {"wrap with an odd count", {"k0", "target", "k1", "v1", "k2"}, "target", true, 4, -1},
      {"wrap reaches slot 0", {"k0", "v0", "k1", "v1", "k2"}, "k0", true, 3, 0},
      {"start past the count", {"k0", "v0", "k1", "v1"}, "k1", true, 7, 2},
      {"last key without value", {"k0", "v0", "k1"}, "k1", true, -1, 2},
      {"empty key never matches", {"", "v"}, "", true, -1, -1},
      {"second byte of a kanji keeps its case", {"\x83\x61", "v"}, "\x83\x41", true, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CNameList list(10);
    Fill(&list, c.tokens);
    EXPECT_EQ(list.SearchKey(c.key, c.caseInsensitive, c.start), c.expected);
  }
}

TEST_F(NameListTest, OtherSearches) {
  CNameList list(10);
  Fill(&list, {"k0", "v0", "k1", "v1", "", "k0"});
  EXPECT_EQ(list.Search("k0", -1), 0);
  EXPECT_EQ(list.Search("k0", 1), 5);
  EXPECT_EQ(list.Search("v0", 3), 1);  // wraps
  EXPECT_EQ(list.Search("K0", -1), -1);
  EXPECT_EQ(list.Search("", -1), -1);

  EXPECT_EQ(list.SearchColumn("v1", 2, false, 1), 1);
  EXPECT_EQ(list.SearchColumn("V1", 2, true, 1), 1);
  EXPECT_EQ(list.SearchColumn("k1", 2, false, 1), -1);
  EXPECT_EQ(list.SearchColumn("k0", 2, false, 1), 2);   // slot 5
  EXPECT_EQ(list.SearchColumn("k0", 2, false, 2), -1);  // no wrap back to slot 0
  EXPECT_EQ(list.SearchColumn("v1", 0, false, 1), -1);

  EXPECT_EQ(list.SearchStep("k0", 2, 0), 0);
  EXPECT_EQ(list.SearchStep("k0", 2, 1), 5);
  EXPECT_EQ(list.SearchStep("k0", 2, 2), -1);
  EXPECT_EQ(list.SearchStep("k1", 0, 0), -1);

  EXPECT_STREQ(list.FindDuplicate(), "k0");
  CNameList unique(10);
  Fill(&unique, {"a", "", "b", ""});
  EXPECT_EQ(unique.FindDuplicate(), nullptr);

  CNameList empty;
  EXPECT_EQ(empty.Search("a", -1), -1);
  EXPECT_EQ(empty.SearchStep("", 1, 0), -1);
  EXPECT_EQ(empty.GetName(0), nullptr);
  EXPECT_EQ(list.GetName(list.GetCount()), nullptr);
  EXPECT_EQ(list.GetName(-1), nullptr);
}

TEST_F(NameListTest, SetNameAndAdd) {
  CNameList list(4);
  list.SetName(2, std::string(200, 'n').c_str());
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(std::string(list.GetName(2)), std::string(126, 'n'));
  EXPECT_EQ(list.GetChangedFlag(), 1);
  list.SetName(4, "out");
  list.SetName(-1, "out");
  list.SetName(0, nullptr);
  EXPECT_EQ(list.GetCount(), 3);

  struct Case {
    size_t length;
    bool added;
  };
  const Case cases[] = {{0, false}, {1, true}, {127, true}, {128, false}};
  CNameList added(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const int before = added.GetCount();
    added.Add(std::string(c.length, 'a').c_str(), false);
    EXPECT_EQ(added.GetCount(), before + (c.added ? 1 : 0));
  }
  EXPECT_EQ(added.GetCapacity(), 101);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, kTokenTooLong);
  added.Add("", true);
  EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(NameListTest, CopyNames) {
  struct Case {
    int from, to, n, result;
    Strings tokens;
  };
  const Case cases[] = {
      {0, 1, 3, 1, {"a", "a", "b", "c"}},
      {1, 0, 3, 1, {"b", "c", "d", "d"}},
      {0, 0, 0, 1, {"a", "b", "c", "d"}},
      {-1, 0, 1, 0, {"a", "b", "c", "d"}},
      {0, 2, -1, 0, {"a", "b", "c", "d"}},
      {0, 7, 3, 1, {"a", "b", "c", "d"}},  // to the end of the capacity
      {0, 8, 3, 0, {"a", "b", "c", "d"}},
      {8, 0, 3, 0, {"a", "b", "c", "d"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << "->" << c.to << " n " << c.n);
    CNameList list(10);
    Fill(&list, {"a", "b", "c", "d"});
    EXPECT_EQ(list.CopyNames(c.from, c.to, c.n), c.result);
    EXPECT_EQ(Tokens(list), c.tokens);
  }
}

TEST_F(NameListTest, InsertDeleteResizeSetCount) {
  struct Case {
    const char* name;
    void (*edit)(CNameList*);
    Strings tokens;
  };
  const Case cases[] = {
      {"insert in the middle", [](CNameList* l) { l->InsertEmpty(1, 2); }, {"a", "", "", "b", "c"}},
      {"insert past the end", [](CNameList* l) { l->InsertEmpty(9, 1); }, {"a", "b", "c", ""}},
      {"insert nothing", [](CNameList* l) { l->InsertEmpty(0, 0); }, {"a", "b", "c"}},
      {"insert at negative", [](CNameList* l) { l->InsertEmpty(-1, 1); }, {"a", "b", "c"}},
      {"delete one", [](CNameList* l) { l->Delete(1, 1); }, {"a", "c"}},
      {"delete past the end", [](CNameList* l) { l->Delete(1, 10); }, {"a"}},
      {"delete at count", [](CNameList* l) { l->Delete(3, 1); }, {"a", "b", "c"}},
      {"delete negative", [](CNameList* l) { l->Delete(-1, 1); }, {"a", "b", "c"}},
      {"delete none", [](CNameList* l) { l->Delete(0, 0); }, {"a", "b", "c"}},
      {"resize up", [](CNameList* l) { l->Resize(5); }, {"a", "b", "c", "", ""}},
      {"resize down", [](CNameList* l) { l->Resize(1); }, {"a"}},
      {"resize to zero", [](CNameList* l) { l->Resize(0); }, {"a", "b", "c"}},
      {"count negative", [](CNameList* l) { l->SetCount(-1); }, {"a", "b", "c"}},
      {"count past capacity", [](CNameList* l) { l->SetCount(5); }, {"a", "b", "c"}},
      {"count to capacity", [](CNameList* l) { l->SetCount(4); }, {"a", "b", "c", ""}},
      {"count full", [](CNameList* l) { l->SetCountFull(); }, {"a", "b", "c", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CNameList list(4);
    Fill(&list, {"a", "b", "c"});
    c.edit(&list);
    EXPECT_EQ(Tokens(list), c.tokens);
    EXPECT_LE(list.GetCount(), list.GetCapacity());
  }

  // A delete leaves no stale tokens behind the count.
  CNameList list(4);
  Fill(&list, {"a", "b", "c", "d"});
  list.Delete(0, 2);
  list.SetCountFull();
  EXPECT_EQ(Tokens(list), (Strings{"c", "d", "", ""}));

  CNameList grown(2);
  grown.Resize(250);
  EXPECT_EQ(grown.GetCount(), 250);
  EXPECT_GE(grown.GetCapacity(), 250);
  grown.InsertEmpty(0, 300);
  EXPECT_EQ(grown.GetCount(), 550);
}

TEST_F(NameListTest, NegativeGrowthIsRefused) {
  CNameList list(3);
  EXPECT_EQ(list.Expand(-1), 0);
  EXPECT_EQ(list.GetCapacity(), 3);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "error");
  EXPECT_EQ(boxes[0].text, "expand error");
  EXPECT_EQ(list.Expand(2), 1);
  EXPECT_EQ(list.GetCapacity(), 5);

  list.Free();
  EXPECT_EQ(list.GetCapacity(), 0);
  list.Add("again", false);
  EXPECT_EQ(Tokens(list), (Strings{"again"}));
}

}  // namespace
}  // namespace setup_test
