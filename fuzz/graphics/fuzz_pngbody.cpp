// The PNG reader on arbitrary streams: read, then pixels and mask for what
// it accepted. libpng's errors must come back as a failed read.
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/pngreader.h"

namespace {
CPngReader* g_reader = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_reader = new CPngReader(1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  platform::ByteReader in(data, size);
  const int ok = g_reader->Read(&in);
  if (!ok) {
    if (!g_reader->GetError()) __builtin_trap();
    return 0;
  }
  if (g_reader->GetBytesRead() > static_cast<int>(size)) __builtin_trap();
  const size_t count = static_cast<size_t>(g_reader->GetWidth()) * g_reader->GetHeight();
  if (count > (size_t{1} << 24)) return 0;  // keep a run's memory bounded
  std::vector<uint32_t> pixels(count);
  std::vector<unsigned char> mask(count);
  g_reader->ToPixels({pixels.data(), g_reader->GetWidth(), g_reader->GetHeight(), g_reader->GetWidth()});
  g_reader->ExtractAlpha(mask.data());
  return 0;
}
