#include "game/floatingpart.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "input/inputstatus.h"
#include "modebase/commongeneral.h"
#include "modebase/minigamehost.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "modebase/quickloadsave.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "widget/buttoncode.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget/sceneoptionbutton.h"
#include "savedata/gamestatus.h"

namespace {

constexpr int kQuickLoad = 5;
constexpr int kQuickSave = 6;
constexpr int kExpansionOptions = 16;
// SYSTEM DATA words: the configuration's design numbers of the message
// cursor and the game mouse.
constexpr int kCursorNumberOffset = 1924;
constexpr int kMouseNumberOffset = 1928;

// The keys the short cuts test (key-status codes).
constexpr int kKeyL = 76, kKeyS = 83, kKeyC = 67, kKeyM = 77, kKeyO = 79;

// The kind a mode's quick-button table knows each quick button by (the
// mode it leads to); 0 for the buttons the table does not cover.
constexpr int kButtonKinds[7] = {0, 0, 0, modenumber::kSave, modenumber::kLoad, modenumber::kConfig,
                                 modenumber::kBackLog};

using Key = IntKey<CFloatingPart::Settings>;
using S = CFloatingPart::Settings;

// Quick save and load, in their reading order.
const Key kQuickKeys[] = {
    {"quickSaveEnable", &S::quickSaveEnable},
    {"quickLoadEnable", &S::quickLoadEnable, true},
    {"quickSavePrint", &S::quickSavePrint, true},
    {"quickLoadPrint", &S::quickLoadPrint, true},
    {"quickLoadDelay", &S::quickLoadDelay},
    {"quickLoadGetScreen", &S::quickLoadGetScreen},
};

const Key kQuickSoundKeys[] = {
    {"quickSaveSound", &S::quickSaveSound},
    {"quickLoadSound", &S::quickLoadSound, true},
    {"quickLoadErrorSound", &S::quickLoadErrorSound, true},
};

const Key kLayerKeys[] = {
    {"optionStartMouseButton", &S::optionStartMouseButton},
    {"floatingLayerFlashFlag", &S::floatingLayerFlashFlag},
    {"expModeButtonIsMouse", &S::expModeButtonIsMouse},
    {"expModeButtonIsMessageCursor", &S::expModeButtonIsMessageCursor},
    {"gameMouseCreateFlag", &S::gameMouseCreateFlag},
    {"messageCursorCreateFlag", &S::messageCursorCreateFlag},
    {"optionButtonCreateFlag", &S::optionButtonCreateFlag},
    {"sceneButtonCreateFlag", &S::sceneButtonCreateFlag},
    {"skipFilmButtonCreateFlag", &S::skipFilmButtonCreateFlag},
};

const Key kButtonKeys[] = {
    {"quickConfigButtonCreateFlag", &S::quickConfigButtonCreateFlag},
    {"quickBacklogButtonCreateFlag", &S::quickBacklogButtonCreateFlag},
    {"noticeFlag", &S::noticeFlag},
    {"loadNoticeNumber", &S::loadNoticeNumber},
    {"saveNoticeNumber", &S::saveNoticeNumber},
    {"sceneButtonMode", &S::sceneButtonMode},
    {"shortCutSystemMenuSound", &S::shortCutSystemMenuSound},
};

// Each defaults to the system menu's sound.
const Key kShortCutKeys[] = {
    {"shortCutSaveSound", &S::shortCutSaveSound},
    {"shortCutLoadSound", &S::shortCutLoadSound},
    {"shortCutConfigSound", &S::shortCutConfigSound},
};

// A key code: a number as it reads, else the byte value of the first
// character ("S" gives 83).
int KeyCode(const char* text) {
  if (!text || !*text) return 0;
  if ((*text >= '0' && *text <= '9') || *text == '-') return std::atoi(text);
  return static_cast<unsigned char>(*text);
}

// 1 when the code is a decided click carrying button number 0.
bool Decided(int32_t code) { return GetButtonCodeNumber(code) == 0; }

bool PressedOrBusy(int32_t code) {
  const int32_t kind = GetButtonCodeKind(code);
  return kind == buttoncode::kPressed || kind == buttoncode::kBusy;
}

}  // namespace

