// CCommonConfig: the settings, the page allocator, entry and the pure
// rules of bars, samples and the voice-button grid.
#include "mode/config.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "mode/screensetvars.h"
#include "services/backscriptservices.h"
#include "services/messagewindowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "message/textprint.h"
#include "mode/modekeys.h"
#include "setup/namelist.h"
#include "widget/backbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"
#include "widget/slider.h"
#include "widget/updownbutton.h"

namespace config {

int BarFromVolume(int volume, int min, int max) {
  const int64_t v = std::clamp(volume, std::min(min, max), std::max(min, max));
  const int64_t span = std::max<int64_t>(1, static_cast<int64_t>(max) - min);
  return static_cast<int>(std::clamp<int64_t>((v - min) * 100 / span, 0, 100));
}

int VolumeFromBar(int bar, int min, int max) {
  const int64_t v = min + (static_cast<int64_t>(max) - min) * bar / 100;
  return static_cast<int>(std::clamp<int64_t>(v, 0, 100));
}

int BarSetting(int kind) {
  switch (kind) {
    case 0: return 105;
    case 6: return 106;
    case 7: return 107;
    default: return 100 + kind - 1;
  }
}

int BarStoredValue(int kind, int bar, int volumeMin, int volumeMax) {
  if (kind == 0 || kind == 7) return bar;
  if (kind == 6) return 100 - bar;
  return VolumeFromBar(bar, volumeMin, volumeMax);
}

int BarShownValue(int kind, int stored, int volumeMin, int volumeMax) {
  if (kind == 0 || kind == 7) return std::clamp(stored, 0, 4);
  if (kind == 6) return static_cast<int>(std::clamp<int64_t>(100 - static_cast<int64_t>(stored), 0, 100));
  return BarFromVolume(stored, volumeMin, volumeMax);
}

// Every entry below 0 plays nothing (a first entry of 0 in the list gives
// -1, a negative one gives less: neither indexes the list).
int SampleEntry(int d, int c, int e, int value) {
  if (d < 0) return -1;
  int64_t entry = d;
  if (c > 0) {
    if (value >= e) {
      entry = static_cast<int64_t>(d) + c + 1;
    } else if (value > 0) {
      const int64_t step = std::max<int64_t>(1, e / c);
      entry = d + std::min<int64_t>(c, (value + step - 1) / step);
    }
  }
  return entry > INT32_MAX ? -1 : static_cast<int>(entry);
}

void GridCell(int i, int numberX, int numberY, int* column, int* row) {
  if (numberY > 0) {
    *column = i / numberY;
    *row = i % numberY;
  } else if (numberX > 0) {
    *column = i % numberX;
    *row = i / numberX;
  } else {
    *column = *row = -1;
  }
}

}  // namespace config

namespace config {

std::string Key(const char* pattern, const char* name) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, name);
  return buffer;
}

std::string Key(const char* pattern, int n) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, n);
  return buffer;
}

}  // namespace config

using config::Key;

CCommonConfig::CCommonConfig(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("Config", 1024);
  LoadBackScriptSetup();
  LoadFadeSetup();
  LoadKeyMoveSetup(0, 0, 0);
  LoadMustAllPrintFlag();
  LoadBackButtonSetup();
  LoadUpDownButtonSetup();
  CreateUpdownBack();
  LoadPages();
  LoadBars();
  LoadRadios();
  LoadVoiceButtons();
  LoadWindowSample();
  LoadSamples();
  if (game_ && game_.text->GetFont()) text_ = std::make_unique<CTextPrint>(game_.text->GetFont());
}

CCommonConfig::~CCommonConfig() { Release(); }

void CCommonConfig::Release() {
  tab_.reset();
  for (auto& bar : bars_) {
    bar.slider.reset();
    bar.onOff.reset();
  }
  for (auto& radio : modeRadios_) radio.reset();
  extraRadios_.clear();
  extraChecks_.clear();
  voices_.clear();
  sampleList_.reset();
  text_.reset();
}

// --- Settings ---

