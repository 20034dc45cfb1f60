// The picture file loader: CPicture::LoadDWQ and its steps.
//
// Every size, width, height, palette count and body size read from a file is
// checked against the bytes the file (or pack entry) still holds and against
// the decode buffer before anything of the picture changes. A file that
// cannot be opened, or fails those checks, leaves the picture as it was; a
// body found broken while it is decoded leaves the picture unloaded. Either
// way the name is not kept, so a later request for it tries again and fails
// again instead of reporting success.
#include "graphics/pictureloader.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <string_view>

#include "graphics/dwqformat.h"
#include "graphics/jpegdecoder.h"
#include "graphics/loadblocks.h"
#include "graphics/loadobserver.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pngreader.h"
#include "graphics/rowops.h"
#include "platform/bytereader.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"

namespace {

struct LoaderState {
  unsigned char* decode = nullptr;
  int decodeSize = 0;
  int errorFlag = 0;
  int errorMode = 0;
  int quiet = 0;
  // The part of a screen the pictures being loaded are needed for (null:
  // none), and the damaged needed names already shown in a box.
  const char* neededFor = nullptr;
  std::set<std::string> boxed;
  // The missing names already told on stderr.
  std::mutex toldLock;
  std::set<std::string> told;
  CJpegDecoder* jpeg = nullptr;
  CPngReader* png = nullptr;
  PictureLoadObserver observer = nullptr;
  void* observerData = nullptr;
};

LoaderState& Loader() {
  static LoaderState state;
  return state;
}

constexpr const char kDefaultFolder[] = "dwq";
constexpr const char kExtension[] = "dwq";

enum class Body { kBmp, kPacked, kJpeg, kPng };

// Bytes of the pixel block for positive sizes (64 spare bytes included), or
// -1 when it would not fit a signed 32-bit count.
int64_t PixelBlockBytes(int64_t width, int64_t height, int64_t bpp) {
  if (width <= 0 || height <= 0 || width * height > (INT_MAX - 64) / bpp) return -1;
  return width * height * bpp + 64;
}

// Reasons a header check gives.
constexpr const char kBeyondBody[] = "the picture size is far larger than its body can hold";

std::string BeyondBuffer(const char* what, int64_t bytes) {
  return std::string(what) + " (" + std::to_string(bytes) +
         " bytes) is larger than the decode buffer (" + std::to_string(Loader().decodeSize) +
         " bytes)";
}

// Empty when the size of the picture to make fits 32-bit counts.
std::string PictureSizeProblem(int64_t width, int64_t height, int64_t bpp) {
  if (width <= 0 || height <= 0) return "the picture has no size";
  if (PixelBlockBytes(width, height, bpp) < 0)
    return std::to_string(width) + " x " + std::to_string(height) + " pixels are too many";
  return {};
}

// A JPEG body must lie in the file and fit the decode buffer; a PNG stream
// runs to the end of the file. Neither can code more than a bounded number
// of pixels per byte (a JPEG block takes at least two bits, deflate
// inflates at most 1032-fold), so a header size far beyond its body is
// refused before memory is taken for it. Empty when the body fits.
std::string CodedBodyProblem(bool jpeg, int bodySize, int64_t bytesLeft, int64_t pixels) {
  if (jpeg) {
    if (bodySize <= 0) return "the header gives no body size";
    if (bodySize > bytesLeft) return "the body runs past the end of the file";
    if (bodySize > Loader().decodeSize) return BeyondBuffer("the JPEG body", bodySize);
    if (pixels > int64_t{bodySize} * dwq::kJpegPixelsPerByte) return kBeyondBody;
    return {};
  }
  if (bytesLeft <= 0) return "the file has no body";
  if (pixels > bytesLeft * 8 * 1032) return kBeyondBody;
  return {};
}

// One row of zero-run coding over the previous row, in place: a non-zero
// byte is XORed in, a zero byte and its count byte n skip n bytes (the row
// stays as it was there). The row ends after width bytes; false when the
// input ends first. changed(x) is called after each byte XORed in.
template <typename Changed>
bool UnpackRowTelling(const unsigned char* in, size_t size, size_t* pos, unsigned char* row,
                      int width, Changed changed) {
  size_t p = *pos;
  int x = 0;
  while (x < width) {
    if (p >= size) return false;
    unsigned char b = in[p++];
    if (b) {
      row[x] ^= b;
      changed(x++);
      continue;
    }
    if (p >= size) return false;
    int run = in[p++];
    x = run >= width - x ? width : x + run;
  }
  *pos = p;
  return true;
}

bool UnpackRow(const unsigned char* in, size_t size, size_t* pos, unsigned char* row, int width) {
  return UnpackRowTelling(in, size, pos, row, width, [](int) {});
}

}  // namespace

