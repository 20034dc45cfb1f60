#include "effect/wipedistort.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/allwipe.h"
#include "effect/calcucurve.h"
#include "setup/random.h"

namespace {

// A step of `range` scaled by p / m (m >= 1), in 64 bits.
int64_t Scaled(int64_t range, int64_t p, int64_t m) { return range * p / m; }

void CopyPixels(uint32_t* dst, const uint32_t* src, int64_t n) {
  if (n > 0) std::memcpy(dst, src, static_cast<size_t>(n) * 4);
}

// The blind's spread: rows k = 0, 1, ... land T(k) lines from the edge,
// T(0) = 0 and T(k) = T(k - 1) + min(k, 8). `place (k, T(k))` returns
// false to stop.
template <typename Place>
void Spread(Place place) {
  int64_t t = 0;
  for (int64_t k = 0;; ++k) {
    if (k > 0) t += std::min<int64_t>(k, 8);
    if (!place(k, t)) return;
  }
}

}  // namespace

// --- #42-47 bamboo blind ---

CEffectSimpleWipeSudare::CEffectSimpleWipeSudare(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeCommon(owner), mode_(args.arg1) {
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeSudare::AssignRows(int mode, int progress, int max,
                                         std::span<int32_t> lines) {
  const int64_t h = static_cast<int64_t>(lines.size());
  const int64_t travel = h + h / 8 + 8;
  std::fill(lines.begin(), lines.end(), -1);
  // Lines first..last - 1 show their own rows.
  auto inPlace = [&](int64_t first, int64_t last) {
    for (int64_t y = std::max<int64_t>(first, 0); y < std::min(last, h); ++y)
      lines[static_cast<size_t>(y)] = static_cast<int32_t>(y);
  };
  // Row `row` on line `line`, both inside lo..hi - 1.
  auto put = [&](int64_t row, int64_t line, int64_t lo, int64_t hi) {
    if (row >= lo && row < hi && line >= lo && line < hi)
      lines[static_cast<size_t>(line)] = static_cast<int32_t>(row);
  };
  if (mode == 0) {
    const int64_t e = h - Scaled(travel, progress, max);
    inPlace(0, e);
    Spread([&](int64_t k, int64_t t) {
      if (e + k >= h || e + t >= h) return false;
      put(e + k, e + t, 0, h);
      return true;
    });
  } else if (mode == 1) {
    const int64_t e = Scaled(travel, progress, max);
    inPlace(e, h);
    Spread([&](int64_t k, int64_t t) {
      if (e - k < 0 || e - t < 0) return false;
      put(e - k, e - t, 0, h);
      return true;
    });
  } else if (mode == 2) {
    const int64_t half = h / 2;
    const int64_t b = Scaled(travel / 2, progress, max);
    inPlace(b, half);
    Spread([&](int64_t k, int64_t t) {
      if (b - k < 0 || b - t < 0) return false;
      put(b - k, b - t, 0, half);
      return true;
    });
    inPlace(std::max(half, int64_t{0}), h - b);
    Spread([&](int64_t k, int64_t t) {
      if (h - b + k >= h || h - b + t >= h) return false;
      put(h - b + k, h - b + t, half, h);
      return true;
    });
  }
}

void CEffectSimpleWipeSudare::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  if (!owner_ || owner_->GetSpanBufferInts() < screenH_) return;
  if (reverse_) {
    SwapPicture();
    progress_ = max_ - progress_;
  }
  std::span<int32_t> lines(owner_->GetSpanBuffer(), static_cast<size_t>(screenH_));
  AssignRows(mode_, progress_, max_, lines);
  for (int y = 0; y < screenH_; ++y) {
    if (lines[y] >= 0)
      CopyPixels(ScreenRow(y), OldRow(lines[y]), screenW_);
    else
      CopyLine(new_, y);
  }
}

// --- #22 smear ---

void CEffectSimpleWipeNurikae::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                     int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int w = screenW_;
  const int64_t o = Scaled(2 * int64_t{w}, progress_, max_);
  for (int y = 0; y < screenH_; ++y) {
    uint32_t* dst = ScreenRow(y);
    if (o < w) {
      const int k = static_cast<int>(o);
      if (k > 0) std::fill_n(dst, k, OldRow(y)[k - 1]);
      CopyRun(old_, k, y, w - k);
    } else {
      const int k = static_cast<int>(o - w);
      CopyRun(new_, 0, y, k);
      if (k < w) std::fill_n(dst + k, w - k, NewRow(y)[k]);
    }
  }
}

