// CTextInputBox: the game's one-line text entry (names, save comments), in
// three styles. It takes the WM_CHAR bytes of the window while started:
// keyboard letters and half-width kana become full-width CP932 characters,
// double-byte characters (from the desktop's input method) are kept whole,
// Backspace deletes the last character and Return marks the text entered.
// The input method composes at the cursor (the window's composition point).
#pragma once

#include <memory>

#include "platform/types.h"

class CNameList;
class ITextLinePrinter;

namespace platform {
class Window;
}

class CTextInputBox {
 public:
  static constexpr int kStyleCount = 3;
  static constexpr int kInitialCapacity = 256;
  // A maximum above this many bytes is refused (no name or comment needs it).
  static constexpr int kMaxCapacity = 0x10000;

  // Neither is owned; either may be null (nothing drawn / no input method).
  CTextInputBox(platform::Window* window, ITextLinePrinter* printer);
  ~CTextInputBox();
  CTextInputBox(const CTextInputBox&) = delete;
  CTextInputBox& operator=(const CTextInputBox&) = delete;

  void SetSetupList(CNameList* list) { setupList_ = list; }
  // Reads "<prefix>Max" (characters), colours, cursor and blink keys, font
  // size and spacing into the style, then selects it.
  void LoadStyle(const char* prefix, int style);
  void SetStyle(int style);
  int GetStyle() const { return style_; }

  // Setters: style 0..2, or -1 for all three.
  void SetPrintXY(int x, int y, int style = -1);
  void SetFontSize(int size, int style = -1);
  void SetSpacing(int spacing, int style = -1);
  // Bytes; below 0 counts as 0. A larger buffer than the current one
  // replaces the text (it starts empty); 0 when it cannot be made (nothing
  // changes then).
  int SetMaxBytes(int maxBytes, int style = -1);
  void SetAlignMode(int mode, int style = -1);
  void SetCursorMode(int mode, int style = -1);
  void SetBlink(int onFrames, int offFrames = -1, int style = -1);  // off -1 = on
  void SetTextColor(int r, int g = -1, int b = -1, int style = -1);
  void SetCursorOffset(int x, int y, int style = -1);
  void SetCursorSize(int w, int h, int style = -1);
  void SetCursorColor(int r, int g = -1, int b = -1, int a = 255, int style = -1);

  // The game's "imeAutoOpenFlag" and "imeAutoCloseFlag".
  void SetImeFlags(int autoOpen, int autoClose) {
    imeAutoOpen_ = autoOpen;
    imeAutoClose_ = autoClose;
  }

  // Begins input and turns text input on.
  void Start();
  // Ends input and turns text input off.
  void Stop();
  // Turns text input off when "imeAutoCloseFlag" is set.
  void CloseIme();
  void PutChar(int byte);
  void Clear();
  void SetText(const char* text, int refresh = 1);
  const char* GetText() const { return text_.get(); }
  int GetEnteredFlag() const { return entered_; }
  // Return taken: the screen acted on it (the text stays).
  void ClearEnteredFlag() { entered_ = 0; }
  int GetChangedFlag() const { return changed_; }
  int IsActive() const { return active_; }
  int GetCapacity() const { return capacity_; }
  int GetMaxBytes(int style) const;

  // The position where a text of the current style's pitch starts in a field
  // of fieldChars characters at (x, y): align 1 centres, 2 right-aligns.
  platform::Point GetAlignedPrintXY(int x, int y, const char* text, int fieldChars,
                                    int alignMode) const;
  platform::Point GetCursorXY() const;
  // Draws the text and the blinking cursor.
  void Print();
  void Release();

 private:
  struct Style {
    platform::Point printPos;
    int fontSize = 24;
    int spacing = 1;
    int maxBytes = 8;
    int cursorMode = 1;
    int cursorColor[4] = {255, 255, 255, 255};
    int textColor[4] = {255, 255, 255, 255};
    int blinkOn = 15, blinkOff = 15, blinkPeriod = 30;
    platform::Point cursorOffset;
    int cursorW = 3, cursorH = 24;
    int alignMode = 0;
  };
  template <typename F>
  void ForStyles(int style, F f);
  const Style& Current() const { return styles_[style_]; }
  int Pitch() const;
  int Length() const;
  void AppendPair(unsigned char lead, unsigned char trail);
  void DeleteLast();
  void FollowCursor();

  platform::Window* window_;
  ITextLinePrinter* printer_;
  Style styles_[kStyleCount];
  int active_ = 0;
  int compositionSaved_ = 0;
  platform::Point savedComposition_;
  int changed_ = 0;
  int pendingLead_ = 0, hasPendingLead_ = 0;
  int entered_ = 0;
  int capacity_ = kInitialCapacity;
  std::unique_ptr<char[]> text_;
  int blinkCounter_ = 0;
  int style_ = 0;
  CNameList* setupList_ = nullptr;
  int imeAutoOpen_ = 0, imeAutoClose_ = 0;
};
