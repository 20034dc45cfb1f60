#include "effect/fisheffects.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

constexpr ParamDefault kFishDefaults[] = {
    NoDefault(0), Value(1, 1),   Value(2, 32), Value(3, 32),  Value(4, 0),  Value(5, 0),
    Value(6, Width()), Value(7, Height()), Value(8, 1), Value(9, 1), Value(10, 1),
    Value(11, 1),  Value(12, 3), Value(13, 100)};
constexpr ParamClamp kFishClamps[] = {AtMost(1, Fixed(CEffectFish::kMaxFish))};
constexpr StartTable kFishTable{CEffectFish::kNumber, 16, 999999, kAfter, kFishDefaults,
                                kFishClamps};

constexpr ParamDefault kLineDefaults[] = {
    Value(0, 20), Value(1, 10), Value(2, 100), Value(3, 3),       Value(4, 30),
    Value(5, 255), Value(6, 3), Value(7, 3),   Value(8, 0),       Value(9, 0),
    Value(10, Width()),         Value(11, Height())};
constexpr ParamClamp kLineClamps[] = {
    Range(1, 0, CEffectSpeedLine::kLines), Range(2, 81, INT_MAX),
    Range(8, Fixed(0), Width(1, 1, -1)),   Range(9, Fixed(0), Height(1, 1, -1)),
    SumAtMost(10, 8, Width()),             SumAtMost(11, 9, Height())};
constexpr StartTable kLineTable{CEffectSpeedLine::kNumber, 12, -1, kAfter, kLineDefaults,
                                kLineClamps};

constexpr ParamDefault kKiraDefaults[] = {NoDefault(0), Value(1, 20), Value(2, 32), Value(3, 32),
                                          Value(4, Width(1, 1, -64)),
                                          Value(5, Height(1, 1, -64))};
constexpr ParamClamp kKiraClamps[] = {
    Range(1, 1, CEffectKira::kSparkles),    Range(2, Fixed(32), Width(1, 1, -32)),
    Range(3, Fixed(32), Height(1, 1, -32)), Range(4, 1, INT_MAX),
    Range(5, 1, INT_MAX),                   SumAtMost(4, 2, Width(1, 1, -33)),
    SumAtMost(5, 3, Height(1, 1, -33)),     Range(4, 1, INT_MAX),
    Range(5, 1, INT_MAX)};
constexpr StartTable kKiraTable{CEffectKira::kNumber, 6, 99999, kAfter, kKiraDefaults,
                                kKiraClamps};

// One draw of the random generator modulo n (n > 0).
int64_t RandomMod(int64_t n) { return crt::rand() % n; }

int Byte(int v) { return std::clamp(v, 0, 255); }

}  // namespace

// --- #111 ---

CEffectFish::CEffectFish(CEffectManager* manager) : CTableStartEffect(manager, kFishTable) {}

int CEffectFish::Count(const EffectChannel& record) {
  return std::clamp(record.Param(1), 0, kMaxFish);
}

namespace {

// The record's values as 64-bit numbers, so sums of them never wrap.
struct FishValues {
  int64_t fishW, fishH, areaX, areaY, areaW, areaH, kinds, frames, step, least, span, chance;
  explicit FishValues(const EffectChannel& r)
      : fishW(r.Param(2)),
        fishH(r.Param(3)),
        areaX(r.Param(4)),
        areaY(r.Param(5)),
        areaW(r.Param(6)),
        areaH(r.Param(7)),
        kinds(r.Param(8)),
        frames(r.Param(9)),
        step(std::max(r.Param(10), 1)),
        least(r.Param(11)),
        span(std::max<int64_t>(int64_t{r.Param(12)} - r.Param(11) + 1, 1)),
        chance(r.Param(13)) {}
  // Frames of a whole animation cycle, at least 1.
  int64_t Cycle() const { return std::max<int64_t>(frames * step, 1); }
  // A new speed, then its direction: leftward when the second draw mod 100
  // is below 50.
  int64_t Velocity() const {
    const int64_t speed = least + RandomMod(span);
    return RandomMod(100) < 50 ? -speed : speed;
  }
};

}  // namespace

