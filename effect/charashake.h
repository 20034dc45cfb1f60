// Character pictures changed in place: #132 a random shake, #90 a flashing
// silhouette in one colour and #125 a box blur with soft edges. Each draws
// the channel's picture itself and starts from its table, each clamp right
// after its value's default.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/effectcharafilter.h"

// p0 duration (20), p1, p2 shake width and height in pixels (4, 4; at
// least 0), p3 frames per swing (8), p4, p5 randomness of the swing's size
// and time in percent (50, 50), p6, p7 curve and ramp (0). The swing state
// lives in the record from p20 on: frame, length, start x and y, target x
// and y. Each new swing makes five draws of the random generator.
class CEffectCharaBure : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 132;
  static constexpr const char* kClassName = "CEffectCharaBure";
  static constexpr int kSwing = 20;
  explicit CEffectCharaBure(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  static void NewSwing(EffectChannel* record);
};

// p0 duration (20), p1..p3 flash colour (255, = p1, = p2), p4 frames of
// picture (1, at least 1), p5 frames of silhouette (1, at least 1).
class CEffectCharaFlash : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 90;
  static constexpr const char* kClassName = "CEffectCharaFlash";
  explicit CEffectCharaFlash(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Whether the record's frame shows the silhouette.
  static bool Silhouette(const EffectChannel& record);
};

// p0 duration (20), p1, p2 blur width and height (8, 8; 1..256, the height
// cut to 256 / p1 when their product passes 256), p3, p4 strength at the
// end and start in percent (100, = p3; 0..100), p5 curve (0), p6 ramp (0,
// at least 0), p7 odd sizes only (0), p8 rows below the picture copy its
// last row (0). The column sums live in the object's work buffer.
class CEffectCharaBokashi : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 125;
  static constexpr const char* kClassName = "CEffectCharaBokashi";
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
  // tests hold the fast one to.
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
