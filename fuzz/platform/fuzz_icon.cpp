// Feeds arbitrary bytes to the window-icon reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sdl/sdl_icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::sdl::IconImage image;
  if (platform::sdl::DecodeIco(std::string_view(reinterpret_cast<const char*>(data), size), &image)) {
    // A decoded icon must be exactly as large as it says.
    if (image.argb.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
      __builtin_trap();
  }
  return 0;
}
