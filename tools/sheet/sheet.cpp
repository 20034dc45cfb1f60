#include "sheet.h"

#include <map>
#include <sstream>
#include <vector>

namespace sheettool {
namespace {

struct Colour {
  uint32_t rgb = 0;
  uint8_t alpha = 255;
};

struct Sheet {
  int cw = 0, ch = 0, columns = 0, rows = 0;
  std::map<std::string, Colour> colours;
  std::map<std::string, std::vector<std::string>> glyphs;
  dwqtool::Picture* picture = nullptr;

  void Put(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= picture->width || y >= picture->height) return;
    size_t i = static_cast<size_t>(y) * picture->width + x;
    picture->pixels[i] = c.rgb;
    picture->alpha[i] = c.alpha;
  }
  // A rectangle inside cell (col, row), clipped to the cell.
  void Fill(int col, int row, int x, int y, int w, int h, Colour c) {
    for (int dy = 0; dy < h; ++dy)
      for (int dx = 0; dx < w; ++dx)
        if (x + dx >= 0 && x + dx < cw && y + dy >= 0 && y + dy < ch) Put(col * cw + x + dx, row * ch + y + dy, c);
  }
};

// "C,R" or "C0-C1,R0-R1": the cells row by row.
bool ParseCells(const std::string& token, std::vector<std::pair<int, int>>* cells) {
  int range[2][2];
  std::istringstream in(token);
  for (int axis = 0; axis < 2; ++axis) {
    if (!(in >> range[axis][0])) return false;
    range[axis][1] = range[axis][0];
    if (in.peek() == '-') {
      in.get();
      if (!(in >> range[axis][1])) return false;
    }
    if (axis == 0 && in.get() != ',') return false;
  }
  for (int r = range[1][0]; r <= range[1][1]; ++r)
    for (int c = range[0][0]; c <= range[0][1]; ++c) cells->push_back({c, r});
  return !cells->empty();
}

bool ParseHex(const std::string& s, uint32_t* v) {
  if (s.empty() || s.size() > 6) return false;
  try {
    size_t used = 0;
    *v = static_cast<uint32_t>(std::stoul(s, &used, 16));
    return used == s.size();
  } catch (...) {
    return false;
  }
}

}  // namespace

bool DrawSheet(const std::string& description, dwqtool::Picture* out, std::string* error) {
  Sheet s;
  s.picture = out;
  std::istringstream lines(description);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  auto colour = [&](const std::string& name, Colour* c) {
    auto it = s.colours.find(name);
    if (it == s.colours.end()) return false;
    *c = it->second;
    return true;
  };
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#') continue;
    if (word == "size" || word == "grid") {
      int a = 0, b = 0;
      if (!(in >> a >> b) || a <= 0 || b <= 0 || a > 4096 || b > 4096) return fail("two sizes from 1 to 4096");
      (word == "size" ? s.cw : s.columns) = a;
      (word == "size" ? s.ch : s.rows) = b;
      if (s.cw > 0 && s.columns > 0) {
        out->width = s.cw * s.columns;
        out->height = s.ch * s.rows;
        out->pixels.assign(static_cast<size_t>(out->width) * out->height, 0);
        out->alpha.assign(out->pixels.size(), 0);
      }
      continue;
    }
    if (word == "colour") {
      std::string name, hex;
      int alpha = 255;
      Colour c;
      if (!(in >> name >> hex) || !ParseHex(hex, &c.rgb)) return fail("colour NAME RRGGBB [ALPHA]");
      if (in >> alpha && (alpha < 0 || alpha > 255)) return fail("alpha from 0 to 255");
      c.alpha = static_cast<uint8_t>(alpha);
      s.colours[name] = c;
      continue;
    }
    if (word == "glyph") {
      std::string name;
      if (!(in >> name)) return fail("glyph NAME, its rows, then end");
      std::vector<std::string>& rows = s.glyphs[name];
      rows.clear();
      while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "end") break;
        rows.push_back(line);
      }
      continue;
    }
    if (out->pixels.empty()) return fail("size and grid come first");
    std::string where;
    std::vector<std::pair<int, int>> cells;
    if (!(in >> where) || !ParseCells(where, &cells)) return fail("cells as C,R or C0-C1,R0-R1");
    for (auto [c, r] : cells)
      if (c < 0 || r < 0 || c >= s.columns || r >= s.rows) return fail("a cell outside the grid");
    if (word == "card") {
      std::string fillName, edgeName;
      Colour fill, edge;
      if (!(in >> fillName >> edgeName) || !colour(fillName, &fill) || !colour(edgeName, &edge))
        return fail("card CELLS FILL EDGE (known colours)");
      for (auto [c, r] : cells) {
        s.Fill(c, r, 0, 0, s.cw, s.ch, edge);
        s.Fill(c, r, 1, 1, s.cw - 2, s.ch - 2, fill);
        Colour clear{0, 0};
        for (int x : {0, s.cw - 1})
          for (int y : {0, s.ch - 1}) s.Fill(c, r, x, y, 1, 1, clear);
      }
    } else if (word == "frame") {
      std::string name;
      int thick = 0;
      Colour c;
      if (!(in >> name >> thick) || !colour(name, &c) || thick <= 0) return fail("frame CELLS COLOUR THICKNESS");
      for (auto [col, row] : cells) {
        s.Fill(col, row, 0, 0, s.cw, thick, c);
        s.Fill(col, row, 0, s.ch - thick, s.cw, thick, c);
        s.Fill(col, row, 0, 0, thick, s.ch, c);
        s.Fill(col, row, s.cw - thick, 0, thick, s.ch, c);
      }
    } else if (word == "box") {
      int x = 0, y = 0, w = 0, h = 0;
      std::string name;
      Colour c;
      if (!(in >> x >> y >> w >> h >> name) || !colour(name, &c)) return fail("box CELLS X Y W H COLOUR");
      for (auto [col, row] : cells) s.Fill(col, row, x, y, w, h, c);
    } else if (word == "text") {
      int x = 0, y = 0, scale = 0;
      std::string name;
      Colour c;
      if (!(in >> x >> y >> scale >> name) || !colour(name, &c) || scale <= 0 || scale > 64)
        return fail("text CELLS X Y SCALE COLOUR GLYPH...");
      std::vector<std::string> names;
      for (std::string g; in >> g;) {
        if (!s.glyphs.count(g)) return fail("no glyph " + g);
        names.push_back(g);
      }
      if (names.empty()) return fail("text needs a glyph");
      for (size_t k = 0; k < cells.size(); ++k) {
        const std::vector<std::string>& rows = s.glyphs[names[k % names.size()]];
        for (size_t gy = 0; gy < rows.size(); ++gy)
          for (size_t gx = 0; gx < rows[gy].size(); ++gx)
            if (rows[gy][gx] == '#')
              s.Fill(cells[k].first, cells[k].second, x + static_cast<int>(gx) * scale,
                     y + static_cast<int>(gy) * scale, scale, scale, c);
      }
    } else {
      return fail("unknown statement " + word);
    }
  }
  if (out->pixels.empty()) {
    number = 0;
    return fail("no size and grid");
  }
  return true;
}

}  // namespace sheettool
