// What the engine can read: the loader's limits on a finished picture file
// and the kinds of JPEG stream its decoder takes.
#include <cstdio>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/dwqformat.h"

namespace dwqtool {
namespace {

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// "what takes N bytes; the engine's decode buffer holds M: advice"
std::string TooLarge(const char* what, int64_t bytes, const char* advice) {
  return std::string(what) + " take " + Grouped(bytes) + " bytes; the engine's decode buffer holds " +
         Grouped(dwq::kDecodeBufferBytes) + ": " + advice;
}

int Be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

}  // namespace

std::string LoaderLimitProblem(const std::vector<uint8_t>& file) {
  if (file.size() < static_cast<size_t>(dwq::kHeaderSize)) return "the file has no header";
  const uint8_t* h = file.data();
  const char type = static_cast<char>(h[dwq::kType]);
  const int64_t bodySize = dwq::GetI32(h + dwq::kBodySize);
  int64_t width = dwq::GetI32(h + dwq::kWidth);
  int64_t height = dwq::GetI32(h + dwq::kHeight);
  if (height < 0) height = -height;
  const bool jpeg = type == dwq::kTypeJpeg || type == dwq::kTypeJpegMask;
  const bool png = type == dwq::kTypePng;
  const bool mask = type == dwq::kTypeBmpMask || type == dwq::kTypePacked ||
                    type == dwq::kTypeJpegMask;
  if (bodySize < 0 || static_cast<uint64_t>(bodySize) > file.size() - dwq::kHeaderSize)
    return "the body size does not fit the file";
  const uint8_t* body = h + dwq::kHeaderSize;
  int paletteBytes = 0, bits = 24;
  if (!jpeg && !png) {
    if (bodySize < dwq::kBmpHeadersSize) return "the body has no BMP headers";
    const dwq::BitmapInfoHeader info = dwq::ParseInfoHeader(body + dwq::kFileHeaderSize);
    bits = info.biBitCount;
    paletteBytes = bits == 8 ? static_cast<int>(dwq::PaletteCount(info)) * 4 : 0;
    width = info.biWidth;
    height = info.biHeight < 0 ? -int64_t{info.biHeight} : info.biHeight;
  }
  if (width * height > dwq::kMaxPixels)
    return "the picture has " + Grouped(width * height) + " pixels; the engine holds at most " +
           Grouped(dwq::kMaxPixels) + " in one picture: use a smaller picture";
  if (jpeg) {
    if (bodySize > dwq::kDecodeBufferBytes)
      return TooLarge("the JPEG body would", bodySize,
                      "use a smaller picture, a lower --quality or --sampling 420");
    if (width * height > bodySize * dwq::kJpegPixelsPerByte)
      return "the JPEG body is too short for its picture size";
  } else if (type == dwq::kTypePacked) {
    const int64_t coded = bodySize - dwq::kBmpHeadersSize - paletteBytes;
    if (coded > dwq::kDecodeBufferBytes)
      return TooLarge("the packed rows would", coded,
                      "use a smaller picture, fewer colours or larger even areas, or --body bmp8");
  } else if (!png) {
    const int64_t stride = ((bits / 8) * width + 3) & ~int64_t{3};
    if (stride > dwq::kDecodeBufferBytes)
      return TooLarge("one row of the body would", stride, "use a narrower picture");
  }
  if (mask) {
    // The coded rows of the mask run from behind its palette to the end.
    const int64_t section = static_cast<int64_t>(file.size()) - dwq::kHeaderSize - bodySize;
    const int64_t coded = section - dwq::kBmpHeadersSize - 256 * 4;
    if (coded > dwq::kDecodeBufferBytes)
      return TooLarge("the mask's coded rows would", coded,
                      "use a smaller picture or a simpler alpha (fewer levels, larger even areas)");
  }
  return "";
}

std::string EngineJpegProblem(const std::vector<uint8_t>& stream, int* width, int* height) {
  const size_t size = stream.size();
  const uint8_t* p = stream.data();
  if (size < 4 || p[0] != 0xFF || p[1] != 0xD8) return "not a JPEG stream";
  bool haveFrame = false;
  bool adobeRgb = false;
  size_t at = 2;
  while (at + 4 <= size) {
    if (p[at] != 0xFF) return "the stream is damaged";
    const int marker = p[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const size_t length = static_cast<size_t>(Be16(p + at + 2));
    if (length < 2 || at + 2 + length > size) return "a marker segment is cut short";
    const uint8_t* seg = p + at + 4;
    const size_t n = length - 2;
    if (marker == 0xC0) {
      if (n < 6 + 9 || seg[0] != 8) return "the samples are not of 8 bits";
      *height = Be16(seg + 1);
      *width = Be16(seg + 3);
      if (seg[5] != 3 || n < 6 + 3 * size_t{seg[5]})
        return seg[5] == 1 ? "it is a grey JPEG" : "it does not have three components";
      const uint8_t* c = seg + 6;
      if (c[0] == 'R' && c[3] == 'G' && c[6] == 'B') return "its colours are stored as RGB";
      const int h = c[1] >> 4, v = c[1] & 15;
      if (h < 1 || h > 2 || v < 1 || v > 2) return "the luminance is not sampled 1 or 2 each way";
      if (c[4] != 0x11 || c[7] != 0x11) return "the chroma is sampled more than once per MCU";
      haveFrame = true;
    } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
               marker != 0xCC) {
      return marker == 0xC2 || marker == 0xC6 || marker == 0xCA ? "it is a progressive JPEG"
                                                                : "it is not baseline JPEG";
    } else if (marker == 0xEE && n >= 12 && std::string(seg, seg + 5) == "Adobe") {
      adobeRgb = seg[11] == 0;  // transform 0: the components are R, G and B
    } else if (marker == 0xDB) {
      for (size_t k = 0; k < n; k += 65)
        if (seg[k] >> 4 != 0 || (seg[k] & 15) > 3)
          return "a quantisation table is not one of baseline JPEG";
    } else if (marker == 0xC4) {
      for (size_t k = 0; k + 17 <= n;) {
        if (seg[k] >> 4 > 1 || (seg[k] & 15) > 1) return "a Huffman table is not one of baseline JPEG";
        size_t codes = 0;
        for (int i = 1; i <= 16; ++i) codes += seg[k + i];
        k += 17 + codes;
      }
    } else if (marker == 0xDA) {
      if (!haveFrame) return "the scan comes before a baseline frame header";
      if (n < 1 || seg[0] != 3) return "the first scan does not hold all three components";
      if (adobeRgb) return "its colours are stored as RGB (Adobe transform 0)";
      return "";
    }
    at += 2 + length;
  }
  return "the stream has no scan";
}

}  // namespace dwqtool