int CEffectFish::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  p[12] = std::max(p[12], p[11]);
  StartRecord(record, kNumber, Table().fixedDuration, p, Table().max);
  const FishValues v(*record);
  for (int i = 0; i < Count(*record); ++i) {
    int32_t* fish = Fish(record, i);
    fish[0] = Clamp32(v.areaX + RandomMod(std::max<int64_t>(1, v.areaW - v.fishW)));
    fish[1] = Clamp32(v.areaY + RandomMod(std::max<int64_t>(1, v.areaH - v.fishH)));
    fish[2] = Clamp32(v.Velocity());
    fish[3] = 0;
  }
  return 1;
}

void CEffectFish::Calcu(EffectChannel* record, int) {
  if (record->Counter() > 10000) record->Counter() = 0;
  const FishValues v(*record);
  const int64_t left = v.areaX, right = v.areaX + v.areaW - v.fishW;
  const int64_t top = v.areaY, bottom = v.areaY + v.areaH - v.fishH;
  for (int i = 0; i < Count(*record); ++i) {
    int32_t* fish = Fish(record, i);
    int64_t x = fish[0], vx = fish[2];
    if (v.chance > 0 && RandomMod(10000) < v.chance) {
      vx = v.Velocity();
      fish[3] = 0;
      // Held below the bottom first, so an area lower than a fish keeps it
      // at the top.
      const int64_t y = std::max(std::min(fish[1] + RandomMod(5) - 2, bottom), top);
      fish[1] = Clamp32(y);
    }
    x += vx;
    if (x < left) {
      x = left;
      vx = vx < 0 ? -vx : vx;
    } else if (x > right) {
      x = right;
      vx = vx > 0 ? -vx : vx;
    }
    fish[0] = Clamp32(x);
    fish[2] = Clamp32(vx);
    fish[3] = Clamp32((int64_t{fish[3]} + 1) % v.Cycle());
  }
}

void CEffectFish::Print(EffectChannel* record, int) {
  CPicture* sheet = RecordPicture(*record);
  if (!sheet) return;
  const FishValues v(*record);
  for (int i = 0; i < Count(*record); ++i) {
    const int32_t* fish = Fish(record, i);
    int64_t sx = fish[2] < 1 ? 0 : v.fishW;
    if (v.kinds > 1) sx += 2 * v.fishW * (i % v.kinds);
    const int64_t sy = v.frames > 1 ? v.fishH * ((fish[3] % v.Cycle()) / v.step) : 0;
    sheet->Blt(fish[0], fish[1], Clamp32(sx), Clamp32(sy), Clamp32(v.fishW), Clamp32(v.fishH), 1);
  }
}

// --- #85 ---

CEffectSpeedLine::CEffectSpeedLine(CEffectManager* manager)
    : CTableStartEffect(manager, kLineTable) {}

CEffectSpeedLine::Line* CEffectSpeedLine::Lines() {
  if (!lines_) lines_ = std::make_unique<std::array<Line, kLines>>();
  return lines_->data();
}

int CEffectSpeedLine::Count(const EffectChannel& record) {
  return std::clamp(record.Param(1), 0, kLines);
}

int CEffectSpeedLine::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  // At least three rows: a lower area grows downward and moves up by 2.
  if (p[11] < 3) {
    p[11] = 3;
    if (p[9] - 2 >= 0) p[9] -= 2;
  }
  StartRecord(record, kNumber, p[0], p, Table().max);
  Lines();
  Restore(record, channel);
  return 1;
}

void CEffectSpeedLine::Restore(EffectChannel* record, int) {
  for (int i = 0; i < Count(*record); ++i) InitLine(*record, i, true);
}