// "jpegMMX" of the game's settings list (1 when the list or the key is
// missing), read quietly: the game object reports a broken list itself.
static int ReadJpegMmxSetting() {
  CNameList list;
  const bool found = (platform::FileExists("init2") && list.Load("init2\\game.fxf", true, true)) ||
                     list.Load("init\\game.xtx", false, true);
  int value = 1;
  if (found) {
    CSetupList setup;
    setup.AttachList(&list);
    setup.GetSetupInt(&value, "jpegMMX");
  }
  return value;
}

int InitPictureLoader(int megabytes) {
  LoaderState& s = Loader();
  if (s.decode) return 1;
  if (megabytes <= 0 || megabytes > 1024) return 0;
  const int size = dwq::DecodeBufferBytes(megabytes);
  s.decode = new (std::nothrow) unsigned char[static_cast<size_t>(size)];
  s.decodeSize = s.decode ? size : 0;
  // Pack indexes are read once, here: volumes changed later are not seen.
  LoadPackVolumes();
  // The JPEG path follows the game's "jpegMMX", read here and set again by
  // the game object from its settings; without a decoder or reader their
  // bodies fail to load.
  CJpegDecoder::SetNoMmx(ReadJpegMmxSetting() == 0);
  s.jpeg = new (std::nothrow) CJpegDecoder();
  if (s.jpeg && !s.jpeg->CreateWorkArea()) {
    delete s.jpeg;
    s.jpeg = nullptr;
  }
  s.png = new (std::nothrow) CPngReader(4);
  return s.decode ? 1 : 0;
}

void ReleasePictureLoader() {
  LoaderState& s = Loader();
  ReleasePackVolumes();
  delete s.png;
  s.png = nullptr;
  delete s.jpeg;
  s.jpeg = nullptr;
  delete[] s.decode;
  s.decode = nullptr;
  s.decodeSize = 0;
}

int GetPictureDecodeBufferSize() { return Loader().decodeSize; }

void SetPictureLoadObserver(PictureLoadObserver observer, void* data) {
  Loader().observer = observer;
  Loader().observerData = data;
}
void SetLoadDwqErrorFlag(int on) { Loader().errorFlag = on; }
int GetLoadDwqErrorFlag() { return Loader().errorFlag; }
void SetLoadDwqErrorMode(int mode) { Loader().errorMode = mode; }
int GetLoadDwqErrorMode() { return Loader().errorMode; }
void SetLoadDwqQuiet(int on) { Loader().quiet = on; }
int GetLoadDwqQuiet() { return Loader().quiet; }

void ResetPictureLoader() {
  ReleasePictureLoader();
  ResetPackVolumes();
  Loader().errorFlag = 0;
  Loader().errorMode = 0;
  Loader().quiet = 0;
  Loader().neededFor = nullptr;
  std::lock_guard<std::mutex> hold(Loader().toldLock);
  Loader().told.clear();
  Loader().boxed.clear();
}

CNeededPictures::CNeededPictures(const char* what) : was_(Loader().neededFor) { Loader().neededFor = what; }
CNeededPictures::~CNeededPictures() { Loader().neededFor = was_; }

// What the headers say, checked, before the picture changes.
struct CPicture::LoadPlan {
  unsigned char header[dwq::kHeaderSize];
  Body body = Body::kBmp;
  bool hasMask = false;
  bool headerBox = false;
  int bodySize = 0;
  int width = 0;  // of the picture to make
  int height = 0;
  dwq::BitmapFileHeader fileHeader{};
  dwq::BitmapInfoHeader info{};
  int bits = 0;
  int stride = 0;
  int paletteCount = 0;
  bool keepIndices = false;
  int pixelBytes = 0;  // the pixel block, 64 spare bytes included
  uint32_t colours[256] = {};
  std::string why;  // what the header checks found wrong
};

