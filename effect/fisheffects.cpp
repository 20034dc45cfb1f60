#include "effect/fisheffects.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// One draw of the random generator modulo n (n > 0).
int64_t RandomMod(int64_t n) { return crt::rand() % n; }

int Byte(int v) { return std::clamp(v, 0, 255); }

}  // namespace

// --- #111 ---

// The first value is kept, not used. The fish's size and the area in
// pixels, speeds in pixels per frame, the chance to turn per 10,000
// frames.
constexpr ParamDefault CEffectFish::kDefaults[] = {
    NoDefault(kDuration),       Value(kCount, 1),
    Value(kFishWidth, 32),      Value(kFishHeight, 32),
    Value(kAreaX, 0),           Value(kAreaY, 0),
    Value(kAreaWidth, Width()), Value(kAreaHeight, Height()),
    Value(kKinds, 1),           Value(kFrames, 1),
    Value(kFramesPerStep, 1),   Value(kLeastSpeed, 1),
    Value(kGreatestSpeed, 3),   Value(kTurnChance, 100),
};
// SetParam holds the greatest speed at least at the least.
constexpr ParamClamp CEffectFish::kClamps[] = {AtMost(kCount, Fixed(kMaxFish))};

constexpr StartTable CEffectFish::kTable{kNumber, 16, 999999, kAfter, kDefaults, kClamps};
static_assert(CEffectFish::kFishBase >= CEffectFish::kTable.max, "the fish follow the values");

