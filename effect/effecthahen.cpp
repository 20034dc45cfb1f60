#include "effect/effecthahen.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "setup/namelist.h"

namespace {

const char kFileNotFound[] = "\x95\xaa\x8a\x84" "File Not Found";
const char kFileFormatError[] = "\x95\xaa\x8a\x84" "File Format Error";

}  // namespace

CEffectHahen::CEffectHahen(CEffectManager* manager)
    : CCommonEffect(manager), pieces_(32, PieceState{}) {
  keys_.push_back(Key{0, 0, 0, 0, 0});
  meshes_.push_back(BuiltInShatterMesh(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight()));
}

CEffectHahen::~CEffectHahen() = default;

int CEffectHahen::FindMesh(const Key& key) const {
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return static_cast<int>(i);
  return -1;
}

int CEffectHahen::GetMesh(const Key& key) {
  const int found = FindMesh(key);
  if (found >= 0) return found;
  if (static_cast<int>(meshes_.size()) >= meshCapacity_) meshCapacity_ += 10;
  meshes_.push_back(CreateMesh(key));
  keys_.push_back(key);
  platform::DebugOutput("\n\nCreate New Bunkatus!!\n");
  return static_cast<int>(meshes_.size()) - 1;
}

void CEffectHahen::ForgetMeshes() {
  keys_.resize(1);
  meshes_.resize(1);
  meshCapacity_ = 10;
}

ShatterMesh CEffectHahen::ReadMeshFile(int number, int w, int h) const {
  char path[64];
  std::snprintf(path, sizeof path, "mok\\hahen%d.xtx", number);
  CNameList list;
  if (!list.Load(path, false, false)) {
    platform::MessageBox(nullptr, path, kFileNotFound, MB_ICONWARNING);
    return meshes_[0];
  }
  ShatterMesh mesh;
  if (!ReadShatterMesh(list, w, h, &mesh)) {
    platform::MessageBox(nullptr, path, kFileFormatError, MB_ICONWARNING);
    return meshes_[0];
  }
  return mesh;
}

ShatterMesh CEffectHahen::CreateMesh(const Key& key) const {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (key.kind == 1) {
    ShatterMesh mesh;
    if (GenerateShatterMesh(key.a, key.b, key.c, w, h, &mesh)) return mesh;
  }
  if (key.kind == 2) return ReadMeshFile(key.a, w, h);
  return meshes_[0];
}

int CEffectHahen::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 100);
  Default(p, given, 2, 100);
  Default(p, given, 3, w / 2);
  Default(p, given, 4, h / 2);
  Default(p, given, 5, 0);
  Default(p, given, 6, 100);
  Default(p, given, 9, 100);
  Default(p, given, 10, p[9]);
  p[6] = std::min(p[6], p[0]);
  if (p[13] == 0) std::fill(p + 14, p + 18, 0);
  if (p[13] == 2) std::fill(p + 15, p + 18, 0);
  StartRecord(record, kNumber, p[0], p, kParams);

  const ShatterMesh& mesh = meshes_[GetMesh(Key{p[13], p[14], p[15], p[16], p[17]})];
  if (mesh.PieceCount() > static_cast<int>(pieces_.size()))
    pieces_.assign(static_cast<size_t>(mesh.PieceCount()), PieceState{});
  for (int i = 0; i < mesh.PieceCount(); ++i) {
    const ShatterMesh::Piece& piece = mesh.pieces[i];
    int64_t sx = 0, sy = 0;
    for (int k = 1; k <= piece[0]; ++k) {
      sx += mesh.xy[2 * static_cast<size_t>(piece[k])];
      sy += mesh.xy[2 * static_cast<size_t>(piece[k]) + 1];
    }
    const double cx = static_cast<double>(sx / piece[0]), cy = static_cast<double>(sy / piece[0]);
    const double ddx = cx - p[3], ddy = cy - p[4];
    const double r = std::max(std::sqrt(ddy * ddy + ddx * ddx), 1.0);
    const double speed = (r / 200 + 1) * p[1] * 0.01 * 30;
    const double angle = std::atan2(ddy, ddx);
    pieces_[i] = PieceState{0, 0, static_cast<float>(std::cos(angle) * speed),
                            static_cast<float>(std::sin(angle) * speed), 0,
                            static_cast<float>(p[2] * 0.01)};
  }
  return 1;
}

void CEffectHahen::Restore(EffectChannel* record, int channel) {
  int p[kParams];
  std::copy_n(&record->Param(0), kParams, p);
  SetParam(record, kParams, p, channel);
}

void CEffectHahen::Flight(const EffectChannel& r, int i, double t, double* dx, double* dy) const {
  const PieceState& s = pieces_[i];
  const double creep = std::min(t, static_cast<double>(r.Param(5))) * r.Param(6) * 0.001;
  *dx = s.velocityX * creep;
  *dy = s.velocityY * creep;
  const double e = t - r.Param(5);
  if (e > 0) {
    *dx += s.velocityX * e;
    *dy += s.velocityY * e + e * e * s.gravity * 0.5;
  }
}

void CEffectHahen::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int t = CalcuCurve(r.Counter(), r.Duration(), 0, r.Duration(), r.Param(8), r.Param(7));
  const int opacity = std::clamp(CalcuCurve(r.Counter(), r.Duration(), ScaledValue(r.Param(10), 256),
                                            ScaledValue(r.Param(9), 256), r.Param(12), r.Param(11)) /
                                     100,
                                 0, 256);
  const int index = FindMesh(Key{r.Param(13), r.Param(14), r.Param(15), r.Param(16), r.Param(17)});
  if (index < 0) return;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->GetBuffer() || picture->Get256Flag() || opacity == 0) return;
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const ShatterMesh& mesh = meshes_[index];
  const int count = std::min(mesh.PieceCount(), static_cast<int>(pieces_.size()));
  for (int i = 0; i < count; ++i) {
    double dx = 0, dy = 0;
    Flight(r, i, t, &dx, &dy);
    // Pieces far beyond the picture's own size are not drawn.
    if (!(dx >= -pw && dx <= 2.0 * pw && dy >= -ph && dy <= 2.0 * ph)) continue;
    const int ox = ClampToInt(dx + 0.5), oy = ClampToInt(dy + 0.5);
    const ShatterMesh::Piece& piece = mesh.pieces[i];
    const int n = piece[0];
    int corners[2 * (ShatterMesh::kMaxCorners + 1)];
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (int k = 0; k <= n; ++k) {
      const size_t v = static_cast<size_t>(piece[k == n ? 1 : k + 1]);
      corners[2 * k] = mesh.xy[2 * v];
      corners[2 * k + 1] = mesh.xy[2 * v + 1];
      minX = std::min(minX, corners[2 * k]);
      maxX = std::max(maxX, corners[2 * k]);
      minY = std::min(minY, corners[2 * k + 1]);
      maxY = std::max(maxY, corners[2 * k + 1]);
    }
    if (int64_t{maxX} + ox < 0 || int64_t{minX} + ox >= w || int64_t{maxY} + oy < 0 ||
        int64_t{minY} + oy >= h)
      continue;
    FillShatterPiece(picture->GetPixelBuffer(), pw, ph, n, ox, oy, maxY - minY + 1, corners,
                     opacity);
  }
}
