#include "game/debugaids.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "script/scriptcallback.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"

namespace debugaids {

namespace {

constexpr int kCellsPerRow = 16;
// The digits stand this far apart whatever the glyph size.
constexpr int kDigitStep = 16;

// The meters' common settings: glyph size, position and font name, read
// in this order; the default y stands `rowsAbove` glyph heights above the
// bottom of the screen.
struct MeterKeys {
  const char* sizeX;
  const char* sizeY;
  const char* x;
  const char* y;
  const char* fileName;
  int rowsAbove;
};

constexpr MeterKeys kFpsKeys = {"fpsFontSizeX", "fpsFuntSizeY", "FpsPrintX", "FpsPrintY",
                                "fpsFileName", 2};
constexpr MeterKeys kFukaKeys = {"fukaFontSizeX", "fukaFuntSizeY", "fukaPrintX", "fukaPrintY",
                                 "fukaFileName", 1};

void ReadMeter(const MeterKeys& keys, const CSetupList* list, CSystemPicture* pictures,
               GlyphFont* font, int* x, int* y) {
  auto read = [list](int* out, const char* key) {
    if (list) list->GetSetupInt(out, key);
  };
  read(&font->sizeX, keys.sizeX);
  read(&font->sizeY, keys.sizeY);
  *x = 0;
  read(x, keys.x);
  *y = CScreenBuffer::GetHeight() - keys.rowsAbove * font->sizeY;
  read(y, keys.y);
  const char* name = "nekofont";
  if (list) list->GetSetupString(&name, keys.fileName);
  font->picture = pictures ? pictures->Load(name, 0) : nullptr;
}

// The rectangle both meters draw in.
void MarkMeter(const GlyphFont& font, int x, int y) {
  if (font.sizeX > 0 && font.sizeY > 0)
    CScreenBuffer::AddDirtyRect(x, y, 3 * font.sizeX, font.sizeY);
}

}  // namespace

void GlyphFont::DrawCell(int x, int y, int cell) const {
  if (!Usable()) return;
  picture->Blt(x, y, cell % kCellsPerRow * sizeX, cell / kCellsPerRow * sizeY, sizeX, sizeY, 0);
}

void GlyphFont::DrawDigit(int x, int y, int digit) const {
  if (!Usable()) return;
  picture->Blt(x, y, digit * sizeX, sizeY, sizeX, sizeY, 0);
}

int64_t TimeOfDayMs() {
  const platform::LocalTime t = platform::GetLocalTime();
  return ((static_cast<int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

}  // namespace debugaids

// --- Frame-rate meter ---

CFpsPrint::CFpsPrint(const CSetupList* list, CSystemPicture* pictures) {
  debugaids::ReadMeter(debugaids::kFpsKeys, list, pictures, &font_, &x_, &y_);
  lastTime_ = GetTimeMs();
}

void CFpsPrint::Print() { PrintAt(GetTimeMs()); }

void CFpsPrint::PrintAt(int64_t now) {
  ++count_;
  const int64_t passed = now - lastTime_;
  if (passed < 0) {
    // The time of day passed midnight: measure again from here.
    count_ = 0;
    lastTime_ = now;
  } else if (passed >= 1000) {
    fps_ = static_cast<int>(std::min<int64_t>(count_ * 1000LL / passed, 999));
    count_ = 0;
    lastTime_ = now;
  }
  const int h = fps_ / 100, t = fps_ % 100 / 10, u = fps_ % 10;
  if (h > 0) font_.DrawDigit(x_, y_, h);
  font_.DrawDigit(x_ + debugaids::kDigitStep, y_, t);
  font_.DrawDigit(x_ + 2 * debugaids::kDigitStep, y_, u);
  debugaids::MarkMeter(font_, x_, y_);
}

// --- Load meter ---

CFukaPrint::CFukaPrint(const CSetupList* list, CSystemPicture* pictures) {
  debugaids::ReadMeter(debugaids::kFukaKeys, list, pictures, &font_, &x_, &y_);
}

void CFukaPrint::Print(int v) {
  if (v == -1) v = value_;
  v = std::clamp(v, 1, 99);
  blink_ = (blink_ + 1) % 20;
  // The marker: a whole frame, or a blink of ten frames on and ten off.
  const int marker = CScreenBuffer::CheckFullRedraw() ? 11 : (blink_ < 10 ? 13 : 0);
  font_.DrawCell(x_, y_, marker);
  font_.DrawDigit(x_ + debugaids::kDigitStep, y_, v / 10);
  font_.DrawDigit(x_ + 2 * debugaids::kDigitStep, y_, v % 10);
  debugaids::MarkMeter(font_, x_, y_);
}

// --- Variable overlay ---

namespace {

constexpr int kBackX = 360, kBackY = 8, kBackW = 432, kBackH = 584;
constexpr int kLineX = 380, kLineY = 16, kLineStep = 20, kMarkerX = 365;
constexpr uint32_t kShadow = 0x000000;
constexpr int64_t kHighlight = 0x80FF00;
const char kMarker[] = "\x81\x9C";  // "●"

uint32_t ValueColour(int value) {
  switch (value) {
    case 0: return 0x909090;
    case 1: return 0xFFFFFF;
    case 2: return 0xFF8000;
    default: return 0x0080FF;
  }
}

platform::OverlayText Line(int x, int y, std::string text, uint32_t colour,
                           int64_t background = -1) {
  platform::OverlayText line;
  line.x = x;
  line.y = y;
  line.text = std::move(text);
  line.color = colour;
  line.background = background;
  return line;
}

}  // namespace

CPrintDebugParam::CPrintDebugParam(CScriptCallBack* game, const CNameList* names)
    : game_(game), names_(names) {}

void CPrintDebugParam::Fade() {
  backVisible_ = 1;
  backPercent_ += 25;
  if (backPercent_ > 100) {
    backPercent_ = 0;
    backVisible_ = 0;
  }
}

void CPrintDebugParam::PrintBack() {
  if (!backVisible_) return;
  if (backPercent_ >= 100)
    CAllGeo::BoxFill(kBackX, kBackY, kBackW, kBackH, backColorR_, backColorG_, backColorB_);
  else
    CAllGeo::TransBoxFill(kBackX, kBackY, kBackW, kBackH, backColorR_, backColorG_, backColorB_,
                          backPercent_);
  CScreenBuffer::SetFullRedraw(0);
}

void CPrintDebugParam::MoveSelect(int n, int withinPage) {
  // In 64 bits: the key handlers pass small steps, but a page move of a
  // large n must not overflow.
  const int64_t step = n;
  if (withinPage) {
    const int64_t inPage = ((step + selected_ % kPageSize) % kPageSize + kPageSize) % kPageSize;
    selected_ = static_cast<int>(inPage) + selected_ / kPageSize * kPageSize;
  } else {
    selected_ = static_cast<int>(((selected_ + step) % kVarCount + kVarCount) % kVarCount);
  }
}

void CPrintDebugParam::Print(int index, std::vector<platform::OverlayText>* out) const {
  if (!out || !game_) return;
  if (index < 0 || index >= kVarCount) index = selected_;
  const int first = index / kPageSize * kPageSize;
  for (int i = 0; i < kPageSize; ++i) {
    const int n = first + i;
    const int value = n < 100 ? game_->GetSystemVar(n) : game_->GetVar(n);
    // A variable the name list does not reach prints without a name.
    const char* name = names_ ? names_->GetName(n) : nullptr;
    char text[300];
    std::snprintf(text, sizeof text, "%s:\x81\x79%d\x81\x7A", name ? name : "", value);
    const int y = kLineY + kLineStep * i;
    const int64_t back = highlight_ ? kHighlight : -1;
    out->push_back(Line(kLineX + 1, y + 1, text, kShadow, back));
    out->push_back(Line(kLineX, y, text, ValueColour(value)));
    if (n == selected_) out->push_back(Line(kMarkerX, y + 1, kMarker, ValueColour(value)));
  }
}

// --- Dated log ---

namespace datedlog {

namespace {
std::string& Name() {
  static std::string name;
  return name;
}
}  // namespace

void StartDatedLog() {
  const platform::LocalTime t = platform::GetLocalTime();
  char name[128];
  std::snprintf(name, sizeof name,
                "%d\x94\x4E%d\x8C\x8E%d\x93\xFA%d\x8E\x9E%d\x95\xAA%d\x95\x62.txt", t.year,
                t.month, t.day, t.hour, t.minute, t.second);
  Name() = name;
}

void WriteDatedLog(const char* text) {
  if (Name().empty() || !text) return;
  FILE* f = platform::FileOpen(Name().c_str(), "ab");
  if (!f) return;
  std::fputs(text, f);
  std::fputs("\r\n", f);
  std::fclose(f);
}

const std::string& DatedLogName() { return Name(); }

void StopDatedLog() { Name().clear(); }

}  // namespace datedlog

const LibraryStamp kLibraryStamps[4] = {
    {"MoktDirectXLib : %s , %s", "Feb  7 2011", "07:34:37"},
    {"MOKTLIB : %s , %s", "Feb  7 2011", "07:35:18"},
    {"ZORUtilLib : %s , %s", "Feb  7 2011", "07:34:48"},
    {"ZORLib : %s , %s", "Feb  7 2011", "07:34:34"},
};
