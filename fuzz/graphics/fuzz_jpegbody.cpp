// The JPEG decoder on arbitrary bodies, on both transform paths. One decoder
// serves every input, so tables left by one input meet the next, as they do
// between pictures in the game.
#include <cstddef>
#include <cstdint>

#include "graphics/jpegdecoder.h"
#include "graphics/picture.h"

namespace {
CJpegDecoder* g_decoder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_decoder = new CJpegDecoder();
  if (!g_decoder->CreateWorkArea()) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int floatPath : {0, 1}) {
    CJpegDecoder::SetNoMmx(floatPath);
    CPicture picture;
    if (g_decoder->Decode(data, size, &picture)) {
      // A decoded picture is whole: every pixel of its size is readable.
      const uint32_t* px = picture.GetPixelBuffer();
      const size_t count = static_cast<size_t>(picture.GetWidth()) * picture.GetHeight();
      uint32_t sum = 0;
      for (size_t i = 0; i < count; ++i) sum += px[i];
      if (sum == 0x12345678u) picture.ClearName();
    } else if (!g_decoder->GetError()) {
      __builtin_trap();  // a failure always says why
    }
  }
  return 0;
}