FILE* CPicture::OpenDwqFile(const char* path, const char* name) {
  fromPack_ = 0;
  bytesLeft_ = 0;
  if (FILE* entry = OpenPackEntry(name, &bytesLeft_)) {
    fromPack_ = 1;
    return entry;
  }
  return platform::FileOpen(path, "rb");
}

bool IsOptionalSystemPicture(const char* name) {
  if (!name) return false;
  std::string_view rest = name;
  if (rest.size() > 4 && platform::EqualNoCase(rest.substr(0, 4), "sys\\")) rest.remove_prefix(4);
  for (const char* optional : {"ta_sl_font", "spfont24", "mes_cur", "ta_opt_bar", "ta_select01", "ta_congra"})
    if (platform::EqualNoCase(rest, optional)) return true;
  return false;
}

void CPicture::ShowLoadError(const char* name, const std::string& path) {
  // Each missing name is told once on stderr, box or not: a screen whose
  // picture is missing draws black, and the line says why. A caller that
  // tries names in turn loads quietly and tells what it found itself.
  LoaderState& s = Loader();
  if (s.quiet || IsOptionalSystemPicture(name)) return;
  bool first;
  {
    std::lock_guard<std::mutex> hold(s.toldLock);
    first = s.told.insert(name).second;
  }
  if (first) {
    const std::string unread = UnreadVolumeNote(name);
    platform::ErrorOutput(("LOAD DWQ ERROR(File Not Found) " + std::string(name) + ": no " + path +
                           (unread.empty() ? " and no pack lists it" : unread))
                              .c_str());
  }
  if (!GetLoadDwqErrorFlag()) return;
  std::string text = "LOAD DWQ ERROR(File Not Found)\n";
  text += name;
  text += "\nmode=" + std::to_string(GetLoadDwqErrorMode());
  platform::MessageBox(nullptr, text.c_str(), "Error", MB_OK | MB_ICONWARNING);
}

void CPicture::ShowBadFile(const char* name, const std::string& why) {
  const std::string line = "LOAD DWQ ERROR(Bad File) " + std::string(name) + ": " + why;
  platform::ErrorOutput(line.c_str());
  LoaderState& s = Loader();
  if (!GetLoadDwqErrorFlag()) {
    if (!s.neededFor) return;
    bool first;
    {
      std::lock_guard<std::mutex> hold(s.toldLock);
      first = s.boxed.insert(name).second;
    }
    if (first) {
      const std::string text = std::string(name) + ": " + why + "\n" + s.neededFor +
                               " is not shown without this picture";
      platform::MessageBox(nullptr, text.c_str(), "Error", MB_OK | MB_ICONWARNING);
    }
    return;
  }
  std::string text = "LOAD DWQ ERROR(Bad File)\n";
  text += name;
  text += "\nmode=" + std::to_string(GetLoadDwqErrorMode());
  platform::MessageBox(nullptr, text.c_str(), "Error", MB_OK | MB_ICONWARNING);
}

int CPicture::ReadDwqHeader(platform::ByteReader& in, LoadPlan* plan) {
  if (!in.Read(plan->header, dwq::kHeaderSize)) return 0;
  const unsigned char* h = plan->header;
  const char type = static_cast<char>(h[dwq::kType]);
  switch (type) {
    case dwq::kTypeBmpMask:
      plan->body = Body::kBmp;
      plan->hasMask = true;
      break;
    case dwq::kTypePacked:
      plan->body = Body::kPacked;
      plan->hasMask = true;
      break;
    case dwq::kTypeJpeg:
      plan->body = Body::kJpeg;
      break;
    case dwq::kTypeJpegMask:
      plan->body = Body::kJpeg;
      plan->hasMask = true;
      break;
    case dwq::kTypePng:
      plan->body = Body::kPng;
      break;
    default:
      plan->body = Body::kBmp;
      break;
  }
  plan->headerBox = h[dwq::kBoxFlag] == dwq::kBoxFlagSet &&
                    (type == dwq::kTypeBmpMask || type == dwq::kTypePacked ||
                     type == dwq::kTypeJpegMask || type == dwq::kTypePng);
  plan->bodySize = dwq::GetI32(h + dwq::kBodySize);
  const int64_t width = dwq::GetI32(h + dwq::kWidth);
  int64_t height = dwq::GetI32(h + dwq::kHeight);
  if (height < 0) height = -height;
  plan->width = static_cast<int>(width);
  plan->height = height > INT_MAX ? 0 : static_cast<int>(height);
  return 1;
}

