// CFloatingPart: what floats over the story screens: the floating layer
// table with the game mouse, the message cursor and the notices, the seven
// floating buttons (scene, option, skip-film, quick save, quick load, quick
// configuration, quick back log), quick save and quick load, and the
// short-cut keys that open the system screens. It plays the floating role
// (CFloatingServices) for the modes.
//
// A floating button is shown by drawing it (saving what it covers, so the
// next frame's restore takes it off) and hidden by resetting it, so a
// decided click is acted on once. Modes ask for the buttons during their
// drawing (Request...); the frame shows them after the modes have drawn
// (Show...).
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "services/floatingservices.h"

class CCommonSystemFile;
class CGameHooks;
class CInputPart;
class CMessageWindowPart;
class CModeFlowPart;
class CSavePart;
class CScreenPart;
class CSetupList;
class CSoundPart;
class CVariablePart;
class CFloatingLayerTable;
class CGameMouse;
class CMessageCursor;
class CNotice;
class CSceneOptionButton;

class CFloatingPart : public CFloatingServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int quickSaveEnable = 0;
    int quickLoadEnable = 0;
    int quickSavePrint = 0;
    int quickLoadPrint = 0;
    int quickLoadDelay = 0;
    int quickLoadGetScreen = 0;
    int quickSaveKey = 0;
    int quickSaveCommentFlag = 0;
    int quickLoadKey = 0;
    int quickSaveSound = -1;
    int quickLoadSound = -1;
    int quickLoadErrorSound = -1;
    int optionStartMouseButton = 2;
    int floatingLayerFlashFlag = 0;
    int expModeButtonIsMouse = 0;
    int expModeButtonIsMessageCursor = 0;
    int gameMouseCreateFlag = 1;
    int messageCursorCreateFlag = 1;
    int optionButtonCreateFlag = 1;
    int sceneButtonCreateFlag = 1;
    int skipFilmButtonCreateFlag = 0;
    int quickSaveButtonCreateFlag = 0;
    int quickLoadButtonCreateFlag = 0;
    int quickConfigButtonCreateFlag = 0;
    int quickBacklogButtonCreateFlag = 0;
    int noticeFlag = 0;
    int loadNoticeNumber = 1;
    int saveNoticeNumber = 2;
    int sceneButtonMode = 2;
    int shortCutSystemMenuSound = 1;
    int shortCutSaveSound = 1;
    int shortCutLoadSound = 1;
    int shortCutConfigSound = 1;
  };
  // Floating button indices (GetFloatingButton).
  enum FloatingButton {
    kSceneButton,
    kOptionButton,
    kSkipFilmButton,
    kQuickSaveButton,
    kQuickLoadButton,
    kQuickConfigButton,
    kQuickBacklogButton
  };
  // One short-cut row: a key-status code (0 none), the mode it opens (0
  // none), its action (5 quick load, 6 quick save, other values none) and
  // its 1-based system sound (0 none).
  struct ShortCutRow {
    int key = 0, target = 0, action = 0, sound = 0;
  };

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CSavePart>& saves;
    std::unique_ptr<CInputPart>& input;
    std::unique_ptr<CMessageWindowPart>& messageWindow;
    std::unique_ptr<CModeFlowPart>& modes;
    CCommonSystemFile* systemFile;
    CGameHooks* hooks;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CFloatingPart(const Links& links);
  virtual ~CFloatingPart();
  CFloatingPart(const CFloatingPart&) = delete;
  CFloatingPart& operator=(const CFloatingPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();
  // The layer table and the layers the settings ask for.
  void Init();

  // --- CFloatingServices ---
  void RestoreFloatingLayers() override;
  // Slot 0 of the floating layers is the game mouse's.
  void RestoreFirstFloatingLayer() override;
  int CheckFloatingButtons() override;
  // Only a decided click starts the skip; a pressed one is ignored.
  int CheckSkipFilmButton() override;
  void HideFloatingButtons() override;
  void HideSkipFilmButton() override;
  void RequestFloatingButtons() override { showRequests_[1] = 1; }
  void RequestSkipFilmButton() override;
  void ShowFloatingButtons() override;
  int GetFloatingButtonOffFlag() override { return floatingButtonOffFlag_; }
  void GetGameMousePos(int* x, int* y) const override;
  void SetOptionButtonOff(int index, int flag) override;
  int CheckShortCut(int mode) override;
  int QuickLoadSave(int type) override;
  int IsQuickLoadEnable() const override { return settings_.quickLoadEnable; }
  int GetQuickSaveEnable() const override { return settings_.quickSaveEnable; }
  int CheckQuickLoadData() override;
  int GetQuickLoadDelay() const override { return settings_.quickLoadDelay; }
  void SetQuickLoadDelayFlag(int) override { quickLoadDelayFlag_ = 1; }

  // --- The frame's steps ---
  // Show requests live for one frame.
  void ClearShowRequests();
  // What the layers covered comes back; on a whole frame with
  // "floatingLayerFlashFlag" the layers forget it instead.
  virtual void ResetFloatingLayers();
  // The buttons asked for this frame (the movie mode draws none).
  void ShowRequestedButtons();
  virtual void ShowSceneButton();
  virtual void ShowSkipFilmButton();
  // The layers off the screen, and buffer picture 0 takes the screen
  // without them.
  virtual void PrintFloatingLayers();
  // A quick load the keys left for the frame.
  void RunDelayedQuickLoad();
  // The notices (their phase sounds play), the message cursor when asked
  // for, the game mouse inside the screen.
  void ServeNotice();
  void ServeMessageCursor();
  void ServeGameMouse();

  // --- Buttons ---
  virtual void RequestSceneButton() { showRequests_[0] = 1; }
  virtual int CheckSceneButton();
  virtual void HideSceneButton();
  // The quick-load button enabled (and reset) with quick-load data,
  // disabled without.
  void UpdateQuickLoadButton();
  // Floating button i (0 scene, 1 option, 2 skip-film, 3 quick save, 4 quick
  // load, 5 quick config, 6 quick back log); null when not made.
  CSceneOptionButton* GetFloatingButton(int i) const {
    return i >= 0 && i < 7 ? floatingButtons_[i].get() : nullptr;
  }
  int GetOptionButtonOff(int index) const {
    return index >= 0 && index < 16 ? optionButtonOff_[index] : 0;
  }
  void SetFloatingButtonOffFlag(int flag) { floatingButtonOffFlag_ = flag; }
  // The skip-film button's enable word (1 while a film skip may start).
  void SetSkipFilmButtonEnable(int value) { skipFilmButtonEnable_ = value; }
  int GetSkipFilmButtonEnable() const { return skipFilmButtonEnable_; }
  int GetQuickLoadDelayFlag() const { return quickLoadDelayFlag_; }

  // --- Short cuts ---
  // The short-cut rows CheckShortCut tries in order (PrepareModeTables
  // builds them from the system menu).
  void SetShortCutRows(std::vector<ShortCutRow> rows) { shortCutTable_ = std::move(rows); }
  int GetShortCutRowCount() const { return static_cast<int>(shortCutTable_.size()); }
  const ShortCutRow* GetShortCutRow(int i) const {
    return i >= 0 && i < GetShortCutRowCount() ? &shortCutTable_[i] : nullptr;
  }
  int GetShortCutStart() const { return shortCutStart_; }

  // --- The layers ---
  CFloatingLayerTable* GetFloatingLayerTable() const { return floatingLayers_.get(); }
  CGameMouse* GetGameMouse() const { return gameMouse_.get(); }
  CMessageCursor* GetMessageCursor() const { return messageCursor_.get(); }
  CNotice* GetNotice() const { return notice_.get(); }
  // Notice n from 0; nothing without the notice object.
  void SetNotice(int n);
  // The game mouse's special mode (0 none, 1 trail, 2 sparkles); 0 and no
  // effect without a game mouse.
  void SetGameMouseSpecialMode(int mode);
  int GetGameMouseSpecialMode() const;
  // The message cursor's request: its position and kind, and whether the
  // frame still has to act on it. Kinds 2 and up (from 0) follow the text's
  // end: they hand the position to the message cursor.
  void SetMessageCursor(int x, int y, int kind);
  void SetMessageCursorKind(int kind) { SetMessageCursor(messageCursorX_, messageCursorY_, kind); }
  int GetMessageCursorRequest() const { return messageCursorRequest_; }
  void GetMessageCursor(int* x, int* y, int* kind) const {
    *x = messageCursorX_;
    *y = messageCursorY_;
    *kind = messageCursorKind_;
  }
  // Design numbers of the message cursor and the game mouse: the
  // configuration's kept in the system data, the script's here; each is
  // handed to its layer.
  void SetCursorNumberConfig(int n);
  int GetCursorNumberConfig() const;
  void SetCursorNumberScript(int n);
  int GetCursorNumberScript() const { return cursorNumberScript_; }
  void SetMouseNumberConfig(int n);
  int GetMouseNumberConfig() const;
  void SetMouseNumberScript(int n);
  int GetMouseNumberScript() const { return mouseNumberScript_; }
  // An expansion option that chooses the game mouse's or the message
  // cursor's design (counted from 1; 0 none).
  void ApplyExpansionOption(int id, int value);

 protected:
  // A sound of the settings: system sound n - 1 for n of 1 or more.
  void PlaySettingSound(int n);

 private:
  // Whether floating button i exists and the current mode allows its kind
  // (5, 6, 12, 7); the option, scene and skip-film buttons only exist.
  bool FloatingButtonAllowed(int i) const;
  // The button's drawing (saving what it covers) and its reset; nothing
  // for a button that was not made.
  void ShowButton(int i);
  void HideButton(int i);
  // A mode opened by a short cut: the state kept, the sound, the return
  // mode and thumbnail when asked, the target told where to come back to,
  // the current mode's exit screen; the target.
  int OpenByShortCut(int target, int mode, int sound, bool keepReturn);
  // Before a quick save: the state kept, `mode` to return to, the thumbnail.
  void PrepareQuickSave(int mode);

  const Links links_;
  Settings settings_;
  // Destroyed in the reverse order: the notices, the buttons, the message
  // cursor and the game mouse before the layer table they float in.
  std::unique_ptr<CFloatingLayerTable> floatingLayers_;
  std::unique_ptr<CGameMouse> gameMouse_;
  std::unique_ptr<CMessageCursor> messageCursor_;
  std::unique_ptr<CSceneOptionButton> floatingButtons_[7];
  std::unique_ptr<CNotice> notice_;
  // Show requests of the scene button, the floating buttons and the
  // skip-film button, carried out near the end of the frame that made them.
  int showRequests_[3] = {};
  // The 16 option-button off flags.
  int optionButtonOff_[16] = {};
  int floatingButtonOffFlag_ = 0;
  int skipFilmButtonEnable_ = 0;
  // Short-cut rows: the first system-menu option they cover (the menu's
  // first nine options are its own).
  std::vector<ShortCutRow> shortCutTable_;
  int shortCutStart_ = 9;
  int quickLoadDelayFlag_ = 0;
  int messageCursorX_ = 0, messageCursorY_ = 0, messageCursorKind_ = 0;
  int messageCursorRequest_ = 0;
  int cursorNumberScript_ = 0, mouseNumberScript_ = 0;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The script's cursor and mouse designs and the skip-film button's
  // enable word (a loaded enabled button starts hidden).
  void PutStatus(uint8_t* status) const;
  void GetStatus(const uint8_t* status);
};
