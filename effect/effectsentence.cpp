#include "effect/effectsentence.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

using Roll = CEffectStaffRoll;

// The roll's clamps: rising boundaries within the screen, the piece
// channels a roll of that many pieces needs.
void HoldRoll(int* p, int h) {
  static constexpr int kBoundaries[4] = {Roll::kBoundary1, Roll::kBoundary2, Roll::kBoundary3,
                                         Roll::kBoundary4};
  p[Roll::kBoundary1] = std::max(p[Roll::kBoundary1], 0);
  for (int i = 1; i < 4; ++i)
    p[kBoundaries[i]] = std::max(p[kBoundaries[i]], p[kBoundaries[i - 1]]);
  for (int b : kBoundaries) p[b] = std::min(p[b], h);
  p[Roll::kPieces] = std::max(p[Roll::kPieces], 1);
  if (p[Roll::kPieces] == 2) p[Roll::kPieceChannels] = 1;
  if (p[Roll::kPieces] > 2) p[Roll::kPieceChannels] = std::max(p[Roll::kPieceChannels], 2);
}

}  // namespace

// --- #133 ---

// The cells' size in pixels.
constexpr ParamDefault CEffectSentence::kDefaults[] = {
    Value(kDuration, 20),  Value(kCellWidth, 32),    Value(kCellHeight, 32), Value(kVertical, 0),
    Value(kAppearance, 0), Value(kFramesPerChar, 1), Value(kCurve, 0),       Value(kRamp, 0),
};
constexpr ParamClamp CEffectSentence::kClamps[] = {Range(kFramesPerChar, 1, INT_MAX)};

constexpr StartTable CEffectSentence::kTable{kNumber, 16, -1, kAfter, kDefaults, kClamps};

CEffectSentence::CEffectSentence(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectSentence::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  const int cw = record->Param(kCellWidth), ch = record->Param(kCellHeight);
  if (!picture || cw < 1 || ch < 1) return;
  const int columns = picture->GetWidth() / cw, rows = picture->GetHeight() / ch;
  if (columns <= 0 || rows <= 0) return;
  const bool vertical = record->Param(kVertical) != 0;
  const int64_t cells = int64_t{columns} * rows;
  const int64_t perChar = std::max(record->Param(kFramesPerChar), 1);
  const int64_t line = vertical ? rows : columns;
  const int64_t v = CalcuCurve(record->Counter(), record->Duration(), 0,
                               static_cast<int>(std::min<int64_t>(cells * perChar, INT_MAX)),
                               record->Param(kRamp), record->Param(kCurve));
  const int64_t shown = std::clamp<int64_t>(v, 0, INT_MAX) / perChar;
  const int percent = static_cast<int>(std::clamp<int64_t>(v, 0, INT_MAX) % perChar * 100 / perChar);
  const int full = static_cast<int>(shown / line), k = static_cast<int>(shown % line);
  const int x = record->DrawRect()[0], y = record->DrawRect()[1];
  // A part of the picture at the same offset on the screen.
  auto part = [&](int64_t sx, int64_t sy, int64_t w, int64_t h) {
    picture->Blt(Clamp32(x + sx), Clamp32(y + sy), Clamp32(sx), Clamp32(sy), Clamp32(w), Clamp32(h),
                 1);
  };
  // The column of the line being written (vertical writing).
  const int64_t column = int64_t{columns} - full - 1;
  // Full lines are whole rows of the picture, or its whole height in the
  // cells' columns (from the right of the cell grid), so what lies beyond
  // the last whole cell shows with them.
  if (shown > 0) {
    if (vertical) {
      part((int64_t{columns} - full) * cw, 0, int64_t{full} * cw, picture->GetHeight());
      part(column * cw, 0, cw, int64_t{k} * ch);
    } else {
      part(0, 0, picture->GetWidth(), int64_t{full} * ch);
      part(0, int64_t{full} * ch, int64_t{k} * cw, ch);
    }
  }
  if (percent <= 0) return;
  const int64_t sx = vertical ? column * cw : int64_t{k} * cw;
  const int64_t sy = vertical ? int64_t{k} * ch : int64_t{full} * ch;
  const int dx = Clamp32(x + sx), dy = Clamp32(y + sy);
  // The cell scaled to pw x ph, centred on its place.
  auto stretched = [&](int64_t pw, int64_t ph, int opacity) {
    if (pw <= 0 || ph <= 0) return;
    picture->StretchBlt(Clamp32(dx + (cw - pw) / 2), Clamp32(dy + (ch - ph) / 2), Clamp32(pw),
                        Clamp32(ph), Clamp32(sx), Clamp32(sy), cw, ch, opacity, 0);
  };
  const int64_t pw = int64_t{cw} * percent / 100, ph = int64_t{ch} * percent / 100;
  const int64_t bw = int64_t{cw} * (200 - percent) / 100, bh = int64_t{ch} * (200 - percent) / 100;
  switch (record->Param(kAppearance)) {
    case 0:
      part(sx, sy, cw, ch);
      break;
    case 1:
      picture->TransLucentBlt3(dx, dy, Clamp32(sx), Clamp32(sy), cw, ch, percent);
      break;
    case 2:
      stretched(pw, ph, 100);
      break;
    case 3:
      if (pw > 0 && ph > 0) part(sx + (cw - pw) / 2, sy + (ch - ph) / 2, pw, ph);
      break;
    case 4:
      if (vertical)
        part(sx, sy, cw, ph);
      else
        part(sx, sy, pw, ch);
      break;
    case 5:
      stretched(bw, bh, 100);
      break;
    case 6:
      stretched(bw, bh, percent);
      break;
    default:
      break;
  }
}