int CPicture::ReadBmpHeader(platform::ByteReader& in, LoadPlan* plan, int keep256) {
  auto refuse = [plan](std::string why) {
    plan->why = std::move(why);
    return 0;
  };
  unsigned char raw[dwq::kBmpHeadersSize];
  if (!in.Read(raw, sizeof raw)) return refuse("the bitmap headers are cut short");
  plan->fileHeader = dwq::ParseFileHeader(raw);
  plan->info = dwq::ParseInfoHeader(raw + dwq::kFileHeaderSize);
  const dwq::BitmapInfoHeader& info = plan->info;
  plan->bits = info.biBitCount;
  if (plan->bits != 8 && plan->bits != 24)
    return refuse("the rows are of " + std::to_string(plan->bits) + " bits, not 8 or 24");
  if (plan->body == Body::kPacked && plan->bits != 8)
    return refuse("packed rows are of " + std::to_string(plan->bits) + " bits, not 8");
  if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT_MIN)
    return refuse("the bitmap has no size");
  plan->width = info.biWidth;
  plan->height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
  if (plan->bits == 8) {
    const uint32_t count = dwq::PaletteCount(info);
    if (count > 256) return refuse("the palette holds more than 256 colours");
    plan->paletteCount = static_cast<int>(count);
    unsigned char entries[256 * 4];
    if (!in.Read(entries, count * 4)) return refuse("the palette is cut short");
    // Entries are blue, green, red and an unused byte; the ones the file
    // does not hold stay black.
    for (uint32_t i = 0; i < count; ++i)
      plan->colours[i] = (uint32_t{entries[i * 4 + 2]} << 16) |
                         (uint32_t{entries[i * 4 + 1]} << 8) | entries[i * 4];
  }
  plan->keepIndices = keep256 && plan->bits == 8;
  const int64_t stride = ((int64_t{plan->bits} / 8) * plan->width + 3) & ~int64_t{3};
  const int bpp = plan->keepIndices ? 1 : 4;
  if (stride > Loader().decodeSize) return refuse(BeyondBuffer("one row", stride));
  std::string size = PictureSizeProblem(plan->width, plan->height, bpp);
  if (!size.empty()) return refuse(std::move(size));
  plan->stride = static_cast<int>(stride);
  plan->pixelBytes = static_cast<int>(PixelBlockBytes(plan->width, plan->height, bpp));
  // The rows must be in the file before any memory is taken for them.
  if (plan->body == Body::kBmp) {
    if (stride * plan->height > in.Remaining())
      return refuse("the rows run past the end of the file");
  } else {
    const int64_t coded =
        int64_t{plan->bodySize} - dwq::kBmpHeadersSize - 4 * int64_t{plan->paletteCount};
    if (coded < plan->height) return refuse("the packed body is too small for its rows");
    if (coded > in.Remaining()) return refuse("the packed body runs past the end of the file");
    if (coded > Loader().decodeSize) return refuse(BeyondBuffer("the packed body", coded));
    // No coded byte stands for more than 128 pixels (a zero and its count
    // for 255), so a picture larger than that cannot be in the body.
    if (int64_t{plan->width} * plan->height > coded * dwq::kPackedPixelsPerByte)
      return refuse(kBeyondBody);
  }
  return 1;
}

void CPicture::SetBmpGeometry(const LoadPlan& plan) {
  width_ = plan.width;
  height_ = plan.height;
  stride_ = plan.stride;
}

