// CCommonBackLog: mode 7, the back log. Every shown line is added to its
// store; the player scrolls back through it and hears voices again.
//
// The operations below are the ones the rest of the game calls. The mode is
// not in the mode table yet: until it is, the game's typed accessor
// (CGameCallBack::GetBackLog) answers NULL and its callers skip the call,
// as for any missing mode.
#pragma once

#include "game/commongeneral.h"

class CCommonBackLog : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = 7;

  explicit CCommonBackLog(CGameCallBack* game);
  ~CCommonBackLog() override;

  int Calcu() override;
  int Print() override;
  int Init() override;

  // The voice file name (at most 14 characters) of the entry about to be
  // added; the names of the following entries are cleared.
  virtual void SetVoice(const char* name);
};
