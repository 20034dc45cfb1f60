#include "game/variablepart.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "game/debugpart.h"
#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "input/inputstatus.h"
#include "message/textstate.h"
#include "modebase/commongeneral.h"
#include "platform/types.h"
#include "savedata/cglist.h"
#include "savedata/scenedata.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "setup/gamelistnames.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/text.h"
#include "setup/varnametable.h"
#include "widget/holidaylist.h"
#include "widget/weekday.h"
#include "savedata/gamestatus.h"
#include "savedata/savechunk.h"
#include "platform/bytes.h"

namespace {

// System-data words of the options and of the words beside them (block
// offsets of SYSTEM DATA).
struct OptionWord {
  int id;
  int offset;
};

constexpr OptionWord kOptionWords[] = {
    {2, 140},   {4, 84},    {6, 164},   {100, 176}, {101, 184}, {102, 180},
    {105, 136}, {106, 1932}, {107, 220}, {200, 192}, {201, 200}, {202, 196},
};
constexpr int kFourthVolumeOffset = 188, kFifthVolumeOffset = 212;
constexpr int kFourthSwitchOffset = 204, kFifthSwitchOffset = 216;
constexpr int kExpModeOffset = 1792, kExpCheckOffset = 1856, kExpCount = 16;
constexpr int kFiveBitFirst = 500, kFiveBitLast = 571;
constexpr int kFrameSkipOffOffset = 152;
constexpr int kNamesSavedOffset = 1960;
constexpr int kKeptVarFirst = CGameVariables::kKeptVarFirst, kKeptVarCount = CGameVariables::kKeptVarCount;
constexpr int kRenameTagSlot = 64;
constexpr int kRenameTagLength = 62;

// "エラー名" in CP932.
constexpr char kErrorName[] = "\x83\x47\x83\x89\x81\x5B\x96\xBC";

using Key = IntKey<CVariablePart::Settings>;
using S = CVariablePart::Settings;

// The save number and the option word.
const Key kFlagKeys[] = {
    {"specialNumberForSaveSetFlag", &S::specialNumberForSaveSetFlag},
    {"optionOffVarFlag", &S::optionOffVarFlag},
};

const Key kChannelKeys[] = {
    {"movieVolumeNotUse", &S::movieVolumeNotUse},
    {"soundVoiceVolumeNotUse", &S::soundVoiceVolumeNotUse},
};

// The player's names.
const Key kNameKeys[] = {
    {"seiClearFlag", &S::seiClearFlag},
    {"meiClearFlag", &S::meiClearFlag},
    {"santenUseFlag", &S::santenUseFlag},
    {"dashUseFlag", &S::dashUseFlag},
    {"expModeCheckByVarNumber", &S::expModeCheckByVarNumber},
};

// A data list loaded plainly: a missing file shows the list reader's box
// and leaves the list empty.
std::unique_ptr<CNameList> LoadList(const char* path, bool inverted) {
  auto list = std::make_unique<CNameList>();
  list->Load(path, inverted, false);
  return list;
}

// The system variables the variables object asks the game for.
class GameVarHost : public CGameVarHost {
 public:
  GameVarHost(CVariablePart& vars, const CVariablePart::Links& links) : vars_(vars), links_(links) {}

  int ReadSystemVar(SystemVar which) override {
    if (which == SystemVar::kMode) return links_.modes->GetCurrentMode();
    if (!IsInputVar(which)) return vars_.ReadGameSystemVar(which);
    const CMouseStatus* mouse = links_.input->GetMouseStatus();
    if (!mouse) return 0;
    platform::Point pos;
    mouse->GetPos(&pos);
    switch (which) {
      case SystemVar::kMouseX: return pos.x;
      case SystemVar::kMouseY: return pos.y;
      case SystemVar::kTrig1: return mouse->GetTrig(0);
      case SystemVar::kTrig2: return mouse->GetTrig(1);
      case SystemVar::kTrig3: return mouse->GetTrig(2);
      case SystemVar::kClick1: return mouse->GetClick(0);
      case SystemVar::kClick2: return mouse->GetClick(1);
      case SystemVar::kClick3: return mouse->GetClick(2);
      case SystemVar::kWheel: return mouse->GetWheel();
      default: return 0;
    }
  }