CFloatingPart::CFloatingPart(const Links& links) : links_(links) {}

CFloatingPart::~CFloatingPart() = default;

void CFloatingPart::ReadSettings() {
  const CSetupList* list = links_.list;
  Settings& s = settings_;
  ReadIntKeys(list, &s, kQuickKeys);
  const char* key = nullptr;
  if (s.quickSaveEnable || s.quickLoadEnable) {
    if (ReadString(list, &key, "quickSaveKey")) s.quickSaveKey = KeyCode(key);
    if (s.quickSaveEnable) ReadInt(list, &s.quickSaveCommentFlag, "quickSaveCommentFlag");
    if (ReadString(list, &key, "quickLoadKey")) s.quickLoadKey = KeyCode(key);
  }
  ReadIntKeys(list, &s, kQuickSoundKeys);
  ReadIntKeys(list, &s, kLayerKeys);
  if (s.quickSaveEnable) ReadInt(list, &s.quickSaveButtonCreateFlag, "quickSaveButtonCreateFlag");
  if (s.quickLoadEnable) ReadInt(list, &s.quickLoadButtonCreateFlag, "quickLoadButtonCreateFlag");
  ReadIntKeys(list, &s, kButtonKeys);
  for (const Key& k : kShortCutKeys) s.*k.field = s.shortCutSystemMenuSound;
  ReadIntKeys(list, &s, kShortCutKeys);
}

void CFloatingPart::Init() {
  std::fill(std::begin(optionButtonOff_), std::end(optionButtonOff_), 0);
  const Settings& s = settings_;
  floatingLayers_ = std::make_unique<CFloatingLayerTable>();
  if (s.gameMouseCreateFlag) {
    gameMouse_ = std::make_unique<CGameMouse>(floatingLayers_.get(), 0);
    gameMouse_->SetConfigNumber(GetMouseNumberConfig());
    gameMouse_->SetScriptNumber(mouseNumberScript_);
  }
  if (s.messageCursorCreateFlag) {
    messageCursor_ = std::make_unique<CMessageCursor>(floatingLayers_.get(), 2);
    messageCursor_->SetConfigNumber(GetCursorNumberConfig());
    messageCursor_->SetScriptNumber(cursorNumberScript_);
  }
  // The floating buttons, each over the list of its name at its first
  // slot; the scene button also needs bit 0 of "sceneButtonMode".
  const struct {
    int index;
    const char* name;
    int slot;
    bool create;
  } buttons[] = {
      {1, "optionButton", 4, s.optionButtonCreateFlag != 0},
      {0, "sceneButton", 8, s.sceneButtonCreateFlag && (s.sceneButtonMode & 1)},
      {2, "skipFilmButton", 12, s.skipFilmButtonCreateFlag != 0},
      {3, "quickSaveButton", 14, s.quickSaveButtonCreateFlag != 0},
      {4, "quickLoadButton", 15, s.quickLoadButtonCreateFlag != 0},
      {5, "quickConfigButton", 16, s.quickConfigButtonCreateFlag != 0},
      {6, "quickBacklogButton", 18, s.quickBacklogButtonCreateFlag != 0},
  };
  for (const auto& b : buttons)
    if (b.create)
      floatingButtons_[b.index] = std::make_unique<CSceneOptionButton>(b.name, floatingLayers_.get(), b.slot);
  if (floatingButtons_[kQuickLoadButton]) floatingButtons_[kQuickLoadButton]->SetBlockWhenDisabled(1);
  if (s.noticeFlag) notice_ = std::make_unique<CNotice>(floatingLayers_.get(), 20);
}

// --- Helpers ---

void CFloatingPart::PlaySettingSound(int n) {
  if (n >= 1) links_.sound->PlaySystemSe(n - 1, 0);
}

