// What makes a file a compiled script: checked by the loader before a
// script runs and by the assembler's dump before it lists one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace script {

// Header lengths a compiled script may have (the header holds at least the
// constant table's word).
constexpr int kMinHeaderLength = 19;
constexpr int kMaxHeaderLength = 256;

// Why a file of this many bytes cannot be a compiled script: empty, or not a
// whole number of 4-byte words. Empty when it can be.
std::string CheckScriptSize(uint64_t bytes);

// Why the words of a file (the XOR undone) are not a compiled script: a
// header of kMinHeaderLength..kMaxHeaderLength words within the file,
// records that end with the end word inside the file, and tables inside the
// file. Empty when they are one.
std::string CheckScriptWords(const uint32_t* words, size_t count);

}  // namespace script
