#include "effect/effectmoviewarp.h"

#include <algorithm>
#include <cmath>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

namespace {

// A script value times 10, kept in the int range.
int Tenfold(int v) { return static_cast<int>(std::clamp<int64_t>(int64_t{v} * 10, INT32_MIN, INT32_MAX)); }

}  // namespace

int CEffectMovieWarp::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, CScreenBuffer::GetWidth() / 2);
  Default(p, given, 2, CScreenBuffer::GetHeight() / 2);
  Default(p, given, 3, 180);
  Default(p, given, 4, 0);
  Default(p, given, 5, 0);
  Default(p, given, 6, 0);
  Default(p, given, 7, 100);
  Default(p, given, 8, p[7]);
  Default(p, given, 9, 0);
  Default(p, given, 10, 0);
  Default(p, given, 11, 100);
  Default(p, given, 12, p[11]);
  Default(p, given, 13, 0);
  Default(p, given, 14, 0);
  return StartRecord(record, kNumber, p[0], p, 16);
}

CEffectMovieWarp::Frame CEffectMovieWarp::FrameValues(const EffectChannel& record) {
  const int c = record.Counter(), d = record.Duration();
  auto p = [&](int i) { return record.Param(i); };
  Frame f;
  const int64_t unwound = 10000 - int64_t{CalcuCurve(c, d, 0, 10000, p(6), p(5))};
  f.twist = static_cast<int>(int64_t{p(3)} * unwound / 10000);
  f.opacity = std::clamp(CalcuCurve(c, d, p(8), p(7), p(10), p(9)), 0, 100);
  f.zoom = std::max(CalcuCurve(c, d, Tenfold(p(12)), Tenfold(p(11)), p(14), p(13)), 1);
  return f;
}

void CEffectMovieWarp::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!picture || !screen || picture->Get256Flag() || !picture->GetMaskFlag() ||
      !picture->GetPixelBuffer() || !picture->GetMask())
    return;
  const Frame f = FrameValues(*record);
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const int64_t half10 = int64_t{std::max(std::min(pw, ph) / 2, 1)} * 10;
  const double inv = 1.0 / (f.zoom * 0.001);
  const int64_t cx = record->Param(1), cy = record->Param(2);
  const int64_t originX = record->DrawRect()[0] + cx, originY = record->DrawRect()[1] + cy;
  const uint32_t* source = picture->GetPixelBuffer();
  const uint8_t* mask = picture->GetMask();
  const int width = CScreenBuffer::GetWidth(), height = CScreenBuffer::GetHeight();

  for (int y = 0; y < height; ++y) {
    uint32_t* row = screen + static_cast<size_t>(y) * width;
    const double dy = static_cast<double>(y - cy);
    for (int x = 0; x < width; ++x) {
      const double dx = static_cast<double>(x - cx);
      const double r = std::sqrt(dx * dx + dy * dy);
      const int64_t rr = std::max(ClampToInt(r * inv), 1);
      const int64_t rr10 = ClampToInt(r * inv * 10);
      const double theta = std::atan2(dy, dx);
      const int64_t angle = f.twist * rr10 / half10 % 360;
      const double phi = static_cast<double>(angle) / 360 * 6.28318;
      const int64_t sx = originX + ClampToInt(std::cos(theta + phi) * rr + 0.5);
      const int64_t sy = originY + ClampToInt(std::sin(theta + phi) * rr + 0.5);
      if (sx < 0 || sy < 0 || sx >= pw || sy >= ph) continue;
      const size_t at = static_cast<size_t>(sy) * pw + static_cast<size_t>(sx);
      uint32_t m = mask[at];
      if (m == 0) continue;
      if (f.opacity != 100) m = m * static_cast<uint32_t>(f.opacity) / 100;
      const uint32_t s = source[at];
      if (m == 255) {
        row[x] = s;
        continue;
      }
      const uint32_t d = row[x];
      uint32_t out = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t a = (s >> shift) & 0xFF, b = (d >> shift) & 0xFF;
        out |= ((a * m + b * (256 - m)) >> 8) << shift;
      }
      row[x] = out;
    }
  }
}
