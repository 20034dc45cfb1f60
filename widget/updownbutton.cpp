#include "widget/updownbutton.h"

#include <algorithm>

#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/members.h"

CUpDownButton::CUpDownButton(CNameList* list, CPicture* backPicture) {
  setups_[kUp] = std::make_unique<CCommonButtonSetup>(list, "up");
  setups_[kDown] = std::make_unique<CCommonButtonSetup>(list, "down", setups_[kUp].get());
  for (int i = 0; i < 2; ++i) {
    buttons_[i] = std::make_unique<CCommonButton>();
    setups_[i]->SetToButton(buttons_[i].get());
    if (backPicture) buttons_[i]->SetBackPicture(backPicture);
  }
  // The wheel turns the pages; each button keeps its own reversal.
  buttons_[kUp]->SetUpButton(1);
  buttons_[kDown]->SetDownButton(1);
  Init();
}

CUpDownButton::~CUpDownButton() = default;

void CUpDownButton::Release() {
  for (int i = 0; i < 2; ++i) {
    if (setups_[i]) setups_[i]->Release();
    if (buttons_[i]) buttons_[i]->Release();
    setups_[i].reset();
    buttons_[i].reset();
  }
}

void CUpDownButton::SetPage(int n) { page_ = std::clamp(n, 0, std::max(pageMax_ - 1, 0)); }

void CUpDownButton::SetPageMax(int n) {
  pageMax_ = std::clamp(n, 0, kMaxPages);
  SetPage(page_);
}

void CUpDownButton::Init() {
  latched_ = 0;
  latchedIndex_ = -1;
  SetPage(page_);
  for (auto& button : buttons_)
    if (button) button->Init();
}

void CUpDownButton::UpdateUsable() {
  const bool pages = pageMax_ > 1;
  usable_[kUp] = pages && page_ > 0;
  usable_[kDown] = pages && page_ < pageMax_ - 1;
}

int CUpDownButton::IsUsable(int index) const {
  return index == kUp || index == kDown ? usable_[index] : 0;
}

void CUpDownButton::StepPage(int index) {
  SetPage(index == kUp ? page_ - 1 : page_ + 1);
  latched_ = 0;
  latchedIndex_ = -1;
  for (auto& button : buttons_)
    if (button) button->Init();
}

int32_t CUpDownButton::Calcu(const CInputStatus* input) {
  if (!enable_) return buttoncode::kNothing;
  if (latched_) {
    int32_t code = widget::LatchedStep(2, latchedIndex_, input, [&](int i) { return buttons_[i].get(); });
    if (GetButtonCodeKind(code) == buttoncode::kDecided) {
      StepPage(latchedIndex_);
      code = SetButtonCodeNumber(code, page_);
    }
    return code;
  }
  UpdateUsable();
  const auto usable = [&](int i) {
    CCommonButton* button = buttons_[i].get();
    return button && button->GetExist() && usable_[i] ? button : nullptr;
  };
  // After a press or a decision the rest of the pass idles, so one frame
  // turns at most one page.
  return widget::OpenStep(2, input, usable, [&](int i, int32_t* code) {
    const int32_t kind = GetButtonCodeKind(*code);
    if (kind == buttoncode::kPressed) {
      latched_ = 1;
      latchedIndex_ = i;
      *code = SetButtonCodeNumber(*code, i);
      return true;
    }
    if (kind == buttoncode::kDecided) {
      StepPage(i);
      *code = SetButtonCodeNumber(*code, page_);
      return true;
    }
    return false;
  });
}

void CUpDownButton::Print(int unused) {
  UpdateUsable();
  for (int i = 0; i < 2; ++i)
    if (buttons_[i] && buttons_[i]->GetExist() && usable_[i]) buttons_[i]->Print(unused);
}

void CUpDownButton::SetPrintXY(int upX, int upY, int downX, int downY) {
  if (buttons_[kUp]) buttons_[kUp]->SetPrintPos(upX, upY);
  if (buttons_[kDown]) buttons_[kDown]->SetPrintPos(downX, downY);
}

void CUpDownButton::SetBackPicture(CPicture* picture, int index) {
  for (int i = 0; i < 2; ++i)
    if (buttons_[i] && (index == -1 || index == i)) buttons_[i]->SetBackPicture(picture);
}

CCommonButton* CUpDownButton::GetButton(int index) const {
  return index == kUp || index == kDown ? buttons_[index].get() : nullptr;
}

void CUpDownButton::SetPicture(int index, CPicture* picture) {
  if (CCommonButton* button = GetButton(index)) button->SetPicture(picture);
}

CPicture* CUpDownButton::GetPicture(int index) const {
  const CCommonButton* button = GetButton(index);
  return button ? button->GetPicture() : nullptr;
}

const char* CUpDownButton::GetFilename(int index) const {
  const CCommonButton* button = GetButton(index);
  return button ? button->GetFileName() : nullptr;
}

void CUpDownButton::ResetAnime() {
  for (auto& button : buttons_)
    if (button) button->ResetAnime();
}

// --- CCommonUpdownBack ---

CCommonUpdownBack::CCommonUpdownBack(CCommonButton* back, CUpDownButton* upDown)
    : back_(back), upDown_(upDown) {}

CCommonUpdownBack::~CCommonUpdownBack() = default;

void CCommonUpdownBack::Release() {}

void CCommonUpdownBack::SetPageMax(int n) {
  if (upDown_) upDown_->SetPageMax(n);
}

int CCommonUpdownBack::GetPageMax() { return upDown_ ? upDown_->GetPageMax() : 0; }

void CCommonUpdownBack::SetPage(int n) {
  if (upDown_) upDown_->SetPage(n);
}

int CCommonUpdownBack::GetPage() { return upDown_ ? upDown_->GetPage() : 0; }

void CCommonUpdownBack::Init() {
  pressed_ = -1;
  if (back_) back_->Init();
  if (upDown_) upDown_->Init();
}

int32_t CCommonUpdownBack::Calcu(const CInputStatus* input) {
  int32_t backCode = buttoncode::kNothing;
  if (back_) {
    const bool pairPressed = pressed_ == 1 || pressed_ == 2;
    backCode = back_->Calcu(pairPressed ? nullptr : input);
    const int32_t kind = GetButtonCodeKind(backCode);
    if (kind == buttoncode::kDecided) return SetButtonCodeNumber(backCode, 0);
    if (kind == buttoncode::kPressed) pressed_ = 0;
  }
  if (!upDown_) return backCode;
  if (pressed_ == 0) {
    upDown_->Calcu(nullptr);
    return backCode;
  }
  const bool pending = pressed_ != -1;
  const int32_t code = upDown_->Calcu(input);
  const int32_t kind = GetButtonCodeKind(code);
  if (kind == buttoncode::kDecided) {
    pressed_ = -1;
    return SetButtonCodeNumber(code, upDown_->GetPage() + 1);
  }
  if (pending) return code;
  if (kind == buttoncode::kPressed) {
    pressed_ = GetButtonCodeNumber(code) + 1;
    return code;
  }
  return backCode;
}

void CCommonUpdownBack::Print(int unused) {
  if (upDown_) upDown_->Print(unused);
  if (back_) back_->Print(unused);
}

void CCommonUpdownBack::ResetAnime() {
  if (upDown_) upDown_->ResetAnime();
  if (back_) back_->ResetAnime();
}
