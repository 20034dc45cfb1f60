#include "graphics/jpegdecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/jpegkernels.h"
#include "platform/bytereader.h"

namespace {

int g_noMmx = 0;

inline int Be16(const unsigned char* p) { return p[0] << 8 | p[1]; }

// Marker codes.
constexpr int kSof0 = 0xC0;
constexpr int kDht = 0xC4;
constexpr int kJpg = 0xC8;
constexpr int kDac = 0xCC;
constexpr int kRst0 = 0xD0;
constexpr int kRst7 = 0xD7;
constexpr int kSoi = 0xD8;
constexpr int kEoi = 0xD9;
constexpr int kSos = 0xDA;
constexpr int kDqt = 0xDB;
constexpr int kDri = 0xDD;
constexpr int kApp14 = 0xEE;
constexpr int kTem = 0x01;

// Position of the next marker at or after pos: a byte 0xFF followed by one
// that is neither 0x00 (a stuffed data byte) nor 0xFF (fill). size when
// there is none.
size_t FindMarker(const unsigned char* data, size_t size, size_t pos) {
  while (pos + 1 < size) {
    if (data[pos] == 0xFF && data[pos + 1] != 0x00 && data[pos + 1] != 0xFF) return pos;
    ++pos;
  }
  return size;
}

}  // namespace

struct CJpegDecoder::Work {
  alignas(16) int32_t coef[6][64];
  alignas(16) int16_t dequantised[6][64];
  alignas(16) uint8_t samples[6][64];
  alignas(16) float transformed[64];
};

// Bits most significant first. Bytes are taken whole into acc; a stuffed
// 0xFF 0x00 pair gives 0xFF. At a marker or the end of the data the reader
// supplies zero bits and counts them in pad, so a block that used any of
// them is known to have run past its data.
struct CJpegDecoder::BitReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
  uint64_t acc;
  int bits;
  int pad;
  bool stopped;

  void Fill() {
    while (bits <= 56) {
      uint64_t byte = 0;
      if (!stopped && pos < size) {
        const unsigned char b = data[pos];
        if (b != 0xFF) {
          byte = b;
          ++pos;
        } else if (pos + 1 < size && data[pos + 1] == 0x00) {
          byte = 0xFF;
          pos += 2;
        } else {
          stopped = true;  // a marker: the scan's data ends here
        }
      } else {
        stopped = true;
      }
      if (stopped) pad += 8;
      acc |= byte << (56 - bits);
      bits += 8;
    }
  }
  // n in 1..16.
  uint32_t Get(int n) {
    if (bits < n) Fill();
    const uint32_t v = static_cast<uint32_t>(acc >> (64 - n));
    acc <<= n;
    bits -= n;
    return v;
  }
  int Decode(const Huffman& table) {
    if (bits < 16) Fill();
    const uint16_t entry = table.fast[acc >> (64 - kFastBits)];
    if (entry) {
      const int length = entry >> 8;
      acc <<= length;
      bits -= length;
      return entry & 0xFF;
    }
    const int32_t code16 = static_cast<int32_t>(acc >> 48);
    for (int length = kFastBits + 1; length <= 16; ++length) {
      const int32_t code = code16 >> (16 - length);
      if (code >= table.first[length] && code < table.end[length]) {
        acc <<= length;
        bits -= length;
        return table.symbols[table.index[length] + code - table.first[length]];
      }
    }
    return -1;
  }
  // True while every bit taken came from the data.
  bool InData() const { return bits >= pad; }
  // After a restart interval: the rest of the current data is dropped and
  // reading goes on after the next marker, which must be a restart marker.
  bool Restart() {
    acc = 0;
    bits = 0;
    pad = 0;
    stopped = false;
    const size_t at = FindMarker(data, size, pos);
    if (at >= size || data[at + 1] < kRst0 || data[at + 1] > kRst7) return false;
    pos = at + 2;
    return true;
  }
};

namespace {

inline int32_t Extend(uint32_t v, int s) {
  return v < (1u << (s - 1)) ? static_cast<int32_t>(v) - ((1 << s) - 1) : static_cast<int32_t>(v);
}

}  // namespace

CJpegDecoder::CJpegDecoder() {
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v)
      idctScale_[u * 8 + v] =
          static_cast<float>(jpegkernels::ScaleFactor(u) * jpegkernels::ScaleFactor(v) / 8.0);
}

CJpegDecoder::~CJpegDecoder() { ReleaseWorkArea(); }

int CJpegDecoder::CreateWorkArea() {
  if (!work_) work_ = new (std::nothrow) Work;
  return work_ ? 1 : 0;
}

