// CCommonPrintMessage: mode 10, the print-message mode. The script's text
// commands give it their pages (SetMessage), timed waits and screen
// transitions; it types the page out in the message window, waits for the
// player and hands control back to the script.
//
// The operations below are the ones the rest of the game calls. The mode is
// not in the mode table yet: until it is, the game's typed accessor
// (CGameCallBack::GetPrintMessage) answers NULL and its callers skip the
// call, as for any missing mode.
#pragma once

#include "game/commongeneral.h"

class CCommonPrintMessage : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = 10;
  static constexpr int kTextSlots = 64;
  static constexpr int kTextSlotSize = 256;
  static constexpr int kCutinWords = 128;

  explicit CCommonPrintMessage(CGameCallBack* game);
  ~CCommonPrintMessage() override;

  int Calcu() override;
  int Print() override;
  int Init() override;

  // A text command's page: code 0x22220001..0x22220003, the message id
  // ((project number << 16) | (key & 0xFFFF)), its text and extra word.
  // Codes 0x22220001 and 0x22220002 set the page text, 0x22220003 appends.
  virtual void SetMessage(int code, int id, const char* text, int extra);
  // A count-down wait of `frames` (text command 0x22220004).
  virtual void SetWaitTime(int frames);
  // A timed transition over the captured screen (text command 0x22220005).
  virtual void SetScreenWait(int kind, int length);
  virtual void SetCutinNumber(int number);
  int GetCutinNumber() const;
  virtual void SetFrameFlag(int value);
  virtual void ClearFrameFlag(int value);
  // Called after an effect command on a channel; nothing to do.
  virtual void NoticeEffect(int channel);
  virtual void CheckPrintLprintBG();
  void SetWindowPrint(int flag);
  // 1 when the current text command continues the previous text.
  int CheckContinue();
  int GetLineCount() const;
  void SetLineCount(int n);
  // Message line i (NULL outside 0..63).
  const char* GetMessageLine(int i) const;
  int GetMessageCode() const;
  void SetMessageCode(int code);
  // The 128 words of cut-in state the CUTIN chunk keeps.
  int* GetCutinData();
};
