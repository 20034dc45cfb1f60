// CGameMouse: the game's own mouse cursor, a floating layer (one slot). Its
// picture is a grid: columns are animation patterns, rows the cursor
// numbers the caller picks per frame. One picture per pair of a
// configuration design number (the player's) and a script design number
// (the story's). Special modes: 1 an after-image trail, 2 sparkles; both
// make every frame a full redraw.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "widget/animecounter.h"
#include "widget/floatinglayer.h"

class CPicture;

class CGameMouse : public CFloatingLayer {
 public:
  static constexpr int kMaxTrail = 10;
  static constexpr int kRing = 3 * kMaxTrail;
  static constexpr int kSparkles = 10;
  static constexpr int kDrawnSparkles = 4;

  // Settings from the list "gameMouse", or from `list` when given.
  CGameMouse(CFloatingLayerTable* table, int firstSlot, CNameList* list = nullptr);
  ~CGameMouse() override;

  virtual void Calcu(int n);
  // Draws cursor row `number` for the mouse at (x, y).
  virtual void Print(int x, int y, int number, int saveUnder);
  // Records (x, y) and draws the trail or the sparkles.
  virtual void PrintSpecial(int x, int y, int number, int pattern);
  void GetHotPoint(int* x, int* y) const;

  // Design numbers from 0, held into the table; the picture changes on the
  // next Print.
  void SetConfigNumber(int n) { config_ = floating::ClampIndex(n, nc_); }
  void SetScriptNumber(int n) { script_ = floating::ClampIndex(n, ns_); }
  int GetConfigNumber() const { return config_; }
  int GetScriptNumber() const { return script_; }
  int GetLoadedConfig() const { return loadedConfig_; }
  int GetLoadedScript() const { return loadedScript_; }
  // 0 none, 1 trail, 2 sparkles; a change starts the ring afresh.
  void SetSpecialMode(int mode);
  int GetSpecialMode() const { return specialMode_; }
  int GetTrailLength() const { return trail_; }
  int GetDesignCount() const { return nc_ * ns_; }
  const char* GetFileName(int index) const;

 private:
  struct Point {
    int x = 0, y = 0;
  };
  void LoadCurrent();
  // The ring entry `back` places before the next free one; false when that
  // entry was never written.
  bool RingEntry(int back, int* index) const;
  void Record();
  void DrawTrail(int number, int pattern);
  void DrawSparkles();

  int hotX_ = 0, hotY_ = 0;
  int sizeX_ = 32, sizeY_ = 32;
  int anime_ = 1;
  std::unique_ptr<CPicture> picture_;
  CAnimeCounter counter_;
  int nc_ = 1, ns_ = 1;
  int config_ = 0, script_ = 0;
  int loadedConfig_ = -1, loadedScript_ = -1;
  std::vector<const char*> names_;
  int specialMode_ = 0;
  int ringIndex_ = 0, filled_ = 0, recorded_ = 0;
  int trail_ = 5;
  std::array<Point, kRing> trailAt_{};
  std::array<std::array<Point, kSparkles>, kRing> sparkleAt_{};
  std::array<std::array<Point, kSparkles>, kRing> sparkleStep_{};
};
