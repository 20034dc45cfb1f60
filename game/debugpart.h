// CDebugPart: the debug aids and the window's text. With "debug666.txt"
// beside the game the debug list (the last 20 lines), the scene-name line,
// the variable overlay and the window-message log "wmlog.txt" come on; the
// frame-rate and load meters draw when the list "game" asks for them. The
// window's text lines of a frame are collected here and handed to the
// window's text overlay once, at the frame's end; the start message stands
// there until the first frame.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backend.h"

class CFramePart;
class CGameLists;
class CScreenPart;
class CScriptCallBack;
class CScriptPart;
class CSetupList;
class CSoundPart;
class CTextPart;
class CVariablePart;
class CFpsPrint;
class CFukaPrint;
class CPrintDebugParam;

class CDebugPart {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int errorLogFlag = 0;
    int startupLoadErrorPrintFlag = 0;
    int debugMusicNumberPrintFlag = 0;
    int fpsPrintFlag = 0;
    int fukaPrintFlag = 0;
    int startMessageFlag = 1;
    const char* startMessage = "Initializing..";
    // A debugging switch of an older desktop; read so that a list holding
    // it is not taken as misspelt, and nothing here depends on it.
    int vistaDebug = 0;
  };
  static constexpr int kDebugLines = 20;
  static constexpr int kDebugLineSize = 256;
  static constexpr int kNameTextSize = 64;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CFramePart>& frame;
    std::unique_ptr<CGameLists>& lists;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CTextPart>& text;
    std::unique_ptr<CScriptPart>& scripts;
    platform::Window* window;
    int width;
    int height;
    CScriptCallBack* callback;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CDebugPart(const Links& links);
  virtual ~CDebugPart();
  CDebugPart(const CDebugPart&) = delete;
  CDebugPart& operator=(const CDebugPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  // The keys; the dated error log is named by the time of this start, and
  // a missing picture is told at start when asked.
  void ReadSettings();
  // The variable overlay over the variable names.
  void InitDebugParam();
  // The meters ("fukaPrintFlag", "fpsPrintFlag").
  void InitMeters();

  // --- The debug switches ---
  // The debug list, the scene-name line and the window-message log, the
  // process-wide debug word, all on or all off.
  void SetDebugFlags(int flag);
  int GetDebugFlag() const { return debugFlag_; }
  int GetWindowLogFlag() const { return windowLogFlag_; }
  int GetDebugWord() const { return debugWord_; }
  void ToggleDebugWord() { debugWord_ ^= 1; }
  // The debug word of the whole process, set with the game's debug switches
  // (code without the game object reads it here); the reset is for tests.
  static int GetProcessDebugFlag();
  static void ResetProcessDebugFlag();

  // --- The window-message log ---
  // "\r\n" and the text appended to "wmlog.txt" while the log is on.
  void WriteWindowLog(const char* text);
  // WM_MOVE and WM_SIZE with lParam's two words, any other message as a
  // line break, appended while the log is on.
  void LogWindowMessage(uint32_t type, uintptr_t wParam, intptr_t lParam);

  // --- The debug list and the scene-name line ---
  // One line (at most 254 bytes of whole characters) at the end of the
  // debug list; the oldest of 20 goes. Null adds nothing.
  void AddDebugLine(const char* text);
  int GetDebugLineCount() const { return debugLineCount_; }
  const char* GetDebugLine(int i) const {
    return i >= 0 && i < debugLineCount_ ? debugLines_[i] : nullptr;
  }
  // The build stamps of the four libraries into the debug list.
  void PrintLibraryVersions();
  // The scene-name line's texts before and after the script's name (the
  // script's first and second names; null: empty), and one of them: 0 the
  // first name, 1 the second.
  void SetSceneNameTexts(const char* before, const char* after);
  void SetSceneNameText(int which, const char* text);
  const char* GetFirstName() const { return firstName_; }
  const char* GetSecondName() const { return secondName_; }

  // --- The frame's steps ---
  // Lines the frame draws into the screen buffer with the game's text
  // printer: the frame-skip lag and the back-script mode (debug mode), and
  // the music numbers ("debugMusicNumberPrintFlag").
  void PrintFrameDebugLines();
  void PrintMusicNumber();
  // The variable overlay's lines into the window's text, and its box into
  // the screen buffer.
  virtual void PrintDebugParam();
  virtual void PrintDebugParamBack();
  // The load meter's start and end time, and both meters' drawing.
  void StartMeters();
  void PrintMeters();
  void EndMeters();
  // The scene-name line (unless the scripts are off) and the debug list in
  // debug mode, then the frame's lines to the window; they take the start
  // message away.
  void UpdateWindowText();

  // --- The start message ---
  // The white frame with `text` in the window's overlay until the first
  // frame.
  int ShowStartMessage(const char* text);
  // The start text again over a window-coloured frame while it is shown.
  void PrintStartText();

  CFpsPrint* GetFpsPrint() const { return fpsPrint_.get(); }
  CFukaPrint* GetFukaPrint() const { return fukaPrint_.get(); }
  CPrintDebugParam* GetDebugParam() const { return debugParam_.get(); }

 private:
  // The scene-name line and the debug list into the window's text.
  void PrintSceneName();
  void PrintDebugList();

  const Links links_;
  Settings settings_;
  std::unique_ptr<CPrintDebugParam> debugParam_;
  std::unique_ptr<CFukaPrint> fukaPrint_;
  std::unique_ptr<CFpsPrint> fpsPrint_;
  int debugFlag_ = 0;
  int windowLogFlag_ = 0;
  int debugWord_ = 0;
  char debugLines_[kDebugLines][kDebugLineSize] = {};
  int debugLineCount_ = 0;
  char firstName_[kNameTextSize] = {}, secondName_[kNameTextSize] = {};
  const char* startText_ = nullptr;
  // The start message is on the window until the first frame.
  int startMessageShown_ = 0;
  // The window's text lines of this frame, handed over at its end.
  std::vector<platform::OverlayText> windowText_;
};
