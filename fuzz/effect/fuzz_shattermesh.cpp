// The shatter mesh reader on any tokens for any small screen, and every
// piece of an accepted mesh drawn at offsets from the input; then a
// generated mesh of the shape, density and jitter the input names.
// Input: screen width byte, height byte, an offset byte, the shape,
// density and jitter bytes, then the mesh file's text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "effect/shattermesh.h"
#include "fuzz/support/fuzz_support.h"
#include "graphics/screenbuffer.h"
#include "setup/namelist.h"
#include "setup/random.h"

namespace {

uint8_t TakeByte(const uint8_t*& data, size_t& size) {
  if (size == 0) return 0;
  --size;
  return *data++;
}

// Checks every piece of a mesh against its vertex list, then draws it.
void DrawMesh(const ShatterMesh& mesh, int w, int h, int shift, const std::vector<uint32_t>& picture,
              int pw, int ph) {
  for (const ShatterMesh::Piece& piece : mesh.pieces) {
    const int n = piece[0];
    fuzzsupport::Check(n >= 3 && n <= ShatterMesh::kMaxCorners, "corner count");
    int corners[2 * (ShatterMesh::kMaxCorners + 1)];
    int minY = h, maxY = -1;
    for (int k = 0; k <= n; ++k) {
      const int v = piece[k == n ? 1 : k + 1];
      fuzzsupport::Check(v >= 0 && v < mesh.VertexCount(), "vertex index");
      corners[2 * k] = mesh.xy[2 * static_cast<size_t>(v)];
      corners[2 * k + 1] = mesh.xy[2 * static_cast<size_t>(v) + 1];
      fuzzsupport::Check(corners[2 * k] >= 0 && corners[2 * k] < w, "vertex x on the screen");
      fuzzsupport::Check(corners[2 * k + 1] >= 0 && corners[2 * k + 1] < h, "vertex y on the screen");
      minY = std::min(minY, corners[2 * k + 1]);
      maxY = std::max(maxY, corners[2 * k + 1]);
    }
    FillShatterPiece(picture.data(), pw, ph, n, shift - 64, 64 - shift, maxY - minY + 1, corners,
                     shift * 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::HeadlessBackend& host = fuzzsupport::EnterGameFolder();
  host.ClearBoxes();
  const int w = TakeByte(data, size) % 96 + 1, h = TakeByte(data, size) % 72 + 1;
  const int shift = TakeByte(data, size) % 129;
  const int shape = TakeByte(data, size) % 5 - 1;
  const int density = static_cast<int8_t>(TakeByte(data, size));
  const int jitter = TakeByte(data, size) % 8 - 1;
  CScreenBuffer screen(w, h, 0);
  // A picture smaller than the screen: pieces must not read past it.
  const int pw = w / 2 + 1, ph = h / 2 + 1;
  const std::vector<uint32_t> picture(static_cast<size_t>(pw) * ph, 0x123456u);

  CNameList tokens;
  std::string token;
  for (size_t i = 0; i <= size; ++i) {
    const char c = i < size ? static_cast<char>(data[i]) : ' ';
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '\0') {
      if (!token.empty()) tokens.Add(token.substr(0, CNameList::kMaxToken).c_str(), true);
      token.clear();
    } else {
      token += c;
    }
  }
  ShatterMesh mesh;
  if (ReadShatterMesh(tokens, w, h, &mesh)) {
    fuzzsupport::Check(mesh.PieceCount() > 0 && mesh.VertexCount() > 0, "an accepted mesh");
    DrawMesh(mesh, w, h, shift, picture, pw, ph);
  }
  crt::srand(static_cast<uint32_t>(shift));
  ShatterMesh grid;
  if (GenerateShatterMesh(shape, density, jitter, w, h, &grid)) DrawMesh(grid, w, h, shift, picture, pw, ph);
  return 0;
}
