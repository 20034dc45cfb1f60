#include "dwqwriter.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "graphics/dwqformat.h"

namespace dwqtool {
namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 32; i += 8) out->push_back(static_cast<uint8_t>(v >> i));
}

void Set32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

int Stride(int bits, int width) { return ((bits / 8) * width + 3) & ~3; }

bool CheckSize(int width, int height, size_t pixels, std::string* error) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
    *error = "the picture size must be 1..65535 each way";
    return false;
  }
  if (pixels != static_cast<size_t>(width) * height) {
    *error = "the pixel count does not match the size";
    return false;
  }
  return true;
}

std::vector<uint8_t> OpaqueAlpha(const std::vector<uint8_t>& alpha, size_t count) {
  return alpha.empty() ? std::vector<uint8_t>(count, 255) : alpha;
}

// The file around a finished body.
std::vector<uint8_t> Assemble(const Options& options, int width, int height,
                              const std::vector<uint8_t>& body, const std::vector<uint8_t>& alpha) {
  const bool mask = options.mask || options.body == BodyType::kPacked;
  const std::vector<uint8_t> fullAlpha = OpaqueAlpha(alpha, static_cast<size_t>(width) * height);
  Box box = options.autoBox ? OpaqueBox(fullAlpha, width, height) : options.box;
  std::vector<uint8_t> out;
  AppendHeader(&out, TypeFor(options.body, mask), options.headerBox, box,
               static_cast<int32_t>(body.size()), width, options.negativeHeight ? -height : height);
  out.insert(out.end(), body.begin(), body.end());
  if (mask) {
    std::vector<uint8_t> section = MaskSection(fullAlpha, width, height);
    out.insert(out.end(), section.begin(), section.end());
  }
  return out;
}

}  // namespace

char TypeFor(BodyType body, bool mask) {
  if (body == BodyType::kPacked) return dwq::kTypePacked;
  return mask ? dwq::kTypeBmpMask : dwq::kTypeBmp;
}

void AppendHeader(std::vector<uint8_t>* out, char type, bool boxFlag, const Box& box,
                  int32_t bodySize, int32_t width, int32_t height) {
  const size_t at = out->size();
  out->resize(at + dwq::kHeaderSize, 0);
  const int32_t absHeight = height < 0 ? -height : height;
  if (boxFlag) {
    Set32(out, at + dwq::kBoxTop, static_cast<uint32_t>(box.top));
    Set32(out, at + dwq::kBoxLeft, static_cast<uint32_t>(box.left));
    Set32(out, at + dwq::kBoxRightMargin, static_cast<uint32_t>(width - box.right));
    Set32(out, at + dwq::kBoxBottomMargin, static_cast<uint32_t>(absHeight - box.bottom));
    (*out)[at + dwq::kBoxFlag] = static_cast<uint8_t>(dwq::kBoxFlagSet);
  }
  Set32(out, at + dwq::kBodySize, static_cast<uint32_t>(bodySize));
  Set32(out, at + dwq::kWidth, static_cast<uint32_t>(width));
  Set32(out, at + dwq::kHeight, static_cast<uint32_t>(height));
  (*out)[at + dwq::kType] = static_cast<uint8_t>(type);
}

void AppendBmpHeaders(std::vector<uint8_t>* out, int bits, int32_t width, int32_t height,
                      uint32_t clrUsed, uint32_t paletteBytes, uint32_t imageBytes) {
  const uint32_t offBits = dwq::kBmpHeadersSize + paletteBytes;
  Put16(out, 0x4D42);  // "BM"
  Put32(out, offBits + imageBytes);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offBits);
  Put32(out, dwq::kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);  // no compression
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, clrUsed);
  Put32(out, 0);
}

void AppendPalette(std::vector<uint8_t>* out, const std::vector<uint32_t>& colours, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t c = i < colours.size() ? colours[i] : 0;
    out->push_back(static_cast<uint8_t>(c));        // blue
    out->push_back(static_cast<uint8_t>(c >> 8));   // green
    out->push_back(static_cast<uint8_t>(c >> 16));  // red
    out->push_back(0);
  }
}

std::vector<uint8_t> PackRows(const uint8_t* rows, int width, int height) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> previous(static_cast<size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * width;
    int x = 0;
    while (x < width) {
      const uint8_t diff = row[x] ^ previous[x];
      if (diff) {
        out.push_back(diff);
        ++x;
        continue;
      }
      int run = 0;
      while (x + run < width && run < 255 && (row[x + run] ^ previous[x + run]) == 0) ++run;
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(run));
      x += run;
    }
    previous.assign(row, row + width);
  }
  return out;
}

