// CGameVariables: the game's 1000 script variables, the computed system
// variables and the map of variables that switch effect layers off. The game
// object keeps one and answers GetVar, GetSystemVar and SetVar of
// CScriptCallBack with it.
#pragma once

#include <cstdint>

class CNameList;

// The computed variables, found by name in the variable-name list.
enum class SystemVar : int {
  kRnd,
  kWeek,
  kHoliday,
  kSystemYear,
  kSystemMonth,
  kSystemDay,
  kSystemHour,
  kSystemMinute,
  kSystemSecond,
  kSystemWeek,
  kSystemMillisecond,
  kMode,
  kDirect3d,
  kPixelShader,
  kVertexShader,
  kMouseX,
  kMouseY,
  kTrig1,
  kTrig2,
  kTrig3,
  kClick1,
  kClick2,
  kClick3,
  kWheel,
  kCgPercent,
  kScenePercent,
  kExpMode1,  // .. kExpMode1 + 4: system settings 300..304
  kExpCheck1 = kExpMode1 + 5,  // .. kExpCheck1 + 4: system settings 400..404
  kCount = kExpCheck1 + 5,
};

// What the variables need from the rest of the game (the game object's
// host answers them). The defaults answer 0 and do nothing, for variables
// used without a game.
class CGameVarHost {
 public:
  virtual ~CGameVarHost() = default;
  // A computed variable this class cannot work out itself: mode, week,
  // holiday, mouse, buttons, wheel, gallery percentages and the expmode /
  // expcheck settings. The default answers 0.
  virtual int ReadSystemVar(SystemVar which);
  // Hides (or shows) effect layer 0..15. The default does nothing.
  virtual void SetEffectLayerHidden(int layer, bool hidden);
};

class CGameVariables {
 public:
  static constexpr int kVarCount = 1000;
  static constexpr int kLayerCount = 16;
  // Variables the system file keeps across games (a new game and a loaded
  // save find them as the last game left them).
  static constexpr int kKeptVarFirst = 200, kKeptVarCount = 100;
  static constexpr bool IsKeptVar(int i) { return i >= kKeptVarFirst && i < kKeptVarFirst + kKeptVarCount; }

  explicit CGameVariables(CGameVarHost* host = nullptr);

  void SetHost(CGameVarHost* host) { host_ = host; }

  // Takes the number of every computed variable from the variable-name list
  // (the first non-empty token equal to its name). A name the list lacks
  // computes nothing.
  void LookUpSystemVars(const CNameList& names);
  void SetSystemVarNumber(SystemVar which, int number);
  int GetSystemVarNumber(SystemVar which) const;
  static const char* SystemVarName(SystemVar which);

  // 0..999: the stored value; a number with bit 15 set: its low 15 bits;
  // anything else 0.
  int GetVar(int n) const;
  // Stores 0..999 only. A variable mapped to a layer hides that effect layer
  // (and sets its layer-off bit) for a non-zero value, shows it for 0.
  void SetVar(int n, int value);
  // A computed variable's value, or GetVar(n).
  int GetSystemVar(int n);

  // Variable `var` switches effect layer `layer` (-1: none).
  void SetLayerVar(int var, int layer);
  int GetLayerOfVar(int var) const;
  int GetLayerOffMask() const { return layerOffMask_; }
  void SetLayerOffMask(int mask) { layerOffMask_ = mask & 0xFFFF; }

  // A new game: 100..199 and 300..999 become 0, or token i of `initData`
  // for variable i when the game initialises its variables from a list.
  // 0..99 and 200..299 keep their values.
  void StartNewGame(const CNameList* initData);

  // All 1000 values, for saving and restoring.
  int* Data() { return values_; }
  const int* Data() const { return values_; }

 private:
  int Compute(SystemVar which);

  CGameVarHost* host_;
  int values_[kVarCount] = {};
  int8_t layerOf_[kVarCount];
  int layerOffMask_ = 0;
  int numbers_[static_cast<int>(SystemVar::kCount)];
  // Which computed variable a number 0..999 is; -1 for none.
  int8_t computed_[kVarCount];
};
