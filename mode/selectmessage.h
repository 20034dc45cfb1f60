// CCommonSelectMessage: mode 9, the choice mode. The script's choice
// command resets it, gives it the question lines and the choices and
// requests it; the picked choice sends the script on at its label.
//
// The operations below are the ones the rest of the game calls. The mode is
// not in the mode table yet: until it is, the game's typed accessor
// (CGameCallBack::GetSelectMessage) answers NULL and its callers skip the
// call, as for any missing mode.
#pragma once

#include "game/commongeneral.h"

class CCommonSelectMessage : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = 9;
  static constexpr int kTextSlots = 64;
  static constexpr int kTextSlotSize = 256;

  explicit CCommonSelectMessage(CGameCallBack* game);
  ~CCommonSelectMessage() override;

  int Calcu() override;
  int Print() override;
  int Init() override;

  // The start of a new choice: the mode starts over and writes the back
  // log's header line for it.
  virtual void AddBackLogHeader();
  // (length, start): the choice count and the question lines before them.
  virtual void SetSelectRange(int length, int start);
  int GetSelectStart() const;
  int GetSelectEnd() const;
  // Choice text slot i (at most 254 bytes kept); NULL outside 0..63.
  virtual void SetSelectText(int index, const char* text);
  const char* GetSelectText(int index) const;
  // A negative time is read from game variable -time.
  virtual void SetTimeLimit(int time, int timeoutChoice);
  int GetTimeLimit() const;
  int GetTimeoutChoice() const;
  int GetSelectState() const;
  void SetSelectState(int word);
  int GetSelectExtra() const;
  virtual void SetSelectExtra(int word);
};
