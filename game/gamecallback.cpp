// CGameCallBack: construction and the settings list "game". Initialisation
// is in gamecallback_init.cpp, the destroy step in gamecallback_teardown.cpp,
// the window-thread handshake in gamecallback_thread.cpp and the debug aids
// in gamecallback_debug.cpp.
#include "game/gamecallback.h"

#include <cstdio>

#include "game/backscriptrunner.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "setup/setuplist.h"

CGameCallBack::CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width,
                             int height, int bpp)
    : window_(window), systemFile_(systemFile), width_(width), height_(height), bpp_(bpp) {
  for (int& n : nextModeStack_) n = -1;
  // Every run starts in mode 1.
  modeStack_[0] = 1;
}

CGameCallBack::~CGameCallBack() { ReleaseAll(); }

void CGameCallBack::SetMainControl(CMainControl* mainControl) { mainControl_ = mainControl; }

// The short-cut rows come from the system menu's options (from the start
// row on: target, action, key code, sound) and each extension object's
// size goes to its save entry; both wait for the system menu and the save
// chunks, so the rows stay empty (SetShortCutRows fills them).
void CGameCallBack::PrepareModeTables() { shortCutTable_.clear(); }

int CGameCallBack::LoadSetupFile(const char* name, int pairs) {
  if (!setupList_) setupList_ = new CSetupList;
  return setupList_->LoadSetupFile(name, pairs);
}

int CGameCallBack::GetSetupInt(int* out, const char* key) const {
  return setupList_ ? setupList_->GetSetupInt(out, key) : 0;
}

int CGameCallBack::GetSetupString(const char** out, const char* key) const {
  return setupList_ ? setupList_->GetSetupString(out, key) : 0;
}

// --- Debug aids and start-up helpers ---

int CGameCallBack::IsDebugMode() {
  FILE* f = platform::FileOpen("debug.txt", "rb");
  if (!f) return 0;
  std::fclose(f);
  return 1;
}

void CGameCallBack::CreateBackButton() {}
