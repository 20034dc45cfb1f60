#include "mode/nothing.h"

#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/soundservices.h"
#include "graphics/allgraphics.h"
#include "graphics/screenbuffer.h"
#include "mode/modekeys.h"
#include "platform/system.h"
#include "platform/types.h"

CCommonNothing::CCommonNothing(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("nothing", 16);
  ReadColorKeys(*this, "fillColor", "", &fill_);
  GetSetupMode("nextMode", &nextMode_);
  GetSetupInt(&codecCheckFlag_, "codecCheckFlag");
  GetSetupInt(&codecLimit_, "codecLimit");
  GetSetupInt(&startupJumpScriptFlag_, "startupJumpScriptFlag");
}

CCommonNothing::~CCommonNothing() = default;

int CCommonNothing::Init() {
  gameStarted_ = 0;
  return 0;
}

int CCommonNothing::Calcu() {
  if (startupJumpScriptFlag_) {
    // Once per entry: a script that ends at once must not start over every
    // frame.
    if (gameStarted_ || !game_) return -1;
    gameStarted_ = 1;
    game_.messageWindow->SetMessageModeFlag(0);
    return game_.modeFlow->StartNewGame(0, 0, -1, 0);
  }
  if (game_ && platform::IsKeyHeld(VK_SHIFT) && platform::IsKeyHeld(VK_CONTROL))
    game_.sound->SetCodecCheckState(3);
  if (codecCheckFlag_ && codecLevel_ == -1 && game_) {
    codecLevel_ = game_.sound->CheckMovieCodec();
    if (codecLevel_ < codecLimit_) return modenumber::kCodecError;
  }
  return nextMode_;
}

int CCommonNothing::Print() {
  CScreenBuffer::SetFullRedraw(0);
  CAllGraphics::FillScreen(fill_.r, fill_.g, fill_.b);
  return -1;
}
