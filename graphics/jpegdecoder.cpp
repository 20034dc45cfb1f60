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
  // One MCU's blocks: the fixed-point path's coefficients (the DC one
  // dequantised, the others as coded) or the float path's.
  alignas(16) int16_t coef16[6][64];
  alignas(16) int32_t coef32[6][64];
  alignas(16) float transformed[64];
  // The samples of one row of MCUs: luminance, then the two chroma planes.
  uint8_t* rows = nullptr;
  size_t rowsSize = 0;
};

namespace {

// Lookup entries: bits 0-4 the bits the entry takes, bits 8-15 the symbol
// and, when kWhole is set, bits 16-31 the coefficient value its extra bits
// give (the code and those bits both within the look-up).
constexpr int32_t kWhole = 1 << 5;

inline int32_t Extend(uint32_t v, int s) {
  return v < (1u << (s - 1)) ? static_cast<int32_t>(v) - ((1 << s) - 1) : static_cast<int32_t>(v);
}

// Largest difference category of the DC coefficient of 8-bit samples.
constexpr int kMaxDcSize = 11;

}  // namespace

void CJpegDecoder::BuildLookup(Huffman* t, bool ac) {
  std::fill(std::begin(t->lookup), std::end(t->lookup), 0);
  for (int length = 1; length <= kFastBits; ++length)
    for (int32_t c = t->first[length]; c >= 0 && c < t->end[length]; ++c) {
      const int symbol = t->symbols[t->index[length] + c - t->first[length]];
      const int size = ac ? symbol & 15 : symbol;
      const bool whole = length + size <= kFastBits && (ac ? size > 0 : size <= kMaxDcSize);
      const int shift = kFastBits - length;
      for (int32_t e = c << shift; e < (c + 1) << shift; ++e) {
        int32_t entry = symbol << 8 | length;
        if (whole) {
          const uint32_t extra =
              static_cast<uint32_t>(e >> (shift - size)) & ((1u << size) - 1);
          const int32_t value = size ? Extend(extra, size) : 0;
          entry = static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | symbol << 8 | kWhole |
                  (length + size);
        }
        t->lookup[e] = entry;
      }
    }
}

