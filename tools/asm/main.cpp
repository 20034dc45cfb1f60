// zor-asm IN.txt OUT.spt
//   Assembles a script text (UTF-8) into a compiled script file.
// zor-asm --dump FILE.spt
//   Lists the header, records and tables of a compiled script.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/asm/assembler.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zor-asm IN.txt OUT.spt\n"
               "       zor-asm --dump FILE.spt\n");
  return 2;
}

bool ReadFile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string first = argv[1];
  std::string input;
  if (first == "--dump") {
    if (!ReadFile(argv[2], &input)) {
      std::fprintf(stderr, "zor-asm: cannot read %s\n", argv[2]);
      return 1;
    }
    std::fputs(zasm::Disassemble(zasm::DecodeFile(input)).c_str(), stdout);
    return 0;
  }
  if (!ReadFile(first, &input)) {
    std::fprintf(stderr, "zor-asm: cannot read %s\n", first.c_str());
    return 1;
  }
  const zasm::Assembly assembly = zasm::Assemble(input);
  if (!assembly.ok()) {
    for (const std::string& e : assembly.errors) std::fprintf(stderr, "%s: %s\n", first.c_str(), e.c_str());
    return 1;
  }
  const std::string bytes = assembly.FileBytes();
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "zor-asm: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
