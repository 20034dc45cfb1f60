// CCommonPrintMessage: mode 10, the print-message mode. The script's text
// commands give it their pages (SetMessage), timed waits and screen
// transitions; it types the page out in the message window (or over the
// whole screen), waits for the player, auto mode or skip, and lets the
// script go on (SetSkipFilmFlag (1)).
//
// Files: printmessage.cpp (the line store and text entry, save state),
// printmessage_setup.cpp (the settings list "PrintMessage"),
// printmessage_calcu.cpp (per-frame input, waits, auto mode and skip),
// printmessage_print.cpp (the drawing: window, face, name, text, cut-ins).
//
// Text commands (script/commandtable.h): "text" a new window page (first
// line the speaker's name), "fulltext" a new full-screen page, "moretext"
// the continuation of the page shown, "wait" a timed wait in frames,
// "wipe" a timed wait over a captured screen.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "script/commandtable.h"

class CCutinChara;
class CCutinWindow;
class CNameColorList;
class CTextPrint;

class CCommonPrintMessage : public CCommonGeneral, public CStoryMessageMode {
 public:
  static constexpr int kModeNumber = modenumber::kPrintMessage;
  static constexpr int kTextSlots = 64;
  static constexpr int kTextSlotSize = 256;
  static constexpr int kTextMax = 254;
  static constexpr int kSpeeds = 5;
  static constexpr int kWaitLevels = 5;
  // More font-size types than this count as this many.
  static constexpr int kMaxFontSizeTypes = 255;

  static constexpr int kCodeWindow = script::kTextWindow;
  static constexpr int kCodeFull = script::kTextFull;
  static constexpr int kCodeContinue = script::kTextAppend;
  static constexpr int kCodeWait = script::kTextWait;
  static constexpr int kCodeScreenWait = script::kTextWipe;

  explicit CCommonPrintMessage(const GameRoles& game);
  ~CCommonPrintMessage() override;
  void RegisterRoles(ModeRoles* roles) override { roles->message = this; }

  void ResetGame() override;
  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  // Frees the tables, the cut-in window and table, the name colours and the
  // text printer; safe to call twice.
  virtual void Release();

  // The mode's own steps (printmessage_calcu.cpp, printmessage_print.cpp).
  virtual void PrepareExit();
  virtual int PrintText(int forceNewPage);
  virtual int PrintWait();
  virtual int PrintScreenWait();
  virtual int IsScreenWaitDone();
  virtual int CalcuDemo();
  virtual int CalcuWait(int button);
  virtual int CalcuScreenWait(int button);
  virtual int CalcuText(int button);
  void PrintLprintBG();

  // A page of the "text", "fulltext" or "moretext" command: its code, the
  // message id ((project number << 16) | (key & 0xFFFF); low half 0xFFFF:
  // none), its text and cut-in character (0 none). Other codes are ignored.
  void SetMessage(int code, int id, const char* text, int extra) override;
  std::string TakePageFitProblem() override;
  // The line of the last page (1-based, 0: none) that reaches farthest
  // right, and where it ends: the lint holds it against the message
  // window picture's own edge, which the screen's edge check cannot know.
  int GetPageReachLine() const { return reachLine_; }
  int64_t GetPageReach() const { return reach_; }
  // A count-down wait of `frames` (the "wait" command).
  void SetWaitTime(int frames) override;
  // A timed transition over the captured screen (the "wipe" command);
  // kind is kept, the game draws the transition.
  void SetScreenWait(int kind, int length) override;
  // Taken only while the game uses cut-ins.
  void SetCutinNumber(int number) override;
  int GetCutinNumber() const override { return cutinNumber_; }
  // Hooks around effect commands, frame skips and scene replay: kept, but
  // nothing shown depends on them.
  void SetFrameFlag(int value) override;
  void ClearFrameFlag(int value) override;
  void NoticeEffect(int channel) override;
  void ClearState() override;
  void SetGeneral(int mode) override;
  void CheckPrintLprintBG() override;
  // 1 shows the message window, 0 hides it; a change redraws the screen.
  void SetWindowPrint(int flag) override;
  // 1 when the page continues over several texts (full-screen or
  // continued page).
  int CheckContinue() const override;
  int GetLineCount() const override { return lineCount_; }
  // Held to 0..64; cut-in marks that run past the new count are dropped.
  void SetLineCount(int n) override;
  // Message line i (NULL outside 0..63).
  const char* GetMessageLine(int i) const override;
  // A saved line into slot i (0..63): at most 254 bytes up to the first NUL,
  // then two NULs.
  void SetMessageLine(int i, const char* bytes, size_t size) override;
  int GetMessageCode() const override { return pageCode_; }
  // One of the five codes; anything else is a window page.
  void SetMessageCode(int code) override;
  // The 128 words of cut-in marks (the CUTIN chunk); LoadData drops marks
  // that are negative or run past the 64 lines.
  void SaveData(int* out) const override;
  void LoadData(const int* in) override;
  int* GetCutinData() { return cutin_; }

