// CTextPrint: the layout walk, the '#' codes and the measuring walk.
#include "message/textprint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "message/rendersettings.h"
#include "message/textlayer.h"
#include "message/textstate.h"
#include "platform/system.h"
#include "setup/text.h"

namespace {

using Bytes = const unsigned char*;

// Full-width cells of 0x20..0x7F ("　！”…～■") and of 0xA0..0xDF ("ア。「…゜").
const char kFullWidth[] =
    "\x81\x40\x81\x49\x81\x68\x81\x94\x81\x90\x81\x93\x81\x95\x81\x66\x81\x69\x81\x6A\x81\x96"
    "\x81\x7B\x81\x43\x81\x7C\x81\x44\x81\x5E"
    "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58\x81\x46"
    "\x81\x47\x81\x83\x81\x81\x81\x84\x81\x48"
    "\x81\x97\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67\x82\x68\x82\x69"
    "\x82\x6A\x82\x6B\x82\x6C\x82\x6D\x82\x6E"
    "\x82\x6F\x82\x70\x82\x71\x82\x72\x82\x73\x82\x74\x82\x75\x82\x76\x82\x77\x82\x78\x82\x79"
    "\x81\x6D\x81\x8F\x81\x6E\x81\x4F\x81\x51"
    "\x81\x65\x82\x81\x82\x82\x82\x83\x82\x84\x82\x85\x82\x86\x82\x87\x82\x88\x82\x89\x82\x8A"
    "\x82\x8B\x82\x8C\x82\x8D\x82\x8E\x82\x8F"
    "\x82\x90\x82\x91\x82\x92\x82\x93\x82\x94\x82\x95\x82\x96\x82\x97\x82\x98\x82\x99\x82\x9A"
    "\x81\x6F\x81\x62\x81\x70\x81\x60\x81\xA1";
const char kFullWidthKana[] =
    "\x83\x41\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x83\x92\x83\x40\x83\x42\x83\x44\x83\x46"
    "\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62"
    "\x81\x5B\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50\x83\x52"
    "\x83\x54\x83\x56\x83\x58\x83\x5A\x83\x5C"
    "\x83\x5E\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6A\x83\x6B\x83\x6C\x83\x6D\x83\x6E"
    "\x83\x71\x83\x74\x83\x77\x83\x7A\x83\x7D"
    "\x83\x7E\x83\x80\x83\x81\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8A\x83\x8B\x83\x8C"
    "\x83\x8D\x83\x8F\x83\x93\x81\x4A\x81\x4B";
static_assert(sizeof kFullWidth == 96 * 2 + 1 && sizeof kFullWidthKana == 64 * 2 + 1);

// 姓 名 改 花 ［ ］ 強: codes 0..6.
const char kFixedCodes[] = "\x90\xA9\x96\xBC\x89\xFC\x89\xD4\x81\x6D\x81\x6E\x8B\xAD";
// 心 汗 怒 足 猫 息 薔: codes 50..56, glyphs 5..11.
const char kSpecialCodes[] = "\x90\x53\x8A\xBE\x93\x7B\x91\xAB\x94\x4C\x91\xA7\xE5\x4B";
const char kEndCode[] = "\x8F\x49";  // 終

struct NamedColour {
  char code[3];
  unsigned char r, g, b;
};
// 黒 青 赤 紫 緑 水 黄 白 橙 桜 桃 柿 朱 狐 灰 鶯 苔 苗 竹 碧 鉄 藍 空 紺 藤 梅 紅 苺 杏 飴
// 枯 栗 金 葉 鉛 肌.
const NamedColour kColours[] = {
    {"\x8D\x95", 0, 0, 0},       {"\x90\xC2", 0, 0, 255},     {"\x90\xD4", 255, 0, 0},
    {"\x8E\x87", 255, 0, 255},   {"\x97\xCE", 0, 255, 0},     {"\x90\x85", 0, 255, 255},
    {"\x89\xA9", 255, 255, 0},   {"\x94\x92", 255, 255, 255}, {"\x9E\xF2", 255, 128, 0},
    {"\x8D\xF7", 252, 210, 196}, {"\x93\x8D", 246, 138, 147}, {"\x8A\x60", 218, 96, 71},
    {"\x8E\xE9", 255, 138, 100}, {"\x8C\xCF", 167, 104, 57},  {"\x8A\x44", 144, 125, 111},
    {"\xE9\xF2", 118, 104, 85},  {"\x91\xDB", 154, 142, 76},  {"\x95\x63", 156, 189, 103},
    {"\x92\x7C", 125, 162, 116}, {"\x95\xC9", 75, 123, 114},  {"\x93\x53", 59, 72, 68},
    {"\x97\x95", 53, 85, 90},    {"\x8B\xF3", 95, 158, 185},  {"\x8D\xAE", 37, 48, 72},
    {"\x93\xA1", 153, 131, 172}, {"\x94\x7E", 159, 83, 104},  {"\x8D\x67", 188, 58, 83},
    {"\xE4\x95", 197, 0, 79},    {"\x88\xC7", 226, 151, 103}, {"\x88\xB9", 158, 113, 61},
    {"\x8C\xCD", 234, 195, 150}, {"\x8C\x49", 68, 21, 11},    {"\x8B\xE0", 168, 129, 0},
    {"\x97\x74", 188, 207, 164}, {"\x89\x94", 249, 251, 249}, {"\x94\xA7", 242, 198, 172},
};
const NamedColour kLetterColours[] = {
    {"B", 0, 0, 0},     {"U", 0, 0, 255},     {"R", 255, 0, 0},
    {"P", 255, 0, 255}, {"G", 0, 255, 0},     {"C", 0, 255, 255},
    {"Y", 255, 255, 0}, {"W", 255, 255, 255}, {"O", 255, 128, 0},
};

enum Code {
  kFamily = 0,
  kGiven = 1,
  kBreak = 2,
  kExtra = 3,
  kReading = 4,
  kClose = 5,
  kEmphasis = 6,
  kReplaceFirst = 10,
  kSpecialFirst = 50,
  kCodeListFirst = 70,
  kColourFirst = 100,
};
constexpr int kCodeListEntries = CTextState::kCodeListBytes / 2;

bool TwoByteMode() { return GetRenderSettings().codeByte != 1; }

bool Same2(Bytes p, const char* two) {
  return p[0] == static_cast<unsigned char>(two[0]) && p[1] == static_cast<unsigned char>(two[1]);
}

bool IsSingleByteCell(unsigned c) { return (c >= 0x20 && c <= 0x7F) || (c >= 0xA0 && c <= 0xDF); }

// The count digit after "#［": '1'..'9' or "１".."９"; 0 when there is none.
// *length: its bytes.
int ReadCountDigit(Bytes p, int* length) {
  if (p[0] >= '1' && p[0] <= '9') {
    *length = 1;
    return p[0] - '0';
  }
  if (p[0] == 0x82 && p[1] >= 0x50 && p[1] <= 0x58) {
    *length = 2;
    return p[1] - 0x4F;
  }
  return 0;
}

// Reads an annotation or emphasis text from p up to its "］": the
// characters before it, or -1 when it ends otherwise (a CR LF, 100
// characters, or the text's end, where the walk stops). *used: bytes
// consumed.
int ScanAnnotation(Bytes p, int* used) {
  int j = 0;
  for (int k = 0; k < CTextPrint::kMaxAnnotationChars; ++k) {
    if (p[j] == 0) break;
    if (p[j] == '\r' && p[j + 1] == '\n') {
      j += 2;
      break;
    }
    if (p[j] == 0x81 && p[j + 1] == 0x6E) {
      *used = j + 2;
      return k;
    }
    if (p[j + 1] == 0) {
      ++j;  // a cut character; the NUL comes next
      break;
    }
    j += 2;
  }
  *used = j;
  return -1;
}

int Advance(int size, int spacing, bool twoByte) {
  const int64_t s = std::clamp(size, 1, CFontPrint::kMaxSize);
  const int64_t a = (twoByte ? s : s / 2) + spacing;
  return a > 0 ? static_cast<int>(std::min<int64_t>(a, INT32_MAX)) : 1;
}

// y moved on by the pitch, held within 32 bits.
int NextLineY(int y, int pitch) {
  return static_cast<int>(
      std::clamp<int64_t>(static_cast<int64_t>(y) + pitch, INT32_MIN, INT32_MAX));
}

int NameCells(const char* name, bool twoByte) {
  const int length = static_cast<int>(std::strlen(name));
  return twoByte ? length / 2 : length;
}

}  // namespace

