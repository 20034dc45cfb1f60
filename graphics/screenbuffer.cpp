#include "graphics/screenbuffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/allpicture.h"
#include "platform/backend.h"
#include "platform/system.h"

namespace {

// Pixel blocks start on 64-byte boundaries and keep 128 readable bytes in
// front of the first row.
constexpr size_t kAlign = 64;
constexpr size_t kFront = 128;

}  // namespace

CScreenBuffer* CScreenBuffer::owner_ = nullptr;
int CScreenBuffer::width_ = 0;
int CScreenBuffer::height_ = 0;
unsigned char* CScreenBuffer::block_ = nullptr;
uint32_t* CScreenBuffer::pixels_ = nullptr;
int32_t* CScreenBuffer::spans_ = nullptr;
CScreenBuffer::DirtyRect CScreenBuffer::dirty_[kMaxDirtyRects];
int CScreenBuffer::dirtyCount_ = 0;
int64_t CScreenBuffer::dirtyArea_ = 0;
int CScreenBuffer::fullRedraw_ = 1;
int CScreenBuffer::fullRedrawRequest_ = 1;
int CScreenBuffer::fullRedrawFrames_ = 0;
int CScreenBuffer::alwaysFullRedraw_ = 0;
int CScreenBuffer::fullScreenFlag_ = 0;

CScreenBuffer::CScreenBuffer(int width, int height, int useDIB) : useDIB_(useDIB) {
  // There is one frame per process; a new one replaces the old.
  if (owner_) owner_->Release();
  owner_ = this;

  dirtyCount_ = 0;
  dirtyArea_ = 0;
  fullRedraw_ = 1;
  fullRedrawRequest_ = 1;
  fullRedrawFrames_ = 0;
  alwaysFullRedraw_ = 0;

  // The pixel count includes the two spare rows; a byte count beyond 32 bits
  // fails like a refused allocation.
  uint64_t bytes = 0;
  if (width > 0 && height > 0) {
    bytes = static_cast<uint64_t>(width) * (static_cast<uint64_t>(height) + 2) * 4;
    if (bytes > 0xFFFFFFFFull) bytes = 0;
  }
  if (bytes) {
    // calloc: a frame this large comes as fresh pages from the system, zero
    // already, with no pass to clear it.
    block_ = static_cast<unsigned char*>(std::calloc(kFront + bytes + kAlign, 1));
    spans_ = static_cast<int32_t*>(
        std::calloc(static_cast<size_t>(height) * kSpanWords, sizeof(int32_t)));
  }
  if (!block_ || !spans_) {
    // Without a frame the size is 0 x 0: every clip then reports nothing
    // visible and the whole-screen walks are empty, so nothing writes.
    ReleaseBlock();
  } else {
    const uintptr_t first = reinterpret_cast<uintptr_t>(block_ + kFront);
    pixels_ = reinterpret_cast<uint32_t*>((first + kAlign - 1) & ~static_cast<uintptr_t>(kAlign - 1));
    width_ = width;
    height_ = height;
  }

  allGraphics_ = new (std::nothrow) CAllGraphics();
  allGeo_ = new (std::nothrow) CAllGeo();
  allPicture_ = new (std::nothrow) CAllPicture();
}

CScreenBuffer::~CScreenBuffer() { Release(); }

void CScreenBuffer::Release() {
  delete allPicture_;
  allPicture_ = nullptr;
  delete allGeo_;
  allGeo_ = nullptr;
  delete allGraphics_;
  allGraphics_ = nullptr;
  if (owner_ == this) {
    ReleaseBlock();
    owner_ = nullptr;
  }
}

void CScreenBuffer::ReleaseBlock() {
  // The host may still read the last presented frame from these pixels.
  platform::ForgetFrame(pixels_);
  std::free(spans_);
  spans_ = nullptr;
  std::free(block_);
  block_ = nullptr;
  pixels_ = nullptr;
  width_ = 0;
  height_ = 0;
  dirtyCount_ = 0;
  dirtyArea_ = 0;
}

