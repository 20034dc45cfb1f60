// CGameCallBack: the one place where the message-window operations reach the
// message window (CCommonMessageWindow). Until the window exists every
// answer is the one for no window: nothing drawn, no hit, one design.
#include "game/gamecallback.h"

int CGameCallBack::MessageWindowPrint(int, int, int) { return 0; }

int CGameCallBack::MessageWindowPrintAt(int, int, int) { return 0; }

int CGameCallBack::MessageWindowHitLocal(int, int) { return 0; }

void CGameCallBack::MessageWindowSetNumbers(int, int) {}

void CGameCallBack::MessageWindowSetPercent(int) {}

void CGameCallBack::MessageWindowSetMode(int) {}

int CGameCallBack::MessageWindowDesignCount() { return 1; }
