// CCommonSelectMessage: the timer shown under a time limit (a colour bar, a
// picture bar, picture patterns or cross-faded patterns) and the seconds
// left in picture-font numbers.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "mode/selectmessage.h"
#include "widget/numberprint.h"

namespace selectmessage {

void GridCell(int k, int picW, int picH, int cellW, int cellH, int* x, int* y) {
  cellW = std::max(cellW, 1);
  cellH = std::max(cellH, 1);
  const int columns = std::max(picW / cellW, 1);
  const int rows = std::max(picH / cellH, 1);
  k = std::max(k, 0);
  *x = (k % columns) * cellW;
  *y = (k / columns % rows) * cellH;
}

Rect TimerBar(int side, int x, int y, int w, int h, int t, int s) {
  s = std::max(s, 1);
  t = std::clamp(t, 0, s);
  const int partW = static_cast<int>(int64_t{t} * w / s);
  const int partH = static_cast<int>(int64_t{t} * h / s);
  switch (side) {
    case 0: return {x, y + h - partH, w, partH};
    case 2: return {x, y, w, partH};
    case 3: return {x + w - partW, y, partW, h};
    default: return {x, y, partW, h};
  }
}

int TimerColor(int c1, int c2, int t, int s) {
  s = std::max(s, 1);
  const int e = std::clamp(s - t, 0, s);
  return static_cast<int>(c1 + int64_t{c2 - c1} * e / s);
}

int TimerPattern(int t, int s, int n) {
  s = std::max(s, 1);
  n = std::max(n, 1);
  return static_cast<int>(std::clamp<int64_t>(int64_t{std::max(t, 0)} * n / s, 0, n - 1));
}

TimerFade TimerCrossFade(int t, int s, int n) {
  n = std::max(n, 1);
  const int d = std::max(n == 1 ? 1 : std::max(s, 1) / (n - 1), 1);
  t = std::max(t, 0);
  int i = t / d, f = t % d;
  if (i >= n - 1) {
    i = n - 1;
    f = 0;
  }
  if (f == 0) return {i, i, 100};
  return {i, i + 1, static_cast<int>(int64_t{d - f} * 100 / d)};
}

}  // namespace selectmessage

void CCommonSelectMessage::LoadTimerSettings() {
  TimerKeys& k = timer_;
  GetSetupIntDefault(&k.type, "timerPrintType", 1);
  ReadColorKeys("timerColor", "1", &k.color1);
  ReadColorKeys("timerColor", "2", &k.color2);
  GetSetupString(&k.file, "fileNameTimer");
  if (k.type >= 2 && k.file) {
    timerPicture_ = std::make_unique<CPicture>();
    timerPicture_->LoadDWQ((std::string("sys\\") + k.file).c_str());
    if (timerPicture_->IsLoaded()) {
      k.sizeX = timerPicture_->GetWidth();
      k.sizeY = timerPicture_->GetHeight();
    }
  }
  GetSetupInt(&k.sizeX, "timerPicSizeX");
  GetSetupInt(&k.sizeY, "timerPicSizeY");
  GetSetupIntDefault(&k.picNumber, "timerPicNumber", 1);
  k.picNumber = std::max(k.picNumber, 1);
  GetSetupIntDefault(&k.x, "timerPrintX", 0);
  GetSetupIntDefault(&k.y, "timerPrintY", 0);
  GetSetupIntDefault(&k.side, "timerBarHoukou", 1);

  GetSetupIntDefault(&k.timePrintFlag, "timerTimePrintFlag", 0);
  if (k.timePrintFlag == 0) return;
  int sizeX = 16, sizeY = 16, keta = 3, left = 0, upZero = 0;
  const char* font = nullptr;
  GetSetupInt(&sizeX, "timerTimeFontSizeX");
  GetSetupInt(&sizeY, "timerTimeFontSizeY");
  GetSetupString(&font, "fileNameTimerTime");
  GetSetupInt(&keta, "timerTimeKeta");
  int nextX = sizeX;
  GetSetupInt(&nextX, "timerTimeFontNextX");
  GetSetupInt(&left, "timerTimeLeftFlag");
  GetSetupInt(&upZero, "timerTimeUpzeroFlag");
  GetSetupIntDefault(&k.timeX, "timerTimePrintX", 0);
  GetSetupIntDefault(&k.timeY, "timerTimePrintY", 0);
  secondsFont_ = font ? ::LoadSystemPicture(font, 0) : nullptr;
  seconds_ = std::make_unique<CNumberPrint>(secondsFont_, sizeX, sizeY, keta, nextX, upZero, 1,
                                            left);
  if (k.timePrintFlag <= 2) return;

  int sizeX2 = sizeX, sizeY2 = sizeY, keta2 = k.timePrintFlag - 2, nextX2 = nextX;
  int left2 = 0, upZero2 = 0;
  const char* font2 = font;
  GetSetupInt(&sizeX2, "timerTimeFontSizeX2");
  GetSetupInt(&sizeY2, "timerTimeFontSizeY2");
  GetSetupString(&font2, "fileNameTimerTime2");
  GetSetupInt(&keta2, "timerTimeKeta2");
  GetSetupInt(&nextX2, "timerTimeFontNextX2");
  GetSetupInt(&left2, "timerTimeLeftFlag2");
  GetSetupInt(&upZero2, "timerTimeUpzeroFlag2");
  const int64_t x2 = int64_t{keta} * sizeX + k.timeX;
  GetSetupIntDefault(&k.timeX2, "timerTimePrintX2",
                     static_cast<int>(std::clamp<int64_t>(x2, INT_MIN, INT_MAX)));
  GetSetupIntDefault(&k.timeY2, "timerTimePrintY2", k.timeY);
  fractionFont_ = font2 ? ::LoadSystemPicture(font2, 0) : nullptr;
  fraction_ = std::make_unique<CNumberPrint>(fractionFont_, sizeX2, sizeY2, keta2, nextX2, upZero2,
                                             1, left2);
}

