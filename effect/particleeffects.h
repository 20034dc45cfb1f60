// Falling particles drawn over the scene: snow in six depths (#14 CEffectSnow,
// its twin #57 CEffectSnow2), tumbling petals (#12 CEffectFlower) and slanting
// rain streaks (#13 CEffectRain). Each object keeps its particles for every
// channel that runs its number: snow and petals move once a frame, at the first
// Print after Tick, whatever the number of channels drawing them. Snow and
// petals draw cells of a sprite sheet of their own; rain draws lines. Each
// names its values in its class; their defaults and clamps are its start table
// in particleeffects.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "effect/effectstart.h"

class CPicture;

// What snow and petals share: a sprite sheet, loaded by the constructor
// from `first` (32-bit), else `second` (kept as palette indices) with the
// loader's report switch off (a box with `missing` when neither loads while
// it was on; the switch is restored), and a movement once a frame. An
// effect drawn without its sheet says `missing` on stderr once.
class CParticleSheetEffect : public CTableStartEffect {
 public:
  CParticleSheetEffect(CEffectManager* manager, const effectstart::StartTable& table,
                       const char* first, const char* second, const char* missing);
  ~CParticleSheetEffect() override;
  void Tick(EffectChannel* record, int channel) override;
  int IsSheetLoaded() const { return loaded_; }
  // One movement step of every particle (what the first Print of a frame
  // does).
  virtual void Move() = 0;

 protected:
  // Moves the particles unless this frame did.
  void MoveOncePerFrame();
  // True when there is no sheet to draw with (told on stderr the first time).
  bool DrawsNothing();
  // One step of a falling particle (field position, speed, then the
  // screen position); one that reaches the screen height is seeded again
  // just above the top.
  template <class P, class Owner>
  static void Fall(P* p, int swayX, int swayY, int height, Owner* owner) {
    p->fieldX = Clamp32(int64_t{p->fieldX} + p->speedX + swayX);
    p->fieldY = Clamp32(int64_t{p->fieldY} + p->speedY + swayY);
    Owner::Place(p);
    if (p->screenY < height) return;
    owner->Seed(p);
    p->fieldY = -1000;
    Owner::Place(p);
  }

  std::unique_ptr<CPicture> sheet_;
  int loaded_ = 0;

 private:
  const char* missing_;
  bool toldMissing_ = false;
  int moved_ = 0;
};

// The size classes drawn, -1 naming the smallest / largest class. Every
// start reseeds the flakes.
class CEffectSnowCommon : public CParticleSheetEffect {
 public:
  static constexpr int kMaxFlakes = 100;
  static constexpr int kClasses = 6;
  enum : int { kDuration, kSmallest, kLargest };
  static const effectstart::ParamDefault kDefaults[];
  struct Flake {
    int sizeClass, variant, screenX, screenY, fieldX, fieldY, speedX, speedY, phase, period;
  };

  CEffectSnowCommon(CEffectManager* manager, const effectstart::StartTable& table);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // n flakes active (0: all), at least 1.
  void Init(int a, int b) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  int GetActiveCount() const { return active_; }
  const Flake& GetFlake(int i) const { return flakes_[i]; }
  Flake& FlakeForTest(int i) { return flakes_[i]; }
  void Move() override;
  void Seed(Flake* f);
  static void Place(Flake* f);

 private:
  void BuildTables();

  int active_ = kMaxFlakes;
  std::array<Flake, kMaxFlakes> flakes_{};
  std::array<std::array<int, 30>, 10> sway_{};
};

class CEffectSnow : public CEffectSnowCommon {
 public:
  static constexpr int kNumber = 14;
  static constexpr const char* kClassName = "CEffectSnow";
  static const effectstart::StartTable kTable;
  explicit CEffectSnow(CEffectManager* manager) : CEffectSnowCommon(manager, kTable) {}
};

class CEffectSnow2 : public CEffectSnowCommon {
 public:
  static constexpr int kNumber = 57;
  static constexpr const char* kClassName = "CEffectSnow2";
  static const effectstart::StartTable kTable;
  explicit CEffectSnow2(CEffectManager* manager) : CEffectSnowCommon(manager, kTable) {}
};

// Runs 99999 frames, drawing the petals of some size classes. The petals
// are seeded once, by Init.
class CEffectFlower : public CParticleSheetEffect {
 public:
  static constexpr int kNumber = 12;
  static constexpr const char* kClassName = "CEffectFlower";
  static constexpr int kPetals = 200;
  enum : int { kDuration, kSmallest, kLargest, kDrawn };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  struct Petal {
    int sizeClass, frame, screenX, screenY, fieldX, fieldY, speedX, speedY, phase, period;
  };

  explicit CEffectFlower(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Init(int a, int b) override;
  void Print(EffectChannel* record, int channel) override;

  const Petal& GetPetal(int i) const { return petals_[i]; }
  void Move() override;
  void Seed(Petal* p);
  static void Place(Petal* p);

 private:
  std::array<Petal, kPetals> petals_{};
  std::array<std::array<int, 40>, 10> swayX_{}, swayY_{};
};

// Slanting streaks of a colour. A start scatters the drops over the screen
// and keeps its values in the object; Calcu moves them.
class CEffectRain : public CTableStartEffect {
 public:
  static constexpr int kNumber = 13;
  static constexpr const char* kClassName = "CEffectRain";
  static constexpr int kMaxDrops = 150;
  enum : int { kDuration, kSlant, kDrops, kSpeed, kLength, kRed, kGreen, kBlue };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Positions in 1/256 pixel, 64 bits wide: script values make any slant.
  struct Drop {
    int64_t x, y, slant;
    int length, speed;
  };

  explicit CEffectRain(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  const Drop& GetDrop(int i) const { return drops_[i]; }
  int GetDropCount() const { return p_[kDrops]; }

 private:
  void Spawn(Drop* d) const;

  std::array<int, kBlue + 1> p_{};  // the last start's values
  std::array<Drop, kMaxDrops> drops_{};
};
