// CGameCallBack: the frame, the input the window handler collects, frame
// timing, window and full screen, and the transfer of the screen. The window
// handler itself is in gamecallback_window.cpp.
#include "game/gamecallback.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/debugaids.h"
#include "game/frameskip.h"
#include "input/inputstatus.h"
#include "graphics/displaymode.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "platform/types.h"
#include "sound/movieplayer.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"

namespace {

// Key codes of the game that also accept a second key.
int KeyAlias(int code) {
  switch (code) {
    case 26: return VK_NEXT;
    case 27: return VK_PRIOR;
    case 28: return VK_LEFT;
    case 29: return VK_RIGHT;
    case 30: return VK_UP;
    case 31: return VK_DOWN;
    default: return -1;
  }
}

// Frames a full screen that lost the game's size is given before the
// fall-back to a window.
constexpr int kLostFrames = 5;

// Frames run by every game object of the process.
int64_t processFrameCount = 0;

}  // namespace

int CGameCallBack::Frame(int elapsed) {
  // A stop request: the requester learns that the frame stopped. Only a
  // game thread could answer it, and none is ever started here, so the
  // frame does not wait for an answer.
  if (stopFlag_) {
    if (events_[0]) events_[0]->Set();
    return 0;
  }
  // A lost presentation target is recovered while the window is active.
  if (window_ && window_->IsActive()) RecoverSurfaces();
  // The frame counts for the process.
  ++processFrameCount;
  // A full screen that lost the game's size, and a stalled clock.
  SuperviseFullScreen();
  GuardStall();
  // The frame-skip controller's clock; the load meter takes its start time here.
  if (frameSkip_) frameSkip_->Advance(elapsed);
  if (fukaPrint_) fukaPrint_->SetStartTime(static_cast<int>(platform::GetTicks()));
  // The title's hook, then the sound effects' and voices' fades.
  OnFrameStart(elapsed);
  if (sePlayer_) sePlayer_->Calcu(elapsed);
  if (voicePlayer_) voicePlayer_->Calcu(elapsed);
  // Show requests live for one frame.
  for (int& request : showRequests_) request = 0;
  // The frame skip, then the mouse: presses, wheel and the effects' view
  // of the pointer.
  CalcuFrameSkip(elapsed);
  UpdateMouse();
  wheelFlag_ = 0;
  if (effect_ && mouseStatus_) {
    platform::Point pos;
    mouseStatus_->GetPos(&pos);
    effect_->SetMousePos(pos.x, pos.y);
  }
  // The screen buffer opens the frame; last frame's update rectangles go.
  if (screenBuffer_) CScreenBuffer::StartFrame();
  FlushUpdateRects();
  // The current mode's calculation gives the request; a number
  // without a mode object runs no mode step.
  SetNextMode(-1);
  OnBeforeCalcu();
  CCommonGeneral* mode = GetMode(GetCurrentMode());
  if (mode) {
    const int next = mode->GeneralCalcu();
    if (next != -1) SetNextMode(next);
  }
  // The companion modes calculate, then this frame's key and mouse state
  // is spent.
  OnAfterCalcu();
  OnAfterCalcuLate();
  CalcuListedModes();
  OnBeforeInput();
  if (mouseStatus_) mouseStatus_->Calcu();
  ClearKeyStatus();
  enterFlag_ = spaceFlag_ = 0;
  // What the floating layers covered comes back, unless the whole
  // screen is drawn anew anyway and the layers are told to forget it.
  if (settings_.floatingLayerFlashFlag && screenBuffer_ && CScreenBuffer::CheckFullRedraw())
    ResetFloatingLayers();
  else
    RestoreFloatingLayers();
  // The movie mode's state word on the debug output. Its player writes
  // the movie into the screen buffer, which is presented like any other
  // frame, with no floating layer drawn over it.
  const bool movieMode = GetCurrentMode() == modenumber::kPrintMovie;
  if (const CMoviePlayback* movie = movieMode ? GetMoviePlayback() : nullptr)
    platform::DebugOutput(movie->GetStateWord() ? "[x]" : "[o]");
  const bool movieFrame = screenUpdateBlocked_;
  // The effects advance, then the modes draw: the lower stack levels
  // first, then the current mode.
  if (effect_) effect_->Tick();
  OnBeforePrint();
  PrintLowerModes();
  if (mode) mode->GeneralPrint();
  // In debug mode, the frame-skip lag and the back-script mode under the
  // modes' drawing.
  if (GetDebugFlag()) PrintFrameDebugLines();
  // The companion modes draw after the title's hooks.
  OnAfterPrint();
  OnAfterPrintLate();
  PrintListedModes();
  OnBeforeFloatingButtons();
  if (settings_.debugMusicNumberPrintFlag) PrintMusicNumber();
  // A quick load the keys left for this frame.
  RunDelayedQuickLoad();
  // The notices, whose phases play their sounds.
  ServeNotice();
  // Outside the movie mode: the buttons asked for this frame, the message
  // cursor and the game mouse.
  if (!movieMode) {
    if (showRequests_[0]) ShowSceneButton();
    if (showRequests_[1]) ShowFloatingButtons();
    if (showRequests_[2]) ShowSkipFilmButton();
    // The one-shot and hold words of the game mouse are never set:
    // it is drawn once, at the mouse position.
    ServeMessageCursor();
    ServeGameMouse();
  }
  // A requested exit runs the mode's leave hooks.
  if (mode) mode->ExitStep();
  // The boss-coming cover and the variable overlay; the load and frame-rate meters draw after these.
  if (GetBossComingFlag()) PrintBossComing();
  if (GetDebugFlag()) PrintDebugParamBack();
  if (fukaPrint_) fukaPrint_->Print(-1);
  if (fpsPrint_) fpsPrint_->Print();
  // The frame is drawn and presented, unless a movie presents itself.
  OnBeforePrintScreen();
  if (!movieFrame) PrintScreen();
  OnBeforeFlipScreen();
  if (!movieFrame) FlipScreen();
  OnAfterFlipScreen();
  // A kept game state comes back; the control script goes on from where it stopped.
  if (restorePending_) {
    RestoreGameState();
    restorePending_ = 0;
  }
  CallControlScript(-1);
  // The mode change comes last, so the new mode is first calculated in
  // the next frame.
  const int request = GetNextMode();
  if (request > 0) {
    OnBeforeChangeMode();
    ChangeMode();
    OnAfterChangeMode();
    // Text pages come and go quickly; only other changes forget the lag.
    if (request != modenumber::kPrintMessage && frameSkip_) frameSkip_->Reset();
  }
  // The variable overlay and the window's text lines.
  if (GetDebugFlag()) PrintDebugParam();
  UpdateWindowText();
  // The frame closes; the load meter takes its end time before the close.
  if (screenBuffer_) CScreenBuffer::EndFrame();
  ++frameCount_;
  if (wheelCountdown_ > 0) --wheelCountdown_;
  OnFrameEnd();
  if (fukaPrint_) fukaPrint_->SetEndTime(static_cast<int>(platform::GetTicks()));
  if (frameSkip_) frameSkip_->Close();
  return 0;
}

