#include "graphics/picture.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "graphics/allpicture.h"
#include "graphics/bltrows.h"
#include "graphics/loadblocks.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressChecked = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressChecked = true;
#else
constexpr bool kAddressChecked = false;
#endif
#else
constexpr bool kAddressChecked = false;
#endif

// Bytes of a width x height block at bpp bytes a pixel plus the 64 every
// requester adds, or -1 when the size is not positive or beyond 32 bits.
int64_t BlockBytes(int64_t width, int64_t height, int64_t bpp) {
  if (width <= 0 || height <= 0 || width * height > (INT_MAX - 64) / bpp) return -1;
  return width * height * bpp + 64;
}

// Large blocks given up by pictures are kept for the next pictures of at
// most their size: memory the process has written before costs nothing to
// write again, while fresh pages cost a fault each on first touch (most of
// what entering a screen took). At most kKeptBlocks blocks and kKeptBytes
// bytes are kept; past that the oldest goes back to the system. Under
// AddressSanitizer nothing is kept, so a use of a freed picture block is
// still caught.
class BlockStore {
 public:
  static constexpr size_t kKeepFrom = 64 * 1024;
  static constexpr size_t kKeptBlocks = 32;
  static constexpr size_t kKeptBytes = 64u * 1024 * 1024;

  // A kept block of at least bytes (the smallest such), or null.
  unsigned char* Take(size_t bytes) {
    if (bytes < kKeepFrom) return nullptr;
    std::lock_guard<std::mutex> hold(lock_);
    size_t best = kept_.size();
    for (size_t i = 0; i < kept_.size(); ++i)
      if (kept_[i].bytes >= bytes && (best == kept_.size() || kept_[i].bytes < kept_[best].bytes))
        best = i;
    if (best == kept_.size()) return nullptr;
    unsigned char* block = kept_[best].block;
    keptBytes_ -= kept_[best].bytes;
    kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(best));
    return block;
  }
  // Keeps a block of bytes (the size its owner knew), or frees it.
  void Give(unsigned char* block, size_t bytes) {
    if (!block) return;
    if (kAddressChecked || bytes < kKeepFrom || bytes > kKeptBytes) return std::free(block);
    std::lock_guard<std::mutex> hold(lock_);
    while (!kept_.empty() && (kept_.size() >= kKeptBlocks || keptBytes_ + bytes > kKeptBytes)) {
      std::free(kept_.front().block);
      keptBytes_ -= kept_.front().bytes;
      kept_.erase(kept_.begin());
    }
    kept_.push_back({block, bytes});
    keptBytes_ += bytes;
  }

 private:
  struct Kept {
    unsigned char* block;
    size_t bytes;
  };
  std::mutex lock_;
  std::vector<Kept> kept_;
  size_t keptBytes_ = 0;
};

// Made once and never destroyed: pictures of static lifetime give their
// blocks back after every other static is gone.
BlockStore& Blocks() {
  static BlockStore* store = new BlockStore();
  return *store;
}

// A new block is cleared: a picture shows black and a transparent mask
// until something is drawn or loaded into it, never what the memory held.
// A block a load writes whole is cleared where the load did not write when
// the load ends (CLoadBlocks). Blocks not kept before come from calloc:
// fresh pages from the system are zero already, so a large blank picture
// costs nothing until it is drawn into.
// Blocks a test has asked to refuse (CPicture::FailAllocations): after
// g_failAfter more blocks, the next g_failCount cannot be had.
std::atomic<int> g_failAfter{0};
std::atomic<int> g_failCount{0};

bool RefuseThisBlock() {
  if (g_failCount.load() <= 0) return false;
  if (g_failAfter.load() > 0) {
    --g_failAfter;
    return false;
  }
  --g_failCount;
  return true;
}

unsigned char* NewBlock(int64_t bytes, bool clear) {
  if (bytes <= 0 || RefuseThisBlock()) return nullptr;
  const size_t size = static_cast<size_t>(bytes);
  if (unsigned char* kept = Blocks().Take(size)) {
    if (clear) std::memset(kept, 0, size);
    return kept;
  }
  return static_cast<unsigned char*>(clear ? std::calloc(size, 1) : std::malloc(size));
}

