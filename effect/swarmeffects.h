// Sprite swarms: small sprites from the channel picture that appear, jitter,
// vanish and come back elsewhere. #108 CEffectHae flies, #27 CEffectKe flies
// that can cling to screen edges. Every channel keeps its own swarm in its
// record: after the 16 values, eight ints per sprite (visible countdown, hidden
// countdown, x, y, frame, frame timer, edge, spare). Both name their values in
// the swarm's class; their defaults and clamps are the start table in
// swarmeffects.cpp.
#pragma once

#include "effect/effectstart.h"

// The first value is kept (the channel runs 999999 counts). The placement
// is for #108 0 anywhere, 1 top, 2 right, 3 bottom, 4 left; for #27 a mask
// of those edges, bit 0 top. The variants are the sheet's cell columns;
// the edge change chance (#27) is per 10000.
class CEffectSwarm : public CTableStartEffect {
 public:
  static constexpr int kMaxSprites = 16;
  static constexpr int kRecords = 16;  // the first sprite's int in the area
  enum Field { kVisible, kHidden, kX, kY, kFrame, kTimer, kEdge, kSpare, kFields };
  enum : int {
    kDuration,
    kCellWidth,
    kCellHeight,
    kSprites,
    kPlacement,
    kVariants,
    kFrames,
    kCountsPerFrame,
    kMeanVisible,
    kMeanHidden,
    kJitter,
    kEdgeChance
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  using CTableStartEffect::CTableStartEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  static int& Sprite(EffectChannel* record, int i, Field f) {
    return record->Param(kRecords + kFields * i + f);
  }
  // The sprite count of a record, held to 0..16 whatever a save says.
  static int Count(const EffectChannel& record);
  // A centre moved onto edge 1..4 (other values leave it).
  static void Pin(const EffectChannel& record, int edge, int* x, int* y);

 protected:
  void Spawn(EffectChannel* record, int i, bool initial);
  // The edge of a fresh or moved sprite; #108 its mode, #27 a pick.
  virtual int SpawnEdge(const EffectChannel& record) = 0;
  // #108 places every spawn, #27 only the first ones.
  virtual bool PlacesEverySpawn() const = 0;
  // The edge a sprite is held to after its step.
  virtual int StepEdge(EffectChannel* record, int i) = 0;
};

class CEffectHae : public CEffectSwarm {
 public:
  static constexpr int kNumber = 108;
  static constexpr const char* kClassName = "CEffectHae";
  static const effectstart::StartTable kTable;
  explicit CEffectHae(CEffectManager* manager) : CEffectSwarm(manager, kTable) {}
  // Starts again from the stored values: a new swarm.
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }

 protected:
  int SpawnEdge(const EffectChannel& record) override { return record.Param(kPlacement); }
  bool PlacesEverySpawn() const override { return true; }
  int StepEdge(EffectChannel* record, int) override { return record->Param(kPlacement); }
};

class CEffectKe : public CEffectSwarm {
 public:
  static constexpr int kNumber = 27;
  static constexpr const char* kClassName = "CEffectKe";
  static const effectstart::StartTable kTable;
  explicit CEffectKe(CEffectManager* manager) : CEffectSwarm(manager, kTable) {}
  // An edge for a mask: single edges as they are, else one of the set
  // edges drawn at random (0 for none).
  static int PickEdge(int mask);

 protected:
  int SpawnEdge(const EffectChannel& record) override;
  bool PlacesEverySpawn() const override { return false; }
  int StepEdge(EffectChannel* record, int i) override;
};
