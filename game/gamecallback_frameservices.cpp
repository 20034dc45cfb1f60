// CGameCallBack: the services every mode uses around a frame: the dirty
// rectangles and the presentation, wait counts, the effect step and the
// effect-layer switches, the message-window calls and their words, design
// numbers, the movie codec answer and the small words of the message modes.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/frameskip.h"
#include "game/gamecallback.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "setup/namelist.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"

namespace {

// SYSTEM DATA words: the configuration's design numbers of the message
// window, the message cursor and the game mouse; the play counter.
constexpr int kWindowNumberOffset = 1920;
constexpr int kCursorNumberOffset = 1924;
constexpr int kMouseNumberOffset = 1928;
constexpr int kPlayCountOffset = 208;
constexpr int kMaxPlayCount = 0x7FFFFFFE;
constexpr int kLayerCount = 16;

}  // namespace

// --- Dirty rectangles and the presentation ---

void CGameCallBack::AddUpdateRect(const platform::Rect& rect) {
  if (updateRectCount_ >= kMaxUpdateRects || rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  updateRects_[0][updateRectCount_] = rect.left;
  updateRects_[1][updateRectCount_] = rect.top;
  updateRects_[2][updateRectCount_] = rect.right - rect.left;
  updateRects_[3][updateRectCount_] = rect.bottom - rect.top;
  ++updateRectCount_;
}

// The presentation uploads the screen buffer itself when it presents: there
// is no separate surface to convert into.
void CGameCallBack::PrintScreen() {}

void CGameCallBack::FlipScreen() {
  // The whole buffer or its dirty rectangles in one call; the vertical
  // blank is waited for once, never with "noWaitVSync". Without DirectDraw
  // ("notUseDirectDraw") the same path serves.
  if (presentation_) presentation_->PresentScreenBuffer(settings_.noWaitVSync);
}

void CGameCallBack::UpdateScreenNow() {
  if (screenUpdateBlocked_) return;
  PrintScreen();
  FlipScreen();
}

void CGameCallBack::RestoreSurfaces(int flag) {
  surfaceRestoreFlag_ = flag;
  if (presentation_ && presentation_->RestoreSurfaces(flag)) CScreenBuffer::SetFullRedraw(0);
}

void CGameCallBack::HideCursor() {
  if (window_) window_->ShowSystemCursor(false);
}

// Slot 0 of the floating layers is the game mouse's.
void CGameCallBack::RestoreFirstFloatingLayer() {
  if (floatingLayers_) floatingLayers_->Restore(0);
}

// The game mouse layer's offset: the hot point of its cursor cells.
void CGameCallBack::GetGameMousePos(int* x, int* y) const {
  int hx = 0, hy = 0;
  if (gameMouse_) gameMouse_->GetHotPoint(&hx, &hy);
  if (x) *x = hx;
  if (y) *y = hy;
}

void CGameCallBack::SetGameMouseSpecialMode(int mode) {
  if (gameMouse_) gameMouse_->SetSpecialMode(mode);
}

int CGameCallBack::GetGameMouseSpecialMode() const {
  return gameMouse_ ? gameMouse_->GetSpecialMode() : 0;
}

// --- Waits and frame skipping ---

int CGameCallBack::ConvertWaitCount(int n) const {
  if (n < 0) return -1;
  if (!frameSkip_) return n == 0 ? 1 : std::min(n, 1);
  return frameSkip_->GetSkipCount(n == 0 ? -1 : n);
}

int CGameCallBack::CalcuWaitCount(int n) {
  if (n < 0) {
    if (frameSkip_) frameSkip_->Reset();
    return -1;
  }
  const int frames = ConvertWaitCount(n);
  if (frameSkip_) frameSkip_->Consume(frames);
  return frames;
}

void CGameCallBack::ResetFrameSkip() {
  lateness_ = 0;
  skipAllowance_ = 0;
  if (CStoryMessageMode* printMessage = GetPrintMessage()) printMessage->ClearState();
  holdCount_ = 2;
}

void CGameCallBack::DecreaseCountdown(int n) {
  if (!voiceCountdownFlag_) return;
  voiceCountdown_ = n > 0 && voiceCountdown_ < INT_MIN + n ? INT_MIN : voiceCountdown_ - n;
  if (voiceCountdown_ <= 0) {
    voiceCountdown_ = 0;
    voiceCountdownFlag_ = 0;
  }
}

// --- Effects ---

void CGameCallBack::CalcuEffect() {
  if (effect_) effect_->Calcu();
}

void CGameCallBack::SwitchEffectLayer(int layer, int on) {
  if (layer < 0 || layer >= kLayerCount) return;
  if (effect_) effect_->SetPrintEnable(layer, on != 0 ? 1 : 0);
  if (!gameVars_) return;
  const int bit = 1 << layer;
  const int mask = gameVars_->GetLayerOffMask();
  gameVars_->SetLayerOffMask(on != 0 ? mask & ~bit : mask | bit);
}

void CGameCallBack::SetLayerDisableMask(int mask) {
  for (int layer = 0; layer < kLayerCount; ++layer)
    if (effect_) effect_->SetPrintEnable(layer, (mask >> layer) & 1 ? 0 : 1);
  if (gameVars_) gameVars_->SetLayerOffMask(mask);
}

int CGameCallBack::GetLayerDisableMask() const {
  return gameVars_ ? gameVars_->GetLayerOffMask() : 0;
}

// The effect manager has no back picture; the screen picture is the
// capture effect's saved screen.
CPicture* CGameCallBack::GetEffectBackPicture() const { return nullptr; }

CPicture* CGameCallBack::GetEffectScreenPicture() const {
  return effect_ ? CEffectManager::GetSavedScreen() : nullptr;
}

// --- The message window ---

int CGameCallBack::PrintMessageWindow(int show, int showName, const platform::Point* offset) {
  return MessageWindowPrint(show, showName, offset);
}

int CGameCallBack::PrintMessageWindowIfShown(int show, int showName,
                                             const platform::Point* offset) {
  return messageWindowOn_ ? MessageWindowPrint(show, showName, offset) : 0;
}

int CGameCallBack::CheckMessageWindow(int show, int showName, const platform::Point& position) {
  return MessageWindowPrintAt(show, showName, position);
}

int CGameCallBack::CheckMessageWindowHit(int x, int y) { return MessageWindowHitLocal(x, y); }

void CGameCallBack::SetWindowNumberConfig(int n) {
  if (systemFile_) systemFile_->SetSystemData(kWindowNumberOffset, n);
  MessageWindowSetNumbers(n, windowNumberScript_);
}

int CGameCallBack::GetWindowNumberConfig() const {
  return systemFile_ ? systemFile_->GetSystemData(kWindowNumberOffset) : 0;
}

void CGameCallBack::SetWindowNumberScript(int n) {
  windowNumberScript_ = n;
  MessageWindowSetNumbers(GetWindowNumberConfig(), n);
}

// The message cursor and the game mouse take their design numbers as they
// are stored.
void CGameCallBack::SetCursorNumberConfig(int n) {
  if (systemFile_) systemFile_->SetSystemData(kCursorNumberOffset, n);
  if (messageCursor_) messageCursor_->SetConfigNumber(n);
}

int CGameCallBack::GetCursorNumberConfig() const {
  return systemFile_ ? systemFile_->GetSystemData(kCursorNumberOffset) : 0;
}

void CGameCallBack::SetCursorNumberScript(int n) {
  cursorNumberScript_ = n;
  if (messageCursor_) messageCursor_->SetScriptNumber(n);
}

void CGameCallBack::SetMouseNumberConfig(int n) {
  if (systemFile_) systemFile_->SetSystemData(kMouseNumberOffset, n);
  if (gameMouse_) gameMouse_->SetConfigNumber(n);
}

int CGameCallBack::GetMouseNumberConfig() const {
  return systemFile_ ? systemFile_->GetSystemData(kMouseNumberOffset) : 0;
}

void CGameCallBack::SetMouseNumberScript(int n) {
  mouseNumberScript_ = n;
  if (gameMouse_) gameMouse_->SetScriptNumber(n);
}

void CGameCallBack::ApplyWindowOpacity() {
  // Widened first: a stored word far below 0 must not overflow.
  const int64_t percent = 100 - static_cast<int64_t>(GetSystemSetting(106));
  MessageWindowSetPercent(static_cast<int>(std::clamp<int64_t>(percent, 0, 100)));
}

void CGameCallBack::SetMessageWindowMode(int value) {
  messageWindowMode_ = value;
  MessageWindowSetMode(value);
}

int CGameCallBack::GetConfigHelperValue() { return MessageWindowDesignCount(); }

// --- Words of the message modes ---

void CGameCallBack::SetMessageModeFlag(int flag) {
  messageModeFlag_ = flag;
  if (CStoryMessageMode* printMessage = GetPrintMessage()) printMessage->SetGeneral(flag);
}

void CGameCallBack::SetStoredOption(int value) {
  storedOption_ = value;
  SetSystemSetting(6, value);
}

void CGameCallBack::ApplyPendingSwitch() {
  if (pendingSwitch_ == 0 || pendingSwitch_ == 1) messageWindowOn_ = pendingSwitch_;
  pendingSwitch_ = -1;
}

void CGameCallBack::ToggleShiftSkip() {
  if (GetShiftSkipState()) {
    SetShiftSkipState(0);
  } else if (!settings_.shiftSkipMessageOnly || GetCurrentMode() == modenumber::kPrintMessage) {
    SetShiftSkipState(1);
  }
}

int CGameCallBack::SetMessageParam(int kind, int value) {
  // The print-message mode passes its "noVoiceIsDefaultWait" here.
  if (kind == 1) noVoiceIsDefaultWait_ = value;
  return -1;
}

void CGameCallBack::SetSystemMenuSceneMode(int flag) {
  if (CSystemMenuOptions* menu = GetSystemMenuOptions()) menu->SetSceneMode(flag);
}

int CGameCallBack::GetModeVariable() {
  return settings_.specialNumberForSaveSetFlag && specialNumberVar_ >= 0 ? GetVar(specialNumberVar_)
                                                                         : 0;
}

void CGameCallBack::ResetMiniGameMode() {
  if (CCommonGeneral* mode = GetMode(modenumber::kMiniGame)) mode->ResetGame();
}

// --- Movies ---

int CGameCallBack::CheckMovieCodec() {
  // Asked once. Without the movie mode, the movie player or with movies
  // off the answer is 0; otherwise the movie mode's own codec test answers.
  if (codecCheck_ == -1) {
    CMoviePlayback* movieMode = GetMoviePlayback();
    codecCheck_ = movieMode && moviePlayer_ && !movieOff_ ? movieMode->CheckCodec() : 0;
    // The player names a file it could not use; these say why no file was
    // tried.
    if (!movieMode)
      platform::ErrorOutput(
          "movie check: the game has no movie mode (see \"printmovieIsDefault\" in "
          "init\\game.xtx)");
    else if (!moviePlayer_)
      platform::ErrorOutput("movie check: the game has no movie player");
  }
  return codecCheck_;
}

const char* CGameCallBack::GetMovieListName(int n) const {
  if (!movieList_ || n < 1 || n > movieList_->GetCount()) return nullptr;
  return movieList_->GetName(2 * n - 2);
}

int CGameCallBack::IsMovieListEntryEnabled(int n) const {
  if (!GetMovieListName(n)) return 0;
  const size_t i = static_cast<size_t>(n - 1);
  return i < movieEntryOff_.size() && movieEntryOff_[i] ? 0 : 1;
}

// --- The play counter ---

void CGameCallBack::ClearPlayCount() {
  if (systemFile_) systemFile_->SetSystemData(kPlayCountOffset, 0);
}

int CGameCallBack::GetPlayCount() const {
  return systemFile_ ? systemFile_->GetSystemData(kPlayCountOffset) : 0;
}

void CGameCallBack::AddPlayCount() {
  if (playCountAdded_ || !systemFile_) return;
  playCountAdded_ = 1;
  const int count = GetPlayCount();
  if (count < kMaxPlayCount) systemFile_->SetSystemData(kPlayCountOffset, count + 1);
}
