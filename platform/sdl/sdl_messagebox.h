// The SDL backend's message box: a window of its own whose text is drawn
// with the overlay's FreeType face. SDL's own box draws with the display's
// core X fonts, which hold no Japanese on most desktops (and none at all on
// a bare X server), so CP932 text came out as garbage or not at all.
// Only the backend and its tests include this (it pulls in SDL).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform::sdl {

class OverlayFont;

// One button of a box: the answer it gives, its label (CP932) and where it
// sits in the picture.
struct BoxButton {
  int answer = 0;
  std::string label;
  bool returnKey = false;  // Return gives this answer
  bool escapeKey = false;  // Escape and closing the box give this answer
  Rect area;
};

// A box as it is shown: the caption (the window's title, UTF-8) and the
// picture of its client area (0x00RRGGBB, width * height).
struct BoxPicture {
  std::string titleUtf8;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  std::vector<BoxButton> buttons;
  // Where each line of the text was drawn, and the line (CP932).
  std::vector<Rect> lineAreas;
  std::vector<std::string> lines;
};

// The buttons of a box style (MB_OK or MB_YESNO), left to right, before
// layout: OK, or はい and いいえ.
std::vector<BoxButton> BoxButtons(int style);

// The text's lines as the box shows them: split at line ends (CR LF, LF or
// CR) and wrapped by characters where a line is wider than maxWidth.
std::vector<std::string> BoxLines(OverlayFont& font, const std::string& cp932, int maxWidth);

// Lays out and draws a box (style MB_OK or MB_YESNO, with an icon flag);
// false when the font cannot draw.
bool DrawBox(OverlayFont& font, const std::string& text, const std::string& caption, int style,
             BoxPicture* out);

// Shows the picture in a window of its own (modal over parent, when given)
// until a button is clicked, Return or Escape is pressed or the box is
// closed; events of other windows wait until then, their input is dropped.
// Returns the answer, or -1 with the reason in *error when no window could
// be shown.
int RunBox(const BoxPicture& picture, SDL_Window* parent, std::string* error);

}  // namespace platform::sdl
