#include "tools/check/finding.h"

#include "platform/codec.h"

namespace gamecheck {

std::string FormatFinding(const Finding& finding) {
  std::string out = finding.file;
  if (finding.line > 0) {
    out += ':';
    out += std::to_string(finding.line);
  }
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

std::string Quoted(const std::string& cp932) {
  std::string out = "\"";
  out += platform::Cp932ToUtf8(cp932);
  out += '"';
  return out;
}

}  // namespace gamecheck
