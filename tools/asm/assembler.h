// The script assembler: a readable text (UTF-8) in, the words of a compiled
// script out. The syntax is described in tools/asm/README.md.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "script/scriptcheck.h"

namespace zasm {

// Header lengths the assembler writes and the dump accepts.
using script::kMaxHeaderLength;
using script::kMinHeaderLength;

struct LabelInfo {
  int number = -1;  // entry in the label table: what `call` and GotoLabel use
  int word = -1;    // word index of the first record after the label
};

struct Assembly {
  // The script as the engine holds it after loading (the XOR undone).
  std::vector<uint32_t> words;
  std::map<std::string, LabelInfo> labels;
  // The source line of each record, by the word the record starts at.
  std::map<int, int> recordLines;
  // "line N: message", in source order; empty when the text assembled.
  std::vector<std::string> errors;
  // "line N: message": what assembles but is likely wrong.
  std::vector<std::string> warnings;
  // The warnings about answer lines without `-> label` (and time limits
  // without `timeout -> label`) whose answer still reaches a label by its
  // number: the line and the message without "line N: ".
  struct LineNote {
    int line = 0;
    std::string text;
  };
  std::vector<LineNote> unlabelledAnswers;

  bool ok() const { return errors.empty(); }
  // The file: every word XORed with the key, little-endian.
  std::string FileBytes() const;
  int LabelWord(const std::string& name) const;
  int LabelNumber(const std::string& name) const;
  std::string ErrorText() const;
};

Assembly Assemble(std::string_view source);

std::string EncodeWords(const std::vector<uint32_t>& words);
// The words of a file with the XOR undone; a last incomplete word is dropped.
std::vector<uint32_t> DecodeFile(std::string_view bytes);
// Why the bytes are not a compiled script (empty when they are one): the
// engine loader's checks (script/scriptcheck.h).
std::string CheckScriptFile(std::string_view bytes);
// A listing of the header, the records and the tables, for debugging.
std::string Disassemble(const std::vector<uint32_t>& words);

// Text number i of the table whose place the header word tableWord gives
// (the message or the string table), CP932 up to its NUL; empty when the
// table or the text lies outside the words.
std::string TableText(const std::vector<uint32_t>& words, int tableWord, int64_t i);

}  // namespace zasm
