#include "effect/fadeeffects.h"

#include <algorithm>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// --- #10 and #11 ---

constexpr ParamDefault CEffectFadeCommon::kDefaults[] = {
    Value(kDuration, 20), Value(kRed, 0),   Same(kGreen, kRed),
    Same(kBlue, kGreen),  Value(kCurve, 0), Value(kRamp, 0),
};

int CEffectFadeCommon::Progress(const EffectChannel& record) {
  return CalcuCurve(record.Counter(), record.Duration(), 0, 100, record.Param(kRamp),
                    record.Param(kCurve));
}

// --- #10 ---

constexpr StartTable CEffectFadein::kTable{kNumber, 6, -1, kAfter, kDefaults};

CEffectFadein::CEffectFadein(CEffectManager* manager) : CEffectFadeCommon(manager, kTable) {}

void CEffectFadein::Print(EffectChannel* record, int) {
  const int k = Progress(*record);
  CAllGraphics::Fade(k, record->Param(kRed), record->Param(kGreen), record->Param(kBlue), 100 - k);
}

int CEffectFadein::Finish(EffectChannel* record, int channel) {
  EndAsLayer(record, channel);
  return 1;
}

// --- #11 ---

constexpr StartTable CEffectFadeout::kTable{kNumber, 6, -1, kAfter, kDefaults};

CEffectFadeout::CEffectFadeout(CEffectManager* manager) : CEffectFadeCommon(manager, kTable) {}

void CEffectFadeout::Print(EffectChannel* record, int) {
  const int k = Progress(*record);
  CAllGraphics::Fade(100 - k, record->Param(kRed), record->Param(kGreen), record->Param(kBlue), k);
}

int CEffectFadeout::Finish(EffectChannel* record, int) {
  static_assert(int{kRed} == CEffectFill::kRed && int{kGreen} == CEffectFill::kGreen &&
                    int{kBlue} == CEffectFill::kBlue,
                "the colour stays where the fill reads it");
  record->EffectNumber() = CEffectFill::kNumber;
  return 1;
}

// --- #17 ---

constexpr ParamDefault CEffectFlash::kDefaults[] = {
    Value(kDuration, 20), Value(kOnFrames, 1), Same(kOffFrames, kOnFrames),
    Value(kRed, 255),     Same(kGreen, kRed),  Same(kBlue, kGreen),
};

constexpr StartTable CEffectFlash::kTable{kNumber, 6, -1, kAfter, kDefaults};

