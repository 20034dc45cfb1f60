#include "widget/radiobuttongroup.h"


#include "widget/buttoncode.h"
#include "widget/commonbuttonsetup.h"
#include "widget/members.h"
#include "widget/multistatebutton.h"

CCommonRadioButtonGroup::CCommonRadioButtonGroup(CNameList* list, const char* name,
                                                 CPicture* backPicture, int count,
                                                 const CCommonButtonSetup* previous)
    : list_(list) {
  const int n = widget::ClampMemberCount(count);
  for (int i = 0; i < n; ++i) {
    char itemName[widget::kMemberNameSize];
    widget::MemberName(itemName, name ? name : "", i + 1, "Button");
    if (i == 0) {
      items_.push_back(std::make_unique<CCommonRadioButton>(list, backPicture, itemName, nullptr, previous));
      continue;
    }
    // Left to right: the next one starts where the previous on look ends.
    const CCommonButtonSetup* on = items_[i - 1]->GetStateSetup(1);
    const platform::Point at{
        on ? static_cast<int>(static_cast<unsigned>(on->printX) + static_cast<unsigned>(on->sizeX)) : 0,
        on ? on->printY : 0};
    items_.push_back(std::make_unique<CCommonRadioButton>(list, backPicture, itemName, &at, on));
  }
}

CCommonRadioButtonGroup::~CCommonRadioButtonGroup() = default;

void CCommonRadioButtonGroup::Release() {
  widget::ReleaseMembers(&items_);
}

void CCommonRadioButtonGroup::SetSelect(int i) {
  selected_ = i;
  for (int j = 0; j < GetCount(); ++j) {
    if (!items_[j]) continue;
    items_[j]->SetState(j == i ? 1 : 0);
    items_[j]->Init();
  }
  pressed_ = -1;
}

int32_t CCommonRadioButtonGroup::Calcu(const CInputStatus* input) {
  constexpr int kDecidedRank = 5, kPressedRank = 3, kOtherRank = 1;
  int best = 0;
  int32_t result = buttoncode::kNothing;
  for (int i = 0; i < GetCount(); ++i) {
    CCommonRadioButton* item = items_[i].get();
    if (!item) continue;
    const bool active = i != selected_ && (pressed_ == -1 || i == pressed_);
    if (!active) {
      item->Calcu(nullptr);
      continue;
    }
    const int32_t code = item->Calcu(input);
    if (code == buttoncode::kNothing) continue;
    const int32_t kind = GetButtonCodeKind(code);
    if (kind == buttoncode::kDecided) {
      // A decision at once (click time 0) also ends input until SetSelect.
      selected_ = i;
      pressed_ = i;
      result = SetButtonCodeNumber(code, i);
      best = kDecidedRank;
      continue;
    }
    const int rank = kind == buttoncode::kPressed ? kPressedRank : kOtherRank;
    if (kind == buttoncode::kPressed) pressed_ = i;
    if (rank > best) {
      result = code;
      best = rank;
    }
  }
  return result;
}

void CCommonRadioButtonGroup::Print(int unused) {
  for (auto& item : items_)
    if (item) item->Print(unused);
}

void CCommonRadioButtonGroup::SetEnableAll(int flag) {
  for (auto& item : items_)
    if (item) item->SetEnable(flag);
}

void CCommonRadioButtonGroup::SetExistAll(int flag) {
  for (auto& item : items_)
    if (item) item->SetExist(flag);
}

void CCommonRadioButtonGroup::SetEnable(int i, int flag) {
  if (CCommonRadioButton* item = GetItem(i)) item->SetEnable(flag);
}

void CCommonRadioButtonGroup::SetExist(int i, int flag) {
  if (CCommonRadioButton* item = GetItem(i)) item->SetExist(flag);
}

CPicture* CCommonRadioButtonGroup::GetPicture(int i, int s) const {
  const CCommonRadioButton* item = GetItem(i);
  return item ? item->GetPicture(s) : nullptr;
}

void CCommonRadioButtonGroup::SetPicture(CPicture* picture, int i, int s) {
  for (int j = 0; j < GetCount(); ++j)
    if ((i == -1 || i == j) && items_[j]) items_[j]->SetPicture(picture, s);
}

const char* CCommonRadioButtonGroup::GetFilename(int i, int s) const {
  const CCommonRadioButton* item = GetItem(i);
  if (!item) return nullptr;
  return item->GetFilename(s == -1 ? (i == selected_ ? 1 : 0) : s);
}

void CCommonRadioButtonGroup::ResetAnime() {
  for (auto& item : items_)
    if (item) item->ResetAnime();
}

CCommonRadioButton* CCommonRadioButtonGroup::GetItem(int i) const {
  return widget::MemberAt(items_, i);
}
