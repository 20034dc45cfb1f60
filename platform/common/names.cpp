#include <string_view>

#include "platform/codec.h"

namespace platform {
namespace {

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Compares the first characters of a and b (as many bytes as b's characters
// cover); true when they match and a holds at least as many bytes. A lead
// byte on either side takes its trail byte with it, compared exactly.
bool MatchesPrefix(std::string_view a, std::string_view b) {
  size_t i = 0;
  while (i < b.size()) {
    if (i >= a.size()) return false;
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (IsCp932LeadByte(x) || IsCp932LeadByte(y)) {
      if (x != y) return false;
      if (i + 1 < b.size()) {
        if (i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      } else if (i + 1 < a.size()) {
        return false;  // b ends inside a character that a completes
      }
      i += 2;
    } else {
      if (FoldAscii(x) != FoldAscii(y)) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && MatchesPrefix(a, b);
}

bool StartsWithNoCase(std::string_view text, std::string_view affix) {
  return MatchesPrefix(text, affix);
}

bool EndsWithNoCase(std::string_view text, std::string_view affix) {
  if (affix.size() > text.size()) return false;
  const size_t start = text.size() - affix.size();
  // The tail must begin on a character boundary of text.
  size_t i = 0;
  while (i < start) i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i == start && EqualNoCase(text.substr(start), affix);
}

}  // namespace platform