void CCommonConfig::LoadPages() {
  GetSetupInt(&pageMax_, "modePageMax");
  pageMax_ = std::clamp(pageMax_, 1, kMaxPages);
  pageMode_ = pageMax_ > 1 ? 1 : 0;
  GetSetupInt(&pageMode_, "pageMode");
  if (pageMode_ < 0 || pageMode_ > 2) pageMode_ = 0;
  GetSetupInt(&mustStartPage1_, "mustStartPage1Flag");
  GetSetupInt(&pageNumberSetFlag_, "pageNumberSetFlag");
  GetSetupInt(&changePageRestartScript_, "changePageRestartScriptFlag");
  if (pageNumberSetFlag_ && game_) {
    // "コンフィグページ"
    const char* name = "\x83\x52\x83\x93\x83\x74\x83\x42\x83\x4F\x83\x79\x81\x5B\x83\x57";
    GetSetupString(&name, screensetvars::kConfigPage);
    pageVar_ = game_.variables->GetVarNumber(name);
  }
  const char* common = "bg_config";
  GetSetupString(&common, "filenameBG");
  pageBackground_.assign(pageMax_, common);
  for (int p = 0; p < pageMax_; ++p) {
    if (p > 0) pageBackground_[p] = pageBackground_[p - 1];
    GetSetupString(&pageBackground_[p], Key("filenameBG%d", p + 1).c_str());
  }
  effectCounter_.assign(pageMax_, backScriptFlag_ ? kEffectPictures : 0);
  poolCounter_.assign(pageMax_, kFirstPoolPicture);
  if (pageMode_ == 2) {
    tab_ = std::make_unique<CCommonRadioButtonGroup>(GetSetupList(), "tab", ControlBack(), pageMax_);
    for (int i = 0; i < tab_->GetCount(); ++i)
      for (int s = 0; s < 2; ++s) tab_->SetPicture(TakePicture(-1), i, s);
  }
}

CPicture* CCommonConfig::TakePicture(int page) {
  const int p = page == -1 ? 0 : std::clamp(page - 1, 0, pageMax_ - 1);
  CPicture* picture = nullptr;
  if (effectCounter_[p] < kEffectPictures && game_) {
    picture = game_.screen->GetEffectPicture(effectCounter_[p]);
    if (page == -1) {
      for (int& c : effectCounter_) c = std::max(c, effectCounter_[p] + 1);
    } else {
      ++effectCounter_[p];
    }
    if (picture) return picture;
  }
  picture = CPicturePool::GetPicture(poolCounter_[p]);
  if (page == -1) {
    const int next = poolCounter_[p] + 1;
    for (int& c : poolCounter_) c = std::max(c, next);
  } else {
    ++poolCounter_[p];
  }
  return picture;
}

CPicture* CCommonConfig::ControlBack() const {
  return (backScriptFlag_ || mustAllPrintFlag_) ? nullptr : screenPicture_;
}