// bytes: the size the owner asked for (a kept block may be larger).
void FreeBlock(unsigned char* block, int64_t bytes) {
  Blocks().Give(block, static_cast<size_t>(std::max<int64_t>(bytes, 0)));
}

// The CLoadBlocks of this thread, innermost first.
thread_local CLoadBlocks* loadBlocks = nullptr;

void ClearFrom(unsigned char* block, int64_t bytes, int64_t written) {
  if (written < bytes) std::memset(block + written, 0, static_cast<size_t>(bytes - written));
}

uint32_t* ScreenRow(int y) {
  return CScreenBuffer::GetBuffer() + static_cast<ptrdiff_t>(y) * CScreenBuffer::GetWidth();
}

}  // namespace

CLoadBlocks::CLoadBlocks(CPicture* picture) : picture_(picture), outer_(loadBlocks) {
  loadBlocks = this;
}

CLoadBlocks::~CLoadBlocks() {
  loadBlocks = outer_;
  // A loaded body wrote every pixel, and a valid mask every mask byte.
  const bool loaded = picture_->IsLoaded() != 0;
  const int64_t pixels = int64_t{picture_->GetWidth()} * picture_->GetHeight();
  if (pixels_ && pixels_ == picture_->GetBuffer()) {
    const int64_t written = loaded ? pixels * (picture_->Get256Flag() ? 1 : 4) : 0;
    ClearFrom(pixels_, pixelBytes_, std::min(written, pixelBytes_));
  }
  if (mask_ && mask_ == picture_->GetMask()) {
    const int64_t written = loaded && picture_->GetMaskFlag() ? pixels : 0;
    ClearFrom(mask_, maskBytes_, std::min(written, maskBytes_));
  }
}

bool CLoadBlocks::LeaveUncleared(const CPicture* picture) {
  return loadBlocks && loadBlocks->picture_ == picture;
}

void CLoadBlocks::NotePixels(unsigned char* block, int64_t bytes) {
  loadBlocks->pixels_ = block;
  loadBlocks->pixelBytes_ = block ? bytes : 0;
}

void CLoadBlocks::NoteMask(unsigned char* block, int64_t bytes) {
  loadBlocks->mask_ = block;
  loadBlocks->maskBytes_ = block ? bytes : 0;
}

void CPicture::FailAllocations(int count, int after) {
  g_failAfter = after < 0 ? 0 : after;
  g_failCount = count < 0 ? 0 : count;
}

CPicture::CPicture(const char* fileName, int, int, int keep256) {
  InitMembers();
  isJpeg_ = hasMask_ = isPacked_ = isPng_ = 0;
  if (fileName) LoadDWQ(fileName, keep256, nullptr);
}

CPicture::CPicture(int width, int height, int withMask) {
  InitMembers();
  width_ = width;
  height_ = height;
  SetWholeBox();
  is256_ = 0;
  int64_t bytes = BlockBytes(width, height, 4);
  CreateBuffer(bytes < 0 ? -1 : static_cast<int>(bytes));
  if (withMask) {
    int64_t maskBytes = BlockBytes(width, height, 1);
    maskValid_ = CreateMask(maskBytes < 0 ? -1 : static_cast<int>(maskBytes - 64));
  } else {
    maskValid_ = 0;
  }
  loaded_ = 1;
}

CPicture::~CPicture() { Release(); }

void CPicture::InitMembers() {
  pixels_ = nullptr;
  pixelCapacity_ = 0;
  mask_ = nullptr;
  maskCapacity_ = 0;
  palette_ = nullptr;
  name_.clear();
  loaded_ = 0;
  maskValid_ = 0;
  is256_ = 0;
  width_ = height_ = 1;
  SetWholeBox();
  spare_ = 0;
}

void CPicture::SetWholeBox() {
  boxLeft_ = 0;
  boxTop_ = 0;
  boxRight_ = width_;
  boxBottom_ = height_;
}

void CPicture::Release() {
  FreeBlock(pixels_, pixelCapacity_);
  pixels_ = nullptr;
  pixelCapacity_ = 0;
  delete[] palette_;
  palette_ = nullptr;
  FreeBlock(mask_, maskCapacity_);
  mask_ = nullptr;
  maskCapacity_ = 0;
  maskValid_ = 0;
}

