// CGameCallBack: the frame, the window handler and the input it collects,
// frame timing, window and full screen, and the transfer of the screen.
#include "game/gamecallback.h"

#include <vector>

#include "game/commongeneral.h"
#include "game/frameskip.h"
#include "game/inputstatus.h"
#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "platform/system.h"
#include "platform/types.h"

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

constexpr int kNumpad2 = 98, kNumpad4 = 100, kNumpad6 = 102, kNumpad8 = 104;
constexpr int kWheelNotch = 120;

}  // namespace

int CGameCallBack::Frame(int elapsed) {
  if (frameSkip_) frameSkip_->Advance(elapsed);
  if (screenBuffer_) CScreenBuffer::StartFrame();
  OnFrameStart(elapsed);
  CalcuFrameSkip(elapsed);
  UpdateMouse();
  SetNextMode(-1);
  // The current mode and its companions; a number without a mode object
  // runs no mode step.
  CCommonGeneral* mode = GetMode(GetCurrentMode());
  OnBeforeCalcu();
  if (mode) {
    const int next = mode->GeneralCalcu();
    if (next != -1) SetNextMode(next);
    CalcuListedModes();
  }
  OnAfterCalcu();
  OnAfterCalcuLate();
  OnBeforeInput();
  if (mouseStatus_) mouseStatus_->Calcu();
  ClearKeyStatus();
  enterFlag_ = spaceFlag_ = 0;
  OnBeforePrint();
  if (mode) {
    mode->GeneralPrint();
    PrintListedModes();
  }
  OnAfterPrint();
  OnAfterPrintLate();
  OnBeforeFloatingButtons();
  if (mode) mode->ExitStep();
  OnBeforePrintScreen();
  if (startMessageShown_ && window_) {
    window_->SetOverlay({});
    startMessageShown_ = 0;
  }
  PrintScreen();
  OnBeforeFlipScreen();
  FlipScreen();
  OnAfterFlipScreen();
  const int request = GetNextMode();
  if (request > 0) {
    OnBeforeChangeMode();
    ChangeMode();
    OnAfterChangeMode();
    // Text pages come and go quickly; only other changes forget the lag.
    if (request != 10 && frameSkip_) frameSkip_->Reset();
  }
  if (screenBuffer_) CScreenBuffer::EndFrame();
  ++frameCount_;
  if (wheelCountdown_ > 0) --wheelCountdown_;
  OnFrameEnd();
  if (frameSkip_) frameSkip_->Close();
  return 0;
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

intptr_t CGameCallBack::WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  static constexpr uintptr_t kButtonBits[CMouseStatus::kButtons] = {MK_LBUTTON, MK_RBUTTON,
                                                                    MK_MBUTTON};
  switch (message) {
    case WM_KEYDOWN: {
      const int vk = wParam < 256 ? static_cast<int>(wParam) : -1;
      if (!keyStatus_ || vk < 0) break;
      keyStatus_->SetKey(vk, 1);
      switch (vk) {
        case VK_RETURN: enterFlag_ = 1; break;
        case VK_SHIFT: shiftHeld_ = 1; break;
        case VK_CONTROL: ctrlHeld_ = 1; break;
        case VK_SPACE: spaceFlag_ = 1; break;
        case VK_INSERT: keyStatus_->SetKey(VK_PRIOR, 1); break;
        case VK_DELETE: keyStatus_->SetKey(VK_NEXT, 1); break;
        case kNumpad4: keyStatus_->SetKey(VK_LEFT, 1); break;
        case kNumpad6: keyStatus_->SetKey(VK_RIGHT, 1); break;
        // Up and Down also scroll like the wheel, so screens that scroll
        // by wheel scroll by keys too.
        case VK_UP:
        case kNumpad8:
          keyStatus_->SetKey(VK_UP, 1);
          wheelFlag_ = 1;
          wheelDelta_ = kWheelNotch;
          break;
        case VK_DOWN:
        case kNumpad2:
          keyStatus_->SetKey(VK_DOWN, 1);
          wheelFlag_ = 1;
          wheelDelta_ = -kWheelNotch;
          break;
        default: break;
      }
      break;
    }
    case WM_KEYUP:
      // Only Shift and Ctrl are followed while held; every other key's
      // state is cleared with the frame anyway.
      if (!keyStatus_) break;
      if (wParam == VK_SHIFT) {
        shiftHeld_ = 0;
        keyStatus_->SetKey(VK_SHIFT, 0);
      } else if (wParam == VK_CONTROL) {
        keyStatus_->SetKey(VK_CONTROL, 0);
        ctrlHeld_ = 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (!mouseStatus_) break;
      mouseStatus_->SetPos(LowWordSigned(lParam), HighWordSigned(lParam));
      for (int b = 0; b < CMouseStatus::kButtons; ++b) {
        const bool held = (wParam & kButtonBits[b]) != 0;
        // A button already down when the pointer came in is held, not
        // clicked; a release that happened elsewhere lets it go.
        if (held && !mouseStatus_->GetTrig(b)) mouseStatus_->SetTrig(b, 1);
        if (!held && mouseStatus_->GetTrig(b)) mouseStatus_->SetButton(b, 0);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int b = message == WM_LBUTTONDOWN ? 0 : message == WM_RBUTTONDOWN ? 1 : 2;
      if (mouseStatus_) mouseStatus_->SetButton(b, 1);
      pressed_[b] = 1;
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int b = message == WM_LBUTTONUP ? 0 : message == WM_RBUTTONUP ? 1 : 2;
      if (mouseStatus_) mouseStatus_->SetButton(b, 0);
      break;
    }
    case WM_MOUSEWHEEL:
      if (wheelCountdown_ <= 0 && backLogDisableCountdown_ == 0) {
        wheelDelta_ = HighWordSigned(static_cast<intptr_t>(wParam));
        wheelFlag_ = 1;
      }
      break;
    default: break;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}

void CGameCallBack::ToWindowMode(int) {}

void CGameCallBack::ToFullScreenMode(int) {}

void CGameCallBack::ToWindowScreen() {}

void CGameCallBack::ToFullScreen() {}

void CGameCallBack::ToggleScreenMode(int quiet) {
  if (GetSystemSetting(4) == 0) {
    ToFullScreenMode(quiet);
  } else {
    ToWindowMode(quiet);
  }
}

void CGameCallBack::CloseGame() { platform::PostMessage(window_, WM_CLOSE, 0, 0); }

int CGameCallBack::GetSkipFrameCount() { return 0; }

void CGameCallBack::CalcuFrameSkip(int) {}

void CGameCallBack::FlushUpdateRects() {}

int CGameCallBack::PrintStartMessage() {
  // A window-coloured (white) frame with the text over it, until the
  // first frame presents the screen buffer.
  if (!window_ || width_ <= 0 || height_ <= 0 || !settings_.startMessage) return 0;
  const std::vector<uint32_t> white(static_cast<size_t>(width_) * height_, 0xFFFFFFu);
  platform::OverlayText line;
  line.text = settings_.startMessage;
  line.color = 0x000000;
  window_->SetOverlay({line});
  const platform::FrameView view{white.data(), width_, height_, width_ * 4};
  const platform::Rect all{0, 0, width_, height_};
  window_->Present(view, &all, 1, false);
  startMessageShown_ = 1;
  return 1;
}

void CGameCallBack::SetFullScreenSize(int width, int height) {
  fullScreenWidth_ = width;
  fullScreenHeight_ = height;
}

void CGameCallBack::SetClipLeftTop(int left, int top) {
  clipLeft_ = left;
  clipTop_ = top;
}

void CGameCallBack::SetClipRightBottom(int right, int bottom) {
  clipRight_ = right;
  clipBottom_ = bottom;
}

platform::Window* CGameCallBack::GetWindowHandle() { return window_; }

void CGameCallBack::PrintDebugParam() {}

void CGameCallBack::PrintDebugParamBack() {}

int CGameCallBack::GetEffectSpeed() { return 0; }

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
