// Shape wipes: the new picture opens through a growing circle (#6, #7), a
// clock hand (#9), a star (#28, #29), a turning star (#32, #33, #78, #79),
// a heart (#30, #31), two arrowheads (#94, #95), one arrowhead (#88-#93), a
// diagonal (#65-#68), a torn edge (#24, #25, #48-#53) or a wavy beach edge
// (#36, #37, #54-#59). Each kind only fills the span list; the shape base
// prepares the pictures, plays reversed kinds backwards and composites.
#pragma once

#include <cstdint>

#include "effect/wipecommon.h"

namespace wipeshape {

// One inclusive column interval of a line.
struct Interval {
  int64_t a, b;
};

// Writes a line of `entries` runs (old, new, old, ...) from up to `n` new
// intervals: ends limited to 0..width - 1, empty intervals dropped, the
// rest sorted and merged where they touch or overlap, so the runs always
// add up to the width. Intervals beyond the line's room join the last one.
void IntervalRuns(int32_t* line, int entries, int width, Interval* intervals, int n);

// A real value rounded as the shapes round: + 0.5, then toward zero, kept
// within +-2^40 first.
int64_t RoundHalfUp(double v);

}  // namespace wipeshape

// A growing circle about the screen's centre.
class CEffectSimpleWipeCircle : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeCircle(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeCircle"; }
  void CalcuSpan(int progress, int max) override;
};

// A clock hand sweeping one turn clockwise from twelve o'clock.
class CEffectSimpleWipeClock : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeClock(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeClock"; }
  void CalcuSpan(int progress, int max) override;
};

// A growing five-pointed star, one point up, drawn in four bands.
class CEffectSimpleWipeStar : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeStar(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeStar"; }
  void CalcuSpan(int progress, int max) override;
};

// A growing star that turns (arg1: 0 fast, 1 slow), from its ten edges.
class CEffectSimpleWipeTurnStar : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeTurnStar(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeTurnStar"; }
  void CalcuSpan(int progress, int max) override;

 private:
  int turn_;
};

// A growing heart, point down: two lobes, their merged band, the point.
class CEffectSimpleWipeHeart : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeHeart(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeHeart"; }
  void CalcuSpan(int progress, int max) override;
};

// Two arrowheads closing in from the left and right edges.
class CEffectSimpleWipeWTogari : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeWTogari(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeWTogari"; }
  void CalcuSpan(int progress, int max) override;
};

// One arrowhead sweeping across, its point on the middle line leading.
class CEffectSimpleWipeTogari : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeTogari(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeTogari"; }
  void CalcuSpan(int progress, int max) override;
};

// A straight diagonal edge (arg1 direction 0..3; 2 and 3 reversed).
class CEffectSimpleWipeNaname : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeNaname(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeNaname"; }
  void CalcuSpan(int progress, int max) override;

 private:
  int direction_;
};

// A torn edge: every line runs from its own start to its own end, both
// from the table's random table.
class CEffectSimpleWipeGaza : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeGaza(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeGaza"; }
  void CalcuSpan(int progress, int max) override;
};

// A wave edge of three sine waves that move with the progress.
class CEffectSimpleWipeBeach : public CEffectSimpleWipeShape {
 public:
  CEffectSimpleWipeBeach(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeBeach"; }
  void CalcuSpan(int progress, int max) override;
};