// --- #80 ---

// Opacities in percent, the boundaries as screen rows; the rows are held
// by HoldRoll.
constexpr ParamDefault CEffectStaffRoll::kDefaults[] = {
    Value(kDuration, 20),   Value(kBlendMode, 1),     Value(kTopOpacity, 0),
    Value(kOpacity1, 50),   Value(kOpacity2, 100),    Value(kOpacity3, 100),
    Value(kOpacity4, 50),   Value(kBottomOpacity, 0), Value(kBoundary1, 100),
    Value(kBoundary2, 200), Value(kBoundary3, 280),   Value(kBoundary4, 380),
    Value(kPieces, 1),      Value(kPieceChannels, 0),
};

constexpr StartTable CEffectStaffRoll::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectStaffRoll::CEffectStaffRoll(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectStaffRoll::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  const int h = CScreenBuffer::GetHeight();
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), h, p);
  HoldRoll(p, h);
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  failed_.clear();
  loaded_.clear();
  BuildTable(*record);
  return 1;
}

void CEffectStaffRoll::Restore(EffectChannel* record, int channel) {
  StartAgain(record, channel);
}

void CEffectStaffRoll::BuildTable(const EffectChannel& record) {
  const int h = std::max(CScreenBuffer::GetHeight(), 0);
  table_.assign(static_cast<size_t>(h), 0);
  int p[kMaxParams];
  for (int i = 0; i < Table().max; ++i) p[i] = record.Param(i);
  // Stored records are held as a start would hold them.
  HoldRoll(p, h);
  // Each band: first and end row, opacity at both.
  const int bands[5][4] = {{0, p[kBoundary1], p[kTopOpacity], p[kOpacity1]},
                           {p[kBoundary1], p[kBoundary2], p[kOpacity1], p[kOpacity2]},
                           {p[kBoundary2], p[kBoundary3], p[kOpacity2], p[kOpacity3]},
                           {p[kBoundary3], p[kBoundary4], p[kOpacity3], p[kOpacity4]},
                           {p[kBoundary4], h, p[kOpacity4], p[kBottomOpacity]}};
  for (const auto& band : bands) {
    const int64_t s = band[0], e = band[1], a = band[2], b = band[3];
    if (e <= s) continue;
    for (int64_t i = std::max<int64_t>(s, 0); i < e && i < h; ++i) {
      const int64_t value = (a + (i - s) * (b - a) / (e - s)) * 256 / 100;
      table_[static_cast<size_t>(i)] = static_cast<int>(std::clamp<int64_t>(value, 0, 256));
    }
  }
}

int CEffectStaffRoll::PieceChannel(int channel, int piece, int pieceChannels) {
  const int64_t n =
      int64_t{channel} + 1 + (int64_t{piece} - 1) % std::max(1, pieceChannels);
  if (n > 16 || n < 0) return -1;
  const int used = n == 16 ? 15 : static_cast<int>(n);
  // The roll's own picture is piece 0: a piece never loads over it.
  return used == channel ? -1 : used;
}

