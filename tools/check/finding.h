// What the game-folder checks report: one finding a mistake, with the file
// (and line where it is known) it was found in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gamecheck {

enum class Severity { kError, kWarning };

struct Finding {
  Severity severity = Severity::kError;
  std::string file;  // the source file where known, else the game file
  int line = 0;      // 1-based; 0 when no line is known
  std::string text;
};

using Findings = std::vector<Finding>;

// Where the checks look: the game folder, and the author's source folder
// when one is known (then findings name source files and lines).
struct CheckInput {
  std::filesystem::path game;
  std::filesystem::path source;  // empty when unknown
};

// "FILE:LINE: error: TEXT" (or "FILE: warning: TEXT" without a line).
std::string FormatFinding(const Finding& finding);

bool HasError(const Findings& findings);

}  // namespace gamecheck
