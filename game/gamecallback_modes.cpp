// CGameCallBack: the mode table, mode changes, companion modes and the
// services that pass values between modes.
#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/gamecallback.h"
#include "modebase/minigamehost.h"
#include "modebase/modenumbers.h"
#include "graphics/screenbuffer.h"
#include "mode/backlog.h"
#include "mode/cardsystem.h"
#include "mode/chartmenu.h"
#include "mode/codecerror.h"
#include "mode/commonload.h"
#include "mode/commonsave.h"
#include "mode/config.h"
#include "mode/listenbgm.h"
#include "mode/logo.h"
#include "mode/minigamemode.h"
#include "mode/nothing.h"
#include "mode/omake.h"
#include "mode/opening.h"
#include "mode/printcg.h"
#include "mode/printmessage.h"
#include "mode/printresult.h"
#include "mode/selectcg.h"
#include "mode/selectscene.h"
#include "mode/selectchara.h"
#include "mode/selectzukan.h"
#include "mode/selectheroin.h"
#include "mode/selectmessage.h"
#include "mode/printmovie.h"
#include "mode/selectplace.h"
#include "mode/nameinput.h"
#include "mode/systemmenu.h"
#include "mode/title.h"

namespace {

// The mode factory: one line per mode class, number and constructor. Each
// mode's work adds its line here ({4, &Make<CCommonTitle>}, ...); a number
// without a line has no class and creates nothing.
using ModeMaker = CCommonGeneral* (*)(CGameCallBack* game);

struct ModeFactoryEntry {
  int number;
  ModeMaker make;
};

template <typename T>
CCommonGeneral* Make(CGameCallBack* game) {
  return new T(game->Roles());
}

// The second place selection ("SelectPlace2").
CCommonGeneral* MakeSelectPlace2(CGameCallBack* game) { return new CCommonSelectPlace(game->Roles(), 1); }

constexpr ModeFactoryEntry kModeFactory[] = {
    {CCommonBackLog::kModeNumber, &Make<CCommonBackLog>},
    {CCommonPrintMessage::kModeNumber, &Make<CCommonPrintMessage>},
    {CCommonCardSystem::kModeNumber, &Make<CCommonCardSystem>},
    {CCommonSelectMessage::kModeNumber, &Make<CCommonSelectMessage>},
    {CCommonNothing::kModeNumber, &Make<CCommonNothing>},
    {CCommonLogo::kModeNumber, &Make<CCommonLogo>},
    {CCommonOpening::kModeNumber, &Make<CCommonOpening>},
    {CCommonTitle::kModeNumber, &Make<CCommonTitle>},
    {CCommonCodecError::kModeNumber, &Make<CCommonCodecError>},
    {CCommonSelectPlace::kModeNumber, &Make<CCommonSelectPlace>},
    {CCommonSelectPlace::kSecondModeNumber, &MakeSelectPlace2},
    {CCommonPrintResult::kModeNumber, &Make<CCommonPrintResult>},
    {CCommonSelectHeroin::kModeNumber, &Make<CCommonSelectHeroin>},
    {CCommonOmake::kModeNumber, &Make<CCommonOmake>},
    {CCommonSelectCG::kModeNumber, &Make<CCommonSelectCG>},
    {CCommonSelectScene::kModeNumber, &Make<CCommonSelectScene>},
    {CCommonSelectCGChara::kModeNumber, &Make<CCommonSelectCGChara>},
    {CCommonSelectSceneChara::kModeNumber, &Make<CCommonSelectSceneChara>},
    {CCommonPrintCG::kModeNumber, &Make<CCommonPrintCG>},
    {CCommonConfig::kModeNumber, &Make<CCommonConfig>},
    {CCommonSelectMovieChara::kModeNumber, &Make<CCommonSelectMovieChara>},
    {CCommonSelectMovie::kModeNumber, &Make<CCommonSelectMovie>},
    {CCommonPrintMovie::kModeNumber, &Make<CCommonPrintMovie>},
    {CCommonChartMenu::kModeNumber, &Make<CCommonChartMenu>},
    {CCommonMiniGame::kModeNumber, &Make<CCommonMiniGame>},
    {CCommonLoad::kModeNumber, &Make<CCommonLoad>},
    {CCommonSave::kModeNumber, &Make<CCommonSave>},
    {CCommonSystemMenu::kModeNumber, &Make<CCommonSystemMenu>},
    {CCommonNameInput::kModeNumber, &Make<CCommonNameInput>},
    {CCommonListenBGM::kModeNumber, &Make<CCommonListenBGM>},
    {CCommonSelectZukan::kModeNumber, &Make<CCommonSelectZukan>},
};

// The companion entries of a row (keys 1..99 only; anything else names no
// mode slot and is skipped).
template <typename F>
void ForEachCompanion(const CKeyFlagTable* table, int row, F&& f) {
  if (!table || row < 0 || row >= CKeyFlagTable::kRows) return;
  for (int i = 0; i < CKeyFlagTable::kEntries; ++i) {
    const int entry = table->GetEntry(row, i);
    const int key = entry >> 8;
    if (key >= 1 && key < CGameCallBack::kModeCount) f(key, entry & 0xFF);
  }
}

bool RowLists(const CKeyFlagTable* table, int row, int key) {
  return table && row >= 0 && row < CKeyFlagTable::kRows && table->Find(row, key) >= 0;
}

}  // namespace