int CScreenBuffer::ClipRect(int* x, int* y, int* w, int* h) {
  // 64-bit edges: callers pass anything, and x + w must not overflow.
  int64_t left = *x, top = *y, width = *w, height = *h;
  // A rectangle without area shows nothing, wherever it lies.
  if (width <= 0 || height <= 0) return 0;
  if (left >= width_ || top >= height_ || left + width <= 0 || top + height <= 0) return 0;
  if (left < 0) {
    width += left;
    left = 0;
    if (width <= 0) return 0;
  }
  if (top < 0) {
    height += top;
    top = 0;
    if (height <= 0) return 0;
  }
  if (left + width > width_) {
    width = width_ - left;
    if (width <= 0) return 0;
  }
  if (top + height > height_) {
    height = height_ - top;
    if (height <= 0) return 0;
  }
  *x = static_cast<int>(left);
  *y = static_cast<int>(top);
  *w = static_cast<int>(width);
  *h = static_cast<int>(height);
  return 1;
}

void CScreenBuffer::AddDirtyRect(int x, int y, int w, int h) {
  if (dirtyCount_ >= kMaxDirtyRects) {
    // No room: show the whole frame rather than lose a change.
    fullRedraw_ = 1;
    return;
  }
  int64_t left = x, top = y, width = w, height = h;
  if (left + width <= 0 || top + height <= 0 || left >= width_ || top >= height_) return;
  if (left < 0) {
    width += left;
    left = 0;
  }
  if (top < 0) {
    height += top;
    top = 0;
  }
  if (left + width > width_) width = width_ - left;
  if (top + height > height_) height = height_ - top;
  if (width <= 0 || height <= 0) return;

  for (int i = 0; i < dirtyCount_; ++i) {
    const DirtyRect& e = dirty_[i];
    // Equal or inside an entry: already covered. Overlaps are kept as they are.
    if (left >= e.x && top >= e.y && left + width <= int64_t{e.x} + e.w &&
        top + height <= int64_t{e.y} + e.h)
      return;
  }
  dirty_[dirtyCount_++] = {static_cast<int>(left), static_cast<int>(top),
                           static_cast<int>(width), static_cast<int>(height)};
  dirtyArea_ += width * height;
  if (dirtyArea_ >= int64_t{width_} * height_) fullRedraw_ = 1;
}

void CScreenBuffer::SetFullRedraw(int n) {
  fullRedrawRequest_ = 1;
  fullRedrawFrames_ = n;
  fullRedraw_ = 1;
}

void CScreenBuffer::SetFullRedrawFlag(int v) { fullRedraw_ = v; }

int CScreenBuffer::CheckFullRedraw() { return (alwaysFullRedraw_ || fullRedraw_) ? 1 : 0; }

void CScreenBuffer::SetAlwaysFullRedraw() { alwaysFullRedraw_ = 1; }

void CScreenBuffer::StartFrame() {
  ClearDirtyRects();
  fullRedraw_ = 0;
  if (fullRedrawRequest_) {
    fullRedrawRequest_ = 0;
    fullRedraw_ = 1;
  }
  if (fullRedrawFrames_ > 0) {
    --fullRedrawFrames_;
    fullRedraw_ = 1;
  }
  if (alwaysFullRedraw_) fullRedraw_ = 1;
}

// Nothing to close: the next StartFrame starts the list over.
void CScreenBuffer::EndFrame() {}

void CScreenBuffer::ClearDirtyRects() {
  dirtyCount_ = 0;
  dirtyArea_ = 0;
}

int CScreenBuffer::GetDirtyRect(int i, int* x, int* y, int* w, int* h) {
  if (i < 0 || i >= dirtyCount_) {
    *x = 0;
    *y = 0;
    *w = 8;
    *h = 8;
    return 0;
  }
  *x = dirty_[i].x;
  *y = dirty_[i].y;
  *w = dirty_[i].w;
  *h = dirty_[i].h;
  return 1;
}

int CScreenBuffer::BltToWindow(platform::Window* window, int x, int y, int w, int h) {
  if (!window || !pixels_ || !ClipRect(&x, &y, &w, &h)) return 0;
  platform::FrameView view{pixels_, width_, height_, width_ * 4};
  platform::Rect rect{x, y, x + w, y + h};
  return window->Present(view, &rect, 1, false) == platform::PresentResult::kOk ? 1 : 0;
}

int CheckAllPointers(const void* a, const void* b, const void* c, const void* d) {
  return (a && b && c && d) ? 1 : 0;
}

const char* GetMoktLibDate() { return __DATE__; }
const char* GetMoktLibTime() { return __TIME__; }
