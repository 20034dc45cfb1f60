#include "mode/titlemenu.h"

#include <algorithm>
#include <string>

#include "mode/modekeys.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"

namespace {

std::string CellKey(int menu, int column, const char* suffix) {
  return "menu" + std::to_string(menu) + "Button" + std::to_string(column) + suffix;
}

}  // namespace

CTitleMenu::CTitleMenu(const CCommonGeneral& mode, int defaultBasicNumber, CPicture* backPicture) {
  basic_ = ReadCount(mode, "basicButtonNumber", defaultBasicNumber, kMaxCount);
  extModes_ = ReadCount(mode, "extModeNumber", 0, kMaxCount);
  basicSpecial_.assign(basic_, -1);
  for (int i = 0; i < basic_; ++i)
    mode.GetSetupInt(&basicSpecial_[i], Numbered("basicButtonSpecialMode", i + 1).c_str());
  if (extModes_ > 0) {
    ext_ = ReadCount(mode, "extButtonNumber", 1, kMaxCount);
    mode.GetSetupString(&checkVarName_, "extModeCheckVarName");
    mode.GetSetupString(&returnVarName_, "extModeReturnVarName");
    extSpecial_.assign(ext_, -1);
    for (int i = 0; i < ext_; ++i)
      mode.GetSetupInt(&extSpecial_[i], Numbered("extButtonSpecialMode", i + 1).c_str());
  }

  // Cell flags: menu 1 shows the basic columns; a further menu keeps the
  // menu before it and, from menu 2 on, shows the extra columns.
  const int columns = GetColumns();
  exist_.assign(static_cast<size_t>(columns) * (extModes_ + 1), 0);
  enable_ = exist_;
  for (int m = 0; m <= extModes_; ++m)
    for (int c = 0; c < columns; ++c) {
      const bool basic = c < basic_;
      int exist = m == 0 ? (basic ? 1 : 0) : (m == 1 && !basic ? 1 : exist_[Cell(c, m - 1)]);
      mode.GetSetupInt(&exist, CellKey(m + 1, c + 1, "ExistFlag").c_str());
      int enable = m > 0 && exist && basic ? enable_[Cell(c, m - 1)] : exist;
      mode.GetSetupInt(&enable, CellKey(m + 1, c + 1, "EnableFlag").c_str());
      exist_[Cell(c, m)] = exist;
      enable_[Cell(c, m)] = enable;
    }

  for (int m = 0; m <= extModes_; ++m)
    menus_.push_back(std::make_unique<CCommonButtonGroup>(
        mode.GetSetupList(), columns, backPicture, ("menu" + std::to_string(m + 1) + "button").c_str()));
}

CTitleMenu::~CTitleMenu() = default;

int CTitleMenu::GetBasicButtonSpecialMode(int i) const {
  return i >= 0 && i < basic_ ? basicSpecial_[i] : 0;
}

int CTitleMenu::GetExtButtonSpecialMode(int i) const {
  return i >= 0 && i < ext_ ? extSpecial_[i] : 0;
}

int CTitleMenu::GetExist(int column, int menu) const {
  return InGrid(column, menu) ? exist_[Cell(column, menu)] : 0;
}

int CTitleMenu::GetEnable(int column, int menu) const {
  return InGrid(column, menu) ? enable_[Cell(column, menu)] : 0;
}

CCommonButtonGroup* CTitleMenu::GetGroup(int menu) const {
  return menu >= 0 && menu <= extModes_ ? menus_[menu].get() : nullptr;
}

void CTitleMenu::SetMenu(int menu) { menu_ = std::clamp(menu, 0, extModes_); }

void CTitleMenu::Init() {
  CCommonButtonGroup* group = GetGroup(menu_);
  for (int c = 0; c < GetColumns(); ++c) {
    group->SetExist(c, GetExist(c, menu_));
    group->SetEnable(c, GetEnable(c, menu_));
  }
  group->Init();
}

int32_t CTitleMenu::Calcu(const CInputStatus* input, int) { return GetGroup(menu_)->Calcu(input); }

void CTitleMenu::Print(int whole) { GetGroup(menu_)->Print(whole); }

void CTitleMenu::PrintAnime(int time, int timeMax, int type, int dx, int dy) {
  const long long max = std::max(timeMax, 1);
  const int progress = static_cast<int>(std::clamp<long long>(time * 100LL / max, 0, 100));
  const int percent = type & 1 ? progress : 100;
  const bool slide = type / 2 == 1;
  const int ox = slide ? static_cast<int>(dx * (100LL - progress) / 100) : 0;
  const int oy = slide ? static_cast<int>(dy * (100LL - progress) / 100) : 0;
  CCommonButtonGroup* group = GetGroup(menu_);
  for (int c = 0; c < GetColumns(); ++c) {
    CCommonButton* button = group->GetButton(c);
    if (button && button->GetExist() && percent > 0) button->PrintShift(ox, oy, percent);
  }
}

void CTitleMenu::SetPicture(int column, CPicture* picture, int menu) {
  if (menu == -1) {
    for (auto& group : menus_) group->SetPicture(column, picture);
  } else if (CCommonButtonGroup* group = GetGroup(menu)) {
    group->SetPicture(column, picture);
  }
}

CPicture* CTitleMenu::GetPicture(int column, int menu) const {
  CCommonButtonGroup* group = GetGroup(menu);
  return group ? group->GetPicture(column) : nullptr;
}

const char* CTitleMenu::GetFilename(int column, int menu) const {
  CCommonButtonGroup* group = GetGroup(menu);
  return group ? group->GetFilename(column) : nullptr;
}
