// zor-check GAME_DIR [--source SOURCE_DIR]: names every mistake found in a
// game folder; exit status 1 when any is an error.
#include <cstdio>
#include <cstring>

#include "tools/check/finding.h"
#include "tools/check/listcheck.h"
#include "tools/check/scriptcheck.h"

int main(int argc, char** argv) {
  gamecheck::CheckInput input;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc) {
      input.source = argv[++i];
    } else if (input.game.empty() && argv[i][0] != '-') {
      input.game = argv[i];
    } else {
      std::fprintf(stderr, "usage: zor-check GAME_DIR [--source SOURCE_DIR]\n");
      return 2;
    }
  }
  if (input.game.empty()) {
    std::fprintf(stderr, "usage: zor-check GAME_DIR [--source SOURCE_DIR]\n");
    return 2;
  }
  gamecheck::Findings findings;
  gamecheck::CheckLists(input, findings);
  gamecheck::CheckScripts(input, findings);
  for (const gamecheck::Finding& f : findings) {
    std::fprintf(stderr, "%s\n", gamecheck::FormatFinding(f).c_str());
  }
  return gamecheck::HasError(findings) ? 1 : 0;
}
