// CCommonSelectMessage: mode 9, the choice mode. The script's choice
// command resets it (AddBackLogHeader), gives it the question lines and the
// choices and requests it; the player points with the mouse or moves the
// cursor with the arrow keys, picks with a click or Return, pages through a
// long list, hides the window with Space or opens the back log. Under a time
// limit a timer runs down and the timeout choice is taken. The picked choice
// sends the script on at its label when the mode ends (AtExit).
//
// Files: selectmessage.cpp (settings, the game's setters, entering, the
// frame's calculation), selectmessage_print.cpp (drawing, the cursor
// animation), selectmessage_timer.cpp (the timer and its number printers),
// selectmessage_layouts.cpp (the special layouts: one picture window and one
// place per choice, chosen by the number of choices).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"

class CNumberPrint;
class CPicture;

namespace selectmessage {

// One step of a cursor or timer pattern animation.
struct AnimeStep {
  int counter = 0;
  int current = 0;
  int next = 0;
  int blend = 100;
};
// counter := (counter + 1) mod (frames x L), L = 2n - 2 with reverse (else
// n, at least 1); the pattern pair and the blend percent of the new counter.
AnimeStep StepAnime(int counter, int patterns, int frames, int reverse);

// The top-left corner of cell k in a grid of cellW x cellH cells over a
// picture of picW x picH (cell sizes below 1 count as 1; at least one column
// and one row).
void GridCell(int k, int picW, int picH, int cellW, int cellH, int* x, int* y);

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};
// The part of a w x h bar at (x, y) left with t of s (s at least 1): side 0
// keeps the bottom edge, 1 the left, 2 the top, 3 the right.
Rect TimerBar(int side, int x, int y, int w, int h, int t, int s);
// One colour channel from c1 at the start to c2 at the end, e := s - t
// clamped to 0..s.
int TimerColor(int c1, int c2, int t, int s);
// Type 3: the pattern shown with t of s left among n.
int TimerPattern(int t, int s, int n);
// Type 4: patterns first and second (first + 1) cross-faded at percent and
// 100 - percent; percent 100 shows first alone.
struct TimerFade {
  int first = 0;
  int second = 0;
  int percent = 100;
};
TimerFade TimerCrossFade(int t, int s, int n);

}  // namespace selectmessage

class CCommonSelectMessage : public CCommonGeneral, public CStoryChoiceMode {
 public:
  static constexpr int kModeNumber = modenumber::kSelectMessage;
  static constexpr int kTextSlots = 64;
  static constexpr int kTextSlotSize = 256;
  static constexpr int kTextMax = kTextSlotSize - 2;
  // Layouts kept for at most this many choices (no list has more).
  static constexpr int kMaxSpecialNumber = kTextSlots;