void CJpegDecoder::ReleaseWorkArea() {
  delete work_;
  work_ = nullptr;
}

void CJpegDecoder::SetNoMmx(int on) { g_noMmx = on ? 1 : 0; }
int CJpegDecoder::GetNoMmx() { return g_noMmx; }

int CJpegDecoder::Fail(const char* why) {
  error_ = why;
  return 0;
}

bool CJpegDecoder::ReadFrame(const unsigned char* seg, size_t n) {
  // Precision, height, width, three components of (id, sampling, table).
  // Only YCbCr is decoded: grey, CMYK and RGB bodies are refused by name.
  if (n >= 6 && seg[5] == 1) return Fail("the picture is grey (one component)");
  if (n >= 6 && seg[5] == 4) return Fail("the picture has four components (CMYK)");
  if (n != 15) return Fail("the frame header is not one of three components");
  if (seg[0] != 8) return Fail("the samples are not of 8 bits");
  const int height = Be16(seg + 1), width = Be16(seg + 3);
  if (width == 0 || height == 0) return Fail("the frame has no size");
  if (seg[5] != 3) return Fail("the picture does not have three components");
  Component c[3];
  for (int i = 0; i < 3; ++i) {
    const unsigned char* p = seg + 6 + 3 * i;
    c[i] = {p[0], p[1] >> 4, p[1] & 15, p[2]};
    if (c[i].quant > 3) return Fail("a component names a quantisation table beyond 3");
  }
  // Components named 'R', 'G' and 'B' hold the colours untransformed.
  if (c[0].id == 'R' && c[1].id == 'G' && c[2].id == 'B')
    return Fail("the colours are stored as RGB (components 'R', 'G', 'B')");
  if (c[0].h < 1 || c[0].h > 2 || c[0].v < 1 || c[0].v > 2)
    return Fail("the luminance sampling is not 1 or 2 each way");
  for (int i = 1; i < 3; ++i)
    if (c[i].h != 1 || c[i].v != 1) return Fail("a chroma component is sampled above 1");
  std::copy(c, c + 3, components_);
  width_ = width;
  height_ = height;
  haveFrame_ = true;
  return true;
}

bool CJpegDecoder::ReadHuffman(const unsigned char* segment, size_t n) {
  platform::ByteReader in(segment, n);
  while (!in.AtEnd()) {
    const unsigned char* seg = in.Take(17);
    if (!seg) return Fail("a Huffman table is cut short");
    const int tableClass = seg[0] >> 4, id = seg[0] & 15;
    if (tableClass > 1 || id > 1) return Fail("a Huffman table number is beyond the baseline's");
    size_t total = 0;
    for (int i = 1; i <= 16; ++i) total += seg[i];
    Huffman t{};
    if (total > 256 || !in.Read(t.symbols, total)) return Fail("a Huffman table is cut short");
    int32_t code = 0, k = 0;
    for (int length = 1; length <= 16; ++length) {
      const int count = seg[length];
      t.index[length] = k;
      if (count) {
        t.first[length] = code;
        code += count;
        k += count;
        t.end[length] = code;
      } else {
        t.first[length] = -1;
        t.end[length] = 0;
      }
      // More codes of a length than its bits can tell apart.
      if (code > (1 << length))
        return Fail("a Huffman table has more codes than its lengths allow");
      code <<= 1;
    }
    for (int length = 1; length <= kFastBits; ++length)
      for (int32_t c = t.first[length]; c >= 0 && c < t.end[length]; ++c) {
        const int shift = kFastBits - length;
        const uint16_t entry =
            static_cast<uint16_t>(length << 8 | t.symbols[t.index[length] + c - t.first[length]]);
        for (int32_t e = c << shift; e < (c + 1) << shift; ++e) t.fast[e] = entry;
      }
    t.defined = true;
    huffman_[id + tableClass * 2] = t;
  }
  return true;
}

bool CJpegDecoder::ReadQuant(const unsigned char* segment, size_t n) {
  platform::ByteReader in(segment, n);
  uint8_t kind = 0;
  while (in.U8(&kind)) {
    const int precision = kind >> 4, id = kind & 15;
    if (precision > 1 || id > 3) return Fail("a quantisation table number is beyond 3");
    const unsigned char* values = in.Take(64 * static_cast<size_t>(precision + 1));
    if (!values) return Fail("a quantisation table is cut short");
    for (int k = 0; k < 64; ++k)
      quant_[id][jpegkernels::kZigZag[k]] =
          static_cast<uint16_t>(precision ? Be16(values + 2 * k) : values[k]);
    quantDefined_[id] = true;
  }
  return true;
}

