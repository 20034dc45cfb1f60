#include "effect/shattermesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "graphics/blendrows.h"
#include "graphics/screenbuffer.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "setup/text.h"

namespace {

// The built-in mesh on a 640 x 480 screen.
constexpr int kBuiltInXY[66][2] = {
    {0, 0},     {90, 0},    {215, 0},   {255, 0},   {421, 0},   {511, 0},   {639, 0},
    {0, 70},    {166, 65},  {188, 33},  {251, 50},  {320, 102}, {390, 72},  {494, 56},
    {483, 86},  {460, 58},  {639, 87},  {0, 136},   {26, 121},  {123, 175}, {188, 146},
    {288, 169}, {480, 177}, {576, 155}, {639, 197}, {0, 188},   {80, 242},  {109, 249},
    {180, 278}, {266, 272}, {297, 224}, {356, 265}, {444, 235}, {538, 286}, {639, 249},
    {0, 259},   {0, 309},   {40, 343},  {114, 338}, {274, 330}, {393, 321}, {483, 347},
    {547, 331}, {0, 385},   {91, 411},  {208, 402}, {315, 381}, {425, 379}, {372, 408},
    {493, 435}, {553, 377}, {639, 429}, {0, 479},   {22, 479},  {47, 450},  {96, 456},
    {121, 445}, {93, 479},  {215, 479}, {325, 466}, {309, 479}, {414, 479}, {453, 479},
    {536, 479}, {550, 479}, {639, 479}};

const std::initializer_list<int> kBuiltInPieces[32] = {
    {0, 7, 18, 19, 20, 8, 1},   {1, 8, 2},
    {2, 9, 10, 3},              {3, 10, 11, 12, 4},
    {4, 12, 13, 5},             {5, 14, 22, 23, 16, 6},
    {13, 15, 14},               {7, 17, 18},
    {9, 8, 20, 21, 11, 10},     {15, 12, 11, 21, 30, 31, 32, 22, 14},
    {16, 23, 24},               {18, 17, 25, 26, 27, 19},
    {20, 19, 27, 28, 29, 30, 21}, {23, 22, 32, 33, 34, 24},
    {25, 35, 26},               {26, 35, 36, 37, 38, 28, 27},
    {29, 28, 38, 44, 56, 45, 39}, {30, 29, 39, 46, 47, 40, 31},
    {32, 31, 40, 41, 42, 33},   {34, 33, 50, 51},
    {36, 43, 37},               {38, 37, 43, 52, 53, 44},
    {44, 54, 55, 56},           {54, 53, 57, 55},
    {45, 55, 57, 58},           {39, 45, 58, 60, 59, 46},
    {47, 46, 59, 48},           {48, 60, 61},
    {40, 48, 61, 62, 49, 41},   {49, 62, 63},
    {42, 41, 49, 63, 64, 50},   {50, 64, 65, 51}};

ShatterMesh::Piece MakePiece(std::initializer_list<int> corners) {
  ShatterMesh::Piece piece{};
  piece[0] = static_cast<int>(corners.size());
  std::copy(corners.begin(), corners.end(), piece.begin() + 1);
  return piece;
}

// The grid in the making: cell size, jitter reach per axis.
struct Grid {
  int w, h, rows, columns, cellW, cellH, reachX, reachY;
  ShatterMesh* mesh;