void CEffectSpeedLine::InitLine(const EffectChannel& r, int i, bool anywhere) {
  Line& line = Lines()[i];
  const int64_t ax = r.Param(8), ay = r.Param(9), aw = r.Param(10), ah = r.Param(11);
  const int64_t length = r.Param(2), speed = r.Param(4);
  const int64_t ry = crt::rand();
  int64_t x = 0;
  if (anywhere)
    x = ax + RandomMod(std::max<int64_t>(1, aw + 2 * length)) - length;
  else
    x = ax + (speed < 0 ? aw : -2 * length) + RandomMod(std::max<int64_t>(1, length + 1));
  line.x = Clamp32(x);
  line.y = Clamp32(ay + ry % (ah < 3 ? 1 : ah - 2));
  const int64_t m = std::max<int64_t>(1, std::abs(speed / 4));
  line.vx = Clamp32(speed + RandomMod(2 * m) - m);
  line.zero = 0;
  line.length = Clamp32(length + RandomMod(std::max<int64_t>(1, length / 2)));
  line.width = r.Param(3);
  line.thick = static_cast<int>(RandomMod(2));
}

void CEffectSpeedLine::Calcu(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int64_t ax = r.Param(8), aw = r.Param(10);
  const bool leftward = r.Param(4) <= 0;
  Line* lines = Lines();
  for (int i = 0; i < Count(r); ++i) {
    Line& line = lines[i];
    line.x = Clamp32(int64_t{line.x} + line.vx);
    const bool gone = leftward ? line.x < ax - int64_t{line.length} * 125 / 100 : line.x > ax + aw;
    if (gone) InitLine(r, i, false);
  }
}

namespace {

// Row drawing of the speed lines, held to columns left..right - 1.
struct LineRow {
  uint32_t* row;
  int64_t left, right;
  uint32_t colour;

  // Columns from..to (inclusive) in the line colour.
  void Solid(int64_t from, int64_t to) const {
    from = std::max(from, left);
    to = std::min(to, right - 1);
    if (from <= to) std::fill(row + from, row + to + 1, colour);
  }
  // 64 columns from `from` blended over the screen, the weight falling from
  // 255 by 4 a column: (colour a + screen (255 - a)) >> 8 per byte.
  void Fade(int64_t from) const {
    const int64_t first = std::max(from, left), last = std::min(from + 64, right);
    constexpr uint32_t kEven = packedpixel::kEven;
    for (int64_t x = first; x < last; ++x) {
      const uint32_t a = static_cast<uint32_t>(255 - 4 * (x - from));
      const uint32_t s = row[x];
      const uint32_t even = (((colour & kEven) * a + (s & kEven) * (255 - a)) >> 8) & kEven;
      const uint32_t odd =
          ((((colour >> 8) & kEven) * a + ((s >> 8) & kEven) * (255 - a)) >> 8) & kEven;
      row[x] = even | odd << 8;
    }
  }
};

}  // namespace

void CEffectSpeedLine::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || W <= 0 || H <= 0) return;
  const EffectChannel& r = *record;
  const uint32_t colour = static_cast<uint32_t>(Byte(r.Param(5))) << 16 |
                          static_cast<uint32_t>(Byte(r.Param(6))) << 8 |
                          static_cast<uint32_t>(Byte(r.Param(7)));
  const int64_t left = std::max<int64_t>(r.Param(8), 0);
  const int64_t right = std::min<int64_t>(int64_t{r.Param(8)} + r.Param(10), W);
  const Line* lines = Lines();
  for (int i = 0; i < Count(r); ++i) {
    const Line& line = lines[i];
    const int64_t x = line.x, end = x + line.length;
    const auto row = [&](int64_t y) {
      return LineRow{y >= 0 && y < H ? screen + y * W : nullptr, left, right, colour};
    };
    if (const LineRow mid = row(int64_t{line.y} + 1); mid.row) {
      mid.Solid(x, end - 65);
      mid.Fade(end - 64);
    }
    if (!line.thick) continue;
    if (const LineRow above = row(line.y); above.row) {
      above.Solid(x, end - 81);
      above.Fade(end - 80);
    }
    if (const LineRow below = row(int64_t{line.y} + 2); below.row) {
      below.Solid(x, end - 65);
      below.Fade(end - 80);
    }
  }
}

