// CCommonGeneral: the enter and exit fades. The enter fade draws T frames,
// the exit fade T - 1 steps. The exit fade blends the game's buffer pictures
// 0 (from) and 1 (to); the enter fade blends from its colour straight to
// buffer picture 1 (buffer picture 0 holds the colour as well, for the
// frame a load puts). Wipes of either have the game draw between the two
// buffer pictures.
#include <algorithm>

#include "modebase/commongeneral.h"
#include "services/floatingservices.h"
#include "services/screenservices.h"
#include "graphics/boxfill.h"
#include "graphics/picture.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"

int CCommonGeneral::IsSpecialExit() const {
  return exitFadeOutSpecialMode_ >= 0 && exitTargetMode_ == exitFadeOutSpecialMode_ ? 1 : 0;
}

namespace {

int FadePercent(int64_t numerator, int64_t denominator) {
  return static_cast<int>(std::clamp<int64_t>(numerator * 100 / denominator, 0, 100));
}

}  // namespace

void CCommonGeneral::FillPictureColor(CPicture* picture, int r, int g, int b) {
  if (!picture || picture->Get256Flag() || !picture->GetPixelBuffer()) return;
  rowops::Fill(picture->GetPixelBuffer(),
               static_cast<size_t>(picture->GetWidth()) * static_cast<size_t>(picture->GetHeight()),
               geo::ColourWord(r, g, b));
}

int CCommonGeneral::CreateExitScreen() {
  if (game_) game_.floating->RestoreFloatingLayers();
  BeforeCreateExitScreen();
  if (fadeFromPicture_) fadeFromPicture_->GetScreen();
  // Every fade goes towards the exit colour, the cross-fade too: the target
  // would otherwise be whatever buffer picture 1 held before.
  const ExitFade& fade = ExitFadeInUse();
  if (fade.Type() != 0) FillPictureColor(fadeToPicture_, fade.r, fade.g, fade.b);
  return IsSpecialExit();
}

void CCommonGeneral::FillExitScreen() {
  const ExitFade& fade = ExitFadeInUse();
  FillPictureColor(fadeToPicture_, fade.r, fade.g, fade.b);
}

void CCommonGeneral::GetEnterScreen() {
  PrintEnterScreen();
  platform::DebugOutput("[[commongeneral enterscreen::getscreen]]\n");
  if (fadeToPicture_) fadeToPicture_->GetScreen();
  FillEnterFadeStart();
}

void CCommonGeneral::FillEnterFadeStart() {
  // The fade blends from the colour word itself; buffer picture 0 takes the
  // colour too, because a load puts that picture on the screen right after
  // it re-enters the mode, and that frame must be where the fade starts.
  if (enterFadeInType_ == -1)
    FillPictureColor(fadeFromPicture_, enterFadeR_, enterFadeG_, enterFadeB_);
}

void CCommonGeneral::BlendFade(int64_t numerator, int64_t denominator) {
  if (fadeFromPicture_ && fadeToPicture_)
    fadeFromPicture_->OverrapBlt2(fadeToPicture_, FadePercent(numerator, denominator), nullptr,
                                  nullptr);
}

int CCommonGeneral::PrintEnterFade() {
  const int64_t t = enterFadeInTime_, c = enterFadeCountdown_;
  const int64_t steps = std::max<int64_t>(t, 1);
  if (enterFadeInType_ == -1) {
    // The colour is blended in as it is read: no picture is filled with it.
    if (fadeToPicture_)
      fadeToPicture_->OverrapBlt2FromColour(geo::ColourWord(enterFadeR_, enterFadeG_, enterFadeB_),
                                            FadePercent(t - c, steps), nullptr);
  } else if (enterFadeInType_ >= 1 && game_) {
    const int64_t step = std::min(std::max<int64_t>(t - c, 0), steps);
    game_.screen->PrintWipeType(static_cast<int>(step), static_cast<int>(steps), enterFadeInType_ - 1);
  }
  return -1;
}

int CCommonGeneral::PrintExitFade() {
  const ExitFade& fade = ExitFadeInUse();
  const int64_t t = fade.time, c = exitFadeCountdown_;
  const int64_t steps = std::max<int64_t>(t - 1, 1);
  if (fade.Type() == -1) {
    BlendFade(t - c - 1, steps);
  } else if (fade.Type() >= 1 && game_) {
    const int64_t step = std::min(std::max<int64_t>(t - c, 0), steps);
    game_.screen->PrintWipeType(static_cast<int>(step), static_cast<int>(steps), fade.Type() - 1);
  }
  return -1;
}
