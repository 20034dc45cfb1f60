// #69 CEffectHamon: a circular ripple spreading from a centre over the whole
// screen while the channel's picture cross-fades into a second one. Every
// screen pixel shows the pictures sampled at a point pushed along the line from
// the centre by the height of the wave at that distance. Its values are named
// in the class; their defaults and clamps are its start table in
// effecthamon.cpp.
//
// The heights per distance (the radius table) are made every frame; the
// direction and distance of every pixel from the centre (the displacement map)
// are made by a start and kept while the centre and the band value stay the
// same. One map serves every channel: it holds the centre of the last start.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

class CEffectHamon : public CTableStartEffect {
 public:
  static constexpr int kNumber = 69;
  static constexpr const char* kClassName = "CEffectHamon";
  // The second picture's channel is -1 for the same picture; the values
  // after the last named one are kept, not read.
  enum : int {
    kDuration,
    kSecondChannel,
    kCentreX,
    kCentreY,
    kWaveHeight,
    kWavelength,
    kFrontSpeed,
    kCrestSpeed,
    kHeightLoss,
    kUnused,
    kBand,
    kFadeStart,
    kTrainLength,
    kCurve,
    kRamp,
    kSavedFirst,
    kSavedSecond
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Ints per map record: directions of four pixels, then two words of two
  // radius table byte offsets each.
  static constexpr int kRecordInts = 6;

  explicit CEffectHamon(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // A row at a time: both pictures sampled through the map, then mixed in
  // one packed-word loop.
  void Print(EffectChannel* record, int channel) override;
  // The same frame pixel by pixel, byte by byte: the reference Print is
  // held to.
  void PrintPlain(EffectChannel* record, int channel);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // Starts again from time 0 with the stored values.
  void Restore(EffectChannel* record, int channel) override;

  // The frame's time (0..duration) and wave heights: entry i holds the height at
  // distance i times 256, cut to 16 bits, in both halves.
  static int Time(const EffectChannel& record);
  void MakeRadiusTable(const EffectChannel& record, int t);
  const std::vector<uint32_t>& RadiusTable() const { return radius_; }
  // The map, its groups of four pixels per row, and whether it is valid.
  const std::vector<int32_t>& Map() const { return map_; }
  int GroupsPerRow() const { return groups_; }
  int IsMapValid() const { return mapValid_; }
  int MapBuilds() const { return mapBuilds_; }

 private:
  struct Frame;
  // The frame's radius table, pictures and weights; false when nothing is
  // to be drawn.
  bool Prepare(EffectChannel* record, int channel, Frame* frame);
  void EnsureMap(int cx, int cy, int band);

  std::vector<uint32_t> radius_;
  std::vector<int32_t> map_;
  int mapValid_ = 0;
  int mapCx_ = 0, mapCy_ = 0;
  int mapBand_ = -666;
  int mapW_ = 0, mapH_ = 0;
  int groups_ = 0;
  int radiusCount_ = 0;
  int mapBuilds_ = 0;
  // One row of samples of each picture.
  std::vector<uint32_t> first_, second_;
};
