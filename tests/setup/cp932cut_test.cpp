#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "setup/text.h"

namespace {

TEST(CopyCp932Cut, KeepsWholeCharactersWithinTheBound) {
  struct Case {
    const char* text;
    int max;
    std::string expected;
  } cases[] = {
      {"abcdef", 4, "abcd"},
      {"\x82\xA0\x82\xA2", 3, "\x82\xA0"},  // the second character would not fit
      {"\x82\xA0\x82\xA2", 4, "\x82\xA0\x82\xA2"},
      {"a\x82", 8, "a"},  // a lead byte cut off by the NUL is dropped
      {"", 4, ""},
      {nullptr, 4, ""},
      {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    char out[16];
    std::fill(std::begin(out), std::end(out), 'x');
    setup::CopyCp932Cut(out, c.text, c.max);
    EXPECT_EQ(std::string(out), c.expected) << c.max;
  }
}

}  // namespace
