// CCommonPrintMessage: what a frame does with the input, the typing speed,
// auto mode, skip and the two timed waits. A page lets the script go on by
// the game's script-run word (SetSkipFilmFlag (1)).
#include <algorithm>
#include <cstdint>

#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/screenbuffer.h"
#include "mode/printmessage.h"
#include "widget/buttoncode.h"

namespace {

constexpr int kKeyReturn = 13, kKeySpace = 32, kKeyA = 65;
constexpr int kOptionAuto = 6, kOptionSpeed = 105;
// A whole page in one frame.
constexpr int kAllCells = 10000;
// Far more cells than 64 lines of 256 cells, small enough to add safely.
constexpr int kMostCells = 1 << 20;

}  // namespace

int CCommonPrintMessage::Init() {
  if (!game_) return -1;
  skipUnread_ = game_.variables->IsSystemSettingOn() ? 1 : 0;
  typingRemainder_ = 0;
  speedIndex_ = std::clamp(game_.variables->GetSystemSetting(kOptionSpeed), 0, kSpeeds - 1);
  skipNow_ = skipBefore_ = 0;
  game_.floating->HideFloatingButtons();
  game_.floating->HideSkipFilmButton();
  game_.sound->PlayPendingSounds();
  return -1;
}

// --- Terms ---

int CCommonPrintMessage::InAutoCheck() { return game_.messageWindow->GetAutoMessageCheckFlag() > 0 ? 1 : 0; }

int CCommonPrintMessage::FloatingAllowed() {
  return !InAutoCheck() && game_.floating->GetFloatingButtonOffFlag() == 0 ? 1 : 0;
}

int CCommonPrintMessage::AdvanceInput() {
  if (GetClick(0) || game_.input->CheckKeyTrig(kKeyReturn)) return 1;
  return s_.wheelDownIsClick && mouse_ && mouse_->GetWheel() < 0 ? 1 : 0;
}

int CCommonPrintMessage::WindowToggleInput() {
  if (windowOffMouseButton_ != -1 && mouse_ && mouse_->GetClick(windowOffMouseButton_)) return 1;
  return game_.input->CheckKeyTrig(kKeySpace) ? 1 : 0;
}

int CCommonPrintMessage::IsRead() {
  return messageId_ == -1 || game_.messageWindow->CheckMessageReadFlag(messageId_ & 0xFFFF, -1) ? 1 : 0;
}

void CCommonPrintMessage::MarkRead() {
  if (messageId_ != -1) game_.messageWindow->SetMessageReadFlag(messageId_ & 0xFFFF, -1);
}

void CCommonPrintMessage::ReleaseScript() { game_.messageWindow->SetSkipFilmFlag(1); }

// --- The frame ---

int CCommonPrintMessage::Calcu() {
  if (!game_) return -1;
  // The frames that waits and effects advance.
  int n;
  if (pageCode_ == kCodeWait) {
    n = game_.screen->CalcuWaitCount(std::max(waitFrames_, 1));
    waitFrames_ -= n;
  } else if (pageCode_ == kCodeScreenWait) {
    const int64_t left = static_cast<int64_t>(screenWaitLength_) - screenWaitCounter_;
    n = game_.screen->CalcuWaitCount(static_cast<int>(std::clamp<int64_t>(left, 1, INT32_MAX)));
    screenWaitCounter_ += n;
  } else {
    n = game_.screen->CalcuWaitCount(0);
  }
  effectFrames_ = n;

  // Cells this frame at the message speed (characters per second).
  const int check = game_.messageWindow->GetAutoMessageCheckFlag();
  const int index = check > 0 ? std::clamp(check - 1, 0, kSpeeds - 1) : speedIndex_;
  const int64_t speed = std::max(s_.speeds[index], 1);
  const int64_t v =
      static_cast<int64_t>(std::max(game_.screen->GetMessageWaitTime(), 0)) * speed + typingRemainder_;
  typingRemainder_ = static_cast<int>(v % 1000);
  // More cells than any page holds change nothing.
  cellsThisFrame_ = static_cast<int>(std::min<int64_t>(v / 1000, kMostCells));

  game_.screen->CalcuEffect();
  // Skip, unless locked.
  skipBefore_ = skipNow_;
  skipNow_ = InAutoCheck() || game_.messageWindow->GetCannotSkipFlag() ? 0 : game_.messageWindow->GetShiftSkipState();
  // A demonstration from the title only watches for a button.
  if (game_.modeFlow->GetScriptStartFlag()) return CalcuDemo();
  // The skip-film button ends waits and lets the script go on.
  if (game_.floating->CheckSkipFilmButton()) {
    waitFrames_ = 0;
    screenWaitCounter_ = screenWaitLength_;
    ReleaseScript();
    return -1;
  }
  // The floating buttons of a complete, shown text page.
  int button = -1;
  if (FloatingAllowed() && pageCode_ != kCodeWait && pageCode_ != kCodeScreenWait && !typing_ &&
      !windowHidden_)
    button = game_.floating->CheckFloatingButtons();
  // Any click, a right button or the wheel up stop auto mode and skip.
  const int right = s_.rightSkipOffIsClick ? GetClick(1) : (mouse_ ? mouse_->GetTrig(1) : 0);
  if (GetClick(0) || right || (mouse_ && mouse_->GetWheel() > 0)) {
    game_.variables->SetSystemSetting(kOptionAuto, 0);
    if (skipNow_) {
      game_.messageWindow->SetShiftSkipState(0);
      skipNow_ = 0;
    }
  }
  // The page kind decides the rest.
  if (pageCode_ == kCodeWait) return CalcuWait(button);
  if (pageCode_ == kCodeScreenWait) return CalcuScreenWait(button);
  return CalcuText(button);
}

