#include "mftwriter.h"

#include <cstring>
#include <sstream>

#include "message/userfont.h"
#include "platform/codec.h"

namespace mfttool {

int GlyphNumber(unsigned char lead, unsigned char trail) {
  return CUserFont::GlyphNumber(lead, trail);
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The glyph number named after "glyph": one UTF-8 character or 4 hex digits.
int ParseGlyphName(const std::string& name) {
  if (name.size() == 4) {
    int code = 0;
    bool hex = true;
    for (char c : name) {
      const int v = HexValue(c);
      if (v < 0) hex = false;
      code = code * 16 + v;
    }
    if (hex) return GlyphNumber(static_cast<unsigned char>(code >> 8), code & 0xFF);
  }
  const std::string cp = platform::Utf8ToCp932(name);
  if (cp.size() != 2 || cp.find('?') != std::string::npos) return -1;
  return GlyphNumber(static_cast<unsigned char>(cp[0]), static_cast<unsigned char>(cp[1]));
}

}  // namespace

bool ParseFontText(const std::string& text, Font* out, std::string* error) {
  Font font;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  int current = -1;       // glyph being read
  int rowsLeft = 0;
  auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (rowsLeft > 0) {
      if (static_cast<int>(line.size()) != font.size)
        return fail("a glyph row needs " + std::to_string(font.size) + " columns");
      std::vector<uint8_t>& g = font.glyphs[current];
      const int y = font.size - rowsLeft;
      for (int x = 0; x < font.size; ++x) {
        const char c = line[static_cast<size_t>(x)];
        const int v = c == '.' ? 0 : c == '#' ? 255 : HexValue(c) * 17;
        if (v < 0) return fail(std::string("not a coverage: ") + c);
        g[static_cast<size_t>(y) * font.size + x] = static_cast<uint8_t>(v);
      }
      --rowsLeft;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word, value;
    words >> word >> value;
    if (word == "size") {
      font.size = std::atoi(value.c_str());
      if (font.size < 1 || font.size > 999) return fail("size must be 1..999");
    } else if (word == "depth") {
      font.depth = std::atoi(value.c_str());
      if (font.depth != 2 && font.depth != 4 && font.depth != 8) return fail("depth must be 2, 4 or 8");
    } else if (word == "glyph") {
      if (font.size < 1) return fail("size must come before the glyphs");
      current = ParseGlyphName(value);
      if (current < 0) return fail("no glyph number for \"" + value + "\"");
      font.glyphs[current].assign(static_cast<size_t>(font.size) * font.size, 0);
      rowsLeft = font.size;
    } else {
      return fail("unknown line \"" + line + "\"");
    }
  }
  if (rowsLeft > 0) return fail("the last glyph is cut short");
  if (font.size < 1) return fail("no size");
  *out = std::move(font);
  return true;
}

std::vector<uint8_t> MakeMft(const Font& font) {
  if (font.size < 1 || font.size > 999 ||
      (font.depth != 2 && font.depth != 4 && font.depth != 8))
    return {};
  const int stride = (font.size + 7) / 8 * 8;
  const size_t record = static_cast<size_t>(stride) * stride * font.depth / 8;
  const int count = font.glyphs.empty() ? 0 : font.glyphs.rbegin()->first + 1;
  std::vector<uint8_t> out(CUserFont::kHeaderSize + record * static_cast<size_t>(count), 0);
  std::memcpy(out.data(), "zor user font", 13);
  out[41] = static_cast<uint8_t>('0' + font.size / 100);
  out[42] = static_cast<uint8_t>('0' + font.size / 10 % 10);
  out[43] = static_cast<uint8_t>('0' + font.size % 10);
  out[57] = static_cast<uint8_t>('0' + font.depth);
  for (const auto& glyph : font.glyphs) {
    const int number = glyph.first;
    const std::vector<uint8_t>& coverage = glyph.second;
    uint8_t* p = out.data() + CUserFont::kHeaderSize + record * static_cast<size_t>(number);
    auto at = [&](int x, int y) -> int {
      return x < font.size && y < font.size ? coverage[static_cast<size_t>(y) * font.size + x] : 0;
    };
    for (int x = 0; x < stride; ++x) {
      for (int y = 0; y < stride; ++y) {
        switch (font.depth) {
          case 8: p[static_cast<size_t>(y) * stride + x] = static_cast<uint8_t>(at(x, y)); break;
          case 4:
            p[static_cast<size_t>(y / 2) * stride + x] |=
                static_cast<uint8_t>((at(x, y) >> 4) << (4 * (y % 2)));
            break;
          default:
            p[static_cast<size_t>(y / 4) * stride + x] |=
                static_cast<uint8_t>((at(x, y) >> 6) << (2 * (y % 4)));
            break;
        }
      }
    }
  }
  return out;
}

}  // namespace mfttool
