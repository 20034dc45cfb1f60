// CCommonSelectMessage: drawing the background, the window, the question
// lines and the choice rows with the animated cursor.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "services/floatingservices.h"
#include "services/screenservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/selectmessage.h"

namespace selectmessage {

AnimeStep StepAnime(int counter, int patterns, int frames, int reverse) {
  const int n = std::max(patterns, 1);
  const int f = std::max(frames, 1);
  const int length = std::max(reverse ? 2 * n - 2 : n, 1);
  const int64_t period = int64_t{f} * length;
  AnimeStep s;
  s.counter = static_cast<int>((int64_t{std::max(counter, 0)} + 1) % period);
  s.current = s.counter / f;
  s.next = (s.current + 1) % length;
  if (reverse) {
    if (s.current >= n) s.current = 2 * n - 2 - s.current;
    if (s.next >= n) s.next = 2 * n - 2 - s.next;
  }
  s.blend = 100 - std::min(100, std::max(0, static_cast<int>((s.counter % f) * int64_t{100} / f)));
  return s;
}

}  // namespace selectmessage

namespace {

// The row band of the text rows shown while the choices appear: type 1
// opens from the middle, 2 from the top, 3 from the bottom.
void AppearClip(int type, int size, int counter, int time, int* top, int* height) {
  const int64_t part = time > 0 ? int64_t{size} * counter / time : size;
  const int p = static_cast<int>(std::clamp<int64_t>(part, 0, INT_MAX / 2));
  switch (type) {
    case 1: {
      const int g = size / 2;
      const int h = static_cast<int>(std::clamp<int64_t>(int64_t{g} * counter / time, 0, INT_MAX / 4));
      *top = g - h - 1;
      *height = 2 * h + 2;
      break;
    }
    case 2:
      *top = 0;
      *height = p;
      break;
    case 3:
      *top = size - p;
      *height = p;
      break;
    default:
      *top = 0;
      *height = std::max(size, 0) * 2;
      break;
  }
}

}  // namespace

const CCommonSelectMessage::Anime& CCommonSelectMessage::CursorAnime() const {
  return IsSpecial() ? special_.anime : anime_;
}

void CCommonSelectMessage::StepCursorAnime() {
  const Anime& a = CursorAnime();
  cursorStep_ = selectmessage::StepAnime(cursorStep_.counter, a.patterns, a.frames, a.reverse);
}

void CCommonSelectMessage::GetRowPos(int row, int* x, int* y) const {
  if (IsSpecial()) {
    const int at = SpecialIndex(row);
    *x = special_.x[at] + special_.textX;
    *y = special_.y[at] + special_.textY;
    if (special_.centering) {
      const char* text = GetSelectText(questionLines_ + row + page_);
      const int cells = text ? CTextPrint::GetTextLength(text) : 0;
      *x += (special_.centerAreaX - ((special_.fontSize + 1) * cells - 1)) / 2;
    }
    return;
  }
  GetQuestionPos(row + questionLines_, x, y);
}

void CCommonSelectMessage::PrintLineText(int x, int y, const char* text, int size) {
  CTextPrint* printer = game_ ? game_.text->GetTextBuffer() : nullptr;
  if (!printer || !text) return;
  if (firstAppearType_ && appearCounter_ < firstAppearTime_) {
    int top = 0, height = 0;
    AppearClip(firstAppearType_, size, appearCounter_, firstAppearTime_, &top, &height);
    if (height > 0) printer->PrintClip(top, height, x, y, text, size, 255, 255, 255, 1, 40, -1);
    return;
  }
  printer->Print(x, y, text, size, 255, 255, 255, 1, 40, -1);
}

// The window (or time-limit window) over the part r of the screen.
void CCommonSelectMessage::RestoreRect(const selectmessage::Rect& r) {
  if (screenPicture_) screenPicture_->Blt(r.x, r.y, r.x, r.y, r.w, r.h, 0);
  const WindowKeys& w = timeLimit_ > 0 ? timeLimitWindow_ : window_;
  if (!w.print || !workPicture_) return;
  const int64_t left = std::max<int64_t>(r.x, w.x), top = std::max<int64_t>(r.y, w.y);
  const int64_t right = std::min(int64_t{r.x} + r.w, int64_t{w.x} + w.w);
  const int64_t bottom = std::min(int64_t{r.y} + r.h, int64_t{w.y} + w.h);
  if (right <= left || bottom <= top) return;
  const int percent = 100 - (game_ ? game_.variables->GetSystemSetting(106) : 0);
  const int x = static_cast<int>(left), y = static_cast<int>(top);
  const int cw = static_cast<int>(right - left), ch = static_cast<int>(bottom - top);
  if (percent > 99)
    workPicture_->Blt(x, y, x - w.x, y - w.y, cw, ch, 1);
  else if (percent > 0)
    workPicture_->TransLucentBlt(x, y, x - w.x, y - w.y, cw, ch, percent);
}

