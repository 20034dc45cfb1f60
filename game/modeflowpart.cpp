#include "game/modeflowpart.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "game/extramodes.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/keyflagtable.h"
#include "game/messagewindowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "input/inputstatus.h"
#include "modebase/commongeneral.h"
#include "modebase/minigamehost.h"
#include "modebase/modenames.h"
#include "modebase/quickloadsave.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "script/script.h"
#include "setup/setuplist.h"
#include "widget/buttoncode.h"
#include "widget/commonbuttonsetup.h"
#include "savedata/gamestatus.h"
#include "savedata/savechunk.h"
#include "modebase/modenumbers.h"
#include "modebase/moderoles.h"
#include "platform/bytes.h"

namespace {

// SYSTEM DATA word of the play counter.
constexpr int kPlayCountOffset = 208;
constexpr int kMaxPlayCount = 0x7FFFFFFE;

// The companion entries of a row (keys 1..99 only; anything else names no
// mode slot and is skipped).
template <typename F>
void ForEachCompanion(const CKeyFlagTable* table, int row, F&& f) {
  if (!table || row < 0 || row >= CKeyFlagTable::kRows) return;
  for (int i = 0; i < CKeyFlagTable::kEntries; ++i) {
    const int entry = table->GetEntry(row, i);
    const int key = entry >> 8;
    if (key >= 1 && key < CModeFlowPart::kModeCount) f(key, entry & 0xFF);
  }
}

bool RowLists(const CKeyFlagTable* table, int row, int key) {
  return table && row >= 0 && row < CKeyFlagTable::kRows && table->Find(row, key) >= 0;
}

}  // namespace

CModeFlowPart::CModeFlowPart(const Links& links) : links_(links) {
  for (int& n : nextModeStack_) n = -1;
  // Every run starts in the start-up mode.
  modeStack_[0] = modenumber::kNothing;
}

// The modes go first, in the order of their numbers.
CModeFlowPart::~CModeFlowPart() {
  for (auto& mode : modeTable_) mode.reset();
}

void CModeFlowPart::ReadSettings() {
  ReadInt(links_.list, &settings_.useExtClass, "useExtClass");
  ReadInt(links_.list, &settings_.createBackButtonFlag, "createBackButtonFlag");
}

// --- Init's steps ---

void CModeFlowPart::MakeExtraModeList() { extraModeList_ = std::make_unique<CExtraModeList>(); }

void CModeFlowPart::InitModeSwitches() {
  std::fill(std::begin(modeDisable_), std::end(modeDisable_), 0);
  for (int i = 0; i < extraModeList_->GetCount(); ++i) {
    const int n = extraModeList_->GetNumber(i);
    int isDefault = 0;
    ReadInt(links_.list, &isDefault, (std::string(extraModeList_->GetName(i)) + "IsDefault").c_str());
    if (n >= 0 && n < kModeCount) modeDisable_[n] = isDefault ? 0 : 1;
  }
  LoadClassDisable();
  if (!modeDisable_[modenumber::kMiniGame]) {
    LoadMiniGameSetupFile("miniGame", 512);
    GetMiniGameSetupInt(&settings_.areaButtonMode, "areaButtonMode");
    // As the mini-game mode holds it: "addMiniGame" by default, at most the
    // holder's 32 games, so menu columns and area buttons never share a
    // pool picture.
    GetMiniGameSetupInt(&settings_.miniGameCheckNumber, "addMiniGame");
    GetMiniGameSetupInt(&settings_.miniGameCheckNumber, "miniGameCheckNumber");
    settings_.miniGameCheckNumber = std::clamp(settings_.miniGameCheckNumber, 0, CMiniGameHost::kMaxGames);
  }
}

void CModeFlowPart::LoadClassDisable() {
  for (int n = 0; n < kModeCount; ++n) {
    const char* name = modenames::GetModeName(n);
    if (!*name) continue;
    int value = 0;
    if (ReadInt(links_.list, &value, (std::string(name) + "ClassDisable").c_str())) modeDisable_[n] = value != 0 ? 1 : 0;
  }
}

