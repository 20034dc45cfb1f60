// A sheet of equal cells drawn from a readable description (see README.md).
#pragma once

#include <string>

#include "dwqwriter.h"

namespace sheettool {

// Draws the description's sheet; false with the line and the reason in
// `error` for a statement it cannot read.
bool DrawSheet(const std::string& description, dwqtool::Picture* out, std::string* error);

}  // namespace sheettool
