// CVariableServices: variables and options: the script's variables by number
// and name, the player's options (system settings), the per-mode flags, the
// player's names and the settings list "game".
#pragma once

#include <cstddef>
#include <cstdint>

class CSetupList;

class CVariableServices {
 public:
  // Script variables 0..999.
  static constexpr int kVarCount = 1000;

  virtual int GetVar(int number) = 0;
  virtual void SetVar(int number, int value) = 0;
  virtual int IsSystemSettingOn() = 0;
  virtual int CheckSystemFlag(int n) = 0;
  virtual int GetSystemSetting(int id) = 0;
  virtual void SetSystemSetting(int id, int value) = 0;
  virtual int GetVarNumber(const char* name) = 0;
  virtual const char* GetFamilyName() = 0;
  virtual const char* GetGivenName() = 0;
  virtual void SetNames(const char* family, const char* given) = 0;
  // "seiInitData" (0) or "meiInitData" (1) of the list "game"; "エラー名"
  // for any other argument or a missing key.
  virtual const char* GetDefaultName(int which) const = 0;
  // Entry n (0..255) of the enable table names a variable: 1 when it names
  // none (and for n outside the table), else that variable's value.
  virtual int CheckEnableVar(int n) = 0;
  // The per-mode flags (0..255; 0 outside).
  virtual int GetModeFlag(int i) const = 0;
  virtual void SetModeFlag(int i, int value) = 0;
  // The word shared by the music room and the heroine selection (its front
  // heroine's position); kept with the game state.
  virtual int GetMusicRoomValue() const = 0;
  virtual void SetMusicRoomValue(int value) = 0;
  // The configured variable of the save comment while its switch is on.
  virtual int GetModeVariable() = 0;
  // The settings list "game" (null before Init), which screens read for
  // the shared setups ("useCommonBackSetup").
  virtual CSetupList* GetGameSetupList() const = 0;
  // Words the script's small commands set. GetConfigFlagB is the word of
  // the "scriptword" command, which the configuration screen takes as a
  // mask: bit i (0..7) locks the radio group of option 300 + i, bit 8 + i
  // the check button of option 400 + i.
  virtual int GetConfigFlagB() const = 0;
  // The window-message log's switch (the configuration's Home key clears
  // the play counter while it is on).
  virtual int GetConfigFlagA() const = 0;

 protected:
  ~CVariableServices() = default;
};
