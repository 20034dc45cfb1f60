#include "mode/opening.h"

#include "services/screenservices.h"

CCommonOpening::CCommonOpening(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("opening", 16);
  GetSetupMode("nextMode", &nextMode_);
  // The opening's script runs once unless the list says otherwise.
  backScriptLoopFlag_ = 0;
  LoadBackScriptSetup();
}

CCommonOpening::~CCommonOpening() = default;

int CCommonOpening::Init() {
  if (game_) {
    game_.screen->SetLayerDisableMask(0);
    game_.screen->ResetFrameTime();
  }
  return 0;
}

int CCommonOpening::Calcu() {
  if (GetClick(0) || GetClick(1) || backScriptEnded_) return nextMode_;
  return -1;
}

int CCommonOpening::Print() {
  PrintBackScreen();
  return -1;
}
