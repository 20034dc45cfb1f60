#include "effect/effectmovemaskwipe.h"

#include <algorithm>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// The target's and the mask's channels (-1: no mask); the saved screen in
// place of the source or the target picture; progress in percent.
constexpr ParamDefault CEffectMoveMaskWipe::kDefaults[] = {
    NoDefault(kDuration),    NoDefault(kTargetChannel), NoDefault(kMaskChannel),
    Value(kCurve, 0),        Value(kRamp, 0),           Value(kSavedSource, 0),
    Value(kSavedTarget, 0),  Value(kHardSwitch, 0),     Value(kEndPercent, 100),
    Value(kStartPercent, 0),
};

constexpr StartTable CEffectMoveMaskWipe::kTable{kNumber, 10, -1, kAfter, kDefaults};

CEffectMoveMaskWipe::CEffectMoveMaskWipe(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectMoveMaskWipe::SetParam(EffectChannel* record, int count, const int* values,
                                  int channel) {
  if (count <= kMaskChannel || !values) return 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

int CEffectMoveMaskWipe::Finish(EffectChannel* record, int) {
  record->Counter() = record->Duration();
  return 1;
}

int CEffectMoveMaskWipe::Progress(const EffectChannel& record) {
  return CalcuCurve(record.Counter(), std::max(record.Duration(), 1),
                    ScaledValue(record.Param(kStartPercent), 512, 100),
                    ScaledValue(record.Param(kEndPercent), 512, 100), record.Param(kRamp),
                    record.Param(kCurve));
}

namespace {

// The screen-sized window of a picture that the frame reads.
struct Window {
  const uint32_t* first = nullptr;
  int64_t pitch = 0;
};

// A window of `picture` at least as large as the screen, its origin at the
// negated draw position held inside the picture; false when the picture
// cannot give one.
bool TakeWindow(const CPicture* picture, int drawX, int drawY, Window* out) {
  const int64_t W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  if (!picture || !picture->GetBuffer() || picture->Get256Flag() || picture->GetWidth() < W ||
      picture->GetHeight() < H)
    return false;
  const int64_t x = std::clamp(-int64_t{drawX}, int64_t{0}, picture->GetWidth() - W);
  const int64_t y = std::clamp(-int64_t{drawY}, int64_t{0}, picture->GetHeight() - H);
  out->pitch = picture->GetWidth();
  out->first = picture->GetPixelBuffer() + y * out->pitch + x;
  return true;
}

bool ValidChannel(int channel) { return channel >= 0 && channel < CEffectManager::kChannels; }

}  // namespace

void CEffectMoveMaskWipe::Print(EffectChannel* record, int channel) { Draw(record, channel, false); }

void CEffectMoveMaskWipe::PrintPlain(EffectChannel* record, int channel) {
  Draw(record, channel, true);
}

void CEffectMoveMaskWipe::Draw(EffectChannel* record, int channel, bool plain) {
  const int d = Progress(*record);
  const int targetChannel = record->Param(kTargetChannel),
            maskChannel = record->Param(kMaskChannel);
  const bool savedSource = record->Param(kSavedSource) != 0,
             savedTarget = record->Param(kSavedTarget) != 0;
  // A target channel outside 0..15 names no target: nothing to draw, ends
  // included (the saved screen as target needs no channel).
  if (!savedTarget && !ValidChannel(targetChannel)) return;
  // The ends show their plain picture wherever the channels are drawn, as
  // long as it covers the screen like the pictures of every other step.
  if (d == 0 || d > 511) {
    if (d == 0 ? savedSource : savedTarget) {
      manager_->PutScreen();
      return;
    }
    CPicture* plain = manager_->GetPicture(d == 0 ? channel : targetChannel);
    if (plain->GetBuffer() && plain->GetWidth() >= CScreenBuffer::GetWidth() &&
        plain->GetHeight() >= CScreenBuffer::GetHeight())
      plain->Put(0, 0, 0);
    return;
  }
  int v = std::clamp(d / 2, 0, 256);
  if (record->Param(kHardSwitch) != 0) v = v > 127 ? 256 : 0;
  const int s = std::clamp(d > 256 ? 512 - d : d, 0, 256);
  const uint32_t half = static_cast<uint32_t>(v / 2);

  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!ValidChannel(maskChannel) || !screen) return;
  const CPicture* saved = CEffectManager::GetSavedScreen();
  Window source, target, mask;
  int x = 0, y = 0;
  manager_->GetDrawPos(channel, &x, &y);
  if (!(savedSource ? TakeWindow(saved, 0, 0, &source)
                    : TakeWindow(manager_->GetPicture(channel), x, y, &source)))
    return;
  manager_->GetDrawPos(targetChannel, &x, &y);
  if (!(savedTarget ? TakeWindow(saved, 0, 0, &target)
                    : TakeWindow(manager_->GetPicture(targetChannel), x, y, &target)))
    return;
  manager_->GetDrawPos(maskChannel, &x, &y);
  if (!TakeWindow(manager_->GetPicture(maskChannel), x, y, &mask)) return;

  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  if (!plain) {
    const size_t n = static_cast<size_t>(W);
    columns_.resize(n);
    rows_.resize(n);
    sources_.resize(n);
    targets_.resize(n);
    int32_t* columns = columns_.data();
    int32_t* rows = rows_.data();
    uint32_t* sources = sources_.data();
    uint32_t* targets = targets_.data();
    const uint32_t wa = 128u - half, wb = half;
    for (int row = 0; row < H; ++row) {
      const uint32_t* bend = mask.first + row * mask.pitch;
      uint32_t* out = screen + static_cast<int64_t>(row) * W;
      packedwords::Run([=] {
        for (int col = 0; col < W; ++col) {
          const int dx = ((static_cast<int>(bend[col] & 0xFF) - 128) * s) >> 8;
          const int dy = ((static_cast<int>((bend[col] >> 8) & 0xFF) - 128) * s) >> 8;
          const int sx = col + dx, sy = row + dy;
          columns[col] = sx < 0 ? 0 : sx > W - 1 ? W - 1 : sx;
          rows[col] = sy < 0 ? 0 : sy > H - 1 ? H - 1 : sy;
        }
      });
      for (int col = 0; col < W; ++col) {
        sources[col] = source.first[rows[col] * source.pitch + columns[col]];
        targets[col] = target.first[rows[col] * target.pitch + columns[col]];
      }
      packedwords::Run([=] {
        for (int col = 0; col < W; ++col)
          out[col] = packedpixel::WeighWords<7>(sources[col], targets[col], wa, wb);
      });
    }
    return;
  }
  for (int row = 0; row < H; ++row) {
    const uint32_t* bend = mask.first + row * mask.pitch;
    uint32_t* out = screen + static_cast<int64_t>(row) * W;
    for (int col = 0; col < W; ++col) {
      const int dx = ((static_cast<int>(bend[col] & 0xFF) - 128) * s) >> 8;
      const int dy = ((static_cast<int>((bend[col] >> 8) & 0xFF) - 128) * s) >> 8;
      const int64_t sx = std::clamp(col + dx, 0, W - 1), sy = std::clamp(row + dy, 0, H - 1);
      const uint32_t a = source.first[sy * source.pitch + sx];
      const uint32_t b = target.first[sy * target.pitch + sx];
      out[col] = packedpixel::Weigh<7>(a, b, 128u - half, half);
    }
  }
}
