// CCommonBackLog: the drawing step. Every frame is drawn whole: the
// background, the title, the rows with their voice marks and the arrows.
#include <cstdint>

#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/backlog.h"

int CCommonBackLog::Print() {
  CScreenBuffer::SetFullRedraw(0);
  StepAnimations();
  if (bgMode_ == kBgColor)
    CAllGraphics::FillScreen(backR_, backG_, backB_);
  else
    PrintBackScreen();
  PrintTitlePicture(0);
  if (titlePrintFlag_) PrintText(titleX_, titleY_, titleMessage_, 255, 255, 255);
  PrintRows();
  PrintTitlePicture(2);
  PrintArrows();
  PrintTitlePicture(1);
  return -1;
}

void CCommonBackLog::StepAnimations() {
  if (arrowPicFlag_ && arrowAnimeFlag_) arrowAnime_.Calcu(1);
  if (voicePicFlag_ && voiceAnimeFlag_) voiceAnime_.Calcu(1);
}

void CCommonBackLog::PrintTitlePicture(int when) {
  if (titlePicFlag_ && titlePicUpper_ == when && workPicture_)
    workPicture_->Put(titlePicX_, titlePicY_, 1);
}

void CCommonBackLog::PrintText(int x, int y, const char* text, int r, int g, int b) {
  if (textPrint_ && text) textPrint_->Print(x, y, text, fontSize_, r, g, b, 1, nextY_, -1);
}

void CCommonBackLog::PrintRows() {
  for (int j = 0; j < GetShownRows(); ++j) {
    const int slot = Wrap(top_ + j);
    const int y = RowY(j);
    if (voices_[slot][0]) {
      const int vx = Clamp32(int64_t{printX_} + voiceX_), vy = Clamp32(int64_t{y} + voiceY_);
      if (voicePicFlag_)
        PrintCell(voicePicture_.get(), vx, vy, voiceSizeX_, voiceSizeY_,
                  slot == hoveredVoice_ ? 1 : 0, voiceAnime_, voiceAnimeFlag_);
      else
        PrintText(vx, vy, voiceMessage_, 255, 255, 255);
    }
    const unsigned c = colors_[slot];
    PrintText(printX_, y, texts_[slot], (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
  }
}

void CCommonBackLog::PrintArrows() {
  struct Arrow {
    int shown, x, y, pressed;
    CPicture* picture;
    const char* message;
  };
  // The single unanimated picture serves both arrows.
  CPicture* down = arrowAnimeFlag_ ? downArrowPicture_.get() : arrowPicture_.get();
  const Arrow arrows[] = {
      {CanGoOlder(), upX_, upY_, upPressed_, arrowPicture_.get(), upMessage_},
      {CanGoNewer(), downX_, downY_, downPressed_, down, downMessage_},
  };
  for (const Arrow& a : arrows) {
    if (!a.shown) continue;
    if (arrowPicFlag_)
      PrintCell(a.picture, a.x, a.y, arrowSizeX_, arrowSizeY_, a.pressed, arrowAnime_,
                arrowAnimeFlag_);
    else
      PrintText(a.x, a.y, a.message, 255, 255, 255);
  }
}

void CCommonBackLog::PrintCell(CPicture* picture, int x, int y, int sizeX, int sizeY, int column,
                               const CAnimeCounter& counter, int animated) {
  // An empty cell draws nothing (sizes from the list may be 0 or negative).
  if (!picture || sizeX <= 0 || sizeY <= 0) return;
  if (!animated) {
    picture->Blt(x, y, 0, 0, sizeX, sizeY, 1);
    return;
  }
  auto row = [sizeY](int pattern) { return Clamp32(int64_t{pattern} * sizeY); };
  const int sx = column ? sizeX : 0;
  const int weight = counter.GetPercent();
  const int current = row(counter.GetPattern()), next = row(counter.GetNextPattern());
  if (weight >= 100)
    picture->Blt(x, y, sx, current, sizeX, sizeY, 1);
  else if (weight <= 0)
    picture->Blt(x, y, sx, next, sizeX, sizeY, 1);
  else
    picture->ChangeTransLucentBlt(x, y, sx, current, sizeX, sizeY, weight, 100 - weight, picture,
                                  sx, next);
}