CTextPrint::CTextPrint(CFontPrint* font, CTextDebugList* debugList)
    : font_(font), debugList_(debugList) {
  work_ = font_ ? font_->GetWorkPicture() : nullptr;
  records_ = new AnnotationRecord[kMaxAnnotations];
  texts_ = new const char*[kMaxAnnotations]();
}

CTextPrint::~CTextPrint() { Release(); }

void CTextPrint::Release() {
  delete[] records_;
  delete[] texts_;
  records_ = nullptr;
  texts_ = nullptr;
}

int CTextPrint::GetCodeNumber(const char* code) {
  if (!code) return -1;
  const auto* p = reinterpret_cast<Bytes>(code);
  if (!TwoByteMode()) {
    if (p[0] == 'L') return kFamily;
    if (p[0] == 'F') return kGiven;
    for (int k = 0; k < static_cast<int>(std::size(kLetterColours)); ++k)
      if (p[0] == static_cast<unsigned char>(kLetterColours[k].code[0])) return kColourFirst + k;
    return -1;
  }
  if (p[0] == 0) return -1;
  for (int k = 0; k <= kEmphasis; ++k)
    if (Same2(p, kFixedCodes + 2 * k)) return k;
  if (p[0] == 0x82 && p[1] >= 0x4F && p[1] <= 0x58) return kReplaceFirst + (p[1] - 0x4F);
  for (int k = 0; k < static_cast<int>(std::size(kColours)); ++k)
    if (Same2(p, kColours[k].code)) return kColourFirst + k;
  for (int k = 0; k < 7; ++k)
    if (Same2(p, kSpecialCodes + 2 * k)) return kSpecialFirst + k;
  const char* list = GetTextState().codeList;
  for (int k = 0; k < kCodeListEntries; ++k) {
    const auto* entry = reinterpret_cast<Bytes>(list + 2 * k);
    if (entry[0] == 0 || Same2(entry, kEndCode)) break;
    if (Same2(p, list + 2 * k)) return kCodeListFirst + k;
  }
  return -1;
}

