// Filters over a channel's picture while it is drawn: #126 CEffectBGBokashi a
// box blur that stays within the picture's opaque box, #77 CEffectBokashi a
// full-screen box blur, #78 CEffectKomorebi coloured light through a leaf
// pattern laid over a layer and #97 CEffectBathWindow a misted window that the
// pointer wipes while drops mist it again. All read 32-bit pixels directly;
// 8-bit pictures draw nothing. Each names its values in its class; their
// defaults and clamps are its start table in effectbokashi.cpp.
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

// What the two box blurs share: their values (a start cuts the kernel to
// at most 256 pixels) and the kernel of a frame. The rows are here, not in
// the .cpp, because #125 (charashake.h) continues them.
class CBoxBlurEffect : public CTableStartEffect {
 public:
  enum : int {
    kDuration,
    kKernelWidth,
    kKernelHeight,
    kEndStrength,
    kStartStrength,
    kCurve,
    kRamp,
    kOddSize
  };
  // The kernel's size in pixels at full strength, strength in percent.
  static constexpr effectstart::ParamDefault kDefaults[] = {
      effectstart::Value(kDuration, 20),
      effectstart::Value(kKernelWidth, 8),
      effectstart::Value(kKernelHeight, 8),
      effectstart::Value(kEndStrength, 100),
      effectstart::Same(kStartStrength, kEndStrength),
      effectstart::Value(kCurve, 0),
      effectstart::Value(kRamp, 0),
      effectstart::Value(kOddSize, 0),
  };
  static constexpr effectstart::ParamClamp kClamps[] = {
      effectstart::Range(kKernelWidth, 1, 256), effectstart::Range(kKernelHeight, 1, 256),
      effectstart::Range(kEndStrength, 0, 100), effectstart::Range(kStartStrength, 0, 100),
      effectstart::Range(kRamp, 0, INT32_MAX),
  };
  using CTableStartEffect::CTableStartEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  static BlurKernel Kernel(const EffectChannel& record);
  // The kernel's height cut so the window holds at most 256 pixels.
  static void HoldKernel(EffectChannel* record);
};

class CEffectBGBokashi : public CBoxBlurEffect {
 public:
  static constexpr int kNumber = 126;
  static constexpr const char* kClassName = "CEffectBGBokashi";
  static const effectstart::StartTable kTable;
  explicit CEffectBGBokashi(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

  // ((sum >> 1) x reciprocal (count)) >> 14, held to a byte.
  int Mean(int sum, int count) const;

 private:
  std::array<int, 257> reciprocal_{};
  // b, g, r, count per screen column (16-bit lanes where the rows are
  // vector code: no sum passes 255 x 256).
  std::vector<int32_t> columns_;
  std::vector<uint16_t> columns16_;
};

// The draw rectangle must cover the screen and the picture the screen from
// the pixel under (0, 0).
class CEffectBokashi : public CBoxBlurEffect {
 public:
  static constexpr int kNumber = 77;
  static constexpr const char* kClassName = "CEffectBokashi";
  static const effectstart::StartTable kTable;
  explicit CEffectBokashi(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

 private:
  // b, g, r per screen column (b, g, r, 0 in 16-bit lanes where the rows
  // are vector code).
  std::vector<int32_t> columns_;
  std::vector<uint16_t> columns16_;
  std::vector<int> windowX_;  // each screen column's window start
};

// The light (a negative colour darkens) through another channel's masked
// pattern over the layer, placed at the draw position of a channel (-1 its
// own).
class CEffectKomorebi : public CTableStartEffect {
 public:
  static constexpr int kNumber = 78;
  static constexpr const char* kClassName = "CEffectKomorebi";
  enum : int {
    kDuration,
    kPatternChannel,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kPlaceChannel,
    kCurve,
    kRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
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

// The brush below 8 is 8, above 64 is 128; the third value is always 1.
// Runs 9999 frames, its counter held at 0.
class CEffectBathWindow : public CTableStartEffect {
 public:
  static constexpr int kNumber = 97;
  static constexpr const char* kClassName = "CEffectBathWindow";
  enum : int { kDuration, kBrushSize, kOne, kDropsPerFrame, kX, kY, kWidth, kHeight, kReload };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
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