void CCommonConfig::LoadBars() {
  GetSetupInt(&volumeNumber_, "volumeNumber");
  volumeNumber_ = std::clamp(volumeNumber_, 0, config::kBarKinds);
  GetSetupInt(&volumeMin_, "volumeMin");
  GetSetupInt(&volumeMax_, "volumeMax");
  int sizeX = 338, sizeY = 19;
  GetSetupInt(&sizeX, "volumeSizeX");
  GetSetupInt(&sizeY, "volumeSizeY");
  const CCommonButtonSetup* previous = nullptr;
  for (int k = 0; k < volumeNumber_; ++k) {
    const char* name = config::kBarNames[k];
    int exist = 1;
    GetSetupInt(&exist, Key("%sVolumeExistFlag", name).c_str());
    if (!exist) continue;
    Bar& bar = bars_[k];
    GetSetupInt(&bar.page, Key("%sVolumePrintPage", name).c_str());
    GetSetupInt(&sizeX, Key("volumeSizeX%d", k + 1).c_str());
    GetSetupInt(&sizeY, Key("volumeSizeY%d", k + 1).c_str());
    int x = 0, y = k * sizeY;
    GetSetupInt(&x, Key("%sVolumePrintX", name).c_str());
    GetSetupInt(&y, Key("%sVolumePrintY", name).c_str());
    const char* file = "ta_opt_bar";
    GetSetupString(&file, Key("%sBarFileName", name).c_str());
    int trans = 1;
    GetSetupInt(&trans, Key("%sVolumeTransFlag", name).c_str());
    CPicture* picture = game_ ? game_.screen->LoadSystemPicture(file, 0) : nullptr;
    const int max = (k == 0 || k == 7) ? 4 : 100;
    bar.slider = std::make_unique<CCommonSlider>(picture, max, x, y, sizeX, sizeY, 0, 0, trans,
                                                 ControlBack(), 0);
    if (k < 1 || k > 5) continue;
    bar.onOff = std::make_unique<CCommonCheckButton>(GetSetupList(), ControlBack(),
                                                     Key("%sButton", name).c_str(), nullptr, previous);
    previous = bar.onOff->GetStateSetup(1);
    int bx = x - bar.onOff->GetSize(0).x, by = y;
    GetSetupInt(&bx, Key("%sButtonPrintX", name).c_str());
    GetSetupInt(&by, Key("%sButtonPrintY", name).c_str());
    bar.onOff->SetPrintXY(bx, by, -1);
    for (int s = 0; s < 2; ++s) bar.onOff->SetPicture(TakePicture(bar.page), s);
  }
}

void CCommonConfig::LoadRadios() {
  for (int i = 0; i < config::kModeRadios; ++i) {
    const char* name = config::kModeRadioNames[i];
    modeRadioPage_[i] = 1;
    GetSetupInt(&modeRadioPage_[i], Key("%sModeButtonPrintPage", name).c_str());
    modeRadios_[i] = std::make_unique<CCommonRadioButtonGroup>(GetSetupList(), name, ControlBack(), 2);
    for (int b = 0; b < 2; ++b)
      for (int s = 0; s < 2; ++s) modeRadios_[i]->SetPicture(TakePicture(modeRadioPage_[i]), b, s);
  }
  GetSetupInt(&voicePage_, "voicePrintPage");
  const int radios = ReadCount(*this, "expRadioNumber", 0, kMaxExtras);
  for (int i = 1; i <= radios; ++i) {
    Extra extra;
    GetSetupInt(&extra.page, Key("exp%dRadioPrintPage", i).c_str());
    const int count = ReadCount(*this, Key("exp%dRadio", i).c_str(), 2, kMaxRadioButtons);
    extra.radio = std::make_unique<CCommonRadioButtonGroup>(GetSetupList(), Key("exp%dRadio", i).c_str(),
                                                            ControlBack(), count);
    for (int b = 0; b < extra.radio->GetCount(); ++b)
      for (int s = 0; s < 2; ++s) extra.radio->SetPicture(TakePicture(extra.page), b, s);
    extraRadios_.push_back(std::move(extra));
  }
  const int checks = ReadCount(*this, "expCheckNumber", 0, kMaxExtras);
  for (int i = 1; i <= checks; ++i) {
    Extra extra;
    GetSetupInt(&extra.page, Key("exp%dCheckPrintPage", i).c_str());
    extra.check = std::make_unique<CCommonCheckButton>(GetSetupList(), ControlBack(),
                                                       Key("exp%dCheck", i).c_str());
    for (int s = 0; s < 2; ++s) extra.check->SetPicture(TakePicture(extra.page), s);
    extraChecks_.push_back(std::move(extra));
  }
}

