// Checks that read every picture, sound and music file of a game folder
// through the engine's own readers, and find folders where the game reads
// a file.
#pragma once

#include "tools/check/finding.h"

namespace gamecheck {

void CheckFiles(const CheckInput& input, Findings& findings);

}  // namespace gamecheck