int CModeFlowPart::LoadMiniGameSetupFile(const char* name, int pairs) {
  if (!miniGameList_) miniGameList_ = std::make_unique<CSetupList>();
  return miniGameList_->LoadSetupFile(name, pairs);
}

int CModeFlowPart::GetMiniGameSetupInt(int* out, const char* key) const {
  return miniGameList_ ? miniGameList_->GetSetupInt(out, key) : 0;
}

void CModeFlowPart::MakeKeyFlagTable() { keyFlagTable_ = std::make_unique<CKeyFlagTable>(settings_.useExtClass); }

// The common back button's setup: made by CreateBackButton, which a title
// class supplies (empty here).
void CModeFlowPart::InitBackButton() {
  commonSetupSecond_ = commonSetupThird_ = 0;
  if (settings_.createBackButtonFlag) links_.hooks->CreateBackButton();
}

// --- The mode table ---

int CModeFlowPart::CreateMode(int n) {
  if (n < 0 || n >= kModeCount || modeTable_[n] || modeDisable_[n]) return 0;
  modeTable_[n] = links_.hooks->MakeMode(n);
  return modeTable_[n] ? 1 : 0;
}

void CModeFlowPart::PutMode(int n, std::unique_ptr<CCommonGeneral> mode) {
  if (n >= 0 && n < kModeCount) modeTable_[n] = std::move(mode);
}

ModeRoles CModeFlowPart::GetModeRoles(int n) const {
  ModeRoles roles;
  if (CCommonGeneral* mode = GetMode(n)) mode->RegisterRoles(&roles);
  return roles;
}

CStoryMessageMode* CModeFlowPart::GetPrintMessage() const {
  return GetModeRoles(modenumber::kPrintMessage).message;
}

CStoryChoiceMode* CModeFlowPart::GetSelectMessage() const {
  return GetModeRoles(modenumber::kSelectMessage).choice;
}

CStoryBackLogMode* CModeFlowPart::GetBackLog() const { return GetModeRoles(modenumber::kBackLog).backLog; }

CSystemMenuOptions* CModeFlowPart::GetSystemMenuOptions() const {
  return GetModeRoles(modenumber::kSystemMenu).systemMenu;
}

CConfigScreen* CModeFlowPart::GetConfigScreen() const { return GetModeRoles(modenumber::kConfig).config; }

CMoviePlayback* CModeFlowPart::GetMoviePlayback() const {
  return GetModeRoles(modenumber::kPrintMovie).movie;
}

CQuickLoadMode* CModeFlowPart::GetQuickLoadMode() const { return GetModeRoles(modenumber::kLoad).quickLoad; }

CQuickSaveMode* CModeFlowPart::GetQuickSaveMode() const { return GetModeRoles(modenumber::kSave).quickSave; }

CMiniGameHost* CModeFlowPart::GetMiniGameHost() const {
  return GetModeRoles(modenumber::kMiniGame).miniGameHost;
}

int CModeFlowPart::WriteConfirmedSave() const {
  if (GetCurrentMode() != modenumber::kSave) return 0;
  CConfirmedSaveMode* save = GetModeRoles(modenumber::kSave).confirmedSave;
  return save ? save->WriteConfirmedSave() : 0;
}

// --- The mode stack ---

void CModeFlowPart::SetCurrentMode(int n) {
  modeStack_[modeLevel_] = n;
  if (modeLevel_ == 0 && (n == modenumber::kSelectMessage || n == modenumber::kPrintMessage ||
                          n == modenumber::kSelectPlace || n == modenumber::kSelectHeroin ||
                          (n >= modenumber::kSelectPlace2 && n <= 39) || (n >= 50 && n <= 99)))
    lastMainMode_ = n;
}

void CModeFlowPart::SetModeLevel(int level) { modeLevel_ = std::clamp(level, 0, kLevelCount - 1); }

void CModeFlowPart::SetModeAtLevel(int level, int n) {
  const int saved = modeLevel_;
  modeLevel_ = level;
  SetCurrentMode(n);
  modeLevel_ = saved;
}

// --- Mode changes ---

