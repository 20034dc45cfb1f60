// Blend and strip wipes: the kinds that blend the two pictures over the
// whole screen (cross-fade #0, additive #40, multiplicative #60) or replace
// whole lines, columns or blocks (slatted blinds #1 and #2, interleaved
// lines #3, diagonal slides #4 and #5, random lines #39). None keeps state
// between calls or takes construction arguments.
#pragma once

#include <cstdint>

#include "effect/wipecommon.h"

// The common part of the nine kinds: no construction arguments.
class CBlendStripWipe : public CEffectSimpleWipeCommon {
 public:
  CBlendStripWipe(CAllWipe* owner, const WipeArgs&) : CEffectSimpleWipeCommon(owner) {}

 protected:
  using RowKernel = void (*)(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n,
                             int weight);
  // Every line by row (screen, old, new, width, weight), with the weight
  // clamped into 0..256.
  void BlendLines(RowKernel row, int64_t weight);
};

// Cross-fade through the picture blends; without an old picture the new
// one fades in over what the screen shows.
class CEffectSimpleWipeOverrap : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeOverrap"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Vertical slats 16 pixels wide in blocks of 32 columns, left to right.
class CEffectSimpleWipeCurtain : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeCurtain"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Horizontal slats in blocks of 32 lines, top to bottom.
class CEffectSimpleWipeCurtain2 : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeCurtain2"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Even lines fill from the bottom up, odd lines from the top down.
class CEffectSimpleWipeZebra : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeZebra"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// The new picture slides in from the right over the resting old one.
class CEffectSimpleWipeSlide1 : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeSlide1"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// The new picture pushes the old one out to the left.
class CEffectSimpleWipeSlide2 : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeSlide2"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Each line new or old by one draw of the game's random generator.
class CEffectSimpleWipeRandomStrip : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeRandomStrip"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Additive: old + new at the midpoint, then settles on the new picture.
class CEffectSimpleWipeAdd : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeAdd"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

// Multiplicative: old x new / 256 at the midpoint.
class CEffectSimpleWipeMulti : public CBlendStripWipe {
 public:
  using CBlendStripWipe::CBlendStripWipe;
  const char* KindName() const override { return "CEffectSimpleWipeMulti"; }
  void Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset) override;
};

namespace wipeblend {

// The pixel rules of #40 and #60, per byte of all four bytes; a in 0..256.
// Add: min(255, base + ((other * a) >> 8)).
uint32_t AddPixel(uint32_t base, uint32_t other, int a);
// Multi: ((256 - c) * base + c * ((base * other) >> 8)) >> 8.
uint32_t MultiPixel(uint32_t base, uint32_t other, int c);

// Row kernels: the plain loop and the entry the wipes call (SSE2), which
// gives the same bytes.
void AddRowPlain(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int a);
void AddRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int a);
void MultiRowPlain(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int c);
void MultiRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int c);

}  // namespace wipeblend
