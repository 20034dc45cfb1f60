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

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

const char kFileNotFound[] = "\x95\xaa\x8a\x84" "File Not Found";
const char kFileFormatError[] = "\x95\xaa\x8a\x84" "File Format Error";

}  // namespace

// Speed and gravity in percent, the blast centre on the screen, the creep
// rate in per mille of the velocity a frame (SetParam holds it at most the
// duration), opacity in percent.
constexpr ParamDefault CEffectHahen::kDefaults[] = {
    Value(kDuration, 20),
    Value(kSpeed, 100),
    Value(kGravity, 100),
    Value(kCentreX, Width(1, 2)),
    Value(kCentreY, Height(1, 2)),
    Value(kCreepFrames, 0),
    Value(kCreepRate, 100),
    Value(kFlightCurve, 0),
    Value(kFlightRamp, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Value(kMeshKind, 0),
    NoDefault(kMeshA),
    NoDefault(kMeshB),
    NoDefault(kMeshC),
    NoDefault(kMeshD),
};

constexpr StartTable CEffectHahen::kTable{kNumber, 18, -1, kAfter, kDefaults};

CEffectHahen::CEffectHahen(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), pieces_(32, PieceState{}) {
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
  int p[kMaxParams];
  MakeParams(Table(), count, values, w, h, p);
  p[kCreepRate] = std::min(p[kCreepRate], p[kDuration]);
  if (p[kMeshKind] == 0) std::fill(p + kMeshA, p + kMeshD + 1, 0);
  if (p[kMeshKind] == 2) std::fill(p + kMeshB, p + kMeshD + 1, 0);
  StartRecord(record, kNumber, p[kDuration], p, Table().max);

  const ShatterMesh& mesh =
      meshes_[GetMesh(Key{p[kMeshKind], p[kMeshA], p[kMeshB], p[kMeshC], p[kMeshD]})];
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
    const double ddx = cx - p[kCentreX], ddy = cy - p[kCentreY];
    const double r = std::max(std::sqrt(ddy * ddy + ddx * ddx), 1.0);
    const double speed = (r / 200 + 1) * p[kSpeed] * 0.01 * 30;
    const double angle = std::atan2(ddy, ddx);
    pieces_[i] = PieceState{0,
                            0,
                            static_cast<float>(std::cos(angle) * speed),
                            static_cast<float>(std::sin(angle) * speed),
                            0,
                            static_cast<float>(p[kGravity] * 0.01)};
  }
  return 1;
}

void CEffectHahen::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectHahen::Flight(const EffectChannel& r, int i, double t, double* dx, double* dy) const {
  const PieceState& s = pieces_[i];
  const double creep =
      std::min(t, static_cast<double>(r.Param(kCreepFrames))) * r.Param(kCreepRate) * 0.001;
  *dx = s.velocityX * creep;
  *dy = s.velocityY * creep;
  const double e = t - r.Param(kCreepFrames);
  if (e > 0) {
    *dx += s.velocityX * e;
    *dy += s.velocityY * e + e * e * s.gravity * 0.5;
  }
}

void CEffectHahen::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int t = CalcuCurve(r.Counter(), r.Duration(), 0, r.Duration(), r.Param(kFlightRamp),
                           r.Param(kFlightCurve));
  const int opacity =
      std::clamp(CalcuCurve(r.Counter(), r.Duration(), ScaledValue(r.Param(kStartOpacity), 256),
                            ScaledValue(r.Param(kEndOpacity), 256), r.Param(kOpacityRamp),
                            r.Param(kOpacityCurve)) /
                     100,
                 0, 256);
  const int index = FindMesh(
      Key{r.Param(kMeshKind), r.Param(kMeshA), r.Param(kMeshB), r.Param(kMeshC), r.Param(kMeshD)});
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
