#include "widget/textinputbox.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "graphics/allgeo.h"
#include "platform/backend.h"
#include "platform/codec.h"
#include "setup/text.h"
#include "widget/listkeys.h"
#include "widget/textlineprinter.h"

namespace {

// The full-width forms of the printable ASCII bytes 0x20..0x7E and of the
// half-width kana bytes 0xA0..0xDF (0xA0 has no kana: it types "ア").
constexpr const char* kAsciiWide =
    "　！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？"
    "＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［￥］＾＿"
    "‘ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～";
constexpr const char* kKanaWide =
    "ア。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
    "ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

using WideTable = std::array<std::array<unsigned char, 2>, 256>;

void FillRange(WideTable* table, int first, int last, const char* utf8) {
  const std::string cp932 = platform::Utf8ToCp932(utf8, true);
  for (int b = first; b <= last; ++b) {
    const size_t at = static_cast<size_t>(b - first) * 2;
    if (at + 1 >= cp932.size()) break;
    (*table)[b] = {static_cast<unsigned char>(cp932[at]), static_cast<unsigned char>(cp932[at + 1])};
  }
}

const WideTable& Wide() {
  static const WideTable table = [] {
    WideTable t{};
    FillRange(&t, 0x20, 0x7E, kAsciiWide);
    FillRange(&t, 0xA0, 0xDF, kKanaWide);
    return t;
  }();
  return table;
}

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Positions are computed wide and held to int, so odd settings never wrap.
int ClampToInt(int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

CTextInputBox::CTextInputBox(platform::Window* window, ITextLinePrinter* printer)
    : window_(window), printer_(printer), text_(new (std::nothrow) char[kInitialCapacity + 1]) {
  if (text_) {
    text_[0] = 0;
  } else {
    capacity_ = 0;
  }
}

CTextInputBox::~CTextInputBox() { Release(); }

void CTextInputBox::Release() {
  // The composition point saved at the first start stays as the box left it:
  // nothing else moves it meanwhile.
  text_.reset();
  capacity_ = 0;
}

template <typename F>
void CTextInputBox::ForStyles(int style, F f) {
  if (style == -1) {
    for (Style& s : styles_) f(s);
  } else if (style >= 0 && style < kStyleCount) {
    f(styles_[style]);
  }
}

void CTextInputBox::SetStyle(int style) {
  style_ = style < 0 ? 0 : (style >= kStyleCount ? kStyleCount - 1 : style);
}

void CTextInputBox::SetPrintXY(int x, int y, int style) {
  ForStyles(style, [&](Style& s) { s.printPos = {x, y}; });
}

void CTextInputBox::SetFontSize(int size, int style) {
  ForStyles(style, [&](Style& s) { s.fontSize = size; });
}

void CTextInputBox::SetSpacing(int spacing, int style) {
  ForStyles(style, [&](Style& s) { s.spacing = spacing; });
}

int CTextInputBox::SetMaxBytes(int maxBytes, int style) {
  if (maxBytes < 0) maxBytes = 0;
  if (maxBytes > capacity_ || !text_) {
    if (maxBytes > kMaxCapacity) return 0;
    std::unique_ptr<char[]> fresh(new (std::nothrow) char[static_cast<size_t>(maxBytes) + 1]);
    if (!fresh) return 0;
    // The new buffer starts empty: the old text is not carried over.
    fresh[0] = 0;
    text_ = std::move(fresh);
    capacity_ = maxBytes;
    hasPendingLead_ = 0;
  }
  ForStyles(style, [&](Style& s) { s.maxBytes = maxBytes; });
  return 1;
}

int CTextInputBox::GetMaxBytes(int style) const {
  return style >= 0 && style < kStyleCount ? styles_[style].maxBytes : 0;
}

void CTextInputBox::SetAlignMode(int mode, int style) {
  ForStyles(style, [&](Style& s) { s.alignMode = mode; });
}

void CTextInputBox::SetCursorMode(int mode, int style) {
  ForStyles(style, [&](Style& s) { s.cursorMode = mode; });
}

void CTextInputBox::SetBlink(int onFrames, int offFrames, int style) {
  if (offFrames == -1) offFrames = onFrames;
  ForStyles(style, [&](Style& s) {
    s.blinkOn = onFrames;
    s.blinkOff = offFrames;
    s.blinkPeriod = ClampToInt(int64_t{onFrames} + offFrames);
  });
}

void CTextInputBox::SetTextColor(int r, int g, int b, int style) {
  if (g < 0) g = r;
  if (b < 0) b = g;
  ForStyles(style, [&](Style& s) {
    s.textColor[0] = r;
    s.textColor[1] = g;
    s.textColor[2] = b;
    s.textColor[3] = 255;
  });
}

void CTextInputBox::SetCursorOffset(int x, int y, int style) {
  ForStyles(style, [&](Style& s) { s.cursorOffset = {x, y}; });
}

void CTextInputBox::SetCursorSize(int w, int h, int style) {
  ForStyles(style, [&](Style& s) {
    s.cursorW = w;
    s.cursorH = h;
  });
}

void CTextInputBox::SetCursorColor(int r, int g, int b, int a, int style) {
  if (g == -1) g = r;
  if (b == -1) b = g;
  ForStyles(style, [&](Style& s) {
    s.cursorColor[0] = r;
    s.cursorColor[1] = g;
    s.cursorColor[2] = b;
    s.cursorColor[3] = a;
  });
}

void CTextInputBox::LoadStyle(const char* prefix, int style) {
  SetStyle(style);
  Style& s = styles_[style_];
  const CNameList* list = setupList_;
  auto key = [&](const char* name, int fallback) { return ReadListInt(list, prefix, name, fallback); };
  const int noKey = INT_MIN;
  const int maxChars = key("Max", noKey);
  if (maxChars != noKey) {
    const int64_t bytes = int64_t{maxChars} * 2;
    if (bytes <= INT_MAX) SetMaxBytes(static_cast<int>(bytes < 0 ? 0 : bytes), style_);
  }
  s.textColor[0] = key("ColorR", s.textColor[0]);
  s.textColor[1] = key("ColorG", s.textColor[1]);
  s.textColor[2] = key("ColorB", s.textColor[2]);
  s.alignMode = key("AlignMode", s.alignMode);
  s.cursorMode = key("CursorMode", s.cursorMode);
  s.cursorColor[0] = key("CursorColorR", s.cursorColor[0]);
  s.cursorColor[1] = key("CursorColorG", s.cursorColor[1]);
  s.cursorColor[2] = key("CursorColorB", s.cursorColor[2]);
  s.cursorColor[3] = key("CursorColorA", s.cursorColor[3]);
  s.cursorW = key("CursorSizeX", s.cursorW);
  s.cursorH = key("CursorSizeY", s.cursorH);
  s.cursorOffset.x = key("CursorPrintX", s.cursorOffset.x);
  s.cursorOffset.y = key("CursorPrintY", s.cursorOffset.y);
  s.blinkOn = key("CursorOnTime", s.blinkOn);
  s.blinkOff = key("CursorOffTime", s.blinkOff);
  s.blinkPeriod = ClampToInt(int64_t{s.blinkOn} + s.blinkOff);
  s.fontSize = key("FontSize", s.fontSize);
  s.spacing = key("SukimaSize", s.spacing);
}

// --- Input ---

void CTextInputBox::Start() {
  active_ = 1;
  if (!window_) return;
  if (!compositionSaved_) {
    savedComposition_ = window_->GetCompositionPoint();
    compositionSaved_ = 1;
  }
  // Text input goes on even without "imeAutoOpenFlag": no character reaches
  // the box otherwise.
  if (!window_->IsTextInputOn()) window_->StartTextInput();
  FollowCursor();
}

// Text input ends with the entry whatever "imeAutoCloseFlag" says, as Start
// begins it whatever "imeAutoOpenFlag" says: left on, the desktop's input
// method would go on taking the game's keys.
void CTextInputBox::Stop() {
  active_ = 0;
  if (window_ && window_->IsTextInputOn()) window_->StopTextInput();
}

void CTextInputBox::CloseIme() {
  if (imeAutoClose_ && window_ && window_->IsTextInputOn()) window_->StopTextInput();
}

int CTextInputBox::Length() const { return text_ ? static_cast<int>(std::strlen(text_.get())) : 0; }

void CTextInputBox::PutChar(int byte) {
  if (!active_ || !text_) return;
  const auto b = static_cast<unsigned char>(byte);
  changed_ = 1;
  if (b == 13) entered_ = 1;
  if (b == 8 || b == 127) {
    DeleteLast();
    return;
  }
  if (b < 32) return;
  if (hasPendingLead_) {
    hasPendingLead_ = 0;
    if (IsTrailByte(b)) {
      AppendPair(static_cast<unsigned char>(pendingLead_), b);
      return;
    }
    // Not a trail byte: the lead is dropped and the byte counts by itself,
    // so the text never holds a broken character.
  }
  const auto& wide = Wide()[b];
  if (wide[0]) {
    AppendPair(wide[0], wide[1]);
  } else if (platform::IsCp932LeadByte(b)) {
    pendingLead_ = b;
    hasPendingLead_ = 1;
  }
}

void CTextInputBox::AppendPair(unsigned char lead, unsigned char trail) {
  const int length = Length();
  if (length > capacity_ - 2 || length > Current().maxBytes - 2) return;
  text_[length] = static_cast<char>(lead);
  text_[length + 1] = static_cast<char>(trail);
  text_[length + 2] = 0;
  FollowCursor();
}

void CTextInputBox::DeleteLast() {
  // Step through whole characters: the text may hold single-byte ones too.
  const auto* p = reinterpret_cast<const unsigned char*>(text_.get());
  int last = -1;
  for (int i = 0; p[i] != 0;) {
    last = i;
    i += platform::IsCp932LeadByte(p[i]) && p[i + 1] != 0 ? 2 : 1;
  }
  if (last < 0) return;
  text_[last] = 0;
  FollowCursor();
}

void CTextInputBox::Clear() {
  changed_ = 0;
  entered_ = 0;
  hasPendingLead_ = 0;
  pendingLead_ = 0;
  if (text_) text_[0] = 0;
  FollowCursor();
}

void CTextInputBox::SetText(const char* text, int refresh) {
  if (!text_) return;
  int limit = Current().maxBytes;
  if (limit > capacity_) limit = capacity_;
  setup::CopyCp932Cut(text_.get(), text, limit);
  if (refresh) FollowCursor();
}

// --- Positions and drawing ---

int CTextInputBox::Pitch() const {
  return ClampToInt(int64_t{Current().fontSize} + Current().spacing);
}

platform::Point CTextInputBox::GetAlignedPrintXY(int x, int y, const char* text, int fieldChars,
                                                 int alignMode) const {
  const int64_t pitch = Pitch();
  const int64_t chars = text ? static_cast<int64_t>(std::strlen(text)) / 2 : 0;
  int64_t dx = 0;
  if (alignMode == 1) {
    dx = (pitch * fieldChars) / 2 - (pitch * chars) / 2;
  } else if (alignMode == 2) {
    dx = pitch * (fieldChars - chars);
  }
  return {ClampToInt(x + dx), y};
}

platform::Point CTextInputBox::GetCursorXY() const {
  const Style& s = Current();
  const platform::Point at =
      GetAlignedPrintXY(s.printPos.x, s.printPos.y, GetText(), s.maxBytes / 2, s.alignMode);
  const int64_t x = int64_t{at.x} + int64_t{Length() / 2} * Pitch() + s.cursorOffset.x;
  return {ClampToInt(x), ClampToInt(int64_t{at.y} + s.cursorOffset.y)};
}

void CTextInputBox::FollowCursor() {
  if (!window_) return;
  const platform::Point at = GetCursorXY();
  window_->SetCompositionPoint(at.x, at.y, Current().fontSize);
}

void CTextInputBox::Print() {
  const Style& s = Current();
  if (printer_ && text_ && text_[0]) {
    const platform::Point at =
        GetAlignedPrintXY(s.printPos.x, s.printPos.y, GetText(), s.maxBytes / 2, s.alignMode);
    printer_->PrintLine(at.x, at.y, GetText(), s.fontSize, s.textColor[0], s.textColor[1],
                        s.textColor[2], s.spacing, -1, -1, 1);
  }
  const int period = s.blinkPeriod > 0 ? s.blinkPeriod : 1;
  blinkCounter_ = (blinkCounter_ % period + 1) % period;
  if (s.cursorMode == 1 && blinkCounter_ < s.blinkOn) {
    const platform::Point at = GetCursorXY();
    CAllGeo::BoxFill(at.x, at.y, s.cursorW, s.cursorH, s.cursorColor[0], s.cursorColor[1],
                     s.cursorColor[2]);
  }
}