// The back-log button is allowed in every mode (no setting restricts it);
// a mode hides it with its own "disableQuickbacklogButton".
bool CFloatingPart::FloatingButtonAllowed(int i) const {
  if (!GetFloatingButton(i)) return false;
  CCommonGeneral* mode = links_.modes->GetMode(links_.modes->GetCurrentMode());
  return !mode || kButtonKinds[i] == 0 || mode->IsQuickButtonDisabled(kButtonKinds[i], 0, 0) == 0;
}

void CFloatingPart::ShowButton(int i) {
  if (CSceneOptionButton* button = GetFloatingButton(i)) button->Print(1);
}

void CFloatingPart::HideButton(int i) {
  if (CSceneOptionButton* button = GetFloatingButton(i)) button->Init();
}

// --- The layers ---

void CFloatingPart::RestoreFloatingLayers() {
  if (floatingLayers_) floatingLayers_->RestoreAll();
}

void CFloatingPart::ResetFloatingLayers() {
  if (floatingLayers_) floatingLayers_->ResetSaveAll();
}

void CFloatingPart::RestoreFirstFloatingLayer() {
  if (floatingLayers_) floatingLayers_->Restore(0);
}

void CFloatingPart::PrintFloatingLayers() {
  RestoreFloatingLayers();
  if (CPicture* picture = links_.screen->GetBufferPicture(0)) picture->GetScreen();
}

// The game mouse layer's offset: the hot point of its cursor cells.
void CFloatingPart::GetGameMousePos(int* x, int* y) const {
  int hx = 0, hy = 0;
  if (gameMouse_) gameMouse_->GetHotPoint(&hx, &hy);
  if (x) *x = hx;
  if (y) *y = hy;
}

void CFloatingPart::SetGameMouseSpecialMode(int mode) {
  if (gameMouse_) gameMouse_->SetSpecialMode(mode);
}

int CFloatingPart::GetGameMouseSpecialMode() const { return gameMouse_ ? gameMouse_->GetSpecialMode() : 0; }

void CFloatingPart::SetNotice(int n) {
  if (notice_) notice_->SetNotice(n);
}

// A sound number n above 0 is system sound n - 1.
void CFloatingPart::ServeNotice() {
  if (!settings_.noticeFlag || !notice_) return;
  const int sound = notice_->CalcuPrint(1);
  if (sound > 0) links_.sound->PlaySystemSe(sound - 1, 0);
}

// The frame refreshes the cursor when it finds the request.
void CFloatingPart::SetMessageCursor(int x, int y, int kind) {
  messageCursorX_ = x;
  messageCursorY_ = y;
  messageCursorKind_ = kind;
  messageCursorRequest_ = 1;
  if (kind >= 2 && messageCursor_) messageCursor_->SetPrintXY(x, y);
}

// Kind 1 (from 0) while system setting 6 is on; two more while the printed
// message continues.
void CFloatingPart::ServeMessageCursor() {
  if (!messageCursorRequest_) return;
  messageCursorRequest_ = 0;
  if (!messageCursor_) return;
  const CStoryMessageMode* printMessage = links_.modes->GetPrintMessage();
  const int kind = (links_.vars->GetSystemSetting(6) ? 1 : 0) +
                   (printMessage && printMessage->CheckContinue() ? 2 : 0);
  messageCursor_->Print(kind, 1);
  messageCursor_->Calcu(1);
}

// Drawn at the mouse position, cursor row 0, saving what it covers; a
// pointer outside the screen shows no cursor.
void CFloatingPart::ServeGameMouse() {
  const CMouseStatus* mouse = links_.input->GetMouseStatus();
  // Until the pointer's place is known (no move over the window yet, or the
  // pointer left the window) no arrow is drawn.
  if (!gameMouse_ || !mouse || !mouse->PosKnown() || !CScreenBuffer::GetBuffer()) return;
  platform::Point at{};
  mouse->GetPos(&at);
  if (at.x < 0 || at.y < 0 || at.x >= CScreenBuffer::GetWidth() || at.y >= CScreenBuffer::GetHeight())
    return;
  gameMouse_->Print(at.x, at.y, 0, 1);
  gameMouse_->Calcu(1);
}

