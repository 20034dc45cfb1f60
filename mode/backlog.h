// CCommonBackLog: mode 7, the back log, and at the same time the store of
// every line the story showed. The game object adds the lines
// (CMessageWindowServices::AddBackLog, SetBackLogColor, ClearBackLog) and the voice
// command names the voice of the line about to come (SetVoice). The player
// opens the mode from the story (wheel up, floating button, shortcut), reads
// the newest lines again in their colours, scrolls with the wheel, the
// arrow and Page keys and the arrow marks, clicks a line's voice mark to
// hear it again, and goes back to the mode that opened it.
//
// The store is a ring of 256 lines of which the newest 226 can be read; a
// line holds at most 254 bytes of text (with the text printer's '#' codes),
// a colour word and a voice name of at most 14 bytes. It lives as long as
// the game object; only ClearLog empties it (the title does), leaving the
// first message and the bar line.
//
// Settings list "BackLog": background mode ("bgMode" 0 colour, 1 picture,
// 2 the scene filtered, 3 the back script), positions, the title, the arrows
// and the voice mark (texts or pictures, optionally animated), the first
// message and the bar line. Drawing is in backlog_print.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "widget/animecounter.h"

class CTextPrint;

class CCommonBackLog : public CCommonGeneral, public CStoryBackLogMode {
 public:
  static constexpr int kModeNumber = modenumber::kBackLog;
  static constexpr int kSlots = 256;
  static constexpr int kTextSize = 256;
  static constexpr int kMaxTextBytes = 254;
  static constexpr int kVoiceSize = 16;
  static constexpr int kMaxVoiceBytes = 14;
  static constexpr int kMaxReadable = 226;
  static constexpr int kFirstMessageSize = 512;

  // Background modes.
  enum { kBgColor = 0, kBgPicture = 1, kBgScene = 2, kBgBackScript = 3 };

  explicit CCommonBackLog(const GameRoles& game);
  ~CCommonBackLog() override;
  void RegisterRoles(ModeRoles* roles) override { roles->backLog = this; }

  int Calcu() override;
  int Print() override;
  int Init() override;
  // Puts back the game state the opener kept.
  void AtExit() override;
  // Frees the arrow and voice-mark pictures; the next entry loads them
  // again.
  void Release();

  // --- The store ---
  // A line in the colour (r, g, b); a null text is ignored. Longer texts
  // are cut to 254 bytes of whole characters.
  void AddLine(const char* text, int r, int g, int b) override;
  // The voice file name (at most 14 bytes, null: none) of the line about to
  // be added; the names of the following lines are cleared.
  void SetVoice(const char* name) override;
  // The colour of the line linesBack before the next one (1: the last
  // line added); any count stays in the ring.
  void SetLineColor(int linesBack, int r, int g, int b) override;
  // Empties the store, then adds the first message and the bar line in
  // white.
  void ClearLog() override;

  // --- Scrolling ---
  int CanGoOlder() const;
  int CanGoNewer() const;
  // n steps while they can be taken; 1 when the top moved (a full redraw is
  // then requested).
  int GoOlder(int n);
  int GoNewer(int n);

  // --- Read by the game and tests ---
  // Slot i (taken modulo 256) of the ring.
  const char* GetText(int slot) const { return texts_[Wrap(slot)]; }
  unsigned GetColor(int slot) const { return colors_[Wrap(slot)]; }
  const char* GetVoice(int slot) const { return voices_[Wrap(slot)]; }
  int GetWriteIndex() const { return writeIndex_; }
  int GetReadableCount() const { return readable_; }
  int GetTop() const { return top_; }
  int GetPrintLines() const { return printLines_; }
  int GetBgMode() const { return bgMode_; }
  int GetHoveredVoice() const { return hoveredVoice_; }
  int GetInputDelay() const { return inputDelay_; }
  const char* GetFirstMessage() const { return firstMessage_; }
  // Rows shown: min(readable count, printLines).
  int GetShownRows() const;

