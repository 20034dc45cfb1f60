#include <gtest/gtest.h>

#include "platform/codec.h"

namespace {

TEST(Codec, Cp932RoundTripsAndUsesTheWindowsMapping) {
  struct Case {
    std::string cp932, utf8;
  } cases[] = {
      {"abc", "abc"},
      {"\x82\xA0", "あ"},
      {"\x81\x5C", "\xE2\x80\x95"},  // U+2015, where SHIFT_JIS would give U+2014
      {"\x81\x60", "\xEF\xBD\x9E"},  // U+FF5E
      {"\x95\x5C", "表"},
      {"\xB1", "ｱ"},                 // half-width katakana
      {"\x87\x40", "①"},             // NEC special row
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::Cp932ToUtf8(c.cp932), c.utf8);
    EXPECT_EQ(platform::Utf8ToCp932(c.utf8), c.cp932);
  }
}

TEST(Codec, BadInputBecomesQuestionMarksOrIsDropped) {
  EXPECT_EQ(platform::Cp932ToUtf8("a\x82"), "a?");          // cut double-byte character
  EXPECT_EQ(platform::Cp932ToUtf8("\xA0x"), "?x");          // undefined byte
  EXPECT_EQ(platform::Utf8ToCp932("a😀b"), "a?b");          // no CP932 form
  EXPECT_EQ(platform::Utf8ToCp932("a😀b", true), "ab");
  EXPECT_EQ(platform::Utf8ToCp932("\xFF" "a"), "?a");        // not UTF-8
  std::string big(100000, 'x');
  EXPECT_EQ(platform::Cp932ToUtf8(big).size(), big.size());
}

TEST(Codec, LeadBytes) {
  EXPECT_TRUE(platform::IsCp932LeadByte(0x81));
  EXPECT_TRUE(platform::IsCp932LeadByte(0x9F));
  EXPECT_TRUE(platform::IsCp932LeadByte(0xE0));
  EXPECT_TRUE(platform::IsCp932LeadByte(0xFC));
  EXPECT_FALSE(platform::IsCp932LeadByte(0x80));
  EXPECT_FALSE(platform::IsCp932LeadByte(0xA0));
  EXPECT_FALSE(platform::IsCp932LeadByte(0xDF));
  EXPECT_FALSE(platform::IsCp932LeadByte('\\'));
}

}  // namespace
