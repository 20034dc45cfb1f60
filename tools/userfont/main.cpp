// zor-userfont IN.txt OUT.mft
//   Writes a user bitmap font from a text of glyph grids (see mftwriter.h).
#include <cstdio>
#include <string>

#include "mftwriter.h"
#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zor-userfont IN.txt OUT.mft\n");
    return 2;
  }
  std::string text, error;
  if (!toolsupport::ReadHostFile(argv[1], &text)) {
    std::fprintf(stderr, "zor-userfont: cannot read %s\n", argv[1]);
    return 1;
  }
  mfttool::Font font;
  if (!mfttool::ParseFontText(text, &font, &error)) {
    std::fprintf(stderr, "zor-userfont: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes = mfttool::MakeMft(font);
  if (!toolsupport::WriteHostFile(argv[2], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "zor-userfont: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
