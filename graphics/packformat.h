// Layout of pack volumes: picture files shipped together in a data file
// "dwq\\<prefix><n>.gpk" with its index "dwq\\<prefix><n>.gtb". Shared by
// the loader and the pack tool; integers are little-endian, signed 32-bit.
//
// Index: count, then count name offsets (into the names area, in ascending
// byte order of the names), then count data offsets (where each entry's
// picture file starts in the data file, same order), then the names area of
// NUL-terminated names. An entry runs to the next entry's offset; the last
// one to the end of the data file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/codec.h"

namespace dwqpack {

constexpr int kPrefixCount = 10;
// The longest key a lookup compares; longer names are cut.
constexpr size_t kMaxKey = 254;

// The volume prefixes by entry; empty entries serve no name. Entries 3 and 4
// serve names beginning with "sys\\" and their prefix, the others names
// beginning with the prefix itself (both without regard to ASCII case).
constexpr const char* kPrefixes[kPrefixCount] = {"ta",  "bg", "ev", "sc", "sm",
                                                 "sys", "",   "",   "",   ""};
inline bool PrefixInSys(int entry) { return entry == 3 || entry == 4; }

// A CP932 lead byte starts a two-byte character, which the name rules pass
// over whole (so its second byte is never a backslash or a letter).
// Half-width katakana (0xA1-0xDF) are single bytes. Volumes written before
// this rule took every byte from 0x80 for a lead byte; olderRule gives the
// key they listed, so such volumes still read.
inline bool StartsDoubleByte(unsigned char b, bool olderRule = false) {
  return olderRule ? (b & 0x80) != 0 : platform::IsCp932LeadByte(b);
}

// The key a picture name is listed under: the part after its last
// backslash, cut to kMaxKey bytes, with ASCII capitals made small.
inline std::string Key(std::string_view name, bool olderRule = false) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    if (StartsDoubleByte(b, olderRule)) {
      ++i;
    } else if (b == '\\') {
      start = i + 1;
    }
  }
  std::string key(name.substr(std::min(start, name.size()), kMaxKey));
  for (size_t i = 0; i < key.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(key[i]);
    if (StartsDoubleByte(b, olderRule)) {
      ++i;
    } else if (b >= 'A' && b <= 'Z') {
      key[i] = static_cast<char>(b - 'A' + 'a');
    }
  }
  return key;
}

}  // namespace dwqpack
