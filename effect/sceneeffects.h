// Scene effects: animations of the whole scene rather than of one picture.
// #15 CEffectSan light beams, #18 CEffectShake shake, #51 CEffectTaiyo lens
// flare, #100 CEffectHaikeiYure background sway.
//
// The beams and the flare keep their random parts (timers, places, sizes,
// colours) in the object, drawn anew at every start and restore: two channels
// running one of them share those parts and disturb each other's timers. Shake
// and sway keep nothing but the record. Each names its values in its class;
// their defaults are its start table in sceneeffects.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

// Five slanted beams, from the top left slanting right (side 0) or from the
// top right slanting left (1), brighten the top half of the screen as the
// counter runs and go dark now and then. The value after the last named one
// is kept, not read.
class CEffectSan : public CTableStartEffect {
 public:
  static constexpr int kNumber = 15;
  static constexpr const char* kClassName = "CEffectSan";
  static constexpr int kBeams = 5;
  enum : int { kDuration, kSide };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectSan(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  // Starts again with the stored values (new timers).
  void Restore(EffectChannel* record, int channel) override;

  // Positions, steps and brightness in 8-bit fixed point.
  struct Beam {
    int lit = 0;
    int timer = 0;
    int64_t position = 0;
    int64_t step = 0;
    int64_t brightness = 0;
  };
  const std::array<Beam, kBeams>& GetBeams() const { return beams_; }

 private:
  std::array<Beam, kBeams> beams_{};
};

// Moves everything drawn so far sideways (direction 0) or up and down by
// -16, 12, 16, -12, ... pixels, one offset a frame, once or (repeat not 0)
// without end.
class CEffectShake : public CTableStartEffect {
 public:
  static constexpr int kNumber = 18;
  static constexpr const char* kClassName = "CEffectShake";
  enum : int { kDuration, kDirection, kRepeat };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectShake(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Discs and rings of added colour along a line whose two points move from
// their start to their end places, each blinking out for a frame now and
// then.
class CEffectTaiyo : public CTableStartEffect {
 public:
  static constexpr int kNumber = 51;
  static constexpr const char* kClassName = "CEffectTaiyo";
  static constexpr int kMaxElements = 20;
  enum : int {
    kDuration,
    kElements,
    kFirstStartX,
    kFirstStartY,
    kFirstEndX,
    kFirstEndY,
    kLastStartX,
    kLastStartY,
    kLastEndX,
    kLastEndY,
    kMostRings
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectTaiyo(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Starts again with the stored values (new elements).
  void Restore(EffectChannel* record, int channel) override;

  struct Element {
    int position = 0;  // percent of the way along the line
    int radius = 0;
    int inner = 0;
    int r = 0, g = 0, b = 0;
    int timer = 0;
    int ring = 0;
  };
  const std::array<Element, kMaxElements>& GetElements() const { return elements_; }

 private:
  // Row extents of a disc (inner < 0) or ring into the span table, then
  // the colour added along them.
  void Draw(int64_t x, int64_t y, const Element& e);

  std::array<Element, kMaxElements> elements_{};
  // Per screen row: start and count of up to two parts.
  std::vector<int32_t> spans_;
};

// The channel's picture (mode 0) or what the screen holds (1) swayed along
// a triangle wave, the uncovered strips showing the picture in its own
// place or (strip fill not 0) a colour; at full strength unless the
// strength switch is set. The phase counters follow the values.
class CEffectHaikeiYure : public CTableStartEffect {
 public:
  static constexpr int kNumber = 100;
  static constexpr const char* kClassName = "CEffectHaikeiYure";
  enum : int {
    kDuration,
    kSwayX,
    kSwayY,
    kStepX,
    kStepY,
    kMode,
    kStartPhase,
    kStripFill,
    kRed,
    kGreen,
    kBlue,
    kStrengthSwitch,
    kCurve,
    kRamp
  };
  static constexpr int kPhaseX = 14, kPhaseY = 15;
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectHaikeiYure(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel* record, int) override {
    return record->Param(kMode) != 0 ? 1 : 0;
  }

  // The offset of the frame the record is at.
  static void Offsets(const EffectChannel& record, int64_t* ox, int64_t* oy);
};