  // rand() % (2f + 1) - f, drawn only while jitter is on.
  static int Jitter(int v, int reach, bool on) {
    if (!on) return v;
    return v + crt::rand() % (2 * reach + 1) - reach;
  }
  // Held to the screen: with cells of a few pixels the last column of a
  // shifted row, or a jittered one, would lie just beyond it.
  int Add(int x, int y) {
    mesh->xy.push_back(std::clamp(x, 0, w - 1));
    mesh->xy.push_back(std::clamp(y, 0, h - 1));
    return mesh->VertexCount() - 1;
  }
  int Y(int i) const { return mesh->xy[2 * static_cast<size_t>(i) + 1]; }
  void Piece(std::initializer_list<int> corners) { mesh->pieces.push_back(MakePiece(corners)); }
};

// Rows of vertices at (w k / d [- cell / 2 on odd rows when `shift`], h r /
// c), jittered x before y, then pinned to the screen's edges. `perRow`
// vertices a row: d + 1 for quads, d + 2 for triangles.
void GridVertices(Grid& g, int perRow, bool shift, bool jitter) {
  for (int r = 0; r <= g.rows; ++r) {
    const bool odd = shift && (r & 1);
    for (int k = 0; k < perRow; ++k) {
      int x = static_cast<int>(int64_t{g.w} * k / g.columns) - (odd ? g.cellW / 2 : 0);
      int y = static_cast<int>(int64_t{g.h} * r / g.rows);
      x = Grid::Jitter(x, g.reachX, jitter);
      y = Grid::Jitter(y, g.reachY, jitter);
      if (r == 0) y = 0;
      if (r == g.rows) y = g.h - 1;
      if (k == 0) x = 0;
      if (odd ? k == g.columns + 1 : k >= g.columns) x = g.w - 1;
      g.Add(x, y);
    }
  }
}

void Triangles(Grid& g, bool jitter) {
  const int d = g.columns, stride = d + 2;
  GridVertices(g, stride, true, jitter);
  for (int r = 0; r < g.rows; r += 2) {
    const int r0 = r * stride, r1 = (r + 1) * stride, r2 = (r + 2) * stride;
    for (int k = 0; k < d; ++k) {
      if (g.Y(r0 + k) < g.Y(r0 + k + 1))
        g.Piece({r0 + k, r1 + k + 1, r0 + k + 1});
      else
        g.Piece({r0 + k + 1, r0 + k, r1 + k + 1});
      g.Piece({r0 + k, r1 + k, r1 + k + 1});
    }
    g.Piece({r0 + d, r1 + d, r1 + d + 1});
    for (int k = 0; k < d; ++k) {
      if (g.Y(r1 + k) < g.Y(r1 + k + 1))
        g.Piece({r1 + k, r2 + k, r1 + k + 1});
      else
        g.Piece({r1 + k + 1, r1 + k, r2 + k});
      g.Piece({r1 + k + 1, r2 + k, r2 + k + 1});
    }
    if (g.Y(r1 + d) < g.Y(r1 + d + 1))
      g.Piece({r1 + d, r2 + d, r1 + d + 1});
    else
      g.Piece({r1 + d + 1, r1 + d, r2 + d});
  }
}

void Quads(Grid& g, bool jitter) {
  const int d = g.columns, stride = d + 1;
  GridVertices(g, stride, false, jitter);
  for (int r = 0; r < g.rows; ++r)
    for (int k = 0; k < d; ++k) {
      const int tl = r * stride + k, tr = tl + 1, bl = tl + stride, br = bl + 1;
      if (g.Y(tl) < g.Y(tr))
        g.Piece({tl, bl, br, tr});
      else
        g.Piece({tr, tl, bl, br});
    }
}

void Bricks(Grid& g, bool jitter) {
  const int d = g.columns;
  int top = 0;
  for (int r = 0; r < g.rows; ++r) {
    const bool odd = r & 1;
    int bottom = Grid::Jitter((r + 1) * g.cellH, g.reachY, jitter);
    if (r == g.rows - 1) bottom = g.h - 1;
    for (int k = 0; k <= d + 1; ++k) {
      int x = Grid::Jitter(k * g.cellW - (odd ? g.cellW / 2 : 0), g.reachX, jitter);
      if (k == 0) x = 0;
      if (odd ? k == d + 1 : k >= d) x = g.w - 1;
      g.Add(x, top);
      g.Add(x, bottom);
    }
    top = bottom;
  }
  for (int r = 0; r < g.rows; ++r)
    for (int q = 0; q < d + (r & 1); ++q) {
      const int m = (d + 2) * r + q;
      g.Piece({2 * m, 2 * m + 1, 2 * m + 3, 2 * m + 2});
    }
}

}  // namespace

ShatterMesh BuiltInShatterMesh(int w, int h) {
  ShatterMesh mesh;
  for (const auto& v : kBuiltInXY) {
    mesh.xy.push_back(static_cast<int>(std::min<int64_t>(int64_t{w} * v[0] / 640, w - 1)));
    mesh.xy.push_back(static_cast<int>(std::min<int64_t>(int64_t{h} * v[1] / 480, h - 1)));
  }
  for (const auto& piece : kBuiltInPieces) mesh.pieces.push_back(MakePiece(piece));
  return mesh;
}

bool GenerateShatterMesh(int shape, int density, int jitter, int w, int h, ShatterMesh* out) {
  if (shape < 0 || shape > 2 || density < 0 || w < 1 || h < 1) return false;
  const int64_t rows = 2 * int64_t{density} + 2, columns = rows * 4 / 3;
  // Cells under a pixel would stack vertices on each other.
  if (rows > h || columns > w) return false;
  Grid g{w, h, static_cast<int>(rows), static_cast<int>(columns), 0, 0, 0, 0, out};
  g.cellW = w / g.columns;
  g.cellH = h / g.rows;
  const int j = std::clamp(jitter, 0, 4);
  g.reachX = g.cellW * j / (shape == 2 ? 20 : 10);
  g.reachY = g.cellH * j / 10;
  out->xy.clear();
  out->pieces.clear();
  // Sized once for the shape's vertices and pieces: the densest grids hold
  // close to a million pieces, and growing into them would copy each
  // several times over.
  const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(columns);
  size_t vertices = 0, pieces = 0;
  if (shape == 0) vertices = (r + 1) * (c + 2), pieces = r / 2 * (4 * c + 2);
  if (shape == 1) vertices = (r + 1) * (c + 1), pieces = r * c;
  if (shape == 2) vertices = r * (c + 2) * 2, pieces = r * c + r / 2;
  out->xy.reserve(2 * vertices);
  out->pieces.reserve(pieces);
  if (shape == 0) Triangles(g, j > 0);
  if (shape == 1) Quads(g, j > 0);
  if (shape == 2) Bricks(g, j > 0);
  return true;
}

