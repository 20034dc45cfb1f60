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

// --- #19 flip-book ---

int CEffectAnime::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[17];
  const int given = TakeParams(count, values, 17, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 4);
  p[1] = std::max(p[1], 1);
  Default(p, given, 2, 1);
  p[2] = std::max(p[2], 1);
  Default(p, given, 3, 0);
  Default(p, given, 4, 12);
  Default(p, given, 5, 0);
  Default(p, given, 6, 100);
  Default(p, given, 7, p[6]);
  Default(p, given, 8, 0);
  Default(p, given, 9, 10);
  Default(p, given, 10, 0);
  return StartRecord(record, kNumber, p[0], p, 17);
}

void CEffectAnime::Calcu(EffectChannel* record, int) {
  if (record->Param(10) == 0) return;
  // Counts from a save are held to what a start allows.
  const int64_t cycle = int64_t{std::max(record->Param(1), 1)} * std::max(record->Param(2), 1);
  record->Counter() = static_cast<int>(record->Counter() % cycle);
}

int CEffectAnime::FrameChannel(const EffectChannel& record) {
  const int frames = std::max(record.Param(1), 1);
  int f = std::max(record.Counter(), 0) / std::max(record.Param(2), 1);
  f = record.Param(3) != 0 ? f % frames : std::min(f, frames - 1);
  return static_cast<int>(std::clamp<int64_t>(int64_t{record.Param(4)} + f, 0, 15));
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
  const int mode = record->Param(4);
  if (mode == 0 || mode == 1) {
    picture->Blt(x, y, sx, sy, w, h, mode);
    return;
  }
  const int percent = CalcuCurve(record->Counter(), record->Duration(), record->Param(7),
                                 record->Param(6), record->Param(9), record->Param(8));
  picture->TransLucentBlt3(x, y, sx, sy, w, h, percent);
}

// --- #63 sprite sheet ---

int CEffectKomaAnime::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 64);
  Default(p, given, 2, 64);
  Default(p, given, 3, 1);
  Default(p, given, 4, 0);
  Default(p, given, 5, 0);
  Default(p, given, 6, p[4]);
  Default(p, given, 7, p[5]);
  Default(p, given, 8, 0);
  Default(p, given, 9, 0);
  Default(p, given, 10, 100);
  Default(p, given, 11, 100);
  Default(p, given, 12, 100);
  Default(p, given, 13, 0);
  Default(p, given, 14, 0);
  return StartRecord(record, kNumber, p[0], p, 16);
}

void CEffectKomaAnime::Calcu(EffectChannel* record, int) {
  if (record->Param(14) > 0) record->Counter() %= record->Param(14);
}

