// zor-sheet DESCRIPTION.txt OUT.dwq: draws a sheet of cells from its
// description (tools/sheet/README.md) into a picture file with a mask.
#include <cstdio>
#include <string>
#include <vector>

#include "sheet.h"
#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zor-sheet DESCRIPTION.txt OUT.dwq\n");
    return 2;
  }
  std::string text, error;
  if (!toolsupport::ReadHostFile(argv[1], &text)) {
    std::fprintf(stderr, "zor-sheet: cannot read %s\n", argv[1]);
    return 1;
  }
  dwqtool::Picture picture;
  if (!sheettool::DrawSheet(text, &picture, &error)) {
    std::fprintf(stderr, "zor-sheet: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> file;
  if (!dwqtool::MakeDwq(picture, options, &file, &error)) {
    std::fprintf(stderr, "zor-sheet: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  // What the game cannot load is not written.
  const std::string limit = dwqtool::LoaderLimitProblem(file);
  if (!limit.empty()) {
    std::fprintf(stderr, "zor-sheet: %s: %s\n", argv[1], limit.c_str());
    return 1;
  }
  if (!toolsupport::WriteHostFile(argv[2], file.data(), file.size())) {
    std::fprintf(stderr, "zor-sheet: %s: %s\n", argv[2], error.empty() ? "cannot write" : error.c_str());
    return 1;
  }
  return 0;
}
