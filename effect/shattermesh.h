// The meshes the shatter effect (#81) breaks a picture along: vertices in
// screen pixels and convex pieces listed from their topmost vertex,
// anticlockwise on the screen (down the left side first), so that every
// screen line crosses a piece in one span.
//
// Three sources: the built-in mesh (32 pieces over 66 vertices, scaled to
// the screen), a generated grid (triangles, quads or bricks at a density,
// optionally jittered) and a mesh file "mok\hahen<N>.xtx" of list tokens:
// an unused number, V, V pairs x y (0 <= x < width, 0 <= y < height), P,
// then P pieces each as n (3..15) and n vertex indices (0..V-1); one more
// valid piece after the P-th makes the file invalid.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CNameList;

struct ShatterMesh {
  static constexpr int kMaxCorners = 15;
  // n, then n vertex indices.
  using Piece = std::array<int, 16>;
  std::vector<int> xy;  // x0, y0, x1, y1, ...
  std::vector<Piece> pieces;

  int VertexCount() const { return static_cast<int>(xy.size() / 2); }
  int PieceCount() const { return static_cast<int>(pieces.size()); }
};

// The built-in mesh for a screen of w x h.
ShatterMesh BuiltInShatterMesh(int w, int h);

// A generated mesh: shape 0 triangles, 1 quads, 2 bricks; density n gives
// 2n + 2 rows of cells, 4 / 3 as many columns; jitter 0..4 (held there)
// moves vertices by up to a tenth of a cell per step, drawing from
// crt::rand. False (nothing drawn) for another shape, a negative density or
// cells under a pixel.
bool GenerateShatterMesh(int shape, int density, int jitter, int w, int h, ShatterMesh* out);

// The mesh a list of tokens describes for a w x h screen; false when the
// tokens do not make a valid mesh file.
bool ReadShatterMesh(const CNameList& tokens, int w, int h, ShatterMesh* out);

// Draws one piece of the picture (`pixels`, pw x ph) moved by (ox, oy):
// `corners` holds n + 1 vertices (x, y pairs, the first repeated at the
// end) in picture coordinates, `lines` the lines from the first vertex
// down. Spans are clipped to the screen and to the picture; opacity 256
// copies, lower values blend (src x a + dst x (256 - a)) >> 8.
void FillShatterPiece(const uint32_t* pixels, int pw, int ph, int n, int ox, int oy, int lines,
                      const int* corners, int opacity);
