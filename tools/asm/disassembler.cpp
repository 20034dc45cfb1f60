// A plain listing of a compiled script: header, records and the words after
// the end of the code. Meant for looking at what the assembler wrote.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/codec.h"
#include "script/commandtable.h"
#include "script/scriptcheck.h"
#include "tools/asm/assembler.h"

namespace zasm {

using namespace script;

namespace {

const char* ClassName(int32_t cls) {
  switch (cls) {
    case kClassSkipped: return "skipped";
    case kClassControl: return "control";
    case kClassSystemCall: return "syscall";
    case kClassFunction: return "func";
    case kClassExpression: return "expr";
    case kClassText: return "text";
    case kClassCommand: return "cmd";
    default: return "?";
  }
}

const char* CodeName(int32_t cls, int32_t code) {
  if (const CommandInfo* command = FindCommand(cls, code))
    return command->mnemonic ? command->mnemonic : "";
  if (cls == kClassControl) {
    switch (code) {
      case kBlockOpen: return "{";
      case kBlockClose: return "}";
      case kNop: return "nop";
      case kIf: return "if";
      case kIfOnly: return "if(only)";
      case kElsif: return "elsif";
      case kElse: return "else";
      case kCase: return "case";
      case kReturn: return "return";
      case kCall: return "call";
      case kGoto: return "goto";
      default: return "stop";
    }
  }
  return cls == kClassText ? "?" : "";
}

void Line(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Line(std::string* out, const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  *out += buffer;
}

// A choice record's question lines and answers, each answer with the label
// the game goes on at (number + the label base) and that label's word.
void ListChoice(std::string* out, const std::vector<uint32_t>& words, size_t pc, uint32_t len) {
  const size_t count = words.size();
  const uint32_t n = words[pc + 3];
  if (len < 5 || n > len - 5) return;
  // The short form ends with the key after the n texts; the full form has
  // m further texts, the key, R, Q, P and m.
  const bool full = len != n + 5;
  const uint32_t m = full ? words[pc + len - 1] : 0;
  if (full && uint64_t{n} + m + 9 > len) return;
  const uint32_t q = full ? words[pc + len - 3] : 0, p = full ? words[pc + len - 2] : 0;
  const uint32_t labels = count > kHeaderLabelCount ? words[kHeaderLabelCount] : 0;
  const uint32_t table = count > kHeaderLabelTable ? words[kHeaderLabelTable] : 0;
  const int32_t base = count > kHeaderLabelBase ? static_cast<int32_t>(words[kHeaderLabelBase]) : 0;
  auto target = [&](long long answer) {
    const long long label = answer + base;
    if (label < 0 || label >= labels || table + static_cast<size_t>(label) >= count)
      return std::string("no label (goes on after the choice)");
    return "label " + std::to_string(label) + " (word " + std::to_string(words[table + static_cast<size_t>(label)]) +
           ")";
  };
  for (uint32_t i = 0; i < n + m; ++i) {
    std::string text = TableText(words, kHeaderStringTable, words[pc + 4 + i]);
    if (i < m) {
      // The game drops the question line's first byte, its mark.
      if (!text.empty()) text.erase(0, 1);
      *out += "         question \"" + platform::Cp932ToUtf8(text) + "\"\n";
    } else {
      *out += "         answer " + std::to_string(i - m + 1) + " \"" + platform::Cp932ToUtf8(text) + "\" -> " +
              target(i - m + 1) + "\n";
    }
  }
  if (p != 0) {
    const uint32_t answer = q != 0 ? q : n + 1;
    *out += "         timeout: answer " + std::to_string(answer) + " -> " + target(answer) + "\n";
  }
}

}  // namespace

std::string CheckScriptFile(std::string_view bytes) {
  const std::string why = CheckScriptSize(bytes.size());
  if (!why.empty()) return why;
  const std::vector<uint32_t> words = DecodeFile(bytes);
  return CheckScriptWords(words.data(), words.size());
}

std::string TableText(const std::vector<uint32_t>& words, int tableWord, int64_t i) {
  if (tableWord < 0 || static_cast<size_t>(tableWord) >= words.size()) return {};
  const uint32_t table = words[static_cast<size_t>(tableWord)];
  if (i < 0 || table == 0 || table + static_cast<uint64_t>(i) >= words.size()) return {};
  std::string text;
  for (size_t w = words[table + static_cast<size_t>(i)]; w < words.size(); ++w)
    for (int k = 0; k < 4; ++k) {
      const char c = static_cast<char>(words[w] >> (8 * k) & 0xFF);
      if (c == 0) return text;
      text += c;
    }
  return text;
}

std::string Disassemble(const std::vector<uint32_t>& words) {
  std::string out;
  const size_t count = words.size();
  auto at = [&](size_t i) -> uint32_t { return i < count ? words[i] : 0; };
  if (count == 0) return "empty\n";
  const uint32_t header = at(0);
  Line(&out,
       "header %u words: messages@%u strings@%u labels %u@%u base %d constants@%u", header,
       at(kHeaderMessageTable), at(kHeaderStringTable), at(kHeaderLabelCount),
       at(kHeaderLabelTable), static_cast<int32_t>(at(kHeaderLabelBase)),
       at(kHeaderConstantTable));
  if (header >= static_cast<uint32_t>(kHeaderResumeLength)) {
    Line(&out, " callsites@%u syscalls@%u stops@%u", at(kHeaderCallSiteTable),
         at(kHeaderSystemCallEntries), at(kHeaderStopEntries));
  }
  out += "\n";
  size_t pc = header;
  while (pc < count) {
    const uint32_t len = words[pc];
    if (len == 0) {
      Line(&out, "%6zu: end\n", pc);
      ++pc;
      break;
    }
    if (len > count - pc) {
      Line(&out, "%6zu: bad length %u\n", pc, len);
      return out;
    }
    const int32_t cls = static_cast<int32_t>(at(pc + 1));
    const int32_t code = static_cast<int32_t>(at(pc + 2));
    Line(&out, "%6zu: %-7s %-11s %08X", pc, ClassName(cls), CodeName(cls, code),
         static_cast<uint32_t>(code));
    for (size_t k = 3; k < len; ++k) Line(&out, " %08X", words[pc + k]);
    out += "\n";
    if (cls == kClassText && code == kTextChoice) ListChoice(&out, words, pc, len);
    pc += len;
  }
  Line(&out, "%6zu: %zu words of tables and texts\n", pc, count - pc);
  return out;
}

}  // namespace zasm
