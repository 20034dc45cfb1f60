// Moving-picture wipes: whole pictures slide (#10-#17), close like doors
// (#18-#21), push each other out (#61-#64), fall and bounce (#23, #73),
// scroll in strips like slot-machine reels (#69-#72, #74-#77), grow out of
// the centre as a box (#84-#87) or zoom through the old picture into the
// new one (#80-#83). All but the zoom draw through the picture blits; the
// first five also take 8-bit palette pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/wipecommon.h"

// The common part of the seven kinds: the picture blits at the prepared
// offsets.
class CMovePictureWipe : public CEffectSimpleWipeCommon {
 public:
  explicit CMovePictureWipe(CAllWipe* owner) : CEffectSimpleWipeCommon(owner) {}

 protected:
  // Opaque copy of the window's area (sx, sy, w, h) to screen (x, y); not
  // made when w or h is 0 or below.
  static void Blt(const Window& from, int64_t x, int64_t y, int64_t sx, int64_t sy, int64_t w,
                  int64_t h);
  // The reverse flag's rule: pictures exchanged, progress from the end.
  void PlayReversed();
};

// The new picture slides over the old one (arg1: from the top, right,
// bottom, left).
class CEffectSimpleWipeMove : public CMovePictureWipe {
 public:
  CEffectSimpleWipeMove(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeMove"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

 private:
  int direction_;
};

// Two halves of the new picture close like doors (arg1: 0 top and bottom,
// 1 left and right).
class CEffectSimpleWipeDoor : public CMovePictureWipe {
 public:
  CEffectSimpleWipeDoor(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeDoor"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

 private:
  int mode_;
};

// The new picture pushes the old one out (arg1: enters from the top,
// right, bottom, left).
class CEffectSimpleWipeTokoroten : public CMovePictureWipe {
 public:
  CEffectSimpleWipeTokoroten(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeTokoroten"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

 private:
  int direction_;
};

// A fall with two bounces (arg1: 0 the new picture falls in, 1 the old
// one falls out).
class CEffectSimpleWipeGrav : public CMovePictureWipe {
 public:
  CEffectSimpleWipeGrav(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeGrav"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // The gap h of step p of m (the screen height h0).
  static int Gap(int p, int m, int h0);

 private:
  int mode_;
};

// Strips (arg1: 2..5) that scroll the two pictures past and stop one after
// another on the new one (arg2: 0 columns, 1 rows).
class CEffectSimpleWipeSlot : public CMovePictureWipe {
 public:
  CEffectSimpleWipeSlot(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeSlot"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
  // Strip i's position u (0..2s - 1) at step p of m with n strips of
  // length s.
  static int64_t Position(int i, int n, int64_t s, int p, int m);

 private:
  int strips_;
  int rows_;
};

// The new picture grows out of the centre as a box (arg1: 0 opaque over
// the old picture's rest, 1 blended over the whole old picture).
class CEffectSimpleWipeCenter : public CMovePictureWipe {
 public:
  CEffectSimpleWipeCenter(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeCenter"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

 private:
  int mode_;
};

// A zoom into the old picture's centre, then out of the new one's (arg1:
// the magnification at the midpoint, 4, 8, 16 or 32).
class CEffectSimpleWipeZoom : public CMovePictureWipe {
 public:
  CEffectSimpleWipeZoom(CAllWipe* owner, const WipeArgs& args);
  const char* KindName() const override { return "CEffectSimpleWipeZoom"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;

 private:
  int zoom_;
  std::vector<int32_t> columns_;  // source column of each screen column
};
