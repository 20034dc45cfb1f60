// zor-spfont IN.txt OUT.dwq
//   Writes the special-glyph picture ("sys\spfont24") from a text of glyph
//   grids: "glyph N [label]" followed by 48 rows of 50 columns, '#' ink and
//   '.' none; glyph N becomes column N - 1 of the picture, white on black.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "tools/common/hostfile.h"

namespace {

constexpr int kCellW = 50, kCellH = 48, kMaxGlyphs = 20;

bool Parse(const std::string& text, std::map<int, std::vector<std::string>>* glyphs,
           std::string* error) {
  std::istringstream in(text);
  std::string line;
  int lineNo = 0, current = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (current > 0 && static_cast<int>((*glyphs)[current].size()) < kCellH) {
      if (static_cast<int>(line.size()) != kCellW || line.find_first_not_of("#.") != std::string::npos) {
        *error = "line " + std::to_string(lineNo) + ": a row is 50 of '#' and '.'";
        return false;
      }
      (*glyphs)[current].push_back(line);
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    words >> word >> current;
    if (word != "glyph" || current < 1 || current > kMaxGlyphs || glyphs->count(current)) {
      *error = "line " + std::to_string(lineNo) + ": expected \"glyph N\" with a new N of 1..20";
      return false;
    }
    (*glyphs)[current];
  }
  for (const auto& [n, rows] : *glyphs) {
    if (static_cast<int>(rows.size()) != kCellH) {
      *error = "glyph " + std::to_string(n) + " has " + std::to_string(rows.size()) + " rows, not 48";
      return false;
    }
  }
  if (glyphs->empty()) *error = "no glyphs";
  return !glyphs->empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zor-spfont IN.txt OUT.dwq\n");
    return 2;
  }
  std::string text, error;
  if (!toolsupport::ReadHostFile(argv[1], &text)) {
    std::fprintf(stderr, "zor-spfont: cannot read %s\n", argv[1]);
    return 1;
  }
  std::map<int, std::vector<std::string>> glyphs;
  if (!Parse(text, &glyphs, &error)) {
    std::fprintf(stderr, "zor-spfont: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const int columns = glyphs.rbegin()->first;
  dwqtool::Picture picture{columns * kCellW, kCellH, {}, {}};
  picture.pixels.assign(static_cast<size_t>(picture.width) * kCellH, 0);
  for (const auto& [n, rows] : glyphs) {
    for (int y = 0; y < kCellH; ++y)
      for (int x = 0; x < kCellW; ++x)
        if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#')
          picture.pixels[static_cast<size_t>(y) * picture.width + (n - 1) * kCellW + x] = 0xFFFFFF;
  }
  std::vector<uint8_t> bytes;
  if (!dwqtool::MakeDwq(picture, {}, &bytes, &error) ||
      !toolsupport::WriteHostFile(argv[2], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "zor-spfont: cannot write %s %s\n", argv[2], error.c_str());
    return 1;
  }
  return 0;
}