// The message cursor and the game mouse take their design numbers as they
// are stored.
void CFloatingPart::SetCursorNumberConfig(int n) {
  if (links_.systemFile) links_.systemFile->SetSystemData(kCursorNumberOffset, n);
  if (messageCursor_) messageCursor_->SetConfigNumber(n);
}

int CFloatingPart::GetCursorNumberConfig() const {
  return links_.systemFile ? links_.systemFile->GetSystemData(kCursorNumberOffset) : 0;
}

void CFloatingPart::SetCursorNumberScript(int n) {
  cursorNumberScript_ = n;
  if (messageCursor_) messageCursor_->SetScriptNumber(n);
}

void CFloatingPart::SetMouseNumberConfig(int n) {
  if (links_.systemFile) links_.systemFile->SetSystemData(kMouseNumberOffset, n);
  if (gameMouse_) gameMouse_->SetConfigNumber(n);
}

int CFloatingPart::GetMouseNumberConfig() const {
  return links_.systemFile ? links_.systemFile->GetSystemData(kMouseNumberOffset) : 0;
}

void CFloatingPart::SetMouseNumberScript(int n) {
  mouseNumberScript_ = n;
  if (gameMouse_) gameMouse_->SetScriptNumber(n);
}

void CFloatingPart::ApplyExpansionOption(int id, int value) {
  if (id < 300 || id >= 300 + kExpansionOptions) return;
  if (id - 299 == settings_.expModeButtonIsMouse) SetMouseNumberConfig(value);
  if (id - 299 == settings_.expModeButtonIsMessageCursor) SetCursorNumberConfig(value);
}

// --- Show and hide ---

void CFloatingPart::ClearShowRequests() {
  for (int& request : showRequests_) request = 0;
}

void CFloatingPart::ShowRequestedButtons() {
  if (showRequests_[0]) ShowSceneButton();
  if (showRequests_[1]) ShowFloatingButtons();
  if (showRequests_[2]) ShowSkipFilmButton();
}

void CFloatingPart::ShowFloatingButtons() {
  showRequests_[1] = 0;
  if (GetFloatingButtonOffFlag()) return;
  const bool messageMode = links_.messageWindow->GetMessageModeFlag() != 0;
  ShowButton(kOptionButton);
  if (!messageMode) {
    if (FloatingButtonAllowed(kQuickLoadButton)) ShowButton(kQuickLoadButton);
    if (FloatingButtonAllowed(kQuickSaveButton)) ShowButton(kQuickSaveButton);
  }
  if (FloatingButtonAllowed(kQuickConfigButton)) ShowButton(kQuickConfigButton);
  if (FloatingButtonAllowed(kQuickBacklogButton)) ShowButton(kQuickBacklogButton);
}

void CFloatingPart::ShowSceneButton() {
  showRequests_[0] = 0;
  if (links_.messageWindow->GetMessageModeFlag()) ShowButton(kSceneButton);
}

void CFloatingPart::ShowSkipFilmButton() {
  showRequests_[2] = 0;
  if (!links_.messageWindow->GetMessageModeFlag()) ShowButton(kSkipFilmButton);
}

void CFloatingPart::HideFloatingButtons() {
  HideButton(kOptionButton);
  HideButton(kQuickSaveButton);
  HideButton(kQuickLoadButton);
  UpdateQuickLoadButton();
  HideButton(kQuickConfigButton);
  HideButton(kQuickBacklogButton);
}

void CFloatingPart::HideSceneButton() { HideButton(kSceneButton); }

void CFloatingPart::HideSkipFilmButton() { HideButton(kSkipFilmButton); }

void CFloatingPart::RequestSkipFilmButton() {
  if (skipFilmButtonEnable_ == 1) showRequests_[2] = 1;
}

void CFloatingPart::UpdateQuickLoadButton() {
  CSceneOptionButton* button = GetFloatingButton(kQuickLoadButton);
  if (!button) return;
  if (CheckQuickLoadData() == 1) {
    button->SetEnable(1);
    button->Init();
  } else {
    button->SetEnable(0);
  }
}