int64_t CGameCallBack::GetProcessFrameCount() { return processFrameCount; }

void CGameCallBack::SuperviseFullScreen() {
  // The full screen is the desktop's, reporting the game's size as its
  // mode; another size means the display left the game. The fall-back
  // waits 5 frames; the window-message log notes "ロスト確認".
  if (!settings_.adjustFullScreenLost || GetSystemSetting(4) == 0) return;
  if (lostCountdown_ > 0) {
    if (--lostCountdown_ == 0) ToWindowMode(0);
    return;
  }
  if (!window_) return;
  const platform::Point mode = window_->GetDisplayMode();
  if (mode.x != width_ || mode.y != height_) {
    WriteWindowLog("\x83\x8D\x83\x58\x83\x67\x8A\x6D\x94\x46");  // ロスト確認
    lostCountdown_ = kLostFrames;
  }
}

void CGameCallBack::GuardStall() {
  // A wall clock that jumped (a stall, a suspended machine) blocks the back
  // log for a while and drops a wheel turn made before it.
  if (!settings_.backLogDisableCheckFlag) return;
  if (backLogDisableCountdown_ > 0) --backLogDisableCountdown_;
  const platform::LocalTime t = platform::GetUtcTime();
  const int64_t now = t.second + 60 * t.minute + 3600 * t.hour + 86400LL * t.day;
  if (lastWallSecond_ == 0) lastWallSecond_ = now;
  if (now - lastWallSecond_ >= settings_.backLogDisableCheckTime) {
    backLogDisableCountdown_ = settings_.backLogDisableTime;
    wheelFlag_ = 0;
    wheelDelta_ = 0;
    if (mouseStatus_) mouseStatus_->SetWheel(0);
  }
  lastWallSecond_ = now;
}

int CGameCallBack::FrameOnMainThread(int) { return 0; }

int CGameCallBack::CheckReady() { return 1; }

CMouseStatus* CGameCallBack::GetMouseStatus() { return mouseStatus_; }

CInputStatus* CGameCallBack::GetInputStatus() { return inputStatus_; }