int CPicture::CreateBuffer(int bytes) {
  if (pixels_ && bytes > 0 && pixelCapacity_ >= bytes) return 1;
  const bool uncleared = CLoadBlocks::LeaveUncleared(this);
  unsigned char* block = NewBlock(bytes, !uncleared);
  if (uncleared) CLoadBlocks::NotePixels(block, bytes);
  FreeBlock(pixels_, pixelCapacity_);
  pixels_ = block;
  if (!block) {
    pixelCapacity_ = 0;
    // "LOADDWQ メモリ確保できません File:" name
    std::string line =
        "LOADDWQ "
        "\x83\x81\x83\x82\x83\x8a\x8a\x6d\x95\xdb\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
        " File:";
    line += name_;
    line += "\n";
    platform::DebugOutput(line.c_str());
    return 0;
  }
  pixelCapacity_ = bytes;
  return 1;
}

int CPicture::GrowMask(int bytes) {
  if (bytes <= 0) return 0;
  if (mask_ && maskCapacity_ >= bytes) return 1;
  FreeBlock(mask_, maskCapacity_);
  const bool uncleared = CLoadBlocks::LeaveUncleared(this);
  mask_ = NewBlock(bytes, !uncleared);
  maskCapacity_ = mask_ ? bytes : 0;
  if (uncleared) CLoadBlocks::NoteMask(mask_, bytes);
  return mask_ ? 1 : 0;
}

int CPicture::CreateMask(int bytes) {
  if (bytes <= 0) return 0;
  if (mask_ && maskCapacity_ >= bytes) return 1;
  if (!GrowMask(bytes)) return 0;
  maskValid_ = 1;
  return 1;
}

bool CPicture::MaskUsable() const {
  return maskValid_ && mask_ && width_ > 0 && height_ > 0 &&
         int64_t{maskCapacity_} >= int64_t{width_} * height_;
}

int CPicture::Resize(int width, int height) {
  int64_t bytes = BlockBytes(width, height, is256_ ? 1 : 4);
  if (bytes < 0) return 0;
  const int64_t needed = bytes - 64;
  const bool replace = !pixels_ || pixelCapacity_ < needed;
  if (replace && !CreateBuffer(static_cast<int>(bytes))) return 0;
  width_ = width;
  height_ = height;
  SetWholeBox();
  // A new block brings a mask plane of the new size; a kept block keeps its
  // mask only while that still covers the picture.
  const int maskBytes = width * height;
  if (replace || mask_) {
    if (!GrowMask(maskBytes)) maskValid_ = 0;
  }
  return 1;
}

bool CPicture::MakePixelTarget(int width, int height, PixelTarget* target) {
  if (is256_ || !Resize(width, height) || !GetPixelBuffer()) return false;
  *target = {GetPixelBuffer(), width_, height_, width_};
  return true;
}

void CPicture::ClearName() {
  name_.clear();
  path_.clear();
}

