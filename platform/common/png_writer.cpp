#include "platform/common/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform {

bool WritePngFile(const std::string& hostPath, const FrameView& frame) {
  if (!frame.pixels || frame.width <= 0 || frame.height <= 0) return false;
  FILE* f = std::fopen(hostPath.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  std::vector<unsigned char> row(static_cast<size_t>(frame.width) * 3);
  // libpng reports errors by longjmp; nothing here owns resources that the
  // jump would skip besides what the cleanup below releases.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const unsigned char* base = reinterpret_cast<const unsigned char*>(frame.pixels);
  for (int y = 0; y < frame.height; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(base + static_cast<size_t>(y) * frame.pitch);
    for (int x = 0; x < frame.width; ++x) {
      row[x * 3 + 0] = static_cast<unsigned char>(src[x] >> 16);
      row[x * 3 + 1] = static_cast<unsigned char>(src[x] >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace platform
