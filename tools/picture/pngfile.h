// Reads a PNG file (host path) into a 32-bit picture for the tools.
#pragma once

#include <string>

#include "dwqwriter.h"

namespace dwqtool {

// Any PNG as 8-bit RGBA: palettes and low bit depths expanded, 16-bit
// samples cut to their high byte, no gamma change. alpha stays empty for a
// PNG without alpha or transparency chunk.
bool ReadPngFile(const std::string& path, Picture* out, std::string* error);

}  // namespace dwqtool
