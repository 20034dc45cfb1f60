#include "graphics/pngreader.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <new>

namespace {

constexpr int64_t kMegabyte = int64_t{1} << 20;
// Spare bytes behind the row buffer.
constexpr int64_t kRowSlack = 4352;
// Deflate gives at most 1032 bytes for one byte of stream: rows larger than
// that cannot be in the stream, whatever its header says.
constexpr int64_t kMaxInflation = 1032;

struct Source {
  platform::ByteReader* in;
  int64_t used;
};

// libpng's error callback must not return; it jumps back to the guard below.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, size_t n) {
  Source* source = static_cast<Source*>(png_get_io_ptr(png));
  if (!source->in->Read(out, n)) png_error(png, "the stream is cut short");
  source->used += static_cast<int64_t>(n);
}

// Each libpng call that may fail runs under its own jump target, so an error
// unwinds only libpng's frames and the read callback above, none of which
// holds anything to release.
bool GuardedReadInfo(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  return true;
}

bool GuardedReadImage(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

}  // namespace

struct CPngReader::Stream {
  png_structp png;
  png_infop info;
  Source source;
  int expectWidth;
  int expectHeight;
};

CPngReader::CPngReader(int megabytes) {
  const int64_t bytes = std::clamp(megabytes, 0, 1024) * kMegabyte;
  rowBuffer_ = new (std::nothrow) unsigned char[static_cast<size_t>(bytes + kRowSlack)];
  rowBufferCapacity_ = rowBuffer_ ? static_cast<int>(bytes) : 0;
  rowPointers_ = new (std::nothrow) unsigned char*[2048];
  rowPointerCapacity_ = rowPointers_ ? 2048 : 0;
  colours_ = new (std::nothrow) uint32_t[256];
  if (colours_)
    for (uint32_t i = 0; i < 256; ++i) colours_[i] = i * 0x010101u;
}

CPngReader::~CPngReader() {
  delete[] rowBuffer_;
  delete[] rowPointers_;
  delete[] colours_;
}

bool CPngReader::Grow(int64_t pitch, int height) {
  const int64_t need = pitch * height;
  if (need > INT32_MAX - kMegabyte - kRowSlack) return false;
  if (!rowBuffer_ || need > rowBufferCapacity_) {
    // Whole megabytes, so that a run of pictures settles on one block.
    const int64_t capacity = (need + kMegabyte - 1) / kMegabyte * kMegabyte;
    unsigned char* block =
        new (std::nothrow) unsigned char[static_cast<size_t>(capacity + kRowSlack)];
    if (!block) return false;
    delete[] rowBuffer_;
    rowBuffer_ = block;
    rowBufferCapacity_ = static_cast<int>(capacity);
  }
  if (!rowPointers_ || height > rowPointerCapacity_) {
    unsigned char** pointers = new (std::nothrow) unsigned char*[static_cast<size_t>(height)];
    if (!pointers) return false;
    delete[] rowPointers_;
    rowPointers_ = pointers;
    rowPointerCapacity_ = height;
  }
  for (int i = 0; i < height; ++i) rowPointers_[i] = rowBuffer_ + pitch * i;
  return true;
}

int CPngReader::Read(platform::ByteReader* in, int expectWidth, int expectHeight) {
  valid_ = false;
  bytesRead_ = 0;
  error_ = nullptr;
  alphaFlag_ = 0;
  transFlag_ = 0;
  if (!in || !colours_) {
    error_ = "the PNG reader has nothing to read";
    return 0;
  }
  Stream stream{nullptr, nullptr, {in, 0}, expectWidth, expectHeight};
  stream.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!stream.png) {
    error_ = "libpng cannot start";
    return 0;
  }
  stream.info = png_create_info_struct(stream.png);
  if (!stream.info) {
    png_destroy_read_struct(&stream.png, nullptr, nullptr);
    error_ = "libpng cannot start";
    return 0;
  }
  png_set_read_fn(stream.png, &stream.source, ReadData);
  const bool ok = ReadStream(&stream);
  png_destroy_read_struct(&stream.png, &stream.info, nullptr);
  bytesRead_ = static_cast<int>(stream.source.used);
  if (!ok && !error_) error_ = "the PNG stream is damaged or cut short";
  valid_ = ok;
  return ok ? 1 : 0;
}