int CGameCallBack::CheckKeyTrig(int code) {
  if (!keyStatus_) return 0;
  if (keyStatus_->CheckKey(code, 1)) return 1;
  const int alias = KeyAlias(code);
  return alias >= 0 && keyStatus_->CheckKey(alias, 1) ? 1 : 0;
}

void CGameCallBack::ClearKeyStatus() {
  if (keyStatus_) keyStatus_->Clear();
}

void CGameCallBack::UpdateMouse() {
  // The position is already the last WM_MOUSEMOVE's: this host has no
  // cursor query.
  if (!mouseStatus_) return;
  for (int b = 0; b < CMouseStatus::kButtons; ++b) {
    if (pressed_[b]) mouseStatus_->SetButton(b, 1);
    pressed_[b] = 0;
  }
  int wheel = 0;
  if (wheelFlag_) wheel = wheelDelta_ < 0 ? -1 : 1;
  wheelFlag_ = 0;
  mouseStatus_->SetWheel(wheel);
}

// The window and full screen at the level of the game: the option, the
// hooks, the redraw and the wheel pause around the display-mode switch.
void CGameCallBack::SwitchScreenMode(int full, int quiet) {
  if ((GetSystemSetting(4) != 0) == (full != 0)) return;
  SetSystemSetting(4, full ? 1 : 0);
  if (!quiet) CallScreenChangeBegin();
  OnBeforeScreenChange();
  // The movie pauses around the switch (the configuration screen's
  // window-mode buttons after it come with that mode).
  const bool movie = GetCurrentMode() == modenumber::kPrintMovie && moviePlayer_;
  if (movie) {
    moviePlayer_->Suspend();
    if (full) platform::Sleep(50);
  }
  if (full)
    ToFullScreen();
  else
    ToWindowScreen();
  if (movie) moviePlayer_->Resume();
  OnAfterScreenChange();
  if (!quiet) CallScreenChangeEnd();
  CScreenBuffer::SetFullRedraw(0);
  if (full)
    CScreenBuffer::SetFullScreenFlag();
  else
    CScreenBuffer::ClearFullScreenFlag();
  wheelCountdown_ = 2;
  if (CConfigScreen* config = GetConfigScreen())
    config->UpdateWindowModeButtons();
}

void CGameCallBack::ToWindowMode(int quiet) { SwitchScreenMode(0, quiet); }

void CGameCallBack::ToFullScreenMode(int quiet) { SwitchScreenMode(1, quiet); }

void CGameCallBack::RunDisplayModeSwitch(int full) {
  displaymode::State state;
  state.window = window_;
  state.width = width_;
  state.height = height_;
  state.bpp = bpp_;
  state.windowLeft = windowX_;
  state.windowTop = windowY_;
  state.fullScreenWidth = fullScreenWidth_;
  state.fullScreenHeight = fullScreenHeight_;
  state.clipLeft = clipLeft_;
  state.clipTop = clipTop_;
  state.clipRight = clipRight_;
  state.clipBottom = clipBottom_;
  state.screen.reset(presentation_);
  presentation_ = nullptr;
  if (full)
    displaymode::ToFullScreen(&state);
  else
    displaymode::ToWindowScreen(&state);
  presentation_ = state.screen.release();
}

void CGameCallBack::ToWindowScreen() { RunDisplayModeSwitch(0); }

void CGameCallBack::ToFullScreen() { RunDisplayModeSwitch(1); }

void CGameCallBack::ToggleScreenMode(int quiet) {
  if (GetSystemSetting(4) == 0) {
    ToFullScreenMode(quiet);
  } else {
    ToWindowMode(quiet);
  }
}

void CGameCallBack::CloseGame() { platform::PostMessage(window_, WM_CLOSE, 0, 0); }

int CGameCallBack::GetSkipFrameCount() { return skipAllowance_; }

void CGameCallBack::CalcuFrameSkip(int elapsed) {
  elapsed = std::max(elapsed, 0);
  frameElapsed_ = elapsed;
  DecreaseCountdown(elapsed);
  if (effect_) effect_->SetEffectSpeed(GetEffectSpeed());
  // In 64 bits: a frame period or lateness from the settings may be large.
  const int64_t period = frameTime_;
  int64_t late = lateness_;
  if (elapsed < period) late = std::max<int64_t>(late - (period - elapsed), 0);
  if (elapsed > period) late += elapsed - period;
  if (holdCount_ > 0) {
    --holdCount_;
    late = std::min<int64_t>(late, period - 1);
  }
  late = std::clamp<int64_t>(late, 0, INT32_MAX);
  lateness_ = static_cast<int>(late);
  if (!CheckFrameSkipOff())
    skipAllowance_ = static_cast<int>(std::min<int64_t>(late, period * std::max(settings_.maxSkipFrame, 1)));
}