// --- #42 ---

CEffectKira::CEffectKira(CEffectManager* manager)
    : CTableStartEffect(manager, kKiraTable), picture_(std::make_unique<CPicture>()) {
  {
    const CQuietPictureLoads quiet;
    loaded_ = picture_->LoadDWQ("sys\\kirakira", 0) ? 1 : 0;
  }
  const uint32_t* pixels = picture_->GetPixelBuffer();
  if (!loaded_ || !pixels || picture_->Get256Flag() || picture_->GetWidth() < kSpot ||
      picture_->GetHeight() < kSpot) {
    loaded_ = 0;
    return;
  }
  for (int y = 0; y < kSpot; ++y)
    for (int x = 0; x < kSpot; ++x)
      intensity_[static_cast<size_t>(y) * kSpot + x] =
          static_cast<uint8_t>(pixels[static_cast<size_t>(y) * picture_->GetWidth() + x] & 255);
}

CEffectKira::~CEffectKira() {
  if (picture_) picture_->Release();
}

int CEffectKira::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  for (int i = 0; i < kSparkles; ++i) {
    InitSparkle(*record, i);
    sparkles_[i].age = static_cast<int>(RandomMod(sparkles_[i].life));
  }
  return 1;
}

void CEffectKira::InitSparkle(const EffectChannel& r, int i) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  Sparkle& s = sparkles_[i];
  s.age = 0;
  s.life = static_cast<int>(RandomMod(8)) + 5;
  const auto place = [](int64_t from, int64_t size, int limit) {
    int64_t v = from + RandomMod(std::max<int64_t>(1, size)) - 32;
    if (v < 32) v = 32;
    return Clamp32(std::min<int64_t>(v, int64_t{limit} - 32));
  };
  s.x = place(r.Param(2), r.Param(4), W);
  s.y = place(r.Param(3), r.Param(5), H);
}

int CEffectKira::Level(int age, int life) {
  const int64_t peak = std::max<int64_t>(1, (int64_t{life} * 7 + 5) / 10);
  const int64_t brightness = age <= peak ? int64_t{age} * 100 / peak
                                         : (int64_t{life} - age) * 100 /
                                               std::max<int64_t>(1, life - peak);
  return static_cast<int>(std::clamp<int64_t>(brightness, 0, 100) * 255 / 100);
}

void CEffectKira::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!loaded_ || !screen || W <= 0 || H <= 0) return;
  const int count = std::clamp(record->Param(1), 1, kSparkles);
  for (int i = 0; i < count; ++i) {
    Sparkle& s = sparkles_[i];
    if (++s.age >= s.life) InitSparkle(*record, i);
    const int level = Level(s.age, s.life);
    if (level == 0) continue;
    // The spot clipped to the screen.
    const int64_t x0 = int64_t{s.x} - kSpot / 2, y0 = int64_t{s.y} - kSpot / 2;
    const int64_t left = std::max<int64_t>(0, -x0), right = std::min<int64_t>(kSpot, W - x0);
    const int64_t top = std::max<int64_t>(0, -y0), bottom = std::min<int64_t>(kSpot, H - y0);
    for (int64_t v = top; v < bottom; ++v) {
      uint32_t* row = screen + (y0 + v) * W + x0;
      const uint8_t* glow = intensity_.data() + v * kSpot;
      for (int64_t u = left; u < right; ++u) {
        const int add = std::max(0, glow[u] - (255 - level));
        if (add > 0)
          row[u] = packedpixel::SaturatingAdd(row[u], static_cast<uint32_t>(add) * 0x010101u);
      }
    }
  }
}
