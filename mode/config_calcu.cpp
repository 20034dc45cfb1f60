// CCommonConfig: the frame's calculation and drawing.
#include <algorithm>
#include <string>

#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/config.h"
#include "platform/system.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"
#include "widget/slider.h"
#include "widget/updownbutton.h"

namespace {

constexpr int kHomeKey = 36;

bool Decided(int32_t code) { return GetButtonCodeKind(code) == buttoncode::kDecided; }

}  // namespace

int CCommonConfig::LeaveScreen() {
  if (game_) game_.modeFlow->SetReturnFlag();
  return ExitToMode(parameter_);
}

int CCommonConfig::Calcu() {
  CMyKeyStatus* keys = input_ ? input_->GetKeyStatus() : nullptr;
  if (keys && keys->CheckKey(kHomeKey, 1) && game_ && game_.variables->GetConfigFlagA()) game_.modeFlow->ClearPlayCount();

  // Page and exit controls. A press that ended without a decision (let go
  // outside the control) frees the other controls again at once.
  const int32_t code = pageMode_ == 1 ? (updownBack_ ? updownBack_->Calcu(input_) : -1)
                                      : (backButton_ ? backButton_->Calcu(input_) : -1);
  const int32_t kind = GetButtonCodeKind(code);
  if (kind == buttoncode::kPressed) {
    pressState_ = -2;
  } else if (pressState_ == -2 && kind != buttoncode::kBusy && kind != buttoncode::kDecided) {
    pressState_ = -1;
  }
  if (pageMode_ == 1) {
    const int n = CheckButtonResult3(code);
    if (n == 0) return LeaveScreen();
    if (n > 0) {
      requestedPage_ = n - 1;
      pageRequested_ = 1;
    }
  } else {
    CheckButtonResult(code);
    if (Decided(code)) return LeaveScreen();
    if (tab_) {
      const int n = CheckButtonResult2(tab_->Calcu(pressState_ == -1 ? input_ : nullptr));
      if (n >= 0 && n != page_) {
        requestedPage_ = n;
        pageRequested_ = 1;
      }
    }
  }
  const bool free = pressState_ == -1;
  const CInputStatus* input = free ? input_ : nullptr;

  if (OnPage(voicePage_)) CalcuVoiceButtons(free);

  for (int i = 0; i < config::kModeRadios; ++i) {
    if (!OnPage(modeRadioPage_[i])) continue;
    // The screen radio switches first: the switch does nothing when
    // setting 4 already holds its target.
    const int a = CalcuRadio(modeRadios_[i].get(), input, i == 0 ? -1 : config::kModeRadioSettings[i]);
    if (a < 0 || i != 0 || !game_) continue;
    if (a == 1)
      game_.screen->ToFullScreenMode(0);
    else
      game_.screen->ToWindowMode(0);
    game_.variables->SetSystemSetting(4, a);
  }
  for (int i = 0; i < static_cast<int>(extraRadios_.size()); ++i)
    if (OnPage(extraRadios_[i].page)) CalcuRadio(extraRadios_[i].radio.get(), input, 300 + i);
  for (int i = 0; i < static_cast<int>(extraChecks_.size()); ++i)
    if (OnPage(extraChecks_[i].page)) CalcuToggle(extraChecks_[i].check.get(), input, 400 + i);
  CalcuBars();
  CalcuWindowSample();
  return -1;
}

// A decided radio selection is stored in `setting` (unless -1) and shown;
// the selection, or -1.
int CCommonConfig::CalcuRadio(CCommonRadioButtonGroup* radio, const CInputStatus* input, int setting) {
  const int a = CheckButtonResult(radio->Calcu(input));
  if (a < 0) return -1;
  if (game_ && setting >= 0) game_.variables->SetSystemSetting(setting, a);
  radio->SetSelect(a);
  ReloadRadio(radio);
  return a;
}

// A decided check turns over; its new state is stored in `setting` and
// shown. The new state, or -1.
int CCommonConfig::CalcuToggle(CCommonCheckButton* check, const CInputStatus* input, int setting) {
  const int a = CheckButtonResult(check->Calcu(input));
  if (a < 0) return -1;
  if (game_) game_.variables->SetSystemSetting(setting, 1 - a);
  check->SetState(1 - a);
  check->Init();
  ReloadCheck(check);
  return 1 - a;
}

