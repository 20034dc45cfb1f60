// The music room's drawing: rows, cursor, track and time, spectrum.
#include <algorithm>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/listenbgm.h"
#include "sound/musicbars.h"
#include "widget/anime.h"
#include "widget/multistatebutton.h"
#include "widget/numberprint.h"
#include "widget/slider.h"
#include "widget/updownbutton.h"

void CCommonListenBGM::RestoreArea(int x, int y, int w, int h) const {
  if (!backScriptFlag_ && screenPicture_) screenPicture_->Blt(x, y, x, y, w, h, 0);
  CScreenBuffer::AddDirtyRect(x, y, w, h);
}

void CCommonListenBGM::PrintRow(int t) {
  const int r = t - top_;
  if (!ValidTrack(t) || r < 0 || r >= k_.rows) return;
  const int x = static_cast<int>(std::clamp<int64_t>(k_.cursorX + int64_t{r} * k_.cursorNextX, -kMaxCoordinate, kMaxCoordinate));
  const int y = static_cast<int>(std::clamp<int64_t>(k_.cursorY + int64_t{r} * k_.cursorNextY, -kMaxCoordinate, kMaxCoordinate));
  RestoreArea(x, y, k_.cursorW, k_.cursorH);
  if (t == cursor_ && cursorPicture_) {
    const anime::Frame f = k_.animeFlag ? anime::Calcu(k_.animePattern, k_.animeSpeed, k_.animeType, cursorCounter_)
                                        : anime::Frame{};
    cursorFrame_ = f.current;
    anime::DrawFrame(cursorPicture_.get(), x, y, {0, f.current * k_.cursorH}, {0, f.next * k_.cursorH}, k_.cursorW,
                     k_.cursorH, f.percent, 1, anime::IsCrossFading(k_.animeType));
  }
  if (!text_) return;
  const Track& track = tracks_[static_cast<size_t>(t)];
  const bool locked = k_.checkListen && !track.available;
  const char* name = locked ? track.lockedName : track.title;
  const int width = locked ? track.lockedWidth : track.titleWidth;
  const Rgb& c = locked ? cannotColor_ : color_;
  const int dx = listenbgm::CentreOffset(width, k_.nameMax, k_.fontSize, codeByte_);
  text_->Print(HoldCoordinate(x + k_.nameX + dx), HoldCoordinate(y + k_.nameY), name, k_.fontSize, c.r, c.g, c.b, 2,
               24, 0, 1);
}

void CCommonListenBGM::PrintTrackAndTime() {
  shownTrack_ = shownSeconds_ = -1;
  if (state_ == kPaused || !k_.trackAndTime) return;
  // With no track there is no time to show.
  const int t = state_ == kPlaying ? playing_ : cursor_;
  if (!ValidTrack(t)) return;
  const int seconds = tracks_[static_cast<size_t>(t)].lengthMs / 1000;
  const int w = HoldCoordinate(k_.digitNextX + k_.digitW), h = k_.digitH;
  RestoreArea(k_.minuteX, k_.minuteY, w, h);
  RestoreArea(k_.secondX, k_.secondY, w, h);
  RestoreArea(k_.trackX, k_.trackY, w, h);
  number_->Print(k_.minuteX, k_.minuteY, seconds / 60);
  number_->Print(k_.secondX, k_.secondY, seconds % 60);
  number_->Print(k_.trackX, k_.trackY, t + 1);
  shownTrack_ = t + 1;
  shownSeconds_ = seconds;
}

int CCommonListenBGM::Print() {
  // Bars that fall leave nothing behind: the spectrum redraws the screen.
  if (spectrum_) CScreenBuffer::SetFullRedraw(0);
  PrintBackScreen();
  const int full = CScreenBuffer::CheckFullRedraw();
  for (auto& button : buttons_) button->Print();
  if (full)
    for (int r = 0; r < VisibleRows(); ++r)
      if (top_ + r != cursor_) PrintRow(top_ + r);
  PrintRow(cursor_);
  PrintTrackAndTime();
  if (spectrum_) {
    CalcuSpectrum();
    spectrum_->Print(levels_.data());
  }
  if (updownBack_) updownBack_->Print();
  if (slider_) slider_->Print(full, 0);
  return -1;
}

int CCommonListenBGM::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  return Print();
}