// --- #26, #27 raster wave ---

CEffectSimpleWipeRaster::CEffectSimpleWipeRaster(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeCommon(owner), fill_(args.arg1) {}

int CEffectSimpleWipeRaster::LineShift(int y, int progress, int max, int width, int height) {
  double a = 0;
  if (progress < max) {
    const double half = max / 2.0;
    a = progress < max / 2 ? 0.9 * width * progress / half : 0.9 * width * (max - progress) / half;
  }
  const double phase = 6.28318 / height * 4 * static_cast<double>(y + int64_t{progress} * 10);
  const int s = ClampToInt(std::trunc(std::cos(phase) * a + 0.5));
  return std::clamp(s, 1 - width, width - 1);
}

void CEffectSimpleWipeRaster::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const Window& source = progress_ < max_ / 2 ? old_ : new_;
  const int w = screenW_;
  for (int y = 0; y < screenH_; ++y) {
    const int s = LineShift(y, progress_, max_, w, screenH_);
    const uint32_t* src = Row(source, y);
    uint32_t* dst = ScreenRow(y);
    if (s < 0) {
      std::fill_n(dst, -s, fill_ == 1 ? 0u : src[0]);
      CopyPixels(dst - s, src, w + s);
    } else {
      CopyPixels(dst, src + s, w - s);
      std::fill_n(dst + (w - s), s, fill_ == 1 ? 0u : src[w - 1]);
    }
  }
}

// --- #38 mosaic ---

int CEffectSimpleWipeMozaic::BlockSize(int progress, int max) {
  const int64_t h = std::max(max / 2, 1);
  const int64_t a = progress < h ? progress : std::min<int64_t>(h, int64_t{max} - progress);
  // A short wipe would already pixelate its first and last step: those
  // show the old and the new picture as they are.
  if (a <= 0) return 1;
  return static_cast<int>(std::clamp<int64_t>((a + 1) * 64 / h, 1, 64));
}

void CEffectSimpleWipeMozaic::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  if (progress_ >= std::max(max_ / 2, 1)) SwapPicture();
  const int f = BlockSize(progress_, max_);
  const int w = screenW_, h = screenH_;
  if (f == 1) {
    for (int y = 0; y < h; ++y) CopyLine(old_, y);
    return;
  }
  // The sample inside every block; a partial last column or row is
  // narrower than f, and the sample stays inside it.
  const int ox = crt::rand() % (w % f ? w % f : f);
  const int oy = crt::rand() % (h % f ? h % f : f);
  for (int top = 0; top < h; top += f) {
    const uint32_t* src = OldRow(top + oy);
    uint32_t* first = ScreenRow(top);
    for (int left = 0; left < w; left += f)
      std::fill_n(first + left, std::min(f, w - left), src[left + ox]);
    for (int y = top + 1; y < std::min(top + f, h); ++y) CopyPixels(ScreenRow(y), first, w);
  }
}

// --- #8 tearing circle ---

void CEffectSimpleWipeWarp1::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                   int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t cx = screenW_ / 2, cy = screenH_ / 2;
  const int64_t r0 = static_cast<int64_t>(std::sqrt(static_cast<double>(cx * cx + cy * cy)) + 1);
  const int64_t r = Scaled(r0, progress_, max_);
  for (int y = 0; y < screenH_; ++y) {
    const int64_t q = r * r - (y - cy) * (y - cy);
    const int64_t half =
        q <= 0 ? 0 : std::min(static_cast<int64_t>(std::sqrt(static_cast<double>(q)) + 0.5), cx);
    uint32_t* dst = ScreenRow(y);
    const uint32_t* oldRow = OldRow(y);
    CopyPixels(dst, oldRow, cx - half);
    CopyPixels(dst + (cx - half), NewRow(y), 2 * half);
    CopyPixels(dst + (cx + half), oldRow + (cx - half), cx - half);
  }
}

// --- #41 page ---

void CEffectSimpleWipeMekuri::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int h = screenH_;
  const int k = static_cast<int>(Scaled(h, progress_, max_));
  const int n = std::min(std::max(k - 1, 0), h - k);
  for (int y = 0; y < k; ++y) CopyLine(new_, y);
  for (int j = 0; j < n; ++j) CopyPixels(ScreenRow(k + j), NewRow(k - 1 - j), screenW_);
  for (int y = k + n; y < h; ++y) CopyLine(old_, y);
}
