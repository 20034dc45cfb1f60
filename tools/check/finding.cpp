#include "tools/check/finding.h"

namespace gamecheck {

std::string FormatFinding(const Finding& finding) {
  std::string out = finding.file;
  if (finding.line > 0) out += ":" + std::to_string(finding.line);
  out += finding.severity == Severity::kError ? ": error: " : ": warning: ";
  out += finding.text;
  return out;
}

bool HasError(const Findings& findings) {
  for (const Finding& f : findings) {
    if (f.severity == Severity::kError) return true;
  }
  return false;
}

}  // namespace gamecheck