  static int Wrap(int slot) { return slot & (kSlots - 1); }

 private:
  void LoadSettings();
  void LoadFirstMessage();
  void LoadPictures();
  // The background of bgMode 1 and 2 into the screen picture.
  void PrepareBackground();
  // Leaves for the mode that opened the log.
  int LeaveLog();
  // Screen row j's text position.
  int RowY(int row) const;
  // The slot whose voice mark lies under (x, y), -1 none.
  int VoiceSlotAt(int x, int y) const;
  static bool Inside(int x, int y, int left, int top, int w, int h);
  // Positions from the list may be anything: sums are taken in 64 bits and
  // held to the 32-bit range.
  static int Clamp32(int64_t v) {
    return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  }

  // backlog_print.cpp.
  void StepAnimations();
  void PrintTitlePicture(int when);
  void PrintRows();
  void PrintArrows();
  void PrintText(int x, int y, const char* text, int r, int g, int b);
  // A cell of `picture` at (x, y): column `column` when animated, the
  // counter's pattern (and its cross-fade) as the row.
  void PrintCell(CPicture* picture, int x, int y, int sizeX, int sizeY, int column,
                 const CAnimeCounter& counter, int animated);

  // The store.
  char texts_[kSlots][kTextSize] = {};
  unsigned colors_[kSlots] = {};
  char voices_[kSlots][kVoiceSize] = {};
  int writeIndex_ = 0;
  int readable_ = 0;
  int top_ = 0;

  // State of the open log.
  int hoveredVoice_ = -1;
  int upPressed_ = 0, downPressed_ = 0;
  int inputDelay_ = 0;

  std::unique_ptr<CTextPrint> textPrint_;
  std::unique_ptr<CPicture> arrowPicture_;  // single, or the up one when animated
  std::unique_ptr<CPicture> downArrowPicture_;
  std::unique_ptr<CPicture> voicePicture_;
  CAnimeCounter arrowAnime_;
  CAnimeCounter voiceAnime_;

  // Settings.
  int bgMode_ = kBgColor;
  int backR_ = 0, backG_ = 0, backB_ = 0;
  int returnSoundNumber_ = -1;
  const char* bgFileName_ = "bg_backlog";
  int deltaR_ = 0, deltaG_ = 0, deltaB_ = 0;
  int multiR_ = 100, multiG_ = 100, multiB_ = 100;
  int nega_ = 0, grey_ = 0;
  int fontSize_ = 24;
  int printLines_ = 15;
  int printX_ = 110, printY_ = 32;
  int nextY_ = 24;
  int upX_ = 0, upY_ = 0, downX_ = 0, downY_ = 0;
  int arrowSizeX_ = 24, arrowSizeY_ = 24;
  int titleX_ = 0, titleY_ = 0;
  int titlePrintFlag_ = 1;
  const char* titleMessage_ = nullptr;
  int titlePicFlag_ = 0;
  const char* titlePicFileName_ = "ta_backlog_title";
  int titlePicX_ = 0, titlePicY_ = 0;
  int titlePicUpper_ = 0;
  int arrowPicFlag_ = 0;
  int arrowAnimeFlag_ = 0;
  const char* arrowFileName_ = "ta_backlog_updown";
  const char* upArrowFileName_ = "ta_backlog_up";
  const char* downArrowFileName_ = "ta_backlog_down";
  const char* upMessage_ = nullptr;
  const char* downMessage_ = nullptr;
  int voicePicFlag_ = 0;
  const char* voiceFileName_ = nullptr;
  int voiceAnimeFlag_ = 0;
  const char* voiceMessage_ = nullptr;
  int voiceX_ = -24, voiceY_ = 0;
  int voiceSizeX_ = 24, voiceSizeY_ = 24;
  const char* barMessage_ = nullptr;
  char firstMessage_[kFirstMessageSize] = {};
};
