// CCommonLoad: the load screen (mode 5, settings list "load"). Only slots
// holding loadable data can be chosen; a chosen slot blinks, the screen
// fades out and, as it is left, the game is restored from the slot and
// continues in the mode it was saved in. The game's quick load restores
// the quick slot through this screen without showing it.
#pragma once

#include "modebase/moderoles.h"
#include "modebase/quickloadsave.h"
#include "mode/commonsave.h"
#include "mode/loadsave.h"

class CCommonLoad : public CCommonLoadSave, public CQuickLoadMode {
 public:
  static constexpr int kModeNumber = modenumber::kLoad;

  explicit CCommonLoad(const GameRoles& game);
  ~CCommonLoad() override;
  void RegisterRoles(ModeRoles* roles) override { roles->quickLoad = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  int PrintEnterScreen() override;
  void Release() override;
  int OnSlotDecided(int index) override;
  int OnSlotWithData(int index) override;
  int OnEmptySlot(int index) override;

  int QuickLoad() override;
  int HasQuickLoadData() override;

 private:
  // The slot restored into the game and the game restarted from it; false
  // when the slot could not be loaded (nothing restarted).
  bool LoadAndRestart(CCommonDataFile* slot, int absolute);
  void PlayCannotLoad();
  // Slot `absolute` holds a file that cannot be loaded: a box and a line on
  // stderr naming the file, what it is ("save", "quick save") and why, and
  // the cannot-load sound.
  void TellCannotLoad(CCommonDataFile* slot, int absolute, const char* what);

  int loadSound_ = 1, cannotLoadSound_ = -1;
  CModeVoices loadVoices_, cannotLoadVoices_;
};