  explicit CCommonSelectMessage(const GameRoles& game);
  ~CCommonSelectMessage() override;
  void RegisterRoles(ModeRoles* roles) override { roles->choice = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  int Leave() override;
  void AtExit() override;
  int HitTestItem(int x, int y) override;
  void MoveMouseToItem(int row) override;
  int KeyMoveItem(int combined, int leftRight, int upDown) override;
  // Frees the special tables, the two number printers and the timer picture.
  void Release();
  // The start of a new choice: the appear animation starts over, and the
  // back log gets a line of one full-width space in white and then the
  // header "backlogMessage" in its colour.
  void AddBackLogHeader() override;

  // (length, start): the choice count and the question lines before them,
  // held so that both fit the 64 slots.
  void SetSelectRange(int length, int start) override;
  int GetSelectStart() const override { return questionLines_; }
  int GetSelectEnd() const override { return questionLines_ + count_; }
  // Choice text slot i (at most 254 bytes kept, then two NULs); the text
  // also goes to the back log. Slots outside 0..63 are ignored.
  void SetSelectText(int index, const char* text) override;
  // NULL outside 0..63.
  const char* GetSelectText(int index) const override;
  // The slots as a saved game's MESSAGE chunk holds them: up to 64 entries
  // of 256 bytes, each kept as at most 254 bytes and two NULs; nothing goes
  // to the back log.
  void RestoreSelectTexts(const uint8_t* entries, size_t size) override;
  // A negative time is read from game variable -time (at least 0); the
  // remaining time starts at the limit.
  void SetTimeLimit(int time, int timeoutChoice) override;
  int GetTimeLimit() const override { return timeLimit_; }
  int GetTimeoutChoice() const override { return timeoutChoice_; }
  // The remaining milliseconds (a negative word is 0).
  int GetSelectState() const override { return remaining_; }
  void SetSelectState(int word) override;
  // The special selector: with "useSpecialNumber" above 0 and a selector
  // other than 0 the choices use the special layout.
  int GetSelectExtra() const override { return selector_; }
  void SetSelectExtra(int word) override;

  // --- Read by tests ---
  int GetCount() const { return count_; }
  int GetHover() const { return hover_; }
  int GetKeyCursor() const { return keyCursor_; }
  int GetPage() const { return page_; }
  int GetPageCount() const { return pageCount_; }
  int GetResult() const { return result_; }
  int GetDeliver() const { return deliver_; }
  int IsSelected() const { return selected_; }
  int IsWindowShown() const { return windowShown_; }
  int GetAppearCounter() const { return appearCounter_; }
  // The special layout is in use for the current list.
  int IsSpecial() const;
  // Rows 0 .. GetRowCount() - 1 are hit-testable and drawn.
  int GetRowCount() const;
  // The text position of choice row r (question line j: QuestionPos).
  void GetRowPos(int row, int* x, int* y) const;
  void GetQuestionPos(int line, int* x, int* y) const;
  // The cursor (and hit) rectangle of row r.
  selectmessage::Rect GetCursorRect(int row) const;
  // The cell of the special window picture that choice r shows.
  int GetSpecialCell(int row) const;
  int GetSpecialNumber() const { return special_.number; }
  // The timer printers (null unless "timerTimePrintFlag" asks for them).
  CNumberPrint* GetSecondsPrinter() const { return seconds_.get(); }
  CNumberPrint* GetFractionPrinter() const { return fraction_.get(); }
  // The value the fraction printer shows for the remaining time.
  int GetFractionValue() const;

 private:
  // The cursor animation keys (normal or special).
  struct Anime {
    int patterns = 8, frames = 1, reverse = 0;
  };
  struct Color {
    int r = 0, g = 0, b = 0;
  };
  struct WindowKeys {
    int print = 1;
    const char* file = "ta_win_select";
    int x = 0, y = 400, w = 800, h = 200;
  };
  struct TimerKeys {
    int type = 1;
    Color color1{0, 255, 0}, color2{255, 0, 0};
    int sizeX = 100, sizeY = 32;
    const char* file = nullptr;
    int picNumber = 1;
    int x = 0, y = 0;
    int side = 1;
    int timePrintFlag = 0;
    int timeX = 0, timeY = 0, timeX2 = 0, timeY2 = 0;
  };
  struct SpecialKeys {
    int number = 0;
    const char* windowFile = nullptr;
    int cellX = 800, cellY = 60;
    int centering = 0, centerAreaX = 800;
    std::vector<int> x, y;   // number x number, entry (p - 1) * number + (q - 1)
    std::vector<int> vars;   // number, -1 none
    Anime anime;
    const char* cursorFile = nullptr;
    int textX = 0, textY = 0;
    int fontSize = 24;
    int deltaX = -8, deltaY = -2, sizeX = 469, sizeY = 27;
  };

  // selectmessage.cpp
  void LoadSettings();
  // "<prefix>PrintFlag", "FileName", "PrintX", "PrintY", "SizeX", "SizeY"
  // over what *w holds.
  void ReadWindowKeys(const char* prefix, WindowKeys* w);
  // "<prefix>R<suffix>", G, B over what *c holds, each held to 0..255.
  void ReadColorKeys(const char* prefix, const char* suffix, Color* c);
  int OptionsAllowed() const;
  int CheckOptionButtons(int* next);
  int StepKeys();
  void PickRow(int row);
  int CheckTimeOver(int* next);
  void ShowWindowAgain();
  void AddDotLines();
  void SetScrollPages();
  // The up/down page buttons: the base class's pair (nothing without one).
  int StepScrollButtons(int keyMoved);
  void InitScrollButtons();
  void PrintScrollButtons();
  int PlaySound(int value) const;

  // selectmessage_print.cpp
  void StepCursorAnime();
  void PrintBackground();
  void PrintWindow();
  void PrintLines(int full);
  void PrintRow(int row, int full);
  void PrintCursor(int row);
  void PrintLineText(int x, int y, const char* text, int size);
  void RestoreRect(const selectmessage::Rect& r);
  const Anime& CursorAnime() const;

  // selectmessage_timer.cpp
  void LoadTimerSettings();
  void PrintTimer();
  void PrintTimerCell(int pattern, int percent, int other);

  // selectmessage_layouts.cpp
  void LoadSpecialSettings();
  void PrintSpecialWindows();
  int SpecialIndex(int choice) const;

  // --- Settings ("SelectMessage") ---
  int optionOk_ = 0;
  int backLogOk_ = 1;
  WindowKeys window_, timeLimitWindow_;  // defaults: 1, "ta_win_select", 0, 400, 800, 200
  int firstAppearType_ = 0, firstAppearTime_ = 10;
  int clickingTime_ = 5;
  Anime anime_;
  int animePrintType_ = 0;
  int backPrintMode_ = 0;
  Color backColor_;
  const char* backFileName_ = "sel_bg";
  int messagePrintX_ = 66, messagePrintY_ = 383, messageNextY_ = 30;
  int cursorSizeX_ = 469, cursorSizeY_ = 27;
  int cursorDeltaX_ = -8, cursorDeltaY_ = -2;
  int fontSize_ = 24;
  const char* cursorFileName_ = "ta_select01";
  int messagePrintGyo_ = 4;
  const char* backlogMessage_ = nullptr;
  Color backlogMessageColor_{64, 192, 255};
  Color backlogSelectColor_{192, 232, 255};
  int windowOffSound_ = -1, windowOnSound_ = -1, selectSound_ = 0, backlogSound_ = -1;
  int timeLimitOptionOk_ = 0;
  int useScrollFlag_ = 0;
  int windowOffMouseButton_ = 1;
  TimerKeys timer_;
  SpecialKeys special_;

  // --- State ---
  char texts_[kTextSlots][kTextSlotSize] = {};
  int count_ = 0, questionLines_ = 0;
  int selector_ = 0;
  int timeLimit_ = 0, timeoutChoice_ = 0, remaining_ = 0;
  int hover_ = -1, prevHover_ = -1, keyCursor_ = -1;
  int selected_ = 0, countdown_ = 0, result_ = 0, deliver_ = 0;
  int windowShown_ = 1, clickDelay_ = 0;
  int appearCounter_ = 0;
  selectmessage::AnimeStep cursorStep_;
  int page_ = 0, pageCount_ = 1;
  int onScrollButton_ = 0;

  // --- Pictures ---
  CPicture* cursorPicture_ = nullptr;          // system picture
  CPicture* specialWindowPicture_ = nullptr;   // system picture
  CPicture* specialCursorPicture_ = nullptr;   // system picture
  std::unique_ptr<CPicture> timerPicture_;
  std::unique_ptr<CNumberPrint> seconds_, fraction_;
  CPicture* secondsFont_ = nullptr;            // system pictures
  CPicture* fractionFont_ = nullptr;
};