bool CPngReader::ReadStream(Stream* s) {
  png_structp png = s->png;
  png_infop info = s->info;
  if (!GuardedReadInfo(png, info)) return false;
  png_uint_32 width = 0, height = 0;
  int depth = 0, type = 0;
  if (!png_get_IHDR(png, info, &width, &height, &depth, &type, nullptr, nullptr, nullptr))
    return false;
  if ((s->expectWidth || s->expectHeight) &&
      (width != static_cast<png_uint_32>(s->expectWidth) ||
       height != static_cast<png_uint_32>(s->expectHeight))) {
    error_ = "the PNG's size differs from the picture header's";
    return false;
  }
  int channels = 0, alpha = 0;
  switch (type) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      channels = 1;
      break;
    case PNG_COLOR_TYPE_RGB:
      channels = 3;
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      channels = 2;
      alpha = 1;
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      channels = 4;
      alpha = 1;
      break;
    default:
      return false;
  }
  if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return false;
  const int64_t pitch = (int64_t{width} * depth * channels + 31) / 32 * 4;
  const int64_t rowBytes = (int64_t{width} * depth * channels + 7) / 8;
  if (rowBytes * height > s->source.in->Remaining() * kMaxInflation + 4096) {
    error_ = "the PNG is larger than its stream can hold";
    return false;
  }
  if (!Grow(pitch, static_cast<int>(height))) {
    error_ = "the PNG is too large, or memory runs out";
    return false;
  }
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  bitDepth_ = depth;
  colourType_ = type;
  channels_ = channels;
  pitch_ = static_cast<int>(pitch);
  alphaFlag_ = alpha;

  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_PALETTE) {
    png_bytep alphas = nullptr;
    int count = 0;
    png_color_16p colour = nullptr;
    if (png_get_tRNS(png, info, &alphas, &count, &colour) & PNG_INFO_tRNS) {
      if (type == PNG_COLOR_TYPE_PALETTE) {
        count = alphas ? std::clamp(count, 0, 256) : 0;
        std::fill(transAlpha_, transAlpha_ + 256, 255);
        std::copy(alphas, alphas + count, transAlpha_);
      } else if (colour) {
        transGrey_ = colour->gray;
        transRed_ = colour->red;
        transGreen_ = colour->green;
        transBlue_ = colour->blue;
      }
      transFlag_ = 1;
      alphaFlag_ = 1;
    }
  }
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int count = 0;
    if (!(png_get_PLTE(png, info, &palette, &count) & PNG_INFO_PLTE)) count = 0;
    count = palette ? std::clamp(count, 0, 256) : 0;
    for (int i = 0; i < count; ++i)
      colours_[i] =
          uint32_t{palette[i].red} << 16 | uint32_t{palette[i].green} << 8 | palette[i].blue;
    std::fill(colours_ + count, colours_ + 256, 0u);
  }
  return GuardedReadImage(png, rowPointers_);
}

int CPngReader::Sample(const unsigned char* row, int x, int depth) {
  const int perByte = 8 / depth;
  const int shift = 8 - depth * (x % perByte + 1);
  return (row[x / perByte] >> shift) & ((1 << depth) - 1);
}

void CPngReader::ToPixels(const PixelTarget& target) {
  if (!valid_ || !target.pixels || target.pitch < target.width) return;
  const int w = std::min(width_, target.width), depth = bitDepth_;
  const int rows = std::min(height_, target.height);
  const int bytes = depth / 8;  // per sample, 0 below 8 bits
  for (int y = 0; y < rows; ++y) {
    const unsigned char* row = rowPointers_[y];
    uint32_t* out = target.pixels + static_cast<size_t>(y) * static_cast<size_t>(target.pitch);
    switch (colourType_) {
      case PNG_COLOR_TYPE_PALETTE:
        for (int x = 0; x < w; ++x) out[x] = colours_[depth == 8 ? row[x] : Sample(row, x, depth)];
        break;
      case PNG_COLOR_TYPE_GRAY:
      case PNG_COLOR_TYPE_GRAY_ALPHA:
        if (bytes) {
          const int step = bytes * channels_;
          for (int x = 0; x < w; ++x) out[x] = row[x * step] * 0x010101u;
        } else {
          // Low depths widen by repeating their bits.
          const uint32_t widen = 0xFFFFFFu / ((1u << depth) - 1);
          for (int x = 0; x < w; ++x) out[x] = static_cast<uint32_t>(Sample(row, x, depth)) * widen;
        }
        break;
      default: {  // RGB and RGBA, high bytes at 16 bits
        const int step = bytes * channels_;
        for (int x = 0; x < w; ++x) {
          const unsigned char* p = row + x * step;
          out[x] = uint32_t{p[0]} << 16 | uint32_t{p[bytes]} << 8 | p[2 * bytes];
        }
        break;
      }
    }
  }
}

void CPngReader::ExtractAlpha(unsigned char* mask) {
  if (!valid_ || !mask) return;
  const int w = width_, depth = bitDepth_;
  const int bytes = depth / 8;
  const bool alphaChannel =
      colourType_ == PNG_COLOR_TYPE_GRAY_ALPHA || colourType_ == PNG_COLOR_TYPE_RGB_ALPHA;
  if (!alphaChannel && !(alphaFlag_ && transFlag_)) return;
  for (int y = 0; y < height_; ++y) {
    const unsigned char* row = rowPointers_[y];
    unsigned char* out = mask + static_cast<size_t>(y) * w;
    if (alphaChannel) {
      const int step = bytes * channels_, at = bytes * (channels_ - 1);
      for (int x = 0; x < w; ++x) out[x] = row[x * step + at];
      continue;
    }
    switch (colourType_) {
      case PNG_COLOR_TYPE_PALETTE:
        for (int x = 0; x < w; ++x)
          out[x] = transAlpha_[depth == 8 ? row[x] : Sample(row, x, depth)];
        break;
      case PNG_COLOR_TYPE_GRAY:
        for (int x = 0; x < w; ++x) {
          const int v = depth == 16  ? row[2 * x] << 8 | row[2 * x + 1]
                        : depth == 8 ? row[x]
                                     : Sample(row, x, depth);
          out[x] = v == transGrey_ ? 0 : 255;
        }
        break;
      default: {  // RGB
        for (int x = 0; x < w; ++x) {
          const unsigned char* p = row + x * 3 * bytes;
          const int r = bytes == 2 ? p[0] << 8 | p[1] : p[0];
          const int g = bytes == 2 ? p[2] << 8 | p[3] : p[1];
          const int b = bytes == 2 ? p[4] << 8 | p[5] : p[2];
          out[x] = r == transRed_ && g == transGreen_ && b == transBlue_ ? 0 : 255;
        }
        break;
      }
    }
  }
}
