#include "effect/fadeeffects.h"

#include <algorithm>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

// --- #10 and #11 ---

int CEffectFadeCommon::StartFade(EffectChannel* record, int number, int count,
                                 const int* values) {
  int p[6];
  const int given = TakeParams(count, values, 6, p);
  Default(p, given, 0, 20);
  DefaultColour(p, given, 1);
  Default(p, given, 4, 0);
  Default(p, given, 5, 0);
  return StartRecord(record, number, p[0], p, 6);
}

int CEffectFadeCommon::Progress(const EffectChannel& record) {
  return CalcuCurve(record.Counter(), record.Duration(), 0, 100, record.Param(5),
                    record.Param(4));
}

// --- #10 ---

int CEffectFadein::SetParam(EffectChannel* record, int count, const int* values, int) {
  return StartFade(record, kNumber, count, values);
}

void CEffectFadein::Print(EffectChannel* record, int) {
  const int k = Progress(*record);
  CAllGraphics::Fade(k, record->Param(1), record->Param(2), record->Param(3), 100 - k);
}

int CEffectFadein::Finish(EffectChannel* record, int channel) {
  EndAsLayer(record, channel);
  return 1;
}

// --- #11 ---

int CEffectFadeout::SetParam(EffectChannel* record, int count, const int* values, int) {
  return StartFade(record, kNumber, count, values);
}

void CEffectFadeout::Print(EffectChannel* record, int) {
  const int k = Progress(*record);
  CAllGraphics::Fade(100 - k, record->Param(1), record->Param(2), record->Param(3), k);
}

int CEffectFadeout::Finish(EffectChannel* record, int) {
  // p1..p3 stay where the fill reads its colour.
  record->EffectNumber() = CEffectFill::kNumber;
  return 1;
}

// --- #17 ---

int CEffectFlash::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[6];
  const int given = TakeParams(count, values, 6, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 1);
  Default(p, given, 2, p[1]);
  Default(p, given, 3, 255);
  Default(p, given, 4, p[3]);
  Default(p, given, 5, p[4]);
  return StartRecord(record, kNumber, p[0], p, 6);
}

void CEffectFlash::Print(EffectChannel* record, int) {
  const int64_t period = std::max<int64_t>(int64_t{record->Param(1)} + record->Param(2), 1);
  if (record->Counter() % period < record->Param(1))
    // The same bytes the fill it ends as will show.
    FillScreenBytes(record->Param(3), record->Param(4), record->Param(5));
}

int CEffectFlash::Finish(EffectChannel* record, int) {
  record->EffectNumber() = CEffectFill::kNumber;
  record->Param(1) = record->Param(3);
  record->Param(2) = record->Param(4);
  record->Param(3) = record->Param(5);
  return 1;
}

// --- #32 ---

int CEffectMeltDown::SetParam(EffectChannel* record, int count, const int* values, int) {
  return StartThreeValues(record, kNumber, count, values);
}

void CEffectMeltDown::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (!screen || w <= 0 || h <= 0) return;
  const int m = std::max(
      (h - 1) - CalcuCurve(record->Counter(), record->Duration(), 0, h - 1, record->Param(2),
                           record->Param(1)),
      0);
  if (m >= h - 1) return;
  // Every row below m repeats row m (what a forward copy from row m gives).
  const uint32_t* source = screen + static_cast<size_t>(m) * w;
  for (int y = m + 1; y < h; ++y) std::copy_n(source, w, screen + static_cast<size_t>(y) * w);
}

// --- #43 ---

int CEffectMozaic::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[7];
  const int given = TakeParams(count, values, 7, p);
  Default(p, given, 0, 10000);
  Default(p, given, 1, 16);
  Default(p, given, 2, 16);
  if (given < 7) {
    p[3] = 0;
    p[4] = 0;
    p[5] = CScreenBuffer::GetWidth();
    p[6] = CScreenBuffer::GetHeight();
  }
  return StartRecord(record, kNumber, p[0], p, 7);
}

void CEffectMozaic::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const int bw = std::max(record->Param(1), 1), bh = std::max(record->Param(2), 1);
  if (!screen || (bw == 1 && bh == 1)) return;
  const int64_t x0 = std::clamp<int64_t>(record->Param(3), 0, w);
  const int64_t y0 = std::clamp<int64_t>(record->Param(4), 0, h);
  const int64_t x1 = std::clamp<int64_t>(int64_t{record->Param(3)} + record->Param(5), 0, w);
  const int64_t y1 = std::clamp<int64_t>(int64_t{record->Param(4)} + record->Param(6), 0, h);
  if (x0 >= x1 || y0 >= y1) return;
  const int64_t nx = (x1 - x0) / bw, ny = (y1 - y0) / bh;
  if (nx == 0 || ny == 0) return;
  // Each offset lies inside a block, so a block samples only itself.
  size_t offsets[kOffsets];
  for (size_t& offset : offsets) {
    const int m = crt::rand() % 16384;
    offset = static_cast<size_t>((m / 256) % bh) * w + static_cast<size_t>((m % 256) % bw);
  }
  int k = 0;
  for (int64_t by = 0; by < ny; ++by) {
    uint32_t* blockRow = screen + static_cast<size_t>(y0 + by * bh) * w + x0;
    for (int64_t bx = 0; bx < nx; ++bx) {
      uint32_t* corner = blockRow + bx * bw;
      const uint32_t colour = corner[offsets[k]];
      k = k == kOffsets - 1 ? 0 : k + 1;
      for (int y = 0; y < bh; ++y) std::fill_n(corner + static_cast<size_t>(y) * w, bw, colour);
    }
  }
}

