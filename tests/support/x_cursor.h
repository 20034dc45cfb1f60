// The X server's cursor as a player sees it, for tests on a virtual
// display: the image the XFixes extension reports for the pointer's place,
// and the screen with that cursor drawn over it. Link X11 and Xfixes and
// compile x_cursor.cpp into the test that uses it (the X headers stay there).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct XCursorShot {
  bool ok = false;
  std::string error;    // why nothing could be read
  int width = 0, height = 0;
  int opaque = 0;       // pixels of the cursor with some alpha
  int x = 0, y = 0;     // the pointer on the screen
  std::vector<uint32_t> argb;  // width * height, premultiplied as X gives it
};

// The cursor shown now on the display named by $DISPLAY.
XCursorShot ReadXCursor();

// The whole screen with the cursor drawn over it, as 0x00RRGGBB rows.
bool GrabScreenWithCursor(std::vector<uint32_t>* pixels, int* width, int* height,
                          std::string* error);

}  // namespace testsupport
