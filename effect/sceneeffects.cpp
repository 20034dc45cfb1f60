#include "effect/sceneeffects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;
constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// The screen's content moves by (ox, oy) in place; the strips it uncovers
// keep their pixels. Nothing moves for (0, 0) or an offset of a screen's
// size or more.
void MoveScreen(int64_t ox, int64_t oy) {
  uint32_t* pixels = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (!pixels || (ox == 0 && oy == 0) || std::abs(ox) >= w || std::abs(oy) >= h) return;
  const int dx = static_cast<int>(ox), dy = static_cast<int>(oy);
  const size_t width = static_cast<size_t>(w - std::abs(dx));
  const int rows = h - std::abs(dy);
  const int fromX = dx >= 0 ? 0 : -dx, toX = dx >= 0 ? dx : 0;
  const int fromY = dy >= 0 ? 0 : -dy;
  auto move = [&](int sourceRow) {
    const uint32_t* from = pixels + static_cast<size_t>(sourceRow) * w + fromX;
    uint32_t* to = pixels + static_cast<size_t>(sourceRow + dy) * w + toX;
    std::memmove(to, from, width * 4);
  };
  // Rows from the bottom up when the content moves down.
  if (dy > 0)
    for (int i = rows - 1; i >= 0; --i) move(fromY + i);
  else
    for (int i = 0; i < rows; ++i) move(fromY + i);
}

// Effect number 0 from now on: the channel shows its picture plainly, or
// becomes free when it has none.
int EndWithPicture(EffectChannel* record, bool hasPicture) {
  record->EffectNumber() = 0;
  if (!hasPicture) record->Active() = 0;
  return 1;
}

// Each colour byte := min(255, byte + add).
inline uint32_t AddGrey(uint32_t pixel, uint32_t add) {
  uint32_t out = pixel & 0xFF000000u;
  for (int c = 0; c < 3; ++c)
    out |= std::min<uint32_t>(((pixel >> (8 * c)) & 0xFF) + add, 255) << (8 * c);
  return out;
}

}  // namespace

// --- #15 light beams ---

constexpr ParamDefault CEffectSan::kDefaults[] = {Value(kDuration, 15), Value(kSide, 0)};

constexpr StartTable CEffectSan::kTable{kNumber, 3, -1, kAfter, kDefaults};

CEffectSan::CEffectSan(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectSan::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  const int64_t w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const int64_t side = record->Param(kSide), f = 1 - 2 * side;
  for (int i = 0; i < kBeams; ++i) {
    Beam& beam = beams_[i];
    beam.position = (side * w + f * (i - 2) * 96) * 256;
    beam.step = f * (i * 128 + 96);
    beam.brightness = (h / 2) * 256 * (7 - i) / 7 - 86016;
    beam.lit = 1;
    beam.timer = crt::rand() % 40 + 20;
  }
  return 1;
}

void CEffectSan::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectSan::Print(EffectChannel* record, int) {
  uint32_t* pixels = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int64_t length = record->Duration(), c = record->Counter();
  if (length < 1) length = c = 1;
  for (Beam& beam : beams_) {
    if (--beam.timer <= 0) {
      beam.lit ^= 1;
      beam.timer = beam.lit ? crt::rand() % 160 + 60 : crt::rand() % 2 + 1;
    }
    if (!beam.lit || !pixels) continue;
    // 64 bits: c x 65536 outgrows 32 bits for long durations.
    int64_t b = c * 65536 / length + beam.brightness;
    int64_t x = beam.position;
    for (int y = 0; y < h / 2; ++y, b -= 256, x += beam.step) {
      const int64_t x0 = x >> 8;
      if (x0 < -48 || x0 >= int64_t{w} + 48 || b < -49152) continue;
      uint32_t* row = pixels + static_cast<size_t>(y) * w;
      for (int k = 0; k < 48; ++k) {
        const int64_t column = x0 + k;
        const int64_t v = b + 2048 * (k <= 24 ? k : 48 - k);
        if (column < 0 || column >= w || v < 0) continue;
        row[column] = AddGrey(row[column], static_cast<uint32_t>(std::min<int64_t>(v / 256, 255)));
      }
    }
  }
}

// --- #18 shake ---

constexpr ParamDefault CEffectShake::kDefaults[] = {Value(kDuration, 20), Value(kDirection, 0),
                                                    Value(kRepeat, 0)};

constexpr StartTable CEffectShake::kTable{kNumber, 3, -1, kAfter, kDefaults};

