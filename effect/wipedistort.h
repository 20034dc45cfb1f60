// Distortion wipes: kinds that bend or break up a picture while it changes.
// The bamboo blind (#42-47) spreads the old picture's rows apart, the smear
// (#22) drags one column across the screen, the raster wave (#26, #27)
// shakes the lines sideways, the mosaic (#38) grows and shrinks blocks, the
// tearing circle (#8) pushes the old picture apart around the new one, and
// the page (#41) unrolls the new picture from the top with its back turned
// over. None keeps state between calls.
#pragma once

#include <cstdint>
#include <span>

#include "effect/wipecommon.h"

// A bamboo blind: mode 0 opens downward, 1 upward, 2 toward both edges.
// Every line shows one old row or, where none is assigned, the new picture.
class CEffectSimpleWipeSudare : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeSudare(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeSudare"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // The line table of one step: for each of `lines.size()` lines the old
  // row it shows, or -1 for the new picture.
  static void AssignRows(int mode, int progress, int max, std::span<int32_t> lines);

 private:
  int mode_ = 0;
};

// A smear: the old picture's column is dragged right, then the new picture
// shows behind a smeared column that runs on to the right edge.
class CEffectSimpleWipeNurikae : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeNurikae(CAllWipe* owner, const WipeArgs&) : CEffectSimpleWipeCommon(owner) {}
  const char* KindName() const override { return "CEffectSimpleWipeNurikae"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// A wave that shifts every line sideways, strongest at the midpoint, where
// the source turns from old to new; fill mode 0 repeats the edge pixel into
// the uncovered part, 1 leaves it black.
class CEffectSimpleWipeRaster : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeRaster(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeRaster"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // The shift of line y at a step, held into 1 - width .. width - 1.
  static int LineShift(int y, int progress, int max, int width, int height);

 private:
  int fill_ = 0;
};

// Mosaic blocks that grow over the old picture to 64 pixels at the
// midpoint and shrink again over the new one. Every frame that pixelates
// draws two values of the game's random generator (horizontal first): the
// sample position inside each block.
class CEffectSimpleWipeMozaic : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeMozaic(CAllWipe* owner, const WipeArgs&) : CEffectSimpleWipeCommon(owner) {}
  const char* KindName() const override { return "CEffectSimpleWipeMozaic"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // The block size of a step: 1..64; 1 (the picture plain) at the first and
  // the last step, whatever the maximum.
  static int BlockSize(int progress, int max);
};

// A circle in the middle that tears the old picture apart: each line shows
// the new picture inside the circle and the old line's halves pushed aside.
class CEffectSimpleWipeWarp1 : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeWarp1(CAllWipe* owner, const WipeArgs&) : CEffectSimpleWipeCommon(owner) {}
  const char* KindName() const override { return "CEffectSimpleWipeWarp1"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// A page: the new picture rolls down from the top with a mirrored fold
// below it.
class CEffectSimpleWipeMekuri : public CEffectSimpleWipeCommon {
 public:
  CEffectSimpleWipeMekuri(CAllWipe* owner, const WipeArgs&) : CEffectSimpleWipeCommon(owner) {}
  const char* KindName() const override { return "CEffectSimpleWipeMekuri"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};