int CPicture::HitCheck(int x, int y, int keyX, int keyY) const {
  if (!pixels_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const size_t at = static_cast<size_t>(y) * width_ + x;
  const bool keyInside = keyX >= 0 && keyY >= 0 && keyX < width_ && keyY < height_;
  const size_t keyAt = keyInside ? static_cast<size_t>(keyY) * width_ + keyX : 0;
  if (is256_) return keyInside && pixels_[at] != pixels_[keyAt] ? 1 : 0;
  if (hasMask_ && mask_ && int64_t{maskCapacity_} >= int64_t{width_} * height_)
    return mask_[at] != 0 ? 1 : 0;
  const uint32_t* p = GetPixelBuffer();
  return keyInside && p[at] != p[keyAt] ? 1 : 0;
}

int CPicture::GetScreen() {
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (!CScreenBuffer::GetBuffer() || sw <= 0 || sh <= 0) return 0;
  if (!pixels_ || width_ < sw || height_ < sh || is256_) Resize(sw, sh);
  if (!pixels_ || is256_ || width_ < sw || height_ < sh) return 0;
  uint32_t* dst = GetPixelBuffer();
  // A picture as wide as the screen takes its rows as one run.
  if (width_ == sw)
    std::memcpy(dst, ScreenRow(0), static_cast<size_t>(sw) * static_cast<size_t>(sh) * sizeof(uint32_t));
  else
    for (int y = 0; y < sh; ++y)
      std::memcpy(dst + static_cast<size_t>(y) * width_, ScreenRow(y),
                  static_cast<size_t>(sw) * sizeof(uint32_t));
  ClearName();
  loaded_ = 1;
  return 1;
}

int CPicture::GetScreenRect(int x, int y, int w, int h) {
  if (w == -1) w = width_;
  if (h == -1) h = height_;
  if (w <= 0 || h <= 0 || is256_ || !pixels_ || width_ < w || height_ < h) return 0;
  if (!CScreenBuffer::GetBuffer()) return 0;
  // The picture's (0, 0) stays at screen (x, y): a cut at the left or top
  // moves the copy inside the picture.
  int64_t sx = x, sy = y, cw = w, ch = h, px = 0, py = 0;
  if (sx < 0) {
    px = -sx;
    cw += sx;
    sx = 0;
  }
  if (sy < 0) {
    py = -sy;
    ch += sy;
    sy = 0;
  }
  cw = std::min<int64_t>(cw, CScreenBuffer::GetWidth() - sx);
  ch = std::min<int64_t>(ch, CScreenBuffer::GetHeight() - sy);
  if (cw <= 0 || ch <= 0) return 0;
  uint32_t* dst = GetPixelBuffer();
  for (int64_t j = 0; j < ch; ++j)
    std::memcpy(dst + (py + j) * width_ + px, ScreenRow(static_cast<int>(sy + j)) + sx,
                static_cast<size_t>(cw) * sizeof(uint32_t));
  maskValid_ = 0;
  ClearName();
  loaded_ = 1;
  return 1;
}

int CPicture::ClipToBox(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const {
  int64_t dx = *dstX, dy = *dstY, sx = *srcX, sy = *srcY, cw = *w, ch = *h;
  bool ok = true;
  if (sx < boxLeft_) {
    dx += boxLeft_ - sx;
    cw -= boxLeft_ - sx;
    sx = boxLeft_;
  }
  if (cw <= 0) ok = false;
  if (ok && sy < boxTop_) {
    dy += boxTop_ - sy;
    ch -= boxTop_ - sy;
    sy = boxTop_;
  }
  if (ch <= 0) ok = false;
  if (ok && sx + cw > boxRight_) cw = boxRight_ - sx;
  if (cw <= 0) ok = false;
  if (ok && sy + ch > boxBottom_) ch = boxBottom_ - sy;
  if (ch <= 0) ok = false;
  if (!ok) return 0;
  *dstX = static_cast<int>(dx);
  *dstY = static_cast<int>(dy);
  *srcX = static_cast<int>(sx);
  *srcY = static_cast<int>(sy);
  *w = static_cast<int>(cw);
  *h = static_cast<int>(ch);
  return 1;
}

int CPicture::ClipToScreen(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const {
  const int64_t left = CScreenBuffer::GetClipLeft(), top = CScreenBuffer::GetClipTop();
  const int64_t right = CScreenBuffer::GetClipRight(), bottom = CScreenBuffer::GetClipBottom();
  int64_t dx = *dstX, dy = *dstY, sx = *srcX, sy = *srcY, cw = *w, ch = *h;
  bool ok = !(dx + cw <= left || dy + ch <= top || dx >= right || dy >= bottom);
  if (ok) {
    if (dx < left) {
      sx += left - dx;
      cw -= left - dx;
      dx = left;
    }
    if (dy < top) {
      sy += top - dy;
      ch -= top - dy;
      dy = top;
    }
    if (sx < 0) {
      cw += sx;
      sx = 0;
    }
    if (sy < 0) {
      ch += sy;
      sy = 0;
    }
    cw = std::min(cw, right - dx);
    ch = std::min(ch, bottom - dy);
    cw = std::min<int64_t>(cw, width_ - sx);
    ch = std::min<int64_t>(ch, height_ - sy);
    ok = cw > 0 && ch > 0 && sx < width_ && sy < height_;
  }
  if (!ok) {
    *w = 0;
    *h = 0;
    return 0;
  }
  *dstX = static_cast<int>(dx);
  *dstY = static_cast<int>(dy);
  *srcX = static_cast<int>(sx);
  *srcY = static_cast<int>(sy);
  *w = static_cast<int>(cw);
  *h = static_cast<int>(ch);
  return 1;
}

int CPicture::Clip(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const {
  if (!ClipToBox(dstX, dstY, srcX, srcY, w, h)) return 0;
  return ClipToScreen(dstX, dstY, srcX, srcY, w, h);
}

void CPicture::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag) {
  if (!loaded_ || !pixels_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  if (is256_) {
    // An 8-bit picture is keyed by its index even when it has a mask: the
    // mask blitter reads 32-bit pixels.
    if (transFlag)
      CAllPicture::Blt256(dstX, dstY, srcX, srcY, w, h, pixels_, palette_, width_, height_);
    else
      CAllPicture::Blt256Beta(dstX, dstY, srcX, srcY, w, h, pixels_, palette_, width_, height_);
  } else if (!transFlag) {
    CAllPicture::BltBeta(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_);
  } else if (MaskUsable()) {
    CAllPicture::MaskBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), mask_, width_, height_);
  } else {
    CAllPicture::Blt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_);
  }
}

void CPicture::Put(int x, int y, int transFlag) {
  int srcX = 0, srcY = 0, w = width_, h = height_;
  if (!Clip(&x, &y, &srcX, &srcY, &w, &h)) return;
  Blt(x, y, srcX, srcY, w, h, transFlag);
}

void CPicture::MaskBlt(int dstX, int dstY, int srcX, int srcY, int w, int h) {
  if (!pixels_ || is256_ || !MaskUsable()) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::MaskBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), mask_, width_, height_);
}

