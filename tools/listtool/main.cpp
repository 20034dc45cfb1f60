// zor-list [--invert] IN.txt OUT
//   Writes the UTF-8 text IN.txt as a CP932 list file; with --invert every
//   byte is complemented (the .fxf form). A token longer than the game reads
//   is refused with its line.
// zor-list --dump [--invert] FILE
//   Prints the tokens the engine reads from FILE, one a line, as
//   "slot<TAB>token" in UTF-8.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "tools/common/hostfile.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zor-list [--invert] IN.txt OUT\n"
               "       zor-list --dump [--invert] FILE\n");
  return 2;
}

// True (after saying so) when the file at `path` is larger than the game
// takes a list: neither a list nor its source text may be.
bool TooLarge(const std::string& path) {
  const std::string over = toolsupport::OverGameLimit(path, CNameList::kMaxFileBytes, "a list");
  if (over.empty()) return false;
  std::fprintf(stderr, "zor-list: %s; nothing is read\n", over.c_str());
  return true;
}

int Write(const std::string& inPath, const std::string& outPath, bool invert) {
  if (TooLarge(inPath)) return 1;
  std::string text;
  if (!toolsupport::ReadHostFile(inPath, &text)) {
    std::fprintf(stderr, "zor-list: cannot read %s\n", inPath.c_str());
    return 1;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

  // Line by line, so that a character CP932 lacks can be named by its line.
  std::string list;
  size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    const std::string converted = platform::Utf8ToCp932(line);
    if (converted.size() != platform::Utf8ToCp932(line, true).size()) {
      std::fprintf(stderr, "zor-list: %s:%d: text that CP932 cannot hold (or is not UTF-8)\n",
                   inPath.c_str(), number);
      return 1;
    }
    // The game reads tokens of at most 127 bytes and ends the list before a
    // longer one.
    size_t token = 0;
    for (size_t i = 0; i <= converted.size(); ++i) {
      if (i < converted.size() && !CNameList::EndsToken(static_cast<unsigned char>(converted[i]))) {
        ++token;
        continue;
      }
      if (token > static_cast<size_t>(CNameList::kMaxToken)) {
        std::fprintf(stderr, "zor-list: %s:%d: a token of %zu bytes; the game reads at most %d\n",
                     inPath.c_str(), number, token, CNameList::kMaxToken);
        return 1;
      }
      token = 0;
    }
    list += converted;
    start = end;
  }
  if (static_cast<long long>(list.size()) > CNameList::kMaxFileBytes) {
    std::fprintf(stderr, "zor-list: %s: the list would be %zu bytes, over the %lld bytes the game takes for a list\n",
                 inPath.c_str(), list.size(), CNameList::kMaxFileBytes);
    return 1;
  }
  if (invert) {
    for (char& c : list) c = static_cast<char>(~static_cast<unsigned char>(c));
  }

  if (!toolsupport::WriteHostFile(outPath, list.data(), list.size())) {
    std::fprintf(stderr, "zor-list: cannot write %s\n", outPath.c_str());
    return 1;
  }
  return 0;
}

int Dump(const std::string& path, bool invert) {
  if (TooLarge(path)) return 1;
  // The engine's reader wants a host; its boxes go to stderr.
  platform::InstallHeadless();
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  const std::string enginePath = platform::Utf8ToCp932(absolute);
  if (error || enginePath.size() != platform::Utf8ToCp932(absolute, true).size()) {
    std::fprintf(stderr, "zor-list: cannot use the path %s\n", path.c_str());
    return 1;
  }
  CNameList list;
  if (!list.Load(enginePath.c_str(), invert, false)) return 1;
  for (int i = 0; i < list.GetCount(); ++i) {
    std::printf("%d\t%s\n", i, platform::Cp932ToUtf8(list.GetName(i)).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool dump = false;
  bool invert = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dump") {
      dump = true;
    } else if (arg == "--invert") {
      invert = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage();
    } else {
      files.push_back(arg);
    }
  }
  if (dump) return files.size() == 1 ? Dump(files[0], invert) : Usage();
  return files.size() == 2 ? Write(files[0], files[1], invert) : Usage();
}
