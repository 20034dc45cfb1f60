// CCommonConfig: mode 12, the configuration screen. The player's options on
// one or more pages: value bars for volumes, speeds and the window
// opacity with the volumes' on/off checks, the screen, skip and auto
// radios, the game's extra radios and checks, per-character voice buttons
// with their volume bars, and a live sample of the message window. Every
// change goes into the system settings at once; leaving keeps what was
// set and hands the paused story back (the game's return flag).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"

class CCommonButtonSetup;
class CCommonCheckButton;
class CCommonMultiStateButton;
class CCommonRadioButtonGroup;
class CCommonSlider;
class CInputStatus;
class CNameList;
class CPicture;
class CTextPrint;

// The screen's pure rules, shared by the mode and its tests.
namespace config {

// Bar kinds 0..7 and the three mode radios, by their list names.
constexpr int kBarKinds = 8;
constexpr const char* kBarNames[kBarKinds] = {"messageSpeed", "music",     "sound",         "voice",
                                              "movie",        "soundvoice", "windowPercent", "autoSpeed"};
constexpr int kModeRadios = 3;
constexpr const char* kModeRadioNames[kModeRadios] = {"screen", "skip", "auto"};
constexpr int kModeRadioSettings[kModeRadios] = {4, 2, 6};

// Bar value 0..100 of a stored volume in min..max.
int BarFromVolume(int volume, int min, int max);
// Stored volume (held to 0..100) of a bar value.
int VolumeFromBar(int bar, int min, int max);
// The setting a bar of kind k writes and the value it stores; the bar's
// value from the settings.
int BarSetting(int kind);
int BarStoredValue(int kind, int bar, int volumeMin, int volumeMax);
int BarShownValue(int kind, int stored, int volumeMin, int volumeMax);
// The sample entry of a bar value: first entry d (-1 none), c divisions,
// full value e; -1 when nothing plays for want of an entry.
int SampleEntry(int d, int c, int e, int value);
// A printf pattern with one name or number ("%sVolumePrintX" with "music").
std::string Key(const char* pattern, const char* name);
std::string Key(const char* pattern, int n);
// Button i's grid cell: (column, row), or (-1, -1) when the grid places
// nothing (both counts 0).
void GridCell(int i, int numberX, int numberY, int* column, int* row);

}  // namespace config

class CCommonConfig : public CCommonGeneral, public CConfigScreen {
 public:
  static constexpr int kModeNumber = modenumber::kConfig;
  // First pool picture of the page allocator; channel pictures 0..15 go
  // first.
  static constexpr int kFirstPoolPicture = 3;
  static constexpr int kEffectPictures = 16;
  // Bounds of the list's counts.
  static constexpr int kMaxPages = 127;
  static constexpr int kMaxVoiceButtons = 72;
  static constexpr int kMaxCharasPerButton = 72;
  static constexpr int kMaxExtras = 64;
  static constexpr int kMaxRadioButtons = 16;
  static constexpr int kMaxSampleLines = 64;

