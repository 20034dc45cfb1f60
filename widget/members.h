// What every button container does with its members.
#pragma once

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "widget/buttoncode.h"

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

}  // namespace widget
