// zor-check GAME_DIR [--source SOURCE_DIR]: names every mistake found in a
// game folder; exit status 1 when any is an error.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/check/filecheck.h"
#include "tools/check/finding.h"
#include "tools/check/listcheck.h"
#include "tools/check/scriptcheck.h"
#include "tools/common/names.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: zor-check GAME_DIR [--source SOURCE_DIR]\n");
  return 2;
}

// A game folder holds its settings lists (init/, or init2/) and the list of
// its scripts (spt/project.xtx). Names are matched without regard to case,
// as the game matches them.
bool HasEntry(const std::filesystem::path& folder, const char* name, bool wantFolder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string found = toolsupport::AsciiLower(entry.path().filename().string());
    if (found == name && entry.is_directory(error) == wantFolder) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  gamecheck::CheckInput input;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc && input.source.empty()) {
      input.source = argv[++i];
    } else if (input.game.empty() && argv[i][0] != '-') {
      input.game = argv[i];
    } else {
      return Usage();
    }
  }
  if (input.game.empty()) return Usage();

  const std::string game = input.game.string();
  std::error_code error;
  if (!std::filesystem::is_directory(input.game, error)) {
    std::fprintf(stderr, "%s: error: no such folder\n", game.c_str());
    return 1;
  }
  const bool hasInit = HasEntry(input.game, "init", true) || HasEntry(input.game, "init2", true);
  const bool hasProject = HasEntry(input.game / "spt", "project.xtx", false);
  if (!hasInit || !hasProject) {
    std::fprintf(stderr, "%s: error: not a game folder: it has no %s (a game folder holds init/ and spt/project.xtx)\n",
                 game.c_str(), !hasInit ? "init/ folder" : "spt/project.xtx");
    return 1;
  }
  if (!input.source.empty() && !std::filesystem::is_directory(input.source, error)) {
    std::fprintf(stderr, "%s: error: no such folder (the sources given with --source)\n",
                 input.source.string().c_str());
    return 1;
  }

  gamecheck::Findings findings;
  gamecheck::CheckLists(input, findings);
  gamecheck::CheckFiles(input, findings);
  gamecheck::CheckScripts(input, findings);
  for (const gamecheck::Finding& f : findings) {
    std::fprintf(stderr, "%s\n", gamecheck::FormatFinding(f).c_str());
  }
  return gamecheck::HasError(findings) ? 1 : 0;
}
