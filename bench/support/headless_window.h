// A headless window of a given client size for the presentation benchmarks.
#pragma once

#include "platform/headless/headless.h"
#include "platform/system.h"

namespace benchsupport {

inline platform::Window* HeadlessWindow(int width, int height) {
  platform::InstallHeadless();
  platform::WindowDesc desc;
  desc.clientWidth = width;
  desc.clientHeight = height;
  return platform::CreateWindow(desc);
}

}  // namespace benchsupport
