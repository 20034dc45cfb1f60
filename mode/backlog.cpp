#include "mode/backlog.h"

// Filled in when the mode is built; the class is not in the mode table
// before then, so nothing constructs it.

CCommonBackLog::CCommonBackLog(CGameCallBack* game) : CCommonGeneral(game) { SetModeNumber(kModeNumber); }
CCommonBackLog::~CCommonBackLog() = default;
int CCommonBackLog::Calcu() { return 0; }
int CCommonBackLog::Print() { return 0; }
int CCommonBackLog::Init() { return 0; }
void CCommonBackLog::SetVoice(const char*) { }