std::vector<uint8_t> MaskSection(const std::vector<uint8_t>& alpha, int width, int height) {
  std::vector<uint32_t> grey(256);
  for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101u;
  const std::vector<uint8_t> coded = PackRows(alpha.data(), width, height);
  std::vector<uint8_t> out;
  AppendBmpHeaders(&out, 8, width, height, 0, 256 * 4, static_cast<uint32_t>(coded.size()));
  AppendPalette(&out, grey, 256);
  out.insert(out.end(), coded.begin(), coded.end());
  return out;
}

Box OpaqueBox(const std::vector<uint8_t>& alpha, int width, int height) {
  Box box{width, height, 0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!alpha[static_cast<size_t>(y) * width + x]) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  if (box.right == 0) box = Box{};
  return box;
}

bool MakeDwqIndexed(const Indexed& picture, const std::vector<uint8_t>& alpha,
                    const Options& options, std::vector<uint8_t>* out, std::string* error) {
  const int w = picture.width, h = picture.height;
  if (!CheckSize(w, h, picture.indices.size(), error)) return false;
  if (!alpha.empty() && alpha.size() != picture.indices.size()) {
    *error = "the alpha count does not match the size";
    return false;
  }
  if (options.body == BodyType::kBmp24) {
    *error = "an 8-bit picture needs an 8-bit body";
    return false;
  }
  if (picture.palette.empty() || picture.palette.size() > 256) {
    *error = "the palette must have 1..256 colours";
    return false;
  }
  for (uint8_t index : picture.indices)
    if (index >= picture.palette.size() && !options.fullPalette) {
      *error = "an index lies beyond the stored palette";
      return false;
    }
  const size_t entries = options.fullPalette ? 256 : picture.palette.size();
  const uint32_t clrUsed = options.fullPalette ? 0 : static_cast<uint32_t>(entries);
  const int32_t biHeight = options.negativeHeight ? -h : h;

  std::vector<uint8_t> data;
  if (options.body == BodyType::kPacked) {
    data = PackRows(picture.indices.data(), w, h);
  } else {
    const int stride = Stride(8, w);
    data.assign(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
      std::copy_n(picture.indices.begin() + static_cast<ptrdiff_t>(y) * w, w,
                  data.begin() + static_cast<ptrdiff_t>(y) * stride);
  }
  std::vector<uint8_t> body;
  AppendBmpHeaders(&body, 8, w, biHeight, clrUsed, static_cast<uint32_t>(entries * 4),
                   static_cast<uint32_t>(data.size()));
  AppendPalette(&body, picture.palette, entries);
  body.insert(body.end(), data.begin(), data.end());
  *out = Assemble(options, w, h, body, alpha);
  return true;
}

bool MakeDwq(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
             std::string* error) {
  const int w = picture.width, h = picture.height;
  if (!CheckSize(w, h, picture.pixels.size(), error)) return false;
  if (!picture.alpha.empty() && picture.alpha.size() != picture.pixels.size()) {
    *error = "the alpha count does not match the size";
    return false;
  }
  if (options.body != BodyType::kBmp24) {
    Indexed indexed{w, h, {}, {}};
    std::map<uint32_t, uint8_t> seen;
    indexed.indices.reserve(picture.pixels.size());
    for (uint32_t p : picture.pixels) {
      auto it = seen.find(p);
      if (it == seen.end()) {
        if (seen.size() == 256) {
          *error = "an 8-bit body holds at most 256 colours";
          return false;
        }
        it = seen.emplace(p, static_cast<uint8_t>(seen.size())).first;
        indexed.palette.push_back(p & 0xFFFFFF);
      }
      indexed.indices.push_back(it->second);
    }
    return MakeDwqIndexed(indexed, picture.alpha, options, out, error);
  }
  // 24-bit rows, top row first, each pixel red, green, blue.
  const int stride = Stride(24, w);
  std::vector<uint8_t> data(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.pixels[static_cast<size_t>(y) * w + x];
      uint8_t* at = &data[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
      at[0] = static_cast<uint8_t>(p >> 16);
      at[1] = static_cast<uint8_t>(p >> 8);
      at[2] = static_cast<uint8_t>(p);
    }
  std::vector<uint8_t> body;
  AppendBmpHeaders(&body, 24, w, options.negativeHeight ? -h : h, 0, 0,
                   static_cast<uint32_t>(data.size()));
  body.insert(body.end(), data.begin(), data.end());
  *out = Assemble(options, w, h, body, picture.alpha);
  return true;
}

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(hostPath.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace dwqtool
