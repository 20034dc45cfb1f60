// CInputPart: the input of the frames: the mouse, key and input state the
// modes read, and what the window handler collected since the last frame
// (presses, a wheel turn, Enter and Space, Shift and Ctrl held). It plays the
// input role (CInputServices) for the modes, and keeps the stall guard: a
// wall clock that jumps blocks the back log and drops a wheel turn.
#pragma once

#include <cstdint>
#include <memory>

#include "services/inputservices.h"

class CSetupList;
class CMyKeyStatus;

class CInputPart : public CInputServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int backLogDisableTime = 100;
    int backLogDisableCheckTime = 3;
    int backLogDisableCheckFlag = 1;
  };

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CInputPart(const Links& links);
  virtual ~CInputPart();
  CInputPart(const CInputPart&) = delete;
  CInputPart& operator=(const CInputPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();
  // The mouse, key and input state, linked.
  void Init();
  // Nothing held, nothing pressed, no wheel turn.
  void Clear();

  // --- CInputServices ---
  CMouseStatus* GetMouseStatus() override { return mouseStatus_.get(); }
  CInputStatus* GetInputStatus() override { return inputStatus_.get(); }
  int CheckKeyTrig(int code) override;
  CMyKeyStatus* GetKeyStatus() const { return keyStatus_.get(); }

  // --- The frame's steps ---
  // Takes the presses and the wheel turn that came since the last frame
  // into the mouse status.
  virtual void UpdateMouse();
  virtual void ClearKeyStatus();
  // After the modes' calculation: the frame's clicks, keys, Enter and Space
  // are spent.
  void EndCalcu();
  // A wall clock that moved 3 s or more since the last frame blocks the
  // back log for "backLogDisableTime" frames and drops a wheel turn.
  void GuardStall();
  // The frame's end: the wheel pause of a screen switch counts down.
  void EndFrame();
  int IsBackLogDisabled() const { return backLogDisableCountdown_ > 0 ? 1 : 0; }
  int GetBackLogCountdown() const { return backLogDisableCountdown_; }
  // After a screen switch wheel turns are ignored for `frames` frames.
  void PauseWheel(int frames) { wheelCountdown_ = frames; }
  int GetWheelPause() const { return wheelCountdown_; }

  // --- What the window handler records ---
  void SetKey(int vk, int down);
  // A wheel turn (an arrow key's always counts; the wheel's own only
  // outside the two pauses).
  void RecordWheel(int delta);
  void WheelMessage(int delta);
  void ButtonMessage(int button, int down);
  // The pointer moved to (x, y) with the buttons of `held` (MK_ bits).
  void MouseMove(int x, int y, uintptr_t held);
  // The pointer left the window: its place is unknown until the next move.
  void MouseLeave();
  void SetEnter() { enterFlag_ = 1; }
  void SetSpace() { spaceFlag_ = 1; }
  void SetShiftHeld(int held) { shiftHeld_ = held; }
  void SetCtrlHeld(int held) { ctrlHeld_ = held; }
  int IsShiftHeld() const { return shiftHeld_; }
  int IsCtrlHeld() const { return ctrlHeld_; }
  int GetEnter() const { return enterFlag_; }
  int GetSpace() const { return spaceFlag_; }

 private:
  const Links links_;
  Settings settings_;
  std::unique_ptr<CMouseStatus> mouseStatus_;
  std::unique_ptr<CMyKeyStatus> keyStatus_;
  std::unique_ptr<CInputStatus> inputStatus_;
  int pressed_[3] = {};
  int wheelFlag_ = 0, wheelDelta_ = 0;
  // Wheel turns are ignored while either count-down runs (after a screen
  // switch, and during the stall guard).
  int wheelCountdown_ = 0;
  int backLogDisableCountdown_ = 0;
  int enterFlag_ = 0, spaceFlag_ = 0, shiftHeld_ = 0, ctrlHeld_ = 0;
  // The stall guard's wall-clock second of the previous frame (0 none).
  int64_t lastWallSecond_ = 0;
};