bool ReadShatterMesh(const CNameList& tokens, int w, int h, ShatterMesh* out) {
  const int count = tokens.GetCount();
  auto number = [&](int64_t i) { return setup::ParseDecimal(tokens.GetName(static_cast<int>(i))); };
  if (count < 3) return false;
  // Counts are checked against the tokens left before anything is sized.
  const int64_t vertices = number(1);
  if (vertices <= 0 || 2 * vertices + 1 >= count) return false;
  ShatterMesh mesh;
  mesh.xy.reserve(static_cast<size_t>(2 * vertices));
  for (int64_t i = 0; i < vertices; ++i) {
    const int x = number(2 + 2 * i), y = number(3 + 2 * i);
    if (x < 0 || x >= w || y < 0 || y >= h) return false;
    mesh.xy.push_back(x);
    mesh.xy.push_back(y);
  }
  int64_t at = 2 * vertices + 2;
  if (at >= count) return false;
  const int64_t pieces = number(at++);
  // A piece takes at least four tokens.
  if (pieces <= 0 || pieces > (count - at) / 4) return false;
  // The piece at `at`, when one is there and valid.
  auto readPiece = [&](int64_t from, ShatterMesh::Piece* piece) {
    if (from >= count) return false;
    const int n = number(from);
    if (n < 3 || n > ShatterMesh::kMaxCorners || from + n >= count) return false;
    (*piece)[0] = n;
    for (int i = 1; i <= n; ++i) {
      const int index = number(from + i);
      if (index < 0 || index >= vertices) return false;
      (*piece)[i] = index;
    }
    return true;
  };
  ShatterMesh::Piece piece{};
  for (int64_t p = 0; p < pieces; ++p) {
    if (!readPiece(at, &piece)) return false;
    mesh.pieces.push_back(piece);
    at += piece[0] + 1;
  }
  if (readPiece(at, &piece)) return false;
  *out = std::move(mesh);
  return true;
}

void FillShatterPiece(const uint32_t* pixels, int pw, int ph, int n, int ox, int oy, int lines,
                      const int* corners, int opacity) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int64_t sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (!screen || !pixels || n < 1) return;
  auto vx = [&](int i) { return corners[2 * i]; };
  auto vy = [&](int i) { return corners[2 * i + 1]; };
  // An edge's x at line y on the segment a -> b, rounded half up; outside
  // the segment its nearer end.
  auto edgeX = [&](int a, int b, int y) {
    const int dy = vy(b) - vy(a);
    if (dy == 0) return vx(a);
    const float t = std::clamp(static_cast<float>(y - vy(a)) / static_cast<float>(dy), 0.0f, 1.0f);
    return static_cast<int>(std::floor(static_cast<float>(vx(a)) + static_cast<float>(vx(b) - vx(a)) * t + 0.5f));
  };
  // The left walk goes forward from vertex 0, the right one backward from
  // its copy at n; neither passes the other, whatever order the corners
  // come in.
  int left = 0, right = n;
  const int top = vy(0);
  for (int j = 0; j < lines; ++j) {
    const int y = top + j;
    while (left + 1 < right && vy(left + 1) <= y && left + 1 < n) ++left;
    while (right - 1 > left && vy(right - 1) <= y) --right;
    const int64_t sy = int64_t{y} + oy;
    if (sy < 0) continue;
    if (sy >= sh) break;
    if (y < 0 || y >= ph) continue;
    const int64_t l = edgeX(left, left + 1, y), r = edgeX(right, right - 1, y);
    if (r - l < 1) continue;
    const int64_t from = std::max<int64_t>({l, -int64_t{ox}, 0});
    const int64_t to = std::min<int64_t>({r, sw - 1 - ox, int64_t{pw} - 1});
    if (from > to) continue;
    const uint32_t* src = pixels + static_cast<size_t>(y) * pw + from;
    uint32_t* dst = screen + static_cast<size_t>(sy) * sw + (from + ox);
    const size_t count = static_cast<size_t>(to - from + 1);
    if (opacity >= 256)
      std::memcpy(dst, src, count * sizeof(uint32_t));
    else
      blendrows::TransLucent(dst, src, count, opacity);
  }
}
