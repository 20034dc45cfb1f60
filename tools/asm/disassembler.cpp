// A plain listing of a compiled script: header, records and the words after
// the end of the code. Meant for looking at what the assembler wrote.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

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

}  // namespace

std::string CheckScriptFile(std::string_view bytes) {
  const std::string why = CheckScriptSize(bytes.size());
  if (!why.empty()) return why;
  const std::vector<uint32_t> words = DecodeFile(bytes);
  return CheckScriptWords(words.data(), words.size());
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
    pc += len;
  }
  Line(&out, "%6zu: %zu words of tables and texts\n", pc, count - pc);
  return out;
}

}  // namespace zasm
