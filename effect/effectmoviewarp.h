// #105 CEffectMovieWarp: the channel picture seen through a whirl around a
// centre. The turn grows with the distance from the centre (the full twist at
// half the picture's smaller side) and unwinds to a plain picture over the
// duration, while opacity and zoom follow their own progress curves. Its values
// are named in the class; their defaults are its start table in
// effectmoviewarp.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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
  ~CEffectMovieWarp() override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // Turns each pixel through a table of the turn's cosine and sine, in
  // vector lanes, and gives PrintPlain's bytes.
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
  // Steps of Print for row y (see there): the distances, then the turn and
  // the picture indices (Work::kUnsure where the library's cosine and sine
  // must decide).
  void RowDistances(const Setup& setup, int y, bool narrow);
  void RowIndicesNarrow(const Setup& setup, int y, float margin);
  void RowIndicesWide(const Setup& setup, int y, double margin);
  int64_t UnsureIndex(const Setup& setup, int x, int y, double margin) const;

  struct Work;
  std::unique_ptr<Work> work_;
};

namespace whirllanes {
// Draws the leading pixels of a row eight at a time where the processor
// has AVX2 (and the wide rows are allowed): out[x] from picture pixel
// at[x] (negative: none) through its mask value at opacity percent, as
// Print does. Every index is below maskBytes, the mask's size; only bytes
// of the mask and the indexed source pixels are read. Returns the pixels
// drawn, 0 without AVX2; the caller draws the rest.
int DrawWide(const int32_t* at, int n, const uint32_t* source, const uint8_t* mask,
             size_t maskBytes, uint32_t opacity, uint32_t* out);
}  // namespace whirllanes
