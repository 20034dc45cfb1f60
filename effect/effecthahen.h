// #81 CEffectHahen shatter: the channel picture breaks into the pieces of a
// mesh that fly out from a centre, optionally creeping first, then fall, while
// their opacity follows a curve. Meshes (effect/shattermesh.h) are made once
// per source and kept for the rest of the run; the velocities belong to the
// last start and serve every channel running #81. Its values are named in the
// class; their defaults are its start table in effecthahen.cpp.
#pragma once

#include <array>
#include <vector>

#include "effect/effectstart.h"
#include "effect/shattermesh.h"

// The mesh kind is 0 built-in, 1 generated, 2 the file
// "mok\hahen<kMeshA>.xtx"; the mesh's four values are a generated mesh's
// shape, density, jitter and a fourth that only names the mesh. A start
// clears all four for kind 0 and the last three for kind 2.
class CEffectHahen : public CTableStartEffect {
 public:
  static constexpr int kNumber = 81;
  static constexpr const char* kClassName = "CEffectHahen";
  enum : int {
    kDuration,
    kSpeed,
    kGravity,
    kCentreX,
    kCentreY,
    kCreepFrames,
    kCreepRate,
    kFlightCurve,
    kFlightRamp,
    kEndOpacity,
    kStartOpacity,
    kOpacityCurve,
    kOpacityRamp,
    kMeshKind,
    kMeshA,
    kMeshB,
    kMeshC,
    kMeshD
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  struct Key {
    int kind, a, b, c, d;
    bool operator==(const Key&) const = default;
  };
  struct PieceState {
    float offsetX, offsetY, velocityX, velocityY, spare, gravity;
  };

  explicit CEffectHahen(CEffectManager* manager);
  ~CEffectHahen() override;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  // The cache index of a mesh, -1 when it was never made.
  int FindMesh(const Key& key) const;
  // The mesh of a key, made when missing.
  int GetMesh(const Key& key);
  const ShatterMesh& Mesh(int index) const { return meshes_[index]; }
  int GetMeshCount() const { return static_cast<int>(meshes_.size()); }
  int GetMeshCapacity() const { return meshCapacity_; }
  const std::vector<PieceState>& Pieces() const { return pieces_; }
  // Test aid (long fuzz runs): drops every mesh but the built-in one.
  void ForgetMeshes();
  // Where piece i stands at flight time t on the record's values (dx, dy).
  void Flight(const EffectChannel& record, int i, double t, double* dx, double* dy) const;

 private:
  ShatterMesh CreateMesh(const Key& key) const;
  ShatterMesh ReadMeshFile(int number, int w, int h) const;

  std::vector<Key> keys_;
  std::vector<ShatterMesh> meshes_;
  int meshCapacity_ = 10;
  std::vector<PieceState> pieces_;
};
