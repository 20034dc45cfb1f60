#include "savedata/cglist.h"

#include <random>
#include <string>
#include <vector>

#include "savedata/cgvoice.h"
#include "savedata/extnametable.h"
#include "savedata_test.h"

namespace savedata_test {
namespace {

using testsupport::Sjis;

class CGListTest : public SaveDataTest {
 protected:
  // Writes picture lists 1..n with the given entries (list k gets entries[k-1]).
  void WriteLists(const std::vector<std::string>& lists) const {
    for (size_t k = 0; k < lists.size(); ++k) {
      std::string name = CGListFileName(static_cast<int>(k + 1)).substr(4);  // without "spt\"
      Dir().Write("spt/" + name, lists[k]);
    }
    SetCGListCount(static_cast<int>(lists.size()));
  }
};

TEST_F(CGListTest, ListNamesFollowTheStartUpCount) {
  const std::pair<int, const char*> cases[] = {
      {1, "spt\\cglist01.xtx"},   {9, "spt\\cglist09.xtx"},   {10, "spt\\cglist10.xtx"},
      {99, "spt\\cglist99.xtx"},  {100, "spt\\cglistA0.xtx"}, {109, "spt\\cglistA9.xtx"},
      {110, "spt\\cglistB0.xtx"}, {256, "spt\\cglistP6.xtx"}, {0, ""},
      {257, ""},
  };
  for (const auto& [n, name] : cases) EXPECT_EQ(CGListFileName(n), name) << n;
}

TEST_F(CGListTest, LoadsTheCountedListsOnce) {
  WriteLists({"a b c", "", "@x !y"});
  CCommonSystemFile sys;
  CCGList list(&sys);
  ASSERT_EQ(list.GetCharaCount(), 3);
  EXPECT_EQ(list.GetCGCount(0), 3);
  EXPECT_EQ(list.GetCGCount(1), 0);
  EXPECT_EQ(list.GetCGCount(2), 2);
  EXPECT_EQ(list.GetCGCount(3), 0);
  EXPECT_EQ(list.GetCGCount(-1), 0);
  EXPECT_STREQ(list.GetCGName(0, 2, 0), "c");
  EXPECT_STREQ(list.GetCGName(2, 0, 0), "@x");
  EXPECT_STREQ(list.GetCGName(2, 0, 1), "x");
  EXPECT_EQ(list.GetCGName(0, 3, 0), nullptr);
  EXPECT_EQ(list.GetCGName(3, 0, 0), nullptr);
  list.Load(5);
  EXPECT_EQ(list.GetCharaCount(), 3);
  EXPECT_TRUE(Boxes().empty());

  // Without a counted list nothing is read until asked.
  SetCGListCount(0);
  CCGList empty(&sys);
  EXPECT_EQ(empty.GetCharaCount(), 0);
  empty.Load(2);
  EXPECT_EQ(empty.GetCharaCount(), 2);
  EXPECT_EQ(empty.GetCGCount(0), 3);
}

TEST_F(CGListTest, ListsFromTheHundredthOnAreTheOnesCounted) {
  std::vector<std::string> lists(111, "pic");
  lists[99] = "hundredth";
  lists[110] = "one_hundred_eleventh";
  WriteLists(lists);
  CCGList list(nullptr);
  ASSERT_EQ(list.GetCharaCount(), 111);
  EXPECT_STREQ(list.GetCGName(99, 0, 0), "hundredth");
  EXPECT_STREQ(list.GetCGName(110, 0, 0), "one_hundred_eleventh");
}

TEST_F(CGListTest, AttributePrefixes) {
  struct Case {
    const char* utf8;
    int values[8];  // types 0..7
  };
  const Case cases[] = {
      {"CG001", {-1, -1, 1, 1, -1, -1, -1, -1}},
      {"[→3]CG", {1, -1, 3, 1, -1, -1, -1, -1}},
      {"[↑:5_2]CG", {-1, 0, 1, 1, -1, 5, -1, 2}},
      {"[12]CG", {-1, -1, 1, 1, -1, -1, -1, -1}},
      {"@![←2↓4]CG", {0, 1, 2, 4, -1, -1, -1, -1}},
      {"[→:7←_8]", {0, -1, 1, 1, 7, -1, 8, -1}},
      {"[↓x9★:3]", {-1, 1, 1, 9, -1, 3, -1, -1}},
      {"[→2]5]", {1, -1, 2, 1, -1, -1, -1, -1}},
      {"![↑", {-1, 0, 1, 1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    const std::string entry = Sjis(c.utf8);
    for (int type = 0; type < 8; ++type)
      EXPECT_EQ(CCGList::ParseAttribute(entry.c_str(), type), c.values[type]) << c.utf8 << " type " << type;
    EXPECT_EQ(CCGList::ParseAttribute(entry.c_str(), 8), 1);
    EXPECT_EQ(CCGList::ParseAttribute(entry.c_str(), -1), 1);
  }
  // A lead byte with nothing after it ends the prefix.
  EXPECT_EQ(CCGList::ParseAttribute("[\x81", 3), 1);
  EXPECT_EQ(CCGList::ParseAttribute("[\x81\xa8\x81", 0), 1);

  WriteLists({Sjis("[→3]a [↑:5_2]b")});
  CCGList list(nullptr);
  EXPECT_EQ(list.GetCGAttribute(2, 0, 0), 3);
  EXPECT_EQ(list.GetCGAttribute(5, 0, 1), 5);
  EXPECT_EQ(list.GetCGAttribute(3, 0, 2), 1);  // no such entry
}

// ':' and '_' are one byte each; counting them as two skipped the closing
// bracket and ran past the end of the text.
TEST_F(CGListTest, StrippingStepsByCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"@![→2]CG001", "CG001"}, {"[:]CG002", "CG002"}, {"[↑_]CG003", "CG003"}, {"[_5]", ""},
      {"[→2", ""},              {"!!x", "!x"},         {"@@x", "@x"},         {"![]y", "y"},
      {"‐]z", "‐]z"},           {"[‐]w", "w"},  // '‐' is 0x81 0x5D, its trail byte a ']'
  };
  for (const auto& [utf8, stripped] : cases)
    EXPECT_EQ(CCGList::StripPrefix(Sjis(utf8).c_str()), Sjis(stripped)) << utf8;
  EXPECT_STREQ(CCGList::StripPrefix("[\x81"), "");
}

TEST_F(CGListTest, SeenStateAndStepping) {
  WriteLists({"a b c d e", "f"});
  CCommonSystemFile sys;
  CCGList list(&sys);
  EXPECT_EQ(list.GetSeenPercent(0), 0);
  EXPECT_EQ(list.NextSeenCG(), 0);  // nothing seen: the current one stays

  list.SetCurrentChara(0)->SetCurrentCG(3);
  sys.SetCGFlag(0, 3);
  EXPECT_EQ(list.IsCGSeen(0, 3), 1);
  EXPECT_EQ(list.NextSeenCG(), 3);  // a full round back to itself
  EXPECT_EQ(list.PrevSeenCG(), 3);
  sys.SetCGFlag(0, 1);
  EXPECT_EQ(list.NextSeenCG(), 1);
  EXPECT_EQ(list.GetCurrentCG(), 1);
  EXPECT_EQ(list.NextSeenCG(), 3);
  EXPECT_EQ(list.PrevSeenCG(), 1);
  EXPECT_EQ(list.PrevSeenCG(), 3);

  EXPECT_EQ(list.GetSeenPercent(0), 40);
  EXPECT_EQ(list.GetSeenPercent(1), 0);
  EXPECT_EQ(list.GetTotalSeenPercent(), 33);
  sys.SetCGFlag(1, 0);
  EXPECT_EQ(list.GetTotalSeenPercent(), 50);

  std::vector<std::string> many(1, "");
  for (int i = 0; i < 200; ++i) many[0] += "p ";
  WriteLists(many);
  CCommonSystemFile fresh;
  CCGList big(&fresh);
  fresh.SetCGFlag(0, 150);
  EXPECT_EQ(big.GetSeenPercent(0), 1);
  for (int i = 0; i < 199; ++i) fresh.SetCGFlag(0, i);
  EXPECT_EQ(big.GetSeenPercent(0), 99);
}

TEST_F(CGListTest, RandomEntriesParseSafely) {
  std::mt19937 random(5);
  const std::string alphabet = Sjis("[]:_@!0123456789→↑←↓‐ab") + "\x81\xff";
  for (int i = 0; i < 2000; ++i) {
    std::string entry;
    const int length = static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) entry += alphabet[random() % alphabet.size()];
    const char* stripped = CCGList::StripPrefix(entry.c_str());
    EXPECT_TRUE(stripped >= entry.c_str() && stripped <= entry.c_str() + entry.size()) << entry;
    for (int type = 0; type < 8; ++type) CCGList::ParseAttribute(entry.c_str(), type);
  }
}

class CGVoiceTest : public SaveDataTest {};

TEST_F(CGVoiceTest, AVoiceCoversItsPictureAndTheOnesAfter) {
  Dir().Write("spt/cgVoice.xtx", "1 1 a\r\n1 5 b\r\n3 2 c\r\n2 1 old\r\n3 4 d\r\n2 3 new\r\n4 1");
  CCGVoiceList voices;
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(voices.GetVoice(0, i), "a") << i;
  EXPECT_STREQ(voices.GetVoice(0, 4), "b");
  EXPECT_STREQ(voices.GetVoice(0, 99), "b");
  EXPECT_EQ(voices.GetVoice(0, -1), nullptr);
  // Character 3's run was replaced by its later one.
  EXPECT_EQ(voices.GetVoice(2, 1), nullptr);
  EXPECT_STREQ(voices.GetVoice(2, 3), "d");
  EXPECT_EQ(voices.GetVoice(1, 1), nullptr);
  EXPECT_STREQ(voices.GetVoice(1, 2), "new");
  EXPECT_EQ(voices.GetVoice(3, 0), nullptr);  // an incomplete triple
  EXPECT_EQ(voices.GetVoice(9, 0), nullptr);
  EXPECT_EQ(voices.GetVoice(-1, 0), nullptr);
}

TEST_F(CGVoiceTest, WithoutTheListNoPictureHasAVoice) {
  {
    CCGVoiceList voices;
    EXPECT_EQ(voices.GetVoice(0, 0), nullptr);
  }
  Dir().Write("spt/cgVoice.xtx", "1 1");
  CCGVoiceList voices;
  EXPECT_EQ(voices.GetVoice(0, 0), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST(ExtDataNameTableTest, OnlyFaceHasAChunk) {
  CExtDataNameTable table;
  EXPECT_EQ(table.SearchName("face"), 1);
  EXPECT_EQ(table.SearchName("FaCe"), 1);
  EXPECT_EQ(table.SearchName("dummy"), -1);
  EXPECT_EQ(table.SearchName("faces"), -1);
  EXPECT_EQ(table.SearchName(""), -1);
  EXPECT_EQ(table.SearchName(nullptr), -1);
}

}  // namespace
}  // namespace savedata_test
