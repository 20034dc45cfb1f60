// CGameCallBack: the frame. It runs the parts' steps in one fixed order with
// the title's hooks between them and the mode change last.
#include "game/gamecallback.h"

#include <cstdint>

#include "effect/alleffect.h"
#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "graphics/screenbuffer.h"
#include "input/inputstatus.h"
#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"

namespace {

// Frames run by every game object of the process.
int64_t processFrameCount = 0;

}  // namespace

int CGameCallBack::Frame(int elapsed) {
  GameParts& p = *parts_;
  CModeFlowPart& modes = *p.modes;
  CScreenPart& screen = *p.screen;
  CFloatingPart& floating = *p.floating;
  CInputPart& input = *p.input;
  CDebugPart& debug = *p.debug;
  // A stop request: the requester learns that the frame stopped. Only a
  // game thread could answer it, and none is ever started here, so the
  // frame does not wait for an answer.
  if (stopFlag_) {
    if (platform::Event* game = handshake_.GetEvent(CThreadHandshake::kGameEvent)) game->Set();
    return 0;
  }
  // A lost presentation target is recovered while the window is active.
  if (window_ && window_->IsActive()) screen.RecoverSurfaces();
  // The frame counts for the process.
  ++processFrameCount;
  // A full screen that lost the game's size, and a stalled clock.
  screen.SuperviseFullScreen();
  input.GuardStall();
  // The frame-skip controller's clock; the load meter takes its start time here.
  p.frame->Advance(elapsed);
  debug.StartMeters();
  // The title's hook, then the sound effects' and voices' fades.
  OnFrameStart(elapsed);
  if (CSePlayer* se = p.sound->GetSePlayer()) se->Calcu(elapsed);
  if (CVoicePlayer* voice = p.sound->GetVoicePlayer()) voice->Calcu(elapsed);
  // Show requests live for one frame.
  floating.ClearShowRequests();
  // The frame skip, then the mouse: presses, wheel and the effects' view
  // of the pointer; the effects run slow while a voice counts down.
  p.frame->CalcuFrameSkip(elapsed);
  input.UpdateMouse();
  CAllEffect* effect = screen.GetEffect();
  if (effect) effect->SetEffectSpeed(p.frame->GetEffectSpeed());
  if (effect && input.GetMouseStatus()) {
    platform::Point pos;
    input.GetMouseStatus()->GetPos(&pos);
    effect->SetMousePos(pos.x, pos.y);
  }
  // The screen buffer opens the frame; last frame's update rectangles go.
  if (screen.HasScreenBuffer()) CScreenBuffer::StartFrame();
  screen.FlushUpdateRects();
  // The current mode's calculation gives the request; a number
  // without a mode object runs no mode step.
  modes.SetNextMode(-1);
  OnBeforeCalcu();
  CCommonGeneral* mode = modes.GetMode(modes.GetCurrentMode());
  if (mode) {
    const int next = mode->GeneralCalcu();
    if (next != -1) modes.SetNextMode(next);
  }
  // The companion modes calculate, then this frame's key and mouse state
  // is spent.
  OnAfterCalcu();
  OnAfterCalcuLate();
  modes.CalcuListedModes();
  OnBeforeInput();
  input.EndCalcu();
  // What the floating layers covered comes back, unless the whole
  // screen is drawn anew anyway and the layers are told to forget it.
  if (floating.GetSettings().floatingLayerFlashFlag && screen.HasScreenBuffer() &&
      CScreenBuffer::CheckFullRedraw())
    floating.ResetFloatingLayers();
  else
    floating.RestoreFloatingLayers();
  // The movie mode's state word on the debug output. Its player writes
  // the movie into the screen buffer, which is presented like any other
  // frame, with no floating layer drawn over it.
  const bool movieMode = modes.GetCurrentMode() == modenumber::kPrintMovie;
  if (const CMoviePlayback* movie = movieMode ? modes.GetMoviePlayback() : nullptr)
    platform::DebugOutput(movie->GetStateWord() ? "[x]" : "[o]");
  const bool movieFrame = screen.IsScreenUpdateBlocked();
  // The effects advance, then the modes draw: the lower stack levels
  // first, then the current mode.
  if (effect) effect->Tick();
  OnBeforePrint();
  modes.PrintLowerModes();
  if (mode) mode->GeneralPrint();
  // In debug mode, the frame-skip lag and the back-script mode under the
  // modes' drawing.
  if (debug.GetDebugFlag()) debug.PrintFrameDebugLines();
  // The companion modes draw after the title's hooks.
  OnAfterPrint();
  OnAfterPrintLate();
  modes.PrintListedModes();
  OnBeforeFloatingButtons();
  if (debug.GetSettings().debugMusicNumberPrintFlag) debug.PrintMusicNumber();
  // A quick load the keys left for this frame.
  floating.RunDelayedQuickLoad();
  // The notices, whose phases play their sounds.
  floating.ServeNotice();
  // Outside the movie mode: the buttons asked for this frame, the message
  // cursor and the game mouse.
  if (!movieMode) {
    floating.ShowRequestedButtons();
    // The one-shot and hold words of the game mouse are never set:
    // it is drawn once, at the mouse position.
    floating.ServeMessageCursor();
    floating.ServeGameMouse();
  }
  // A requested exit runs the mode's leave hooks.
  if (mode) mode->ExitStep();
  // The boss-coming cover and the variable overlay; the load and
  // frame-rate meters draw after these.
  if (screen.GetBossComingFlag()) screen.PrintBossComing();
  if (debug.GetDebugFlag()) debug.PrintDebugParamBack();
  debug.PrintMeters();
  // The frame is drawn and presented, unless a movie presents itself.
  OnBeforePrintScreen();
  if (!movieFrame) screen.PrintScreen();
  OnBeforeFlipScreen();
  if (!movieFrame) screen.FlipScreen();
  OnAfterFlipScreen();
  // A kept game state comes back; the control script goes on from where it stopped.
  if (modes.GetReturnFlag()) {
    p.saves->RestoreGameState();
    modes.ClearReturnFlag();
  }
  p.scripts->CallControlScript(-1);
  // The mode change comes last, so the new mode is first calculated in
  // the next frame.
  const int request = modes.GetNextMode();
  if (request > 0) {
    OnBeforeChangeMode();
    modes.ChangeMode();
    OnAfterChangeMode();
    // Text pages come and go quickly; only other changes forget the lag.
    if (request != modenumber::kPrintMessage) p.frame->ResetSkip();
  }
  // The variable overlay and the window's text lines.
  if (debug.GetDebugFlag()) debug.PrintDebugParam();
  debug.UpdateWindowText();
  // The frame closes; the load meter takes its end time before the close.
  if (screen.HasScreenBuffer()) CScreenBuffer::EndFrame();
  input.EndFrame();
  OnFrameEnd();
  debug.EndMeters();
  p.frame->Close();
  return 0;
}

int64_t CGameCallBack::GetProcessFrameCount() { return processFrameCount; }