int CEffectKomaAnime::CheckBusy(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  return r.Param(4) != r.Param(6) || r.Param(5) != r.Param(7) || r.Param(8) != 0 ||
                 r.Param(11) != 100 || r.Param(12) != 100 || r.Param(13) != 0
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
  const int x = Clamp32((int64_t{r.Param(4)} - r.Param(6)) * t / d + r.Param(6));
  const int y = Clamp32((int64_t{r.Param(5)} - r.Param(7)) * t / d + r.Param(7));
  const int cw = r.Param(1), ch = r.Param(2);
  if (cw < 1 || ch < 1) return;
  const int columns = picture->GetWidth() / cw, rows = picture->GetHeight() / ch;
  if (columns < 1 || rows < 1) return;
  int64_t f = t / std::max(r.Param(3), 1);
  if (r.Param(9) > 0) f %= r.Param(9);
  const int sx = Clamp32(f % columns * cw), sy = Clamp32(f / columns * ch);
  switch (r.Param(8)) {
    case 0:
      picture->Blt(x, y, sx, sy, cw, ch, 0);
      break;
    case 2: {
      const int percent = Clamp32(r.Param(11) + (int64_t{r.Param(10)} - r.Param(11)) * t / d);
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

int CEffectMePachiKuchiPaku::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[13];
  const int given = TakeParams(count, values, 13, p);
  Default(p, given, 0, 9999);
  Default(p, given, 1, 32);
  Default(p, given, 2, 32);
  Default(p, given, 3, 2);
  Default(p, given, 4, -1);
  Default(p, given, 5, 0);
  Default(p, given, 6, 0);
  Default(p, given, 7, 1);
  p[7] = std::max(p[7], 1);
  Default(p, given, 8, 40);
  Default(p, given, 9, 80);
  Default(p, given, 10, 4);
  Default(p, given, 11, 80);
  Default(p, given, 12, 0);
  StartRecord(record, kNumber, 9999, p, 13);
  NewWait(record);
  return 1;
}

void CEffectMePachiKuchiPaku::NewWait(EffectChannel* record) {
  const bool speech = (record->Param(6) & 1) != 0;
  const int64_t base = record->Param(speech ? 10 : 8), spread = record->Param(speech ? 11 : 9);
  const int64_t c = std::max<int64_t>(spread * 2 * base / 100, 1);
  record->Param(kWait) = Clamp32(std::max<int64_t>(base + crt::rand() % c - c / 2, 1));
  record->Param(kTimer) = 0;
}

void CEffectMePachiKuchiPaku::Calcu(EffectChannel* record, int) {
  EffectChannel& r = *record;
  r.Counter() = 0;
  if (r.Param(kTimer) < INT32_MAX) ++r.Param(kTimer);
  if (r.Param(kTimer) < r.Param(kWait)) return;
  const int64_t step = std::max(r.Param(7), 1), cells = r.Param(3);
  int64_t b = int64_t{r.Param(kTimer)} - r.Param(kWait);
  bool end = false;
  if (r.Param(12) > 0 && b == step * (cells - 1) && crt::rand() % 100 < r.Param(12)) {
    if (r.Param(5) != 0) {
      r.Param(kTimer) = Clamp32(r.Param(kTimer) + 2 * step);
      b += 2 * step;
    } else {
      end = true;
    }
  }
  if (r.Param(5) != 0 ? b >= step * (2 * cells - 2) : b >= step * cells) end = true;
  if (!end) return;
  NewWait(record);
  CScreenBuffer::SetFullRedraw(0);
}

int CEffectMePachiKuchiPaku::Cell(const EffectChannel& r) {
  if (r.Param(kTimer) < r.Param(kWait)) return -1;
  const int64_t cells = r.Param(3);
  int64_t s = (int64_t{r.Param(kTimer)} - r.Param(kWait)) / std::max(r.Param(7), 1);
  if (r.Param(5) != 0 && s >= cells) s = 2 * cells - s - 1;
  return Clamp32(std::max<int64_t>(s, 0));
}

void CEffectMePachiKuchiPaku::Print(EffectChannel* record, int channel) {
  const int s = Cell(*record);
  if (s < 0 || ((record->Param(6) & 1) != 0 && manager_->GetEffectSpeed() == 0)) return;
  const int from = record->Param(4) == -1 ? channel : record->Param(4);
  const EffectChannel* shown = manager_->GetChannel(from);
  CPicture* picture = shown ? RecordPicture(*shown) : nullptr;
  if (!picture) return;
  int x, y;
  manager_->GetDrawPos(from, &x, &y);
  const int w = record->Param(1), h = record->Param(2);
  picture->Blt(x, y, Clamp32(int64_t{w} * s), 0, w, h, (record->Param(6) & 2) != 0 ? 1 : 0);
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

int CEffectFullAnime::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 1);
  Default(p, given, 3, 0);
  lastFrame_ = -1;
  return StartRecord(record, kNumber, p[0], p, 16);
}

void CEffectFullAnime::Print(EffectChannel* record, int) {
  int64_t d = record->Duration(), counter = record->Counter();
  if (d <= 0) d = 1, counter = 0;
  const int64_t t = std::clamp<int64_t>(counter, 0, d - 1);
  const int frame = static_cast<int>(t / std::max(record->Param(2), 1));
  if (record->Param(3) != 0 && frame == lastFrame_) return;
  lastFrame_ = frame;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const std::string path = AnimeFramePath(record->Param(1), frame);
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
