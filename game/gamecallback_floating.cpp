// CGameCallBack: the floating buttons over the story screens (option,
// scene, skip-film and the four quick buttons), quick save and quick load,
// the global short-cut keys and the mini-game start check.
//
// A button is shown by drawing it (saving what it covers, so the next
// frame's restore takes it off again) and hidden by resetting it, so a
// decided click is acted on once. The load and save screens do the quick
// operations (modebase/quickloadsave.h); the mini-game mode answers the start
// check (modebase/minigamehost.h). Without them the services answer as for a
// missing mode.
#include <algorithm>
#include <iterator>

#include "modebase/commongeneral.h"
#include "game/gamecallback.h"
#include "input/inputstatus.h"
#include "modebase/minigamehost.h"
#include "modebase/quickloadsave.h"
#include "modebase/modenumbers.h"
#include "graphics/picture.h"
#include "widget/buttoncode.h"
#include "widget/notice.h"
#include "widget/sceneoptionbutton.h"

namespace {

constexpr int kQuickLoad = 5;
constexpr int kQuickSave = 6;

// The keys the short cuts test (key-status codes).
constexpr int kKeyL = 76, kKeyS = 83, kKeyC = 67, kKeyM = 77, kKeyO = 79;

// The kind a mode's quick-button table knows each quick button by (the
// mode it leads to); 0 for the buttons the table does not cover.
constexpr int kButtonKinds[7] = {0, 0, 0, modenumber::kSave, modenumber::kLoad, modenumber::kConfig,
                                 modenumber::kBackLog};

// 1 when the code is a decided click carrying button number 0.
bool Decided(int32_t code) { return GetButtonCodeNumber(code) == 0; }

bool PressedOrBusy(int32_t code) {
  const int32_t kind = GetButtonCodeKind(code);
  return kind == buttoncode::kPressed || kind == buttoncode::kBusy;
}

}  // namespace

// --- Helpers ---

void CGameCallBack::PlaySettingSound(int n) {
  if (n >= 1) PlaySystemSe(n - 1, 0);
}

// The back-log button is allowed in every mode (no setting restricts it);
// a mode hides it with its own "disableQuickbacklogButton".
bool CGameCallBack::FloatingButtonAllowed(int i) const {
  if (!GetFloatingButton(i)) return false;
  CCommonGeneral* mode = GetMode(GetCurrentMode());
  return !mode || kButtonKinds[i] == 0 || mode->IsQuickButtonDisabled(kButtonKinds[i], 0, 0) == 0;
}

void CGameCallBack::ShowButton(int i) {
  if (CSceneOptionButton* button = GetFloatingButton(i)) button->Print(1);
}

void CGameCallBack::HideButton(int i) {
  if (CSceneOptionButton* button = GetFloatingButton(i)) button->Init();
}

// --- Show and hide ---

void CGameCallBack::ShowFloatingButtons() {
  showRequests_[1] = 0;
  if (GetFloatingButtonOffFlag()) return;
  ShowButton(kOptionButton);
  if (!GetMessageModeFlag()) {
    if (FloatingButtonAllowed(kQuickLoadButton)) ShowButton(kQuickLoadButton);
    if (FloatingButtonAllowed(kQuickSaveButton)) ShowButton(kQuickSaveButton);
  }
  if (FloatingButtonAllowed(kQuickConfigButton)) ShowButton(kQuickConfigButton);
  if (FloatingButtonAllowed(kQuickBacklogButton)) ShowButton(kQuickBacklogButton);
}

void CGameCallBack::ShowSceneButton() {
  showRequests_[0] = 0;
  if (GetMessageModeFlag()) ShowButton(kSceneButton);
}

void CGameCallBack::ShowSkipFilmButton() {
  showRequests_[2] = 0;
  if (!GetMessageModeFlag()) ShowButton(kSkipFilmButton);
}

void CGameCallBack::HideFloatingButtons() {
  HideButton(kOptionButton);
  HideButton(kQuickSaveButton);
  HideButton(kQuickLoadButton);
  UpdateQuickLoadButton();
  HideButton(kQuickConfigButton);
  HideButton(kQuickBacklogButton);
}

