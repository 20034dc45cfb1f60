// The roles a mode plays for the game besides being a mode: the story's
// modes (the print-message mode, the choice and the back log) take the
// script's text, keep the save's message words and fill the back log; the
// system menu, the configuration and the movie mode answer a few questions
// of the frame; the load and save screens and the mini-game mode serve quick
// load, quick save, the save confirmed when the window closes and mini-game
// starts (modebase/quickloadsave.h, modebase/minigamehost.h).
//
// A mode registers the roles it plays in CCommonGeneral::RegisterRoles; the
// game asks the mode at a role's number for it, so the game reaches these
// modes through the roles alone and only its mode factory names mode
// classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMiniGameHost;
class CQuickLoadMode;
class CQuickSaveMode;
class CConfirmedSaveMode;

// The print-message mode (10) as the script and the saves reach it.
class CStoryMessageMode {
 public:
  // The words of cut-in marks the CUTIN chunk holds (two a line).
  static constexpr int kCutinWords = 128;

  // A page of the "text", "fulltext" or "moretext" command: its code, the
  // message id ((project number << 16) | (key & 0xFFFF); low half 0xFFFF:
  // none), its text and cut-in character (0 none). Other codes are ignored.
  virtual void SetMessage(int code, int id, const char* text, int extra) = 0;
  // After SetMessage: what of the page does not fit (more lines than the
  // message window holds, a line running past the screen's right edge),
  // said once a page; "" when it fits or has been said.
  virtual std::string TakePageFitProblem() = 0;
  // A count-down wait of `frames` (the "wait" command).
  virtual void SetWaitTime(int frames) = 0;
  // A timed transition over the captured screen (the "wipe" command);
  // kind is kept, the game draws the transition.
  virtual void SetScreenWait(int kind, int length) = 0;
  // Taken only while the game uses cut-ins.
  virtual void SetCutinNumber(int number) = 0;
  virtual int GetCutinNumber() const = 0;
  // Hooks around effect commands, frame skips and scene replay.
  virtual void SetFrameFlag(int value) = 0;
  virtual void ClearFrameFlag(int value) = 0;
  virtual void NoticeEffect(int channel) = 0;
  virtual void ClearState() = 0;
  virtual void SetGeneral(int mode) = 0;
  virtual void CheckPrintLprintBG() = 0;
  // The page state a restored game starts from.
  virtual void ResetGame() = 0;
  // 1 shows the message window, 0 hides it; a change redraws the screen.
  virtual void SetWindowPrint(int flag) = 0;
  // 1 when the page continues over several texts (full-screen or
  // continued page).
  virtual int CheckContinue() const = 0;
  virtual int GetLineCount() const = 0;
  // Held to 0..64; cut-in marks that run past the new count are dropped.
  virtual void SetLineCount(int n) = 0;
  // Message line i (NULL outside 0..63).
  virtual const char* GetMessageLine(int i) const = 0;
  // A saved line into slot i (0..63): at most 254 bytes up to the first NUL,
  // then two NULs.
  virtual void SetMessageLine(int i, const char* bytes, size_t size) = 0;
  virtual int GetMessageCode() const = 0;
  // One of the five codes; anything else is a window page.
  virtual void SetMessageCode(int code) = 0;
  // The 128 words of cut-in marks (the CUTIN chunk); LoadData drops marks
  // that are negative or run past the 64 lines.
  virtual void SaveData(int* out) const = 0;
  virtual void LoadData(const int* in) = 0;

 protected:
  ~CStoryMessageMode() = default;
};

