// What every button container does with its members.
#pragma once

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "widget/buttoncode.h"
#include "widget/commonbutton.h"

class CInputStatus;

namespace widget {

// A member count a container can number: 0..128 (numbers have 7 bits).
inline int ClampMemberCount(int count) { return std::clamp(count, 0, buttoncode::kMaxNumber); }

// Room for a member's name: a button name (at most 254 bytes kept) with a
// number and a suffix.
constexpr int kMemberNameSize = 256 + 16;

// name (cut to 254 bytes), then n, then suffix: "button2", "r3Button".
inline void MemberName(char (&out)[kMemberNameSize], const char* name, int n, const char* suffix = "") {
  std::snprintf(out, sizeof out, "%.*s%d%s", 254, name, n, suffix);
}

// Member i, or null outside the container.
template <typename T>
T* MemberAt(const std::vector<std::unique_ptr<T>>& members, int i) {
  return i >= 0 && i < static_cast<int>(members.size()) ? members[i].get() : nullptr;
}

// Releases every member and empties the container.
template <typename T>
void ReleaseMembers(std::vector<std::unique_ptr<T>>* members) {
  for (auto& member : *members)
    if (member) member->Release();
  members->clear();
}

// The step of a container whose member `latched` holds a press: the other
// members idle and the latched one gets the input; its code. `at` (i)
// gives member i, null to skip it.
template <typename MemberAt>
int32_t LatchedStep(int count, int latched, const CInputStatus* input, MemberAt at) {
  int32_t code = buttoncode::kNothing;
  for (int i = 0; i < count; ++i) {
    CCommonButton* button = at(i);
    if (!button) continue;
    if (i == latched)
      code = button->Calcu(input);
    else
      button->Calcu(nullptr);
  }
  return code;
}

// One pass over the members of a container that holds no press: each gets
// the input in order until `onCode` (i, &code) answers that the container
// latched (it may rewrite the code); the members after it idle. The result
// is the last code other than -1, as `onCode` left it.
template <typename MemberAt, typename OnCode>
int32_t OpenStep(int count, const CInputStatus* input, MemberAt at, OnCode onCode) {
  int32_t result = buttoncode::kNothing;
  bool latched = false;
  for (int i = 0; i < count; ++i) {
    CCommonButton* button = at(i);
    if (!button) continue;
    if (latched) {
      button->Calcu(nullptr);
      continue;
    }
    int32_t code = button->Calcu(input);
    if (code == buttoncode::kNothing) continue;
    latched = onCode(i, &code);
    result = code;
  }
  return result;
}

}  // namespace widget