void CFloatingPart::SetOptionButtonOff(int index, int flag) {
  if (index >= 0 && index < static_cast<int>(std::size(optionButtonOff_))) optionButtonOff_[index] = flag;
}

// --- Quick load and save ---

int CFloatingPart::CheckQuickLoadData() {
  if (!settings_.quickLoadEnable) return 0;
  CQuickLoadMode* load = links_.modes->GetQuickLoadMode();
  return load && load->HasQuickLoadData() ? 1 : 0;
}

int CFloatingPart::QuickLoadSave(int type) {
  const Settings& s = settings_;
  CQuickLoadMode* load = type == kQuickLoad && s.quickLoadEnable ? links_.modes->GetQuickLoadMode() : nullptr;
  CQuickSaveMode* save = type == kQuickSave && s.quickSaveEnable ? links_.modes->GetQuickSaveMode() : nullptr;
  if (load) {
    std::fill(std::begin(optionButtonOff_), std::end(optionButtonOff_), 0);
    if (s.quickLoadGetScreen) PrintFloatingLayers();
    if (!load->QuickLoad()) return -1;
    if (s.quickLoadPrint && s.noticeFlag) SetNotice(s.loadNoticeNumber - 1);
    return 0;
  }
  if (save) {
    // Without "quickSaveCommentFlag" a quick save carries no comment.
    CSavePart& saves = *links_.saves;
    if (!s.quickSaveCommentFlag) saves.SwapSaveComments();
    save->QuickSave();
    if (!s.quickSaveCommentFlag) saves.SwapSaveComments();
    if (s.quickSavePrint && s.noticeFlag) SetNotice(s.saveNoticeNumber - 1);
    return -1;
  }
  return links_.hooks->GetAutoSaveType(type);
}

void CFloatingPart::RunDelayedQuickLoad() {
  if (!settings_.quickLoadDelay || !quickLoadDelayFlag_) return;
  quickLoadDelayFlag_ = 0;
  const int result = QuickLoadSave(kQuickLoad);
  PlaySettingSound(result == -1 ? settings_.quickLoadErrorSound : settings_.quickLoadSound);
}

// --- Polling the buttons ---