void CGameCallBack::HideSceneButton() { HideButton(kSceneButton); }

void CGameCallBack::HideSkipFilmButton() { HideButton(kSkipFilmButton); }

// The frame carries the requests out near its end (the Show operations).
void CGameCallBack::RequestFloatingButtons() { showRequests_[1] = 1; }

void CGameCallBack::RequestSceneButton() { showRequests_[0] = 1; }

void CGameCallBack::RequestSkipFilmButton() {
  if (skipFilmButtonEnable_ == 1) showRequests_[2] = 1;
}

void CGameCallBack::UpdateQuickLoadButton() {
  CSceneOptionButton* button = GetFloatingButton(kQuickLoadButton);
  if (!button) return;
  if (CheckQuickLoadData() == 1) {
    button->SetEnable(1);
    button->Init();
  } else {
    button->SetEnable(0);
  }
}

// The layers come off the screen, and buffer picture 0 takes the screen
// without them.
void CGameCallBack::PrintFloatingLayers() {
  RestoreFloatingLayers();
  if (CPicture* picture = GetBufferPicture(0)) picture->GetScreen();
}

// --- Quick load and save ---

int CGameCallBack::CheckQuickLoadData() {
  if (!settings_.quickLoadEnable) return 0;
  CQuickLoadMode* load = GetQuickLoadMode();
  return load && load->HasQuickLoadData() ? 1 : 0;
}

int CGameCallBack::QuickLoadSave(int type) {
  const GameSettings& s = settings_;
  CQuickLoadMode* load = type == kQuickLoad && s.quickLoadEnable ? GetQuickLoadMode() : nullptr;
  CQuickSaveMode* save = type == kQuickSave && s.quickSaveEnable ? GetQuickSaveMode() : nullptr;
  if (load) {
    std::fill(std::begin(optionButtonOff_), std::end(optionButtonOff_), 0);
    if (s.quickLoadGetScreen) PrintFloatingLayers();
    if (!load->QuickLoad()) return -1;
    if (s.quickLoadPrint && s.noticeFlag && notice_) notice_->SetNotice(s.loadNoticeNumber - 1);
    return 0;
  }
  if (save) {
    // Without "quickSaveCommentFlag" a quick save carries no comment.
    char kept[kCommentLines] = {};
    if (!s.quickSaveCommentFlag)
      for (int i = 0; i < kCommentLines; ++i) std::swap(kept[i], saveComments_[i][0]);
    save->QuickSave();
    if (!s.quickSaveCommentFlag)
      for (int i = 0; i < kCommentLines; ++i) std::swap(kept[i], saveComments_[i][0]);
    if (s.quickSavePrint && s.noticeFlag && notice_) notice_->SetNotice(s.saveNoticeNumber - 1);
    return -1;
  }
  return GetAutoSaveType(type);
}

void CGameCallBack::SetQuickLoadDelayFlag(int) { quickLoadDelayFlag_ = 1; }

void CGameCallBack::RunDelayedQuickLoad() {
  if (!settings_.quickLoadDelay || !quickLoadDelayFlag_) return;
  quickLoadDelayFlag_ = 0;
  const int result = QuickLoadSave(kQuickLoad);
  PlaySettingSound(result == -1 ? settings_.quickLoadErrorSound : settings_.quickLoadSound);
}

void CGameCallBack::SetOptionButtonOff(int index, int flag) {
  if (index >= 0 && index < static_cast<int>(std::size(optionButtonOff_))) optionButtonOff_[index] = flag;
}

// --- Polling the buttons ---

