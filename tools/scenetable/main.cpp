// zor-scene PROJECT.txt IN.txt OUT
//   Writes the scene gallery's table from the readable text IN.txt. Each
//   line is one of
//     chara NAME                 a character: the scenes below are its own
//     scene SCRIPT ITEM...       a scene of film script SCRIPT
//     marked SCRIPT ITEM...      a scene that counts for the hearts
//   and '#' starts a comment. SCRIPT is a script name of the project list
//   PROJECT.txt (its place there is the script's number). An item n names
//   the script's label n - 1, the first one the replay starts at, and its
//   film flag n - 1; a negative item does not count for "seen".
//   The table: little-endian 32-bit words, the size in bytes, the
//   character count, then per character its scene count and per scene the
//   script number (negative when marked), the item count and the items.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tools/common/hostfile.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line.substr(0, line.find('#')));
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// The project list's names in order (tokens between commas and line ends).
std::vector<std::string> ProjectNames(const std::string& text) {
  std::vector<std::string> names;
  std::string name;
  for (char c : text + "\n") {
    if (c == ',' || c == '\n' || c == '\r' || c == ' ' || c == '\t') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  return names;
}

bool ParseInt(const std::string& text, int32_t* out) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zor-scene PROJECT.txt IN.txt OUT\n");
    return 2;
  }
  std::string project, text;
  if (!toolsupport::ReadHostFile(argv[1], &project) || !toolsupport::ReadHostFile(argv[2], &text)) {
    std::fprintf(stderr, "zor-scene: cannot read %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  const std::vector<std::string> scripts = ProjectNames(project);
  struct Scene {
    int32_t script;
    std::vector<int32_t> items;
  };
  std::vector<std::vector<Scene>> charas;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    const auto fail = [&](const char* what) {
      std::fprintf(stderr, "zor-scene: %s:%d: %s\n", argv[2], number, what);
      return 1;
    };
    if (w[0] == "chara") {
      charas.emplace_back();
      continue;
    }
    if (w[0] != "scene" && w[0] != "marked") return fail("\"chara\", \"scene\" or \"marked\" expected");
    if (charas.empty()) return fail("a scene before the first \"chara\"");
    if (w.size() < 3) return fail("a script name and at least one item expected");
    int32_t script = -1;
    for (size_t i = 0; i < scripts.size(); ++i)
      if (scripts[i] == w[1]) script = static_cast<int32_t>(i);
    if (script < 1) return fail("the script is not in the project list (or is its first, which has no number)");
    Scene scene{w[0] == "marked" ? -script : script, {}};
    for (size_t i = 2; i < w.size(); ++i) {
      int32_t item = 0;
      if (!ParseInt(w[i], &item) || item == 0) return fail("an item is a number other than 0");
      scene.items.push_back(item);
    }
    charas.back().push_back(scene);
  }
  std::vector<int32_t> words = {0, static_cast<int32_t>(charas.size())};
  for (const auto& scenes : charas) {
    words.push_back(static_cast<int32_t>(scenes.size()));
    for (const Scene& s : scenes) {
      words.push_back(s.script);
      words.push_back(static_cast<int32_t>(s.items.size()));
      words.insert(words.end(), s.items.begin(), s.items.end());
    }
  }
  words[0] = static_cast<int32_t>(words.size() * 4);
  std::string bytes;
  for (int32_t v : words)
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(static_cast<uint32_t>(v) >> shift & 0xFF);
  if (!toolsupport::WriteHostFile(argv[3], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "zor-scene: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
