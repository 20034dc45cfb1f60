#include "input/inputstatus.h"

#include "platform/system.h"

CMouseStatus::CMouseStatus() { CheckSwapButton(); }

void CMouseStatus::CheckSwapButton() { swapButtons_ = 0; }

void CMouseStatus::SetPos(int x, int y) {
  x_ = x;
  y_ = y;
  posKnown_ = true;
}

void CMouseStatus::GetPos(platform::Point* out) const {
  if (!out) return;
  out->x = x_;
  out->y = y_;
}

void CMouseStatus::SetButton(int button, int down) {
  if (!Valid(button)) return;
  trig_[button] = down ? 1 : 0;
  if (down) click_[button] = 1;
}

void CMouseStatus::SetTrig(int button, int value) {
  if (!Valid(button)) return;
  trig_[button] = value ? 1 : 0;
}

int CMouseStatus::GetTrig(int button) const { return Valid(button) ? trig_[button] : 0; }

int CMouseStatus::GetPrevTrig(int button) const { return Valid(button) ? prevTrig_[button] : 0; }

int CMouseStatus::GetClick(int button) const { return Valid(button) ? click_[button] : 0; }

int CMouseStatus::GetAnyClick() const { return click_[0] || click_[1] ? 1 : 0; }

void CMouseStatus::Clear(int all) {
  for (int i = 0; i < kButtons; ++i) {
    prevTrig_[i] = 1;
    click_[i] = 0;
  }
  if (!all) return;
  x_ = y_ = 0;
  posKnown_ = false;
  for (int& t : trig_) t = 0;
  wheel_ = 0;
}

void CMouseStatus::Calcu() {
  for (int i = 0; i < kButtons; ++i) {
    prevTrig_[i] = trig_[i];
    click_[i] = 0;
  }
  // The physical button behind each logical one; with swapped buttons the
  // right one produces "left" and the other way round.
  const int physical[kButtons] = {swapButtons_ ? VK_RBUTTON : VK_LBUTTON,
                                  swapButtons_ ? VK_LBUTTON : VK_RBUTTON, VK_MBUTTON};
  for (int i = 0; i < kButtons; ++i) {
    if (trig_[i] && !platform::IsKeyHeld(physical[i])) trig_[i] = 0;
  }
}

void CMyKeyStatus::SetKey(int vk, int down) {
  if (vk < 0 || vk >= kKeys) return;
  if (down) {
    keys_[vk] = 3;
  } else {
    keys_[vk] &= ~1u;
  }
}

int CMyKeyStatus::CheckKey(int vk, int trigger) const {
  if (vk < 0 || vk >= kKeys) return 0;
  return (keys_[vk] & (trigger ? 2u : 1u)) ? 1 : 0;
}

void CMyKeyStatus::Clear() {
  for (uint32_t& k : keys_) k = 0;
}