  // A layer-off variable switches its effect layer.
  void SetEffectLayerHidden(int layer, bool hidden) override {
    links_.screen->SwitchEffectLayer(layer, hidden ? 0 : 1);
  }

 private:
  static bool IsInputVar(SystemVar which) {
    return which >= SystemVar::kMouseX && which <= SystemVar::kWheel;
  }

  CVariablePart& vars_;
  const CVariablePart::Links& links_;
};

}  // namespace

CVariablePart::CVariablePart(const Links& links) : links_(links) {}

CVariablePart::~CVariablePart() = default;

// --- Init's steps ---

void CVariablePart::ReadSettings() {
  const CSetupList* list = links_.list;
  Settings& s = settings_;
  ReadIntKeys(list, &s, kChannelKeys);
  ReadInt(list, &s.varInitFlag, "varInitFlag");
  ReadInt(list, &s.useSaijistu, "useSaijistu");
  ReadString(list, &s.renameLayerVar, "renameLayerVar");
  ReadIntKeys(list, &s, kFlagKeys);
  ReadString(list, &s.specialNumberForSaveVarName, "specialNumberForSaveVarName");
  ReadString(list, &s.optionOffVarName, "optionOffVarName");
  ReadString(list, &s.seiInitData, "seiInitData");
  ReadString(list, &s.meiInitData, "meiInitData");
  ReadIntKeys(list, &s, kNameKeys);
}

void CVariablePart::MakeVariables() {
  varHost_ = std::make_unique<GameVarHost>(*this, links_);
  gameVars_ = std::make_unique<CGameVariables>(varHost_.get());
}

void CVariablePart::LoadKeptVars() {
  if (!links_.systemFile) return;
  for (int i = 0; i < kKeptVarCount; ++i)
    gameVars_->SetVar(kKeptVarFirst + i,
                      links_.systemFile->GetBlockWord(CCommonSystemFile::kSystemVar,
                                                      CCommonSystemFile::kHeaderSize + 4 * i));
}

void CVariablePart::InitVariables() {
  const CSetupList* list = links_.list;
  Settings& s = settings_;
  if (s.varInitFlag) varInitList_ = LoadList("spt\\varinitdata.xtx", false);
  constexpr const char* kVarList = gamelists::kVarNameList;
  varNameList_ = LoadList(kVarList, true);
  varNameTable_ = std::make_unique<CVarNameTable>(varNameList_.get(), kVarList);
  if (s.useSaijistu) holidayList_ = std::make_unique<CHolidayList>();
  if (s.renameLayerVar) {
    renameLayerVarNumber_ = GetVarNumber(s.renameLayerVar);
    if (renameLayerVarNumber_ >= 0) {
      ReadInt(list, &s.renameTagNumber, "renameTagNumber");
      if (s.renameTagNumber < 0 || s.renameTagNumber > kMaxKeyedEntries) s.renameTagNumber = 0;
      for (int i = 1; i <= s.renameTagNumber; ++i) {
        std::vector<char> tag(kRenameTagSlot, 0);
        const char* text = nullptr;
        if (ReadString(list, &text, NumberedKey("renameTag%d", i).c_str()))
          std::strncpy(tag.data(), text, kRenameTagLength);
        renameTags_.push_back(std::move(tag));
      }
    }
  }
  for (int layer = 0; layer < CGameVariables::kLayerCount; ++layer) {
    const char* name = nullptr;
    if (!ReadString(list, &name, NumberedKey("layerOffVar%d", layer).c_str())) continue;
    const int var = GetVarNumber(name);
    if (var >= 0) gameVars_->SetLayerVar(var, layer);
  }
}

