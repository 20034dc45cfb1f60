// CAllWipe: the wipe table. One wipe object per wipe number (0..95 are
// named; see wipelist.cpp), the span buffer the shape compositors share and
// the random table of the jagged edge. The simple-wipe effect (#59) owns it
// and hands it to the manager's transition step.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "effect/wipecommon.h"
#include "effect/wipetableaccess.h"

class CAllWipe : public CWipeTableAccess {
 public:
  static constexpr int kSlots = 256;

  // Reads the screen size once; builds the span buffer and every wipe
  // whose kind exists.
  CAllWipe();
  ~CAllWipe() override;
  CAllWipe(const CAllWipe&) = delete;
  CAllWipe& operator=(const CAllWipe&) = delete;
  // Frees the buffers and every wipe (each Release first, 255 down to 0).
  void Release();

  // The wipe of number n, or null (empty slot or n outside 0..255).
  CEffectSimpleWipeCommon* GetWipe(int n) const;
  // One step of wipe n; an empty slot or a number outside 0..255 draws
  // nothing.
  void Print(int n, CPicture* oldPicture, CPicture* newPicture, int progress, int max,
             const int* oldOffset, const int* newOffset);

  // max(screen width, screen height) x 8 ints.
  int32_t* GetSpanBuffer() { return spans_.empty() ? nullptr : spans_.data(); }
  int GetSpanBufferInts() const { return static_cast<int>(spans_.size()); }
  // 2 x screen height values 0..32767 of the game's random generator, made
  // at the first call and kept; entries 2y and 2y + 1 belong to line y.
  const int32_t* GetRandomTable();
  int GetRandomTableInts() const { return 2 * height_; }
  int GetScreenWidth() const { return width_; }
  int GetScreenHeight() const { return height_; }

  // CWipeTableAccess (the manager's transition step).
  int HasWipe(int kind) override { return GetWipe(kind) ? 1 : 0; }
  void DrawWipe(int kind, CPicture* from, CPicture* to, int progress, int max) override {
    Print(kind, from, to, progress, max, nullptr, nullptr);
  }

 private:
  int width_ = 0, height_ = 0;
  std::array<std::unique_ptr<CEffectSimpleWipeCommon>, kSlots> slots_;
  std::vector<int32_t> spans_;
  std::vector<int32_t> random_;
};

// --- The list of wipe numbers (wipelist.cpp) ---

// A kind: its class name and how to make one (a number whose kind has no
// maker keeps an empty slot and draws nothing).
using WipeMaker = CEffectSimpleWipeCommon* (*)(CAllWipe* owner, const WipeArgs& args);
struct WipeKind {
  const char* name;
  WipeMaker make;
};

// One wipe number: its kind (by class name) and construction arguments.
struct WipeNumber {
  int number;
  const char* kind;
  WipeArgs args;
};

template <typename T>
CEffectSimpleWipeCommon* MakeWipe(CAllWipe* owner, const WipeArgs& args) {
  return new (std::nothrow) T(owner, args);
}

// Every wipe number, ascending.
std::span<const WipeNumber> GetWipeNumbers();
// Every kind that is built.
std::span<const WipeKind> GetWipeKinds();
