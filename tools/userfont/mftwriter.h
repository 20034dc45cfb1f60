// Writer of user bitmap fonts (".mft"): a 64-byte header (glyph size as
// three digits at 41, bits per pixel as one digit at 57) and one record per
// glyph number up to the highest one given, stride x stride pixels packed
// at 8, 4 or 2 bits. Glyphs come from a readable text:
//
//   # a comment
//   size 4
//   depth 4
//   glyph あ          (one character, UTF-8; or four hex digits: glyph 82A0)
//   .#.#
//   ##..              (size rows of size columns: '.' 0, '#' 255,
//   0123              a hex digit v: v * 17)
//   f..f
//
// The zor-userfont tool, the tests and the fuzz seeds use it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mfttool {

struct Font {
  int size = 0;
  int depth = 8;  // 2, 4 or 8
  // Glyph number -> size x size coverage bytes.
  std::map<int, std::vector<uint8_t>> glyphs;
};

// The glyph number of a CP932 double-byte character, or -1.
int GlyphNumber(unsigned char lead, unsigned char trail);

// False with a message (and the line number) when the text is malformed.
bool ParseFontText(const std::string& text, Font* out, std::string* error);
// The file bytes; empty when the size or depth is out of range.
std::vector<uint8_t> MakeMft(const Font& font);

}  // namespace mfttool
