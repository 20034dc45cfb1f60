// Test text helpers: game text is CP932, test sources are UTF-8.
#pragma once

#include <string>

#include "platform/codec.h"

namespace testsupport {

// CP932 bytes of a UTF-8 literal: Sjis("ファイルがありません").
inline std::string Sjis(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }
// UTF-8 of CP932 bytes, for readable failure messages.
inline std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// prefix followed by n in decimal: Numbered("v", 12) is "v12". It appends
// instead of writing "v" + std::to_string(n), whose inlined insert GCC 12
// reports at -O3 as an overlapping copy (-Wrestrict) that cannot happen.
inline std::string Numbered(std::string prefix, long long n) {
  prefix += std::to_string(n);
  return prefix;
}

}  // namespace testsupport
