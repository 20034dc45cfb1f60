#include "mode/selectmessage.h"

// Filled in when the mode is built; the class is not in the mode table
// before then, so nothing constructs it.

CCommonSelectMessage::CCommonSelectMessage(CGameCallBack* game) : CCommonGeneral(game) { SetModeNumber(kModeNumber); }
CCommonSelectMessage::~CCommonSelectMessage() = default;
int CCommonSelectMessage::Calcu() { return 0; }
int CCommonSelectMessage::Print() { return 0; }
int CCommonSelectMessage::Init() { return 0; }
void CCommonSelectMessage::AddBackLogHeader() { }
void CCommonSelectMessage::SetSelectRange(int, int) { }
int CCommonSelectMessage::GetSelectStart() const { return 0; }
int CCommonSelectMessage::GetSelectEnd() const { return 0; }
void CCommonSelectMessage::SetSelectText(int, const char*) { }
const char* CCommonSelectMessage::GetSelectText(int) const { return nullptr; }
void CCommonSelectMessage::SetTimeLimit(int, int) { }
int CCommonSelectMessage::GetTimeLimit() const { return 0; }
int CCommonSelectMessage::GetTimeoutChoice() const { return 0; }
int CCommonSelectMessage::GetSelectState() const { return 0; }
void CCommonSelectMessage::SetSelectState(int) { }
int CCommonSelectMessage::GetSelectExtra() const { return 0; }
void CCommonSelectMessage::SetSelectExtra(int) { }
