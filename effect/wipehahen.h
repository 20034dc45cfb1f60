// The shatter wipe (#34, #35): the old picture breaks into 32 fragments that
// creep, then fly outward from the screen centre and uncover the new
// picture drawn whole behind them. The fragment geometry is a fixed
// tessellation of a 640 x 480 screen, scaled to the screen at construction;
// fragments farther from the centre fly faster. The first step shows the old
// picture whole and the last the new one.
#pragma once

#include <array>
#include <cstdint>

#include "effect/wipecommon.h"

class CEffectSimpleWipeHahen : public CEffectSimpleWipeCommon {
 public:
  static constexpr int kFragments = 32;
  static constexpr int kVertices = 66;
  static constexpr int kMaxCorners = 15;
  // The creep is counted in steps of a wipe of at most this many steps: a
  // finer progress unit (the simple-wipe effect's 0..10000) creeps as far as
  // such a wipe instead of carrying the fragments off before their flight.
  static constexpr int kCreepSteps = 100;

  CEffectSimpleWipeHahen(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeHahen"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

  struct Point {
    int x = 0, y = 0;
  };
  struct Vector {
    float x = 0, y = 0;
  };
  // The scaled vertex i and the fragments' corner lists (vertex numbers).
  Point Vertex(int i) const { return vertices_[i]; }
  static int CornerCount(int fragment);
  static int Corner(int fragment, int k);
  Point Centre(int fragment) const { return centres_[fragment]; }
  Vector Velocity(int fragment) const { return velocity_[fragment]; }
  // The offsets of the last step drawn.
  Vector Offset(int fragment) const { return offset_[fragment]; }

 private:
  // The offsets of every fragment at step p of max (the progress already
  // reversed when the wipe plays backwards).
  void Place(int p, int max);
  // Copies fragment i of the old picture moved by (ix, iy).
  void FillFragment(int fragment, int ix, int iy) const;

  int speedPercent_ = 100;
  int holdPercent_ = 20;
  int creepPermille_ = 10;
  std::array<Point, kVertices> vertices_{};
  std::array<Point, kFragments> centres_{};
  std::array<Vector, kFragments> offset_{};
  std::array<Vector, kFragments> velocity_{};
  int builtW_ = 0, builtH_ = 0;
};