void CVariablePart::InitFlagVars() {
  const Settings& s = settings_;
  if (s.specialNumberForSaveSetFlag) specialNumberVar_ = GetVarNumber(s.specialNumberForSaveVarName);
  if (s.optionOffVarFlag) optionOffVar_ = GetVarNumber(s.optionOffVarName);
}

void CVariablePart::InitSystemVarNumbers() {
  if (!gameVars_) return;
  // Every computed variable, each by its own name.
  for (int i = static_cast<int>(SystemVar::kSystemYear); i < static_cast<int>(SystemVar::kCount);
       ++i) {
    const auto which = static_cast<SystemVar>(i);
    gameVars_->SetSystemVarNumber(which, GetVarNumber(CGameVariables::SystemVarName(which)));
  }
  // Kept for the music room, which fills them.
  listenBgmModeVar_ = GetVarNumber("listenbgmmode");
  listenBgmNumberVar_ = GetVarNumber("listenbgmnumber");
  rndVar_ = GetVarNumber("rnd");
  dateVar_ = GetVarNumber("date");
  yearVar_ = GetVarNumber("year");
  holidayVar_ = GetVarNumber("holiday");
  weekVar_ = GetVarNumber("week");
  gameVars_->SetSystemVarNumber(SystemVar::kRnd, rndVar_);
  gameVars_->SetSystemVarNumber(SystemVar::kHoliday, holidayVar_);
  gameVars_->SetSystemVarNumber(SystemVar::kWeek, weekVar_);
}

void CVariablePart::InitEnableVars() {
  std::fill(std::begin(enableVars_), std::end(enableVars_), 0);
  const int count = std::min(settings_.expModeCheckByVarNumber, kFlagTableSize);
  for (int i = 1; i <= count; ++i) {
    const char* modeName = nullptr;
    const char* varName = nullptr;
    if (!ReadString(links_.list, &modeName, ("expModeCheckByVarMode" + std::to_string(i)).c_str()) ||
        !ReadString(links_.list, &varName, ("expModeCheckByVarName" + std::to_string(i)).c_str()))
      continue;
    const int mode = CCommonGeneral::GetModeNumberByName(modeName);
    const int var = GetVarNumber(varName);
    if (mode >= 0 && mode < kFlagTableSize && var > 0) enableVars_[mode] = var;
  }
}

void CVariablePart::InitNames() {
  CTextState& state = GetTextState();
  state.santenUseFlag = settings_.santenUseFlag;
  state.dashUseFlag = settings_.dashUseFlag;
  // The stored names, or the settings' defaults when those are empty; a
  // clear flag shows the default without keeping it in the system data.
  struct Name {
    const char* stored;
    const char* initKey;
    int clear;
    bool family;
  };
  const Name names[] = {
      {GetFamilyName(), "seiInitData", settings_.seiClearFlag, true},
      {GetGivenName(), "meiInitData", settings_.meiClearFlag, false},
  };
  for (const Name& n : names) {
    if (*n.stored) {
      SetTextNames(n.family ? n.stored : nullptr, n.family ? nullptr : n.stored);
      continue;
    }
    const char* value = nullptr;
    if (!ReadString(links_.list, &value, n.initKey) || !value) continue;
    SetNames(n.family ? value : nullptr, n.family ? nullptr : value);
    if (n.clear && links_.systemFile) {
      if (n.family)
        links_.systemFile->SetFamilyName("");
      else
        links_.systemFile->SetGivenName("");
    }
  }
}

// --- Variables ---

int CVariablePart::GetVar(int number) {
  if (gameVars_) return gameVars_->GetVar(number);
  // Before initialisation every variable reads 0; literals still read as
  // their number.
  if (number >= 0 && number < kVarCount) return 0;
  return (number & 0x8000) ? number & 0x7FFF : 0;
}

int CVariablePart::GetSystemVar(int number) {
  return gameVars_ ? gameVars_->GetSystemVar(number) : GetVar(number);
}

