#include "platform/common/input_script.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

#include "platform/files.h"

namespace platform {

namespace {

bool ToInt(const std::string& s, int* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (*end != 0) return false;
  *out = static_cast<int>(std::clamp<long>(v, INT32_MIN, INT32_MAX));
  return true;
}

// Reads one event's arguments; false when they do not fit the event.
bool ReadEvent(const std::string& kind, const std::vector<std::string>& a, InputEvent* e) {
  using Kind = InputEvent::Kind;
  if (kind == "key") {
    e->kind = Kind::kKey;
    if (a.size() != 2 || !ToInt(a[0], &e->a)) return false;
    e->down = a[1] != "up";
    e->alt = a[1] == "altdown";
    return a[1] == "down" || a[1] == "up" || a[1] == "altdown";
  }
  if (kind == "text") {
    e->kind = Kind::kText;
    e->text = a.empty() ? "" : a[0];
    return a.size() == 1;
  }
  if (kind == "move") {
    e->kind = Kind::kMove;
    return a.size() == 2 && ToInt(a[0], &e->a) && ToInt(a[1], &e->b);
  }
  if (kind == "button") {
    e->kind = Kind::kButton;
    e->down = a.size() == 2 && a[1] == "down";
    return a.size() == 2 && ToInt(a[0], &e->a) && e->a >= 0 && e->a <= 2 &&
           (a[1] == "down" || a[1] == "up");
  }
  if (kind == "wheel") {
    e->kind = Kind::kWheel;
    return a.size() == 1 && ToInt(a[0], &e->a);
  }
  if (kind == "close") {
    e->kind = Kind::kClose;
    return a.empty();
  }
  if (kind == "screenshot") {
    e->kind = Kind::kScreenshot;
    if (a.size() != 1 || a[0].empty()) return false;
    // The run enters the game folder later: a relative name is the caller's.
    e->text = HostAbsolutePath(a[0]);
    return true;
  }
  return false;
}

}  // namespace

bool InputScript::Load(const std::string& hostPath, std::string* error) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open input script " + hostPath;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (!Parse(text.str(), error)) {
    if (error) *error = hostPath + ": " + *error;
    return false;
  }
  return true;
}

bool InputScript::Parse(const std::string& text, std::string* error) {
  std::vector<InputEvent> events;
  // Editors may put a UTF-8 byte-order mark in front of the first line.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::istringstream lines(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size())
                                                            : text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream words(line);
    InputEvent event;
    std::string kind;
    if (!(words >> event.frame) || event.frame < 0) {
      if (error) *error = "input script line " + std::to_string(number) + ": expected a frame number";
      return false;
    }
    std::vector<std::string> args;
    if (words >> kind) {
      if (kind == "text" || kind == "screenshot") {
        // The rest of the line, spaces and all.
        std::string rest;
        std::getline(words, rest);
        size_t start = rest.find_first_not_of(' ');
        args.push_back(start == std::string::npos ? "" : rest.substr(start));
      } else {
        std::string arg;
        while (words >> arg) args.push_back(arg);
      }
    }
    if (kind.empty() || !ReadEvent(kind, args, &event)) {
      if (error) {
        *error = "input script line " + std::to_string(number) +
                 (kind.empty() ? ": expected an event" : ": bad event \"" + line.substr(first) + "\"");
      }
      return false;
    }
    events.push_back(std::move(event));
  }
  // Events are delivered in frame order; lines of the same frame keep theirs.
  std::stable_sort(events.begin(), events.end(),
                   [](const InputEvent& x, const InputEvent& y) { return x.frame < y.frame; });
  events_ = std::move(events);
  next_ = 0;
  return true;
}

bool InputScript::Closes() const {
  return std::any_of(events_.begin(), events_.end(),
                     [](const InputEvent& e) { return e.kind == InputEvent::Kind::kClose; });
}

std::vector<InputEvent> InputScript::TakeDue(long long presented) {
  std::vector<InputEvent> due;
  while (next_ < events_.size() && events_[next_].frame <= presented) due.push_back(events_[next_++]);
  return due;
}

}  // namespace platform
