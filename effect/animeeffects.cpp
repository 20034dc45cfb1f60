#include "effect/animeeffects.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;
constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// --- #19 flip-book ---

// Opacity in percent.
constexpr ParamDefault CEffectAnime::kDefaults[] = {
    Value(kDuration, 20),
    Value(kFrames, 4),
    Value(kCountsPerPicture, 1),
    Value(kLoop, 0),
    Value(kFirstChannel, 12),
    Value(kSpare, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kCurve, 0),
    Value(kRamp, 10),
    Value(kLoopCounter, 0),
};
constexpr ParamClamp CEffectAnime::kClamps[] = {Range(kFrames, 1, INT32_MAX),
                                                Range(kCountsPerPicture, 1, INT32_MAX)};

constexpr StartTable CEffectAnime::kTable{kNumber, 17, -1, kEach, kDefaults, kClamps};

CEffectAnime::CEffectAnime(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectAnime::Calcu(EffectChannel* record, int) {
  if (record->Param(kLoopCounter) == 0) return;
  // Counts from a save are held to what a start allows.
  const int64_t cycle =
      int64_t{std::max(record->Param(kFrames), 1)} * std::max(record->Param(kCountsPerPicture), 1);
  record->Counter() = static_cast<int>(record->Counter() % cycle);
}

int CEffectAnime::FrameChannel(const EffectChannel& record) {
  const int frames = std::max(record.Param(kFrames), 1);
  int f = std::max(record.Counter(), 0) / std::max(record.Param(kCountsPerPicture), 1);
  f = record.Param(kLoop) != 0 ? f % frames : std::min(f, frames - 1);
  return static_cast<int>(std::clamp<int64_t>(int64_t{record.Param(kFirstChannel)} + f, 0, 15));
}

void CEffectAnime::Print(EffectChannel* record, int) {
  const int c = FrameChannel(*record);
  CPicture* picture = RecordPicture(*manager_->GetChannel(c));
  if (!picture) return;
  int x, y, w, h, sx, sy;
  manager_->GetDrawPos(c, &x, &y);
  manager_->GetDrawSize(c, &w, &h);
  manager_->GetOrigin(&sx, &sy);
  // The first channel decides how every frame is drawn.
  const int mode = record->Param(kFirstChannel);
  if (mode == 0 || mode == 1) {
    picture->Blt(x, y, sx, sy, w, h, mode);
    return;
  }
  const int percent =
      CalcuCurve(record->Counter(), record->Duration(), record->Param(kStartOpacity),
                 record->Param(kEndOpacity), record->Param(kRamp), record->Param(kCurve));
  picture->TransLucentBlt3(x, y, sx, sy, w, h, percent);
}

// --- #63 sprite sheet ---

// The cells' size and the positions in pixels, opacity in percent.
constexpr ParamDefault CEffectKomaAnime::kDefaults[] = {
    Value(kDuration, 20), Value(kCellWidth, 64), Value(kCellHeight, 64),  Value(kCountsPerCell, 1),
    Value(kEndX, 0),      Value(kEndY, 0),       Same(kStartX, kEndX),    Same(kStartY, kEndY),
    Value(kMode, 0),      Value(kCells, 0),      Value(kEndOpacity, 100), Value(kStartOpacity, 100),
    Value(kSpare1, 100),  Value(kSpare2, 0),     Value(kLoopLength, 0),
};

constexpr StartTable CEffectKomaAnime::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectKomaAnime::CEffectKomaAnime(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectKomaAnime::Calcu(EffectChannel* record, int) {
  if (record->Param(kLoopLength) > 0) record->Counter() %= record->Param(kLoopLength);
}

int CEffectKomaAnime::CheckBusy(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  return r.Param(kEndX) != r.Param(kStartX) || r.Param(kEndY) != r.Param(kStartY) ||
                 r.Param(kMode) != 0 || r.Param(kStartOpacity) != 100 || r.Param(kSpare1) != 100 ||
                 r.Param(kSpare2) != 0
             ? 1
             : 0;
}

void CEffectKomaAnime::Print(EffectChannel* record, int channel) {
  CPicture* picture = RecordPicture(*record);
  if (!picture || record->Counter() >= record->Duration()) return;
  const EffectChannel& r = *record;
  int64_t d = int64_t{r.Duration()} - 1, t = 0;
  if (d < 1)
    d = 1;
  else
    t = std::clamp<int64_t>(r.Counter(), 0, d - 1);
  const int x = Clamp32((int64_t{r.Param(kEndX)} - r.Param(kStartX)) * t / d + r.Param(kStartX));
  const int y = Clamp32((int64_t{r.Param(kEndY)} - r.Param(kStartY)) * t / d + r.Param(kStartY));
  const int cw = r.Param(kCellWidth), ch = r.Param(kCellHeight);
  if (cw < 1 || ch < 1) return;
  const int columns = picture->GetWidth() / cw, rows = picture->GetHeight() / ch;
  if (columns < 1 || rows < 1) return;
  int64_t f = t / std::max(r.Param(kCountsPerCell), 1);
  if (r.Param(kCells) > 0) f %= r.Param(kCells);
  const int sx = Clamp32(f % columns * cw), sy = Clamp32(f / columns * ch);
  switch (r.Param(kMode)) {
    case 0:
      picture->Blt(x, y, sx, sy, cw, ch, 0);
      break;
    case 2: {
      const int percent = Clamp32(r.Param(kStartOpacity) +
                                  (int64_t{r.Param(kEndOpacity)} - r.Param(kStartOpacity)) * t / d);
      if (percent == 100)
        picture->MaskBlt(x, y, sx, sy, cw, ch);
      else
        picture->TransLucentBlt3(x, y, sx, sy, cw, ch, percent);
      break;
    }
    default:
      picture->Blt(x, y, sx, sy, cw, ch, 1);
      break;
  }
  if (CheckBusy(record, channel) == 0) CScreenBuffer::AddDirtyRect(x, y, cw, ch);
}

// --- #98 blinks and mouth flaps ---

// The cells' size in pixels, waits in frames with their spreads and the
// double-blink chance in percent.
constexpr ParamDefault CEffectMePachiKuchiPaku::kDefaults[] = {
    Value(kDuration, 9999), Value(kCellWidth, 32),      Value(kCellHeight, 32),
    Value(kCells, 2),       Value(kPictureChannel, -1), Value(kPingPong, 0),
    Value(kFlags, 0),       Value(kCountsPerCell, 1),   Value(kWaitMean, 40),
    Value(kWaitSpread, 80), Value(kSpeechWaitMean, 4),  Value(kSpeechWaitSpread, 80),
    Value(kDoubleBlink, 0),
};
constexpr ParamClamp CEffectMePachiKuchiPaku::kClamps[] = {Range(kCountsPerCell, 1, INT32_MAX)};

constexpr StartTable CEffectMePachiKuchiPaku::kTable{kNumber, 13, 9999, kAfter, kDefaults, kClamps};
static_assert(CEffectMePachiKuchiPaku::kTimer >= CEffectMePachiKuchiPaku::kTable.max,
              "the timer and the wait follow the values");

CEffectMePachiKuchiPaku::CEffectMePachiKuchiPaku(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectMePachiKuchiPaku::SetParam(EffectChannel* record, int count, const int* values,
                                      int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  NewWait(record);
  return 1;
}

void CEffectMePachiKuchiPaku::NewWait(EffectChannel* record) {
  const bool speech = (record->Param(kFlags) & 1) != 0;
  const int64_t base = record->Param(speech ? kSpeechWaitMean : kWaitMean),
                spread = record->Param(speech ? kSpeechWaitSpread : kWaitSpread);
  const int64_t c = std::max<int64_t>(spread * 2 * base / 100, 1);
  record->Param(kWait) = Clamp32(std::max<int64_t>(base + crt::rand() % c - c / 2, 1));
  record->Param(kTimer) = 0;
}

void CEffectMePachiKuchiPaku::Calcu(EffectChannel* record, int) {
  EffectChannel& r = *record;
  r.Counter() = 0;
  if (r.Param(kTimer) < INT32_MAX) ++r.Param(kTimer);
  if (r.Param(kTimer) < r.Param(kWait)) return;
  const int64_t step = std::max(r.Param(kCountsPerCell), 1), cells = r.Param(kCells);
  int64_t b = int64_t{r.Param(kTimer)} - r.Param(kWait);
  bool end = false;
  if (r.Param(kDoubleBlink) > 0 && b == step * (cells - 1) &&
      crt::rand() % 100 < r.Param(kDoubleBlink)) {
    if (r.Param(kPingPong) != 0) {
      r.Param(kTimer) = Clamp32(r.Param(kTimer) + 2 * step);
      b += 2 * step;
    } else {
      end = true;
    }
  }
  if (r.Param(kPingPong) != 0 ? b >= step * (2 * cells - 2) : b >= step * cells) end = true;
  if (!end) return;
  NewWait(record);
  CScreenBuffer::SetFullRedraw(0);
}

int CEffectMePachiKuchiPaku::Cell(const EffectChannel& r) {
  if (r.Param(kTimer) < r.Param(kWait)) return -1;
  const int64_t cells = r.Param(kCells);
  int64_t s = (int64_t{r.Param(kTimer)} - r.Param(kWait)) / std::max(r.Param(kCountsPerCell), 1);
  if (r.Param(kPingPong) != 0 && s >= cells) s = 2 * cells - s - 1;
  return Clamp32(std::max<int64_t>(s, 0));
}

void CEffectMePachiKuchiPaku::Print(EffectChannel* record, int channel) {
  const int s = Cell(*record);
  if (s < 0 || ((record->Param(kFlags) & 1) != 0 && manager_->GetEffectSpeed() == 0)) return;
  const int from = record->Param(kPictureChannel) == -1 ? channel : record->Param(kPictureChannel);
  const EffectChannel* shown = manager_->GetChannel(from);
  CPicture* picture = shown ? RecordPicture(*shown) : nullptr;
  if (!picture) return;
  int x, y;
  manager_->GetDrawPos(from, &x, &y);
  const int w = record->Param(kCellWidth), h = record->Param(kCellHeight);
  picture->Blt(x, y, Clamp32(int64_t{w} * s), 0, w, h, (record->Param(kFlags) & 2) != 0 ? 1 : 0);
  CScreenBuffer::AddDirtyRect(x, y, w, h);
}

// --- #79 full-screen frames ---

std::string AnimeFramePath(int animation, int frame) {
  if (animation < 0 || animation > 999 || frame < 0 || frame > 999) return {};
  char path[32];
  std::snprintf(path, sizeof path, "dwq\\an\\an%03d%03d.dwq", animation, frame);
  return path;
}

AnimeFrameResult DrawAnimeFrame(platform::ByteReader& in, uint32_t* screen, int w, int h,
                                uint8_t* row) {
  uint8_t headers[64 + 14 + 40];
  if (!in.Read(headers, sizeof headers)) return AnimeFrameResult::kRefused;
  const uint8_t* info = headers + 64 + 14;
  const int bits = info[14] | info[15] << 8;
  uint32_t used = 0;
  platform::ByteReader::U32At(info, 40, 32, &used);
  if (bits != 8 || used > 256) return AnimeFrameResult::kRefused;
  if (used == 0) used = 256;
  // Entries beyond the colours used stay black.
  std::array<uint32_t, 256> palette{};
  for (uint32_t i = 0; i < used; ++i) {
    uint8_t bgra[4];
    if (!in.Read(bgra, 4)) return AnimeFrameResult::kRefused;
    palette[i] = uint32_t{bgra[2]} << 16 | uint32_t{bgra[1]} << 8 | bgra[0];
  }
  for (int y = 0; y < h; ++y) {
    if (!in.Read(row, static_cast<size_t>(w))) return AnimeFrameResult::kShort;
    uint32_t* out = screen + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) out[x] = palette[row[x]];
  }
  return AnimeFrameResult::kDrawn;
}

constexpr ParamDefault CEffectFullAnime::kDefaults[] = {
    Value(kDuration, 20), Value(kAnimation, 0), Value(kCountsPerFrame, 1), Value(kSkipSame, 0)};

constexpr StartTable CEffectFullAnime::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectFullAnime::CEffectFullAnime(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectFullAnime::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  lastFrame_ = -1;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

void CEffectFullAnime::Print(EffectChannel* record, int) {
  int64_t d = record->Duration(), counter = record->Counter();
  if (d <= 0) d = 1, counter = 0;
  const int64_t t = std::clamp<int64_t>(counter, 0, d - 1);
  const int frame = static_cast<int>(t / std::max(record->Param(kCountsPerFrame), 1));
  if (record->Param(kSkipSame) != 0 && frame == lastFrame_) return;
  lastFrame_ = frame;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const std::string path = AnimeFramePath(record->Param(kAnimation), frame);
  if (!screen || w < 1 || h < 1 || path.empty()) return;
  FILE* file = platform::FileOpen(path, "rb");
  if (!file) return;
  platform::ByteReader in(file, -1);
  std::vector<uint8_t> own;
  uint8_t* row = manager_->GetWorkBuffer();
  if (manager_->GetWorkBufferSize() < w) {
    own.resize(static_cast<size_t>(w));
    row = own.data();
  }
  const AnimeFrameResult result = DrawAnimeFrame(in, screen, w, h, row);
  std::fclose(file);
  // A missing frame is part of the animation; a broken one is the author's
  // to know about.
  if (result == AnimeFrameResult::kRefused)
    platform::DebugPrintf("%s: not an 8-bit frame of at most 256 colours; not drawn\n", path.c_str());
  else if (result == AnimeFrameResult::kShort)
    platform::DebugPrintf("%s: shorter than the screen; drawn as far as it goes\n", path.c_str());
}