void CCommonSelectMessage::PrintWindow() {
  const WindowKeys& w = timeLimit_ > 0 ? timeLimitWindow_ : window_;
  // The background was drawn under the whole window already.
  if (w.print && workPicture_) {
    const int percent = 100 - (game_ ? game_.variables->GetSystemSetting(106) : 0);
    if (percent > 99)
      workPicture_->Blt(w.x, w.y, 0, 0, w.w, w.h, 1);
    else if (percent > 0)
      workPicture_->TransLucentBlt(w.x, w.y, 0, 0, w.w, w.h, percent);
  }
  if (IsSpecial()) PrintSpecialWindows();
}

void CCommonSelectMessage::PrintCursor(int row) {
  CPicture* picture = IsSpecial() ? specialCursorPicture_ : cursorPicture_;
  if (!picture || !picture->IsLoaded()) return;
  const Anime& a = CursorAnime();
  const int band = picture->GetHeight() / std::max(a.patterns, 1);
  if (band < 1) return;
  const selectmessage::Rect c = GetCursorRect(row);
  const int w = picture->GetWidth();
  const int current = std::clamp(cursorStep_.current, 0, a.patterns - 1);
  const int next = std::clamp(cursorStep_.next, 0, a.patterns - 1);
  if (animePrintType_ && cursorStep_.blend < 100)
    picture->ChangeTransLucentBlt(c.x, c.y, 0, current * band, w, band, cursorStep_.blend,
                                  100 - cursorStep_.blend, picture, 0, next * band);
  else
    picture->Blt(c.x, c.y, 0, current * band, w, band, 1);
}

void CCommonSelectMessage::PrintRow(int row, int full) {
  if (row < 0 || row >= GetRowCount()) return;
  const selectmessage::Rect c = GetCursorRect(row);
  if (!full) RestoreRect(c);
  if (row == hover_) PrintCursor(row);
  int x = 0, y = 0;
  GetRowPos(row, &x, &y);
  PrintLineText(x, y, GetSelectText(questionLines_ + row + page_),
                IsSpecial() ? special_.fontSize : fontSize_);
  CScreenBuffer::AddDirtyRect(c.x, c.y, c.w, c.h);
}

void CCommonSelectMessage::PrintLines(int full) {
  const int appearing = firstAppearType_ && appearCounter_ < firstAppearTime_;
  if (full || selected_ || appearing) {
    const int lines = IsSpecial() ? questionLines_ : std::min(questionLines_, messagePrintGyo_);
    for (int j = 0; j < lines; ++j) {
      int x = 0, y = 0;
      GetQuestionPos(j, &x, &y);
      PrintLineText(x, y, GetSelectText(j), fontSize_);
    }
    const int rows = GetRowCount();
    for (int r = 0; r < rows; ++r) PrintRow(r, 1);
    return;
  }
  if (prevHover_ != hover_ && prevHover_ >= 0) PrintRow(prevHover_, 0);
  if (hover_ >= 0) PrintRow(hover_, 0);
}

void CCommonSelectMessage::PrintBackground() {
  if (backPrintMode_ == 2) {
    if (!game_) return;
    game_.screen->CalcuEffect();
    game_.screen->AddEffectFrame(1);
    game_.screen->RefreshEffect(0);
    return;
  }
  if (CScreenBuffer::CheckFullRedraw() && screenPicture_) screenPicture_->Put(0, 0, 0);
}

int CCommonSelectMessage::Print() {
  const int appearing = firstAppearType_ && appearCounter_ < firstAppearTime_;
  // The scene behind, the special windows, the pages and the timer change
  // under the rows every frame.
  if (IsSpecial() || (useScrollFlag_ && pageCount_ > 1) || timeLimit_ > 0 || backPrintMode_ == 2)
    CScreenBuffer::SetFullRedraw(0);
  if (!appearing) StepCursorAnime();
  PrintBackground();
  const int full = CScreenBuffer::CheckFullRedraw();
  if (windowShown_) {
    if (full) PrintWindow();
    PrintLines(full);
    CScreenBuffer::AddDirtyRect(589, 7, 50, 54);
    if (OptionsAllowed() && game_) game_.floating->RequestFloatingButtons();
    if (timeLimit_ > 0) PrintTimer();
    if (useScrollFlag_) PrintScrollButtons();
  }
  if (backPrintMode_ == 2 && game_) game_.screen->RefreshEffect(1);
  return -1;
}
