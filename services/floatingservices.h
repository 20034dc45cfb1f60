// CFloatingServices: what floats over the story screens: the floating layers
// (the game mouse, the message cursor, the notices) and the floating buttons,
// quick save and quick load, and the short-cut keys that open the system
// screens.
#pragma once

#include <cstddef>
#include <cstdint>

class CFloatingServices {
 public:
  virtual void RestoreFloatingLayers() = 0;
  virtual void RestoreFirstFloatingLayer() = 0;
  virtual int CheckFloatingButtons() = 0;
  virtual int CheckSkipFilmButton() = 0;
  virtual void HideFloatingButtons() = 0;
  virtual void HideSkipFilmButton() = 0;
  virtual void RequestFloatingButtons() = 0;
  virtual void RequestSkipFilmButton() = 0;
  virtual void ShowFloatingButtons() = 0;
  virtual int GetFloatingButtonOffFlag() = 0;
  // The game-mouse layer's offset ((0, 0) without the layer).
  virtual void GetGameMousePos(int* x, int* y) const = 0;
  // The 16 option-button off flags; an index outside 0..15 is ignored (0).
  virtual void SetOptionButtonOff(int index, int flag) = 0;
  virtual int CheckShortCut(int mode) = 0;
  // Type 5 quick load: 0 when the load mode loaded its quick slot, else -1.
  // Type 6 quick save: -1 once the save mode saved. Any other type, or a
  // switch that is off or a mode that is missing: GetAutoSaveType (type).
  virtual int QuickLoadSave(int type) = 0;
  // "quickLoadEnable" and "quickSaveEnable".
  virtual int IsQuickLoadEnable() const = 0;
  virtual int GetQuickSaveEnable() const = 0;
  // 1 when quick load is on and the load mode has quick-load data.
  virtual int CheckQuickLoadData() = 0;
  // "quickLoadDelay"; the mark of a quick load the frame carries out
  // (the argument is ignored: the mark becomes 1).
  virtual int GetQuickLoadDelay() const = 0;
  virtual void SetQuickLoadDelayFlag(int ignored) = 0;

 protected:
  ~CFloatingServices() = default;
};
