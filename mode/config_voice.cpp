// CCommonConfig: the per-character voice buttons with their volume bars,
// and the samples the bars play.
#include <algorithm>
#include <cstdio>
#include <string>

#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "mode/config.h"
#include "mode/modekeys.h"
#include "setup/namelist.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/multistatebutton.h"
#include "widget/slider.h"

namespace {

constexpr int kCharaVolumeLimit = 15;

using config::Key;

// The eight alternate sounds, by state (off, on) and kind (click, refused,
// enter, leave).
constexpr const char* kAlternateKeys[8] = {
    "voiceVoiceChangeVoiceOffClick%d", "voiceVoiceChangeVoiceOffCannot%d", "voiceVoiceChangeVoiceOffEnter%d",
    "voiceVoiceChangeVoiceOffExit%d",  "voiceVoiceChangeVoiceOnClick%d",   "voiceVoiceChangeVoiceOnCannot%d",
    "voiceVoiceChangeVoiceOnEnter%d",  "voiceVoiceChangeVoiceOnExit%d"};

int OwnSound(const CCommonButton* button, int kind) {
  if (!button) return 0;
  switch (kind) {
    case 0: return button->GetClickSound();
    case 1: return button->GetBadSound();
    case 2: return button->GetEnterSound();
    default: return button->GetExitSound();
  }
}

// Per-kind sample defaults.
constexpr int kDivisions[config::kBarKinds] = {3, 0, 0, 9, 0, 0, 0, 3};
constexpr int kIsVoice[config::kBarKinds] = {1, 0, 0, 0, 0, 0, 0, 1};
constexpr int kFull[config::kBarKinds] = {4, 100, 100, 100, 100, 100, 100, 4};

}  // namespace

void CCommonConfig::LoadVoiceButtons() {
  int flag = 1;
  GetSetupInt(&flag, "voiceCutButtonFlag");
  const int count = ReadCount(*this, "voiceCutButtonNumber", 0, kMaxVoiceButtons);
  GetSetupInt(&charaVolumeFlag_, "charaVoiceVolumeFlag");
  GetSetupInt(&charaVolumeMin_, "charaVoiceVolumeMin");
  GetSetupInt(&charaVolumeMax_, "charaVoiceVolumeMax");
  charaVolumeMin_ = std::clamp(charaVolumeMin_, -kCharaVolumeLimit, kCharaVolumeLimit);
  charaVolumeMax_ = std::clamp(charaVolumeMax_, -kCharaVolumeLimit, kCharaVolumeLimit);
  charaVolumeMax_ = std::max(charaVolumeMax_, charaVolumeMin_);
  if (!flag || count == 0) return;

  GetSetupInt(&nameChangeFlag_, "voiceNameChangeFlag");
  GetSetupInt(&voiceChangeFlag_, "voiceVoiceChangeFlag");
  GetSetupInt(&checkAppearFlag_, "voiceCutButtonCheckAppearFlag");
  int grid = 0, originX = 0, originY = 0, nextX = 100, nextY = 30, numberX = 5, numberY = 0;
  GetSetupInt(&grid, "voiceAutoLineSetFlag");
  GetSetupInt(&originX, "voiceAutoLinePrintX");
  GetSetupInt(&originY, "voiceAutoLinePrintY");
  GetSetupInt(&nextX, "voiceAutoLineNextX");
  GetSetupInt(&nextY, "voiceAutoLineNextY");
  GetSetupInt(&numberX, "voiceAutoLineNumberX");
  GetSetupInt(&numberY, "voiceAutoLineNumberY");
  const char* barFile = nullptr;
  GetSetupString(&barFile, "filenameCharaVoiceVolume");
  CPicture* barPicture = barFile && game_ ? game_.screen->LoadSystemPicture(barFile, 0) : nullptr;
  int barX = 0, barY = 30, barW = 200, barH = 20;
  GetSetupInt(&barX, "charaVolumePrintX");
  GetSetupInt(&barY, "charaVolumePrintY");
  GetSetupInt(&barW, "charaVolumeSizeX");
  GetSetupInt(&barH, "charaVolumeSizeY");
  GetSetupInt(&customFlag_, "voiceCutButtonCustomFlag");

  int runningChara = 0;
  const CCommonButtonSetup* previous = nullptr;
  for (int i = 0; i < count; ++i) {
    Voice voice;
    const int n = i + 1;
    voice.button = std::make_unique<CCommonCheckButton>(GetSetupList(), ControlBack(),
                                                        Key("voice%dButton", n).c_str(), nullptr, previous);
    previous = voice.button->GetStateSetup(1);
    if (grid) {
      int column = 0, row = 0;
      config::GridCell(i, numberX, numberY, &column, &row);
      if (column >= 0) voice.button->SetPrintXY(originX + column * nextX, originY + row * nextY, -1);
    }
    CPicture* picture = TakePicture(voicePage_);
    voice.button->SetPicture(picture, -1);
    if (charaVolumeFlag_) {
      const platform::Point at = voice.button->GetStateButton(0)->GetPrintXY();
      voice.bar = std::make_unique<CCommonSlider>(barPicture, charaVolumeMax_ - charaVolumeMin_, at.x + barX,
                                                  at.y + barY, barW, barH, 0, 0, 1, ControlBack(), 0);
    }
    if (nameChangeFlag_ && game_) {
      const char* name = nullptr;
      if (GetSetupString(&name, Key("voiceNameChangeVar%d", n).c_str())) voice.nameVar = game_.variables->GetVarNumber(name);
    }
    for (int set = 0; set < 2; ++set)
      for (int s = 0; s < 2; ++s)
        for (int kind = 0; kind < 4; ++kind) {
          int sound = OwnSound(voice.button->GetStateButton(s), kind);
          if (set == 1) {
            int alternate = 0;
            GetSetupInt(&alternate, Key(kAlternateKeys[s * 4 + kind], n).c_str());
            if (alternate >= 1) sound = alternate;
          }
          voice.sounds[set * 8 + s * 4 + kind] = sound;
        }
    if (voiceChangeFlag_ && game_) {
      bool any = false;
      for (const char* key : kAlternateKeys) {
        int alternate = 0;
        GetSetupInt(&alternate, Key(key, n).c_str());
        any = any || alternate > 0;
      }
      if (any) {
        const char* name = nullptr;
        if (GetSetupString(&name, Key("voiceVoiceChangeVar%d", n).c_str()))
          voice.soundVar = game_.variables->GetVarNumber(name);
        else
          voice.soundVar = voice.nameVar;
      }
    }
    if (customFlag_) {
      const int charas = ReadCount(*this, Key("voiceOffNumberByButton%d", n).c_str(), 1, kMaxCharasPerButton);
      for (int j = 1; j <= charas; ++j) {
        ++runningChara;
        char key[64];
        std::snprintf(key, sizeof key, "voiceOffButton%dchara%d", n, j);
        GetSetupInt(&runningChara, key);
        voice.charas.push_back(runningChara);
      }
    }
    voices_.push_back(std::move(voice));
  }
}

