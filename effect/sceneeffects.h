// Scene effects: animations of the whole scene rather than of one picture.
// #15 light beams, #18 shake, #51 lens flare, #100 background sway.
//
// The beams and the flare keep their random parts (timers, places, sizes,
// colours) in the object, drawn anew at every start and restore: two
// channels running one of them share those parts and disturb each other's
// timers. Shake and sway keep nothing but the record.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/commoneffect.h"

// p0 duration (15); p1 side (0 from the top left slanting right, 1 from the
// top right slanting left); p2 kept. Five slanted beams brighten the top
// half of the screen as the counter runs and go dark now and then.
class CEffectSan : public CCommonEffect {
 public:
  static constexpr int kNumber = 15;
  static constexpr const char* kClassName = "CEffectSan";
  static constexpr int kBeams = 5;
  using CCommonEffect::CCommonEffect;
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

// p0 duration (20); p1 direction (0 sideways, else up and down); p2 repeat
// (0 once, else without end). Moves everything drawn so far by -16, 12, 16,
// -12, ... pixels, one offset a frame.
class CEffectShake : public CCommonEffect {
 public:
  static constexpr int kNumber = 18;
  static constexpr const char* kClassName = "CEffectShake";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1 elements (10, 1..20); p2, p3 the line's start point
// at the start (120, H - 40), p4, p5 at the end (-100, -100); p6, p7 its end
// point at the start (W - 200, 3H / 4), p8, p9 at the end (W / 2, H / 2);
// p10 most rings (2). Discs and rings of added colour along a moving line,
// each blinking out for a frame now and then.
class CEffectTaiyo : public CCommonEffect {
 public:
  static constexpr int kNumber = 51;
  static constexpr const char* kClassName = "CEffectTaiyo";
  static constexpr int kMaxElements = 20;
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

// p0 duration (20); p1, p2 horizontal and vertical sway in pixels (20, 0);
// p3, p4 their phase steps per frame in percent of a period (25, 25); p5
// mode (0 the channel's picture displaced, 1 the screen); p6 phase at the
// start (0); p7 strip fill (0 the picture in its own place, else the
// colour p8..p10); p11 strength switch (0 full, else the curve p12, p13);
// p14, p15 phase counters.
class CEffectHaikeiYure : public CCommonEffect {
 public:
  static constexpr int kNumber = 100;
  static constexpr const char* kClassName = "CEffectHaikeiYure";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel* record, int) override { return record->Param(5) != 0 ? 1 : 0; }

  // The offset of the frame the record is at.
  static void Offsets(const EffectChannel& record, int64_t* ox, int64_t* oy);
};
