#include "game/inputpart.h"

#include "game/gameparts.h"
#include "game/settingkeys.h"
#include "input/inputstatus.h"
#include "platform/system.h"
#include "platform/types.h"

namespace {

using Key = IntKey<CInputPart::Settings>;
using S = CInputPart::Settings;

const Key kInputKeys[] = {
    {"backLogDisableTime", &S::backLogDisableTime},
    {"backLogDisableCheckTime", &S::backLogDisableCheckTime},
    {"backLogDisableCheckFlag", &S::backLogDisableCheckFlag},
};

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

constexpr uintptr_t kButtonBits[CMouseStatus::kButtons] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};

}  // namespace

CInputPart::CInputPart(const Links& links) : links_(links) {}

// The input state holds the mouse and key state: it goes first.
CInputPart::~CInputPart() {
  inputStatus_.reset();
  mouseStatus_.reset();
  keyStatus_.reset();
}

void CInputPart::ReadSettings() { ReadIntKeys(links_.list, &settings_, kInputKeys); }

void CInputPart::Init() {
  mouseStatus_ = std::make_unique<CMouseStatus>();
  inputStatus_ = std::make_unique<CInputStatus>();
  keyStatus_ = std::make_unique<CMyKeyStatus>();
  inputStatus_->SetMouseStatus(mouseStatus_.get());
  inputStatus_->SetKeyStatus(keyStatus_.get());
}

void CInputPart::Clear() {
  if (mouseStatus_) mouseStatus_->Clear(1);
  for (int& p : pressed_) p = 0;
  wheelFlag_ = wheelDelta_ = 0;
  ClearKeyStatus();
}

int CInputPart::CheckKeyTrig(int code) {
  if (!keyStatus_) return 0;
  if (keyStatus_->CheckKey(code, 1)) return 1;
  const int alias = KeyAlias(code);
  return alias >= 0 && keyStatus_->CheckKey(alias, 1) ? 1 : 0;
}

void CInputPart::ClearKeyStatus() {
  if (keyStatus_) keyStatus_->Clear();
}

void CInputPart::UpdateMouse() {
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

void CInputPart::EndCalcu() {
  if (mouseStatus_) mouseStatus_->Calcu();
  ClearKeyStatus();
  enterFlag_ = spaceFlag_ = 0;
}

void CInputPart::GuardStall() {
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

void CInputPart::EndFrame() {
  if (wheelCountdown_ > 0) --wheelCountdown_;
}

void CInputPart::SetKey(int vk, int down) {
  if (keyStatus_) keyStatus_->SetKey(vk, down);
}

void CInputPart::RecordWheel(int delta) {
  wheelFlag_ = 1;
  wheelDelta_ = delta;
}

// Wheel turns count only outside the two frames after a screen switch and
// outside the stall guard's block.
void CInputPart::WheelMessage(int delta) {
  if (wheelCountdown_ > 0 || backLogDisableCountdown_ != 0) return;
  RecordWheel(delta);
}

void CInputPart::ButtonMessage(int button, int down) {
  if (mouseStatus_) mouseStatus_->SetButton(button, down);
  if (down) pressed_[button] = 1;
}

void CInputPart::MouseMove(int x, int y, uintptr_t held) {
  CMouseStatus* mouse = mouseStatus_.get();
  if (!mouse) return;
  mouse->SetPos(x, y);
  for (int b = 0; b < CMouseStatus::kButtons; ++b) {
    const bool down = (held & kButtonBits[b]) != 0;
    // A button already down when the pointer came in is held, not
    // clicked; a release that happened elsewhere lets it go.
    if (down && !mouse->GetTrig(b)) mouse->SetTrig(b, 1);
    if (!down && mouse->GetTrig(b)) mouse->SetButton(b, 0);
  }
}

void CInputPart::MouseLeave() {
  if (mouseStatus_) mouseStatus_->Forget();
}
