#include "textgrid.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace dwqtool {

namespace {

bool ParseHex(const std::string& text, int digits, uint32_t* out) {
  if (static_cast<int>(text.size()) != digits) return false;
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 16);
  if (*end != '\0') return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

// "c = RRGGBB [AA]"; false when the line is not a definition.
bool ParseDefinition(const std::string& line, char* key, uint32_t* colour, uint8_t* alpha, bool* bad) {
  *bad = false;
  if (line.size() < 3 || line[1] != ' ' || line.find('=') != 2) return false;
  std::istringstream in(line.substr(3));
  std::string rgb, a;
  in >> rgb >> a;
  uint32_t alphaValue = 0xFF;
  if (!ParseHex(rgb, 6, colour) || (!a.empty() && !ParseHex(a, 2, &alphaValue))) {
    *bad = true;
    return true;
  }
  *key = line[0];
  *alpha = static_cast<uint8_t>(alphaValue);
  return true;
}

}  // namespace

bool ReadTextGrid(const std::string& text, Picture* out, std::string* error) {
  struct Ink {
    bool defined = false;
    uint32_t colour = 0;
    uint8_t alpha = 0xFF;
  };
  std::array<Ink, 256> inks{};
  Picture p{0, 0, {}, {}};
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    char key = 0;
    uint32_t colour = 0;
    uint8_t alpha = 0;
    bool bad = false;
    if (ParseDefinition(line, &key, &colour, &alpha, &bad)) {
      if (bad) {
        *error = "line " + std::to_string(lineNumber) + ": a colour is RRGGBB with an optional AA";
        return false;
      }
      inks[static_cast<uint8_t>(key)] = {true, colour, alpha};
      continue;
    }
    if (line[0] == '#' && (line.size() == 1 || line[1] == ' ')) continue;
    if (p.height > 0 && static_cast<int>(line.size()) != p.width) {
      *error = "line " + std::to_string(lineNumber) + ": rows differ in length";
      return false;
    }
    p.width = static_cast<int>(line.size());
    for (char c : line) {
      const Ink& ink = inks[static_cast<uint8_t>(c)];
      if (!ink.defined) {
        *error = "line " + std::to_string(lineNumber) + ": '" + std::string(1, c) + "' has no colour";
        return false;
      }
      p.pixels.push_back(ink.colour);
      p.alpha.push_back(ink.alpha);
    }
    ++p.height;
  }
  if (p.height == 0) {
    *error = "no rows";
    return false;
  }
  *out = std::move(p);
  return true;
}

}  // namespace dwqtool
