// #105: the channel picture seen through a whirl around a centre. The turn
// grows with the distance from the centre (the full twist at half the
// picture's smaller side) and unwinds to a plain picture over the duration,
// while opacity and zoom follow their own progress curves. Its values are
// named in the class; their defaults are its start table in
// effectmoviewarp.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

class CEffectMovieWarp : public CTableStartEffect {
 public:
  static constexpr int kNumber = 105;
  static constexpr const char* kClassName = "CEffectMovieWarp";
  enum : int {
    kDuration,
    kCentreX,
    kCentreY,
    kTwist,
    kUnused,
    kTwistCurve,
    kTwistRamp,
    kEndOpacity,
    kStartOpacity,
    kOpacityCurve,
    kOpacityRamp,
    kEndZoom,
    kStartZoom,
    kZoomCurve,
    kZoomRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMovieWarp(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // Takes each pixel's distance and direction from the centre from a table
  // kept while the centre and the screen stay the same.
  void Print(EffectChannel* record, int channel) override;
  // The same frame computing everything per pixel (the reference Print
  // is held to).
  void PrintPlain(EffectChannel* record, int channel);

  // One frame's values, from the record's counter and parameters.
  struct Frame {
    int twist = 0;
    int opacity = 100;
    int zoom = 1000;
  };
  static Frame FrameValues(const EffectChannel& record);

 private:
  struct Setup;
  // False when the record's picture cannot be drawn.
  bool Prepare(const EffectChannel& record, Setup* setup);
  void EnsureTable(int64_t cx, int64_t cy, int width, int height);

  // Distance and direction of every screen pixel from the centre the table
  // was made for.
  std::vector<double> radius_, theta_;
  int64_t tableCx_ = 0, tableCy_ = 0;
  int tableW_ = 0, tableH_ = 0;
};
