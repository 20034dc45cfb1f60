// zor-asm IN.txt OUT.spt
//   Assembles a script text (UTF-8) into a compiled script file.
// zor-asm --dump FILE.spt
//   Lists the header, records and tables of a compiled script.
#include <cstdio>
#include <string>

#include "script/script.h"
#include "tools/asm/assembler.h"
#include "tools/common/hostfile.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zor-asm IN.txt OUT.spt\n"
               "       zor-asm --dump FILE.spt\n");
  return 2;
}

}  // namespace

// True (after saying so) when the file at `path` is larger than the game
// takes a script: neither a compiled script nor its source may be.
bool TooLarge(const std::string& path) {
  const std::string over = toolsupport::OverGameLimit(path, CScript::kMaxFileBytes, "a script");
  if (over.empty()) return false;
  std::fprintf(stderr, "zor-asm: %s; nothing is read\n", over.c_str());
  return true;
}

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string first = argv[1];
  std::string input;
  if (TooLarge(first == "--dump" ? argv[2] : first)) return 1;
  if (first == "--dump") {
    if (!toolsupport::ReadHostFile(argv[2], &input)) {
      std::fprintf(stderr, "zor-asm: cannot read %s\n", argv[2]);
      return 1;
    }
    const std::string why = zasm::CheckScriptFile(input);
    if (!why.empty()) {
      std::fprintf(stderr, "zor-asm: %s is not a compiled script: %s\n", argv[2], why.c_str());
      return 1;
    }
    std::fputs(zasm::Disassemble(zasm::DecodeFile(input)).c_str(), stdout);
    return 0;
  }
  if (!toolsupport::ReadHostFile(first, &input)) {
    std::fprintf(stderr, "zor-asm: cannot read %s\n", first.c_str());
    return 1;
  }
  const zasm::Assembly assembly = zasm::Assemble(input);
  for (const std::string& w : assembly.warnings)
    std::fprintf(stderr, "%s: warning: %s\n", first.c_str(), w.c_str());
  if (!assembly.ok()) {
    for (const std::string& e : assembly.errors) std::fprintf(stderr, "%s: %s\n", first.c_str(), e.c_str());
    return 1;
  }
  const std::string bytes = assembly.FileBytes();
  if (static_cast<long long>(bytes.size()) > CScript::kMaxFileBytes) {
    std::fprintf(stderr, "zor-asm: %s: the script would be %zu bytes, over the %lld bytes the game takes for a script\n",
                 first.c_str(), bytes.size(), CScript::kMaxFileBytes);
    return 1;
  }
  if (!toolsupport::WriteHostFile(argv[2], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "zor-asm: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
