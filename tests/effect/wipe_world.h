// A screen of any size with its own wipe table and two screen-sized (or
// larger) 32-bit pictures, for the wipes that tests draw at the game's
// 800 x 600 or at odd sizes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "effect/allwipe.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/random.h"

namespace effect_test {

// Two patterns whose pixels differ from each other almost everywhere.
inline uint32_t WorldOld(int x, int y) {
  return (static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u) & 0xFFFFFF;
}
inline uint32_t WorldNew(int x, int y) { return WorldOld(x, y) ^ 0x808080; }

class WipeWorld {
 public:
  // A screen w x h, pictures (w + extra) x (h + extra).
  WipeWorld(int w, int h, int extra = 0) : w_(w), h_(h) {
    platform::InstallHeadless().SetBoxEcho(false);
    crt::ResetRandom();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    table_ = std::make_unique<CAllWipe>();
    old_ = Make(w + extra, h + extra, WorldOld);
    new_ = Make(w + extra, h + extra, WorldNew);
  }
  ~WipeWorld() {
    table_.reset();
    screen_.reset();
  }
  CAllWipe& Table() { return *table_; }
  CPicture* Old() { return old_.get(); }
  CPicture* New() { return new_.get(); }
  int W() const { return w_; }
  int H() const { return h_; }

  void Clear(uint32_t colour) {
    std::fill_n(CScreenBuffer::GetBuffer(), size_t{1} * w_ * h_, colour);
  }
  // Wipe n from the old picture to the new one (exchanged with `swap`).
  void Draw(int n, int progress, int max, bool swap = false, const int* oldOffset = nullptr,
            const int* newOffset = nullptr) {
    table_->Print(n, swap ? New() : Old(), swap ? Old() : New(), progress, max, oldOffset,
                  newOffset);
  }
  std::vector<uint32_t> Screen() const {
    return std::vector<uint32_t>(CScreenBuffer::GetBuffer(),
                                 CScreenBuffer::GetBuffer() + size_t{1} * w_ * h_);
  }
  uint32_t At(int x, int y) const { return CScreenBuffer::GetBuffer()[size_t{1} * y * w_ + x]; }
  // 1 when the screen's columns from..w - 1 of every line show the
  // picture's window at (ox, oy).
  bool Shows(const CPicture* picture, int from = 0, int ox = 0, int oy = 0) const {
    const int pw = picture->GetWidth();
    for (int y = 0; y < h_; ++y)
      if (std::memcmp(CScreenBuffer::GetBuffer() + size_t{1} * y * w_ + from,
                      picture->GetPixelBuffer() + size_t{1} * (y + oy) * pw + ox + from,
                      size_t{4} * (w_ - from)) != 0)
        return false;
    return true;
  }

 private:
  template <typename F>
  static std::unique_ptr<CPicture> Make(int w, int h, F pixel) {
    auto picture = std::make_unique<CPicture>(w, h, 0);
    uint32_t* px = picture->GetPixelBuffer();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) px[size_t{1} * y * w + x] = pixel(x, y);
    return picture;
  }

  int w_, h_;
  std::unique_ptr<CScreenBuffer> screen_;
  std::unique_ptr<CAllWipe> table_;
  std::unique_ptr<CPicture> old_, new_;
};

}  // namespace effect_test
