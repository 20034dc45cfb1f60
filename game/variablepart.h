// CVariablePart: the script's variables (by number and by name, with the
// computed system variables), the player's options in the system data, the
// per-mode flags and the enable table, the player's names and the words the
// script's small commands keep. It plays the variables role
// (CVariableServices) for the modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "services/variableservices.h"

class CCommonSystemFile;
class CDebugPart;
class CGameHooks;
class CInputPart;
class CMessageWindowPart;
class CModeFlowPart;
class CSavePart;
class CScreenPart;
class CSetupList;
class CSoundPart;
class CGameVarHost;
class CGameVariables;
class CHolidayList;
class CNameList;
class CVarNameTable;
enum class SystemVar : int;

class CVariablePart : public CVariableServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int varInitFlag = 0;
    int useSaijistu = 0;
    const char* renameLayerVar = nullptr;
    int renameTagNumber = 0;
    int specialNumberForSaveSetFlag = 0;
    const char* specialNumberForSaveVarName = "\x8e\x63\x82\xe8\x93\xfa\x90\x94";  // 残り日数 in CP932
    int optionOffVarFlag = 0;
    const char* optionOffVarName =
        "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93\x83\x49\x83\x74";  // オプションオフ
    int movieVolumeNotUse = 0;
    int soundVoiceVolumeNotUse = 1;
    int expModeCheckByVarNumber = 0;
    const char* seiInitData = nullptr;
    int seiClearFlag = 0;
    const char* meiInitData = nullptr;
    int meiClearFlag = 0;
    int santenUseFlag = 1;
    int dashUseFlag = 1;
  };
  static constexpr int kFlagTableSize = 256;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CSavePart>& saves;
    std::unique_ptr<CInputPart>& input;
    std::unique_ptr<CMessageWindowPart>& messageWindow;
    std::unique_ptr<CDebugPart>& debug;
    std::unique_ptr<CModeFlowPart>& modes;
    CCommonSystemFile* systemFile;
    CGameHooks* hooks;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CVariablePart(const Links& links);
  virtual ~CVariablePart();
  CVariablePart(const CVariablePart&) = delete;
  CVariablePart& operator=(const CVariablePart&) = delete;
  Settings& GetSettings() { return settings_; }
  const Settings& GetSettings() const { return settings_; }

  // The keys of the list "game" into the settings record.
  void ReadSettings();

  // --- Init's steps, in its order ---
  // The variables with their layer-off map cleared.
  void MakeVariables();
  // Variables 200..299 from the system file.
  void LoadKeptVars();
  // The initial-value list, the variable names, the holiday list, the
  // rename tags and the layer-off variables.
  void InitVariables();
  // The variables the flag keys name ("specialNumberForSaveVarName",
  // "optionOffVarName").
  void InitFlagVars();
  // Every computed system variable, by its name.
  void InitSystemVarNumbers();
  // "expModeCheckByVar..." into the enable table.
  void InitEnableVars();
  // The player's names: stored, or the settings' defaults.
  void InitNames();

  // --- CVariableServices ---
  int GetVar(int number) override;
  void SetVar(int number, int value) override;
  int IsSystemSettingOn() override;
  int CheckSystemFlag(int n) override;
  int GetSystemSetting(int id) override;
  void SetSystemSetting(int id, int value) override;
  int GetVarNumber(const char* name) override;
  const char* GetFamilyName() override;
  const char* GetGivenName() override;
  void SetNames(const char* family, const char* given) override;
  const char* GetDefaultName(int which) const override;
  int CheckEnableVar(int n) override;
  int GetModeFlag(int i) const override { return i >= 0 && i < kFlagTableSize ? modeFlags_[i] : 0; }
  void SetModeFlag(int i, int value) override {
    if (i >= 0 && i < kFlagTableSize) modeFlags_[i] = value;
  }
  int GetMusicRoomValue() const override { return musicRoomValue_; }
  void SetMusicRoomValue(int value) override { musicRoomValue_ = value; }
  int GetModeVariable() override;
  CSetupList* GetGameSetupList() const override;
  // The word of the "scriptword" command.
  int GetConfigFlagB() const override { return scriptWord_; }
  int GetConfigFlagA() const override;

  // --- The game's own ---
  // The interpreter's system variables (literals and computed ones).
  int GetSystemVar(int number);
  CGameVariables* GetVariables() const { return gameVars_.get(); }
  // The system-data word of option `id` after the channel words of
  // "movieVolumeNotUse" and "soundVoiceVolumeNotUse" are followed; -1 for
  // an id that is not a plain word (500..571 and unknown ids).
  int SystemSettingOffset(int id) const;
  // 1 when the player switched frame skipping off.
  int CheckFrameSkipOff();
  int GetFirstSystemSetting(int ignored);
  // Day of the week (0 Sunday) of month * 100 + day in the year of "year".
  int GetWeekDay(int monthDay);
  int CheckHoliday(int year, int month, int day);
  // A computed system variable that needs the game (week, holiday, the
  // gallery percentages, expmode / expcheck); 0 for any other.
  int ReadGameSystemVar(SystemVar which);
  // The "date" variable (-1 none) and the variable of the special save
  // number (-1 none, or its switch off).
  int GetDateVar() const { return dateVar_; }
  int GetSpecialNumberVar() const { return specialNumberVar_; }
  // The state word and the variable that mirrors it.
  void SetStateVarWord(int value);
  // The option-off variable: 1 when flag is 0.
  void SetOptionOffVar(int flag);
  // "listenbgmmode" := type, "listenbgmnumber" := number.
  void SetListenBgmState(int type, int number);
  void SetScriptWord(int value) { scriptWord_ = value; }
  // Variables 100..199 and 300..999 to 0, or from the initial-value list.
  void ClearGameVars(int fromList);
  // The player's names and the kept variables 200..299 into the system
  // data; SaveNames also marks the names saved.
  void StoreNamesAndKeptVars();
  void SaveNames();
  CNameList* GetVarNameList() const { return varNameList_.get(); }
  // Row n (0..255) of the enable table names variable `var` (0 none).
  void SetEnableVar(int n, int var) {
    if (n >= 0 && n < kFlagTableSize) enableVars_[n] = var;
  }
  // The variable "renameLayerVar" names (-1 none) and its tags, the
  // option-off variable (-1 none).
  int GetRenameLayerVar() const { return renameLayerVarNumber_; }
  const std::vector<std::vector<char>>& GetRenameTags() const { return renameTags_; }
  int GetOptionOffVar() const { return optionOffVar_; }

 private:
  const Links links_;
  Settings settings_;
  std::unique_ptr<CGameVarHost> varHost_;
  std::unique_ptr<CGameVariables> gameVars_;
  std::unique_ptr<CNameList> varNameList_;
  std::unique_ptr<CNameList> varInitList_;
  std::unique_ptr<CVarNameTable> varNameTable_;
  std::unique_ptr<CHolidayList> holidayList_;  // with "useSaijistu"
  // The enable table (variable numbers, 0 none) and the per-mode flags.
  int enableVars_[kFlagTableSize] = {};
  int modeFlags_[kFlagTableSize] = {};
  int musicRoomValue_ = 0;
  int scriptWord_ = 0;
  int stateVarWord_ = 0;
  // Variable numbers resolved by name (-1 none).
  int dateVar_ = -1, yearVar_ = -1, rndVar_ = -1, holidayVar_ = -1, weekVar_ = -1;
  int renameLayerVarNumber_ = -1, specialNumberVar_ = -1, optionOffVar_ = -1;
  int listenBgmModeVar_ = -1, listenBgmNumberVar_ = -1;
  // The variable that mirrors the state word (-1 none).
  int stateVar_ = -1;
  std::vector<std::vector<char>> renameTags_;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The game date, the special number, the music-room value, the script
  // word and the two names the text shows (placeholders included).
  void PutStatus(uint8_t* status);
  void GetStatus(const uint8_t* status);
  // The GAMEVAR chunk (`chunk` a whole chunk of `size` bytes): every
  // variable; a load leaves 200..299, the system data's, as they are.
  void PutGameVar(uint8_t* chunk, size_t size) const;
  void GetGameVar(const uint8_t* chunk, size_t size);

 private:
  // The special number the last save wrote or the last load read.
  int specialSaveNumber_ = 0;
};
