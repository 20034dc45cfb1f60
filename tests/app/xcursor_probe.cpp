// xcursor_probe [--screen FILE]
// Prints the cursor the X server shows now, as a player sees it:
//   cursor WIDTHxHEIGHT opaque N at X,Y
// (N: pixels with some alpha; 0 is an empty cursor). With --screen it also
// writes the whole screen with that cursor drawn over it as a PNG file.
// Exit status 0; 2 when there is no display or no XFixes, or the file
// cannot be written.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/x_cursor.h"

int main(int argc, char** argv) {
  std::string screen;
  if (argc == 3 && std::strcmp(argv[1], "--screen") == 0) {
    screen = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: xcursor_probe [--screen FILE.png]\n");
    return 2;
  }
  const testsupport::XCursorShot cursor = testsupport::ReadXCursor();
  if (!cursor.ok) {
    std::fprintf(stderr, "xcursor_probe: %s\n", cursor.error.c_str());
    return 2;
  }
  std::printf("cursor %dx%d opaque %d at %d,%d\n", cursor.width, cursor.height, cursor.opaque,
              cursor.x, cursor.y);
  if (screen.empty()) return 0;
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  std::string error;
  if (!testsupport::GrabScreenWithCursor(&pixels, &w, &h, &error)) {
    std::fprintf(stderr, "xcursor_probe: %s\n", error.c_str());
    return 2;
  }
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_BGRA;
  if (!png_image_write_to_file(&image, screen.c_str(), 0, pixels.data(), w * 4, nullptr)) {
    std::fprintf(stderr, "xcursor_probe: cannot write %s: %s\n", screen.c_str(), image.message);
    return 2;
  }
  return 0;
}