CEffectFlash::CEffectFlash(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectFlash::Print(EffectChannel* record, int) {
  const int64_t period =
      std::max<int64_t>(int64_t{record->Param(kOnFrames)} + record->Param(kOffFrames), 1);
  if (record->Counter() % period < record->Param(kOnFrames))
    // The same bytes the fill it ends as will show.
    FillScreenBytes(record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
}

int CEffectFlash::Finish(EffectChannel* record, int) {
  const int r = record->Param(kRed), g = record->Param(kGreen), b = record->Param(kBlue);
  record->EffectNumber() = CEffectFill::kNumber;
  record->Param(CEffectFill::kRed) = r;
  record->Param(CEffectFill::kGreen) = g;
  record->Param(CEffectFill::kBlue) = b;
  return 1;
}

// --- #32 ---

constexpr ParamDefault CEffectMeltDown::kDefaults[] = {
    Value(kDuration, 20),
    Value(kCurve, 0),
    Value(kRamp, 0),
};

constexpr StartTable CEffectMeltDown::kTable{kNumber, 3, -1, kAfter, kDefaults};

CEffectMeltDown::CEffectMeltDown(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectMeltDown::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (!screen || w <= 0 || h <= 0) return;
  const int m = std::max((h - 1) - CalcuCurve(record->Counter(), record->Duration(), 0, h - 1,
                                              record->Param(kRamp), record->Param(kCurve)),
                         0);
  if (m >= h - 1) return;
  // Every row below m repeats row m (what a forward copy from row m gives).
  const uint32_t* source = screen + static_cast<size_t>(m) * w;
  for (int y = m + 1; y < h; ++y) std::copy_n(source, w, screen + static_cast<size_t>(y) * w);
}

// --- #43 ---

// The rectangle has no defaults of its own: SetParam makes it the screen
// unless all seven values are given.
constexpr ParamDefault CEffectMozaic::kDefaults[] = {
    Value(kDuration, 10000), Value(kBlockWidth, 16), Value(kBlockHeight, 16), NoDefault(kX),
    NoDefault(kY),           NoDefault(kWidth),      NoDefault(kHeight),
};

constexpr StartTable CEffectMozaic::kTable{kNumber, 7, -1, kAfter, kDefaults};

CEffectMozaic::CEffectMozaic(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectMozaic::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  if (MakeParams(Table(), count, values, w, h, p) < Table().max) {
    p[kX] = 0;
    p[kY] = 0;
    p[kWidth] = w;
    p[kHeight] = h;
  }
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

void CEffectMozaic::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const int bw = std::max(record->Param(kBlockWidth), 1);
  const int bh = std::max(record->Param(kBlockHeight), 1);
  if (!screen || (bw == 1 && bh == 1)) return;
  const int64_t x0 = std::clamp<int64_t>(record->Param(kX), 0, w);
  const int64_t y0 = std::clamp<int64_t>(record->Param(kY), 0, h);
  const int64_t x1 = std::clamp<int64_t>(int64_t{record->Param(kX)} + record->Param(kWidth), 0, w);
  const int64_t y1 = std::clamp<int64_t>(int64_t{record->Param(kY)} + record->Param(kHeight), 0, h);
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

constexpr StartTable CEffectFill::kTable{kNumber, 4, 9999, kAfter, kDefaults};

CEffectFill::CEffectFill(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectFill::Print(EffectChannel* record, int) {
  FillScreenBytes(record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
}

// --- #55 ---

// The area (the screen's), its scratches (count, width, colour), their
// life in frames with its variation in percent, and the chance in percent
// that a scratch is drawn in a frame.
constexpr ParamDefault CEffectOldFilm::kDefaults[] = {
    NoDefault(kUnused),
    Value(kX, 0),
    Value(kY, 0),
    Value(kWidth, Width()),
    Value(kHeight, Height()),
    Value(kLines, 3),
    Value(kScratchWidth, 1),
    Value(kRed, 128),
    Value(kGreen, 128),
    Value(kBlue, 128),
    Value(kLife, 200),
    Value(kLifeVariation, 80),
    Value(kDrawChance, 30),
};
// The area held on the screen, a scratch's width inside it.
constexpr ParamClamp CEffectOldFilm::kClamps[] = {
    AtMost(kLines, Fixed(kMaxLines)),
    Range(kScratchWidth, 1, kMaxWidth),
    Range(kX, 0, INT32_MAX),
    Range(kY, 0, INT32_MAX),
    SumAtMost(kX, kScratchWidth, Width()),
    SumAtMost(kY, kScratchWidth, Height()),
    SumAtMost(kWidth, kX, Width()),
    SumAtMost(kHeight, kY, Height()),
};

constexpr StartTable CEffectOldFilm::kTable{kNumber, 13, 9999, kAfter, kDefaults, kClamps};

CEffectOldFilm::CEffectOldFilm(CEffectManager* manager) : CTableStartEffect(manager, kTable) {
  endFlag_ = 1;
}

int CEffectOldFilm::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  for (int i = 0; i < record->Param(kLines); ++i)
    ResetLine(record, i, record->Param(kScratchWidth));
  return 1;
}

// The random draws come in this order: countdown, life (value, then side),
// position, velocity, its sign.
void CEffectOldFilm::ResetLine(EffectChannel* record, int line, int width) {
  int32_t* state = record->v + kLineBase + 4 * line;
  const int64_t x = record->Param(kX), areaWidth = record->Param(kWidth);
  const int64_t life = record->Param(kLife);
  state[2] = crt::rand() % 20 + 10;
  const int64_t spread =
      std::max<int64_t>(life * std::max(record->Param(kLifeVariation), 1) / 100, 1);
  const int r1 = crt::rand();
  const int r2 = crt::rand();
  state[3] =
      Clamp32(std::max<int64_t>(r2 % 100 >= 50 ? life + r1 % spread : life - r1 % spread, 1));
  state[0] = Clamp32((x + crt::rand() % std::max<int64_t>(areaWidth + 1 - width, 1)) * 256);
  state[1] = crt::rand() % 1024 + 128;
  if (crt::rand() % 100 < 50) state[1] = -state[1];
}

void CEffectOldFilm::Print(EffectChannel* record, int) {
  // A record from a save may hold any count and width: keep to what
  // SetParam allows, so the lines stay inside the record.
  const int lines = std::min(record->Param(kLines), kMaxLines);
  const int width = std::clamp(record->Param(kScratchWidth), 1, kMaxWidth);
  const int64_t x = record->Param(kX);
  const int64_t lo = x * 256;
  const int64_t hi = (x + record->Param(kWidth) - width + 1) * 256;
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
    if (crt::rand() % 100 < record->Param(kDrawChance))
      CAllGeo::BoxFill(state[0] / 256, record->Param(kY), width, record->Param(kHeight),
                       record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
  }
}