int CGameCallBack::CheckFloatingButtons() {
  int32_t code[7];
  std::fill(std::begin(code), std::end(code), buttoncode::kNothing);
  const auto poll = [&](int i) {
    if (FloatingButtonAllowed(i)) code[i] = GetFloatingButton(i)->Calcu(inputStatus_);
  };
  if (!GetFloatingButtonOffFlag()) {
    poll(kOptionButton);
    if (!GetMessageModeFlag()) {
      poll(kQuickSaveButton);
      poll(kQuickLoadButton);
    }
    poll(kQuickConfigButton);
    poll(kQuickBacklogButton);
  }

  bool acted = false;
  if (Decided(code[kQuickSaveButton])) {
    PrepareQuickSave(GetCurrentMode());
    QuickLoadSave(kQuickSave);
    HideButton(kQuickSaveButton);
    UpdateQuickLoadButton();
    acted = true;
  }
  if (Decided(code[kQuickLoadButton])) {
    if (!acted) {
      if (CheckQuickLoadData()) {
        QuickLoadSave(kQuickLoad);
        acted = true;
      } else {
        PlaySettingSound(settings_.quickLoadErrorSound);
      }
    }
    HideButton(kQuickLoadButton);
    UpdateQuickLoadButton();
  }
  if (acted && Decided(code[kOptionButton])) {
    HideButton(kOptionButton);
    return code[kOptionButton];
  }
  // The configuration and the back log are decided with numbers 1 and 2.
  const struct {
    int button, number;
  } modeButtons[] = {{kQuickConfigButton, 1}, {kQuickBacklogButton, 2}};
  for (const auto& b : modeButtons)
    if (Decided(code[b.button])) {
      HideButton(b.button);
      return SetButtonCodeNumber(code[b.button], b.number);
    }
  if (PressedOrBusy(code[kOptionButton])) return code[kOptionButton];
  const bool quickBusy = PressedOrBusy(code[kQuickSaveButton]) || PressedOrBusy(code[kQuickLoadButton]) ||
                         GetButtonCodeKind(code[kQuickLoadButton]) == buttoncode::kRefused ||
                         PressedOrBusy(code[kQuickConfigButton]) || PressedOrBusy(code[kQuickBacklogButton]);
  if (quickBusy) return MakeButtonCode(buttoncode::kBusy, -1, -1, -1, -1);
  return code[kOptionButton];
}

int CGameCallBack::CheckSceneButton() {
  CSceneOptionButton* button = GetFloatingButton(kSceneButton);
  return button ? button->Calcu(inputStatus_) : -1;
}

// Only a decided click starts the skip; a pressed one is ignored. The
// button is reset once its click is taken, so it starts one skip only.
int CGameCallBack::CheckSkipFilmButton() {
  CSceneOptionButton* button = GetFloatingButton(kSkipFilmButton);
  if (!button || skipFilmButtonEnable_ != 1) return 0;
  if (GetButtonCodeKind(button->Calcu(inputStatus_)) != buttoncode::kDecided) return 0;
  HideButton(kSkipFilmButton);
  if (GetCurrentMode() == modenumber::kPrintMessage && !GetMessageModeFlag()) {
    skipFilm_[0] = 0;
    skipFilm_[1] = 1;
    skipFilm_[2] = skipFilm_[3] = skipFilm_[4] = 1;
    skipFilmButtonEnable_ = 0;
    SetSkipFilmFlag(1);
  }
  return 1;
}

// --- Short-cut keys ---

// Opens `target` from `mode`: the state kept, the sound, the return mode
// and thumbnail when asked, the target told where to come back to, the
// current mode's exit screen.
int CGameCallBack::OpenByShortCut(int target, int mode, int sound, bool keepReturn) {
  KeepGameState();
  PlaySettingSound(sound);
  if (keepReturn) {
    SetReturnMode(mode);
    MakeMiniCG();
  }
  NotifyMode(target, mode);
  if (CCommonGeneral* current = GetMode(GetCurrentMode())) current->CreateExitScreen();
  return target;
}

void CGameCallBack::PrepareQuickSave(int mode) {
  KeepGameState();
  SetReturnMode(mode);
  MakeMiniCG();
}

