// Writes the seeds of fuzz_shattermesh: a valid mesh file on a 64 x 48
// screen and the same file with each kind of fault.
// Usage: make_mesh_seeds DIR
#include <string>

#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  // Screen 64 x 48 (63 % 96 + 1, 47 % 72 + 1), offset, shape 1 (quads),
  // density 1, jitter 2; then the text.
  const std::string head = std::string("\x3f\x2f\x40\x02\x01\x03", 6);
  const std::string vertices = "0 4  0 0  0 47  63 47  63 0 ";
  const struct {
    const char* name;
    std::string text;
  } seeds[] = {
      {"valid", vertices + "2  3 0 1 2  3 0 2 3"},
      {"v-too-large", "0 400000 0 0 0 47 63 47 63 0 2 3 0 1 2 3 0 2 3"},
      {"vertex-off-screen", "0 4 0 0 0 48 63 47 63 0 2 3 0 1 2 3 0 2 3"},
      {"n-2", vertices + "2  2 0 1  3 0 2 3"},
      {"n-16", vertices + "1  16 0 1 2 3 0 1 2 3 0 1 2 3 0 1 2 3"},
      {"index-v", vertices + "2  3 0 1 4  3 0 2 3"},
      {"p-minus-1", vertices + "3  3 0 1 2  3 0 2 3"},
      {"p-plus-1", vertices + "1  3 0 1 2  3 0 2 3"},
      {"non-numeric", vertices + "2  3 0 one 2  3 0 2 3"},
      {"clockwise", vertices + "2  3 0 2 1  4 3 2 1 0"},
  };
  for (const auto& seed : seeds) {
    const std::string bytes = head + seed.text;
    if (!toolsupport::WriteHostFile(std::string(argv[1]) + "/" + seed.name, bytes.data(), bytes.size()))
      return 1;
  }
  return 0;
}
