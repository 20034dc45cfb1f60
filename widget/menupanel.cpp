#include "widget/menupanel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "platform/types.h"
#include "setup/setuplist.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/members.h"

namespace {

int Saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

// --- CMenuButtonSetup ---

CMenuButtonSetup::CMenuButtonSetup(CNameList* list, int defaultBasicNumber)
    : setupList_(std::make_unique<CSetupList>()) {
  setupList_->AttachList(list);
  CSetupList& s = *setupList_;
  char key[64];
  basic_ = defaultBasicNumber;
  s.GetSetupInt(&basic_, "basicButtonNumber");
  s.GetSetupInt(&extModes_, "extModeNumber");
  basic_ = std::max(basic_, 0);
  extModes_ = std::max(extModes_, 0);
  // A grid that cannot be made is empty: one menu, no columns.
  const auto fits = [](int64_t columns, int64_t menus) {
    return columns <= kMaxColumns && columns * menus <= kMaxCells;
  };
  if (!fits(basic_, int64_t{extModes_} + 1)) basic_ = extModes_ = 0;
  basicSpecial_.assign(basic_, -1);
  for (int i = 0; i < basic_; ++i) {
    std::snprintf(key, sizeof key, "basicButtonSpecialMode%d", i + 1);
    s.GetSetupInt(&basicSpecial_[i], key);
  }
  if (extModes_ > 0) {
    ext_ = 1;
    s.GetSetupInt(&ext_, "extButtonNumber");
    ext_ = std::max(ext_, 0);
    if (!fits(int64_t{basic_} + ext_, int64_t{extModes_} + 1)) basic_ = ext_ = extModes_ = 0;
    basicSpecial_.resize(basic_);
    s.GetSetupString(&checkVarName_, "extModeCheckVarName");
    s.GetSetupString(&returnVarName_, "extModeReturnVarName");
    extSpecial_.assign(ext_, -1);
    for (int i = 0; i < ext_; ++i) {
      std::snprintf(key, sizeof key, "extButtonSpecialMode%d", i + 1);
      s.GetSetupInt(&extSpecial_[i], key);
    }
  }
  columns_ = basic_ + ext_;
  s.GetSetupInt(&animeAdjust_, "menuAnimeAdjustFlag");
  s.GetSetupInt(&firstSizeX_, "menu1Button1SizeX");
  s.GetSetupInt(&firstSizeY_, "menu1Button1SizeY");
  nextY_ = firstSizeY_;
  s.GetSetupInt(&nextX_, "menuNextX");
  s.GetSetupInt(&nextY_, "menuNextY");
  ReadCellFlags();
  ReadCellSetups(list);
}

CMenuButtonSetup::~CMenuButtonSetup() = default;

void CMenuButtonSetup::Release() {
  for (auto& setup : setups_)
    if (setup) setup->Release();
  setups_.clear();
  exist_.clear();
  enable_.clear();
  extSpecial_.clear();
  basicSpecial_.clear();
  setupList_.reset();
}

int CMenuButtonSetup::Cell(int column, int menu) const {
  if (column < 0 || column >= columns_ || menu < 0 || menu > extModes_) return -1;
  return column + menu * columns_;
}

// Menu 1 shows the basic columns; every further menu shows what the menu
// before it shows plus, from menu 2 on, the extension columns.
void CMenuButtonSetup::ReadCellFlags() {
  const int cells = columns_ * (extModes_ + 1);
  exist_.assign(cells, 0);
  enable_.assign(cells, 0);
  char key[64];
  for (int m = 0; m <= extModes_; ++m) {
    for (int c = 0; c < columns_; ++c) {
      const int i = c + m * columns_;
      const bool basic = c < basic_;
      int exist = 0;
      if (m == 0)
        exist = basic ? 1 : 0;
      else
        exist = (m == 1 && !basic) ? 1 : exist_[i - columns_];
      std::snprintf(key, sizeof key, "menu%dButton%dExistFlag", m + 1, c + 1);
      setupList_->GetSetupInt(&exist, key);
      int enable = exist;
      if (m > 0 && exist && basic) enable = enable_[i - columns_];
      std::snprintf(key, sizeof key, "menu%dButton%dEnableFlag", m + 1, c + 1);
      setupList_->GetSetupInt(&enable, key);
      exist_[i] = exist;
      enable_[i] = enable;
    }
  }
}

// "menu%dbutton%d": down menu 1 one step (menuNextX, menuNextY) per
// column; every further menu where the menu before it lies.
void CMenuButtonSetup::ReadCellSetups(CNameList* list) {
  setups_.clear();
  setups_.reserve(static_cast<size_t>(columns_) * (extModes_ + 1));
  char name[64];
  const platform::Point next{nextX_, nextY_};
  const platform::Point same{0, 0};
  for (int m = 0; m <= extModes_; ++m) {
    for (int c = 0; c < columns_; ++c) {
      std::snprintf(name, sizeof name, "menu%dbutton%d", m + 1, c + 1);
      const CCommonButtonSetup* previous = nullptr;
      const platform::Point* delta = nullptr;
      if (m > 0) {
        previous = setups_[c + (m - 1) * columns_].get();
        delta = &same;
      } else if (c > 0) {
        previous = setups_[c - 1].get();
        delta = &next;
      }
      setups_.push_back(std::make_unique<CCommonButtonSetup>(list, name, previous, delta));
    }
  }
}

int CMenuButtonSetup::GetExist(int column, int menu) const {
  const int i = Cell(column, menu);
  return i < 0 ? 0 : exist_[i];
}

int CMenuButtonSetup::GetEnable(int column, int menu) const {
  const int i = Cell(column, menu);
  return i < 0 ? 0 : enable_[i];
}

int CMenuButtonSetup::GetBasicButtonSpecialMode(int i) const {
  return i >= 0 && i < static_cast<int>(basicSpecial_.size()) ? basicSpecial_[i] : 0;
}

int CMenuButtonSetup::GetExtButtonSpecialMode(int i) const {
  return i >= 0 && i < static_cast<int>(extSpecial_.size()) ? extSpecial_[i] : 0;
}

CCommonButtonSetup* CMenuButtonSetup::GetSetup(int column, int menu) const {
  const int i = Cell(column, menu);
  return i < 0 || i >= static_cast<int>(setups_.size()) ? nullptr : setups_[i].get();
}

// --- CMenuButtonPanel ---

CMenuButtonPanel::CMenuButtonPanel(CMenuButtonSetup* setup, CPicture* backPicture) : setup_(setup) {
  if (setup_) {
    basic_ = setup_->GetBasicButtonNumber();
    ext_ = setup_->GetExtButtonNumber();
    columns_ = setup_->GetColumns();
    extModes_ = setup_->GetExtModeNumber();
    enable_ = setup_->GetMakeSetupsFlag();
  }
  const int cells = columns_ * (extModes_ + 1);
  buttons_.reserve(cells);
  for (int i = 0; i < cells; ++i) {
    auto button = std::make_unique<CCommonButton>();
    if (const CCommonButtonSetup* s = setup_->GetSetup(i % columns_, i / columns_)) s->SetToButton(button.get());
    if (backPicture) button->SetBackPicture(backPicture);
    buttons_.push_back(std::move(button));
  }
  existOverride_.assign(cells, 1);
  enableOverride_.assign(cells, 1);
}

CMenuButtonPanel::~CMenuButtonPanel() = default;

void CMenuButtonPanel::Release() {
  existOverride_.clear();
  enableOverride_.clear();
  for (auto& button : buttons_)
    if (button) button->Release();
  buttons_.clear();
  columns_ = 0;
}

CCommonButton* CMenuButtonPanel::GetButton(int column, int menu) const {
  if (column < 0 || column >= columns_ || menu < 0 || menu > extModes_) return nullptr;
  const size_t i = static_cast<size_t>(column) + static_cast<size_t>(menu) * columns_;
  return i < buttons_.size() ? buttons_[i].get() : nullptr;
}

void CMenuButtonPanel::SetMenu(int m) { menu_ = std::clamp(m, 0, extModes_); }

void CMenuButtonPanel::Init() {
  latched_ = 0;
  latchedColumn_ = -1;
  for (int c = 0; c < columns_; ++c) {
    CCommonButton* button = GetButton(c, menu_);
    if (!button) continue;
    const size_t i = static_cast<size_t>(c) + static_cast<size_t>(menu_) * columns_;
    button->SetExist(setup_->GetExist(c, menu_) ? existOverride_[i] : 0);
    button->SetEnable(setup_->GetEnable(c, menu_) ? enableOverride_[i] : 0);
    button->Init();
  }
}

int32_t CMenuButtonPanel::Calcu(const CInputStatus* input, int) {
  if (!enable_) return buttoncode::kNothing;
  return CalcuButton(input);
}

void CMenuButtonPanel::ResetMenuAnime() {
  for (int c = 0; c < columns_; ++c)
    if (CCommonButton* button = GetButton(c, menu_)) button->ResetAnime();
}

int32_t CMenuButtonPanel::CalcuButton(const CInputStatus* input) {
  const auto at = [&](int c) { return GetButton(c, menu_); };
  if (latched_) {
    int32_t code = widget::LatchedStep(columns_, latchedColumn_, input, at);
    if (GetButtonCodeKind(code) == buttoncode::kDecided) code = SetButtonCodeNumber(code, latchedColumn_);
    return code;
  }
  return widget::OpenStep(columns_, input, at, [&](int c, int32_t* code) {
    const int32_t kind = GetButtonCodeKind(*code);
    if (kind == buttoncode::kPressed || kind == buttoncode::kDecided) {
      latched_ = 1;
      latchedColumn_ = c;
      // A press is reported without a number.
      if (kind == buttoncode::kDecided) *code = SetButtonCodeNumber(*code, c);
      return true;
    }
    // All buttons animate in step.
    if ((kind == buttoncode::kEntered || kind == buttoncode::kLeft) && setup_->GetAnimeAdjustFlag())
      ResetMenuAnime();
    return false;
  });
}

void CMenuButtonPanel::Print(int unused) {
  for (int c = 0; c < columns_; ++c) {
    CCommonButton* button = GetButton(c, menu_);
    if (button && button->GetExist()) button->Print(unused);
  }
}

void CMenuButtonPanel::PrintAnime(int time, int timeMax, int type, int dx, int dy) {
  const int64_t t = std::max(timeMax, 1);
  int percent = 100;
  if (type & 1) percent = static_cast<int>(std::clamp<int64_t>(int64_t{time} * 100 / t, 0, 100));
  const int64_t left = t - time;
  const int ox = Saturate(left * dx / t), oy = Saturate(left * dy / t);
  const int kind = type / 2;
  if (kind >= 6 && kind <= 11) {
    PrintWipeAnime(time, timeMax, kind - 6);
    return;
  }
  if (kind < 0 || kind > 5 || percent <= 0) return;
  int z = 100;
  if (kind >= 3) {
    const int64_t zoom = int64_t{time} * 100 / t;
    if (zoom <= 0) return;
    z = static_cast<int>(std::min<int64_t>(zoom, 100));
  }
  // One turn, to five decimals; the offsets are truncated, so this value
  // decides where a flying button stands.
  constexpr double kTurn = 6.28318;
  for (int c = 0; c < columns_; ++c) {
    CCommonButton* button = GetButton(c, menu_);
    if (!button || !button->GetExist()) continue;
    switch (kind) {
      case 0:
        button->PrintShift(ox, oy, percent);
        break;
      case 1:
      case 2: {
        // Each column flies in from its own direction (turning for kind 2).
        double a = static_cast<double>(c) / columns_ * kTurn;
        if (kind == 2) a += static_cast<double>(time) / t * kTurn;
        const double x = ox * std::cos(a) - oy * std::sin(a) + 0.5;
        const double y = ox * std::sin(a) + oy * std::cos(a) + 0.5;
        button->PrintShift(Saturate(static_cast<int64_t>(x)), Saturate(static_cast<int64_t>(y)), percent);
        break;
      }
      case 3:
        button->PrintZoom(z, z, 0, 0, percent);
        break;
      case 4:
        button->PrintZoom(100, z, 0, 0, percent);
        break;
      default:
        button->PrintZoom(z, 100, 0, 0, percent);
        break;
    }
  }
}

void CMenuButtonPanel::PrintWipeAnime(int time, int timeMax, int wipe) {
  if (wipe < 0 || wipe > 5 || columns_ <= 0) return;
  const int64_t t = std::max(timeMax, 1);
  const int64_t e = std::clamp<int64_t>(int64_t{time} * 10000 / t, 0, 10000);
  const int64_t f = 10000 / (2 * int64_t{columns_} + 1);
  const int64_t span = std::max<int64_t>(10000 - f * columns_, 1);
  for (int c = 0; c < columns_; ++c) {
    CCommonButton* button = GetButton(c, menu_);
    if (!button || !button->GetExist()) continue;
    const int64_t start = c * f;
    if (e < start) continue;
    const int p = static_cast<int>(std::min<int64_t>((e - start) * 100 / span, 100));
    switch (wipe) {
      case 0: button->PrintSlideFromTop(p); break;
      case 1: button->PrintSlideFromBottom(p); break;
      case 2: button->PrintSlideFromLeft(p); break;
      case 3: button->PrintSlideFromRight(p); break;
      case 4: button->PrintOpenFromCentreY(p); break;
      default: button->PrintOpenFromCentreX(p); break;
    }
  }
}

template <typename F>
void CMenuButtonPanel::ForCells(int column, int menu, F f) {
  if (column < 0 || column >= columns_) return;
  for (int m = 0; m <= extModes_; ++m)
    if (menu == -1 || menu == m) f(static_cast<size_t>(column) + static_cast<size_t>(m) * columns_);
}

void CMenuButtonPanel::SetCancelButton(int column) {
  ForCells(column, -1, [&](size_t i) { buttons_[i]->SetCancelButton(1); });
}

void CMenuButtonPanel::SetExist(int column, int flag, int menu) {
  ForCells(column, menu, [&](size_t i) { existOverride_[i] = flag; });
}

void CMenuButtonPanel::SetEnable(int column, int flag, int menu) {
  ForCells(column, menu, [&](size_t i) { enableOverride_[i] = flag; });
}

void CMenuButtonPanel::SetPicture(int column, CPicture* picture, int menu) {
  ForCells(column, menu, [&](size_t i) { buttons_[i]->SetPicture(picture); });
}

CPicture* CMenuButtonPanel::GetPicture(int column, int menu) const {
  const CCommonButton* button = GetButton(column, menu);
  return button ? button->GetPicture() : nullptr;
}

const char* CMenuButtonPanel::GetFilename(int column, int menu) const {
  const CCommonButton* button = GetButton(column, menu);
  return button ? button->GetFileName() : nullptr;
}

const char* CMenuButtonPanel::GetExtModeCheckVarName() const {
  return setup_ ? setup_->GetExtModeCheckVarName() : nullptr;
}

const char* CMenuButtonPanel::GetExtModeReturnVarName() const {
  return setup_ ? setup_->GetExtModeReturnVarName() : nullptr;
}