  // --- State, read by the game and the tests ---
  int IsTyping() const { return typing_; }
  int IsWindowHidden() const { return windowHidden_; }
  int GetMessageId() const { return messageId_; }
  int GetTyped(int i) const { return Valid(i) ? typed_[i] : 0; }
  int GetTotal(int i) const { return Valid(i) ? total_[i] : -1; }
  int GetCutinMark(int i, int k) const {
    return Valid(i) && (k == 0 || k == 1) ? cutin_[2 * i + k] : 0;
  }
  int GetAutoCountdown() const { return autoCountdown_; }
  int GetCellsThisFrame() const { return cellsThisFrame_; }
  int GetTypingRemainder() const { return typingRemainder_; }
  int GetWaitFrames() const { return waitFrames_; }
  int GetScreenWaitCounter() const { return screenWaitCounter_; }
  int GetScreenWaitLength() const { return screenWaitLength_; }
  int GetSpeedIndex() const { return speedIndex_; }
  int GetFrameFlag() const { return frameFlag_; }

  // The settings as read (printmessage_setup.cpp), for the tests.
  struct Layout {
    int fontSize = 24, printX = 100, printY = 100, nextX = 0, nextY = 30, space = 1;
  };
  struct Settings {
    int fontSizeTypeNumber = 0;
    Layout base;
    int lPrintX = 100, lPrintY = 100, lNextX = 0, lNextY = 30;
    int colorCustomFlag = 0;
    int colorR = 255, colorG = 255, colorB = 255, shadeColor = 0;
    // Per font-size type (entry 0 the base values).
    std::vector<Layout> layouts;
    std::vector<int> nameXs, nameYs, nameSpaces;
    int windowMessageNumber = 4, fullMessageNumber = 0;
    int nameFlag = 1, nameX = 0, nameY = 0, nameCenterFlag = 1, nameLengthMax = 5;
    int nameFontSize = 20, nameSpace = 1;
    int nameColorR = 255, nameColorG = 255, nameColorB = 255, nameShadeColor = 0;
    int nameColorChangeFlag = 1, autoNameWindowFlag = 0;
    int namePicFlag = 0, namePicSizeX = 64, namePicSizeY = 16, namePicDeltaX = 0, namePicDeltaY = 0;
    int speeds[kSpeeds] = {20, 40, 60, 120, 10000};
    int voiceLastWait[kWaitLevels] = {500, 500, 500, 500, 500};
    int noVoiceLastWait[kWaitLevels] = {2000, 2000, 2000, 2000, 2000};
    int autoMessageVoiceLastWait = 500, autoMessageLastWait = 2000;
    int autoMessageWaitVoiceFlag = 0, noVoiceIsDefaultWait = 0;
    int wheelDownIsClick = 0, rightSkipOffIsClick = 0, backlogSound = -1;
    int drawWindowWithMessageFlag = 0, drawOverrapOptionFlag = 1;
    int cutinNamePrintFlag = 0;
    // Full-screen background.
    int lPrintBGMode = 0, lPrintBGPrintX = 0, lPrintBGPrintY = 0;
    int deltaR = 0, deltaG = 0, deltaB = 0, multiR = 100, multiG = 100, multiB = 100;
    int nega = 0, grey = 0;
    // General, nega, grey, multiply, add clips: x, y, width, height.
    int clips[5][4] = {};
  };
  const Settings& GetSettings() const { return s_; }
  // The layout of this frame's font-size type.
  const Layout& GetCurrentLayout() const { return cur_; }
  int GetCurrentNameSpace() const { return curNameSpace_; }
  CNameColorList* GetNameColorList() const { return nameColors_.get(); }
  CCutinChara* GetCutinChara() const { return cutinChara_.get(); }