void CPicture::RasterBlt(CPicture* picture, int xBias, int dstY, int srcX, int srcY, int w,
                         int rows, int transFlag, const int* offsets) {
  const CPicture& src = picture ? *picture : *this;
  if (!src.pixels_ || src.is256_ || !offsets || !CScreenBuffer::GetBuffer()) return;
  if (transFlag && !src.MaskUsable()) return;
  const int64_t sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const uint32_t* pixels = src.GetPixelBuffer();
  for (int64_t r = 0; r < rows; ++r) {
    const int64_t screenY = int64_t{dstY} + r;
    if (screenY < 0) continue;  // the row's table entry is passed over with it
    if (screenY >= sh) break;
    // Rows and columns outside the picture are not drawn.
    const int64_t pictureY = int64_t{srcY} + r;
    if (pictureY < 0 || pictureY >= src.height_) continue;
    const int64_t x0 = int64_t{xBias} + offsets[r];
    int64_t from = std::max<int64_t>({0, -x0, -int64_t{srcX}});
    int64_t to = std::min<int64_t>({w, sw - x0, src.width_ - int64_t{srcX}});
    if (from >= to) continue;
    const size_t at = static_cast<size_t>(pictureY * src.width_ + srcX + from);
    uint32_t* dst = ScreenRow(static_cast<int>(screenY)) + (x0 + from);
    const size_t n = static_cast<size_t>(to - from);
    if (!transFlag) {
      std::memcpy(dst, pixels + at, n * sizeof(uint32_t));
      continue;
    }
    bltrows::MaskLevel(dst, pixels + at, src.mask_ + at, n);
  }
}

void CPicture::SplitBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                        const int* splits, int percent, bool right) {
  if (!pixels_ || is256_ || !useMask || !MaskUsable() || !splits) return;
  const int requestY = srcY;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  const int* table = splits + (srcY - requestY);
  const int k = std::clamp(percent, 0, 100) * 256 / 100;
  const uint32_t* pixels = GetPixelBuffer();
  for (int j = 0; j < h; ++j) {
    int64_t from = srcX, to = int64_t{srcX} + w;
    if (right)
      from = std::max<int64_t>(from, table[j]);
    else
      to = std::min<int64_t>(to, table[j]);
    if (from >= to) continue;
    const size_t row = static_cast<size_t>(srcY + j) * width_;
    uint32_t* dst = ScreenRow(dstY + j) + dstX;
    bltrows::MaskScaled(dst + (from - srcX), pixels + row + from, mask_ + row + from,
                        static_cast<size_t>(to - from), k);
  }
}

void CPicture::SplitBltRight(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                             const int* splits, int percent) {
  SplitBlt(dstX, dstY, srcX, srcY, w, h, useMask, splits, percent, true);
}

void CPicture::SplitBltLeft(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                            const int* splits, int percent) {
  SplitBlt(dstX, dstY, srcX, srcY, w, h, useMask, splits, percent, false);
}
