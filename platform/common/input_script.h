// The input script that drives a run (--input FILE): one event a line,
// "<frame> <event> <args>", where frame is the number of frames presented
// before the event is delivered. Events:
//   key <vk> down|up|altdown | text <utf8> | move <x> <y>
//   | button <0-2> down|up | wheel <delta> | close | screenshot <file>
// Blank lines and lines starting with '#' are ignored, and so is a UTF-8
// byte-order mark at the start. Both backends read it through this class:
// the headless one posts the events as window messages, the SDL one pushes
// them into SDL's event queue.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct InputEvent {
  enum class Kind { kKey, kText, kMove, kButton, kWheel, kClose, kScreenshot };
  long long frame = 0;
  Kind kind = Kind::kClose;
  int a = 0, b = 0;   // key: vk; move: x, y; button: 0 left, 1 right, 2 middle; wheel: delta
  bool down = false;  // key and button
  bool alt = false;   // key: held with Alt
  std::string text;   // text: UTF-8; screenshot: host path, made absolute when read
};

class InputScript {
 public:
  // False with a message naming the file (or the line) when it cannot be
  // read; the script loaded before stays then.
  bool Load(const std::string& hostPath, std::string* error);
  bool Parse(const std::string& text, std::string* error);

  // The script closes the window at some frame.
  bool Closes() const;
  bool Empty() const { return events_.empty(); }
  // The events due once `presented` frames have been presented, each once,
  // in frame order (lines of the same frame in their order).
  std::vector<InputEvent> TakeDue(long long presented);

 private:
  std::vector<InputEvent> events_;
  size_t next_ = 0;
};

}  // namespace platform