int CJpegDecoder::Decode(const unsigned char* data, size_t size, CPixelTargetOwner* owner) {
  error_ = nullptr;
  if (!owner || !work_) return Fail("the decoder is not started");
  if (!data) size = 0;
  restartInterval_ = 0;
  haveFrame_ = false;
  adobeRgb_ = false;
  platform::ByteReader body(data, size);
  size_t pos = 0;
  for (;;) {
    pos = FindMarker(data, size, pos);
    if (pos >= size) return Fail("the body ends before its scan");
    const int code = data[pos + 1];
    pos += 2;
    if (code == kSoi || code == kTem || (code >= kRst0 && code <= kRst7)) continue;
    if (code == kEoi) return Fail("the body ends before its scan");
    uint16_t length = 0;
    if (!body.Seek(static_cast<int64_t>(pos)) || !body.U16BE(&length) || length < 2)
      return Fail("a marker segment is cut short");
    const size_t n = length - 2u;
    const unsigned char* seg = body.Take(n);
    if (!seg) return Fail("a marker segment is cut short");
    switch (code) {
      case kSof0:
        if (!ReadFrame(seg, n)) return 0;
        break;
      case kDht:
        if (!ReadHuffman(seg, n)) return 0;
        break;
      case kDqt:
        if (!ReadQuant(seg, n)) return 0;
        break;
      case kDri:
        if (n != 2) return Fail("the restart interval segment is not 2 bytes");
        restartInterval_ = Be16(seg);
        break;
      case kApp14:
        // Adobe's marker: transform 0 says the components are R, G and B.
        if (n >= 12 && std::memcmp(seg, "Adobe", 5) == 0) adobeRgb_ = seg[11] == 0;
        break;
      case kSos:
        if (adobeRgb_) return Fail("the colours are stored as RGB (Adobe transform 0)");
        return ReadScan(seg, n, data + pos + length, size - pos - length, owner);
      default:
        // Other frame kinds (progressive, lossless, arithmetic coding) are
        // not read; anything else (APPn, COM) is skipped.
        if (code > kSof0 && code <= 0xCF && code != kDht && code != kJpg && code != kDac)
          return Fail("the picture is not baseline JPEG");
        break;
    }
    pos += length;
  }
}

int CJpegDecoder::ReadScan(const unsigned char* seg, size_t n, const unsigned char* data,
                           size_t size, CPixelTargetOwner* owner) {
  if (!haveFrame_) return Fail("the scan comes before a frame header");
  if (n != 10 || seg[0] != 3) return Fail("the scan does not hold the three components");
  int dcTable[3], acTable[3];
  for (int i = 0; i < 3; ++i) {
    const unsigned char* p = seg + 1 + 2 * i;
    if (p[0] != components_[i].id) return Fail("the scan's components differ from the frame's");
    dcTable[i] = p[1] >> 4;
    acTable[i] = 2 + (p[1] & 15);
    if (dcTable[i] > 1 || acTable[i] > 3) return Fail("a scan names a Huffman table beyond 1");
    if (!huffman_[dcTable[i]].defined || !huffman_[acTable[i]].defined)
      return Fail("a Huffman table the scan uses is not defined");
    if (!quantDefined_[components_[i].quant])
      return Fail("a quantisation table the frame uses is not defined");
  }
  if (seg[7] != 0 || seg[8] != 63 || seg[9] != 0) return Fail("the scan is not sequential");

  // Every block takes at least two bits (a DC and an end-of-block code), so
  // a body too short for its frame is refused before the picture grows.
  const int h = components_[0].h, v = components_[0].v;
  const int64_t across = ((width_ + 7) / 8 + h - 1) / h;
  const int64_t down = ((height_ + 7) / 8 + v - 1) / v;
  const int64_t blocks = across * down * (h * v + 2);
  if (blocks * 2 > static_cast<int64_t>(size) * 8)
    return Fail("the body is too short for its picture size");
  PixelTarget target;
  if (!owner->MakePixelTarget(width_, height_, &target) || !target.pixels ||
      target.width != width_ || target.height != height_ || target.pitch < width_)
    return Fail("no 32-bit picture of the frame's size");
  return g_noMmx ? DecodeScan<false>(data, size, target, dcTable, acTable)
                 : DecodeScan<true>(data, size, target, dcTable, acTable);
}