int CCommonPrintMessage::CalcuText(int button) {
  // The floating buttons: system menu, configuration, back log.
  if (button != -1) {
    const int r = CheckButtonResult(button);
    if (r == 0) return ExitToMode(game_.modeFlow->PrepareSystemMode(modenumber::kSystemMenu, kModeNumber));
    if (r == 1) {
      game_.modeFlow->NotifyMode(modenumber::kConfig, kModeNumber);
      return ExitToMode(game_.modeFlow->PrepareSystemMode(modenumber::kConfig, kModeNumber));
    }
    if (r == 2) {
      game_.modeFlow->NotifyMode(modenumber::kBackLog, kModeNumber);
      return ExitToMode(game_.modeFlow->PrepareSystemMode(modenumber::kBackLog, kModeNumber));
    }
    const int kind = GetButtonCodeKind(button);
    if (kind == buttoncode::kPressed || kind == buttoncode::kBusy) return -1;
  }
  // The script's auto-message mode counts its voice down.
  autoCheckVoiceCountdown_ =
      Saturate(static_cast<int64_t>(autoCheckVoiceCountdown_) - game_.screen->GetMessageWaitTime());
  const int frameTime = std::max(game_.screen->GetMessageWaitTime(), 0);

  if (typing_) {
    TypingInput();
    // A voiced page's count-down runs on while it types.
    AutoStep();
  } else if (windowHidden_) {
    // Any click or Space shows the window again; the page stays.
    if (GetClick(0) || GetClick(1) || game_.input->CheckKeyTrig(kKeySpace) ||
        (windowOffMouseButton_ != -1 && mouse_ && mouse_->GetClick(windowOffMouseButton_))) {
      game_.variables->SetSystemSetting(kOptionAuto, 0);
      SetWindowPrint(1);
      CScreenBuffer::SetFullRedraw(0);
    }
  } else if (WindowToggleInput() && game_.messageWindow->GetMessageSkipFlag() == 0 && FloatingAllowed()) {
    // Space or the window button hides the window.
    SetWindowPrint(0);
    CScreenBuffer::SetFullRedraw(0);
  } else {
    // The wheel opens the back log.
    if (mouse_ && mouse_->GetWheel() > 0 && !game_.messageWindow->IsBackLogDisabled() && FloatingAllowed()) {
      game_.saves->KeepGameState();
      if (s_.backlogSound > 0) game_.sound->PlaySystemSe(s_.backlogSound - 1, 0);
      game_.modeFlow->NotifyMode(modenumber::kBackLog, kModeNumber);
      return ExitToMode(modenumber::kBackLog);
    }
    // Auto mode, a click or the script's auto-message mode turns the page.
    int due = AutoStep();
    int go = AdvanceInput();
    if (InAutoCheck()) {
      go = autoCheckElapsed_ >= s_.autoMessageLastWait &&
                   (s_.autoMessageWaitVoiceFlag == 0 || autoCheckVoiceCountdown_ < 1)
               ? 1
               : 0;
      autoCheckElapsed_ = Saturate(static_cast<int64_t>(autoCheckElapsed_) + frameTime);
      due = 0;
    }
    if (go || due) {
      // A manual turn ends auto mode.
      if (!due) game_.variables->SetSystemSetting(kOptionAuto, 0);
      game_.messageWindow->OnMessageClick();
      MarkRead();
      ReleaseScript();
    } else if (skipNow_ && (skipBefore_ == 0 || skipUnread_ || IsRead())) {
      // Skip passes the page it starts on, then read pages (and unread
      // ones with the option).
      MarkRead();
      ReleaseScript();
    } else {
      // 'A' starts auto mode; the shortcut keys leave for their mode.
      if (game_.input->CheckKeyTrig(kKeyA) && FloatingAllowed()) game_.variables->SetSystemSetting(kOptionAuto, 1);
      if (button == -1 && FloatingAllowed()) {
        const int m = game_.floating->CheckShortCut(kModeNumber);
        if (m != -1) {
          game_.variables->SetSystemSetting(kOptionAuto, 0);
          if (m == modenumber::kSystemMenu && game_.messageWindow->GetMessageModeFlag()) game_.modeFlow->SetSystemMenuSceneMode(1);
          return ExitToMode(m);
        }
      }
    }
  }
  return -1;
}

