// What the player did with mouse and keyboard since the last frame. The
// game's window handler writes it from window messages, the frame updates it
// once after the current mode's calculation step, and modes, buttons and
// mini-games read it. A press stays visible for exactly one calculation step.
#pragma once

#include <cstdint>

#include "platform/types.h"

class CMouseStatus {
 public:
  // Buttons: 0 left, 1 right, 2 middle.
  static constexpr int kButtons = 3;

  CMouseStatus();

  // Whether the desktop swaps the physical buttons. This host reports no
  // such setting, so the buttons are never taken as swapped.
  void CheckSwapButton();
  int GetSwapButtons() const { return swapButtons_; }

  // A position set makes it known; it is unknown until the first one, after
  // Clear(1) and after Forget (the pointer left the window).
  void SetPos(int x, int y);
  void GetPos(platform::Point* out) const;
  bool PosKnown() const { return posKnown_; }
  void Forget() { posKnown_ = false; }
  // Held or released; a press also counts as a click until the next Calcu.
  // Buttons outside 0..2 are ignored.
  void SetButton(int button, int down);
  // Held without a click (a button already down when the pointer came in).
  void SetTrig(int button, int value);
  void SetWheel(int n) { wheel_ = n; }
  int GetWheel() const { return wheel_; }

  // 0 for a button outside 0..2.
  int GetTrig(int button) const;
  int GetPrevTrig(int button) const;
  int GetClick(int button) const;
  // A left or right click; the middle button does not count.
  int GetAnyClick() const;

  // Clicks forgotten and every button taken as held in the previous frame;
  // with all, position, held flags and wheel are cleared too.
  void Clear(int all);
  // The once-per-frame update: this frame's held flags become the previous
  // ones, clicks are forgotten, and a button whose release never reached the
  // window (released outside it) is let go by its physical state.
  void Calcu();

 private:
  static bool Valid(int button) { return button >= 0 && button < kButtons; }

  int x_ = 0, y_ = 0;
  bool posKnown_ = false;
  int trig_[kButtons] = {};
  int prevTrig_[kButtons] = {};
  int click_[kButtons] = {};
  int wheel_ = 0;
  int swapButtons_ = 0;
};

// Key state by virtual-key code 0..255: bit 0 down, bit 1 pressed since the
// last clear. The game clears it once per frame.
class CMyKeyStatus {
 public:
  static constexpr int kKeys = 256;

  CMyKeyStatus() = default;
  virtual ~CMyKeyStatus() = default;

  // Down sets both bits (every auto-repeat sets "pressed" again); up clears
  // only "down". Codes outside 0..255 are ignored.
  void SetKey(int vk, int down);
  // With trigger: pressed since the last clear; without: down. 0 for codes
  // outside 0..255.
  int CheckKey(int vk, int trigger) const;
  void Clear();

 private:
  uint32_t keys_[kKeys] = {};
};

// The one input context handed to buttons, button groups and mini-games.
// It owns neither object.
class CInputStatus {
 public:
  CInputStatus() = default;
  virtual ~CInputStatus() = default;

  void SetMouseStatus(CMouseStatus* mouse) { mouse_ = mouse; }
  void SetKeyStatus(CMyKeyStatus* keys) { keys_ = keys; }
  CMouseStatus* GetMouseStatus() const { return mouse_; }
  CMyKeyStatus* GetKeyStatus() const { return keys_; }

 private:
  CMouseStatus* mouse_ = nullptr;
  CMyKeyStatus* keys_ = nullptr;
};