void CTextPrint::SetExtraName(const char* text) {
  setup::CopyCp932Cut(GetTextState().extraName, text, CTextState::kExtraNameBytes);
}

void CTextPrint::SetReplaceText(int slot, const char* text) {
  if (slot < 0 || slot >= CTextState::kReplaceSlots || !text) return;
  char* to = GetTextState().replace[slot];
  setup::CopyCp932Cut(to, text, CTextState::kReplaceBytes);
  to[std::strlen(to) + 1] = 0;
}

void CTextPrint::SetCodeList(const char* text) {
  if (!text) return;
  char* list = GetTextState().codeList;
  setup::CopyCp932Cut(list, text, CTextState::kCodeListBytes);
  std::strcat(list, kEndCode);
}

// --- Measuring ---

int CTextPrint::GetTextLength(const char* text) {
  if (!text) return 0;
  const bool twoByte = TwoByteMode();
  const int bytes = twoByte ? 2 : 1;
  const CTextState& state = GetTextState();
  const auto* t = reinterpret_cast<Bytes>(text);
  int count = 0;
  bool suspended = false;
  for (int i = 0;;) {
    const unsigned c = t[i];
    if (c == 0 || c == '\n') return count;
    if (c == '#') {
      // A code that meets the NUL ends the text.
      if (t[i + 1] == 0 || (twoByte && t[i + 2] == 0)) return count;
      const int number = GetCodeNumber(text + i + 1);
      if (number == kBreak) return count;
      if (number == kFamily) count += NameCells(state.familyName, twoByte);
      if (number == kGiven) count += NameCells(state.givenName, twoByte);
      if (number >= kSpecialFirst && number < kColourFirst) ++count;
      if (number == kReading || number == kEmphasis) suspended = true;
      if (number == kClose) suspended = false;
      i += 1 + bytes;
      continue;
    }
    if (IsSingleByteCell(c)) {
      ++i;
    } else if (c >= 0x80) {
      if (twoByte && t[i + 1] == 0) return count;  // a cut character ends the line
      i += bytes;
    } else {
      ++i;  // other control bytes
      continue;
    }
    if (!suspended) ++count;
  }
}

