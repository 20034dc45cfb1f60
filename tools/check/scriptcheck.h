// Checks of the game's scripts: names of files they use, effect and wipe
// numbers, choices, and pages against the message window.
#pragma once

#include "tools/check/finding.h"

namespace gamecheck {

void CheckScripts(const CheckInput& input, Findings& findings);

}  // namespace gamecheck