void CModeFlowPart::ChangeMode() {
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

void CModeFlowPart::LeaveMode(int n) {
  if (CCommonGeneral* mode = GetMode(n)) mode->Leave();
}

void CModeFlowPart::ReleaseModeResources(int from, int to) {
  const CKeyFlagTable* table = keyFlagTable_.get();
  ForEachCompanion(table, from, [&](int key, int) {
    if (RowLists(table, to, key)) return;
    if (CCommonGeneral* mode = GetMode(key)) mode->CallLeave();
  });
}

void CModeFlowPart::LoadModeResources(int from, int to) {
  const CKeyFlagTable* table = keyFlagTable_.get();
  ForEachCompanion(table, to, [&](int key, int) {
    if (RowLists(table, from, key)) return;
    if (CCommonGeneral* mode = GetMode(key)) mode->CallInit();
  });
}

void CModeFlowPart::ChangeModeResources(int from, int to) {
  ReleaseModeResources(from, to);
  LoadModeResources(from, to);
}

void CModeFlowPart::CalcuListedModes() {
  ForEachCompanion(keyFlagTable_.get(), GetCurrentMode(), [&](int key, int flags) {
    CCommonGeneral* mode = GetMode(key);
    if (mode && (flags & 0x02)) mode->CalcuUnlessFading(flags & 0x20);
  });
}

void CModeFlowPart::PrintListedModes() {
  ForEachCompanion(keyFlagTable_.get(), GetCurrentMode(), [&](int key, int flags) {
    CCommonGeneral* mode = GetMode(key);
    if (mode && (flags & 0x04)) mode->PrintUnlessFading(flags & 0x40);
  });
}

void CModeFlowPart::NotifyListedModes() {
  ForEachCompanion(keyFlagTable_.get(), GetCurrentMode(), [&](int key, int) {
    if (CCommonGeneral* mode = GetMode(key)) mode->CallInit();
  });
}

void CModeFlowPart::PrintLowerModes() {
  int flag[kLevelCount] = {};
  const int level = std::clamp(modeLevel_, 0, kLevelCount - 1);
  for (int p = level - 1; p >= 0; --p) {
    flag[p] = drawThrough_[p];
    if (flag[p] != 1) break;
  }
  for (int p = 0; p < level; ++p)
    if (flag[p] != 0)
      if (CCommonGeneral* mode = GetMode(GetModeAtLevel(p))) mode->GeneralPrint();
}

void CModeFlowPart::ResetMiniGameMode() {
  if (CCommonGeneral* mode = GetMode(modenumber::kMiniGame)) mode->ResetGame();
}

void CModeFlowPart::NotifyMode(int mode, int value) {
  if (CCommonGeneral* m = GetMode(mode)) m->SetParameter(value);
}

void CModeFlowPart::CloseGame() { platform::PostMessage(links_.window, WM_CLOSE, 0, 0); }

void CModeFlowPart::OnModeEnter(int mode) { links_.hooks->OnModeEnter(mode); }

void CModeFlowPart::OnModeHook(int mode) { links_.hooks->OnModeHook(mode); }

int CModeFlowPart::CallScriptLabel(int label) { return links_.scripts->CallScriptLabel(label); }

int CModeFlowPart::StartSceneScript() { return links_.scripts->StartSceneScript(); }

int CModeFlowPart::GetScriptStartFlag() { return links_.scripts->GetScriptStartFlag(); }

void CModeFlowPart::SetScriptStartFlag(int flag) { links_.scripts->SetScriptStartFlag(flag); }

int CModeFlowPart::RegistSystemFunction(int mode, const char* name, int value) {
  return links_.scripts->RegistSystemFunction(mode, name, value);
}

void CModeFlowPart::SetSystemMenuSceneMode(int flag) {
  if (CSystemMenuOptions* menu = GetSystemMenuOptions()) menu->SetSceneMode(flag);
}

// --- Game starts ---

// What both starts do after the variables: the reset words, the effect
// channels, the skip words and the new-game step of every mode.
void CModeFlowPart::ResetForGameStart() {
  SetResetWord(0);
  SetResetWordB(0);
  if (CAllEffect* effect = links_.screen->GetEffect()) effect->ResetAll();
  links_.scripts->RunStopF5(0, nullptr);
  links_.messageWindow->SetMessageModeFlagWord(0);
  links_.hooks->OnNewGame(0, 0);
  for (int n = 1; n < kModeCount; ++n)
    if (CCommonGeneral* mode = GetMode(n)) mode->NewGame();
}

int CModeFlowPart::StartNewGame(int, int stateFlag, int varNumber, int value) {
  CVariablePart& vars = *links_.vars;
  CMessageWindowPart& story = *links_.messageWindow;
  CScreenPart& screen = *links_.screen;
  vars.ClearGameVars(vars.GetSettings().varInitFlag);
  if (varNumber != -1) vars.SetVar(varNumber, value);
  story.SetMessageWindowOn(0);
  story.SetMessageWindowMode(0);
  links_.scripts->SetBackScriptMode(0);
  story.SetStoredOption(0);
  links_.text->ResetTextPosition();
  for (int channel = 0; channel < CScreenPart::kEffectChannels; ++channel)
    if (CAllEffect* effect = screen.GetEffect()) effect->SetPrintEnable(channel, 1);
  screen.SetLayerDisableMask(0);
  story.Words().cutinNumber = 0;
  if (CStoryMessageMode* printMessage = GetPrintMessage()) printMessage->SetCutinNumber(0);
  vars.SetStateVarWord(stateFlag);
  ResetForGameStart();
  // The costume mask and the channels' picture-variant variables are the
  // game's before: a new game starts without them.
  CScriptPart::PictureWords& pictures = links_.scripts->Pictures();
  pictures.costumeMask = 0;
  std::fill(std::begin(pictures.variantVars), std::end(pictures.variantVars), 0);
  // The frame runs the control script from its start.
  links_.scripts->RewindControlScript(false);
  links_.scripts->CheckControlScriptLoaded();
  if (stateFlag != 0) links_.sound->StopBgm(-1);
  links_.frame->CalcuWaitCount(-1);
  story.SetSkipFilmFlag(1);
  return -1;
}

void CModeFlowPart::StartGameScript(int varNumber, int value) {
  CVariablePart& vars = *links_.vars;
  vars.ClearGameVars(0);
  links_.scripts->SetScriptStartFlag(1);
  if (varNumber != -1) vars.SetVar(varNumber, value);
  links_.messageWindow->SetMessageWindowOn(0);
  ResetForGameStart();
  links_.scripts->RewindControlScript(true);
  if (CScript* control = links_.scripts->GetScript(0)) control->Run(-1);
  links_.frame->CalcuWaitCount(-1);
}

void CModeFlowPart::RestartFromLoad() {
  CMessageWindowPart& story = *links_.messageWindow;
  SetResetWord(0);
  SetResetWordB(0);
  links_.vars->SetStateVarWord(0);
  story.SetMessageModeFlag(0);
  links_.scripts->SetBackScriptMode(0);
  links_.text->ResetTextPosition();
  // A loaded game starts without the script's automatic message mode and
  // its click and skip locks, whatever the save held.
  story.SetProhibitWords(0, 0, 0);
  // The loaded message words and choice words were handed to the
  // print-message and choice modes as the save was read, and the cut-in
  // number with the CUTIN chunk; here the current mode starts again.
  CCommonGeneral* mode = GetMode(GetCurrentMode());
  if (mode) mode->ResetGame();
  if (GetCurrentMode() == modenumber::kPrintMessage)
    if (CStoryMessageMode* printMessage = GetPrintMessage()) {
      printMessage->SetLineCount(story.Words().savedLineCount);
      links_.scripts->SetBackScriptMode(0);
    }
  if (mode) mode->Enter();
  if (links_.saves->GetExtDataValue()) NotifyListedModes();
  if (CAllEffect* effect = links_.screen->GetEffect()) effect->RestoreEffects();
  links_.sound->PlayPendingSounds();
  links_.hooks->OnResetGame();
}

// A story mode opening a system mode (save, load, config, system menu):
// the state is kept and the thumbnail taken while the story is on screen.
int CModeFlowPart::PrepareSystemMode(int result, int returnMode) {
  if (returnMode == 0) returnMode = modenumber::kDefaultReturnMode;
  links_.saves->KeepGameState();
  SetReturnMode(returnMode);
  links_.saves->MakeMiniCG();
  for (int mode : {modenumber::kSave, modenumber::kLoad, modenumber::kConfig, modenumber::kSystemMenu})
    NotifyMode(mode, returnMode);
  if (CCommonGeneral* back = GetMode(returnMode)) back->CreateExitScreen();
  if (returnMode == modenumber::kPrintMessage && links_.messageWindow->GetMessageModeFlag())
    SetSystemMenuSceneMode(1);
  CScreenBuffer::SetFullRedraw(0);
  return result;
}

// --- Mini-games ---

void CModeFlowPart::SetMiniGameAreaMode(int mode) {
  if (CMiniGameHost* host = GetMiniGameHost()) host->SetMiniGameCheckMode(mode);
}

void CModeFlowPart::PrintMiniGameButtons() {
  if (CMiniGameHost* host = GetMiniGameHost()) host->PrintMiniGameAreaButtons();
}

int CModeFlowPart::CheckMiniGameStart(int value) {
  CMiniGameHost* host = GetMiniGameHost();
  if (!host) return 0;
  if (host->IsMiniGameRunning()) {
    const int32_t code = host->GetMiniGameButtonCode();
    if (code == buttoncode::kNothing) return 0;
    const int sound = GetButtonCodeSound(code);
    if (sound >= 1) links_.sound->PlaySystemSe(sound - 1, 0);
    // The decided area button's number is the game's number, so game 0
    // starts like any other.
    const int number = GetButtonCodeNumber(code);
    if (number < 0 || GetButtonCodeKind(code) != buttoncode::kDecided) return 0;
    miniGameNumber_ = number;
    return 1;
  }
  const int game = host->CheckMiniGameValue(value);
  const CMouseStatus* mouse = links_.input->GetMouseStatus();
  if (game < 0 || !mouse || !mouse->GetClick(0)) return 0;
  miniGameNumber_ = game;
  return 1;
}

// --- The play counter ---

void CModeFlowPart::ClearPlayCount() {
  if (links_.systemFile) links_.systemFile->SetSystemData(kPlayCountOffset, 0);
}

int CModeFlowPart::GetPlayCount() const {
  return links_.systemFile ? links_.systemFile->GetSystemData(kPlayCountOffset) : 0;
}

void CModeFlowPart::AddPlayCount() {
  if (playCountAdded_ || !links_.systemFile) return;
  playCountAdded_ = 1;
  const int count = GetPlayCount();
  if (count < kMaxPlayCount) links_.systemFile->SetSystemData(kPlayCountOffset, count + 1);
}

// --- Its share of the saved game ---

namespace {

// The MESSAGE chunk: 64 entries of 256 bytes behind the header.
constexpr int kMessageEntries = 64;
constexpr size_t kMessageEntrySize = 256;
// The print-message mode's cut-in words behind the CUTIN chunk's header,
// and its cut-in number at byte 1052.
constexpr size_t kCutinNumberAt = 1052;

}  // namespace

void CModeFlowPart::PutStatus(uint8_t* status) {
  namespace gs = gamestatus;
  gs::Set(status, gs::kReturnMode, GetReturnMode());
  CMessageWindowPart::StoryWords& words = links_.messageWindow->Words();
  if (const CStoryMessageMode* printMessage = GetPrintMessage()) {
    words.savedLineCount = printMessage->GetLineCount();
    words.messageCode = printMessage->GetMessageCode();
  }
  if (const CStoryChoiceMode* choice = GetSelectMessage()) {
    words.savedChoiceEnd = choice->GetSelectEnd();
    words.savedChoiceStart = choice->GetSelectStart();
    words.choiceWords[0] = choice->GetTimeLimit();
    words.choiceWords[1] = choice->GetTimeoutChoice();
    words.choiceWords[2] = choice->GetSelectState();
    words.choiceWords[3] = choice->GetSelectExtra();
  }
}

void CModeFlowPart::GetStatus(const uint8_t* status) {
  const int mode = gamestatus::Get(status, gamestatus::kReturnMode);
  SetModeAtLevel(0, mode);
  const CMessageWindowPart::StoryWords& words = links_.messageWindow->Words();
  if (mode == modenumber::kPrintMessage) {
    if (CStoryMessageMode* printMessage = GetPrintMessage()) {
      printMessage->SetMessageCode(words.messageCode);
      printMessage->SetLineCount(words.savedLineCount);
    }
  } else if (mode == modenumber::kSelectMessage) {
    if (CStoryChoiceMode* choice = GetSelectMessage()) {
      // The mode holds the range to its 64 slots; the end is at least the
      // start.
      const int64_t length = int64_t{words.savedChoiceEnd} - words.savedChoiceStart;
      choice->SetSelectRange(static_cast<int>(std::clamp<int64_t>(length, 0, INT32_MAX)), words.savedChoiceStart);
      choice->SetTimeLimit(std::max(words.choiceWords[0], 0), words.choiceWords[1]);
      choice->SetSelectState(words.choiceWords[2]);
      choice->SetSelectExtra(words.choiceWords[3]);
    }
  }
}

void CModeFlowPart::PutMessageChunk(uint8_t* chunk, size_t size) const {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || size <= kHeader) return;
  const size_t body = std::min(size - kHeader, kMessageEntries * kMessageEntrySize);
  std::memset(chunk + kHeader, 0, body);
  std::vector<const char*> texts;
  if (GetReturnMode() == modenumber::kSelectMessage) {
    if (const CStoryChoiceMode* choice = GetSelectMessage())
      for (int i = 0; i < choice->GetSelectEnd(); ++i) texts.push_back(choice->GetSelectText(i));
  } else if (const CStoryMessageMode* printMessage = GetPrintMessage()) {
    for (int i = 0; i < printMessage->GetLineCount(); ++i) texts.push_back(printMessage->GetMessageLine(i));
  }
  CSavePart::FillMessageEntries(chunk, size, texts);
}

