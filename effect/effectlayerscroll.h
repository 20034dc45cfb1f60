// Layers moved, opened or enlarged over the whole screen: #39 CEffectScroll
// scroll and #94 CEffectPoleScroll pole scroll (a screen-sized picture wrapping
// around endlessly), #84 CEffectFusuma sliding doors onto another channel's
// picture, #68 CEffectCurtain cinema bars, #37 CEffectBGZoomIn zoom into a
// rectangle of the background and #122 CEffectClipZoomIn the same zoom inside a
// moving half-plane or rectangle with a border. Each names its values in its
// class; their defaults and clamps are its start table in effectlayerscroll.cpp
// (effect/effectstart.h). Their running state lives in the record.
#pragma once

#include "effect/effectstart.h"

// The end loops back to counter 0, or leaves the picture as #0.
class CEffectScroll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 39;
  static constexpr const char* kClassName = "CEffectScroll";
  enum : int { kDuration, kStepX, kStepY, kLoop };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectScroll(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Runs 9999 frames. Keeps its last counter, counter step and offsets x, y
// after the values (save format).
class CEffectPoleScroll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 94;
  static constexpr const char* kClassName = "CEffectPoleScroll";
  enum : int { kDuration, kStepX, kStepY, kLoop };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  static constexpr int kLast = 12, kStep = 13, kOffsetX = 14, kOffsetY = 15;
  explicit CEffectPoleScroll(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// Two doors sliding apart onto another channel's picture. The values after
// the last named one are kept, not read.
class CEffectFusuma : public CTableStartEffect {
 public:
  static constexpr int kNumber = 84;
  static constexpr const char* kClassName = "CEffectFusuma";
  enum : int { kDuration, kDoorWidth, kBehindChannel, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectFusuma(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// Two bars closing from the top and the bottom, leaving an opening between
// them, their colour going from its start to its end.
class CEffectCurtain : public CTableStartEffect {
 public:
  static constexpr int kNumber = 68;
  static constexpr const char* kClassName = "CEffectCurtain";
  enum : int {
    kDuration,
    kTopHeight,
    kOpening,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kSizeCurve,
    kSizeRamp,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kColourCurve,
    kColourRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCurtain(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// The zoom window of #37 and #122 in screen pixels of the picture.
struct ZoomWindow {
  int left, top, right, bottom;
};

// A screen-sized 32-bit picture scaled to the whole screen, zooming into a
// target rectangle.
class CEffectBGZoomIn : public CTableStartEffect {
 public:
  static constexpr int kNumber = 37;
  static constexpr const char* kClassName = "CEffectBGZoomIn";
  enum : int {
    kDuration,
    kTargetX,
    kTargetY,
    kTargetWidth,
    kTargetHeight,
    kCurve,
    kRamp,
    kEndZoom,
    kStartZoom
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectBGZoomIn(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // False when nothing is to be drawn this frame.
  static bool Window(const EffectChannel& record, int w, int h, ZoomWindow* out);
  // Screen columns x0..x0 + n - 1 of row y from the window, sampled in 16.16
  // as if the whole row were drawn.
  static void SampleSpan(const uint32_t* pixels, int pitch, const ZoomWindow& window, int w, int h,
                         int y, int x0, int n, uint32_t* screen);

 protected:
  CEffectBGZoomIn(CEffectManager* manager, const effectstart::StartTable& table)
      : CTableStartEffect(manager, table) {}
};

// #37's zoom inside a half-plane (shape 0), a fixed rectangle (1) or a
// moving one (2), the clip going from its start to its end, with a border
// of a width (0 none). Its values follow #37's. The span list (first
// column, width per row) lives in the work buffer.
class CEffectClipZoomIn : public CEffectBGZoomIn {
 public:
  static constexpr int kNumber = 122;
  static constexpr const char* kClassName = "CEffectClipZoomIn";
  enum : int {
    kEndClipX = kStartZoom + 1,
    kEndClipY,
    kEndClipDx,
    kEndClipDy,
    kShape,
    kStartClipX,
    kStartClipY,
    kStartClipDx,
    kStartClipDy,
    kClipCurve,
    kClipRamp,
    kBorderWidth,
    kEndPercent,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartPercent,
    kPercentCurve,
    kPercentRamp,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kColourCurve,
    kColourRamp
  };
  static const effectstart::ParamDefault kClipDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectClipZoomIn(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};
