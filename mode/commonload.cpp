#include "mode/commonload.h"

#include <string>

#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/savedatafile.h"

CCommonLoad::CCommonLoad(const GameRoles& game) : CCommonLoadSave(game, "load", 0) {
  GetSetupInt(&loadSound_, "loadSound");
  GetSetupInt(&cannotLoadSound_, "cannotLoadSound");
  loadVoices_.Load(*this, "loadVoiceNumber", "loadVoice");
  cannotLoadVoices_.Load(*this, "cannotLoadVoiceNumber", "cannotLoadVoice");
  GetSetupInt(&quickLoadSelectOk_, "quickLoadSelectOk");
}

CCommonLoad::~CCommonLoad() { Release(); }

void CCommonLoad::Release() { CCommonLoadSave::Release(); }

int CCommonLoad::Calcu() { return CCommonLoadSave::Calcu(); }

int CCommonLoad::Print() { return CCommonLoadSave::Print(); }

int CCommonLoad::Init() { return CCommonLoadSave::Init(); }

int CCommonLoad::Leave() { return -1; }

int CCommonLoad::PrintEnterScreen() { return Print(); }

int CCommonLoad::OnSlotDecided(int) { return -1; }

int CCommonLoad::OnSlotWithData(int index) {
  chosen_ = index;
  blinkCounter_ = 0;
  waiting_ = 1;
  if (loadSound_ != -1 && game_) game_.sound->PlaySystemSe(loadSound_ - 1, 0);
  loadVoices_.Play(game_, -1);
  return -1;
}

void CCommonLoad::PlayCannotLoad() {
  if (cannotLoadSound_ != -1 && game_) game_.sound->PlaySystemSe(cannotLoadSound_ - 1, 0);
  cannotLoadVoices_.Play(game_, -1);
}

int CCommonLoad::OnEmptySlot(int index) {
  // A slot holding a file it cannot load says why; an empty one only sounds.
  CCommonDataFile* slot = GetSlot(index);
  if (slot && slot->HoldsFile() && (slot->IsDamaged() || !slot->IsLoadable())) {
    TellCannotLoad(slot, GetAbsoluteSlot(index), "save");
    return -1;
  }
  PlayCannotLoad();
  return -1;
}

bool CCommonLoad::LoadAndRestart(CCommonDataFile* slot, int absolute) {
  CreateExitScreen();
  // A slot that vanished or was damaged after its peek is refused before
  // anything of the game changes: nothing restarts then.
  if (slot->Load(absolute) < 0) return false;
  game_.modeFlow->RestartFromLoad();
  if (CPicture* picture = game_.screen->GetBufferPicture(0)) picture->Put(0, 0, 0);
  CScreenBuffer::SetFullRedraw(0);
  return true;
}

void CCommonLoad::AtExit() {
  if (!loadChosen_ || !game_) return;
  loadChosen_ = 0;
  waiting_ = 0;
  CCommonDataFile* slot = GetSlot(chosen_);
  const int absolute = GetAbsoluteSlot(chosen_);
  chosen_ = -1;
  if (slot && LoadAndRestart(slot, absolute)) return;
  // As the back button: back to the mode that opened the screen.
  PlayCannotLoad();
  game_.modeFlow->SetReturnFlag();
  game_.modeFlow->SetNextMode(parameter_);
}

int CCommonLoad::QuickLoad() {
  CCommonDataFile* slot = GetSlot(0);
  if (!slot || !game_) return 0;
  slot->Peek(quickLoadSlot_);
  if (!slot->HoldsFile()) return 0;
  if (slot->IsDamaged() || !slot->IsLoadable()) {
    TellCannotLoad(slot, quickLoadSlot_, "quick save");
    return 0;
  }
  game_.sound->StopAllSound();
  if (LoadAndRestart(slot, quickLoadSlot_)) return 1;
  TellCannotLoad(slot, quickLoadSlot_, "quick save");
  return 0;
}

// A damaged quick slot counts as one with data, so that quick load is
// offered and then says why it cannot load.
int CCommonLoad::HasQuickLoadData() {
  CCommonDataFile* slot = GetSlot(0);
  if (!slot) return 0;
  slot->Peek(quickLoadSlot_);
  return slot->HoldsFile();
}

void CCommonLoad::TellCannotLoad(CCommonDataFile* slot, int absolute, const char* what) {
  std::string why = slot->GetRefusal();
  if (why.empty()) {
    const int version = slot->CheckVersion();
    why = version < 0 ? "it was saved by a newer program" : version > 1 ? "it is too old to load" : "it cannot be read";
  }
  const std::string path = CCommonDataFile::SlotPath(absolute);
  const std::string text = std::string(what) + " cannot be loaded: " + why;
  platform::ErrorOutput((path + ": the " + text).c_str());
  platform::MessageBox(nullptr, (path + "\nThe " + text).c_str(), "ERROR", MB_OK | MB_ICONERROR);
  PlayCannotLoad();
}
