// Input side of the SDL backend: SDL events turned into window messages,
// SDL keys into virtual-key codes, window positions into game pixels.
// Only the backend and its tests include this (it pulls in SDL).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace platform::sdl {

// Where the game's frame lands in an output of outW x outH: scaled to fit
// with its aspect kept and centred, black bars on the remaining sides.
struct Viewport {
  int x = 0, y = 0, w = 0, h = 0;
  friend bool operator==(const Viewport&, const Viewport&) = default;
};
Viewport FitFrame(int outW, int outH, int gameW, int gameH);

// A window position (in the same units as outW/outH) as a game pixel, with
// scaling and letterboxing undone; outside the frame gives values outside
// 0..gameW-1 / 0..gameH-1.
Point WindowToGame(int wx, int wy, int outW, int outH, int gameW, int gameH);
// The window position that maps back to the game pixel (gx, gy).
Point GameToWindow(int gx, int gy, int outW, int outH, int gameW, int gameH);

// Virtual-key code of an SDL key, 0 for keys the engine has no code for.
int VirtualKeyFromSdl(const SDL_Keysym& key);
// The SDL key that gives a virtual-key code, SDLK_UNKNOWN for codes no key
// gives.
SDL_Keycode SdlKeyFromVirtualKey(int vk);

// Keeps what the translation needs between events: the target window, the
// view geometry, the held keys and buttons, and the renderer's losses.
class InputTranslator {
 public:
  InputTranslator();

  void SetWindow(Window* window) { window_ = window; }
  Window* GetWindow() const { return window_; }
  // Window size (in SDL window units) and game frame size for the mapping.
  void SetView(int windowW, int windowH, int gameW, int gameH);

  // Appends the messages that one SDL event stands for (none for events the
  // engine has no use for). A pointer that moves over the client area or
  // enters the window also brings a WM_SETCURSOR, before its WM_MOUSEMOVE.
  void Translate(const SDL_Event& event, std::vector<Message>* out);

  // Keys held according to the events seen (mouse buttons are not here:
  // the backend asks SDL for those, so a release outside the window counts).
  bool KeyHeld(int vk) const;
  // MK_* mask of the buttons held according to the events seen.
  uintptr_t ButtonMask() const { return buttons_; }

  // True once after the renderer reported lost targets (or a lost device).
  bool TakeTargetLost();
  // True once after the renderer reported a lost device (all textures gone).
  bool TakeDeviceReset();

 private:
  void Emit(std::vector<Message>* out, uint32_t message, uintptr_t wParam, intptr_t lParam) const;
  intptr_t PackPosition(int wx, int wy) const;
  // WM_SETCURSOR for a pointer over the client area.
  void EmitSetCursor(std::vector<Message>* out) const;
  // A window position inside the window (letterbox bars included).
  bool InClientArea(int wx, int wy) const;

  Window* window_ = nullptr;
  int windowW_ = 0, windowH_ = 0, gameW_ = 0, gameH_ = 0;
  bool held_[256];
  uintptr_t buttons_ = 0;
  bool targetLost_ = false;
  bool deviceReset_ = false;
};

}  // namespace platform::sdl
