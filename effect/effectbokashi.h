// Filters over a channel's picture while it is drawn: #126 a box blur that
// stays within the picture's opaque box, #77 a full-screen box blur, #78
// coloured light through a leaf pattern laid over a layer and #97 a misted
// window that the pointer wipes while drops mist it again. All read 32-bit
// pixels directly; 8-bit pictures draw nothing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

class CPicture;

// The blur window of #126 and #77 for a record's counter.
struct BlurKernel {
  int w, h;
};

// p0 duration (20), p1, p2 kernel size at full strength (8; 1..256, p2 cut
// to 256 / p1), p3 end strength, p4 start strength in percent (100, = p3;
// 0..100), p5 curve, p6 ramp (at least 0), p7 odd-size flag.
class CEffectBGBokashi : public CTableStartEffect {
 public:
  static constexpr int kNumber = 126;
  static constexpr const char* kClassName = "CEffectBGBokashi";
  explicit CEffectBGBokashi(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  static BlurKernel Kernel(const EffectChannel& record);
  // ((sum >> 1) x reciprocal (count)) >> 14, held to a byte.
  int Mean(int sum, int count) const;

 private:
  std::array<int, 257> reciprocal_{};
  std::vector<int32_t> columns_;  // b, g, r, count per screen column
};

// The same values as #126. The draw rectangle must cover the screen and the
// picture the screen from the pixel under (0, 0).
class CEffectBokashi : public CTableStartEffect {
 public:
  static constexpr int kNumber = 77;
  static constexpr const char* kClassName = "CEffectBokashi";
  explicit CEffectBokashi(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

 private:
  std::vector<int32_t> columns_;  // b, g, r per screen column
  std::vector<int> windowX_;      // each screen column's window start
};

// p0 duration (20), p1 channel of the light pattern (0; 0..15), p2..p4
// light colour at the end (128, = p2, = p3), p5..p7 at the start (= p2..p4;
// negative darkens), p8 channel whose draw position places the layer (-1
// own; -1..15), p9 curve, p10 ramp.
class CEffectKomorebi : public CTableStartEffect {
 public:
  static constexpr int kNumber = 78;
  static constexpr const char* kClassName = "CEffectKomorebi";
  explicit CEffectKomorebi(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;

  // One row of n pixels under the pattern's and the layer's mask bytes;
  // add and sub (r, g, b) in 0..65,535, never both above 0 for one colour.
  // LightRow gives the bytes of the plain loop, four pixels at a time.
  static void LightRow(uint32_t* out, const uint8_t* pattern, const uint8_t* layer, int n,
                       const int* add, const int* sub);
  static void LightRowPlain(uint32_t* out, const uint8_t* pattern, const uint8_t* layer, int n,
                            const int* add, const int* sub);
};

// p0 stored, p1 brush size (20; below 8 is 8, above 64 is 128), p2 always
// 1, p3 drops per frame (5; 0..32), p4..p7 region drawn (0, 0, W, H; on the
// screen), p8 reload flag. Runs 9999 frames, its counter held at 0.
class CEffectBathWindow : public CTableStartEffect {
 public:
  static constexpr int kNumber = 97;
  static constexpr const char* kClassName = "CEffectBathWindow";
  explicit CEffectBathWindow(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int GetOption1() override { return 1; }

  uint8_t DropMap(int map, int row, int column) const { return drops_[map][row][column]; }
  uint8_t WipeMap(int map, int row, int column) const { return wipes_[map][row][column]; }
  static int BrushSize(int size);

 private:
  void Drops(const EffectChannel& record, CPicture* picture);
  void Wipe(const EffectChannel& record, CPicture* picture);

  std::array<std::array<std::array<uint8_t, 32>, 32>, 4> drops_{};
  std::vector<std::array<std::array<uint8_t, 128>, 128>> wipes_;
  int lastX_ = -1, lastY_ = -1;
};