int CCommonSelectMessage::GetFractionValue() const {
  static constexpr int kDivisors[3] = {1, 10, 100};
  const int flag = timer_.timePrintFlag;
  if (flag < 3 || flag > 5) return 0;
  return remaining_ % 1000 / kDivisors[flag - 3];
}

// Pattern cell `pattern` of the timer picture, cross-faded with cell
// `other` when percent is below 100.
void CCommonSelectMessage::PrintTimerCell(int pattern, int percent, int other) {
  CPicture* p = timerPicture_.get();
  if (!p || !p->IsLoaded()) return;
  const TimerKeys& k = timer_;
  const int w = std::max(k.sizeX, 1), h = std::max(k.sizeY, 1);
  int cx = 0, cy = 0;
  selectmessage::GridCell(pattern, p->GetWidth(), p->GetHeight(), w, h, &cx, &cy);
  if (percent >= 100) {
    p->Blt(k.x, k.y, cx, cy, w, h, 1);
    return;
  }
  int ox = 0, oy = 0;
  selectmessage::GridCell(other, p->GetWidth(), p->GetHeight(), w, h, &ox, &oy);
  p->ChangeTransLucentBlt(k.x, k.y, cx, cy, w, h, percent, 100 - percent, p, ox, oy);
}

void CCommonSelectMessage::PrintTimer() {
  const TimerKeys& k = timer_;
  const int s = std::max(timeLimit_ / 100, 1);
  const int t = remaining_ / 100;
  switch (k.type) {
    case 1: {
      const selectmessage::Rect bar = selectmessage::TimerBar(k.side, k.x, k.y, k.sizeX, k.sizeY, t, s);
      if (bar.w > 0 && bar.h > 0)
        CAllGeo::BoxFill(bar.x, bar.y, bar.w, bar.h, selectmessage::TimerColor(k.color1.r, k.color2.r, t, s),
                         selectmessage::TimerColor(k.color1.g, k.color2.g, t, s),
                         selectmessage::TimerColor(k.color1.b, k.color2.b, t, s));
      break;
    }
    case 2: {
      const selectmessage::Rect bar = selectmessage::TimerBar(k.side, k.x, k.y, k.sizeX, k.sizeY, t, s);
      if (bar.w > 0 && bar.h > 0 && timerPicture_)
        timerPicture_->Blt(bar.x, bar.y, bar.x - k.x, bar.y - k.y, bar.w, bar.h, 1);
      break;
    }
    case 3: PrintTimerCell(selectmessage::TimerPattern(t, s, k.picNumber), 100, 0); break;
    case 4: {
      const selectmessage::TimerFade f = selectmessage::TimerCrossFade(t, s, k.picNumber);
      PrintTimerCell(f.first, f.percent, f.second);
      break;
    }
    default: break;
  }
  if (k.timePrintFlag >= 2 && seconds_) seconds_->Print(k.timeX, k.timeY, remaining_ / 1000);
  if (k.timePrintFlag >= 3 && k.timePrintFlag <= 5 && fraction_)
    fraction_->Print(k.timeX2, k.timeY2, GetFractionValue());
}
