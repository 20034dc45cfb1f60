// CMessageWindowPart: the message window and the story's words: the window
// itself (drawing, hit test, design and opacity), the speakers' faces, the
// skip and auto words the script, the keys and the message modes share, and
// the words of the story the save keeps (the message and choice keys, the
// line count and page code, the choice range and its words). It plays the
// message-window role (CMessageWindowServices) for the modes.
#pragma once

#include <cstdint>
#include <memory>

#include "services/messagewindowservices.h"

class CCommonSystemFile;
class CFloatingPart;
class CGameHooks;
class CGameLists;
class CInputPart;
class CModeFlowPart;
class CSavePart;
class CScreenPart;
class CScriptPart;
class CSetupList;
class CVariablePart;
class CCommonMessageWindow;
class CFaceControl;

class CMessageWindowPart : public CMessageWindowServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int facePrintMode = 0;
    int noMessageWindowFlag = 0;
    int windowOffMouseButton = 1;
    int shiftSkipMessageOnly = 0;
    int autoMessageCheckKillShift = 0;
    int cannotSkipCheckKillShift = 0;
  };
  // The story's words: where the script stands in its text and choices and
  // what the message modes show, as a save keeps them. The print-message
  // and choice modes own their copies once they exist; these stand in
  // without them.
  struct StoryWords {
    // The keys of the last message and choice records handed to the
    // message modes (-1 none); an older save finds its place by them.
    int messageKey = -1, choiceKey = -1;
    int savedLineCount = 0, messageCode = 0;
    int savedChoiceEnd = 0, savedChoiceStart = 0;
    int choiceWords[4] = {};
    // Words of the script's small commands.
    int cutinNumber = 0;
    int choiceReturn = 0;
    int readSkip = -1, displayKind = 3, autoKind = -1;
    int windowPendingWord = 0;
  };

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CGameLists>& lists;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSavePart>& saves;
    std::unique_ptr<CInputPart>& input;
    std::unique_ptr<CFloatingPart>& floating;
    std::unique_ptr<CScriptPart>& scripts;
    std::unique_ptr<CModeFlowPart>& modes;
    CCommonSystemFile* systemFile;
    CGameHooks* hooks;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CMessageWindowPart(const Links& links);
  virtual ~CMessageWindowPart();
  CMessageWindowPart(const CMessageWindowPart&) = delete;
  CMessageWindowPart& operator=(const CMessageWindowPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();
  // The face control over the face list (with "facePrintMode"), registered
  // as the EXT entry "face"; once.
  void InitFaceControl();
  // The window with its design numbers, font size and opacity, unless
  // "noMessageWindowFlag"; once.
  void InitMessageWindow();

  // --- CMessageWindowServices ---
  void EndSkipFilm() override { skipFilm_[2] = 0; }
  void SetSkipFilmFlag(int value) override { skipFilmStarted_ = value; }
  void SetMessageModeFlag(int flag) override;
  int GetShiftSkipState() override { return shiftSkipState_; }
  void SetShiftSkipState(int state) override { shiftSkipState_ = state; }
  void OnMessageClick() override;
  void AddBackLog(const char* text, int r, int g, int b) override;
  void SetMessageReadFlag(int message, int script) override;
  int CheckMessageReadFlag(int message, int script) override;
  void SetBackLogColor(int linesBack, int r, int g, int b) override;
  int GetMessageModeFlag() override { return messageModeFlag_; }
  int PrintMessageWindow(int show, int showName, const platform::Point* offset) override;
  int CheckMessageWindow(int show, int showName, const platform::Point& position) override;
  int PrintMessageWindowIfShown(int show, int showName, const platform::Point* offset) override;
  void OnMessageCursor(int a) override;
  void SetMessageCursorKind(int kind) override;
  void SetMessageCursor(int x, int y, int kind) override;
  void ShowMessageWindow(int flag) override;
  int GetAutoMessageCheckFlag() override { return autoMessageCheckFlag_; }
  int GetMessageSwitch() override { return messageSwitch_; }
  int GetCannotSkipFlag() override { return cannotSkipFlag_; }
  void ClearBackLog() override;
  int GetWindowOffMouseButton() const override { return settings_.windowOffMouseButton; }
  int IsBackLogDisabled() const override;
  int CheckMessageWindowHit(int x, int y) override;
  void SetWindowNumberConfig(int n) override;
  int GetWindowNumberConfig() const override;
  void SetMessageWindowOn(int value) override { messageWindowOn_ = value; }
  int GetAutoModeFlag() const override { return messageWindowOn_; }
  int GetAutoModeType() const override { return autoModeType_; }
  int GetMessageSpeed() const override { return messageWindowMode_; }
  int GetMessageSkipFlag() const override { return storedOption_; }
  int SetMessageParam(int kind, int value) override;
  void ChangeFace(int n, const char* name) override;
  int GetConfigHelperValue() override;

  // --- The window ---
  CCommonMessageWindow* GetMessageWindow() const { return messageWindow_.get(); }
  void SetWindowNumberScript(int n);
  int GetWindowNumberScript() const { return windowNumberScript_; }
  // 100 - option 106, held to 0..100, to the message window.
  void ApplyWindowOpacity();
  void SetMessageWindowMode(int value);
  void SetAutoModeType(int type) { autoModeType_ = type; }
  // Stores the word and sets option 6 to it.
  void SetStoredOption(int value);
  // A message-window switch (0 or 1) waiting for ApplyPendingSwitch; -1
  // none.
  void SetPendingSwitch(int value) { pendingSwitch_ = value; }
  void ApplyPendingSwitch();
  int GetNoVoiceIsDefaultWait() const { return noVoiceIsDefaultWait_; }

  // The word alone, the print-message mode not told (a game start).
  void SetMessageModeFlagWord(int flag) { messageModeFlag_ = flag; }

  // --- Skipping ---
  // Shift skip off when on; on when off, unless "shiftSkipMessageOnly" and
  // the current mode is not the print-message mode.
  void ToggleShiftSkip();
  // A film skip or the shift skip runs.
  int IsSkipping() const { return skipFilm_[2] != 0 || shiftSkipState_ != 0; }
  // The skip words: two counters and three flags set together when a film
  // skip starts (the first flag says a film skip runs), all cleared.
  void StartFilmSkip();
  void ClearSkipFilm();
  int GetSkipFilmWord(int i) const { return i >= 0 && i < 5 ? skipFilm_[i] : 0; }
  // The script released (a message mode's click lets it run on).
  int GetSkipFilmFlag() const { return skipFilmStarted_; }
  // F4 (0) and F5 (1) over the shown message: read, the skip kinds set, F5
  // also resets the effects, and the script released.
  void SkipByKey(int kind);
  // The skip kind F4 (0) or F5 (1) set: 1 after that key, 0 after the other.
  int GetSkipKind(int i) const { return i == 0 || i == 1 ? skipKind_[i] : 0; }
  // The prohibit words of the script: a positive one also stops a running
  // skip when its kill setting is on.
  void SetCannotSkipFlag(int value);
  void SetAutoMessageCheckFlag(int value);
  void SetMessageSwitch(int value) { messageSwitch_ = value; }

  // --- The story's words ---
  StoryWords& Words() { return words_; }
  const StoryWords& Words() const { return words_; }
  // The window's words as a save keeps them (the mode is not handed to the
  // window), and the three prohibit words as it keeps them.
  void SetWindowWords(int on, int mode) {
    messageWindowOn_ = on;
    messageWindowMode_ = mode;
  }
  void SetProhibitWords(int autoMessageCheck, int messageSwitch, int cannotSkip) {
    autoMessageCheckFlag_ = autoMessageCheck;
    messageSwitch_ = messageSwitch;
    cannotSkipFlag_ = cannotSkip;
  }

  // --- Faces ---
  void SetFaceType(int face, int type);
  void SetFaceNumber(int n);
  void ResetFaces();
  int GetFacePrintMode() const { return settings_.facePrintMode; }
  CFaceControl* GetFaceControl() const { return faceControl_.get(); }

 private:
  // The message-window operations reach the window only through these;
  // without a window they answer as for none.
  int MessageWindowPrint(int show, int showName, const platform::Point* offset);
  void MessageWindowSetNumbers(int config, int script);

  const Links links_;
  Settings settings_;
  StoryWords words_;
  std::unique_ptr<CCommonMessageWindow> messageWindow_;
  std::unique_ptr<CFaceControl> faceControl_;
  int windowNumberScript_ = 0;
  int messageWindowOn_ = 0, autoModeType_ = 0, messageWindowMode_ = 0, storedOption_ = 0;
  int pendingSwitch_ = -1;
  int noVoiceIsDefaultWait_ = 0;
  int skipFilm_[5] = {};
  int skipFilmStarted_ = 0;
  int messageModeFlag_ = 0;
  int shiftSkipState_ = 0;
  int autoMessageCheckFlag_ = 0, messageSwitch_ = 0, cannotSkipFlag_ = 0;
  int skipKind_[2] = {};

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The story words (the choice words only when the status's return mode
  // is the choice mode), the window words, design and prohibit words. The
  // window's on-flag is the one kept when a system screen opened.
  void PutStatus(uint8_t* status) const;
  void GetStatus(const uint8_t* status);
  void KeepWindowOn() { keptMessageWindowOn_ = messageWindowOn_; }
  void RestoreKeptWindowOn() { messageWindowOn_ = keptMessageWindowOn_; }

 private:
  int keptMessageWindowOn_ = 0;
};