  explicit CCommonConfig(const GameRoles& game);
  ~CCommonConfig() override;
  void RegisterRoles(ModeRoles* roles) override { roles->config = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  void BeforeInit() override;
  int PrintEnterScreen() override;
  void Release();

  // After a window / full-screen switch made anywhere: the "screen" radio
  // shows setting 4.
  void UpdateWindowModeButtons() override;
  // The 1-based voice button whose setting governs character `chara`; the
  // character itself when no custom table names it.
  int GetVoiceOffButton(int chara) const override;
  // Plays the sample of bar kind `kind` at bar value `value`.
  void PlaySampleSound(int kind, int value);

  // For tests.
  int GetPage() const { return page_; }
  int GetPageCount() const { return pageMax_; }
  int GetPageMode() const { return pageMode_; }
  int GetPressState() const { return pressState_; }
  CCommonSlider* GetBar(int kind) const;
  CCommonCheckButton* GetSwitch(int kind) const;
  CCommonRadioButtonGroup* GetModeRadio(int i) const;
  CCommonRadioButtonGroup* GetExtraRadio(int i) const;
  CCommonCheckButton* GetExtraCheck(int i) const;
  CCommonCheckButton* GetVoiceButton(int i) const;
  CCommonSlider* GetVoiceBar(int i) const;
  int GetVoiceButtonCount() const { return static_cast<int>(voices_.size()); }
  int GetCharaVolumeMin() const { return charaVolumeMin_; }
  int GetCharaVolumeMax() const { return charaVolumeMax_; }
  int GetSampleListCount() const;

 private:
  struct Bar {
    std::unique_ptr<CCommonSlider> slider;
    std::unique_ptr<CCommonCheckButton> onOff;  // kinds 1..5
    int page = 1;
  };
  struct Extra {
    std::unique_ptr<CCommonRadioButtonGroup> radio;
    std::unique_ptr<CCommonCheckButton> check;
    int page = 1;
  };
  struct Voice {
    std::unique_ptr<CCommonCheckButton> button;
    std::unique_ptr<CCommonSlider> bar;
    int nameVar = -1, soundVar = -1;
    std::array<int, 16> sounds{};  // set 0 then set 1: state 0 then 1, click bad enter exit
    std::vector<int> charas;
  };
  struct Sample {
    int first = 0, divisions = 0, full = 100, isVoice = 0;
  };

  void LoadPages();
  void LoadBars();
  void LoadRadios();
  void LoadWindowSample();
  void LoadVoiceButtons();
  void LoadSamples();

  // The next work picture for page p (1-based; -1 a shared control).
  CPicture* TakePicture(int page);
  CPicture* ControlBack() const;
  bool OnPage(int page) const { return page == page_ + 1; }
  void ReloadCheck(CCommonMultiStateButton* check) const;
  void ReloadRadio(CCommonRadioButtonGroup* radio) const;
  void ReloadVoiceButton(int i) const;
  void ReloadPage();
  void ChangePage();
  void WritePageVar();
  int LeaveScreen();

  void InitVoiceButtons();
  void CalcuVoiceButtons(bool mouse);
  void PrintVoiceButtons(int full);
  void CalcuBars();
  int CalcuRadio(CCommonRadioButtonGroup* radio, const CInputStatus* input, int setting);
  int CalcuToggle(CCommonCheckButton* check, const CInputStatus* input, int setting);
  void PrintWindowSample();
  void CalcuWindowSample();
  void SetBarsFromSettings();
  void PlayClickOfState(const CCommonCheckButton* button, int state) const;

  // Pages.
  int pageMax_ = 1, pageMode_ = 0, mustStartPage1_ = 0;
  int pageNumberSetFlag_ = 0, pageVar_ = -1, changePageRestartScript_ = 0;
  std::vector<const char*> pageBackground_;
  int page_ = 0, requestedPage_ = 0, pageRequested_ = 0;
  int pressState_ = -1;
  std::vector<int> effectCounter_, poolCounter_;
  std::unique_ptr<CCommonRadioButtonGroup> tab_;

  // Bars, radios, extras.
  int volumeNumber_ = 6, volumeMin_ = 80, volumeMax_ = 100;
  std::array<Bar, config::kBarKinds> bars_;
  std::array<std::unique_ptr<CCommonRadioButtonGroup>, config::kModeRadios> modeRadios_;
  std::array<int, config::kModeRadios> modeRadioPage_{};
  int voicePage_ = 1;
  std::vector<Extra> extraRadios_, extraChecks_;

  // Message-window sample.
  int windowPrintFlag_ = 0, windowPage_ = 1, windowX_ = 0, windowY_ = 0;
  std::vector<const char*> sampleLines_;
  int messageX_ = 0, messageY_ = 0, messageNextX_ = 0, messageNextY_ = 20, messageSize_ = 24;
  int messageColor_[4] = {255, 255, 255, 255};
  const char* sampleName_ = nullptr;
  int nameX_ = 0, nameY_ = 0, nameSize_ = 24;
  int nameColor_[4] = {255, 255, 255, 255};
  int designCount_ = 1;
  std::unique_ptr<CTextPrint> text_;

  // Voice buttons.
  int charaVolumeFlag_ = 0, charaVolumeMin_ = -15, charaVolumeMax_ = 15;
  int nameChangeFlag_ = 0, voiceChangeFlag_ = 0, checkAppearFlag_ = 0, customFlag_ = 0;
  std::vector<Voice> voices_;

  // Samples.
  int extSeFlag_ = 0, sameBufferFlag_ = 0;
  std::array<Sample, config::kBarKinds> samples_{};
  std::unique_ptr<CNameList> sampleList_;
};