// Bars and their switches always take the mouse.
void CCommonConfig::CalcuBars() {
  const CMouseStatus* mouse = input_ ? input_->GetMouseStatus() : nullptr;
  for (int k = 0; k < config::kBarKinds; ++k) {
    Bar& bar = bars_[k];
    if (!bar.slider || !OnPage(bar.page)) continue;
    if (k >= 1 && k <= 5 && game_ && game_.variables->GetSystemSetting(200 + k - 1) != 1) continue;
    const int before = bar.slider->GetValue();
    const int value = bar.slider->Calcu(mouse);
    if (value < 0) continue;
    if (value != before && game_)
      game_.variables->SetSystemSetting(config::BarSetting(k), config::BarStoredValue(k, value, volumeMin_, volumeMax_));
    // A click starts a drag: the sample plays once, when it ends.
    if (extSeFlag_ && !bar.slider->CheckDrag()) PlaySampleSound(k, value);
  }
  for (int k = 1; k <= 5; ++k) {
    Bar& bar = bars_[k];
    if (!bar.onOff || !OnPage(bar.page)) continue;
    const int on = CalcuToggle(bar.onOff.get(), input_, 200 + k - 1);
    if (k == 2 && on == 1) PlayClickOfState(bar.onOff.get(), 0);
  }
}

void CCommonConfig::PlayClickOfState(const CCommonCheckButton* button, int state) const {
  const CCommonButton* own = button ? button->GetStateButton(state) : nullptr;
  if (own && own->GetClickSound() > 0 && game_)
    game_.sound->PlaySystemSe(own->GetClickSound() - 1, own->GetVolumeType());
}

void CCommonConfig::CalcuWindowSample() {
  if (!game_) return;
  designCount_ = std::max(1, game_.messageWindow->GetConfigHelperValue());
  if (designCount_ < 2 || !OnPage(windowPage_)) return;
  const CMouseStatus* mouse = input_ ? input_->GetMouseStatus() : nullptr;
  if (!mouse || !mouse->GetClick(0)) return;
  platform::Point point{};
  mouse->GetPos(&point);
  if (!game_.messageWindow->CheckMessageWindowHit(point.x - windowX_, point.y - windowY_)) return;
  game_.messageWindow->SetWindowNumberConfig((game_.messageWindow->GetWindowNumberConfig() + 1) % designCount_);
  platform::DebugOutput("windowchanged[config]\n");
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonConfig::Print() {
  PrintBackScreen();
  const int full = CScreenBuffer::CheckFullRedraw();
  if (OnPage(voicePage_)) PrintVoiceButtons(full);
  for (int i = 0; i < config::kModeRadios; ++i)
    if (OnPage(modeRadioPage_[i])) modeRadios_[i]->Print();
  for (auto& extra : extraRadios_)
    if (OnPage(extra.page)) extra.radio->Print();
  for (auto& extra : extraChecks_)
    if (OnPage(extra.page)) extra.check->Print();
  for (int k = 0; k < config::kBarKinds; ++k) {
    Bar& bar = bars_[k];
    if (!bar.slider || !OnPage(bar.page)) continue;
    const bool off = k >= 1 && k <= 5 && game_ && game_.variables->GetSystemSetting(200 + k - 1) == 0;
    bar.slider->Print(full, off ? 1 : 0);
    if (bar.onOff) bar.onOff->Print();
  }
  if (full) PrintWindowSample();
  if (pageMode_ == 1) {
    if (updownBack_) updownBack_->Print();
  } else if (backButton_) {
    backButton_->Print();
  }
  if (tab_) tab_->Print();
  if (pageRequested_) ChangePage();
  return 0;
}

void CCommonConfig::PrintWindowSample() {
  if (!windowPrintFlag_ || !OnPage(windowPage_) || !game_) return;
  game_.messageWindow->CheckMessageWindow(1, 1, platform::Point{windowX_, windowY_});
  if (!text_) return;
  for (int i = 0; i < static_cast<int>(sampleLines_.size()); ++i) {
    const char* line = sampleLines_[i];
    if (!line || line[0] == '@') continue;
    text_->Print(windowX_ + messageX_ + i * messageNextX_, windowY_ + messageY_ + i * messageNextY_, line,
                 messageSize_, messageColor_[0], messageColor_[1], messageColor_[2]);
  }
  if (sampleName_)
    text_->Print(windowX_ + nameX_, windowY_ + nameY_, sampleName_, nameSize_, nameColor_[0], nameColor_[1],
                 nameColor_[2]);
}
