// CP932 <-> UTF-8. Game text stays CP932 everywhere else; only the platform
// converts, at the edges (file names, window titles, boxes, typed text).
#pragma once

#include <string>
#include <cstddef>
#include <string_view>

namespace platform {

// Characters that cannot be converted become '?'.
std::string Cp932ToUtf8(std::string_view cp932);
// Unconvertible characters become '?', or are dropped when dropInvalid.
std::string Utf8ToCp932(std::string_view utf8, bool dropInvalid = false);

// UTF-8 to code points; a broken sequence becomes '?'.
std::u32string Utf8ToCodePoints(std::string_view utf8);
// The code point of one CP932 cell (1 byte, or a double-byte character);
// 0 when the cell has no Unicode form.
char32_t Cp932CellToCodePoint(const char* cell, size_t bytes);

// True when byte b starts a double-byte CP932 character.
constexpr bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The one case-blind comparison of CP932 names (scripts, voices, packs, save
// files, the path resolver, the list readers): it steps by characters, folds
// ASCII letters only, and compares both bytes of a double-byte character
// exactly, so "\x83\x41" and "\x83\x61" never meet. setup/text.h offers it
// to the engine under the same names.
bool EqualNoCase(std::string_view a, std::string_view b);
// text begins (ends) with affix, the boundary falling between characters.
bool StartsWithNoCase(std::string_view text, std::string_view affix);
bool EndsWithNoCase(std::string_view text, std::string_view affix);

}  // namespace platform
