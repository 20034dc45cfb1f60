// CGameCallBack: the script's calls into the modes (the system-call and
// system-function tables, the built-in functions, script labels), the
// player's names, the day of the week, the option values of the system data,
// the read and system flags, the state words and the computed variables that
// need the game.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "modebase/commongeneral.h"
#include "platform/system.h"
#include "game/extramodes.h"
#include "game/gamecallback.h"

#include "message/textstate.h"
#include "savedata/cglist.h"
#include "savedata/inttablefile.h"
#include "savedata/scenedata.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "widget/notice.h"
#include "setup/namelist.h"
#include "widget/weekday.h"

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
constexpr int kKeptVarFirst = 200, kKeptVarCount = 100;

// "エラー名" in CP932.
constexpr char kErrorName[] = "\x83\x47\x83\x89\x81\x5B\x96\xBC";

constexpr int kResultRows = 1024;

}  // namespace

// --- Registration ---

int CGameCallBack::RegistSystemCall(int mode, const char* name) {
  if (systemCallCount_ >= kTableRows || IsModeDisabled(mode) || !name || !commandList_) return 0;
  // The command list holds pairs; a name counts wherever it stands.
  const int token = commandList_->Search(name, -1);
  if (token < 0) {
    std::fprintf(stderr,
                 "spt\\command.xtx: mode %d asks for the call \"%s\", which the list does not name; "
                 "scripts cannot call it\n",
                 mode, name);
    return 0;
  }
  systemCalls_[systemCallCount_][0] = token / 2;
  systemCalls_[systemCallCount_][1] = mode;
  ++systemCallCount_;
  return 1;
}

int CGameCallBack::RegistSystemFunction(int mode, const char* name, int value) {
  if (systemFunctionCount_ >= kTableRows || IsModeDisabled(mode) || !name) return 0;
  const int row = FunctionRow(name);
  if (row < 0) return 0;
  systemFunctions_[systemFunctionCount_][0] = row;
  systemFunctions_[systemFunctionCount_][1] = mode;
  systemFunctions_[systemFunctionCount_][2] = value;
  ++systemFunctionCount_;
  return 1;
}

void CGameCallBack::RegistExtraModeCalls() {
  // After the command list is loaded, before any mode registers: the
  // tables start empty, then every extra mode left on is a call under its
  // own name, when the command list names it. An extra mode the list does
  // not name is reached from the menus only, which is no fault: the debug
  // output says so (a misspelt name then shows). A list without a single
  // call is always told.
  systemCallCount_ = systemFunctionCount_ = 0;
  if (commandList_ && commandList_->GetCount() < 2) {
    std::fprintf(stderr, "spt\\command.xtx holds no calls; scripts cannot call any mode\n");
  }
  for (int i = 0; i < extraModeList_->GetCount(); ++i) {
    const int n = extraModeList_->GetNumber(i);
    const char* name = extraModeList_->GetName(i);
    if (IsModeDisabled(n) || !name || !commandList_) continue;
    if (commandList_->Search(name, -1) < 0) {
      const std::string line = std::string("spt\\command.xtx does not name the mode \"") + name +
                               "\"; scripts cannot call it\n";
      platform::DebugOutput(line.c_str());
      continue;
    }
    RegistSystemCall(n, name);
  }
}

// --- Calls and functions ---

void CGameCallBack::SystemCall(int code, int count, const int* values) {
  if (!values) count = 0;
  std::fill(std::begin(skipFilm_), std::end(skipFilm_), 0);
  for (int i = 0; i < systemCallCount_; ++i) {
    if (systemCalls_[i][0] != code) continue;
    CCommonGeneral* mode = GetMode(systemCalls_[i][1]);
    if (!mode) continue;
    PrintFloatingLayers();
    const int args[2] = {count > 0 ? values[0] : 0, count > 1 ? values[1] : 0};
    mode->SetCallArgs(2, args);
    SetNextMode(systemCalls_[i][1]);
    return;
  }
  OnSystemCall(code, count, values);
}

