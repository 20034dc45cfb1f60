#include "mode/printmessage.h"

// Filled in when the mode is built; the class is not in the mode table
// before then, so nothing constructs it.

CCommonPrintMessage::CCommonPrintMessage(CGameCallBack* game) : CCommonGeneral(game) { SetModeNumber(kModeNumber); }
CCommonPrintMessage::~CCommonPrintMessage() = default;
int CCommonPrintMessage::Calcu() { return 0; }
int CCommonPrintMessage::Print() { return 0; }
int CCommonPrintMessage::Init() { return 0; }
void CCommonPrintMessage::SetMessage(int, int, const char*, int) { }
void CCommonPrintMessage::SetWaitTime(int) { }
void CCommonPrintMessage::SetScreenWait(int, int) { }
void CCommonPrintMessage::SetCutinNumber(int) { }
int CCommonPrintMessage::GetCutinNumber() const { return 0; }
void CCommonPrintMessage::SetFrameFlag(int) { }
void CCommonPrintMessage::ClearFrameFlag(int) { }
void CCommonPrintMessage::NoticeEffect(int) { }
void CCommonPrintMessage::CheckPrintLprintBG() { }
void CCommonPrintMessage::SetWindowPrint(int) { }
int CCommonPrintMessage::CheckContinue() { return 0; }
int CCommonPrintMessage::GetLineCount() const { return 0; }
void CCommonPrintMessage::SetLineCount(int) { }
const char* CCommonPrintMessage::GetMessageLine(int) const { return nullptr; }
int CCommonPrintMessage::GetMessageCode() const { return 0; }
void CCommonPrintMessage::SetMessageCode(int) { }
int* CCommonPrintMessage::GetCutinData() { return nullptr; }
