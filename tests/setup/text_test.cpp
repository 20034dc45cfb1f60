// The case-blind comparison of CP932 names that every reader of names uses.
#include <gtest/gtest.h>

#include <string>

#include "setup/text.h"

namespace setup_test {
namespace {

TEST(NameComparison, FoldsAsciiLettersAndNeverASecondByte) {
  struct Case {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"SPT\\Test.SPT", "spt\\test.spt", true},
      {"abc", "abcd", false},
      {"", "", true},
      // "ア" 0x83 0x41 and "ヂ" 0x83 0x61; "表" 0x95 0x5C and "\\".
      {"\x83\x41", "\x83\x61", false},
      {"\x83\x41x", "\x83\x41X", true},
      {"\x95\x5C" "a", "\x95\x5C" "A", true},
      // Half-width katakana are single bytes: the letter after one folds.
      {"\xB1" "A", "\xB1" "a", true},
      // A lead byte on one side only never meets a single byte.
      {"\x83" "A", "aA", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(setup::EqualNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(setup::EqualNoCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
}

TEST(NameComparison, AffixesEndOnCharacterBoundaries) {
  struct Case {
    std::string text, affix;
    bool starts, ends;
  } cases[] = {
      {"sys\\SC01", "SYS\\sc", true, false},
      {"save01.SAV", ".sav", false, true},
      {"x", "", true, true},
      {"ab", "abc", false, false},
      // The affix ends inside "ア" (0x83 0x41): no match at that point.
      {"\x83\x41" "b", "\x83", false, false},
      // ".sav" after "ヂ" (0x83 0x61) lies on a boundary; "a.sav" does not
      // when its "a" is the second byte of a character.
      {"\x83\x61.sav", ".SAV", false, true},
      {"\x83\x61.sav", "a.sav", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(setup::StartsWithNoCase(c.text, c.affix), c.starts) << c.text << " / " << c.affix;
    EXPECT_EQ(setup::EndsWithNoCase(c.text, c.affix), c.ends) << c.text << " / " << c.affix;
  }
}

}  // namespace
}  // namespace setup_test
