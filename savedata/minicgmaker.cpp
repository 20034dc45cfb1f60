#include "savedata/minicgmaker.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kFastMinBlock = 2;
constexpr int kFastMaxBlock = 11;  // 121 * 255 still fits a signed 16-bit lane

// Signed 16 x 16 multiply, high 16 bits, then saturated to a byte: one lane
// of the fast path.
inline uint32_t FastLane(int sum, int reciprocal) {
  const int16_t a = static_cast<int16_t>(sum);
  const int16_t b = static_cast<int16_t>(reciprocal);
  const int high = (static_cast<int32_t>(a) * b) >> 16;
  return static_cast<uint32_t>(high < 0 ? 0 : high > 255 ? 255 : high);
}

}  // namespace

CMiniCGMaker::CMiniCGMaker()
    : sourceWidth_(800), sourceHeight_(600), width_(132), height_(100), block_(6), fastPath_(0) {
  SetBlockSize(6);
}

void CMiniCGMaker::SetSourceSize(int width, int height) {
  sourceWidth_ = width;
  sourceHeight_ = height;
}

void CMiniCGMaker::SetMiniCGSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void CMiniCGMaker::SetBlockSize(int block) {
  block_ = block;
  const int b = block > 0 ? block : 1;
  const bool tiles = sourceWidth_ / b == width_ && sourceHeight_ / b == height_;
  fastPath_ = b >= kFastMinBlock && b <= kFastMaxBlock && (tiles || IsStandardSize()) ? 1 : 0;
}

int CMiniCGMaker::IsStandardSize() const {
  return block_ == 6 && sourceWidth_ == 800 && sourceHeight_ == 600 && width_ == 132 &&
                 height_ == 100
             ? 1
             : 0;
}

void CMiniCGMaker::Make(const uint32_t* source, uint32_t* out) const {
  if (!source || !out || sourceWidth_ <= 0 || sourceHeight_ <= 0 || width_ <= 0 || height_ <= 0)
    return;
  if (fastPath_)
    MakeFast(source, out);
  else
    MakeGeneral(source, out);
}

namespace {

// The fast path lane by lane: blocks of b x b centred on the source, each
// lane summed and multiplied by the 16-bit reciprocal.
inline void FastBlocks(const uint32_t* source, int sourceWidth, int sourceHeight, int width,
                       int height, int b, uint32_t* out) {
  const int left = (sourceWidth - b * width) / 2;
  const int top = (sourceHeight - b * height) / 2;
  const int r = CMiniCGMaker::Reciprocal(b);
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      const uint32_t* block = source + static_cast<int64_t>(top + i * b) * sourceWidth + left + j * b;
      int sum[4] = {};
      for (int y = 0; y < b; ++y)
        for (int x = 0; x < b; ++x) {
          const uint32_t p = block[static_cast<int64_t>(y) * sourceWidth + x];
          for (int lane = 0; lane < 4; ++lane) sum[lane] += static_cast<int>(p >> (8 * lane) & 0xFF);
        }
      uint32_t pixel = 0;
      for (int lane = 0; lane < 4; ++lane) pixel |= FastLane(sum[lane], r) << (8 * lane);
      *out++ = pixel;
    }
  }
}

}  // namespace

void CMiniCGMaker::MakeFastPlain(const uint32_t* source, uint32_t* out) const {
  FastBlocks(source, sourceWidth_, sourceHeight_, width_, height_, block_, out);
}

void CMiniCGMaker::Make640x480(const uint32_t* source, uint32_t* out) {
  if (source && out) FastBlocks(source, 640, 480, 106, 80, 6, out);
}

void CMiniCGMaker::Make800x600(const uint32_t* source, uint32_t* out) {
  if (source && out) FastBlocks(source, 800, 600, 132, 100, 6, out);
}

void CMiniCGMaker::MakeFast(const uint32_t* source, uint32_t* out) const {
#if defined(__SSE2__)
  const int b = block_;
  const int left = (sourceWidth_ - b * width_) / 2;
  const int top = (sourceHeight_ - b * height_) / 2;
  const __m128i r = _mm_set1_epi16(static_cast<int16_t>(Reciprocal(b)));
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < height_; ++i) {
    for (int j = 0; j < width_; ++j) {
      const uint32_t* block =
          source + static_cast<int64_t>(top + i * b) * sourceWidth_ + left + j * b;
      // Two pixels per step in the two halves of the register; an odd
      // block's last pixel goes into the low half alone.
      __m128i sum = zero;
      for (int y = 0; y < b; ++y) {
        const uint32_t* row = block + static_cast<int64_t>(y) * sourceWidth_;
        int x = 0;
        for (; x + 1 < b; x += 2)
          sum = _mm_add_epi16(
              sum, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x)),
                                     zero));
        if (x < b)
          sum = _mm_add_epi16(
              sum, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(row[x])), zero));
      }
      sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
      const __m128i mean = _mm_mulhi_epi16(sum, r);
      *out++ = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mean, mean)));
    }
  }
#else
  MakeFastPlain(source, out);
#endif
}

void CMiniCGMaker::MakeGeneral(const uint32_t* source, uint32_t* out) const {
  int cw = sourceWidth_ / width_;
  int ch = sourceHeight_ / height_;
  if (cw < 1) cw = 1;
  if (ch < 1) ch = 1;
  const int64_t area = static_cast<int64_t>(cw) * ch;
  for (int i = 0; i < height_; ++i) {
    const int64_t top = static_cast<int64_t>(i) * sourceHeight_ / height_;
    for (int j = 0; j < width_; ++j) {
      const int64_t left = static_cast<int64_t>(j) * sourceWidth_ / width_;
      int64_t red = 0, green = 0, blue = 0;
      for (int y = 0; y < ch && top + y < sourceHeight_; ++y) {
        const uint32_t* row = source + (top + y) * sourceWidth_ + left;
        for (int x = 0; x < cw && left + x < sourceWidth_; ++x) {
          red += row[x] >> 16 & 0xFF;
          green += row[x] >> 8 & 0xFF;
          blue += row[x] & 0xFF;
        }
      }
      *out++ = static_cast<uint32_t>(red / area) << 16 | static_cast<uint32_t>(green / area) << 8 |
               static_cast<uint32_t>(blue / area);
    }
  }
}