int CPicture::ReadBmpRows(platform::ByteReader& in, const LoadPlan& plan, int) {
  unsigned char* buffer = Loader().decode;
  const size_t stride = static_cast<size_t>(plan.stride);
  if (plan.bits == 8) {
    for (int y = 0; y < height_; ++y) {
      if (!in.Read(buffer, stride)) return 0;
      if (is256_) {
        std::memcpy(pixels_ + static_cast<size_t>(y) * width_, buffer, static_cast<size_t>(width_));
      } else {
        uint32_t* row = GetPixelBuffer() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) row[x] = plan.colours[buffer[x]];
      }
    }
    return 1;
  }
  // 24-bit rows come in chunks as large as the buffer holds; the first byte
  // of a pixel is red.
  const int perChunk = std::max(1, std::min(height_, Loader().decodeSize / plan.stride));
  uint32_t* const pixels = GetPixelBuffer();
  for (int y = 0; y < height_; y += perChunk) {
    const int rows = std::min(perChunk, height_ - y);
    if (!in.Read(buffer, stride * rows)) return 0;
    for (int r = 0; r < rows; ++r)
      rowops::RgbToPixels(buffer + stride * r, pixels + static_cast<size_t>(y + r) * width_,
                          static_cast<size_t>(width_));
  }
  return 1;
}

int CPicture::ReadPackedRows(platform::ByteReader& in, const LoadPlan& plan, int) {
  unsigned char* buffer = Loader().decode;
  const size_t coded =
      static_cast<size_t>(plan.bodySize - dwq::kBmpHeadersSize - 4 * plan.paletteCount);
  if (!in.Read(buffer, coded)) return 0;
  size_t pos = 0;
  if (is256_) {
    // Each row starts as a copy of the one above (zeros above the first).
    for (int y = 0; y < height_; ++y) {
      unsigned char* row = pixels_ + static_cast<size_t>(y) * width_;
      if (y == 0)
        std::memset(row, 0, static_cast<size_t>(width_));
      else
        std::memcpy(row, row - width_, static_cast<size_t>(width_));
      if (!UnpackRow(buffer, coded, &pos, row, width_)) return 0;
    }
    return 1;
  }
  std::unique_ptr<unsigned char[]> indices(new (std::nothrow) unsigned char[width_]());
  if (!indices) return 0;
  for (int y = 0; y < height_; ++y) {
    if (!UnpackRow(buffer, coded, &pos, indices.get(), width_)) return 0;
    uint32_t* row = GetPixelBuffer() + static_cast<size_t>(y) * width_;
    for (int x = 0; x < width_; ++x) row[x] = plan.colours[indices[x]];
  }
  return 1;
}

std::string CPicture::ReadMask(platform::ByteReader& in) {
  const int64_t count = int64_t{width_} * height_;
  if (!CreateMask(static_cast<int>(count))) {
    maskValid_ = 0;
    return "no memory for the mask";
  }
  unsigned char raw[dwq::kBmpHeadersSize];
  if (!in.Read(raw, sizeof raw)) return "the mask's headers are cut short";
  const dwq::BitmapInfoHeader info = dwq::ParseInfoHeader(raw + dwq::kFileHeaderSize);
  const uint32_t entries = dwq::PaletteCount(info);
  if (entries > 256) return "the mask's palette holds more than 256 entries";
  unsigned char palette[256 * 4];
  if (!in.Read(palette, entries * 4)) return "the mask's palette is cut short";
  // The mask value of an index is the first byte of its entry.
  unsigned char level[256] = {};
  for (uint32_t i = 0; i < entries; ++i) level[i] = palette[i * 4];
  // The coded rows run to the end of the file or entry; the buffer holds
  // what it can, and rows that lie beyond it count as missing.
  const int64_t left = in.Remaining();
  const size_t coded = static_cast<size_t>(std::min<int64_t>(left, Loader().decodeSize));
  unsigned char* buffer = Loader().decode;
  if (!in.Read(buffer, coded)) return "the mask's rows are cut short";
  std::unique_ptr<unsigned char[]> indices(new (std::nothrow) unsigned char[width_]());
  if (!indices) return "no memory for the mask";
  // A row starts as a copy of the row above (the level of index 0 for the
  // first): only the pixels its coded bytes change are looked up again.
  const size_t w = static_cast<size_t>(width_);
  size_t pos = 0;
  for (int y = 0; y < height_; ++y) {
    unsigned char* row = mask_ + static_cast<size_t>(y) * w;
    if (y == 0)
      std::memset(row, level[0], w);
    else
      std::memcpy(row, row - w, w);
    unsigned char* const index = indices.get();
    if (!UnpackRowTelling(buffer, coded, &pos, index, width_,
                          [&](int x) { row[x] = level[index[x]]; }))
      return left > Loader().decodeSize ? BeyondBuffer("the mask's coded rows", left)
                                        : "the mask's rows are cut short";
  }
  maskValid_ = 1;
  return {};
}

