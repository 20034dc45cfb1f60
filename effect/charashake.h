// Character pictures changed in place: #132 CEffectCharaBure a random shake,
// #90 CEffectCharaFlash a flashing silhouette in one colour and
// #125 CEffectCharaBokashi a box blur with soft edges. Each draws the channel's
// picture itself. Each names its values in its class; their defaults and clamps
// are its start table in charashake.cpp, each clamp right after its value's
// default.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/effectbokashi.h"
#include "effect/effectcharafilter.h"

// The picture swinging at random within a width and height. The swing
// state lives in the record from kSwing on. Each new swing makes five draws
// of the random generator.
class CEffectCharaBure : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 132;
  static constexpr const char* kClassName = "CEffectCharaBure";
  static constexpr int kSwing = 20;
  enum : int {
    kDuration,
    kShakeWidth,
    kShakeHeight,
    kFramesPerSwing,
    kSizeRandomness,
    kTimeRandomness,
    kCurve,
    kRamp
  };
  // The swing: its frame and length, where it starts and where it goes.
  enum : int { kSwingFrame = kSwing, kSwingLength, kFromX, kFromY, kToX, kToY };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaBure(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  static void NewSwing(EffectChannel* record);
};

// The picture and its silhouette in one colour by turns, some frames each.
class CEffectCharaFlash : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 90;
  static constexpr const char* kClassName = "CEffectCharaFlash";
  enum : int { kDuration, kRed, kGreen, kBlue, kPictureFrames, kSilhouetteFrames };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaFlash(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Whether the record's frame shows the silhouette.
  static bool Silhouette(const EffectChannel& record);
};

// #126's box blur over the picture, its values followed by the extend
// flag: the rows below the picture copy its last row when it is set. The
// column sums live in the object's work buffer.
class CEffectCharaBokashi : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 125;
  static constexpr const char* kClassName = "CEffectCharaBokashi";
  enum : int { kExtend = CBoxBlurEffect::kOddSize + 1 };
  static const effectstart::ParamDefault kExtendDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaBokashi(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // The blur size (bx, by) at the record's counter.
  static void BlurSize(const EffectChannel& record, int* bx, int* by);

  // Four sums (b, g, r, mask) per column, each in a plane of its own.
  struct ColumnSums {
    uint32_t *b, *g, *r, *m;
    ColumnSums At(int k) const { return {b + k, g + k, r + k, m + k}; }
  };
  // One output row of n pixels from the column sums (slots 0..n + bx - 2)
  // with the reciprocal f, over out; the plain loop is the reference the
  // tests hold the fast one to. The sums are those of bx x by masked
  // pixels and f at most 65536 / (bx x by), as Print has them: the fast
  // row's 16-bit products rely on it.
  static void BlurRow(const ColumnSums& sums, int n, int bx, uint32_t f, uint32_t* out);
  static void BlurRowPlain(const ColumnSums& sums, int n, int bx, uint32_t f, uint32_t* out);
  // Adds each in-row pixel's contribution to sums[i] and takes the out-row
  // pixel's away (a null row: none).
  static void MoveColumns(const ColumnSums& sums, int count, const uint32_t* inPixels,
                          const uint8_t* inMask, const uint32_t* outPixels,
                          const uint8_t* outMask);

 private:
  // Column sums for a screen w wide: w + 512 columns (the buffer's 8320
  // spare bytes cover the margins).
  void EnsureWork(int w);
  std::unique_ptr<uint32_t[]> work_;
  int workColumns_ = 0;
};
