// Test text helpers: game text is CP932, test sources are UTF-8.
#pragma once

#include <string>

#include "platform/codec.h"

namespace testsupport {

// CP932 bytes of a UTF-8 literal: Sjis("ファイルがありません").
inline std::string Sjis(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }
// UTF-8 of CP932 bytes, for readable failure messages.
inline std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

}  // namespace testsupport
