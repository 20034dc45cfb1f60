#include "widget/multistatebutton.h"


#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/members.h"

CCommonMultiStateButton::CCommonMultiStateButton(CNameList* list, CPicture* backPicture,
                                                 const char* name, int stateCount,
                                                 const platform::Point* position,
                                                 const CCommonButtonSetup* previous)
    : list_(list) {
  const int n = widget::ClampMemberCount(stateCount);
  if (!name) name = "button";
  for (int i = 0; i < n; ++i) {
    char stateName[widget::kMemberNameSize];
    widget::MemberName(stateName, name, i + 1);
    auto setup = std::make_unique<CCommonButtonSetup>(list, stateName,
                                                      i == 0 ? previous : setups_[i - 1].get());
    if (i == 0) {
      if (position) setup->ReadPrintXY(position->x, position->y);
    } else {
      // Every state stands where the first one does unless its keys move it.
      setup->ReadPrintXY(setups_[0]->printX, setups_[0]->printY);
    }
    auto button = std::make_unique<CCommonButton>();
    setup->SetToButton(button.get());
    if (backPicture) button->SetBackPicture(backPicture);
    setups_.push_back(std::move(setup));
    buttons_.push_back(std::move(button));
  }
  stateExist_.assign(n, 0);
  if (n > 0) stateExist_[0] = 1;
  stateEnable_.assign(n, 1);
}

CCommonMultiStateButton::~CCommonMultiStateButton() = default;

void CCommonMultiStateButton::Release() {
  stateExist_.clear();
  stateEnable_.clear();
  widget::ReleaseMembers(&setups_);
  widget::ReleaseMembers(&buttons_);
}

void CCommonMultiStateButton::SetState(int s) {
  if (!ValidState(s)) return;
  state_ = s;
  for (int i = 0; i < GetStateCount(); ++i) stateExist_[i] = i == s ? 1 : 0;
}

void CCommonMultiStateButton::Init() {
  for (int s = 0; s < GetStateCount(); ++s) {
    if (!stateExist_[s] || !buttons_[s]) continue;
    buttons_[s]->SetEnable(enable_ ? stateEnable_[s] : 0);
    buttons_[s]->Init();
  }
}

CCommonButton* CCommonMultiStateButton::Current() const {
  if (!exist_ || !ValidState(state_) || !stateExist_[state_]) return nullptr;
  return buttons_[state_].get();
}

int32_t CCommonMultiStateButton::Calcu(const CInputStatus* input) {
  CCommonButton* button = Current();
  if (!button) return buttoncode::kNothing;
  const int32_t code = button->Calcu(input);
  return CheckButtonCodeNumber(code) ? SetButtonCodeNumber(code, state_) : code;
}

void CCommonMultiStateButton::Print(int unused) {
  if (CCommonButton* button = Current()) button->Print(unused);
}

void CCommonMultiStateButton::SetEnable(int flag) {
  enable_ = flag;
  for (int s = 0; s < GetStateCount(); ++s)
    if (buttons_[s]) buttons_[s]->SetEnable(flag ? stateEnable_[s] : 0);
}

CCommonButton* CCommonMultiStateButton::GetStateButton(int s) const {
  return widget::MemberAt(buttons_, s);
}

CCommonButtonSetup* CCommonMultiStateButton::GetStateSetup(int s) const {
  return widget::MemberAt(setups_, s);
}

CPicture* CCommonMultiStateButton::GetPicture(int s) const {
  const CCommonButton* button = GetStateButton(s);
  return button ? button->GetPicture() : nullptr;
}

void CCommonMultiStateButton::SetPicture(CPicture* picture, int s) {
  for (int i = 0; i < GetStateCount(); ++i)
    if ((s == -1 || s == i) && buttons_[i]) buttons_[i]->SetPicture(picture);
}

const char* CCommonMultiStateButton::GetFilename(int s) const {
  const CCommonButton* button = GetStateButton(s);
  return button ? button->GetFileName() : nullptr;
}

platform::Point CCommonMultiStateButton::GetSize(int s) const {
  const CCommonButton* button = GetStateButton(s);
  return button ? button->GetSize() : platform::Point{0, 0};
}

void CCommonMultiStateButton::SetPrintXY(int x, int y, int s) {
  for (int i = 0; i < GetStateCount(); ++i)
    if ((s == -1 || s == i) && buttons_[i]) buttons_[i]->SetPrintPos(x, y);
}

void CCommonMultiStateButton::ResetAnime() {
  if (CCommonButton* button = Current()) button->ResetAnime();
}