int CGameCallBack::SystemFunction(int code, int count, const int* values) {
  if (count < 0 || !values) count = 0;
  // Each built-in whose number matches is applied, in this order.
  using Builtin = int (CGameCallBack::*)(int, const int*);
  const struct {
    int number;
    Builtin run;
  } builtins[] = {
      {stopF5Function_, &CGameCallBack::RunStopF5},
      {saveSystemFileFunction_, &CGameCallBack::RunSaveSystemFile},
      {layerFunction_, &CGameCallBack::RunLayer},
      {noticeFunction_, &CGameCallBack::RunNotice},
      {setResultFunction_, &CGameCallBack::RunSetResult},
      {getResultFunction_, &CGameCallBack::RunGetResult},
  };
  bool matched = false;
  int result = 0;
  for (const auto& b : builtins) {
    if (b.number < 0 || b.number != code) continue;
    matched = true;
    result = (this->*b.run)(count, values);
  }
  if (matched) return result;
  for (int i = 0; i < systemFunctionCount_; ++i) {
    if (systemFunctions_[i][0] != code) continue;
    CCommonGeneral* mode = GetMode(systemFunctions_[i][1]);
    if (!mode) continue;
    matched = true;
    result = mode->Function(systemFunctions_[i][2], count, values);
  }
  return matched ? result : OnSystemFunction(code, count, values);
}

int CGameCallBack::RunStopF5(int, const int*) {
  std::fill(std::begin(skipFilm_), std::end(skipFilm_), 0);
  return 0;
}

int CGameCallBack::RunSaveSystemFile(int, const int*) {
  SaveSystemFile();
  return 0;
}

int CGameCallBack::RunLayer(int count, const int* values) {
  if (count < 1) return 0;
  SwitchEffectLayer(values[0], count > 1 ? values[1] : 1);
  return 0;
}

// Notice n (from 1); without the notice object nothing shows.
int CGameCallBack::RunNotice(int count, const int* values) {
  if (count >= 1 && notice_) notice_->SetNotice(values[0] - 1);
  return 0;
}

int CGameCallBack::RunSetResult(int count, const int* values) {
  if (count < 1 || !resultTable_) return 0;
  const int row = values[0];
  if (row < 0 || row >= kResultRows || resultTable_->GetValue(row, 0) != 0) return 0;
  resultTable_->SetValue(row, count > 1 ? values[1] : 1, 0);
  // With "autoResultNotice" notice row + autoResultNotice - 2 follows.
  const int64_t notice = int64_t{row} + settings_.autoResultNotice - 2;
  if (settings_.autoResultNotice >= 1 && notice_ && notice <= INT32_MAX)
    notice_->SetNotice(static_cast<int>(notice));
  return 0;
}

int CGameCallBack::RunGetResult(int count, const int* values) {
  if (count < 1 || !resultTable_ || getResultVar_ < 0) return 0;
  const int row = values[0];
  const int threshold = count > 1 ? values[1] : 1;
  const int entry = row >= 0 && row < kResultRows ? resultTable_->GetValue(row, 0) : 0;
  SetVar(getResultVar_, entry >= threshold ? 1 : 0);
  return 0;
}

CScript* CGameCallBack::CurrentScript() const {
  return scriptLevel_ >= 0 && scriptLevel_ < 4 ? scripts_[scriptLevel_] : nullptr;
}

int CGameCallBack::CallScriptLabel(int label) {
  CScript* script = CurrentScript();
  if (!script || !script->GotoLabel(label)) return -1;
  return 0;
}

// --- Names ---

const char* CGameCallBack::GetDefaultName(int which) const {
  const char* name = nullptr;
  if (which == 0 && GetSetupString(&name, "seiInitData")) return name;
  if (which == 1 && GetSetupString(&name, "meiInitData")) return name;
  return kErrorName;
}