CEffectFish::CEffectFish(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectFish::Count(const EffectChannel& record) {
  return std::clamp(record.Param(kCount), 0, kMaxFish);
}

namespace {

// The record's values as 64-bit numbers, so sums of them never wrap.
struct FishValues {
  int64_t fishW, fishH, areaX, areaY, areaW, areaH, kinds, frames, step, least, span, chance;
  using F = CEffectFish;
  explicit FishValues(const EffectChannel& r)
      : fishW(r.Param(F::kFishWidth)),
        fishH(r.Param(F::kFishHeight)),
        areaX(r.Param(F::kAreaX)),
        areaY(r.Param(F::kAreaY)),
        areaW(r.Param(F::kAreaWidth)),
        areaH(r.Param(F::kAreaHeight)),
        kinds(r.Param(F::kKinds)),
        frames(r.Param(F::kFrames)),
        step(std::max(r.Param(F::kFramesPerStep), 1)),
        least(r.Param(F::kLeastSpeed)),
        span(std::max<int64_t>(int64_t{r.Param(F::kGreatestSpeed)} - r.Param(F::kLeastSpeed) + 1,
                               1)),
        chance(r.Param(F::kTurnChance)) {}
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
  p[kGreatestSpeed] = std::max(p[kGreatestSpeed], p[kLeastSpeed]);
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

// Length and area in pixels, speed in pixels per frame; the width is kept,
// not read.
constexpr ParamDefault CEffectSpeedLine::kDefaults[] = {
    Value(kDuration, 20),       Value(kCount, 10),
    Value(kLength, 100),        Value(kWidth, 3),
    Value(kSpeed, 30),          Value(kRed, 255),
    Value(kGreen, 3),           Value(kBlue, 3),
    Value(kAreaX, 0),           Value(kAreaY, 0),
    Value(kAreaWidth, Width()), Value(kAreaHeight, Height()),
};
// The area held on the screen.
constexpr ParamClamp CEffectSpeedLine::kClamps[] = {
    Range(kCount, 0, kLines),
    Range(kLength, 81, INT_MAX),
    Range(kAreaX, Fixed(0), Width(1, 1, -1)),
    Range(kAreaY, Fixed(0), Height(1, 1, -1)),
    SumAtMost(kAreaWidth, kAreaX, Width()),
    SumAtMost(kAreaHeight, kAreaY, Height()),
};

constexpr StartTable CEffectSpeedLine::kTable{kNumber, 12, -1, kAfter, kDefaults, kClamps};

CEffectSpeedLine::CEffectSpeedLine(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

CEffectSpeedLine::Line* CEffectSpeedLine::Lines() {
  if (!lines_) lines_ = std::make_unique<std::array<Line, kLines>>();
  return lines_->data();
}

int CEffectSpeedLine::Count(const EffectChannel& record) {
  return std::clamp(record.Param(kCount), 0, kLines);
}

int CEffectSpeedLine::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  // At least three rows: a lower area grows downward and moves up by 2.
  if (p[kAreaHeight] < 3) {
    p[kAreaHeight] = 3;
    if (p[kAreaY] - 2 >= 0) p[kAreaY] -= 2;
  }
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  Lines();
  Restore(record, channel);
  return 1;
}

void CEffectSpeedLine::Restore(EffectChannel* record, int) {
  for (int i = 0; i < Count(*record); ++i) InitLine(*record, i, true);
}

void CEffectSpeedLine::InitLine(const EffectChannel& r, int i, bool anywhere) {
  Line& line = Lines()[i];
  const int64_t ax = r.Param(kAreaX), ay = r.Param(kAreaY), aw = r.Param(kAreaWidth),
                ah = r.Param(kAreaHeight);
  const int64_t length = r.Param(kLength), speed = r.Param(kSpeed);
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
  line.width = r.Param(kWidth);
  line.thick = static_cast<int>(RandomMod(2));
}

void CEffectSpeedLine::Calcu(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int64_t ax = r.Param(kAreaX), aw = r.Param(kAreaWidth);
  const bool leftward = r.Param(kSpeed) <= 0;
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
  const uint32_t colour = static_cast<uint32_t>(Byte(r.Param(kRed))) << 16 |
                          static_cast<uint32_t>(Byte(r.Param(kGreen))) << 8 |
                          static_cast<uint32_t>(Byte(r.Param(kBlue)));
  const int64_t left = std::max<int64_t>(r.Param(kAreaX), 0);
  const int64_t right = std::min<int64_t>(int64_t{r.Param(kAreaX)} + r.Param(kAreaWidth), W);
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

// The first value is kept, not used.
constexpr ParamDefault CEffectKira::kDefaults[] = {
    NoDefault(kDuration),
    Value(kCount, 20),
    Value(kAreaX, 32),
    Value(kAreaY, 32),
    Value(kAreaWidth, Width(1, 1, -64)),
    Value(kAreaHeight, Height(1, 1, -64)),
};
// The area 32 pixels inside the screen's edges.
constexpr ParamClamp CEffectKira::kClamps[] = {
    Range(kCount, 1, kSparkles),
    Range(kAreaX, Fixed(32), Width(1, 1, -32)),
    Range(kAreaY, Fixed(32), Height(1, 1, -32)),
    Range(kAreaWidth, 1, INT_MAX),
    Range(kAreaHeight, 1, INT_MAX),
    SumAtMost(kAreaWidth, kAreaX, Width(1, 1, -33)),
    SumAtMost(kAreaHeight, kAreaY, Height(1, 1, -33)),
    Range(kAreaWidth, 1, INT_MAX),
    Range(kAreaHeight, 1, INT_MAX),
};

constexpr StartTable CEffectKira::kTable{kNumber, 6, 99999, kAfter, kDefaults, kClamps};

CEffectKira::CEffectKira(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), picture_(std::make_unique<CPicture>()) {
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
  s.x = place(r.Param(kAreaX), r.Param(kAreaWidth), W);
  s.y = place(r.Param(kAreaY), r.Param(kAreaHeight), H);
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
  if (!loaded_) {
    if (!toldMissing_)
      platform::ErrorOutput("the sparkle effect draws nothing: no usable picture sys\\kirakira");
    toldMissing_ = true;
    return;
  }
  if (!screen || W <= 0 || H <= 0) return;
  const int count = std::clamp(record->Param(kCount), 1, kSparkles);
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