void CGameCallBack::FlushUpdateRects() {
  for (int i = 0; i < updateRectCount_; ++i)
    CScreenBuffer::AddDirtyRect(updateRects_[0][i], updateRects_[1][i], updateRects_[2][i],
                                updateRects_[3][i]);
  updateRectCount_ = 0;
}

void CGameCallBack::PrintLowerModes() {
  int flag[kLevelCount] = {};
  const int level = std::clamp(modeLevel_, 0, kLevelCount - 1);
  for (int p = level - 1; p >= 0; --p) {
    flag[p] = drawThrough_[p];
    if (flag[p] != 1) break;
  }
  for (int p = 0; p < level; ++p)
    if (flag[p] != 0)
      if (CCommonGeneral* mode = GetMode(GetModeAtLevel(p))) mode->GeneralPrint();
}

int CGameCallBack::PrintStartMessage() { return ShowStartMessage("Initializing.."); }

int CGameCallBack::ShowStartMessage(const char* text) {
  // A window-coloured (white) frame with the text over it, until the
  // first frame presents the screen buffer.
  if (!window_ || width_ <= 0 || height_ <= 0 || !text) return 0;
  const std::vector<uint32_t> white(static_cast<size_t>(width_) * height_, 0xFFFFFFu);
  platform::OverlayText line;
  line.text = text;
  line.color = 0x000000;
  window_->SetOverlay({line});
  const platform::FrameView view{white.data(), width_, height_, width_ * 4};
  const platform::Rect all{0, 0, width_, height_};
  window_->Present(view, &all, 1, false);
  startMessageShown_ = 1;
  startText_ = text;
  return 1;
}

void CGameCallBack::SetFullScreenSize(int width, int height) {
  fullScreenWidth_ = width;
  fullScreenHeight_ = height;
  if (presentation_) presentation_->SetFullScreenSize(width, height);
}

void CGameCallBack::SetClipLeftTop(int left, int top) {
  clipLeft_ = left;
  clipTop_ = top;
  if (presentation_) presentation_->SetClipLeftTop(left, top);
}

void CGameCallBack::SetClipRightBottom(int right, int bottom) {
  clipRight_ = right;
  clipBottom_ = bottom;
  if (presentation_) presentation_->SetClipRightBottom(right, bottom);
}

platform::Window* CGameCallBack::GetWindowHandle() { return window_; }

int CGameCallBack::GetEffectSpeed() { return voiceCountdownFlag_; }

int CGameCallBack::GetFrameTime() { return frameTime_; }

int CGameCallBack::GetDefaultFrameTime() { return defaultFrameTime_; }

void CGameCallBack::SetFrameTime(int ms) {
  frameTime_ = ms;
  if (frameSkip_) frameSkip_->SetPeriod(ms);
}

void CGameCallBack::ResetFrameTime() { SetFrameTime(GetDefaultFrameTime()); }

void CGameCallBack::OnFrameStart(int) {}
void CGameCallBack::OnBeforeCalcu() {}
void CGameCallBack::OnAfterCalcu() {}
void CGameCallBack::OnAfterCalcuLate() {}
void CGameCallBack::OnBeforeInput() {}
void CGameCallBack::OnBeforePrint() {}
int CGameCallBack::OnAfterPrint() { return 0; }
void CGameCallBack::OnAfterPrintLate() {}
void CGameCallBack::OnBeforeFloatingButtons() {}
void CGameCallBack::OnBeforePrintScreen() {}
void CGameCallBack::OnBeforeFlipScreen() {}
void CGameCallBack::OnAfterFlipScreen() {}
void CGameCallBack::OnBeforeChangeMode() {}
void CGameCallBack::OnAfterChangeMode() {}
void CGameCallBack::OnFrameEnd() {}

void CGameCallBack::OnWindowProc() {}

void CGameCallBack::OnWindowProcArg(int) {}

void CGameCallBack::SpareHookPair(int, int) {}

int CGameCallBack::SpareCheck() { return 0; }

int CGameCallBack::SpareCheckTrue() { return 1; }

void CGameCallBack::SpareHookA() {}

int CGameCallBack::SpareCheckTrueB() { return 1; }

void CGameCallBack::SpareHookB() {}

void CGameCallBack::OnBeforeScreenChange() {}

void CGameCallBack::OnAfterScreenChange() {}

void CGameCallBack::OnScreenChangeBegin() {}

void CGameCallBack::OnScreenChangeEnd() {}

void CGameCallBack::CallScreenChangeBegin() { OnScreenChangeBegin(); }

void CGameCallBack::CallScreenChangeEnd() { OnScreenChangeEnd(); }