void CCommonPrintMessage::TypingInput() {
  if (skipNow_ && (skipUnread_ || IsRead())) {
    cellsThisFrame_ = kAllCells;
    ReleaseScript();
    MarkRead();
    typing_ = 0;
  } else if (!InAutoCheck() && !game_.messageWindow->GetMessageSwitch() && AdvanceInput()) {
    game_.variables->SetSystemSetting(kOptionAuto, 0);
    cellsThisFrame_ = kAllCells;
    typing_ = 0;
  }
}

// 1 when auto mode turns the page. A voiced page counts down its voice and
// pause from the frame it was set, with auto mode on or off, so auto mode
// switched on while the voice speaks waits for it instead of cutting it. A
// voiceless page counts only while auto mode is on and the page is
// complete; otherwise its count-down is held at 1, so auto mode turns it on
// the frame after it is complete: it is read while it types.
int CCommonPrintMessage::AutoStep() {
  const bool on = game_.variables->GetSystemSetting(kOptionAuto) != 0;
  if (game_.sound->GetVoiceFlag() || (on && !typing_)) {
    autoCountdown_ =
        Saturate(static_cast<int64_t>(autoCountdown_) - std::max(game_.screen->GetMessageWaitTime(), 0));
    return on && autoCountdown_ <= 0 ? 1 : 0;
  }
  autoCountdown_ = 1;
  return 0;
}

int CCommonPrintMessage::CalcuWait(int) {
  if (skipNow_ || (!InAutoCheck() && !game_.messageWindow->GetMessageSwitch() && AdvanceInput())) waitFrames_ = 0;
  if (waitFrames_ < 1) ReleaseScript();
  return -1;
}

int CCommonPrintMessage::CalcuScreenWait(int) {
  if (skipNow_ || (!InAutoCheck() && !game_.messageWindow->GetMessageSwitch() && AdvanceInput()))
    screenWaitCounter_ = screenWaitLength_;
  if (IsScreenWaitDone()) ReleaseScript();
  return -1;
}

int CCommonPrintMessage::IsScreenWaitDone() {
  return screenWaitCounter_ >= screenWaitLength_ ? 1 : 0;
}

int CCommonPrintMessage::CalcuDemo() {
  if (!mouse_ || (!mouse_->GetTrig(0) && !mouse_->GetTrig(1))) return -1;
  game_.messageWindow->OnMessageClick();
  return modenumber::kTitle;
}

void CCommonPrintMessage::PrepareExit() {
  // "createExitScreenFlag" is the normal exit's capture setting.
  if (exitNormal_.createScreen) {
    game_.floating->RestoreFirstFloatingLayer();
    CreateExitScreen();
  }
}