// --- Laying out and drawing ---

int CTextPrint::Begin(int size, int start, int end, int x, int y, const char* text, int r, int g,
                      int b, int spacing, int pitch, int outline, int clipTop, int clipHeight) {
  if (!font_) return -end;
  const bool own = !font_->IsPrinting();
  if (own) font_->BeginPrint(size);
  const int result = PrintText(start, end, x, y, text, size, r, g, b, spacing, pitch, outline,
                               clipTop, clipHeight);
  if (own) font_->EndPrint();
  return result;
}

int CTextPrint::Print(int x, int y, const char* text, int size, int r, int g, int b, int spacing,
                      int pitch, int outline, int) {
  return Begin(size, 0, CTextState::kMaxCells, x, y, text, r, g, b, spacing, pitch, outline, -1, 0);
}

int CTextPrint::PrintMessage(int start, int count, int x, int y, const char* text, int size, int r,
                             int g, int b, int spacing, int pitch, int outline, int) {
  const int64_t end = static_cast<int64_t>(start) + count;
  return Begin(size, start, static_cast<int>(std::clamp<int64_t>(end, INT32_MIN, INT32_MAX)), x, y,
               text, r, g, b, spacing, pitch, outline, -1, 0);
}

int CTextPrint::PrintClip(int clipTop, int clipHeight, int x, int y, const char* text, int size,
                          int r, int g, int b, int spacing, int pitch, int outline) {
  return Begin(size, 0, CTextState::kMaxCells, x, y, text, r, g, b, spacing, pitch, outline,
               std::max(clipTop, 0), clipHeight);
}

int CTextPrint::PrintSoftClip(int left, int right, int x, int y, const char* text, int size, int r,
                              int g, int b, int spacing, int pitch, int outline) {
  softLeft_ = left;
  softRight_ = right;
  softClip_ = 1;
  const int result =
      Begin(size, 0, CTextState::kMaxCells, x, y, text, r, g, b, spacing, pitch, outline, -1, 0);
  softClip_ = 0;
  return result;
}

// One walk over the text: the state of the line being built.
struct CTextPrint::Layout {
  CTextPrint* self;
  CTextState& state;
  const char* text;
  bool twoByte;
  int bytes;
  int cells = 0;
  int annotations = 0;
  bool colourOn = false;
  uint32_t current = 0;

