// zor-pack IN_DIR OUT.gtb
//   Packs the picture files (*.dwq) of a folder into one pack volume: the
//   index OUT.gtb and the data file OUT.gpk beside it. See README.md.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/packformat.h"
#include "packwriter.h"
#include "platform/codec.h"
#include "tools/common/names.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zor-pack IN_DIR OUT.gtb\n"
               "  Packs every picture file (*.dwq) of IN_DIR into the index OUT.gtb and\n"
               "  the data file OUT.gpk. The game reads dwq/<prefix><n>.gtb, with the\n"
               "  prefix ta, bg, ev, sc, sm or sys and n the volume number.\n");
  return 2;
}


// The game only opens volumes named after a prefix and a number.
bool GameVolumeName(const std::string& stem) {
  for (const char* prefix : dwqpack::kPrefixes) {
    const std::string p = prefix;
    if (p.empty() || stem.size() <= p.size() || toolsupport::AsciiLower(stem.substr(0, p.size())) != p) continue;
    const std::string number = stem.substr(p.size());
    if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const fs::path in = argv[1];
  const fs::path out = argv[2];
  std::error_code ec;
  if (!fs::is_directory(in, ec)) {
    std::fprintf(stderr, "zor-pack: %s is not a folder\n", in.c_str());
    return 1;
  }
  if (toolsupport::AsciiLower(out.extension().string()) != ".gtb") {
    std::fprintf(stderr, "zor-pack: the index must be named *.gtb\n");
    return 2;
  }
  if (!GameVolumeName(out.stem().string()))
    std::fprintf(stderr,
                 "zor-pack: warning: the game does not read %s; volumes are named after a prefix "
                 "(ta, bg, ev, sc, sm, sys) and a volume number\n",
                 out.filename().c_str());

  std::vector<fs::path> files;
  for (const fs::directory_entry& item : fs::directory_iterator(in, ec))
    if (item.is_regular_file() && toolsupport::AsciiLower(item.path().extension().string()) == ".dwq")
      files.push_back(item.path());
  if (ec) {
    std::fprintf(stderr, "zor-pack: cannot read the folder %s\n", in.c_str());
    return 1;
  }
  if (files.empty()) {
    std::fprintf(stderr, "zor-pack: no picture files (*.dwq) in %s\n", in.c_str());
    return 1;
  }
  std::sort(files.begin(), files.end());

  std::vector<packtool::Entry> entries;
  for (const fs::path& file : files) {
    const std::string stem = file.stem().string();
    packtool::Entry entry;
    entry.name = platform::Utf8ToCp932(stem);
    if (entry.name.size() != platform::Utf8ToCp932(stem, true).size()) {
      std::fprintf(stderr, "zor-pack: %s: the name has characters the game cannot spell\n",
                   file.c_str());
      return 1;
    }
    std::ifstream stream(file, std::ios::binary);
    entry.data.assign(std::istreambuf_iterator<char>(stream), {});
    if (!stream.good() && !stream.eof()) {
      std::fprintf(stderr, "zor-pack: cannot read %s\n", file.c_str());
      return 1;
    }
    if (entry.data.size() < 64) {
      std::fprintf(stderr, "zor-pack: %s is not a picture file (shorter than its header)\n",
                   file.c_str());
      return 1;
    }
    entries.push_back(std::move(entry));
  }

  std::vector<uint8_t> index, data;
  std::string error;
  if (!packtool::MakeVolume(entries, &index, &data, &error)) {
    std::fprintf(stderr, "zor-pack: %s\n", error.c_str());
    return 1;
  }
  fs::path dataPath = out;
  dataPath.replace_extension(".gpk");
  if (!packtool::WriteBytes(dataPath.string(), data) ||
      !packtool::WriteBytes(out.string(), index)) {
    std::fprintf(stderr, "zor-pack: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("zor-pack: %zu pictures, %zu bytes: %s, %s\n", entries.size(), data.size(),
              out.c_str(), dataPath.c_str());
  return 0;
}
