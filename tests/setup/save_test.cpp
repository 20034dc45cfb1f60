#include <string>
#include <vector>

#include "game_folder.h"
#include "platform/files.h"
#include "platform/types.h"
#include "setup/namelist.h"

namespace setup_test {
namespace {

using Strings = std::vector<std::string>;

class SaveTest : public SetupTest {};

TEST_F(SaveTest, WritesRowsAndDropsTheIncompleteOne) {
  CNameList list(20);
  Fill(&list, {"k1", "v1", "k2", "v2", "extra"});
  ASSERT_EQ(list.SavePairs("pairs.xtx", false), 1);
  EXPECT_EQ(Read("pairs.xtx"), "k1,v1\r\nk2,v2\r\n");
  EXPECT_EQ(list.GetChangedFlag(), 0);

  Fill(&list, {"a", "b", "c", "d", "e", "f", "g"});
  ASSERT_EQ(list.SaveFiveColumns("five.xtx", false), 1);
  EXPECT_EQ(Read("five.xtx"), "a,b,c,d,e,\r\n");

  CNameList empty;
  ASSERT_EQ(empty.SavePairs("empty.xtx", false), 1);
  EXPECT_EQ(Read("empty.xtx"), "");
}

// Empty tokens must read back in their places, wherever they stand.
TEST_F(SaveTest, EmptyTokensRoundTrip) {
  struct Case {
    const char* name;
    bool pairs;
    Strings tokens;
  };
  const Case cases[] = {
      {"empty value", true, {"key", "", "next", "value"}},
      {"empty value last", true, {"a", "1", "key", ""}},
      {"empty first key", true, {"", "value", "next", "2"}},
      {"empty later key", true, {"a", "1", "", "value"}},
      {"empty pair first", true, {"", "", "a", "1"}},
      {"all empty", true, {"", "", "", ""}},
      {"plain pairs", true, {"a", "1", "b", "2"}},
      {"five with gaps", false, {"a", "", "c", "d", ""}},
      {"five empty first", false, {"", "b", "c", "d", "e", "", "g", "h", "i", ""}},
      {"five all empty", false, {"", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool invert : {false, true}) {
      SCOPED_TRACE(invert ? "inverted" : "plain");
      CNameList list(20);
      Fill(&list, c.tokens);
      const char* path = invert ? "round.fxf" : "round.xtx";
      ASSERT_EQ(c.pairs ? list.SavePairs(path, invert) : list.SaveFiveColumns(path, invert), 1);
      CNameList back;
      ASSERT_EQ(back.Load(path, invert, false), 1);
      EXPECT_EQ(Tokens(back), c.tokens);
    }
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SaveTest, InvertedFormIsTheComplement) {
  CNameList list(20);
  Fill(&list, {"frameTime", "50", "\x83\x41\x83\x43", "", "x", "y"});
  ASSERT_EQ(list.SavePairs("list.xtx", false), 1);
  ASSERT_EQ(list.SavePairs("list.fxf", true), 1);
  const std::string plain = Read("list.xtx");
  EXPECT_EQ(Read("list.fxf"), Invert(plain));

  // Same bytes as writing plainly and inverting the file afterwards.
  ASSERT_EQ(list.SaveFiveColumns("five.fxf", true), 1);
  ASSERT_EQ(list.SaveFiveColumns("five.xtx", false), 1);
  CNameList::InvertFile("five.xtx");
  EXPECT_EQ(Read("five.xtx"), Read("five.fxf"));
}

TEST_F(SaveTest, InvertFileWorksInBlocks) {
  for (size_t size : {size_t{0}, size_t{5}, size_t{8192}, size_t{8192 * 2 + 5}}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 8192);
    Write("blob.bin", bytes);
    CNameList::InvertFile("blob.bin");
    EXPECT_EQ(Read("blob.bin"), Invert(bytes));
    CNameList::InvertFile("blob.bin");
    EXPECT_EQ(Read("blob.bin"), bytes);
  }
  EXPECT_TRUE(Boxes().empty());

  CNameList::InvertFile("none.bin");
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "save open error");
  EXPECT_EQ(boxes[0].text, "none.bin");
  EXPECT_EQ(boxes[0].style, MB_ICONWARNING);
}

TEST_F(SaveTest, FailedSaveKeepsTheOldFile) {
  Write("list.xtx", "old,file\r\n");
  CNameList list(10);
  Fill(&list, {"new", "pair"});
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(list.SavePairs("list.xtx", false), 0);
  EXPECT_EQ(Read("list.xtx"), "old,file\r\n");
  EXPECT_EQ(list.GetChangedFlag(), 1);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "save open error");
  EXPECT_EQ(boxes[0].text, "list.xtx");
  EXPECT_EQ(boxes[0].style, MB_ICONWARNING);

  EXPECT_EQ(list.SavePairs("list.xtx", false), 1);
  EXPECT_EQ(Read("list.xtx"), "new,pair\r\n");
}

}  // namespace
}  // namespace setup_test