// --- #54 ---

int CEffectFill::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[4];
  const int given = TakeParams(count, values, 4, p);
  Default(p, given, 0, 20);
  DefaultColour(p, given, 1);
  return StartRecord(record, kNumber, 9999, p, 4);
}

void CEffectFill::Print(EffectChannel* record, int) {
  FillScreenBytes(record->Param(1), record->Param(2), record->Param(3));
}

// --- #55 ---

CEffectOldFilm::CEffectOldFilm(CEffectManager* manager) : CCommonEffect(manager) { endFlag_ = 1; }

int CEffectOldFilm::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[13];
  const int given = TakeParams(count, values, 13, p);
  Default(p, given, 1, 0);
  Default(p, given, 2, 0);
  Default(p, given, 3, w);
  Default(p, given, 4, h);
  Default(p, given, 5, 3);
  Default(p, given, 6, 1);
  Default(p, given, 7, 128);
  Default(p, given, 8, 128);
  Default(p, given, 9, 128);
  Default(p, given, 10, 200);
  Default(p, given, 11, 80);
  Default(p, given, 12, 30);
  p[5] = std::min(p[5], kMaxLines);
  p[6] = std::clamp(p[6], 1, kMaxWidth);
  p[1] = std::max(p[1], 0);
  p[2] = std::max(p[2], 0);
  p[1] = std::min(p[1], w - p[6]);
  p[2] = std::min(p[2], h - p[6]);
  p[3] = Clamp32(std::min<int64_t>(p[3], int64_t{w} - p[1]));
  p[4] = Clamp32(std::min<int64_t>(p[4], int64_t{h} - p[2]));
  StartRecord(record, kNumber, 9999, p, 13);
  for (int i = 0; i < p[5]; ++i) ResetLine(record, i, p[6]);
  return 1;
}

// The random draws come in this order: countdown, life (value, then side),
// position, velocity, its sign.
void CEffectOldFilm::ResetLine(EffectChannel* record, int line, int width) {
  int32_t* state = record->v + kLineBase + 4 * line;
  const int64_t p1 = record->Param(1), p3 = record->Param(3), p6 = width;
  const int64_t p10 = record->Param(10);
  state[2] = crt::rand() % 20 + 10;
  const int64_t spread = std::max<int64_t>(p10 * std::max(record->Param(11), 1) / 100, 1);
  const int r1 = crt::rand();
  const int r2 = crt::rand();
  state[3] = Clamp32(std::max<int64_t>(r2 % 100 >= 50 ? p10 + r1 % spread : p10 - r1 % spread, 1));
  state[0] = Clamp32((p1 + crt::rand() % std::max<int64_t>(p3 + 1 - p6, 1)) * 256);
  state[1] = crt::rand() % 1024 + 128;
  if (crt::rand() % 100 < 50) state[1] = -state[1];
}

void CEffectOldFilm::Print(EffectChannel* record, int) {
  // A record from a save may hold any count and width: keep to what
  // SetParam allows, so the lines stay inside the record.
  const int lines = std::min(record->Param(5), kMaxLines);
  const int width = std::clamp(record->Param(6), 1, kMaxWidth);
  const int64_t p1 = record->Param(1);
  const int64_t lo = p1 * 256;
  const int64_t hi = (p1 + record->Param(3) - width + 1) * 256;
  for (int i = 0; i < lines; ++i) {
    int32_t* state = record->v + kLineBase + 4 * i;
    state[3] = Clamp32(int64_t{state[3]} - 1);
    if (state[3] <= 0) ResetLine(record, i, width);
    state[2] = Clamp32(int64_t{state[2]} - 1);
    if (state[2] <= 0) {
      state[2] = crt::rand() % 20 + 10;
      state[1] = crt::rand() % 1024 + 128;
      if (crt::rand() % 100 < 50) state[1] = -state[1];
    }
    int64_t position = int64_t{state[0]} + state[1];
    if (position >= hi) {
      state[1] = Clamp32(-int64_t{state[1]});
      position = hi - 1;
    }
    if (position < lo) {
      state[1] = Clamp32(-int64_t{state[1]});
      position = lo;
    }
    state[0] = Clamp32(position);
    if (crt::rand() % 100 < record->Param(12))
      CAllGeo::BoxFill(state[0] / 256, record->Param(2), width, record->Param(4), record->Param(7),
                       record->Param(8), record->Param(9));
  }
}