void CGameCallBack::StoreNamesAndKeptVars() {
  if (!systemFile_) return;
  for (int i = 0; i < kKeptVarCount; ++i)
    systemFile_->SetBlockWord(CCommonSystemFile::kSystemVar, CCommonSystemFile::kHeaderSize + 4 * i,
                              GetVar(kKeptVarFirst + i));
  systemFile_->SetFamilyName(KeptName(GetTextState().familyName));
  systemFile_->SetGivenName(KeptName(GetTextState().givenName));
}

void CGameCallBack::SaveNames() {
  if (!systemFile_) return;
  StoreNamesAndKeptVars();
  systemFile_->SetSystemData(kNamesSavedOffset, 1);
}

// --- Day of the week ---

int CGameCallBack::GetWeekDay(int monthDay) {
  return Weekday(yearVar_ >= 0 ? GetVar(yearVar_) : 2000, monthDay / 100, monthDay % 100);
}

// --- Option values and flags of the system data ---

int CGameCallBack::SystemSettingOffset(int id) const {
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

int CGameCallBack::GetSystemSetting(int id) {
  if (!systemFile_) return 0;
  if (id >= kFiveBitFirst && id <= kFiveBitLast) return systemFile_->GetFiveBitValue(id - kFiveBitFirst);
  const int offset = SystemSettingOffset(id);
  return offset >= 0 ? systemFile_->GetSystemData(offset) : 0;
}

int CGameCallBack::CheckFrameSkipOff() {
  return systemFile_ && systemFile_->GetSystemData(kFrameSkipOffOffset) != 0 ? 1 : 0;
}

int CGameCallBack::CheckSystemFlag(int n) {
  // The table has 256 entries; GetVoiceFlag tests the number itself.
  return systemFile_ ? systemFile_->GetVoiceFlag(n) : 0;
}

void CGameCallBack::SetMessageReadFlag(int message, int script) {
  if (script == -1 && scriptLevel_ >= 0 && scriptLevel_ < 4) script = scriptNumber_[scriptLevel_];
  if (systemFile_) systemFile_->SetMesFlag(script, message);
}

int CGameCallBack::CheckMessageReadFlag(int message, int script) {
  if (script == -1 && scriptLevel_ >= 0 && scriptLevel_ < 4) script = scriptNumber_[scriptLevel_];
  return systemFile_ ? systemFile_->GetMesFlag(script, message) : 0;
}

// --- State words ---

void CGameCallBack::SetStateVarWord(int value) {
  stateVarWord_ = value;
  if (stateVar_ != -1) SetVar(stateVar_, value != 0 ? 1 : 0);
}

int CGameCallBack::CheckEnableVar(int n) {
  if (n < 0 || n >= kFlagTableSize || enableVars_[n] <= 0) return 1;
  return GetVar(enableVars_[n]);
}

void CGameCallBack::InitEnableVars() {
  std::fill(std::begin(enableVars_), std::end(enableVars_), 0);
  const int count = std::min(settings_.expModeCheckByVarNumber, kFlagTableSize);
  for (int i = 1; i <= count; ++i) {
    const char* modeName = nullptr;
    const char* varName = nullptr;
    if (!GetSetupString(&modeName, ("expModeCheckByVarMode" + std::to_string(i)).c_str()) ||
        !GetSetupString(&varName, ("expModeCheckByVarName" + std::to_string(i)).c_str()))
      continue;
    const int mode = CCommonGeneral::GetModeNumberByName(modeName);
    const int var = GetVarNumber(varName);
    if (mode >= 0 && mode < kFlagTableSize && var > 0) enableVars_[mode] = var;
  }
}

void CGameCallBack::SetListenBgmState(int type, int number) {
  SetVar(listenBgmModeVar_, type);
  SetVar(listenBgmNumberVar_, number);
}

// --- Computed variables that need the game ---

int CGameCallBack::ReadGameSystemVar(SystemVar which) {
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
    case SystemVar::kCgPercent: return cgList_ ? cgList_->GetTotalSeenPercent() : 0;
    case SystemVar::kScenePercent: return sceneList_ ? sceneList_->GetTotalSeenPercent() : 0;
    default: return 0;
  }
}