CEffectShake::CEffectShake(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectShake::Calcu(EffectChannel* record, int) {
  if (record->Param(kRepeat) == 0 && record->Counter() >= record->Duration())
    record->Counter() -= record->Duration();
}

int CEffectShake::Finish(EffectChannel* record, int) {
  if (record->Param(kRepeat) != 0) {
    record->Counter() = 0;
    return 1;
  }
  return EndWithPicture(record, RecordPicture(*record) != nullptr);
}

void CEffectShake::Print(EffectChannel* record, int) {
  const int64_t left = int64_t{record->Duration()} - record->Counter();
  if (left <= 0) return;
  static constexpr int kOffsets[4] = {-16, -12, 16, 12};
  const int s = kOffsets[left % 4];
  if (record->Param(kDirection) == 0)
    MoveScreen(-s, 0);
  else
    MoveScreen(0, -s);
}

// --- #51 lens flare ---

// The line's first and last points, each from its start to its end place.
constexpr ParamDefault CEffectTaiyo::kDefaults[] = {
    Value(kDuration, 20),
    Value(kElements, 10),
    Value(kFirstStartX, 120),
    Value(kFirstStartY, Height(1, 1, -40)),
    Value(kFirstEndX, -100),
    Value(kFirstEndY, -100),
    Value(kLastStartX, Width(1, 1, -200)),
    Value(kLastStartY, Height(3, 4)),
    Value(kLastEndX, Width(1, 2)),
    Value(kLastEndY, Height(1, 2)),
    Value(kMostRings, 2),
};
constexpr ParamClamp CEffectTaiyo::kClamps[] = {Range(kElements, 1, kMaxElements)};

constexpr StartTable CEffectTaiyo::kTable{kNumber, 11, -1, kEach, kDefaults, kClamps};

CEffectTaiyo::CEffectTaiyo(CEffectManager* manager)
    : CTableStartEffect(manager, kTable),
      spans_(static_cast<size_t>(std::max(CScreenBuffer::GetHeight(), 0)) * 4) {}

int CEffectTaiyo::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  const int n = record->Param(kElements);
  int rings = 0;
  for (int i = 0; i < n; ++i) {
    Element& e = elements_[i];
    e.position = (i + 1) * 150 / n + crt::rand() % (150 / n);
    e.radius = crt::rand() % 64 + 16;
    if (i == n - 1) e.radius = crt::rand() % 12 + 12;
    e.r = crt::rand() % 64 + 24;
    e.g = crt::rand() % 64 + 24;
    e.b = crt::rand() % 64 + 24;
    e.ring = 0;
    e.inner = 0;
    if (rings < record->Param(kMostRings) && (crt::rand() % 100 < 18 || i == n - 3)) {
      e.ring = 1;
      const int c = crt::rand() % 64;
      e.radius = c + 72;
      e.inner = std::max(c + 52 - crt::rand() % 16, 3);
      e.r = crt::rand() % 24 + 10;
      e.g = crt::rand() % 24 + 10;
      e.b = crt::rand() % 24 + 10;
      ++rings;
    }
    e.timer = crt::rand() % 30 + 20;
  }
  return 1;
}

void CEffectTaiyo::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectTaiyo::Calcu(EffectChannel* record, int) {
  record->Counter() = std::min(record->Counter(), record->Duration());
}

void CEffectTaiyo::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  int64_t length = r.Duration(), c = r.Counter();
  if (length <= 0) length = c = 1;
  auto along = [&](int from, int to) { return from + (int64_t{to} - from) * c / length; };
  const int64_t sx = along(r.Param(kFirstStartX), r.Param(kFirstEndX));
  const int64_t sy = along(r.Param(kFirstStartY), r.Param(kFirstEndY));
  const int64_t ex = along(r.Param(kLastStartX), r.Param(kLastEndX));
  const int64_t ey = along(r.Param(kLastStartY), r.Param(kLastEndY));
  // The count indexes the elements: a record holds it to their number.
  const int n = std::clamp(r.Param(kElements), 1, kMaxElements);
  for (int i = 0; i < n; ++i) {
    Element& e = elements_[i];
    if (--e.timer <= 0) {
      e.timer = crt::rand() % 60 + 30;
      continue;
    }
    Draw(sx + (ex - sx) * e.position / 100, sy + (ey - sy) * e.position / 100, e);
  }
}

void CEffectTaiyo::Draw(int64_t x, int64_t y, const Element& e) {
  uint32_t* pixels = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (!pixels || w <= 0 || h <= 0) return;
  if (spans_.size() < static_cast<size_t>(h) * 4) spans_.resize(static_cast<size_t>(h) * 4);
  const int64_t r = e.radius, inner = e.ring ? e.inner : -1;
  const int64_t top = std::max<int64_t>(y - r, 0), bottom = std::min<int64_t>(y + r, h - 1);
  if (top > bottom) return;
  auto half = [](int64_t radius, int64_t dy) {
    const double q = static_cast<double>(radius * radius - dy * dy);
    return q < 0 ? int64_t{-1} : static_cast<int64_t>(std::sqrt(q) + 0.5);
  };
  // A part [from, to) of a row, empty when it holds no pixel.
  auto part = [](int32_t* span, int64_t from, int64_t to) {
    span[0] = static_cast<int32_t>(from);
    span[1] = static_cast<int32_t>(std::max<int64_t>(to - from, 0));
  };
  for (int64_t j = top; j <= bottom; ++j) {
    int32_t* span = &spans_[static_cast<size_t>(j - top) * 4];
    span[1] = span[3] = 0;
    const int64_t a = half(r, j - y);
    if (a < 0) continue;
    const int64_t hole = inner < 0 ? -1 : half(inner, j - y);
    if (hole < 0) {
      part(span, std::max<int64_t>(x - a, 0), std::min<int64_t>(x + a, w - 1) + 1);
      continue;
    }
    part(span, std::max<int64_t>(x - a, 0), std::min<int64_t>(x - hole, w - 1));
    part(span + 2, std::max<int64_t>(x + hole, 0), std::min<int64_t>(x + a, w - 1));
  }
  const uint32_t add = static_cast<uint32_t>(std::clamp(e.r, 0, 255)) << 16 |
                       static_cast<uint32_t>(std::clamp(e.g, 0, 255)) << 8 |
                       static_cast<uint32_t>(std::clamp(e.b, 0, 255));
  for (int64_t j = top; j <= bottom; ++j) {
    const int32_t* span = &spans_[static_cast<size_t>(j - top) * 4];
    uint32_t* row = pixels + static_cast<size_t>(j) * w;
    for (int k = 0; k < 2; ++k)
      if (span[2 * k + 1] > 0) rowops::AddSub(row + span[2 * k], static_cast<size_t>(span[2 * k + 1]), add, 0);
  }
}

