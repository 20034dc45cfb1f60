#include "message/textlayer.h"

#include <algorithm>
#include <cstring>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

LineKey MakeLineKey(const char* keyText, const char* source, int length) {
  // FNV-1a over the whole line.
  uint32_t hash = 2166136261u;
  for (int i = 0; source && i < length; ++i) {
    hash ^= static_cast<unsigned char>(source[i]);
    hash *= 16777619u;
  }
  LineKey key;
  key.text = keyText;
  key.fullLength = length;
  key.hash = hash;
  return key;
}

CTextLayer::CTextLayer(int annotations) : annotations_(annotations) {
  width_ = std::max(CScreenBuffer::GetWidth(), 1);
  height_ = std::max(CScreenBuffer::GetHeight(), 1);
  layer_ = std::make_unique<CPicture>(width_, height_, 1);
  layer_->SetMaskFlag(1);
  if (annotations_) {
    annotationLayer_ = std::make_unique<CPicture>(width_, height_, 1);
    annotationLayer_->SetMaskFlag(1);
  }
  capacity_ = std::max(height_ / kRowsPerEntry, 1);
  entries_.assign(static_cast<size_t>(capacity_), Entry());
  keys_.assign(static_cast<size_t>(capacity_) * (kMaxKeyBytes + 1), 0);
  Clear();
}

CTextLayer::~CTextLayer() { Release(); }

void CTextLayer::Release() {
  layer_.reset();
  annotationLayer_.reset();
  entries_.clear();
  keys_.clear();
  capacity_ = 0;
  count_ = oldest_ = nextRow_ = freeRows_ = 0;
}

void CTextLayer::Clear() {
  count_ = 0;
  oldest_ = 0;
  nextRow_ = 0;
  freeRows_ = height_;
}

int CTextLayer::Find(const LineKey& key, int size, int r, int g, int b, int spacing,
                     int outline) const {
  if (!key.text) return -1;
  const size_t length = std::strlen(key.text);
  if (length > kMaxKeyBytes) return -1;
  for (int n = 0; n < count_; ++n) {
    const int i = (oldest_ + n) % capacity_;
    const Entry& e = entries_[static_cast<size_t>(i)];
    if (e.keyLength == static_cast<int>(length) && e.fullLength == key.fullLength &&
        e.hash == key.hash && e.size == size && std::memcmp(KeyText(i), key.text, length) == 0 &&
        e.r == r && e.g == g && e.b == b && e.spacing == spacing && e.outline == outline)
      return i;
  }
  return -1;
}

void CTextLayer::EvictOldest() {
  const Entry& e = entries_[static_cast<size_t>(oldest_)];
  if (e.top < nextRow_) {
    nextRow_ = 0;
    freeRows_ = e.top + e.height;
  } else {
    freeRows_ += e.height;
    if (count_ > 1) {
      const Entry& next = entries_[static_cast<size_t>((oldest_ + 1) % capacity_)];
      if (next.top < nextRow_) freeRows_ = height_ - nextRow_;
    }
  }
  oldest_ = (oldest_ + 1) % capacity_;
  --count_;
}

int CTextLayer::Store(const LineKey& key, int size, int r, int g, int b, int spacing, int outline,
                      int width, int height, const CPicture* work, const CPicture* annotationWork) {
  if (!key.text || capacity_ == 0) return -1;
  const size_t length = std::strlen(key.text);
  if (length > kMaxKeyBytes) return -1;
  // The band is as high as the line (at least one row), whatever the size.
  const int rows = std::max(height, 1);
  if (freeRows_ < rows || count_ >= capacity_) {
    do {
      if (count_ == 0) return -1;
      EvictOldest();
    } while (freeRows_ < rows);
  }
  const int index = (oldest_ + count_) % capacity_;
  Entry& e = entries_[static_cast<size_t>(index)];
  e = Entry();
  e.keyLength = static_cast<int>(length);
  e.fullLength = key.fullLength;
  e.hash = key.hash;
  e.size = size;
  e.r = r;
  e.g = g;
  e.b = b;
  e.spacing = spacing;
  e.outline = outline;
  e.width = width;
  e.height = height;
  e.top = nextRow_;
  std::memcpy(&keys_[static_cast<size_t>(index) * (kMaxKeyBytes + 1)], key.text, length + 1);
  nextRow_ += rows;
  freeRows_ -= rows;
  ++count_;
  if (width >= 1 && height >= 1) {
    CopyBand(work, layer_.get(), e.top, width, height);
    if (annotationWork && annotationLayer_) {
      CopyBand(annotationWork, annotationLayer_.get(), e.top, width, height);
      e.annotation = true;
    }
  }
  return index;
}