 private:
  static bool Valid(int i) { return i >= 0 && i < kTextSlots; }
  // Count-downs and sums of milliseconds held to 32 bits.
  static int Saturate(int64_t v) {
    return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  }
  // printmessage_setup.cpp
  void LoadSettings();
  void LoadCutins();
  // "<colour>R/G/B" (kept when missing) and "<shade>R/G/B" (0 when
  // missing) as an outline word.
  void ReadColours(const char* colour, const char* shade, int* r, int* g, int* b, int* outline);
  // printmessage.cpp
  void ClearLine(int i);
  void ScrollUp();
  // One line of a text command (j: its index in the text).
  struct Entry;
  void EnterLine(Entry* e, const char* line, size_t length, int j);
  void LogLine(const char* text, uint32_t colour);
  // What of the page does not fit: `held` lines before the window's limit,
  // the lines from `firstNew` on measured against the screen's width.
  void CheckPageFits(int held, int firstNew);
  uint32_t NameColour(const char* name) const;
  void MarkRead();
  int IsRead();
  void ReleaseScript();
  // printmessage_calcu.cpp
  int AutoStep();
  int AdvanceInput();
  int WindowToggleInput();
  int InAutoCheck();
  int FloatingAllowed();
  void TypingInput();
  // printmessage_print.cpp
  void ApplyFontSizeType();
  int NameShown() const;
  void PrintName(int full);
  void PrintLines(int full, int code, int first);
  void PrintCutinWindow(int line, int group, int fontSize);
  void PlaceCursor(int code);

  Settings s_;
  Layout cur_;
  int curNameX_ = 0, curNameY_ = 0, curNameSpace_ = 1;

  std::unique_ptr<CTextPrint> text_;
  int waitFrames_ = 1;
  int lineCount_ = 0;
  int typed_[kTextSlots] = {};
  int total_[kTextSlots] = {};
  char lines_[kTextSlots][kTextSlotSize] = {};
  int cutin_[kCutinWords] = {};
  int windowHidden_ = 0;
  int pageCode_ = kCodeWindow;
  int typing_ = 0;
  int speedIndex_ = 2;
  int nameDrawn_ = 0;
  int cellsThisFrame_ = 1;
  int messageId_ = -1;
  int skipNow_ = 0, skipBefore_ = 0;
  int skipUnread_ = 0;
  int autoCountdown_ = 1;
  int effectFrames_ = 0;
  int screenWaitKind_ = 0, screenWaitLength_ = 0, screenWaitCounter_ = 0;
  int typingRemainder_ = 0;
  int windowOffMouseButton_ = 1;
  int autoCheckElapsed_ = 0, autoCheckVoiceCountdown_ = 1;
  int cutinNumber_ = 0;
  int useCutin_ = 0;
  int frameFlag_ = 0, generalMode_ = 0;
  // What of the page does not fit, not yet taken, and whether this page's
  // problem has been taken already.
  std::string fitProblem_;
  bool fitTold_ = false;
  int reachLine_ = 0;
  int64_t reach_ = 0;
  std::unique_ptr<CNameColorList> nameColors_;
  std::unique_ptr<CCutinChara> cutinChara_;
  std::unique_ptr<CCutinWindow> cutinWindow_;
  // System pictures (not owned).
  CPicture* namePicture_ = nullptr;
  CPicture* lPrintBGPicture_ = nullptr;
};