int CGameCallBack::CheckShortCut(int mode) {
  const GameSettings& s = settings_;
  const bool messageMode = GetMessageModeFlag() != 0;
  if (!messageMode && GetMode(modenumber::kLoad) && CheckKeyTrig(kKeyL))
    return OpenByShortCut(modenumber::kLoad, mode, s.shortCutLoadSound, false);
  if (!messageMode && GetMode(modenumber::kSave) && CheckKeyTrig(kKeyS))
    return OpenByShortCut(modenumber::kSave, mode, s.shortCutSaveSound, true);
  if (GetMode(modenumber::kConfig) && CheckKeyTrig(kKeyC))
    return OpenByShortCut(modenumber::kConfig, mode, s.shortCutConfigSound, false);

  if (!messageMode) {
    for (const ShortCutRow& row : shortCutTable_) {
      if (row.key < 1 || !CheckKeyTrig(row.key)) continue;
      if (row.target >= 1 && row.target < kModeCount && CheckEnableVar(row.target)) {
        // The row's sound comes before the state is kept.
        PlaySettingSound(row.sound);
        return OpenByShortCut(row.target, mode, 0, false);
      }
      if (row.action == kQuickLoad && !CheckQuickLoadData()) {
        PlaySettingSound(s.quickLoadErrorSound);
        return -1;
      }
      if (row.action < 1) continue;
      PlaySettingSound(row.sound);
      if (row.action == kQuickLoad && s.quickLoadDelay) {
        quickLoadDelayFlag_ = 1;
      } else {
        if (row.action == kQuickSave) PrepareQuickSave(mode);
        QuickLoadSave(row.action);
        UpdateQuickLoadButton();
      }
      return -1;
    }
    if (s.quickSaveKey >= 1 && CheckKeyTrig(s.quickSaveKey)) {
      PlaySettingSound(s.quickSaveSound);
      PrepareQuickSave(mode);
      QuickLoadSave(kQuickSave);
      UpdateQuickLoadButton();
      return -1;
    }
    if (s.quickLoadKey >= 1 && CheckKeyTrig(s.quickLoadKey)) {
      // Without data the key plays the load sound, not the error sound.
      if (!CheckQuickLoadData()) {
        PlaySettingSound(s.quickLoadSound);
      } else if (s.quickLoadDelay) {
        quickLoadDelayFlag_ = 1;
      } else {
        const int result = QuickLoadSave(kQuickLoad);
        PlaySettingSound(result == -1 ? s.quickLoadErrorSound : s.quickLoadSound);
      }
      return -1;
    }
  }

  const bool optionClick = mouseStatus_ && mouseStatus_->GetClick(s.optionStartMouseButton);
  if (GetMode(modenumber::kSystemMenu) && (CheckKeyTrig(kKeyM) || CheckKeyTrig(kKeyO) || optionClick)) {
    KeepGameState();
    PlaySettingSound(s.shortCutSystemMenuSound);
    SetReturnMode(mode);
    MakeMiniCG();
    for (int m : {modenumber::kSave, modenumber::kLoad, modenumber::kConfig}) NotifyMode(m, mode);
    NotifyMode(modenumber::kSystemMenu, mode);
    if (CCommonGeneral* current = GetMode(GetCurrentMode())) current->CreateExitScreen();
    return modenumber::kSystemMenu;
  }
  return -1;
}

// --- Mini-games ---

int CGameCallBack::CheckMiniGameStart(int value) {
  CMiniGameHost* host = GetMiniGameHost();
  if (!host) return 0;
  if (host->IsMiniGameRunning()) {
    const int32_t code = host->GetMiniGameButtonCode();
    if (code == buttoncode::kNothing) return 0;
    PlaySettingSound(GetButtonCodeSound(code));
    // The decided area button's number is the game's number, so game 0
    // starts like any other.
    const int number = GetButtonCodeNumber(code);
    if (number < 0 || GetButtonCodeKind(code) != buttoncode::kDecided) return 0;
    miniGameNumber_ = number;
    return 1;
  }
  const int game = host->CheckMiniGameValue(value);
  if (game < 0 || !mouseStatus_ || !mouseStatus_->GetClick(0)) return 0;
  miniGameNumber_ = game;
  return 1;
}