// --- #100 background sway ---

// Sways in pixels, their phase steps per frame and the start phase in
// percent of a period.
constexpr ParamDefault CEffectHaikeiYure::kDefaults[] = {
    Value(kDuration, 20), Value(kSwayX, 20), Value(kSwayY, 0),      Value(kStepX, 25),
    Value(kStepY, 25),    Value(kMode, 0),   Value(kStartPhase, 0), Value(kStripFill, 0),
    Value(kRed, 0),       Value(kGreen, 0),  Value(kBlue, 0),       Value(kStrengthSwitch, 0),
    Value(kCurve, 0),     Value(kRamp, 0),
};

constexpr StartTable CEffectHaikeiYure::kTable{kNumber, 14, -1, kAfter, kDefaults};
static_assert(CEffectHaikeiYure::kPhaseX >= CEffectHaikeiYure::kTable.max,
              "the phase counters follow the values");

CEffectHaikeiYure::CEffectHaikeiYure(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectHaikeiYure::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  p[kPhaseX] = p[kPhaseY] = p[kStartPhase];
  return StartRecord(record, kNumber, p[kDuration], p, kPhaseY + 1);
}

void CEffectHaikeiYure::Calcu(EffectChannel* record, int) {
  const auto advance = [&](int phase, int step) {
    record->Param(phase) = static_cast<int>(
        std::max<int64_t>(int64_t{record->Param(phase)} + record->Param(step), 0) % 100);
  };
  advance(kPhaseX, kStepX);
  advance(kPhaseY, kStepY);
}

int CEffectHaikeiYure::Finish(EffectChannel* record, int) {
  return EndWithPicture(record, RecordPicture(*record) != nullptr);
}

void CEffectHaikeiYure::Offsets(const EffectChannel& r, int64_t* ox, int64_t* oy) {
  const int64_t g = r.Param(kStrengthSwitch) != 0 ? CalcuCurve(r.Counter(), r.Duration(), 0, 100,
                                                               r.Param(kRamp), r.Param(kCurve))
                                                  : 100;
  auto offset = [&](int amplitude, int step) {
    const int64_t a = g * amplitude / 100;
    const int64_t q =
        ((int64_t{step} * r.Counter() + r.Param(kStartPhase) + 75) % 100 - 25 + 100) % 100;
    const int64_t t = q <= 50 ? q : 100 - q;
    return -a + 2 * a * t / 50;
  };
  *ox = offset(r.Param(kSwayX), r.Param(kStepX));
  *oy = offset(r.Param(kSwayY), r.Param(kStepY));
}

void CEffectHaikeiYure::Print(EffectChannel* record, int) {
  int64_t ox = 0, oy = 0;
  Offsets(*record, &ox, &oy);
  if (record->Param(kMode) == 1) {
    MoveScreen(ox, oy);
    return;
  }
  CPicture* picture = RecordPicture(*record);
  if (!picture) return;
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  // Beyond a screen's size the picture is off the screen either way.
  const int dx = static_cast<int>(std::clamp<int64_t>(ox, -w, w));
  const int dy = static_cast<int>(std::clamp<int64_t>(oy, -h, h));
  picture->Blt(dx, dy, 0, 0, w, h, 0);
  auto fill = [&](int x, int y, int fw, int fh) {
    if (fw <= 0 || fh <= 0) return;
    if (record->Param(kStripFill) == 0)
      picture->Blt(x, y, x, y, fw, fh, 0);
    else
      CAllGeo::BoxFill(x, y, fw, fh, record->Param(kRed), record->Param(kGreen),
                       record->Param(kBlue));
  };
  if (dy != 0) fill(0, dy > 0 ? 0 : h + dy, w, std::abs(dy));
  if (dx != 0) fill(dx > 0 ? 0 : w + dx, dy > 0 ? dy : 0, std::abs(dx), h - std::abs(dy));
}
