// The music room's bar spectrum: CFastFourierTransform turns PCM samples
// from the music player into bins, and CSpectrumPrint draws per-bar levels
// (0..100) as bars with falling peak marks into the screen buffer.
#pragma once

#include <cstdint>
#include <memory>

class CNameList;

class CSpectrumPrint {
 public:
  // Reads its settings from the list (not owned; may be null for defaults).
  CSpectrumPrint(uint32_t barCount, const CNameList* settings);
  ~CSpectrumPrint();
  CSpectrumPrint(const CSpectrumPrint&) = delete;
  CSpectrumPrint& operator=(const CSpectrumPrint&) = delete;

  void Release();
  void Reset();
  // One frame: levels holds one value per bar.
  void Print(const int* levels);

  uint32_t GetBarCount() const { return barCount_; }
  int GetPeak(uint32_t bar) const { return bar < barCount_ ? peak_[bar] : 0; }
  int GetLevel(uint32_t bar) const { return bar < barCount_ ? level_[bar] : 0; }
  int GetFallSpeed(uint32_t bar) const { return bar < barCount_ ? fall_[bar] : 0; }
  int GetHoldCounter(uint32_t bar) const { return bar < barCount_ ? hold_[bar] : 0; }
  int GetType() const { return type_; }
  int GetBarStep() const { return step_; }

 private:
  uint32_t barCount_ = 0;
  int type_ = 2;
  int gravity_ = 1;
  std::unique_ptr<int32_t[]> peak_, fall_, level_, hold_;
  int holdTime_ = 15;
  int x_ = 0, baseY_ = 600;
  int step_ = 5;
  int width_ = 4, height_ = 60;
  int markHeight_ = 2;
  int r_ = 128, g_ = 255, b_ = 192, percent_ = 100;
  int markR_ = 255, markG_ = 0, markB_ = 0, markPercent_ = 100;
};

class CFastFourierTransform {
 public:
  static constexpr int kSlots = 32;

  CFastFourierTransform();
  ~CFastFourierTransform();
  CFastFourierTransform(const CFastFourierTransform&) = delete;
  CFastFourierTransform& operator=(const CFastFourierTransform&) = delete;

  void Release();
  // Only 64, 128, 256, 512 and 1024 have tables, each its own slot; other
  // sizes are refused (-1 / 0).
  static int GetTableIndex(int n);
  int MakeTable(int n);
  // In place over n complex values, scaled by 1/n. 0 (and nothing changed)
  // for a size without a table.
  int Transform(int n, float* re, float* im);

 private:
  struct Table {
    bool built = false;
    std::unique_ptr<float[]> pairs;  // n pairs of (cos, sin)
  };
  Table slots_[kSlots];
};
