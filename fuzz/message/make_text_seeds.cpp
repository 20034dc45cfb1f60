// Writes the seed corpus of fuzz_textlayout: texts with every kind of '#'
// code, readings, emphasis runs, dashes, cut characters and long lines.
#include <cstdio>
#include <string>

#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_textlayout_seeds DIR\n");
    return 2;
  }
  std::string dashes;
  for (int i = 0; i < 140; ++i) dashes += "\x81\x5C";
  const std::string seeds[] = {
      "ABC\n\x82\xA0\x82\xA2",
      "#\x90\xA9#\x96\xBC#\x89\xD4#\x82\x4F#\x82\x58\n#L#F",
      "\x82\xA0#\x90\xD4\x82\xA2#\x8D\x95\x82\xA4#\x89\xFC\x82\xA6",
      "\x8A\xBF\x8E\x9A#\x81\x6D"
      "2\x82\xA9\x82\xF1\x82\xB6\x81\x6E#\x8B\xAD\x81\x45\x81\x6E",
      "\x81\x63\x81\x5C\x81\x5C\x81\x5C#\x90\x53#\x8A\xBF\x80\x05\xFF",
      dashes,
      "\x82\xA0#",
      "#\x81\x6D\x82\x50\x82\xA9\r\n\x82\xA0",
  };
  int n = 0;
  for (const std::string& s : seeds) {
    const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++) + ".txt";
    if (!toolsupport::WriteHostFile(path, s.data(), s.size())) return 1;
  }
  return 0;
}