int CFloatingPart::CheckFloatingButtons() {
  const int messageMode = links_.messageWindow->GetMessageModeFlag();
  CInputStatus* input = links_.input->GetInputStatus();
  int32_t code[7];
  std::fill(std::begin(code), std::end(code), buttoncode::kNothing);
  const auto poll = [&](int i) {
    if (FloatingButtonAllowed(i)) code[i] = GetFloatingButton(i)->Calcu(input);
  };
  if (!GetFloatingButtonOffFlag()) {
    poll(kOptionButton);
    if (!messageMode) {
      poll(kQuickSaveButton);
      poll(kQuickLoadButton);
    }
    poll(kQuickConfigButton);
    poll(kQuickBacklogButton);
  }

  bool acted = false;
  if (Decided(code[kQuickSaveButton])) {
    PrepareQuickSave(links_.modes->GetCurrentMode());
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

int CFloatingPart::CheckSceneButton() {
  CSceneOptionButton* button = GetFloatingButton(kSceneButton);
  return button ? button->Calcu(links_.input->GetInputStatus()) : -1;
}

// The button is reset once its click is taken, so it starts one skip only.
int CFloatingPart::CheckSkipFilmButton() {
  CSceneOptionButton* button = GetFloatingButton(kSkipFilmButton);
  if (!button || skipFilmButtonEnable_ != 1) return 0;
  if (GetButtonCodeKind(button->Calcu(links_.input->GetInputStatus())) != buttoncode::kDecided) return 0;
  HideButton(kSkipFilmButton);
  CMessageWindowPart& story = *links_.messageWindow;
  if (links_.modes->GetCurrentMode() == modenumber::kPrintMessage && !story.GetMessageModeFlag()) {
    story.StartFilmSkip();
    skipFilmButtonEnable_ = 0;
    story.SetSkipFilmFlag(1);
  }
  return 1;
}

// --- Short-cut keys ---

int CFloatingPart::OpenByShortCut(int target, int mode, int sound, bool keepReturn) {
  CModeFlowPart& modes = *links_.modes;
  links_.saves->KeepGameState();
  PlaySettingSound(sound);
  if (keepReturn) {
    modes.SetReturnMode(mode);
    links_.saves->MakeMiniCG();
  }
  modes.NotifyMode(target, mode);
  if (CCommonGeneral* current = modes.GetMode(modes.GetCurrentMode())) current->CreateExitScreen();
  return target;
}

void CFloatingPart::PrepareQuickSave(int mode) {
  links_.saves->KeepGameState();
  links_.modes->SetReturnMode(mode);
  links_.saves->MakeMiniCG();
}

int CFloatingPart::CheckShortCut(int mode) {
  const Settings& s = settings_;
  CModeFlowPart& modes = *links_.modes;
  CInputPart& input = *links_.input;
  const bool messageMode = links_.messageWindow->GetMessageModeFlag() != 0;
  if (!messageMode && modes.GetMode(modenumber::kLoad) && input.CheckKeyTrig(kKeyL))
    return OpenByShortCut(modenumber::kLoad, mode, s.shortCutLoadSound, false);
  if (!messageMode && modes.GetMode(modenumber::kSave) && input.CheckKeyTrig(kKeyS))
    return OpenByShortCut(modenumber::kSave, mode, s.shortCutSaveSound, true);
  if (modes.GetMode(modenumber::kConfig) && input.CheckKeyTrig(kKeyC))
    return OpenByShortCut(modenumber::kConfig, mode, s.shortCutConfigSound, false);

  if (!messageMode) {
    for (const ShortCutRow& row : shortCutTable_) {
      if (row.key < 1 || !input.CheckKeyTrig(row.key)) continue;
      if (row.target >= 1 && row.target < modenumber::kModeCount && links_.vars->CheckEnableVar(row.target)) {
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
    if (s.quickSaveKey >= 1 && input.CheckKeyTrig(s.quickSaveKey)) {
      PlaySettingSound(s.quickSaveSound);
      PrepareQuickSave(mode);
      QuickLoadSave(kQuickSave);
      UpdateQuickLoadButton();
      return -1;
    }
    if (s.quickLoadKey >= 1 && input.CheckKeyTrig(s.quickLoadKey)) {
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

  const CMouseStatus* mouse = input.GetMouseStatus();
  const bool optionClick = mouse && mouse->GetClick(s.optionStartMouseButton);
  if (modes.GetMode(modenumber::kSystemMenu) && (input.CheckKeyTrig(kKeyM) || input.CheckKeyTrig(kKeyO) || optionClick)) {
    links_.saves->KeepGameState();
    PlaySettingSound(s.shortCutSystemMenuSound);
    modes.SetReturnMode(mode);
    links_.saves->MakeMiniCG();
    for (int m : {modenumber::kSave, modenumber::kLoad, modenumber::kConfig}) modes.NotifyMode(m, mode);
    modes.NotifyMode(modenumber::kSystemMenu, mode);
    if (CCommonGeneral* current = modes.GetMode(modes.GetCurrentMode())) current->CreateExitScreen();
    return modenumber::kSystemMenu;
  }
  return -1;
}

// --- Its share of the saved game ---

void CFloatingPart::PutStatus(uint8_t* status) const {
  namespace gs = gamestatus;
  gs::Set(status, gs::kCursorDesign, GetCursorNumberScript());
  gs::Set(status, gs::kMouseDesign, GetMouseNumberScript());
  gs::Set(status, gs::kSkipFilmEnable, skipFilmButtonEnable_);
}

void CFloatingPart::GetStatus(const uint8_t* status) {
  namespace gs = gamestatus;
  SetMouseNumberScript(gs::Get(status, gs::kMouseDesign));
  SetCursorNumberScript(gs::Get(status, gs::kCursorDesign));
  SetSkipFilmButtonEnable(gs::Get(status, gs::kSkipFilmEnable));
  if (GetSkipFilmButtonEnable() != 0) HideSkipFilmButton();
}