int CPicture::CreateMaskFromPng() {
  CPngReader* png = Loader().png;
  maskValid_ = png ? CreateMask(width_ * height_) : 0;
  if (!maskValid_) return 0;
  png->ExtractAlpha(mask_);
  return 1;
}

namespace {

// The first set byte of row[0..limit), or limit: eight bytes a step.
int FirstSet(const unsigned char* row, int limit) {
  int x = 0;
  for (; x + 8 <= limit; x += 8) {
    uint64_t word;
    std::memcpy(&word, row + x, sizeof word);
    if (word) return x + __builtin_ctzll(word) / 8;
  }
  for (; x < limit; ++x)
    if (row[x]) return x;
  return limit;
}

// The last set byte of row[from..end), or -1: eight bytes a step.
int LastSet(const unsigned char* row, int from, int end) {
  int x = end;
  for (; x - 8 >= from; x -= 8) {
    uint64_t word;
    std::memcpy(&word, row + x - 8, sizeof word);
    if (word) return x - 8 + (63 - __builtin_clzll(word)) / 8;
  }
  for (--x; x >= from; --x)
    if (row[x]) return x;
  return -1;
}

}  // namespace

void CPicture::CalcuBoundingBox() {
  if (is256_ || !mask_) return;
  const int w = width_, h = height_;
  // One pass over the rows in memory order: the first row with a set byte,
  // and the first and last columns that have one in any row. Each row after
  // the first is searched only left of the first column found so far and
  // right of the last.
  int top = -1, first = w, last = -1;
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = mask_ + static_cast<size_t>(y) * w;
    const int x = FirstSet(row, first);
    if (x < first) first = x;
    if (top < 0) {
      if (x == w) continue;
      top = y;
    }
    const int right = LastSet(row, last + 1, w);
    if (right > last) last = right;
  }
  // The box keeps one spare pixel around the opaque part at the top, left
  // and right (two at the right); the bottom stays the picture's.
  if (top < 0) top = h - 1;
  else if (top > 0) --top;
  const int left = first == w ? w - 1 : first == 0 ? 0 : first - 1;
  const int r = last == w - 1 ? w : last + 2;
  boxTop_ = top;
  boxLeft_ = left;
  boxRight_ = r < w - 1 ? r + 1 : r;
}

const char* CPicture::LoadBody(platform::ByteReader& in, LoadPlan* plan, int keep256) {
  const char* broken = "the body is broken or cut short";
  switch (plan->body) {
    case Body::kJpeg: {
      CJpegDecoder* jpeg = Loader().jpeg;
      if (!jpeg) return "the JPEG decoder is not started";
      if (!in.Read(Loader().decode, static_cast<size_t>(plan->bodySize))) return broken;
      // The decoder sizes the picture from the JPEG frame.
      if (!jpeg->Decode(Loader().decode, static_cast<size_t>(plan->bodySize), this))
        return jpeg->GetError();
      return nullptr;
    }
    case Body::kPng: {
      CPngReader* png = Loader().png;
      if (!png) return "the PNG reader is not started";
      const int read = png->Read(&in, width_, height_);
      if (!read) return png->GetError();
      png->ToPixels({GetPixelBuffer(), width_, height_, width_});
      hasMask_ = png->GetAlphaFlag();
      return nullptr;
    }
    case Body::kPacked:
      return ReadPackedRows(in, *plan, keep256) ? nullptr : broken;
    case Body::kBmp:
      return ReadBmpRows(in, *plan, keep256) ? nullptr : broken;
  }
  return broken;
}