void CCommonConfig::LoadWindowSample() {
  designCount_ = game_ ? std::max(1, game_.messageWindow->GetConfigHelperValue()) : 1;
  windowPrintFlag_ = designCount_ - 1;
  GetSetupInt(&windowPrintFlag_, "windowPrintFlag");
  GetSetupInt(&windowPage_, "windowPrintPage");
  GetSetupInt(&windowX_, "windowPrintX");
  GetSetupInt(&windowY_, "windowPrintY");
  const int lines = ReadCount(*this, "windowMessageNumber", 0, kMaxSampleLines);
  sampleLines_.assign(lines, nullptr);
  for (int i = 0; i < lines; ++i) GetSetupString(&sampleLines_[i], Key("windowMessage%d", i + 1).c_str());
  GetSetupInt(&messageX_, "messagePrintX");
  GetSetupInt(&messageY_, "messagePrintY");
  GetSetupInt(&messageNextX_, "messageNextX");
  GetSetupInt(&messageNextY_, "messageNextY");
  GetSetupInt(&messageSize_, "messageFontSize");
  static constexpr const char* kParts[4] = {"R", "G", "B", "A"};
  for (int c = 0; c < 4; ++c) GetSetupInt(&messageColor_[c], (std::string("messageColor") + kParts[c]).c_str());
  GetSetupString(&sampleName_, "nameWindowMessage");
  GetSetupInt(&nameX_, "namePrintX");
  GetSetupInt(&nameY_, "namePrintY");
  nameSize_ = messageSize_;
  GetSetupInt(&nameSize_, "nameFontSize");
  for (int c = 0; c < 4; ++c) {
    nameColor_[c] = messageColor_[c];
    GetSetupInt(&nameColor_[c], (std::string("nameColor") + kParts[c]).c_str());
  }
}

// --- Entry ---

void CCommonConfig::BeforeInit() {
  if (mustStartPage1_) page_ = 0;
  page_ = std::clamp(page_, 0, pageMax_ - 1);
  if (backScriptFlag_) WritePageVar();
}

void CCommonConfig::WritePageVar() {
  if (pageNumberSetFlag_ && pageVar_ >= 0 && game_) game_.variables->SetVar(pageVar_, page_ + 1);
}

int CCommonConfig::Init() {
  if (game_) game_.sound->StopAllSound();
  pageRequested_ = 0;
  if (!backScriptFlag_ && screenPicture_)
    screenPicture_->LoadDWQ(("sys\\" + std::string(pageBackground_[page_])).c_str());
  ReloadBackButtonPicture();
  SetBackButtonPos();
  if (backScriptFlag_) WritePageVar();
  if (pageMode_ == 1 && upDownButtons_) {
    upDownButtons_->SetPageMax(pageMax_);
    upDownButtons_->SetPage(page_);
    ReloadUpDownButtonPicture();
    SetUpDownButtonPos();
  }
  InitVoiceButtons();
  SetBarsFromSettings();
  const int lock = game_ ? game_.variables->GetConfigFlagB() : 0;
  for (int i = 0; i < static_cast<int>(extraRadios_.size()); ++i) {
    extraRadios_[i].radio->SetSelect(game_ ? game_.variables->GetSystemSetting(300 + i) : 0);
    if (i < 8) extraRadios_[i].radio->SetEnableAll((lock >> i) & 1 ? 0 : 1);
  }
  for (int i = 0; i < static_cast<int>(extraChecks_.size()); ++i) {
    CCommonCheckButton* check = extraChecks_[i].check.get();
    check->SetState(game_ && game_.variables->GetSystemSetting(400 + i) ? 1 : 0);
    check->Init();
    if (i < 8) check->SetEnable((lock >> (i + 8)) & 1 ? 0 : 1);
  }
  ReloadPage();
  pressState_ = -1;
  if (backButton_) backButton_->Init();
  if (updownBack_ && pageMode_ == 1) updownBack_->Init();
  if (tab_) tab_->SetSelect(page_);
  return 0;
}

void CCommonConfig::SetBarsFromSettings() {
  for (int k = 0; k < config::kBarKinds; ++k) {
    Bar& bar = bars_[k];
    if (bar.onOff) {
      bar.onOff->SetState(game_ && game_.variables->GetSystemSetting(200 + k - 1) ? 1 : 0);
      bar.onOff->Init();
    }
    if (!bar.slider) continue;
    const int stored = game_ ? game_.variables->GetSystemSetting(config::BarSetting(k)) : 0;
    bar.slider->SetValue(config::BarShownValue(k, stored, volumeMin_, volumeMax_));
  }
  for (int i = 0; i < config::kModeRadios; ++i)
    modeRadios_[i]->SetSelect(game_ && game_.variables->GetSystemSetting(config::kModeRadioSettings[i]) ? 1 : 0);
}