// The 64 entries go back into the print-message mode's lines (the mode
// ends every line with two NULs) and the choice mode's slots.
void CModeFlowPart::GetMessageChunk(const uint8_t* chunk, size_t size) {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || size <= kHeader) return;
  if (CStoryMessageMode* printMessage = GetPrintMessage())
    for (int i = 0; i < kMessageEntries; ++i) {
      const size_t at = kHeader + static_cast<size_t>(i) * kMessageEntrySize;
      if (at + kMessageEntrySize > size) break;
      printMessage->SetMessageLine(i, reinterpret_cast<const char*>(chunk + at), kMessageEntrySize);
    }
  if (CStoryChoiceMode* choice = GetSelectMessage()) choice->RestoreSelectTexts(chunk + kHeader, size - kHeader);
}

void CModeFlowPart::PutCutinChunk(uint8_t* chunk, size_t size) const {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  const CStoryMessageMode* printMessage = GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * size_t{CStoryMessageMode::kCutinWords}) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  printMessage->SaveData(words);
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    platform::SetLE32(chunk + kHeader + 4 * i, static_cast<uint32_t>(words[i]));
  if (size >= kCutinNumberAt + 4)
    platform::SetLE32(chunk + kCutinNumberAt, static_cast<uint32_t>(printMessage->GetCutinNumber()));
}

void CModeFlowPart::GetCutinChunk(const uint8_t* chunk, size_t size) {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  CStoryMessageMode* printMessage = GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * size_t{CStoryMessageMode::kCutinWords}) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    words[i] = platform::GetLE32Signed(chunk + kHeader + 4 * i);
  printMessage->LoadData(words);
  if (size >= kCutinNumberAt + 4) printMessage->SetCutinNumber(platform::GetLE32Signed(chunk + kCutinNumberAt));
}

void CModeFlowPart::SaveKeyFlagTable(uint8_t* body, size_t size) const {
  if (CKeyFlagTable* table = GetKeyFlagTable()) table->SaveBytes(body, size);
}

void CModeFlowPart::LoadKeyFlagTable(const uint8_t* body, size_t size) {
  // The table sanitises what it reads: keys outside 1..99 and repeats go.
  if (CKeyFlagTable* table = GetKeyFlagTable()) table->LoadBytes(body, size);
}
