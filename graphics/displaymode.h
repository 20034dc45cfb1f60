// Switching between a window and full screen. Full screen is the desktop's
// own mode with the game's frame scaled and letterboxed, so the display
// never changes resolution; while full screen the window reports the game's
// size as the current mode. The game object's ToFullScreen and
// ToWindowScreen services run these with its own values.
#pragma once

#include <functional>
#include <memory>

#include "graphics/presentation.h"

namespace platform {
class Window;
}

namespace displaymode {

// What a switch reads of the game object, and the presentation it replaces.
struct State {
  platform::Window* window = nullptr;
  int width = 0, height = 0, bpp = 32;  // the game screen
  int windowLeft = 0, windowTop = 0;    // client origin remembered for window mode
  // What SetFullScreenSize, SetClipLeftTop and SetClipRightBottom last
  // received (the virtual desktop measured at start-up).
  int fullScreenWidth = 0, fullScreenHeight = 0;
  int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
  std::unique_ptr<CDirectDrawScreen> screen;
  // Where ToWindowScreen notes how far it got ("ToWindowScreen Start", "Mid
  // 1" to "Mid 6", "End"): the game's window-message log. Null: nowhere.
  std::function<void(const char*)> trace;
};

// Each re-creates the presentation in its new mode and returns 1, or shows
// its failure box once, goes on in whatever mode the window is in and
// returns 0. The screen buffer is not touched; the caller asks for a full
// redraw.
int ToFullScreen(State* state);
int ToWindowScreen(State* state);

}  // namespace displaymode
