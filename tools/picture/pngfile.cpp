#include "pngfile.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace dwqtool {

namespace {
// Colour-profile and other warnings of libpng say nothing about the
// picture the game gets.
void IgnorePngWarning(png_structp, png_const_charp) {}
}  // namespace

bool ReadPngFile(const std::string& path, Picture* out, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *error = "cannot open the file";
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnorePngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    std::fclose(file);
    *error = "out of memory";
    return false;
  }
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    *error = "not a PNG, or a damaged one";
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int colourType = png_get_color_type(png, info);
  const bool hasAlpha =
      (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  if (!(colourType & PNG_COLOR_MASK_ALPHA)) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (width > 65535 || height > 65535 || png_get_rowbytes(png, info) != width * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    *error = "the picture is too large, or of a kind this tool does not read";
    return false;
  }
  rgba.resize(static_cast<size_t>(width) * height * 4);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = rgba.data() + static_cast<size_t>(y) * width * 4;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);

  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  const size_t count = static_cast<size_t>(width) * height;
  out->pixels.resize(count);
  out->alpha.clear();
  if (hasAlpha) out->alpha.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &rgba[i * 4];
    out->pixels[i] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    if (hasAlpha) out->alpha[i] = p[3];
  }
  return true;
}

}  // namespace dwqtool