ModeRoles CGameCallBack::GetModeRoles(int n) const {
  ModeRoles roles;
  if (CCommonGeneral* mode = GetMode(n)) mode->RegisterRoles(&roles);
  return roles;
}

CStoryMessageMode* CGameCallBack::GetPrintMessage() const {
  return GetModeRoles(CCommonPrintMessage::kModeNumber).message;
}

CStoryChoiceMode* CGameCallBack::GetSelectMessage() const {
  return GetModeRoles(CCommonSelectMessage::kModeNumber).choice;
}

CStoryBackLogMode* CGameCallBack::GetBackLog() const {
  return GetModeRoles(CCommonBackLog::kModeNumber).backLog;
}

CSystemMenuOptions* CGameCallBack::GetSystemMenuOptions() const {
  return GetModeRoles(CCommonSystemMenu::kModeNumber).systemMenu;
}

CConfigScreen* CGameCallBack::GetConfigScreen() const {
  return GetModeRoles(CCommonConfig::kModeNumber).config;
}

CMoviePlayback* CGameCallBack::GetMoviePlayback() const {
  return GetModeRoles(CCommonPrintMovie::kModeNumber).movie;
}

CQuickLoadMode* CGameCallBack::GetQuickLoadMode() const {
  return GetModeRoles(CCommonLoad::kModeNumber).quickLoad;
}

CQuickSaveMode* CGameCallBack::GetQuickSaveMode() const {
  return GetModeRoles(CCommonSave::kModeNumber).quickSave;
}

CMiniGameHost* CGameCallBack::GetMiniGameHost() const {
  return GetModeRoles(CCommonMiniGame::kModeNumber).miniGameHost;
}

CCommonGeneral* CGameCallBack::MakeMode(int n) {
  for (const ModeFactoryEntry& e : kModeFactory)
    if (e.number == n && e.make) return e.make(this);
  return nullptr;
}

int CGameCallBack::CreateMode(int n) {
  if (n < 0 || n >= kModeCount || modeTable_[n] || modeDisable_[n]) return 0;
  modeTable_[n] = MakeMode(n);
  return modeTable_[n] ? 1 : 0;
}

void CGameCallBack::ChangeMode() {
  const int old = GetCurrentMode();
  // The logo's start-up record is the start-up chain's (mode 2's work).
  if (CCommonGeneral* mode = GetMode(old)) mode->Leave();
  // Bits above the low byte are the caller's.
  const int next = GetNextMode() & 0xFF;
  SetCurrentMode(next);
  ReleaseModeResources(old, next);
  // A number without a mode object (100..255 included) becomes current
  // without entering anything.
  if (CCommonGeneral* mode = GetMode(next)) mode->Enter();
  LoadModeResources(old, next);
  CScreenBuffer::SetFullRedraw(0);
}

