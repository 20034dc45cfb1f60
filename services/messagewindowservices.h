// CMessageWindowServices: the message window and the story's text: drawing
// and hit-testing the window, faces, the back log, the message cursor, the
// read marks and the skip and auto words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {
struct Point;
}  // namespace platform


class CMessageWindowServices {
 public:
  virtual void EndSkipFilm() = 0;
  virtual void SetSkipFilmFlag(int value) = 0;
  virtual void SetMessageModeFlag(int flag) = 0;
  virtual int GetShiftSkipState() = 0;
  virtual void SetShiftSkipState(int state) = 0;
  virtual void OnMessageClick() = 0;
  // A back-log line in the colour (r, g, b).
  virtual void AddBackLog(const char* text, int r, int g, int b) = 0;
  virtual void SetMessageReadFlag(int message, int script) = 0;
  virtual int CheckMessageReadFlag(int message, int script) = 0;
  // The colour of the back-log line linesBack before the next (1: the last).
  virtual void SetBackLogColor(int linesBack, int r, int g, int b) = 0;
  virtual int GetMessageModeFlag() = 0;
  // offset: moves the window from its place (null: none); position: its
  // top-left corner.
  virtual int PrintMessageWindow(int show, int showName, const platform::Point* offset) = 0;
  virtual int CheckMessageWindow(int show, int showName, const platform::Point& position) = 0;
  virtual int PrintMessageWindowIfShown(int show, int showName, const platform::Point* offset) = 0;
  virtual void OnMessageCursor(int a) = 0;
  virtual void SetMessageCursorKind(int kind) = 0;
  virtual void SetMessageCursor(int x, int y, int kind) = 0;
  virtual void ShowMessageWindow(int flag) = 0;
  virtual int GetAutoMessageCheckFlag() = 0;
  virtual int GetMessageSwitch() = 0;
  virtual int GetCannotSkipFlag() = 0;
  // Empties the back log down to its first message and bar line.
  virtual void ClearBackLog() = 0;
  virtual int GetWindowOffMouseButton() const = 0;
  virtual int IsBackLogDisabled() const = 0;
  // The message window's hit test of a point relative to its print
  // position; 0 without a message window.
  virtual int CheckMessageWindowHit(int x, int y) = 0;
  // Design numbers: the configuration's are kept in the system data, the
  // script's in the game; each is handed to its object (message window,
  // message cursor, game mouse).
  virtual void SetWindowNumberConfig(int n) = 0;
  virtual int GetWindowNumberConfig() const = 0;
  // The message words the print-message mode reads and writes.
  virtual void SetMessageWindowOn(int value) = 0;
  virtual int GetAutoModeFlag() const = 0;
  virtual int GetAutoModeType() const = 0;
  virtual int GetMessageSpeed() const = 0;
  virtual int GetMessageSkipFlag() const = 0;
  // (1, value) keeps "noVoiceIsDefaultWait"; always -1.
  virtual int SetMessageParam(int kind, int value) = 0;
  // Draws the speaker's face when n is "facePrintMode".
  virtual void ChangeFace(int n, const char* name) = 0;
  // The number of message-window designs; 1 without a message window.
  virtual int GetConfigHelperValue() = 0;

 protected:
  ~CMessageWindowServices() = default;
};