void CCommonConfig::ReloadCheck(CCommonMultiStateButton* check) const {
  if (!check) return;
  for (int s = 0; s < check->GetStateCount(); ++s) ReloadButtonPicture(check->GetStateButton(s), nullptr);
}

void CCommonConfig::ReloadRadio(CCommonRadioButtonGroup* radio) const {
  if (!radio) return;
  for (int i = 0; i < radio->GetCount(); ++i) ReloadCheck(radio->GetItem(i));
}

// Pictures of every control of the current page.
void CCommonConfig::ReloadPage() {
  for (int k = 0; k < config::kBarKinds; ++k)
    if (OnPage(bars_[k].page)) ReloadCheck(bars_[k].onOff.get());
  for (int i = 0; i < config::kModeRadios; ++i)
    if (OnPage(modeRadioPage_[i])) ReloadRadio(modeRadios_[i].get());
  for (auto& extra : extraRadios_)
    if (OnPage(extra.page)) ReloadRadio(extra.radio.get());
  for (auto& extra : extraChecks_)
    if (OnPage(extra.page)) ReloadCheck(extra.check.get());
  for (int i = 0; i < static_cast<int>(voices_.size()); ++i) ReloadVoiceButton(i);
  if (tab_) ReloadRadio(tab_.get());
}

void CCommonConfig::ChangePage() {
  page_ = std::clamp(requestedPage_, 0, pageMax_ - 1);
  pageRequested_ = 0;
  if (!backScriptFlag_ && screenPicture_)
    screenPicture_->LoadDWQ(("sys\\" + std::string(pageBackground_[page_])).c_str());
  if (pageMode_ == 1 && upDownButtons_) {
    upDownButtons_->SetPage(page_);
    updownBack_->Init();
  } else if (backButton_) {
    backButton_->Init();
  }
  if (tab_) tab_->SetSelect(page_);
  ReloadPage();
  pressState_ = -1;
  if (backScriptFlag_) {
    WritePageVar();
    if (changePageRestartScript_ && game_) game_.backScript->ResetBackScript();
  }
  CScreenBuffer::SetFullRedraw(0);
}

void CCommonConfig::UpdateWindowModeButtons() {
  CCommonRadioButtonGroup* radio = modeRadios_[0].get();
  if (!radio) return;
  radio->SetSelect(game_ && game_.variables->GetSystemSetting(4) ? 1 : 0);
  if (OnPage(modeRadioPage_[0])) ReloadRadio(radio);
}

int CCommonConfig::PrintEnterScreen() { return Print(); }

// --- Test access ---

CCommonSlider* CCommonConfig::GetBar(int kind) const {
  return kind >= 0 && kind < config::kBarKinds ? bars_[kind].slider.get() : nullptr;
}
CCommonCheckButton* CCommonConfig::GetSwitch(int kind) const {
  return kind >= 0 && kind < config::kBarKinds ? bars_[kind].onOff.get() : nullptr;
}
CCommonRadioButtonGroup* CCommonConfig::GetModeRadio(int i) const {
  return i >= 0 && i < config::kModeRadios ? modeRadios_[i].get() : nullptr;
}
CCommonRadioButtonGroup* CCommonConfig::GetExtraRadio(int i) const {
  return i >= 0 && i < static_cast<int>(extraRadios_.size()) ? extraRadios_[i].radio.get() : nullptr;
}
CCommonCheckButton* CCommonConfig::GetExtraCheck(int i) const {
  return i >= 0 && i < static_cast<int>(extraChecks_.size()) ? extraChecks_[i].check.get() : nullptr;
}
CCommonCheckButton* CCommonConfig::GetVoiceButton(int i) const {
  return i >= 0 && i < static_cast<int>(voices_.size()) ? voices_[i].button.get() : nullptr;
}
CCommonSlider* CCommonConfig::GetVoiceBar(int i) const {
  return i >= 0 && i < static_cast<int>(voices_.size()) ? voices_[i].bar.get() : nullptr;
}