// The choice mode (9) as the script and the saves reach it.
class CStoryChoiceMode {
 public:
  // The start of a new choice: the appear animation starts over, and the
  // back log gets its header.
  virtual void AddBackLogHeader() = 0;
  // (length, start): the choice count and the question lines before them,
  // held so that both fit the 64 slots.
  virtual void SetSelectRange(int length, int start) = 0;
  virtual int GetSelectStart() const = 0;
  virtual int GetSelectEnd() const = 0;
  // Choice text slot i (at most 254 bytes kept, then two NULs); the text
  // also goes to the back log. Slots outside 0..63 are ignored.
  virtual void SetSelectText(int index, const char* text) = 0;
  // NULL outside 0..63.
  virtual const char* GetSelectText(int index) const = 0;
  // The slots as a saved game's MESSAGE chunk holds them: up to 64 entries
  // of 256 bytes; nothing goes to the back log.
  virtual void RestoreSelectTexts(const uint8_t* entries, size_t size) = 0;
  // A negative time is read from game variable -time (at least 0); the
  // remaining time starts at the limit.
  virtual void SetTimeLimit(int time, int timeoutChoice) = 0;
  virtual int GetTimeLimit() const = 0;
  virtual int GetTimeoutChoice() const = 0;
  // The remaining milliseconds (a negative word is 0).
  virtual int GetSelectState() const = 0;
  virtual void SetSelectState(int word) = 0;
  // The special selector of the choices' layout.
  virtual int GetSelectExtra() const = 0;
  virtual void SetSelectExtra(int word) = 0;

 protected:
  ~CStoryChoiceMode() = default;
};

// The back log (7) as the game fills it.
class CStoryBackLogMode {
 public:
  // A line in the colour (r, g, b); a null text is ignored.
  virtual void AddLine(const char* text, int r, int g, int b) = 0;
  // The voice file name of the line about to be added (null: none).
  virtual void SetVoice(const char* name) = 0;
  // The colour of the line linesBack before the next one (1: the last).
  virtual void SetLineColor(int linesBack, int r, int g, int b) = 0;
  // Empties the store down to the first message and the bar line.
  virtual void ClearLog() = 0;

 protected:
  ~CStoryBackLogMode() = default;
};

// The system menu (12) as the short cuts and the scene replay read it.
class CSystemMenuOptions {
 public:
  // The menu's own options come first; the added ones after them.
  static constexpr int kBuiltInOptions = 9;

  virtual void SetSceneMode(int flag) = 0;
  // The first accelerator key of option i's button; -1 without one.
  virtual int GetOptionAccelKey(int option) const = 0;
  virtual int GetOptionNumber() const = 0;
  // Added option i's mode and quick command (0 for the built-in ones).
  virtual int GetOptionMode(int option) const = 0;
  virtual int GetOptionCommand(int option) const = 0;

 protected:
  ~CSystemMenuOptions() = default;
};

// The configuration (13) as the frame and the voices reach it.
class CConfigScreen {
 public:
  // After a window / full-screen switch made anywhere: the "screen" radio
  // shows the setting.
  virtual void UpdateWindowModeButtons() = 0;
  // The 1-based voice button whose setting governs character `chara`.
  virtual int GetVoiceOffButton(int chara) const = 0;

 protected:
  ~CConfigScreen() = default;
};

// The movie mode (27) as the start-up's codec check and the debug line
// reach it.
class CMoviePlayback {
 public:
  // The render level of the codec check movie; 0 without a player.
  virtual int CheckCodec() = 0;
  // The state word the debug output shows: the last wait runs.
  virtual int GetStateWord() const = 0;

 protected:
  ~CMoviePlayback() = default;
};

// What one mode registers; a role it does not play stays null.
struct ModeRoles {
  CStoryMessageMode* message = nullptr;
  CStoryChoiceMode* choice = nullptr;
  CStoryBackLogMode* backLog = nullptr;
  CSystemMenuOptions* systemMenu = nullptr;
  CConfigScreen* config = nullptr;
  CMoviePlayback* movie = nullptr;
  CQuickLoadMode* quickLoad = nullptr;
  CQuickSaveMode* quickSave = nullptr;
  CConfirmedSaveMode* confirmedSave = nullptr;
  CMiniGameHost* miniGameHost = nullptr;
};