int CCommonConfig::GetVoiceOffButton(int chara) const {
  if (!customFlag_) return chara;
  for (int i = 0; i < static_cast<int>(voices_.size()); ++i) {
    const auto& charas = voices_[i].charas;
    if (std::find(charas.begin(), charas.end(), chara) != charas.end()) return i + 1;
  }
  return chara;
}

void CCommonConfig::InitVoiceButtons() {
  for (int i = 0; i < static_cast<int>(voices_.size()); ++i) {
    Voice& voice = voices_[i];
    int shown = 1;
    if (checkAppearFlag_ && game_) {
      if (!customFlag_) {
        shown = game_.variables->CheckSystemFlag(i + 1) ? 1 : 0;
      } else {
        shown = 0;
        for (int chara : voice.charas) shown = shown || game_.variables->CheckSystemFlag(chara);
      }
    }
    voice.button->SetExist(shown);
    if (shown) voice.button->SetState(game_ && game_.sound->GetCharaVoiceFlag(i) ? 1 : 0);
    voice.button->Init();
    if (voice.bar && game_) voice.bar->SetValue(std::clamp(game_.variables->GetSystemSetting(500 + i) - charaVolumeMin_, 0,
                                                           charaVolumeMax_ - charaVolumeMin_));
    if (voiceChangeFlag_) {
      const int set = voice.soundVar >= 0 && game_ && game_.variables->GetVar(voice.soundVar) > 0 ? 1 : 0;
      for (int s = 0; s < 2; ++s) {
        CCommonButton* button = voice.button->GetStateButton(s);
        if (!button) continue;
        const int* sounds = &voice.sounds[set * 8 + s * 4];
        button->SetClickSound(sounds[0]);
        button->SetBadSound(sounds[1]);
        button->SetEnterSound(sounds[2]);
        button->SetExitSound(sounds[3]);
      }
    }
  }
}