void CVariablePart::SetVar(int number, int value) {
  if (gameVars_) gameVars_->SetVar(number, value);
}

int CVariablePart::GetVarNumber(const char* name) {
  return varNameTable_ ? varNameTable_->SearchVar(name) : -1;
}

// Variables 100..199 and 300..999 start a game at 0, or with "varInitFlag"
// at the integer of their token of "spt\\varinitdata.xtx"; 0..99 and
// 200..299 stay.
void CVariablePart::ClearGameVars(int fromList) {
  for (int i = 100; i < kVarCount; ++i) {
    if (CGameVariables::IsKeptVar(i)) continue;
    const char* token = fromList && varInitList_ ? varInitList_->GetName(i) : nullptr;
    SetVar(i, token ? setup::ParseDecimal(token) : 0);
  }
}

void CVariablePart::SetStateVarWord(int value) {
  stateVarWord_ = value;
  if (stateVar_ != -1) SetVar(stateVar_, value != 0 ? 1 : 0);
}

void CVariablePart::SetOptionOffVar(int flag) {
  if (optionOffVar_ != -1) SetVar(optionOffVar_, flag == 0 ? 1 : 0);
}

int CVariablePart::CheckEnableVar(int n) {
  if (n < 0 || n >= kFlagTableSize || enableVars_[n] <= 0) return 1;
  return GetVar(enableVars_[n]);
}

void CVariablePart::SetListenBgmState(int type, int number) {
  SetVar(listenBgmModeVar_, type);
  SetVar(listenBgmNumberVar_, number);
}

int CVariablePart::GetModeVariable() {
  return settings_.specialNumberForSaveSetFlag && specialNumberVar_ >= 0 ? GetVar(specialNumberVar_)
                                                                          : 0;
}

CSetupList* CVariablePart::GetGameSetupList() const { return const_cast<CSetupList*>(links_.list); }

int CVariablePart::GetConfigFlagA() const { return links_.debug->GetWindowLogFlag(); }

// --- Computed variables that need the game ---

int CVariablePart::GetWeekDay(int monthDay) {
  return Weekday(yearVar_ >= 0 ? GetVar(yearVar_) : 2000, monthDay / 100, monthDay % 100);
}

int CVariablePart::CheckHoliday(int year, int month, int day) {
  return holidayList_ && holidayList_->CheckHoliday(year, month, day) ? 1 : 0;
}

int CVariablePart::ReadGameSystemVar(SystemVar which) {
  const int i = static_cast<int>(which);
  if (i >= static_cast<int>(SystemVar::kExpMode1) && i < static_cast<int>(SystemVar::kExpCheck1))
    return GetSystemSetting(300 + i - static_cast<int>(SystemVar::kExpMode1));
  if (i >= static_cast<int>(SystemVar::kExpCheck1) && i < static_cast<int>(SystemVar::kCount))
    return GetSystemSetting(400 + i - static_cast<int>(SystemVar::kExpCheck1));
  // Without a "date" variable the date is 0 (-1 would read as a literal).
  const int date = dateVar_ >= 0 ? GetVar(dateVar_) : 0;
  switch (which) {
    case SystemVar::kWeek: return GetWeekDay(date);
    case SystemVar::kHoliday: {
      const int week = GetWeekDay(date);
      if (week == 0 || week == 6) return 1;
      const int year = yearVar_ >= 0 ? GetVar(yearVar_) : 2000;
      return CheckHoliday(year, date / 100, date % 100) != 0 ? 1 : 0;
    }
    case SystemVar::kCgPercent: {
      const CCGList* cg = links_.saves->GetCGList();
      return cg ? cg->GetTotalSeenPercent() : 0;
    }
    case SystemVar::kScenePercent: {
      const CSceneList* scenes = links_.saves->GetSceneList();
      return scenes ? scenes->GetTotalSeenPercent() : 0;
    }
    default: return 0;
  }
}

// --- Options and flags of the system data ---