void CTextLayer::CopyBand(const CPicture* from, CPicture* to, int top, int width, int height) {
  if (!from || !from->GetPixelBuffer() || !from->GetMask() || !to->GetPixelBuffer()) return;
  const int w = std::min({width, from->GetWidth(), to->GetWidth()});
  const int h = std::min({height, from->GetHeight(), to->GetHeight() - top});
  for (int y = 0; y < h; ++y) {
    const size_t src = static_cast<size_t>(y) * from->GetWidth();
    const size_t dst = static_cast<size_t>(top + y) * to->GetWidth();
    std::memcpy(to->GetPixelBuffer() + dst, from->GetPixelBuffer() + src,
                static_cast<size_t>(w) * 4);
    std::memcpy(to->GetMask() + dst, from->GetMask() + src, static_cast<size_t>(w));
  }
}

void CTextLayer::GetLinePos(int entry, int* x, int* y) const {
  *x = 0;
  *y = entry >= 0 && entry < capacity_ ? entries_[static_cast<size_t>(entry)].top : 0;
}

void CTextLayer::GetLineSize(int entry, int* width, int* height) const {
  const bool ok = entry >= 0 && entry < capacity_;
  *width = ok ? entries_[static_cast<size_t>(entry)].width : 0;
  *height = ok ? entries_[static_cast<size_t>(entry)].height : 0;
}

bool CTextLayer::HasAnnotation(int entry) const {
  return entry >= 0 && entry < capacity_ && entries_[static_cast<size_t>(entry)].annotation;
}

void CTextLayer::DrawFrom(CPicture* picture, int dstX, int dstY, int srcX, int srcY, int w, int h) {
  if (picture && w > 0 && h > 0) picture->Blt(dstX, dstY, srcX, srcY, w, h, 1);
}

void CTextLayer::DrawSoftFrom(CPicture* picture, int left, int right, int fade, int dstX,
                              int dstY, int srcX, int srcY, int w, int h) {
  if (!picture || w <= 0 || h <= 0) return;
  // One piece of the window: screen columns x0 .. x1-1, clipped to the
  // drawn rectangle; percent 100 draws with the mask alone.
  auto piece = [&](int x0, int x1, int percent) {
    x0 = std::max(x0, dstX);
    x1 = std::min(x1, dstX + w);
    if (x1 <= x0) return;
    const int sx = srcX + (x0 - dstX);
    if (percent >= 100) {
      picture->Blt(x0, dstY, sx, srcY, x1 - x0, h, 1);
    } else {
      picture->TransLucentBlt3(x0, dstY, sx, srcY, x1 - x0, h, percent);
    }
  };
  for (int i = 0; i < 8; ++i) {
    piece(left + fade * i / 8, left + fade * (i + 1) / 8, (i + 1) * 100 / 9);
    piece(right - fade + fade * i / 8, right - fade + fade * (i + 1) / 8, (8 - i) * 100 / 9);
  }
  piece(left + fade, right - fade, 100);
}

void CTextLayer::DrawLine(int dstX, int dstY, int srcX, int srcY, int w, int h) {
  DrawFrom(layer_.get(), dstX, dstY, srcX, srcY, w, h);
}

void CTextLayer::DrawAnnotation(int dstX, int dstY, int srcX, int srcY, int w, int h) {
  DrawFrom(annotationLayer_.get(), dstX, dstY, srcX, srcY, w, h);
}

void CTextLayer::DrawLineSoft(int left, int right, int fade, int dstX, int dstY, int srcX, int srcY,
                              int w, int h) {
  DrawSoftFrom(layer_.get(), left, right, fade, dstX, dstY, srcX, srcY, w, h);
}

void CTextLayer::DrawAnnotationSoft(int left, int right, int fade, int dstX, int dstY, int srcX,
                                    int srcY, int w, int h) {
  DrawSoftFrom(annotationLayer_.get(), left, right, fade, dstX, dstY, srcX, srcY, w, h);
}
