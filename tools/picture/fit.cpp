#include "fit.h"

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace dwqtool {

Crop CoverCrop(int width, int height, int targetWidth, int targetHeight) {
  Crop crop{0, 0, width, height};
  // Compare the shapes without rounding: width / height against the target's.
  const int64_t wide = int64_t{width} * targetHeight, tall = int64_t{height} * targetWidth;
  if (wide > tall) {
    crop.width = static_cast<int>((int64_t{height} * targetWidth + targetHeight / 2) / targetHeight);
    if (crop.width < 1) crop.width = 1;
    crop.x = (width - crop.width) / 2;
  } else if (tall > wide) {
    crop.height = static_cast<int>((int64_t{width} * targetHeight + targetWidth / 2) / targetWidth);
    if (crop.height < 1) crop.height = 1;
    crop.y = (height - crop.height) / 2;
  }
  return crop;
}

bool FitPicture(const Picture& in, int width, int height, Picture* out, std::string* error) {
  if (in.width <= 0 || in.height <= 0 || width <= 0 || height <= 0) {
    *error = "an empty picture cannot be fitted";
    return false;
  }
  const Crop crop = CoverCrop(in.width, in.height, width, height);
  // Planar G, B, R, A in and out, so the scaler only filters each plane and
  // no colour conversion touches the values.
  const size_t inCount = static_cast<size_t>(in.width) * static_cast<size_t>(in.height);
  std::vector<uint8_t> planes[4];
  for (auto& p : planes) p.resize(inCount);
  const bool hasAlpha = !in.alpha.empty();
  for (size_t i = 0; i < inCount; ++i) {
    const uint32_t c = in.pixels[i];
    planes[0][i] = static_cast<uint8_t>(c >> 8);
    planes[1][i] = static_cast<uint8_t>(c);
    planes[2][i] = static_cast<uint8_t>(c >> 16);
    planes[3][i] = hasAlpha ? in.alpha[i] : 255;
  }
  SwsContext* sws = sws_getContext(crop.width, crop.height, AV_PIX_FMT_GBRAP, width, height, AV_PIX_FMT_GBRAP,
                                   SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
  if (!sws) {
    *error = "libswscale cannot scale " + std::to_string(crop.width) + "x" + std::to_string(crop.height) +
             " to " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  const size_t offset = static_cast<size_t>(crop.y) * static_cast<size_t>(in.width) + static_cast<size_t>(crop.x);
  const uint8_t* src[4];
  int srcStride[4];
  const size_t outCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> scaled[4];
  uint8_t* dst[4];
  int dstStride[4];
  for (int k = 0; k < 4; ++k) {
    src[k] = planes[k].data() + offset;
    srcStride[k] = in.width;
    scaled[k].resize(outCount);
    dst[k] = scaled[k].data();
    dstStride[k] = width;
  }
  const int rows = sws_scale(sws, src, srcStride, 0, crop.height, dst, dstStride);
  sws_freeContext(sws);
  if (rows != height) {
    *error = "libswscale failed to scale the picture";
    return false;
  }
  Picture result{width, height, std::vector<uint32_t>(outCount), {}};
  for (size_t i = 0; i < outCount; ++i)
    result.pixels[i] = (uint32_t{scaled[2][i]} << 16) | (uint32_t{scaled[0][i]} << 8) | scaled[1][i];
  if (hasAlpha) result.alpha = std::move(scaled[3]);
  *out = std::move(result);
  return true;
}

}  // namespace dwqtool
