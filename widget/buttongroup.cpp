#include "widget/buttongroup.h"


#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/members.h"

CCommonButtonGroup::CCommonButtonGroup(CNameList* list, int count, CPicture* backPicture,
                                       const char* name, const char* const* names) {
  const int n = widget::ClampMemberCount(count);
  setups_.reserve(n);
  buttons_.reserve(n);
  for (int i = 0; i < n; ++i) {
    char made[widget::kMemberNameSize];
    const char* buttonName = names ? names[i] : nullptr;
    if (!buttonName) {
      widget::MemberName(made, name ? name : "button", i + 1);
      buttonName = made;
    }
    const CCommonButtonSetup* previous = i > 0 ? setups_[i - 1].get() : nullptr;
    setups_.push_back(std::make_unique<CCommonButtonSetup>(list, buttonName, previous));
    buttons_.push_back(std::make_unique<CCommonButton>());
    setups_[i]->SetToButton(buttons_[i].get());
    if (backPicture) buttons_[i]->SetBackPicture(backPicture);
  }
}

CCommonButtonGroup::~CCommonButtonGroup() = default;

void CCommonButtonGroup::Release() {
  widget::ReleaseMembers(&setups_);
  widget::ReleaseMembers(&buttons_);
}

void CCommonButtonGroup::Init() {
  latched_ = 0;
  latchedIndex_ = -1;
  for (auto& button : buttons_)
    if (button) button->Init();
}

int32_t CCommonButtonGroup::Calcu(const CInputStatus* input) {
  if (!enable_) return buttoncode::kNothing;
  return CalcuButton(input);
}

int32_t CCommonButtonGroup::CalcuButton(const CInputStatus* input) {
  const int count = GetCount();
  if (latched_) {
    // Only the pressed member takes input until Init; the others idle.
    int32_t code = widget::LatchedStep(count, latchedIndex_, input,
                                       [&](int i) { return buttons_[i].get(); });
    if (GetButtonCodeKind(code) == buttoncode::kDecided) code = SetButtonCodeNumber(code, latchedIndex_);
    return code;
  }
  const auto existing = [&](int i) {
    CCommonButton* button = buttons_[i].get();
    return button && button->GetExist() ? button : nullptr;
  };
  return widget::OpenStep(count, input, existing, [&](int i, int32_t* code) {
    const int32_t kind = GetButtonCodeKind(*code);
    if (kind != buttoncode::kPressed && kind != buttoncode::kDecided) return false;
    latched_ = 1;
    latchedIndex_ = i;
    *code = SetButtonCodeNumber(*code, i);
    return true;
  });
}

void CCommonButtonGroup::Print(int unused) {
  for (auto& button : buttons_)
    if (button && button->GetExist()) button->Print(unused);
}

CCommonButton* CCommonButtonGroup::GetButton(int i) const {
  return widget::MemberAt(buttons_, i);
}

CCommonButtonSetup* CCommonButtonGroup::GetSetup(int i) const {
  return widget::MemberAt(setups_, i);
}

void CCommonButtonGroup::SetPicture(int i, CPicture* picture) {
  if (CCommonButton* button = GetButton(i)) button->SetPicture(picture);
}

CPicture* CCommonButtonGroup::GetPicture(int i) const {
  const CCommonButton* button = GetButton(i);
  return button ? button->GetPicture() : nullptr;
}

const char* CCommonButtonGroup::GetFilename(int i) const {
  const CCommonButton* button = GetButton(i);
  return button ? button->GetFileName() : nullptr;
}

void CCommonButtonGroup::SetFilename(int i, const char* name) {
  if (CCommonButton* button = GetButton(i)) button->SetFilename(name);
}

platform::Point CCommonButtonGroup::GetPrintXY(int i) const {
  const CCommonButton* button = GetButton(i);
  return button ? button->GetPrintXY() : platform::Point{0, 0};
}

void CCommonButtonGroup::SetPrintXY(int i, int x, int y) {
  if (CCommonButton* button = GetButton(i)) button->SetPrintPos(x, y);
}

void CCommonButtonGroup::SetCancelButton(int i, int flag) {
  if (CCommonButton* button = GetButton(i)) button->SetCancelButton(flag);
}

void CCommonButtonGroup::SetExist(int i, int flag) {
  if (CCommonButton* button = GetButton(i)) button->SetExist(flag);
}

void CCommonButtonGroup::SetEnable(int i, int flag) {
  if (CCommonButton* button = GetButton(i)) button->SetEnable(flag);
}

void CCommonButtonGroup::ResetAnime() {
  for (auto& button : buttons_)
    if (button && button->GetExist()) button->ResetAnime();
}