void CGameCallBack::LeaveMode(int n) {
  if (CCommonGeneral* mode = GetMode(n)) mode->Leave();
}

void CGameCallBack::ReleaseModeResources(int from, int to) {
  ForEachCompanion(keyFlagTable_, from, [&](int key, int) {
    if (RowLists(keyFlagTable_, to, key)) return;
    if (CCommonGeneral* mode = GetMode(key)) mode->CallLeave();
  });
}

void CGameCallBack::LoadModeResources(int from, int to) {
  ForEachCompanion(keyFlagTable_, to, [&](int key, int) {
    if (RowLists(keyFlagTable_, from, key)) return;
    if (CCommonGeneral* mode = GetMode(key)) mode->CallInit();
  });
}

void CGameCallBack::ChangeModeResources(int from, int to) {
  ReleaseModeResources(from, to);
  LoadModeResources(from, to);
}

void CGameCallBack::CalcuListedModes() {
  ForEachCompanion(keyFlagTable_, GetCurrentMode(), [&](int key, int flags) {
    CCommonGeneral* mode = GetMode(key);
    if (mode && (flags & 0x02)) mode->CalcuUnlessFading(flags & 0x20);
  });
}

void CGameCallBack::PrintListedModes() {
  ForEachCompanion(keyFlagTable_, GetCurrentMode(), [&](int key, int flags) {
    CCommonGeneral* mode = GetMode(key);
    if (mode && (flags & 0x04)) mode->PrintUnlessFading(flags & 0x40);
  });
}

void CGameCallBack::NotifyMode(int mode, int value) {
  if (CCommonGeneral* m = GetMode(mode)) m->SetParameter(value);
}

void CGameCallBack::SetReturnMode(int mode) { returnMode_ = mode; }

// The back log: the lines go to mode 7's store when the mode exists.

void CGameCallBack::AddBackLog(const char* text, int r, int g, int b) {
  if (CStoryBackLogMode* log = GetBackLog()) log->AddLine(text, r, g, b);
}

void CGameCallBack::SetBackLogColor(int linesBack, int r, int g, int b) {
  if (CStoryBackLogMode* log = GetBackLog()) log->SetLineColor(linesBack, r, g, b);
}

void CGameCallBack::ClearBackLog() {
  if (CStoryBackLogMode* log = GetBackLog()) log->ClearLog();
}

void CGameCallBack::OnModeEnter(int) {}

void CGameCallBack::RestartFromLoad() {
  SetResetWord(0);
  SetResetWordB(0);
  SetStateVarWord(0);
  SetMessageModeFlag(0);
  SetBackScriptMode(0);
  ResetTextPosition();
  // The loaded message words and choice words were handed to the
  // print-message and choice modes as the save was read, and the cut-in
  // number with the CUTIN chunk; here the current mode starts again.
  CCommonGeneral* mode = GetMode(GetCurrentMode());
  if (mode) mode->ResetGame();
  if (GetCurrentMode() == CCommonPrintMessage::kModeNumber)
    if (CStoryMessageMode* printMessage = GetPrintMessage()) {
      printMessage->SetLineCount(savedLineCount_);
      SetBackScriptMode(0);
    }
  if (mode) mode->Enter();
  if (GetExtDataValue()) NotifyListedModes();
  if (effect_) effect_->RestoreEffects();
  PlayPendingSounds();
  OnResetGame();
}

void CGameCallBack::NotifyListedModes() {
  ForEachCompanion(keyFlagTable_, GetCurrentMode(), [&](int key, int) {
    if (CCommonGeneral* mode = GetMode(key)) mode->CallInit();
  });
}

void CGameCallBack::SetMiniGameAreaMode(int mode) {
  if (CMiniGameHost* host = GetMiniGameHost())
    host->SetMiniGameCheckMode(mode);
}

void CGameCallBack::PrintMiniGameButtons() {
  if (CMiniGameHost* host = GetMiniGameHost())
    host->PrintMiniGameAreaButtons();
}

void CGameCallBack::CreateModes() {}

void CGameCallBack::OnModeHook(int) {}
