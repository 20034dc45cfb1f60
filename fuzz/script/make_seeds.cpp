// Assembles the seed texts into fuzz inputs: the script words as the engine
// holds them after loading (the targets apply the file's XOR themselves).
//   script_fuzz_seeds OUTDIR IN.txt...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/asm/assembler.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const zasm::Assembly assembly = zasm::Assemble(text);
    if (!assembly.ok()) {
      std::fprintf(stderr, "%s: %s", argv[i], assembly.ErrorText().c_str());
      return 1;
    }
    std::string bytes;
    for (uint32_t w : assembly.words) {
      for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((w >> (8 * k)) & 0xFF));
    }
    std::ofstream file(out / (std::filesystem::path(argv[i]).stem().string() + ".bin"),
                       std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