// Bits most significant first. Bytes are taken whole into acc; a stuffed
// 0xFF 0x00 pair gives 0xFF. At a marker or the end of the data the reader
// supplies zero bits and counts them in pad, so a block that used any of
// them is known to have run past its data. The bits below the `bits`
// valid ones may hold the start of the next byte; a later fill puts the
// same bits there.
struct CJpegDecoder::BitReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
  uint64_t acc;
  int bits;
  int pad;
  bool stopped;

  // Leaves at least 57 bits in acc.
  __attribute__((always_inline)) void Fill() {
    if (!stopped && pos + 8 <= size) {
      // Eight bytes without a 0xFF among them are all data.
      uint64_t word;
      std::memcpy(&word, data + pos, 8);
      const uint64_t inverse = ~word;
      if (((inverse - 0x0101010101010101u) & ~inverse & 0x8080808080808080u) == 0) {
        acc |= __builtin_bswap64(word) >> bits;
        const int take = (64 - bits) >> 3;
        pos += static_cast<size_t>(take);
        bits += take * 8;
        return;
      }
    }
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
      // The byte's place may hold its own first bits already.
      acc = (acc & ~(uint64_t{0xFF} << (56 - bits))) | byte << (56 - bits);
      bits += 8;
    }
  }
  // n in 0..16, with n bits in acc.
  uint32_t Take(int n) {
    const uint32_t v = n ? static_cast<uint32_t>(acc >> (64 - n)) : 0;
    acc <<= n;
    bits -= n;
    return v;
  }
  // The symbol of a code longer than the look-up's, or -1; 16 bits in acc.
  int DecodeLong(const Huffman& table) {
    const int32_t code16 = static_cast<int32_t>(acc >> 48);
    for (int length = kFastBits + 1; length <= 16; ++length) {
      const int32_t code = code16 >> (16 - length);
      if (code >= table.first[length] && code < table.end[length]) {
        Take(length);
        return table.symbols[table.index[length] + code - table.first[length]];
      }
    }
    return -1;
  }
  // One coded value as a lookup entry with kWhole set, or 0 when the data
  // is broken. With 31 bits in acc.
  int32_t Decode(const Huffman& table, bool dc) {
    const int32_t entry = table.lookup[acc >> (64 - kFastBits)];
    if (entry & kWhole) {
      Take(entry & 31);
      return entry;
    }
    int symbol;
    if (entry) {
      Take(entry & 31);
      symbol = entry >> 8 & 0xFF;
    } else {
      symbol = DecodeLong(table);
      if (symbol < 0) return 0;
    }
    const int size = dc ? symbol : symbol & 15;
    if (dc && size > kMaxDcSize) return 0;
    const int32_t value = size ? Extend(Take(size), size) : 0;
    return static_cast<int32_t>(static_cast<uint32_t>(value) << 16) | symbol << 8 | kWhole;
  }
  // One block's coefficients into coef (zero before, natural order): the
  // fixed-point path's (int16_t, the DC one dequantised with quant0) or the
  // float path's (int32_t). Null, or why the data cannot be read.
  template <typename Coef>
  const char* Block(const Huffman& dc, const Huffman& ac, int32_t* pred, uint16_t quant0,
                    Coef* coef) {
    BitReader r = *this;
    if (r.bits < 32) r.Fill();
    const int32_t d = r.Decode(dc, true);
    if (!d) return "the scan's data is broken";
    *pred = static_cast<int32_t>(static_cast<uint32_t>(*pred) + static_cast<uint32_t>(d >> 16));
    if constexpr (sizeof(Coef) == 2)
      coef[0] = jpegkernels::FixedDequantise(*pred, quant0);
    else
      coef[0] = *pred;
    for (int k = 1; k < 64;) {
      if (r.bits < 32) r.Fill();
      const int32_t e = r.Decode(ac, false);
      if (!e) return "the scan's data is broken";
      const int rs = e >> 8 & 0xFF;
      if ((rs & 15) == 0) {
        if (rs != 0xF0) break;
        k += 16;
        continue;
      }
      k += rs >> 4;
      if (k > 63) return "the scan's data is broken";
      coef[jpegkernels::kZigZag[k]] = static_cast<Coef>(e >> 16);
      ++k;
    }
    *this = r;
    if (!InData()) return "the scan's data is cut short";
    return nullptr;
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
  if (work_) delete[] work_->rows;
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
    BuildLookup(&t, tableClass == 1);
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

  // The samples of a row of MCUs, so the colour step runs along whole rows.
  const size_t lumaStride = static_cast<size_t>(across) * 8 * h;
  const size_t chromaStride = static_cast<size_t>(across) * 8;
  const size_t lumaSize = lumaStride * 8 * v, chromaSize = chromaStride * 8;
  const size_t rowsSize = lumaSize + 2 * chromaSize;
  if (w.rowsSize < rowsSize) {
    delete[] w.rows;
    w.rows = new (std::nothrow) uint8_t[rowsSize];
    w.rowsSize = w.rows ? rowsSize : 0;
    if (!w.rows) return Fail("no memory for the decoder's rows");
  }
  uint8_t* const luma = w.rows;
  uint8_t* const cb = luma + lumaSize;
  uint8_t* const cr = cb + chromaSize;
  uint8_t* blockAt[6];
  for (int b = 0; b < lumaBlocks; ++b)
    blockAt[b] = luma + static_cast<size_t>(b / h) * 8 * lumaStride + static_cast<size_t>(b % h) * 8;
  blockAt[lumaBlocks] = cb;
  blockAt[lumaBlocks + 1] = cr;

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

      // Entropy decoding of the MCU's blocks, then their transforms.
      for (int b = 0; b < blockCount; ++b) {
        const char* why;
        if constexpr (kFixed) {
          std::memset(w.coef16[b], 0, sizeof w.coef16[b]);
          why = bits.Block(*dc[b], *ac[b], &dcPred_[component[b]], quant[b][0], w.coef16[b]);
        } else {
          std::memset(w.coef32[b], 0, sizeof w.coef32[b]);
          why = bits.Block(*dc[b], *ac[b], &dcPred_[component[b]], quant[b][0], w.coef32[b]);
        }
        if (why) return Fail(why);
      }
      const size_t x = static_cast<size_t>(mcuX) * 8;
      jpegkernels::FixedBlock fixed[6];
      for (int b = 0; b < blockCount; ++b) {
        uint8_t* out = blockAt[b] + x * (b < lumaBlocks ? h : 1);
        const size_t stride = b < lumaBlocks ? lumaStride : chromaStride;
        if constexpr (kFixed) {
          fixed[b] = {w.coef16[b], quant[b], out, stride};
        } else {
          jpegkernels::FloatIdct(w.coef32[b], quant[b], idctScale_, w.transformed);
          jpegkernels::FloatSamples(w.transformed, out, stride);
        }
      }
      if constexpr (kFixed) jpegkernels::FixedIdctBlocks(fixed, blockCount);
    }

    // Chroma up-sampling and colour, a whole row at a time, straight into
    // the picture.
    for (int y = 0; y < 8 * v; ++y) {
      const int py = 8 * v * mcuY + y;
      if (py >= height) break;
      const size_t chromaRow = static_cast<size_t>(y / v) * chromaStride;
      uint32_t* out = pixels + static_cast<size_t>(py) * pitch;
      (kFixed ? jpegkernels::FixedColour : jpegkernels::FloatColour)(
          luma + static_cast<size_t>(y) * lumaStride, cb + chromaRow, cr + chromaRow, out,
          static_cast<size_t>(width), h);
    }
  }
  return 1;
}