// The state's picture, "_<n>" added while the button's name variable is
// above 0.
void CCommonConfig::ReloadVoiceButton(int i) const {
  if (!OnPage(voicePage_)) return;
  const Voice& voice = voices_[i];
  const int state = voice.button->GetState();
  CPicture* picture = voice.button->GetPicture(state);
  const char* name = voice.button->GetFilename(state);
  if (!picture || !name || !*name) return;
  std::string path = std::string("sys\\") + name;
  const int value = nameChangeFlag_ && voice.nameVar >= 0 && game_ ? game_.variables->GetVar(voice.nameVar) : 0;
  if (value > 0) {
    path += '_';
    path += std::to_string(value);
  }
  picture->LoadDWQ(path.c_str());
}

void CCommonConfig::CalcuVoiceButtons(bool mouse) {
  const CMouseStatus* status = mouse && input_ ? input_->GetMouseStatus() : nullptr;
  for (int i = 0; i < static_cast<int>(voices_.size()); ++i) {
    Voice& voice = voices_[i];
    const bool exists = voice.button->GetExist() != 0;
    if (voice.bar && exists) {
      const int before = voice.bar->GetValue();
      const int value = voice.bar->Calcu(status);
      if (value >= 0) {
        if (value != before && game_) game_.variables->SetSystemSetting(500 + i, value + charaVolumeMin_);
        if (!voice.bar->CheckDrag()) {
          const int state = voice.button->GetState();
          const CCommonButton* opposite = voice.button->GetStateButton(1 - state);
          const CCommonButton* current = voice.button->GetStateButton(state);
          if (opposite && current && opposite->GetClickSound() > 0 && game_)
            game_.sound->PlaySystemSe(opposite->GetClickSound() - 1, current->GetVolumeType());
        }
      }
    }
    const int a = CheckButtonResult(voice.button->Calcu(mouse ? input_ : nullptr));
    if (a < 0) continue;
    if (game_) game_.sound->SetCharaVoiceFlag(i, a ? 0 : 1);
    voice.button->SetState(a ? 0 : 1);
    ReloadVoiceButton(i);
    voice.button->Init();
  }
}

void CCommonConfig::PrintVoiceButtons(int full) {
  for (auto& voice : voices_) {
    voice.button->Print();
    if (voice.bar && voice.button->GetExist()) voice.bar->Print(full, 0);
  }
}

// --- Samples ---

void CCommonConfig::LoadSamples() {
  GetSetupInt(&extSeFlag_, "extSeFlag");
  GetSetupInt(&sameBufferFlag_, "voiceSameBufferFlag");
  for (int k = 0; k < config::kBarKinds; ++k) {
    const char* name = config::kBarNames[k];
    Sample& sample = samples_[k];
    sample.divisions = kDivisions[k];
    sample.isVoice = kIsVoice[k];
    sample.full = kFull[k];
    GetSetupInt(&sample.divisions, Key("%sSeBunkatsu", name).c_str());
    if (k == 0) GetSetupInt(&sample.isVoice, "messageIsVoice");
    GetSetupInt(&sample.isVoice, Key("%sIsVoice", name).c_str());
    if (k == 0) GetSetupInt(&sample.first, "messageSeNumber");
    GetSetupInt(&sample.first, Key("%sSeNumber", name).c_str());
    GetSetupInt(&sample.full, Key("%sVolumeMax", name).c_str());
  }
  if (!extSeFlag_) return;
  sampleList_ = std::make_unique<CNameList>();
  sampleList_->Load("mok\\configSe.xtx", false, false);
}

int CCommonConfig::GetSampleListCount() const { return sampleList_ ? sampleList_->GetCount() / 2 : 0; }

void CCommonConfig::PlaySampleSound(int kind, int value) {
  if (kind < 0 || kind >= config::kBarKinds || !game_) return;
  const Sample& sample = samples_[kind];
  const int entry = config::SampleEntry(sample.first - 1, sample.divisions, sample.full, value);
  if (entry < 0 || entry >= GetSampleListCount()) return;
  const char* file = sampleList_->GetName(2 * entry);
  if (!file) return;
  if (sample.isVoice == 1) {
    game_.sound->PlaySystemVoiceFile(file, 0, sameBufferFlag_);
  } else {
    const int offset = kind == 3 ? game_.variables->GetSystemSetting(103) - game_.variables->GetSystemSetting(101) : 0;
    game_.sound->PlaySeFile(file, offset);
  }
}