int CVariablePart::SystemSettingOffset(int id) const {
  // The fourth and fifth volume and switch may stand for another option.
  const int volumeChannel = settings_.movieVolumeNotUse;
  const int voiceChannel = settings_.soundVoiceVolumeNotUse;
  switch (id) {
    case 103:
      if (volumeChannel >= 1 && volumeChannel <= 3) return SystemSettingOffset(99 + volumeChannel);
      return kFourthVolumeOffset;
    case 104:
      if (voiceChannel == 0) return kFifthVolumeOffset;
      return SystemSettingOffset(voiceChannel == 1 ? 102 : 101);
    case 203:
      if (volumeChannel >= 1 && volumeChannel <= 3) return SystemSettingOffset(199 + volumeChannel);
      return kFourthSwitchOffset;
    case 204: return voiceChannel != 0 ? SystemSettingOffset(202) : kFifthSwitchOffset;
    default: break;
  }
  for (const OptionWord& w : kOptionWords)
    if (w.id == id) return w.offset;
  if (id >= 300 && id < 300 + kExpCount) return kExpModeOffset + 4 * (id - 300);
  if (id >= 400 && id < 400 + kExpCount) return kExpCheckOffset + 4 * (id - 400);
  return -1;
}

int CVariablePart::GetSystemSetting(int id) {
  CCommonSystemFile* file = links_.systemFile;
  if (!file) return 0;
  if (id >= kFiveBitFirst && id <= kFiveBitLast) return file->GetFiveBitValue(id - kFiveBitFirst);
  const int offset = SystemSettingOffset(id);
  return offset >= 0 ? file->GetSystemData(offset) : 0;
}

void CVariablePart::SetSystemSetting(int id, int value) {
  CCommonSystemFile* file = links_.systemFile;
  if (!file) return;
  if (id >= kFiveBitFirst && id <= kFiveBitLast) {
    file->SetFiveBitValue(id - kFiveBitFirst, value);
    return;
  }
  // The fourth and fifth volume and switch are options of their own only
  // while their channel word is 0; otherwise they read another option and
  // setting them does nothing.
  if ((id == 103 || id == 203) && settings_.movieVolumeNotUse != 0) return;
  if ((id == 104 || id == 204) && settings_.soundVoiceVolumeNotUse != 0) return;
  const int offset = SystemSettingOffset(id);
  if (offset < 0) return;
  file->SetSystemData(offset, value);
  switch (id) {
    case 100: links_.sound->ApplyMusicVolume(value); break;
    case 106: links_.messageWindow->ApplyWindowOpacity(); break;
    case 200: links_.sound->ApplyMusicSwitch(value); break;
    default: break;
  }
  if (id >= 300 && id < 300 + kExpCount) links_.hooks->OnSetVar(id, value);
}

int CVariablePart::IsSystemSettingOn() { return GetSystemSetting(2) != 0 ? 1 : 0; }

int CVariablePart::GetFirstSystemSetting(int) { return GetSystemSetting(0); }

int CVariablePart::CheckFrameSkipOff() {
  return links_.systemFile && links_.systemFile->GetSystemData(kFrameSkipOffOffset) != 0 ? 1 : 0;
}

int CVariablePart::CheckSystemFlag(int n) {
  // The table has 256 entries; GetVoiceFlag tests the number itself.
  return links_.systemFile ? links_.systemFile->GetVoiceFlag(n) : 0;
}

// --- Names ---

const char* CVariablePart::GetDefaultName(int which) const {
  const char* name = nullptr;
  if (which == 0 && ReadString(links_.list, &name, "seiInitData")) return name;
  if (which == 1 && ReadString(links_.list, &name, "meiInitData")) return name;
  return kErrorName;
}

// The names the player gave, as the system data keeps them: empty until a
// name is set (the text shows the placeholders meanwhile). A system file
// written with a placeholder as its name holds no name either.
const char* CVariablePart::GetFamilyName() {
  return links_.systemFile ? KeptName(links_.systemFile->GetFamilyName()) : "";
}