void CEffectStaffRoll::DrawPiece(const CPicture& piece, int x, int y, int mode) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const uint32_t* pixels = piece.GetPixelBuffer();
  const uint8_t* mask = piece.GetMask();
  if (!pixels || piece.Get256Flag()) return;
  if (mode == 2 && (!mask || !piece.GetMaskFlag())) return;
  const int pw = piece.GetWidth(), ph = piece.GetHeight();
  const uint32_t key = pixels[0];
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int64_t top = std::max<int64_t>(y, 0), bottom = std::min<int64_t>(int64_t{y} + ph, h);
  const int64_t left = std::max<int64_t>(x, 0), right = std::min<int64_t>(int64_t{x} + pw, w);
  if (!plain_) {
    // Each row in one packed-word loop: the row's opacity t (0..256) and
    // the mask make every weight 0..255 (t itself copies at 256), so no
    // byte's sum saturates; the top byte is cleared.
    const int n = static_cast<int>(std::max<int64_t>(right - left, 0));
    for (int64_t sy = top; sy < bottom; ++sy) {
      const uint32_t t = static_cast<uint32_t>(table_[static_cast<size_t>(sy)]);
      if (t == 0) continue;
      const size_t first = static_cast<size_t>(sy - y) * pw + static_cast<size_t>(left - x);
      const uint32_t* src = pixels + first;
      uint32_t* out = screen + sy * w + left;
      if (mode == 2) {
        const uint8_t* m = mask + first;
        packedwords::Run([=] {
          for (int i = 0; i < n; ++i) {
            const uint32_t a = (t * m[i]) >> 8, d = out[i];
            const uint32_t mixed = packedwords::Summed(d, src[i], a, 256 - a) & 0xFFFFFF;
            out[i] = m[i] == 0 ? d : mixed;
          }
        });
      } else {
        packedwords::Run([=] {
          for (int i = 0; i < n; ++i) {
            const uint32_t s = src[i], d = out[i];
            const uint32_t mixed =
                t >= 256 ? s : packedwords::Summed(d, s, t, 256 - t) & 0xFFFFFF;
            out[i] = s == key ? d : mixed;
          }
        });
      }
    }
    return;
  }
  for (int64_t sy = top; sy < bottom; ++sy) {
    const int t = table_[static_cast<size_t>(sy)];
    if (t <= 0) continue;
    const size_t row = static_cast<size_t>(sy - y) * pw;
    uint32_t* out = screen + sy * w;
    for (int64_t sx = left; sx < right; ++sx) {
      const size_t at = row + static_cast<size_t>(sx - x);
      const uint32_t src = pixels[at];
      int a = t;
      if (mode == 2) {
        if (mask[at] == 0) continue;
        a = t * mask[at] / 256;
      } else {
        if (src == key) continue;
        if (t >= 256) {
          out[sx] = src;
          continue;
        }
      }
      uint32_t mixed = 0;
      for (int c = 0; c < 3; ++c) {
        const int s = static_cast<int>(src >> (8 * c) & 0xFF);
        const int d = static_cast<int>(out[sx] >> (8 * c) & 0xFF);
        mixed |= static_cast<uint32_t>(std::clamp((a * s + (256 - a) * d) >> 8, 0, 255)) << (8 * c);
      }
      out[sx] = mixed;
    }
  }
}

void CEffectStaffRoll::PrintPlain(EffectChannel* record, int channel) {
  plain_ = true;
  Print(record, channel);
  plain_ = false;
}

int CEffectStaffRoll::LoadPiece(CPicture* piece, const std::string& name, std::string* waiting) {
  // A name not loaded before may fail in a way that depends on what the
  // channel held: the waiting load goes first.
  if (!loaded_.count(name)) LoadWaiting(piece, waiting);
  if (piece->LoadDWQ(name.c_str())) {
    loaded_[name] = piece->GetHeight();
    waiting->clear();
    return 1;
  }
  failed_.insert(name);
  loaded_.erase(name);
  LoadWaiting(piece, waiting);
  return 0;
}

void CEffectStaffRoll::LoadWaiting(CPicture* piece, std::string* waiting) {
  if (waiting->empty()) return;
  if (!piece->LoadDWQ(waiting->c_str())) {
    failed_.insert(*waiting);
    loaded_.erase(*waiting);
  }
  waiting->clear();
}

void CEffectStaffRoll::Print(EffectChannel* record, int channel) {
  BuildTable(*record);
  CPicture* own = RecordPicture(*record);
  if (!own || channel < 0 || channel >= 16) return;
  const int h = CScreenBuffer::GetHeight();
  const int64_t pieceHeight = own->GetHeight();
  const int x = record->DrawRect()[0], y = record->DrawRect()[1];
  const int mode = record->Param(kBlendMode);
  const int pieces = std::clamp(record->Param(kPieces), 1, kMostPieces);
  // An own picture without rows names no pieces.
  if (pieceHeight <= 0) return;
  const std::string name = own->GetName();
  auto shows = [&](int64_t top, int64_t height) { return top < h && top + height > 0; };
  DrawPiece(*own, x, y, mode);
  // Every piece loads in turn; one off the screen whose name loaded before
  // waits instead, and only the last of those for a channel is made, at
  // the end: the channels end the frame as if each had loaded in turn.
  Pending waiting;
  for (int64_t i = 1; i < pieces; ++i) {
    const int pc = PieceChannel(channel, static_cast<int>(i), record->Param(kPieceChannels));
    if (pc < 0) continue;
    const std::string pieceName = name + "_" + std::to_string(i + 1);
    if (failed_.count(pieceName)) continue;
    const int64_t top = y + i * pieceHeight;
    CPicture* piece = manager_->GetPicture(pc);
    const auto known = loaded_.find(pieceName);
    if (known != loaded_.end() && !shows(top, known->second)) {
      waiting[static_cast<size_t>(pc)] = pieceName;
      continue;
    }
    if (!LoadPiece(piece, pieceName, &waiting[static_cast<size_t>(pc)])) continue;
    if (shows(top, piece->GetHeight())) DrawPiece(*piece, x, static_cast<int>(top), mode);
  }
  for (size_t pc = 0; pc < waiting.size(); ++pc)
    LoadWaiting(manager_->GetPicture(static_cast<int>(pc)), &waiting[pc]);
}