template <bool kFixed>
int CJpegDecoder::DecodeScan(const unsigned char* data, size_t size, const PixelTarget& target,
                             const int* dcTable, const int* acTable) {
  Work& w = *work_;
  const int h = components_[0].h, v = components_[0].v;
  const int lumaBlocks = h * v;
  const int blockCount = lumaBlocks + 2;
  const int across = ((width_ + 7) / 8 + h - 1) / h;
  const int down = ((height_ + 7) / 8 + v - 1) / v;
  const uint16_t* quant[6];
  const Huffman* dc[6];
  const Huffman* ac[6];
  int component[6];
  for (int b = 0; b < blockCount; ++b) {
    component[b] = b < lumaBlocks ? 0 : b - lumaBlocks + 1;
    quant[b] = quant_[components_[component[b]].quant];
    dc[b] = &huffman_[dcTable[component[b]]];
    ac[b] = &huffman_[acTable[component[b]]];
  }
  uint32_t* pixels = target.pixels;
  const size_t pitch = static_cast<size_t>(target.pitch);
  const int width = width_, height = height_;

  BitReader bits{data, size, 0, 0, 0, 0, false};
  dcPred_[0] = dcPred_[1] = dcPred_[2] = 0;
  int sinceRestart = 0;
  for (int mcuY = 0; mcuY < down; ++mcuY) {
    for (int mcuX = 0; mcuX < across; ++mcuX) {
      if (restartInterval_ > 0 && sinceRestart == restartInterval_) {
        if (!bits.Restart()) return Fail("a restart marker is missing");
        dcPred_[0] = dcPred_[1] = dcPred_[2] = 0;
        sinceRestart = 0;
      }
      ++sinceRestart;

      // Entropy decoding of the MCU's blocks.
      for (int b = 0; b < blockCount; ++b) {
        int16_t* dequantised = w.dequantised[b];
        int32_t* coef = w.coef[b];
        const uint16_t* q = quant[b];
        if (kFixed)
          std::memset(dequantised, 0, sizeof w.dequantised[b]);
        else
          std::memset(coef, 0, sizeof w.coef[b]);
        auto put = [&](int n, int32_t value) {
          if (kFixed)
            dequantised[n] = jpegkernels::FixedDequantise(value, q[n]);
          else
            coef[n] = value;
        };
        int32_t& pred = dcPred_[component[b]];
        int s = bits.Decode(*dc[b]);
        if (s < 0 || s > 11) return Fail("the scan's data is broken");
        const int32_t diff = s ? Extend(bits.Get(s), s) : 0;
        pred = static_cast<int32_t>(static_cast<uint32_t>(pred) + static_cast<uint32_t>(diff));
        put(0, pred);
        for (int k = 1; k < 64;) {
          const int rs = bits.Decode(*ac[b]);
          if (rs < 0) return Fail("the scan's data is broken");
          const int run = rs >> 4;
          s = rs & 15;
          if (s == 0) {
            if (run != 15) break;
            k += 16;
            continue;
          }
          k += run;
          if (k > 63) return Fail("the scan's data is broken");
          put(jpegkernels::kZigZag[k], Extend(bits.Get(s), s));
          ++k;
        }
        if (!bits.InData()) return Fail("the scan's data is cut short");
      }

      // Transform, chroma up-sampling and colour, straight into the picture.
      for (int b = 0; b < blockCount; ++b) {
        if (kFixed) {
          jpegkernels::FixedIdct(w.dequantised[b], w.samples[b]);
        } else {
          jpegkernels::FloatIdct(w.coef[b], quant[b], idctScale_, w.transformed);
          jpegkernels::FloatSamples(w.transformed, w.samples[b]);
        }
      }
      for (int uv = 0; uv < v; ++uv) {
        for (int y = 0; y < 8; ++y) {
          const int py = 8 * (v * mcuY + uv) + y;
          if (py >= height) break;
          const int chromaRow = uv * 8 / v + y / v;
          for (int uh = 0; uh < h; ++uh) {
            const int px = 8 * (h * mcuX + uh);
            if (px >= width) break;
            const int count = std::min(8, width - px);
            const int unit = uh + h * uv;
            const int chroma = chromaRow * 8 + uh * 8 / h;
            uint32_t* out = pixels + static_cast<size_t>(py) * pitch + px;
            (kFixed ? jpegkernels::FixedColour : jpegkernels::FloatColour)(
                w.samples[unit] + y * 8, w.samples[lumaBlocks] + chroma,
                w.samples[lumaBlocks + 1] + chroma, out, static_cast<size_t>(count), h);
          }
        }
      }
    }
  }
  return 1;
}
