// What zor-build makes from a source folder: one step for each source file
// (the tool it runs and the game file it writes), the packs asked for in
// the options file, and every problem found on the way. Reading the source
// folder runs nothing, so the plan can be checked whole before any tool is
// started.
#pragma once

#include <string>
#include <vector>

namespace gamebuild {

// The optional options file at the top of a source folder.
inline constexpr const char* kOptionsFile = "zor-build.txt";

// One conversion: run the sibling tool `tool` with `args`, where the word
// "{in}" stands for the source file and "{out}" for the game file. An empty
// tool copies the file as it is.
struct Step {
  std::string source;    // relative to the source folder, '/' separated
  std::string output;    // relative to the game folder
  std::string tool;      // "zor-picture", "zor-sound", ... or "" to copy
  std::vector<std::string> args;
};

// "pack dwq/bg bg0": the folder's pictures go into dwq/bg0.gtb/.gpk;
// "pack cdvaw/yu": the folder's voices go into cdvaw/yu.vpk/.vtb. The single
// files are left out of the game folder.
struct Pack {
  std::string folder;    // relative to the game folder
  std::string volume;    // game-relative path of the .gtb or .vpk
  bool voices = false;
  int line = 0;
};

struct Plan {
  std::vector<Step> steps;
  std::vector<Pack> packs;
  bool ship_own_sysfile = false;   // the source holds sav/sysfile.org
  std::vector<std::string> errors;    // "FILE: problem" or "FILE:LINE: problem"
  std::vector<std::string> warnings;  // "FILE: warning: ..."; the build goes on
};

// Walks source_dir (sorted, so the plan is the same on every machine) and
// reads its options file.
Plan MakePlan(const std::string& source_dir);

// True for a name the game writes into its save folder for the player: a
// save slot or the system file (".sav"), the flow chart's marks (".dat"),
// the lock (".lock"), a damaged file kept aside (".bad", ".bad.N"). Letter
// case does not count. A game never ships such a file, and a build never
// deletes one.
bool IsPlayersSaveName(const std::string& name);

// The tools a plan needs, each once.
std::vector<std::string> ToolsNeeded(const Plan& plan);

}  // namespace gamebuild