const char* CVariablePart::GetGivenName() {
  return links_.systemFile ? KeptName(links_.systemFile->GetGivenName()) : "";
}

void CVariablePart::SetNames(const char* family, const char* given) {
  // One store: the text state's names, cut once on a character boundary,
  // are the ones the system data keeps; a placeholder is kept as no name.
  SetTextNames(family, given);
  if (!links_.systemFile) return;
  if (family) links_.systemFile->SetFamilyName(KeptName(GetTextState().familyName));
  if (given) links_.systemFile->SetGivenName(KeptName(GetTextState().givenName));
}

void CVariablePart::StoreNamesAndKeptVars() {
  CCommonSystemFile* file = links_.systemFile;
  if (!file) return;
  for (int i = 0; i < kKeptVarCount; ++i)
    file->SetBlockWord(CCommonSystemFile::kSystemVar, CCommonSystemFile::kHeaderSize + 4 * i,
                       GetVar(kKeptVarFirst + i));
  file->SetFamilyName(KeptName(GetTextState().familyName));
  file->SetGivenName(KeptName(GetTextState().givenName));
}

void CVariablePart::SaveNames() {
  if (!links_.systemFile) return;
  StoreNamesAndKeptVars();
  links_.systemFile->SetSystemData(kNamesSavedOffset, 1);
}

// --- Its share of the saved game ---

void CVariablePart::PutStatus(uint8_t* status) {
  namespace gs = gamestatus;
  if (GetDateVar() >= 0) {
    const int date = GetVar(GetDateVar());
    gs::Set(status, gs::kDateMonth, date / 100);
    gs::Set(status, gs::kDateDay, date % 100);
    gs::Set(status, gs::kDateWeekday, GetWeekDay(date));
  }
  if (GetSettings().specialNumberForSaveSetFlag && GetSpecialNumberVar() != -1)
    specialSaveNumber_ = GetVar(GetSpecialNumberVar());
  gs::Set(status, gs::kSpecialNumber, specialSaveNumber_);
  gs::Set(status, gs::kMusicRoom, GetMusicRoomValue());
  gs::Set(status, gs::kScriptWord, GetConfigFlagB());
  gs::PutText(status + gs::kFamilyOffset, gs::kNameField, GetTextState().familyName, gs::kNameField - 1);
  gs::PutText(status + gs::kGivenOffset, gs::kNameField, GetTextState().givenName, gs::kNameField - 1);
}

void CVariablePart::GetStatus(const uint8_t* status) {
  namespace gs = gamestatus;
  SetMusicRoomValue(gs::Get(status, gs::kMusicRoom));
  SetScriptWord(gs::Get(status, gs::kScriptWord));
  specialSaveNumber_ = gs::Get(status, gs::kSpecialNumber);
  const std::string family = gs::GetText(status + gs::kFamilyOffset, gs::kNameField);
  const std::string given = gs::GetText(status + gs::kGivenOffset, gs::kNameField);
  SetNames(family.c_str(), given.c_str());
}

void CVariablePart::PutGameVar(uint8_t* chunk, size_t size) const {
  if (!chunk || size < savechunk::kHeaderSize + 4 * size_t{kVarCount}) return;
  const CGameVariables* vars = GetVariables();
  for (int i = 0; i < kVarCount; ++i)
    platform::SetLE32(chunk + savechunk::kHeaderSize + 4 * i, static_cast<uint32_t>(vars ? vars->GetVar(i) : 0));
}

void CVariablePart::GetGameVar(const uint8_t* chunk, size_t size) {
  CGameVariables* vars = GetVariables();
  if (!chunk || !vars || size < savechunk::kHeaderSize + 4 * size_t{kVarCount}) return;
  // 200..299 belong to the system data and stay.
  for (int i = 0; i < kVarCount; ++i)
    if (!CGameVariables::IsKeptVar(i)) vars->SetVar(i, platform::GetLE32Signed(chunk + savechunk::kHeaderSize + 4 * i));
}