  void AddCell(const char* cell) {
    if (cells >= CTextState::kMaxCells) return;
    std::memcpy(state.line + cells * bytes, cell, static_cast<size_t>(bytes));
    state.cellColours[cells] = current;
    ++cells;
  }
  // A name or replacement text: all of it, or nothing when it would not fit.
  void AddString(const char* s) {
    const int n = NameCells(s, twoByte);
    if (cells + n > CTextState::kMaxCells) return;
    for (int k = 0; k < n; ++k) AddCell(s + k * bytes);
  }
  void AddSpecial(int glyph) {
    const char cell[2] = {static_cast<char>(CFontPrint::kSpecialMarker), static_cast<char>(glyph)};
    AddCell(cell);
  }
  void AddAnnotation(int base, int length, const char* at) {
    if (annotations >= kMaxAnnotations) return;
    self->records_[annotations] = {base, length, std::max(cells - base, 0)};
    self->texts_[annotations] = at;
    ++annotations;
  }
};

int CTextPrint::PrintText(int start, int end, int x, int y, const char* text, int size, int r,
                          int g, int b, int spacing, int pitch, int outline, int clipTop,
                          int clipHeight) {
  if (!text || !font_ || !records_) return -end;
  const CFontRenderSettings& settings = GetRenderSettings();
  if (r == -1) r = 255;
  if (g == -1) g = r;
  if (b == -1) b = g;
  if (pitch == -1) pitch = NextLineY(size, 4);
  const int s = std::clamp(size, 1, CFontPrint::kMaxSize);
  if (clipTop == -1) {
    clipTop = 0;
    clipHeight = s;
  }
  Layout line{this, GetTextState(), text, TwoByteMode(), TwoByteMode() ? 2 : 1};
  line.current = MakeCellColour(r, g, b);
  const int advance = Advance(size, spacing, line.twoByte);
  const auto* t = reinterpret_cast<Bytes>(text);
  int lineStart = 0;
  int lastCells = 0;

  // Ends the line whose terminator's last byte is at `last`.
  auto endLine = [&](int last) {
    const int length = last - lineStart + 1;
    char key[CTextLayer::kMaxKeyBytes + 1];
    const int keyLength = std::min(length, CTextLayer::kMaxKeyBytes);
    std::memcpy(key, text + lineStart, static_cast<size_t>(keyLength));
    key[keyLength] = 0;
    char* tail = line.state.line + line.cells * line.bytes;
    tail[0] = 0;
    if (line.twoByte) tail[1] = 0;
    const int result =
        font_->RenderLine(MakeLineKey(key, text + lineStart, length), line.state.line, r, g, b,
                          spacing, outline, line.colourOn ? line.state.cellColours : nullptr,
                          line.annotations, line.cells, records_, texts_);
    lastCells = 0;
    if (result != 0) {
      lastCells = (result & 0xFFFF) / advance;
      const int first = std::max(start, 0);
      const int stop = std::min(end, lastCells);
      if (first < stop) {
        const int srcX = first * advance, width = (stop - first) * advance;
        if (softClip_)
          font_->DrawLineSoft(softLeft_, softRight_, x, y, srcX, clipTop, width, clipHeight);
        else
          font_->DrawLine(x, y, srcX, clipTop, width, clipHeight);
        if (settings.rubiFlag && line.annotations > 0 && clipHeight >= s) {
          const int rows = font_->GetAnnotationSize();
          if (softClip_)
            font_->DrawAnnotationsSoft(softLeft_, softRight_, x, y, srcX, 0, width, rows);
          else
            font_->DrawAnnotations(x, y, srcX, 0, width, rows);
        }
      }
    }
    lastLineCells_ = line.cells;
    lastAnnotations_ = line.annotations;
    line.colourOn = false;
    line.cells = 0;
    line.annotations = 0;
    lineStart = last + 1;
    y = NextLineY(y, pitch);
  };

  for (int i = 0;;) {
    const unsigned c = t[i];
    if (c == 0) {
      endLine(i);
      break;
    }
    if (c == '\n') {
      endLine(i);
      ++i;
      continue;
    }
    if (c == '#') {
      // A code that meets the NUL ends the text.
      if (t[i + 1] == 0) {
        endLine(i + 1);
        break;
      }
      if (line.twoByte && t[i + 2] == 0) {
        endLine(i + 2);
        break;
      }
      const int number = GetCodeNumber(text + i + 1);
      int next = i + 1 + line.bytes;
      CTextState& st = line.state;
      if (number == kFamily) {
        line.AddString(st.familyName);
      } else if (number == kGiven) {
        line.AddString(st.givenName);
      } else if (number == kExtra) {
        line.AddString(st.extraName);
      } else if (number >= kReplaceFirst && number < kReplaceFirst + CTextState::kReplaceSlots) {
        line.AddString(st.replace[number - kReplaceFirst]);
      } else if (number >= kSpecialFirst && number < kCodeListFirst) {
        line.AddSpecial(5 + number - kSpecialFirst);
      } else if (number >= kCodeListFirst && number < kColourFirst) {
        line.AddSpecial(25 + number - kCodeListFirst);
      } else if (number >= kColourFirst) {
        const NamedColour& colour =
            (line.twoByte ? kColours : kLetterColours)[number - kColourFirst];
        line.colourOn = true;
        line.current = MakeCellColour(colour.r, colour.g, colour.b);
      } else if (number == kBreak) {
        endLine(next - 1);
      } else if (number == kReading) {
        int digitBytes = 0;
        const int base = ReadCountDigit(t + next, &digitBytes);
        if (base > 0) {
          int used = 0;
          const char* at = text + next + digitBytes;
          const int length = ScanAnnotation(t + next + digitBytes, &used);
          if (length >= 1 && settings.rubiFlag) line.AddAnnotation(base, length, at);
          next += digitBytes + used;
        }
      } else if (number == kEmphasis) {
        int used = 0;
        const int marks = ScanAnnotation(t + next, &used);
        if (marks >= 1) line.AddAnnotation(marks, -1, text + next);
        next += used;
      }
      i = next;
      continue;
    }
    if (IsSingleByteCell(c)) {
      if (line.twoByte) {
        const char* table =
            c <= 0x7F ? kFullWidth + 2 * (c - 0x20) : kFullWidthKana + 2 * (c - 0xA0);
        line.AddCell(table);
      } else {
        line.AddCell(text + i);
      }
      ++i;
      continue;
    }
    if (c < 0x80) {
      ++i;  // CR, TAB and the other control bytes
      continue;
    }
    if (!line.twoByte) {
      line.AddCell(text + i);
      ++i;
      continue;
    }
    if (t[i + 1] == 0) {
      // A lead byte cut off by the NUL: dropped, and the line ends.
      endLine(i + 1);
      break;
    }
    if (c == 0x81 && t[i + 1] == 0x63 && line.state.santenUseFlag) {
      line.AddSpecial(1);  // …
    } else if (c == 0x81 && t[i + 1] == 0x5C && line.state.dashUseFlag) {
      // ―: 3 between two more, 4 at the end of a run, 2 otherwise.
      const bool before = i >= 2 && t[i - 2] == 0x81 && t[i - 1] == 0x5C;
      const bool after = t[i + 2] == 0x81 && t[i + 3] == 0x5C;
      line.AddSpecial(before && after ? 3 : before ? 4 : 2);
    } else {
      line.AddCell(text + i);
    }
    i += 2;
  }
  DrawDebugList();
  return lastCells - end;
}

void CTextPrint::DrawDebugList() {
  // Each text is drawn once, when the print that follows its addition ends.
  if (!debugList_) return;
  for (const CTextDebugList::Entry& e : debugList_->Entries()) {
    font_->DrawSurfaceText(e.x, e.y, e.text, e.colour);
    char head[CTextDebugList::kTraceBytes + 2];
    setup::CopyCp932Cut(head, e.text.c_str(), CTextDebugList::kTraceBytes);
    char trace[sizeof head + 64];
    std::snprintf(trace, sizeof trace, "[%s x=%d y=%d ln=%d]", head, e.x, e.y,
                  static_cast<int>(e.text.size()));
    platform::DebugOutput(trace);
  }
  debugList_->Clear();
}
