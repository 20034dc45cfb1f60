#include "support/x_cursor.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <memory>
#include <utility>

namespace testsupport {

namespace {

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

bool OpenWithFixes(DisplayHandle* out, std::string* error) {
  DisplayHandle display(XOpenDisplay(nullptr));
  if (!display) {
    *error = "no X display to open ($DISPLAY not set or refused)";
    return false;
  }
  int event = 0, fault = 0;
  if (!XFixesQueryExtension(display.get(), &event, &fault)) {
    *error = "the X server has no XFixes extension";
    return false;
  }
  *out = std::move(display);
  return true;
}

XCursorShot ReadFrom(Display* display) {
  XCursorShot shot;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    shot.error = "XFixesGetCursorImage gave nothing";
    return shot;
  }
  shot.ok = true;
  shot.width = image->width;
  shot.height = image->height;
  shot.x = image->x - image->xhot;
  shot.y = image->y - image->yhot;
  const size_t count = static_cast<size_t>(image->width) * image->height;
  shot.argb.resize(count);
  for (size_t i = 0; i < count; ++i) {
    // Each pixel sits in the low 32 bits of a long.
    shot.argb[i] = static_cast<uint32_t>(image->pixels[i] & 0xFFFFFFFFul);
    if (shot.argb[i] >> 24) ++shot.opaque;
  }
  XFree(image);
  return shot;
}

}  // namespace

XCursorShot ReadXCursor() {
  DisplayHandle display;
  XCursorShot shot;
  if (!OpenWithFixes(&display, &shot.error)) return shot;
  return ReadFrom(display.get());
}

bool GrabScreenWithCursor(std::vector<uint32_t>* pixels, int* width, int* height,
                          std::string* error) {
  DisplayHandle display;
  if (!OpenWithFixes(&display, error)) return false;
  Display* d = display.get();
  const Window root = DefaultRootWindow(d);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, root, &attributes)) {
    *error = "the root window's size cannot be read";
    return false;
  }
  const int w = attributes.width, h = attributes.height;
  XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h),
                            AllPlanes, ZPixmap);
  if (!image) {
    *error = "the screen cannot be read";
    return false;
  }
  pixels->assign(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      (*pixels)[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>(p & 0xFFFFFFul);
    }
  }
  XDestroyImage(image);
  const XCursorShot cursor = ReadFrom(d);
  if (cursor.ok) {
    for (int cy = 0; cy < cursor.height; ++cy) {
      for (int cx = 0; cx < cursor.width; ++cx) {
        const int x = cursor.x + cx, y = cursor.y + cy;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        const uint32_t c = cursor.argb[static_cast<size_t>(cy) * cursor.width + cx];
        const uint32_t a = c >> 24;
        uint32_t& dst = (*pixels)[static_cast<size_t>(y) * w + x];
        uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          const uint32_t s = (c >> shift) & 0xFF, t = (dst >> shift) & 0xFF;
          const uint32_t v = s + t * (255 - a) / 255;
          out |= (v > 255 ? 255 : v) << shift;
        }
        dst = out;
      }
    }
  }
  *width = w;
  *height = h;
  return true;
}

}  // namespace testsupport