int CPicture::LoadDWQ(const char* name, int keep256, const char* folder) {
  if (!name) return 0;
  if (!name_.empty() && name_ == name) return 1;

  const std::string previousName = name_, previousPath = path_;
  name_ = name;
  path_ = std::string(folder ? folder : kDefaultFolder) + "\\" + name + "." + kExtension;
  // Before anything of the picture changes, a failure puts the name back:
  // the pixels are still those of the previous name.
  auto keepPrevious = [&] {
    name_ = previousName;
    path_ = previousPath;
  };

  FILE* file = OpenDwqFile(path_.c_str(), name);
  if (!file) {
    const std::string tried = path_;
    keepPrevious();
    ShowLoadError(name, tried);
    return 0;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> closer(file, std::fclose);
  // A pack entry ends where the next one starts; a loose file at its end.
  platform::ByteReader in(file, fromPack_ ? bytesLeft_ : -1);

  if (!Loader().decode) {
    keepPrevious();
    platform::DebugOutput("LoadDWQ: the picture loader is not started\n");
    return 0;
  }

  auto plan = std::make_unique<LoadPlan>();
  bool ok = ReadDwqHeader(in, plan.get());
  if (!ok) {
    plan->why = "the file is shorter than its header";
  } else if (plan->body == Body::kJpeg || plan->body == Body::kPng) {
    plan->why = PictureSizeProblem(plan->width, plan->height, 4);
    if (plan->why.empty())
      plan->why = CodedBodyProblem(plan->body == Body::kJpeg, plan->bodySize, in.Remaining(),
                                   int64_t{plan->width} * plan->height);
    ok = plan->why.empty();
    plan->pixelBytes = ok ? static_cast<int>(PixelBlockBytes(plan->width, plan->height, 4)) : 0;
  } else {
    ok = ReadBmpHeader(in, plan.get(), keep256);
  }
  if (!ok) {
    keepPrevious();
    ShowBadFile(name, plan->why);
    return 0;
  }

  // From here on the picture changes.
  std::memcpy(header_, plan->header, sizeof header_);
  fileHeader_ = plan->fileHeader;
  infoHeader_ = plan->info;
  bodySize_ = plan->bodySize;
  isPacked_ = plan->body == Body::kPacked;
  isJpeg_ = plan->body == Body::kJpeg;
  isPng_ = plan->body == Body::kPng;
  hasMask_ = plan->hasMask;
  hasHeaderBox_ = plan->headerBox;
  maskValid_ = 0;
  auto forget = [&] {
    loaded_ = 0;
    maskValid_ = 0;
    ClearName();
    return 0;
  };
  auto fail = [&](const std::string& why) {
    ShowBadFile(name, why);
    return forget();
  };
  // Running out of memory is no fault of the file: a line, no box.
  auto noMemory = [&] {
    platform::ErrorOutput(("LOAD DWQ ERROR " + std::string(name) + ": no memory for its " +
                           std::to_string(plan->pixelBytes) + "-byte pixels")
                              .c_str());
    return forget();
  };
  // The body and mask readers write new blocks whole; what they leave is
  // cleared when the load ends, whichever way it ends.
  CLoadBlocks blocks(this);
  if (plan->keepIndices && !palette_) {
    palette_ = new (std::nothrow) uint32_t[256]();
    if (!palette_) return noMemory();
  }
  if (!CreateBuffer(plan->pixelBytes)) return noMemory();
  // The kind of pixels changes only together with a block that holds them.
  is256_ = 0;
  SetBmpGeometry(*plan);
  SetWholeBox();
  if (plan->keepIndices) {
    is256_ = 1;
    std::memcpy(palette_, plan->colours, sizeof plan->colours);
  }
  if (const char* why = LoadBody(in, plan.get(), keep256)) return fail(why);
  loaded_ = 1;

  if (hasMask_) {
    const std::string why = isPng_ ? (CreateMaskFromPng() ? "" : "no memory for the mask")
                                   : ReadMask(in);
    if (!why.empty()) return fail(why);
    if (hasHeaderBox_) {
      // Box values from the file are kept inside the picture.
      const unsigned char* h = header_;
      auto clamp = [](int64_t v, int64_t hi) {
        return static_cast<int>(std::clamp<int64_t>(v, 0, hi));
      };
      boxLeft_ = clamp(dwq::GetI32(h + dwq::kBoxLeft), width_);
      boxRight_ = clamp(int64_t{width_} - dwq::GetI32(h + dwq::kBoxRightMargin), width_);
      boxTop_ = clamp(dwq::GetI32(h + dwq::kBoxTop), height_);
      boxBottom_ = clamp(int64_t{height_} - dwq::GetI32(h + dwq::kBoxBottomMargin), height_);
    } else {
      CalcuBoundingBox();
    }
  }
  if (Loader().observer) Loader().observer(Loader().observerData, name, folder, keep256);
  return 1;
}
