// CGameCallBack: construction and the settings list "game". Initialisation
// is in gamecallback_init.cpp, the destroy step in gamecallback_teardown.cpp,
// the window-thread handshake in gamecallback_thread.cpp and the debug aids
// in gamecallback_debug.cpp.
#include "game/gamecallback.h"

#include <cstdio>

#include "game/backscriptrunner.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/sync.h"
#include "setup/setuplist.h"

CGameCallBack::CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width,
                             int height, int bpp)
    : window_(window), systemFile_(systemFile), width_(width), height_(height), bpp_(bpp) {
  for (int& n : nextModeStack_) n = -1;
  // Every run starts in the start-up mode.
  modeStack_[0] = modenumber::kNothing;
}

CGameCallBack::~CGameCallBack() { ReleaseAll(); }

void CGameCallBack::SetMainControl(CMainControl* mainControl) { mainControl_ = mainControl; }

// The short-cut rows come from the system menu's added options (target,
// action, key code; the options carry no sound of their own). The
// extension objects' sizes wait for the save chunks.
void CGameCallBack::PrepareModeTables() {
  std::vector<ShortCutRow> rows;
  if (const CSystemMenuOptions* menu = GetSystemMenuOptions()) {
    for (int r = CSystemMenuOptions::kBuiltInOptions; r < menu->GetOptionNumber(); ++r)
      rows.push_back({menu->GetOptionAccelKey(r), menu->GetOptionMode(r), menu->GetOptionCommand(r), 0});
  }
  SetShortCutRows(std::move(rows));
}

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
